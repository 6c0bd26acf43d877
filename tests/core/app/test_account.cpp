#include "core/app/account.h"
#include "core/config/regodbc.h"
#include "core/db/statements.h"
#include "support/scripted_platform.h"
#include "support/test_database.h"

#include <QTest>

using namespace zorv;
using zorv::app::AccountChange;
using zorv::test::ScriptedPlatform;
using zorv::test::TestDatabase;
using zorv::test::TestHome;

Q_DECLARE_METATYPE(AccountChange::Focus)

namespace {
QStringList edits(const char *fields) {
    return QString::fromUtf8(fields).split(u'|');
}
} // namespace

class TestAccount : public QObject {
    Q_OBJECT
private slots:
    void changes_data() {
        QTest::addColumn<QStringList>("edits"); // user, user again, password, password again
        QTest::addColumn<QStringList>("setup"); // SQL run on the new database first
        QTest::addColumn<bool>("autoCommit");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<AccountChange::Focus>("focus");
        QTest::addColumn<QString>("user");     // afterwards, "<null>" for null
        QTest::addColumn<QString>("password"); // afterwards
        const QStringList done = {QStringLiteral("提示 / 用户已成功更改"),
                                  QStringLiteral("提示 / 密码已成功更改")};
        const QStringList failed = {QStringLiteral("错误 / 无法更改用户"),
                                    QStringLiteral("错误 / 无法更改密码")};
        const QString null = QStringLiteral("<null>");
        const QStringList none;
        const QString account =
            QStringLiteral("UPDATE password SET user1 = 'admin', pw = 'Secret'");
        // Makes the password update fail after the user update has run.
        const QStringList pwFails =
            test::onServer()
                ? QStringList{QStringLiteral(
                                  "CREATE FUNCTION no_pw() RETURNS trigger LANGUAGE plpgsql AS "
                                  "'BEGIN RAISE EXCEPTION ''pw locked''; END'"),
                              QStringLiteral("CREATE TRIGGER no_pw BEFORE UPDATE OF pw ON "
                                             "password FOR EACH ROW EXECUTE FUNCTION no_pw()")}
                : QStringList{QStringLiteral("CREATE TRIGGER no_pw BEFORE UPDATE OF pw ON password "
                                             "BEGIN SELECT RAISE(ABORT, 'pw locked'); END")};
        const auto stay = AccountChange::Focus::Unchanged;
        QTest::newRow("both change")
            << edits("boss|boss|pw1|pw1") << none << true << done << true << stay << "boss"
            << "pw1";
        QTest::newRow("both change, autocommit off")
            << edits("boss|boss|pw1|pw1") << none << false << done << true << stay << "boss"
            << "pw1";
        QTest::newRow("an empty edit changes nothing")
            << edits("boss|boss|  |pw1") << none << true
            << QStringList{QStringLiteral("提示 / 用户名或密码不能为空")} << false << stay << null
            << null;
        QTest::newRow("users differ: nothing changes, window stays")
            << edits("boss|bos|pw1|pw1") << none << true
            << QStringList{QStringLiteral("错误 / 前后新用户不一致，请重输")} << false
            << AccountChange::Focus::NewUser << null << null;
        // The user name alone would leave a null password that lets anyone in.
        QTest::newRow("passwords differ after matching users: nothing changes")
            << edits("boss|boss|pw1|PW1") << none << true
            << QStringList{QStringLiteral("错误 / 前后新密码不一致，请重输")} << false
            << AccountChange::Focus::NewPassword << null << null;
        QTest::newRow("passwords differ: the old account stays")
            << edits("boss|boss|pw1|pw2") << QStringList{account} << true
            << QStringList{QStringLiteral("错误 / 前后新密码不一致，请重输")} << false
            << AccountChange::Focus::NewPassword << "admin"
            << "Secret";
        QTest::newRow("empty password table")
            << edits("boss|boss|pw1|pw1") << QStringList{QStringLiteral("DELETE FROM password")}
            << true << failed << true << stay << ""
            << "";
        QTest::newRow("password write fails: the user change is undone")
            << edits("boss|boss|pw1|pw1") << QStringList{account} + pwFails << true << failed
            << true << stay << "admin"
            << "Secret";
        QTest::newRow("password write fails, autocommit off")
            << edits("boss|boss|pw1|pw1") << QStringList{account} + pwFails << false << failed
            << true << stay << "admin"
            << "Secret";
    }
    void changes() {
        QFETCH(QStringList, edits);
        QFETCH(QStringList, setup);
        QFETCH(bool, autoCommit);
        QFETCH(QStringList, messages);
        QFETCH(bool, closes);
        QFETCH(AccountChange::Focus, focus);
        QFETCH(QString, user);
        QFETCH(QString, password);
        TestHome home;
        ScriptedPlatform platform;
        TestDatabase database(home);
        ZORV_VERIFY_DATABASE(database);
        db::Transaction tx;
        QCOMPARE(database.connect(tx, autoCommit), 0);
        for (const QString &sql : setup)
            QCOMPARE(tx.execute(sql), 0);
        QCOMPARE(tx.commit(), 0);

        const AccountChange out = app::changeAccount(edits[0], edits[1], edits[2], edits[3], tx);
        QCOMPARE(platform.messageLines(), messages);
        QCOMPARE(out.closeWindow, closes);
        QCOMPARE(out.focus, focus);

        // What was changed is committed and nothing else: a fresh connection sees it.
        tx.disconnect();
        tx.setAutoCommit(true);
        QCOMPARE(tx.connect(), 0);
        const auto row = tx.selectRow(QStringLiteral("SELECT user1, pw FROM password"));
        auto shown = [&](int i) {
            return !row                  ? QString()
                   : row->at(i).isNull() ? QStringLiteral("<null>")
                                         : row->at(i).toString();
        };
        QCOMPARE(shown(0), user);
        QCOMPARE(shown(1), password);
    }

    void confirmationsWhenLeavingEdits() {
        ScriptedPlatform platform;
        QVERIFY(app::confirmUser(QStringLiteral("a"), QStringLiteral(" a ")));
        QVERIFY(!app::confirmUser(QStringLiteral("a"), QStringLiteral("A")));
        QVERIFY(app::confirmPassword(QStringLiteral("p"), QStringLiteral("p")));
        QVERIFY(!app::confirmPassword(QStringLiteral("p"), QString()));
        QCOMPARE(platform.messageLines(),
                 QStringList({QStringLiteral("错误 / 前后用户不一致，请重输"),
                              QStringLiteral("错误 / 前后密码不一致，请重输")}));
    }
};

QTEST_GUILESS_MAIN(TestAccount)
#include "test_account.moc"
