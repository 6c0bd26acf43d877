#include "gui/files/w_frn.h"

#include "core/platform/platform.h"
#include "gui/files/frn_texts.h"
#include "gui/grid/f_resize.h"
#include "gui/grid/grid_view.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

using namespace Qt::Literals::StringLiterals;

w_frn::w_frn(QWidget *parent) : QWidget(parent) {
    setObjectName(u"w_frn"_s);
    setWindowTitle(u"文件批量处理"_s);
    resize(kDesignSize);
    setMinimumSize(640, 360);
    m_grid = zorv::files::makeFrn1Grid();
    buildControls();
    installHelp();
    connectHandlers();
    open();
}

w_frn::~w_frn() = default;

// The open event: scale to the screen, hide the parameter controls until an
// operation is chosen, and remember where st_3 and em_3 were designed.
void w_frn::open() {
    zorv::gui::f_resize(this, true);
    for (QWidget *w : QWidgetList{st_1, st_2, st_3, em_1, em_2, em_3, cb_5, lb_1})
        w->hide();
    ddlb_1->setCurrentIndex(0);
    oldy1 = st_3->y();
    oldy2 = em_3->y();
    captureBaseGeometry();
}

void w_frn::setStatus(const QString &text) {
    zorv::platform().setStatusText(text);
}

void w_frn::closeEvent(QCloseEvent *event) {
    // A running loop still works on the grid, so the window stays until it ends.
    if (!canClose()) {
        zorv::platform().messageBox(u"提示"_s, u"导入或导出操作未结束，不能关闭窗口。"_s);
        event->ignore();
        return;
    }
    event->accept();
}

void w_frn::captureBaseGeometry() {
    m_baseSize = size();
    m_baseGrid = dw_1->geometry();
    m_baseBar = vpb_1->geometry();
    m_baseRightColumn.clear();
    for (QWidget *w : QWidgetList{cb_14, cb_13, cb_12, cb_6, cb_11, cb_8, cb_7})
        m_baseRightColumn.append({w, w->geometry()});
}

// The grid takes whatever room the window has beyond its design size; the
// progress bar and the button column stay at its right, the close button at
// the bottom.
void w_frn::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    if (m_baseSize.isEmpty())
        return;
    const int dx = qMax(0, width() - m_baseSize.width());
    const int dy = qMax(0, height() - m_baseSize.height());
    dw_1->setGeometry(m_baseGrid.adjusted(0, 0, dx, dy));
    vpb_1->setGeometry(m_baseBar.translated(dx, 0).adjusted(0, 0, 0, dy));
    for (const auto &[w, rect] : m_baseRightColumn)
        w->setGeometry(rect.translated(dx, w == cb_7 ? dy : 0));
}

void w_frn::installHelp() {
    for (QWidget *w : findChildren<QWidget *>()) {
        const QString name = w->objectName();
        if (!frn::helpFor(name).isEmpty() || name == u"cbx_2")
            w->installEventFilter(this);
    }
    for (QWidget *w : QWidgetList{rb_5, rb_6})
        w->installEventFilter(this);
    dw_1->setMouseTracking(true);
    for (QWidget *w : dw_1->findChildren<QWidget *>()) {
        w->setMouseTracking(true);
        w->installEventFilter(this);
    }
}

bool w_frn::eventFilter(QObject *watched, QEvent *event) {
    auto *w = qobject_cast<QWidget *>(watched);
    if (!w)
        return QWidget::eventFilter(watched, event);
    const QString name = w->objectName();
    switch (event->type()) {
    case QEvent::FocusIn: {
        const QString help = frn::helpFor(name);
        if (!help.isEmpty() && name != u"dw_1")
            setStatus(help);
        break;
    }
    case QEvent::FocusOut:
        if (w == sle_1)
            setStatus(QString());
        if (w == dw_1)
            dw_1->acceptText();
        // Leaving the copy/move choice makes the run possible again.
        if (w == rb_5 || w == rb_6)
            cb_3->setEnabled(true);
        break;
    case QEvent::Enter:
    case QEvent::MouseMove: {
        QString text = frn::tagFor(name);
        if (text.isEmpty() && (w == dw_1 || dw_1->isAncestorOf(w)))
            text = frn::helpFor(u"dw_1"_s);
        if (!text.isEmpty() && zorv::platform().statusText() != text)
            setStatus(text);
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

// --- busy loops ---

w_frn::BusyScope::BusyScope(w_frn *window) : m_window(window), m_guard(window->vpb_1) {
    m_window->m_busy = true;
}

w_frn::BusyScope::~BusyScope() {
    showLastStatus();
    m_window->m_busy = false;
}

void w_frn::BusyScope::progress(qint64 done, qint64 total, const QString &status) {
    m_guard.progress(done, total, status);
    if (!status.isEmpty())
        m_lastStatus = status;
    m_shown = zorv::platform().statusText();
    if (total > 0 && done >= total)
        showLastStatus();
}

// Only when nothing else wrote the status line after the guard did.
void w_frn::BusyScope::showLastStatus() {
    auto &p = zorv::platform();
    if (!m_lastStatus.isEmpty() && p.statusText() == m_shown && m_shown != m_lastStatus) {
        p.setStatusText(m_lastStatus);
        m_shown = m_lastStatus;
    }
}

bool w_frn::BusyScope::stopRequested() {
    return m_guard.stopRequested();
}

void w_frn::connectHandlers() {
    auto onClick = [this](QAbstractButton *b, void (w_frn::*handler)()) {
        connect(b, &QAbstractButton::clicked, this, handler);
    };
    onClick(cb_1, &w_frn::cb_1_clicked);
    onClick(cb_15, &w_frn::cb_15_clicked);
    onClick(cb_16, &w_frn::cb_16_clicked);
    onClick(cb_17, &w_frn::cb_17_clicked);
    onClick(cb_5, &w_frn::cb_5_clicked);
    onClick(cb_4, &w_frn::cb_4_clicked);
    onClick(cb_2, &w_frn::cb_2_clicked);
    onClick(cb_14, &w_frn::cb_14_clicked);
    onClick(cb_13, &w_frn::cb_13_clicked);
    onClick(cb_12, &w_frn::cb_12_clicked);
    onClick(cb_6, &w_frn::cb_6_clicked);
    onClick(cb_11, &w_frn::cb_11_clicked);
    onClick(cb_8, &w_frn::cb_8_clicked);
    onClick(cb_10, &w_frn::cb_10_clicked);
    onClick(cb_9, &w_frn::cb_9_clicked);
    onClick(pb_1, &w_frn::pb_1_clicked);
    onClick(cb_3, &w_frn::cb_3_clicked);
    onClick(cb_undo, &w_frn::cb_undo_clicked);
    onClick(rb_4, &w_frn::rb_4_clicked);
    onClick(rb_3, &w_frn::rb_3_clicked);
    connect(ddlb_1, &QComboBox::currentIndexChanged, this, &w_frn::ddlb_1_selectionChanged);
    connect(dw_1, &zorv::gui::GridView::clicked, this, &w_frn::dw_1_clicked);
    connect(dw_1, &zorv::gui::GridView::doubleClicked, this, &w_frn::dw_1_doubleClicked);
}
