#include "gui/app/w_main.h"

#include "core/app/globals.h"
#include "core/platform/platform.h"
#include "gui/app/app_exit.h"
#include "gui/app/sheet_scroll.h"
#include "gui/app/w_about.h"
#include "gui/catalogue/w_base0.h"
#include "gui/catalogue/w_dcbase.h"
#include "gui/catalogue/w_drbase.h"
#include "gui/files/w_frn.h"
#include "gui/lists/w_cfal.h"
#include "gui/lists/w_hbbl.h"
#include "gui/lists/w_htmd.h"
#include "gui/lists/w_htmtww.h"
#include "gui/sqllib/sql_edits.h"
#include "gui/sqllib/w_cxsql.h"
#include "gui/sqllib/w_drsql.h"
#include "gui/sqllib/w_isql.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QHash>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QStatusBar>

namespace zorv::gui {
namespace {

// A tool window of its own, centred on the frame; one at a time per kind.
template <typename W> void openOwnWindow(w_main &frame) {
    if (auto *open = frame.findChild<W *>(QString(), Qt::FindDirectChildrenOnly)) {
        open->showNormal();
        open->raise();
        open->activateWindow();
        return;
    }
    auto *window = new W(&frame);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->move(frame.geometry().center() - window->rect().center());
    window->show();
}

QHash<QString, w_main::Opener> &openers() {
    static QHash<QString, w_main::Opener> map{
        // "文件批量处理": the file window, a maximised sheet listed under item 7.
        {QStringLiteral("m_wjplcl"), [](w_main &frame) { frame.openSheet(new w_frn, 7, true); }},
        {QStringLiteral("m_oraclebcx"), [](w_main &f) { f.openSheet(new w_base0, 7, true); }},
        {QStringLiteral("m_oraclebdr"), [](w_main &f) { showOwnWindow(new w_drbase(&f)); }},
        {QStringLiteral("m_oraclebdc"), [](w_main &f) { f.openSheet(new w_dcbase, 7, false); }},
        {QStringLiteral("m_sqlyjbcx"), [](w_main &f) { f.openSheet(new w_cxsql, 7, false); }},
        {QStringLiteral("m_lrsqlyj"), [](w_main &f) { showOwnWindow(new w_isql(&f)); }},
        {QStringLiteral("m_drsqlyj"), [](w_main &f) { showOwnWindow(new w_drsql(&f)); }},
        // "名单核对": the list comparison, a sheet in its designed size under item 7.
        {QStringLiteral("m_mdhd_mdhd"),
         [](w_main &frame) { frame.openSheet(new w_htmd, 7, false); }},
        // "名单查询维护": the register, a maximised sheet listed under item 7.
        {QStringLiteral("m_mdcxwh"), [](w_main &frame) { frame.openSheet(new w_htmtww, 7, true); }},
        // "合并Ｂ列" and "转换A列": windows of their own.
        {QStringLiteral("m_hbbl"), [](w_main &frame) { openOwnWindow<w_hbbl>(frame); }},
        {QStringLiteral("m_zhal"), [](w_main &frame) { openOwnWindow<w_cfal>(frame); }},
    };
    return map;
}

const char *const kSheetEntry = "zorvSheetEntry";

} // namespace

const char *const kPendingItem = "zorvPendingItem";

void w_main::setOpener(const QString &actionName, Opener opener) {
    openers().insert(actionName, std::move(opener));
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *frame = qobject_cast<w_main *>(w))
            frame->applyOpeners();
}

w_main::Opener w_main::opener(const QString &actionName) {
    return openers().value(actionName);
}

w_main::w_main(QWidget *parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("w_main"));
    setWindowTitle(QStringLiteral("Zorvane"));
    mdi_1 = new QMdiArea(this);
    mdi_1->setObjectName(QStringLiteral("mdi_1"));
    setCentralWidget(mdi_1);
    buildMenu();
    buildToolbar();
    applyOpeners();

    // The status line shows what was last written, the default text at first.
    QString text = platform().statusText();
    if (text.isEmpty())
        text = app::defaultStatusText();
    statusBar()->setObjectName(QStringLiteral("w_main_status"));
    statusBar()->showMessage(text);
    platform().setStatusText(text);
    resize(1000, 700);
}

w_main::~w_main() = default;

void w_main::applyOpeners() {
    for (QAction *a : findChildren<QAction *>())
        if (a->property(kPendingItem).toBool())
            a->setEnabled(bool(opener(a->objectName())));
}

QMdiSubWindow *w_main::openSheet(QWidget *sheet, int listPosition, bool maximised) {
    if (!sheet->objectName().isEmpty()) {
        for (const Sheet &s : std::as_const(m_sheets)) {
            const QWidget *open = sheetOf(s.window);
            if (s.window && s.window->isVisible() && open &&
                open->objectName() == sheet->objectName()) {
                delete sheet;
                if (s.window->isMinimized())
                    s.window->showNormal();
                mdi_1->setActiveSubWindow(s.window);
                return s.window;
            }
        }
    }
    QMdiSubWindow *sub = mdi_1->addSubWindow(new SheetScroll(sheet));
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowIcon(windowIcon());
    m_sheets.append({sub, listPosition});
    if (maximised) {
        sub->showMaximized();
    } else {
        sub->resize(sub->sizeHint());
        sub->move(0, 0);
        sub->show();
    }
    mdi_1->setActiveSubWindow(sub);
    return sub;
}

QList<QWidget *> w_main::sheets(int listPosition) const {
    QList<QWidget *> out;
    for (const Sheet &s : m_sheets)
        if (s.window && s.window->isVisible() && s.position == listPosition && sheetOf(s.window))
            out << sheetOf(s.window);
    return out;
}

void w_main::fillSheetList(QMenu *menu, int listPosition) {
    for (QAction *a : menu->actions()) {
        if (a->property(kSheetEntry).toBool()) {
            menu->removeAction(a);
            a->deleteLater();
        }
    }
    int n = 0;
    for (const Sheet &s : std::as_const(m_sheets)) {
        if (!s.window || !s.window->isVisible() || s.position != listPosition)
            continue;
        if (n == 0)
            menu->addSeparator()->setProperty(kSheetEntry, true);
        ++n;
        QAction *a = menu->addAction(QStringLiteral("&%1 %2").arg(n).arg(s.window->windowTitle()));
        a->setProperty(kSheetEntry, true);
        a->setObjectName(QStringLiteral("m_sheet_%1").arg(n));
        a->setCheckable(true);
        a->setChecked(mdi_1->activeSubWindow() == s.window);
        connect(a, &QAction::triggered, this, [this, w = s.window] {
            if (w) {
                mdi_1->setActiveSubWindow(w);
                if (w->isMinimized())
                    w->showNormal();
            }
        });
    }
}

void w_main::openAbout() {
    if (!m_about) {
        m_about = new w_about(this);
        m_about->setAttribute(Qt::WA_DeleteOnClose);
        m_about->adjustSize();
        m_about->move(geometry().center() - m_about->rect().center());
    }
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

bool w_main::event(QEvent *event) {
    // Menus and toolbars send status tips that would wipe the status line.
    if (event->type() == QEvent::StatusTip)
        return true;
    return QMainWindow::event(event);
}

void w_main::closeEvent(QCloseEvent *event) {
    // Every sheet gets its say first; one that refuses keeps the frame open.
    mdi_1->closeAllSubWindows();
    for (QMdiSubWindow *sub : mdi_1->subWindowList()) {
        if (sub->isVisible()) {
            event->ignore();
            return;
        }
    }
    event->accept();
    endProgram();
}

} // namespace zorv::gui
