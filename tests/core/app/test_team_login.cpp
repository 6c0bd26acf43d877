// Start-up and login with a "zorv.ini" that names the test database: the
// embedded file, or in the server pass a PostgreSQL data source of the
// system's ODBC configuration.
#include "core/app/login.h"
#include "core/config/profile.h"
#include "core/config/regodbc.h"
#include "core/db/statements.h"
#include "support/scripted_platform.h"
#include "support/test_database.h"

#include <QTest>

using namespace zorv;
using zorv::app::LoginLogic;
using zorv::app::LoginStep;
using zorv::test::ScriptedPlatform;
using zorv::test::TestDatabase;
using zorv::test::TestHome;
using zorv::test::writeFile;

Q_DECLARE_METATYPE(LoginStep)

namespace {

// A first start: the configuration names the data source and user, and
// says nothing about registration (so First counts as "true").
void writeIni(const TestHome &home, const TestDatabase &database) {
    const QString ini = QStringLiteral("[ODBC]\nDSN_Name=%1\nUSER_Name=%2\nUSER_pw=%3\n")
                            .arg(database.dsn(), database.user(), database.password());
    QVERIFY(writeFile(home.file(QStringLiteral("zorv.ini")), ini.toUtf8()));
}

} // namespace

class TestTeamLogin : public QObject {
    Q_OBJECT
private slots:
    void firstStartWithoutAccountOpensTheMainFrame() {
        TestHome home;
        TestDatabase database(home, QStringLiteral("team"));
        ZORV_VERIFY_DATABASE(database);
        writeIni(home, database);
        ScriptedPlatform platform;
        db::Transaction tx;
        LoginLogic login(tx);
        QCOMPARE(login.open(home.path()), LoginStep::OpenMain);
        QCOMPARE(platform.messageLines(), QStringList());
        QCOMPARE(tx.dialect(),
                 database.isServer() ? db::Dialect::PostgreSQL : db::Dialect::Embedded);
        const auto driver = config::RegistryStore().value(config::dataSourceKey(database.dsn()),
                                                          QStringLiteral("Driver"));
        // The server's data source is not hidden behind a registration for the desktop file.
        QCOMPARE(bool(driver), !database.isServer());
        QCOMPARE(config::readProfileString(home.file(QStringLiteral("zorv.ini")),
                                           QStringLiteral("Start"), QStringLiteral("First"),
                                           QString()),
                 QStringLiteral("false"));
        // The program works on it: a statement saved and read back.
        QCOMPARE(db::insertSql(tx, QStringLiteral("select 1"), QStringLiteral("试")), 0);
        QCOMPARE(db::countSql(tx), 1);
    }

    void loginChecksTheAccount_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("password");
        QTest::addColumn<LoginStep>("step");
        QTest::addColumn<QStringList>("messages");
        const QStringList retry{QStringLiteral("登录错误 / 请输入正确的用户名或密码")};
        QTest::newRow("right") << "王 "
                               << "Pw'1" << LoginStep::OpenMain << QStringList();
        QTest::newRow("password case differs") << "王"
                                               << "pw'1" << LoginStep::RetryLogin << retry;
        QTest::newRow("unknown user") << "李"
                                      << "Pw'1" << LoginStep::RetryLogin << retry;
        QTest::newRow("no user name") << ""
                                      << "x" << LoginStep::Nothing << QStringList();
    }
    void loginChecksTheAccount() {
        QFETCH(QString, name);
        QFETCH(QString, password);
        QFETCH(LoginStep, step);
        QFETCH(QStringList, messages);
        TestHome home;
        TestDatabase database(home, QStringLiteral("team"));
        ZORV_VERIFY_DATABASE(database);
        {
            db::Transaction tx;
            QCOMPARE(database.connect(tx), 0);
            QCOMPARE(db::updateUser(tx, QStringLiteral("王")), 0);
            QCOMPARE(db::updatePassword(tx, QStringLiteral("Pw'1")), 0);
        }
        writeIni(home, database);
        ScriptedPlatform platform;
        db::Transaction tx;
        LoginLogic login(tx);
        QCOMPARE(login.open(home.path()), LoginStep::WaitForLogin);
        QCOMPARE(login.okClicked(name, password), step);
        QCOMPARE(platform.messageLines(), messages);
    }
};

QTEST_GUILESS_MAIN(TestTeamLogin)
#include "test_team_login.moc"
