#include "core/app/account.h"
#include "core/config/regodbc.h"
#include "core/db/statements.h"
#include "support/scripted_platform.h"
#include "support/tempdir.h"

#include <QTest>

using namespace zorv;
using zorv::app::AccountChange;
using zorv::test::ScriptedPlatform;
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
        QTest::addColumn<bool>("emptyTable");
        QTest::addColumn<bool>("autoCommit");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<AccountChange::Focus>("focus");
        QTest::addColumn<QString>("user");     // afterwards, "<null>" for null
        QTest::addColumn<QString>("password"); // afterwards
        const QString okUser = QStringLiteral("提示 / 用户已成功更改");
        const QString okPw = QStringLiteral("提示 / 密码已成功更改");
        const QString null = QStringLiteral("<null>");
        const auto none = AccountChange::Focus::Unchanged;
        QTest::newRow("both change") << edits("boss|boss|pw1|pw1") << false << true
                                     << QStringList{okUser, okPw} << true << none << "boss"
                                     << "pw1";
        QTest::newRow("both change, autocommit off")
            << edits("boss|boss|pw1|pw1") << false << false << QStringList{okUser, okPw} << true
            << none << "boss"
            << "pw1";
        QTest::newRow("an empty edit changes nothing")
            << edits("boss|boss|  |pw1") << false << true
            << QStringList{QStringLiteral("提示 / 用户名或密码不能为空")} << false << none << null
            << null;
        QTest::newRow("users differ, password still changes")
            << edits("boss|bos|pw1|pw1") << false << true
            << QStringList{QStringLiteral("错误 / 前后新用户不一致，请重输"), okPw} << true
            << AccountChange::Focus::NewUser << null << "pw1";
        QTest::newRow("passwords differ, window stays")
            << edits("boss|boss|pw1|PW1") << false << true
            << QStringList{okUser, QStringLiteral("错误 / 前后新密码不一致，请重输")} << false
            << AccountChange::Focus::NewPassword << "boss" << null;
        QTest::newRow("empty password table") << edits("boss|boss|pw1|pw1") << true << true
                                              << QStringList{QStringLiteral("错误 / 无法更改用户"),
                                                             QStringLiteral("错误 / 无法更改密码")}
                                              << true << none << ""
                                              << "";
    }
    void changes() {
        QFETCH(QStringList, edits);
        QFETCH(bool, emptyTable);
        QFETCH(bool, autoCommit);
        QFETCH(QStringList, messages);
        QFETCH(bool, closes);
        QFETCH(AccountChange::Focus, focus);
        QFETCH(QString, user);
        QFETCH(QString, password);
        TestHome home;
        ScriptedPlatform platform;
        config::RegistryStore store;
        config::regodbc(store, QStringLiteral("zorv"), home.file(QStringLiteral("zorv.mdb")),
                        QStringLiteral("/s"));
        db::Transaction tx;
        tx.setDbParm(QStringLiteral("ConnectString='DSN=zorv;UID=;PWD='"));
        tx.setAutoCommit(autoCommit);
        QCOMPARE(tx.connect(), 0);
        if (emptyTable) {
            tx.execute(QStringLiteral("DELETE FROM password"));
            tx.commit();
        }

        const AccountChange out = app::changeAccount(edits[0], edits[1], edits[2], edits[3], tx);
        QCOMPARE(platform.messageLines(), messages);
        QCOMPARE(out.closeWindow, closes);
        QCOMPARE(out.focus, focus);

        // Whatever was changed is committed: a fresh connection sees it.
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
