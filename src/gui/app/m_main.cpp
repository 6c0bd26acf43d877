// The menu m_main of the frame and the toolbar derived from it.

#include "gui/app/w_main.h"

#include "gui/app/w_chpwd.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QStyle>
#include <QToolBar>

namespace zorv::gui {
namespace {

// Two overlapping pages, for styles whose icons have no copy picture.
QIcon drawnCopyIcon() {
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x44, 0x44, 0x44), 1.5));
    for (const QRectF &page : {QRectF(4.5, 3.5, 16, 20), QRectF(11.5, 8.5, 16, 20)}) {
        p.setBrush(Qt::white);
        p.drawRect(page);
        for (int line = 1; line <= 3; ++line)
            p.drawLine(QPointF(page.left() + 4, page.top() + 5 * line),
                       QPointF(page.right() - 4, page.top() + 5 * line));
    }
    p.end();
    return QIcon(pm);
}

QAction *makeAction(QObject *parent, const char *name, const QString &caption) {
    auto *a = new QAction(caption, parent);
    a->setObjectName(QString::fromLatin1(name));
    return a;
}

} // namespace

void w_main::buildMenu() {
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("m_main"));

    auto addMenu = [&](const char *name, const QString &caption) {
        QMenu *menu = bar->addMenu(caption);
        menu->setObjectName(QString::fromLatin1(name));
        menu->menuAction()->setObjectName(QString::fromLatin1(name));
        return menu;
    };
    auto pending = [this](QAction *a) {
        a->setProperty(kPendingItem, true);
        a->setEnabled(false);
        connect(a, &QAction::triggered, this, [this, name = a->objectName()] {
            if (const Opener o = opener(name))
                o(*this);
        });
        return a;
    };

    bar->addAction(pending(makeAction(bar, "m_sqlyjbcx", QStringLiteral("SQL语句表查询"))));
    QMenu *newSql = addMenu("m_xzsqlyj", QStringLiteral("新增SQL语句"));
    newSql->addAction(pending(makeAction(newSql, "m_lrsqlyj", QStringLiteral("录入sql语句"))));
    newSql->addAction(pending(makeAction(newSql, "m_drsqlyj", QStringLiteral("导入sql语句"))));
    bar->addAction(pending(makeAction(bar, "m_oraclebcx", QStringLiteral("oracle表查询"))));
    QMenu *tables = addMenu("m_oraclebwh", QStringLiteral("oracle表维护"));
    tables->addAction(pending(makeAction(tables, "m_oraclebdr", QStringLiteral("oracle表导入"))));
    tables->addAction(pending(makeAction(tables, "m_oraclebdc", QStringLiteral("oracle表导出"))));
    bar->addAction(pending(makeAction(bar, "m_wjplcl", QStringLiteral("文件批量处理"))));
    QMenu *lists = addMenu("m_mdhd", QStringLiteral("名单核对"));
    lists->addAction(pending(makeAction(lists, "m_mdhd_mdhd", QStringLiteral("名单核对"))));
    lists->addAction(pending(makeAction(lists, "m_mdcxwh", QStringLiteral("名单查询维护"))));
    lists->addAction(pending(makeAction(lists, "m_hbbl", QStringLiteral("合并Ｂ列"))));
    lists->addAction(pending(makeAction(lists, "m_zhal", QStringLiteral("转换A列"))));
    QMenu *other = addMenu("m_qt", QStringLiteral("其他"));
    QAction *about = other->addAction(QStringLiteral("关于"));
    about->setObjectName(QStringLiteral("m_gy"));
    connect(about, &QAction::triggered, this, &w_main::openAbout);
    QAction *account = other->addAction(QStringLiteral("用户与密码修改"));
    account->setObjectName(QStringLiteral("m_yhymmxg"));
    connect(account, &QAction::triggered, this, [this] { openSheet(new w_chpwd, 6, false); });
    QAction *quit = makeAction(bar, "m_tc", QStringLiteral("退出"));
    bar->addAction(quit);
    connect(quit, &QAction::triggered, this, &QWidget::close);

    // The sheets are listed under the sixth and seventh menu-bar items.
    connect(lists, &QMenu::aboutToShow, this, [this, lists] { fillSheetList(lists, 6); });
    connect(other, &QMenu::aboutToShow, this, [this, other] { fillSheetList(other, 7); });
}

void w_main::buildToolbar() {
    QToolBar *tb = addToolBar(QStringLiteral("工具栏"));
    tb->setObjectName(QStringLiteral("tb_main"));
    tb->setMovable(false);
    tb->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    struct Button {
        const char *item;
        const char *name;
        const char *theme;
        QStyle::StandardPixmap fallback;
        QString text;
    };
    const Button buttons[] = {
        {"m_oraclebcx", "tb_oraclebcx", "system-search", QStyle::SP_FileDialogContentsView,
         QStringLiteral("oracle表查询及生成SQL语句")},
        {"m_wjplcl", "tb_wjplcl", "edit-copy", QStyle::SP_CustomBase,
         QStringLiteral("文件批量处理")},
        {"m_mdhd_mdhd", "tb_mdhd", "view-list-details", QStyle::SP_FileDialogDetailedView,
         QStringLiteral("名单核对")},
        {"m_tc", "tb_tc", "application-exit", QStyle::SP_DialogCloseButton, QStringLiteral("退出")},
    };
    for (const Button &b : buttons) {
        QAction *item = findChild<QAction *>(QString::fromLatin1(b.item));
        const QIcon fallback = b.fallback == QStyle::SP_CustomBase
                                   ? drawnCopyIcon()
                                   : style()->standardIcon(b.fallback);
        const QIcon icon = QIcon::fromTheme(QString::fromLatin1(b.theme), fallback);
        QAction *a = tb->addAction(icon, b.text);
        a->setObjectName(QString::fromLatin1(b.name));
        a->setToolTip(b.text);
        a->setEnabled(item->isEnabled());
        connect(item, &QAction::enabledChanged, a, &QAction::setEnabled);
        connect(a, &QAction::triggered, item, &QAction::trigger);
    }
}

} // namespace zorv::gui
