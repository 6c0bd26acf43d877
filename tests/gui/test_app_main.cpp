#include "core/app/globals.h"
#include "gui/app/app_exit.h"
#include "gui/app/sheet_scroll.h"
#include "gui/app/uo_button.h"
#include "gui/app/uo_close.h"
#include "gui/app/w_main.h"
#include "support/scripted_platform.h"
#include "support/tempdir.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTest>
#include <QToolBar>
#include <QVBoxLayout>

using namespace zorv;
using zorv::gui::w_main;
using zorv::test::ScriptedPlatform;

namespace {

QStringList texts(const QList<QAction *> &actions) {
    QStringList out;
    for (QAction *a : actions)
        if (!a->isSeparator() && a->isVisible())
            out << a->text();
    return out;
}

// A sheet with a cancel button, standing in for the tool windows.
QWidget *makeSheet(const QString &name, const QString &title) {
    auto *w = new QWidget;
    w->setObjectName(name);
    w->setWindowTitle(title);
    auto *layout = new QVBoxLayout(w);
    auto *edit = new QLabel(title, w);
    auto *cancel = new gui::uo_close(w);
    cancel->setObjectName(QStringLiteral("cb_close"));
    layout->addWidget(edit);
    layout->addWidget(cancel);
    return w;
}

// A sheet that refuses to close, like a window in the middle of an import.
class StubbornSheet : public QWidget {
protected:
    void closeEvent(QCloseEvent *e) override { e->ignore(); }
};

} // namespace

class TestAppMain : public QObject {
    Q_OBJECT
private:
    int m_ended = 0;

private slots:
    void init() {
        m_ended = 0;
        gui::setEndProgramAction([this] { ++m_ended; });
    }
    void cleanup() {
        gui::setEndProgramAction({});
        w_main::setOpener(QStringLiteral("m_wjplcl"), nullptr);
    }

    void frameAndMenu() {
        ScriptedPlatform platform;
        w_main frame;
        QCOMPARE(frame.objectName(), QStringLiteral("w_main"));
        QCOMPARE(frame.windowTitle(), QStringLiteral("Zorvane"));
        QCOMPARE(frame.centralWidget()->objectName(), QStringLiteral("mdi_1"));
        QCOMPARE(frame.menuBar()->objectName(), QStringLiteral("m_main"));
        QCOMPARE(texts(frame.menuBar()->actions()),
                 QStringList({QStringLiteral("SQL语句表查询"), QStringLiteral("新增SQL语句"),
                              QStringLiteral("oracle表查询"), QStringLiteral("oracle表维护"),
                              QStringLiteral("文件批量处理"), QStringLiteral("名单核对"),
                              QStringLiteral("其他"), QStringLiteral("退出")}));
        // Bar items 1, 3, 5 and 8 act themselves; the others drop down.
        const QList<QAction *> bar = frame.menuBar()->actions();
        for (int i : {0, 2, 4, 7})
            QVERIFY2(!bar[i]->menu(), qPrintable(bar[i]->text()));
        auto dropDown = [&](int i) { return texts(bar[i]->menu()->actions()); };
        QCOMPARE(dropDown(1),
                 QStringList({QStringLiteral("录入sql语句"), QStringLiteral("导入sql语句")}));
        QCOMPARE(dropDown(3),
                 QStringList({QStringLiteral("oracle表导入"), QStringLiteral("oracle表导出")}));
        QCOMPARE(dropDown(5),
                 QStringList({QStringLiteral("名单核对"), QStringLiteral("名单查询维护"),
                              QStringLiteral("合并Ｂ列"), QStringLiteral("转换A列")}));
        QCOMPARE(dropDown(6),
                 QStringList({QStringLiteral("关于"), QStringLiteral("用户与密码修改")}));

        // Every item opens its window.
        for (const char *name : {"m_gy", "m_yhymmxg", "m_tc", "m_wjplcl", "m_sqlyjbcx", "m_lrsqlyj",
                                 "m_drsqlyj", "m_oraclebcx", "m_oraclebdr", "m_oraclebdc",
                                 "m_mdhd_mdhd", "m_mdcxwh", "m_hbbl", "m_zhal"})
            QVERIFY(frame.findChild<QAction *>(QString::fromLatin1(name))->isEnabled());
    }

    void toolbarHasFourButtons() {
        ScriptedPlatform platform;
        w_main frame;
        auto *tb = frame.findChild<QToolBar *>(QStringLiteral("tb_main"));
        QVERIFY(tb);
        QStringList tips;
        for (QAction *a : tb->actions()) {
            QVERIFY(!a->icon().isNull());
            tips << a->toolTip();
        }
        QCOMPARE(tips, QStringList({QStringLiteral("oracle表查询及生成SQL语句"),
                                    QStringLiteral("文件批量处理"), QStringLiteral("名单核对"),
                                    QStringLiteral("退出")}));
        QVERIFY(!tb->actions()[1]->isEnabled());
        QVERIFY(tb->actions()[3]->isEnabled());
    }

    void openersEnableItemsAndSheetsAreListed() {
        ScriptedPlatform platform;
        w_main frame;
        frame.show();
        int opened = 0;
        w_main::setOpener(QStringLiteral("m_wjplcl"), [&](w_main &f) {
            ++opened;
            f.openSheet(makeSheet(QStringLiteral("w_frn"), QStringLiteral("文件批量处理")), 7,
                        true);
        });
        auto *item = frame.findChild<QAction *>(QStringLiteral("m_wjplcl"));
        auto *button = frame.findChild<QAction *>(QStringLiteral("tb_wjplcl"));
        QVERIFY(item->isEnabled() && button->isEnabled());
        button->trigger();
        item->trigger(); // a second open brings the same sheet forward
        QCOMPARE(opened, 2);
        QCOMPARE(frame.sheets(7).size(), 1);
        QVERIFY(frame.mdi()->activeSubWindow()->isMaximized());

        frame.findChild<QAction *>(QStringLiteral("m_yhymmxg"))->trigger();
        QCOMPARE(frame.sheets(6).size(), 1);
        QCOMPARE(frame.sheets(6).first()->objectName(), QStringLiteral("w_chpwd"));
        for (QMdiSubWindow *sub : frame.mdi()->subWindowList())
            if (gui::sheetOf(sub) == frame.sheets(6).first())
                QCOMPARE(sub->pos(), QPoint(0, 0));

        auto *other = frame.findChild<QMenu *>(QStringLiteral("m_qt"));
        auto *lists = frame.findChild<QMenu *>(QStringLiteral("m_mdhd"));
        emit other->aboutToShow();
        emit lists->aboutToShow();
        QCOMPARE(texts(other->actions()).mid(2), QStringList({QStringLiteral("&1 文件批量处理")}));
        QCOMPARE(texts(lists->actions()).mid(4),
                 QStringList({QStringLiteral("&1 更改用户及密码")}));
        // Choosing a listed sheet activates it.
        other->actions().last()->trigger();
        QCOMPARE(gui::sheetOf(frame.mdi()->activeSubWindow())->objectName(),
                 QStringLiteral("w_frn"));

        w_main::setOpener(QStringLiteral("m_wjplcl"), nullptr);
        QVERIFY(!item->isEnabled() && !button->isEnabled());
    }

    void escClosesTheSheetHoldingTheCancelButton() {
        ScriptedPlatform platform;
        w_main frame;
        frame.show();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        QWidget *sheet = makeSheet(QStringLiteral("w_test"), QStringLiteral("测试"));
        QMdiSubWindow *sub = frame.openSheet(sheet, 7, false);
        sheet->findChild<QLabel *>()->setFocusPolicy(Qt::StrongFocus);
        sheet->findChild<QLabel *>()->setFocus();
        QTest::keyClick(sheet->findChild<QLabel *>(), Qt::Key_Escape);
        QVERIFY(!sub->isVisible());
        QVERIFY(frame.isVisible());
        QCOMPARE(m_ended, 0);
    }

    void statusLine() {
        ScriptedPlatform platform;
        w_main frame;
        QCOMPARE(frame.statusBar()->currentMessage(), app::defaultStatusText());
        QCOMPARE(platform.statusText(), app::defaultStatusText());
        // Menus send empty status tips when they close; the line keeps its text.
        QStatusTipEvent tip{QString()};
        QApplication::sendEvent(&frame, &tip);
        QCOMPARE(frame.statusBar()->currentMessage(), app::defaultStatusText());

        gui::uo_button button(QStringLiteral("导入"));
        button.setTag(QStringLiteral("从剪贴板导入名单"));
        button.show();
        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
        QApplication::sendEvent(&button, &enter);
        QCOMPARE(platform.statusText(), QStringLiteral("从剪贴板导入名单"));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&button, &leave);
        QCOMPARE(platform.statusText(), QStringLiteral("从剪贴板导入名单"));
        QCOMPARE(button.font().family(), QStringLiteral("Arial"));
    }

    void exitClosesTheFrameAndEndsTheProgram() {
        ScriptedPlatform platform;
        w_main frame;
        frame.show();
        frame.openSheet(makeSheet(QStringLiteral("w_a"), QStringLiteral("A")), 7, false);
        frame.findChild<QAction *>(QStringLiteral("tb_tc"))->trigger();
        QVERIFY(!frame.isVisible());
        QCOMPARE(m_ended, 1);
    }

    void aSheetThatRefusesKeepsTheFrameOpen() {
        ScriptedPlatform platform;
        w_main frame;
        frame.show();
        auto *sheet = new StubbornSheet;
        sheet->setObjectName(QStringLiteral("w_busy"));
        frame.openSheet(sheet, 7, false);
        frame.findChild<QAction *>(QStringLiteral("m_tc"))->trigger();
        QVERIFY(frame.isVisible());
        QCOMPARE(m_ended, 0);
    }
};

QTEST_MAIN(TestAppMain)
#include "test_app_main.moc"
