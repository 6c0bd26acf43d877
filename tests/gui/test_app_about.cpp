#include "core/config/regodbc.h"
#include "gui/app/w_about.h"
#include "gui/app/w_main.h"
#include "support/scripted_platform.h"
#include "support/tempdir.h"

#include <QAction>
#include <QDir>
#include <QFrame>
#include <QLayout>
#include <QPointer>
#include <QTest>

using namespace zorv;
using zorv::gui::LinkLabel;
using zorv::gui::w_about;

class TestAppAbout : public QObject {
    Q_OBJECT
private slots:
    void textsInOrderAndLinks() {
        test::ScriptedPlatform platform;
        w_about about;
        about.show();
        QCOMPARE(about.windowTitle(), QStringLiteral("关于"));
        QVERIFY(about.windowFlags() & Qt::WindowMinimizeButtonHint);
        QStringList order;
        for (int i = 0; i < about.layout()->count(); ++i)
            order << about.layout()->itemAt(i)->widget()->objectName();
        QCOMPARE(order, QStringList({QStringLiteral("st_5"), QStringLiteral("st_4"),
                                     QStringLiteral("st_3"), QStringLiteral("st_2"),
                                     QStringLiteral("ln_1"), QStringLiteral("st_1"),
                                     QStringLiteral("st_db")}));

        for (const char *name : {"st_5", "st_4", "st_3", "st_2", "st_1"}) {
            auto *label = about.findChild<LinkLabel *>(QString::fromLatin1(name));
            QVERIFY(label && !label->text().isEmpty());
            QCOMPARE(label->font().family(), QStringLiteral("Arial"));
            QTest::mouseClick(label, Qt::LeftButton);
        }
        // Only the three links open a page; the addresses are ours.
        QCOMPARE(platform.urlsOpened,
                 QStringList({w_about::communityUrl(), w_about::otherProgramUrl(),
                              w_about::homePageUrl()}));
        for (const QString &url : platform.urlsOpened)
            QVERIFY(QUrl(url).host().endsWith(QStringLiteral(".example")));
        QCOMPARE(about.findChild<LinkLabel *>(QStringLiteral("st_4"))->cursor().shape(),
                 Qt::PointingHandCursor);
        QVERIFY(platform.messageLines().isEmpty());

        // A page that cannot be opened is said in a message.
        platform.opensSucceed = false;
        QTest::mouseClick(about.findChild<LinkLabel *>(QStringLiteral("st_5")), Qt::LeftButton);
        QCOMPARE(platform.messageLines(), QStringList{QStringLiteral("操作提示 / 无法打开网页：") +
                                                      w_about::communityUrl()});
    }

    // The window names the database file the program works on.
    void showsTheDatabaseInUse() {
        test::TestHome home;
        test::ScriptedPlatform platform;
        const QString file = home.file(QStringLiteral("数据/zorv.mdb"));
        QVERIFY(QDir().mkpath(home.file(QStringLiteral("数据"))));
        config::RegistryStore store;
        config::regodbc(store, QStringLiteral("zorv"), file, config::odbcDriverFolder());
        db::Transaction tx;
        tx.setDbParm(QStringLiteral("ConnectString='DSN=zorv;UID=;PWD='"));
        {
            w_about about(nullptr, tx);
            QCOMPARE(about.findChild<QLabel *>(QStringLiteral("st_db"))->text(),
                     QStringLiteral("数据库：未连接"));
        }
        QCOMPARE(tx.connect(), 0);
        w_about about(nullptr, tx);
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        auto *label = about.findChild<QLabel *>(QStringLiteral("st_db"));
        QVERIFY(label && label->isVisible());
        QCOMPARE(label->text(), QStringLiteral("数据库文件：") + file);
    }

    // Opened from the frame's menu it is a dialog-type window of the frame (the
    // window manager keeps it above the frame), not modal, and Esc closes it.
    void staysAboveTheFrameAndClosesWithEsc() {
        test::ScriptedPlatform platform;
        test::TestHome home;
        gui::w_main frame;
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        frame.findChild<QAction *>(QStringLiteral("m_gy"))->trigger();
        QPointer<w_about> about = frame.findChild<w_about *>();
        QVERIFY(about && about->isVisible());
        QVERIFY(about->isWindow());
        QCOMPARE(about->windowType(), Qt::Dialog);
        QCOMPARE(about->parentWidget(), &frame);
        QVERIFY(!about->isModal());
        QTest::keyClick(about, Qt::Key_Escape);
        QTRY_VERIFY(!about || !about->isVisible());
        QVERIFY(frame.isVisible());
    }
};

QTEST_MAIN(TestAppAbout)
#include "test_app_about.moc"
