#include "core/db/statements.h"
#include "gui/app/app_exit.h"
#include "gui/app/w_login.h"
#include "support/scripted_platform.h"
#include "support/tempdir.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace zorv;
using zorv::app::LoginStep;
using zorv::gui::w_login;
using zorv::test::ScriptedPlatform;
using zorv::test::TestHome;
using zorv::test::writeFile;

namespace {

template <typename T> T *child(QWidget &w, const char *name) {
    return w.findChild<T *>(QString::fromLatin1(name));
}

} // namespace

class TestAppLogin : public QObject {
    Q_OBJECT
private:
    int m_ended = 0;

    // A start-up folder whose database holds the account admin / Secret.
    void withAccount(const TestHome &home) {
        writeFile(home.file(QStringLiteral("zorv.ini")), QByteArray());
        db::Transaction tx;
        w_login first(tx);
        QCOMPARE(first.open(home.path()), LoginStep::OpenMain);
        db::updateUser(tx, QStringLiteral("admin"));
        db::updatePassword(tx, QStringLiteral("Secret"));
        tx.commit();
    }

    void login(w_login &w, const QString &name, const QString &pw) {
        auto *sle_name = child<QLineEdit>(w, "sle_name");
        auto *sle_pw = child<QLineEdit>(w, "sle_pw");
        sle_name->setFocus();
        sle_name->clear();
        QTest::keyClicks(sle_name, name);
        QTest::keyClick(sle_name, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), sle_pw);
        sle_pw->clear();
        QTest::keyClicks(sle_pw, pw);
        QTest::keyClick(sle_pw, Qt::Key_Return);
    }

private slots:
    void init() {
        m_ended = 0;
        gui::setEndProgramAction([this] { ++m_ended; });
    }
    void cleanup() { gui::setEndProgramAction({}); }

    void noAccountOpensTheFrameWithoutShowing() {
        TestHome home;
        ScriptedPlatform platform;
        writeFile(home.file(QStringLiteral("zorv.ini")), QByteArray());
        db::Transaction tx;
        w_login w(tx);
        QSignalSpy main(&w, &w_login::openMainRequested);
        QCOMPARE(w.open(home.path()), LoginStep::OpenMain);
        QCOMPARE(main.count(), 1);
        QVERIFY(!w.isVisible());
        QCOMPARE(m_ended, 0);
    }

    void windowAndControls() {
        TestHome home;
        ScriptedPlatform platform;
        withAccount(home);
        db::Transaction tx;
        w_login w(tx);
        QCOMPARE(w.open(home.path()), LoginStep::WaitForLogin);
        w.show();
        QCOMPARE(w.windowTitle(), QStringLiteral("用户登录"));
        QCOMPARE(child<QLabel>(w, "st_1")->text(), QStringLiteral("用 户 名："));
        QCOMPARE(child<QLabel>(w, "st_2")->text(), QStringLiteral("用户密码："));
        QCOMPARE(child<QLineEdit>(w, "sle_pw")->echoMode(), QLineEdit::Password);
        QCOMPARE(child<QPushButton>(w, "cb_ok")->text(), QStringLiteral("确定(&Y)"));
        QCOMPARE(child<QPushButton>(w, "cb_cancel")->text(), QStringLiteral("取消(&Q)"));
        QCOMPARE(child<QPushButton>(w, "cb_reg")->text(), QStringLiteral("注册"));
        QVERIFY(child<QPushButton>(w, "cb_ok")->isVisible());
        QVERIFY(!child<QPushButton>(w, "cb_reg")->isVisible());
    }

    void fourthFailureEndsTheProgram() {
        TestHome home;
        ScriptedPlatform platform;
        withAccount(home);
        db::Transaction tx;
        w_login w(tx);
        w.open(home.path());
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        for (int i = 0; i < 3; ++i) {
            login(w, QStringLiteral("admin"), QStringLiteral("secret"));
            QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(w, "sle_name"));
        }
        QCOMPARE(m_ended, 0);
        login(w, QStringLiteral("admin"), QStringLiteral("wrong"));
        QCOMPARE(m_ended, 1);
        QCOMPARE(platform.messageLines().last(),
                 QStringLiteral("登录错误 / 对不起，你无权使用本系统!"));
        QCOMPARE(platform.messages.size(), 4);
        QVERIFY(!w.isVisible());
    }

    void rightPasswordOnTheFourthTry() {
        TestHome home;
        ScriptedPlatform platform;
        withAccount(home);
        db::Transaction tx;
        w_login w(tx);
        QSignalSpy main(&w, &w_login::openMainRequested);
        w.open(home.path());
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        for (int i = 0; i < 3; ++i)
            login(w, QStringLiteral("admin"), QStringLiteral("x"));
        login(w, QStringLiteral("admin"), QStringLiteral("Secret"));
        QCOMPARE(main.count(), 1);
        QCOMPARE(m_ended, 0);
        QVERIFY(!w.isVisible());
    }

    void cancelAndEscEndTheProgram_data() {
        QTest::addColumn<bool>("useEsc");
        QTest::newRow("cancel button") << false;
        QTest::newRow("Esc") << true;
    }
    void cancelAndEscEndTheProgram() {
        QFETCH(bool, useEsc);
        TestHome home;
        ScriptedPlatform platform;
        withAccount(home);
        db::Transaction tx;
        w_login w(tx);
        w.open(home.path());
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        if (useEsc) {
            child<QLineEdit>(w, "sle_name")->setFocus();
            QTest::keyClick(child<QLineEdit>(w, "sle_name"), Qt::Key_Escape);
        } else {
            child<QPushButton>(w, "cb_cancel")->click();
        }
        QCOMPARE(m_ended, 1);
        QVERIFY(!w.isVisible());
    }

    void registerButtonWhenNotConnected() {
        TestHome home;
        ScriptedPlatform platform;
        writeFile(home.file(QStringLiteral("zorv.ini")), "[Start]\r\nFirst=false\r\n");
        db::Transaction tx;
        w_login w(tx);
        QSignalSpy main(&w, &w_login::openMainRequested);
        QCOMPARE(w.open(home.path()), LoginStep::OfferRegister);
        w.show();
        QVERIFY(child<QPushButton>(w, "cb_reg")->isVisible());
        QVERIFY(!child<QPushButton>(w, "cb_ok")->isVisible());
        child<QPushButton>(w, "cb_reg")->click();
        QCOMPARE(main.count(), 1);
        QVERIFY(tx.isConnected());
    }
};

QTEST_MAIN(TestAppLogin)
#include "test_app_login.moc"
