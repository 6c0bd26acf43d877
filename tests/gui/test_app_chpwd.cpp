#include "core/config/regodbc.h"
#include "core/db/statements.h"
#include "gui/app/w_chpwd.h"
#include "support/scripted_platform.h"
#include "support/tempdir.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace zorv;
using zorv::test::ScriptedPlatform;
using zorv::test::TestHome;

namespace {

// The shared transaction connected to a new database in home.
void connectShared(const TestHome &home) {
    config::RegistryStore store;
    config::regodbc(store, QStringLiteral("zorv"), home.file(QStringLiteral("zorv.mdb")),
                    QStringLiteral("/s"));
    db::sqlca().setDbParm(QStringLiteral("ConnectString='DSN=zorv;UID=;PWD='"));
    db::sqlca().setAutoCommit(true);
    QCOMPARE(db::sqlca().connect(), 0);
}

QLineEdit *edit(QWidget &w, const char *name) {
    return w.findChild<QLineEdit *>(QString::fromLatin1(name));
}

// Types text as the user would and ends the edit with Enter.
void typeAndEnter(QLineEdit *e, const QString &text) {
    e->setFocus();
    e->clear();
    QTest::keyClicks(e, text);
    QTest::keyClick(e, Qt::Key_Return);
}

} // namespace

class TestAppChpwd : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { db::sqlca().disconnect(); }

    void editsAreHiddenAndShort() {
        ScriptedPlatform platform;
        gui::w_chpwd w;
        QCOMPARE(w.windowTitle(), QStringLiteral("更改用户及密码"));
        for (const char *name : {"sle_1", "sle_2", "sle_newpw", "sle_newpwag"}) {
            QLineEdit *e = edit(w, name);
            QCOMPARE(e->echoMode(), QLineEdit::Password);
            QTest::keyClicks(e, QStringLiteral("abcdefghijklmnopqrstuvwxy"));
            QCOMPARE(e->text(), QStringLiteral("abcdefghijklmnopqrst"));
        }
        QCOMPARE(w.findChild<QPushButton *>(QStringLiteral("cb_ok"))->text(),
                 QStringLiteral("确定(&Y)"));
        QCOMPARE(w.findChild<QPushButton *>(QStringLiteral("cb_close"))->text(),
                 QStringLiteral("取消(&Q)"));
    }

    void enterMovesThroughTheEdits() {
        ScriptedPlatform platform;
        gui::w_chpwd w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        typeAndEnter(edit(w, "sle_1"), QStringLiteral("boss"));
        QCOMPARE(QApplication::focusWidget(), edit(w, "sle_2"));
        typeAndEnter(edit(w, "sle_2"), QStringLiteral("bos"));
        QCOMPARE(platform.messageLines(),
                 QStringList({QStringLiteral("错误 / 前后用户不一致，请重输")}));
        QCOMPARE(QApplication::focusWidget(), edit(w, "sle_2"));
        typeAndEnter(edit(w, "sle_2"), QStringLiteral("boss"));
        QCOMPARE(QApplication::focusWidget(), edit(w, "sle_newpw"));
        typeAndEnter(edit(w, "sle_newpw"), QStringLiteral("pw"));
        QCOMPARE(QApplication::focusWidget(), edit(w, "sle_newpwag"));
        typeAndEnter(edit(w, "sle_newpwag"), QStringLiteral("PW"));
        QCOMPARE(platform.messageLines().last(), QStringLiteral("错误 / 前后密码不一致，请重输"));
        QCOMPARE(QApplication::focusWidget(), edit(w, "sle_newpwag"));
        // Enter again without a change does not repeat the message.
        QTest::keyClick(edit(w, "sle_newpwag"), Qt::Key_Return);
        QCOMPARE(platform.messages.size(), 2);
    }

    void okChangesAndCloses() {
        TestHome home;
        ScriptedPlatform platform;
        connectShared(home);
        gui::w_chpwd w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        edit(w, "sle_1")->setText(QStringLiteral("boss"));
        edit(w, "sle_2")->setText(QStringLiteral("boss"));
        edit(w, "sle_newpw")->setText(QStringLiteral("pw1"));
        edit(w, "sle_newpwag")->setText(QStringLiteral("pw2"));
        auto *ok = w.findChild<QPushButton *>(QStringLiteral("cb_ok"));
        ok->click();
        // The mismatched pair stops the whole change: the user name is not
        // stored beside the old (null, open to anyone) password.
        QCOMPARE(platform.messageLines(),
                 QStringList({QStringLiteral("错误 / 前后新密码不一致，请重输")}));
        QVERIFY(w.isVisible());
        QCOMPARE(QApplication::focusWidget(), edit(w, "sle_newpw"));
        QCOMPARE(db::countNullAccount(db::sqlca()), 1);
        platform.clearRecord();
        edit(w, "sle_newpwag")->setText(QStringLiteral("pw1"));
        ok->click();
        QCOMPARE(platform.messageLines(), QStringList({QStringLiteral("提示 / 用户已成功更改"),
                                                       QStringLiteral("提示 / 密码已成功更改")}));
        QVERIFY(!w.isVisible());
        QCOMPARE(db::selectPassword(db::sqlca(), QStringLiteral("boss"))->toString(),
                 QStringLiteral("pw1"));
    }

    void cancelClosesWithoutChange() {
        TestHome home;
        ScriptedPlatform platform;
        connectShared(home);
        gui::w_chpwd w;
        w.show();
        edit(w, "sle_1")->setText(QStringLiteral("boss"));
        w.findChild<QPushButton *>(QStringLiteral("cb_close"))->click();
        QVERIFY(!w.isVisible());
        QCOMPARE(db::countNullAccount(db::sqlca()), 1);
        QVERIFY(platform.messages.isEmpty());
    }
};

QTEST_MAIN(TestAppChpwd)
#include "test_app_chpwd.moc"
