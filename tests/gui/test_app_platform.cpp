#include "core/app/globals.h"
#include "core/db/transaction.h"
#include "gui/app/app_exit.h"
#include "gui/app/app_shell.h"
#include "gui/app/qt_platform.h"
#include "gui/app/w_main.h"
#include "support/scripted_platform.h"
#include "support/tempdir.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

using namespace zorv;

class TestAppPlatform : public QObject {
    Q_OBJECT
private slots:
    void filters_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("qt");
        QTest::addColumn<QStringList>("captions");
        QTest::newRow("caption without pattern text")
            << "初始化文件,*.ini" << QStringList{QStringLiteral("初始化文件(*.ini)")}
            << QStringList{QStringLiteral("初始化文件")};
        QTest::newRow("spreadsheets accept xlsx")
            << "Excel文件(*.xls),*.xls" << QStringList{QStringLiteral("Excel文件(*.xls *.xlsx)")}
            << QStringList{QStringLiteral("Excel文件(*.xls)")};
        QTest::newRow("several pairs, several patterns")
            << "文本文件(*.txt),*.txt;*.csv,所有文件(*.*),*.*"
            << QStringList{QStringLiteral("文本文件(*.txt *.csv)"), QStringLiteral("所有文件(*.*)")}
            << QStringList{QStringLiteral("文本文件(*.txt)"), QStringLiteral("所有文件(*.*)")};
        QTest::newRow("xlsx not doubled")
            << "表格,*.xls;*.xlsx" << QStringList{QStringLiteral("表格(*.xls *.xlsx)")}
            << QStringList{QStringLiteral("表格")};
        QTest::newRow("empty") << "" << QStringList() << QStringList();
    }
    void filters() {
        QFETCH(QString, filter);
        QFETCH(QStringList, qt);
        QFETCH(QStringList, captions);
        QStringList got;
        QCOMPARE(gui::toQtFilters(filter, &got), qt);
        QCOMPARE(got, captions);
    }

    void statusTextWaitsForTheFrame() {
        gui::QtPlatform qp;
        setPlatform(&qp);
        qp.setStatusText(QStringLiteral("早先写下的"));
        {
            gui::w_main frame;
            frame.show();
            QCOMPARE(frame.statusBar()->currentMessage(), QStringLiteral("早先写下的"));
            qp.setStatusText(QStringLiteral("正在导入..."));
            QCOMPARE(frame.statusBar()->currentMessage(), QStringLiteral("正在导入..."));
        }
        QCOMPARE(qp.statusText(), QStringLiteral("正在导入..."));
        setPlatform(nullptr);
    }

    void messageBoxShowsTitleTextIconAndButtons_data() {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("press");
        QTest::addColumn<int>("answer");
        QTest::newRow("ok") << int(MsgButtons::Ok) << int(QMessageBox::Ok) << int(MsgAnswer::Ok);
        QTest::newRow("yes") << int(MsgButtons::YesNo) << int(QMessageBox::Yes)
                             << int(MsgAnswer::Yes);
        QTest::newRow("no") << int(MsgButtons::YesNoCancel) << int(QMessageBox::No)
                            << int(MsgAnswer::No);
        QTest::newRow("cancel") << int(MsgButtons::OkCancel) << int(QMessageBox::Cancel)
                                << int(MsgAnswer::Cancel);
    }
    void messageBoxShowsTitleTextIconAndButtons() {
        QFETCH(int, buttons);
        QFETCH(int, press);
        QFETCH(int, answer);
        gui::QtPlatform qp;
        QString title, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            box->button(QMessageBox::StandardButton(press))->click();
        });
        const MsgAnswer got = qp.messageBox(QStringLiteral("提示"), QStringLiteral("系统已经运行"),
                                            MsgIcon::Warning, MsgButtons(buttons));
        QCOMPARE(int(got), answer);
        QCOMPARE(title, QStringLiteral("提示"));
        QCOMPARE(text, QStringLiteral("系统已经运行"));
        QCOMPARE(icon, QMessageBox::Warning);
    }

    // A question asked from inside a busy loop shows the normal cursor; the
    // busy one comes back when it closes.
    void dialogsOfABusyLoopShowTheNormalCursor() {
        gui::QtPlatform qp;
        QApplication::setOverrideCursor(Qt::BusyCursor);
        Qt::CursorShape during = Qt::BusyCursor;
        QTimer::singleShot(0, [&] {
            during = QApplication::overrideCursor()->shape();
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            box->button(QMessageBox::Ok)->click();
        });
        qp.messageBox(QStringLiteral("提示"), QStringLiteral("删除失败"), MsgIcon::Information,
                      MsgButtons::Ok);
        QCOMPARE(during, Qt::ArrowCursor);
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::BusyCursor);
        QApplication::restoreOverrideCursor();
        QVERIFY(!QApplication::overrideCursor());
    }

    // The whole start-up in an empty folder with an empty configuration, then
    // a second start while the first runs.
    void startUpOpensTheFrameAndRefusesASecond() {
        test::TestHome home;
        test::ScriptedPlatform platform;
        int ended = 0;
        gui::setEndProgramAction([&] { ++ended; });
        test::writeFile(home.file(QStringLiteral("zorv.ini")), QByteArray());
        const QString lock = home.file(QStringLiteral("zorvane.lock"));
        {
            gui::AppShell first(lock);
            QVERIFY(first.start(home.path()));
            QVERIFY(first.frame());
            QVERIFY(first.frame()->isVisible());
            QVERIFY(first.frame()->windowState() & Qt::WindowMaximized);
            QCOMPARE(first.frame()->windowTitle(), QStringLiteral("Zorvane"));
            QVERIFY(QFileInfo::exists(home.file(QStringLiteral("zorv.mdb"))));
            QVERIFY(platform.messages.isEmpty());

            gui::AppShell second(lock);
            QVERIFY(!second.start(home.path()));
            QCOMPARE(platform.messageLines(), QStringList({QStringLiteral("提示 / 系统已经运行")}));
            QVERIFY(!second.frame());
        }
        QVERIFY(!db::sqlca().isConnected());
        gui::setEndProgramAction({});
    }
};

QTEST_MAIN(TestAppPlatform)
#include "test_app_platform.moc"
