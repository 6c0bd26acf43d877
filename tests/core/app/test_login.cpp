#include "core/app/globals.h"
#include "core/app/login.h"
#include "core/config/profile.h"
#include "core/config/regodbc.h"
#include "core/db/statements.h"
#include "support/scripted_platform.h"
#include "support/tempdir.h"

#include <QDir>
#include <QTest>

using namespace zorv;
using zorv::app::LoginLogic;
using zorv::app::LoginStep;
using zorv::test::readFile;
using zorv::test::ScriptedPlatform;
using zorv::test::TestHome;
using zorv::test::writeFile;

Q_DECLARE_METATYPE(LoginStep)
Q_DECLARE_METATYPE(zorv::MsgAnswer)

namespace {

const QString kHint = QStringLiteral("提示 / 请单击登录窗口中的注册按钮(自动对注册ODBC数据源)");

QString dbqOf(const QString &dsn) {
    const auto v = config::RegistryStore().value(config::dataSourceKey(dsn), QStringLiteral("DBQ"));
    return v ? v->text : QString();
}

// A start-up folder with an empty configuration and a database whose
// password table holds the given rows.
struct Started {
    TestHome home;
    ScriptedPlatform platform;
    db::Transaction tx;
    LoginLogic login{tx};
    explicit Started(const QList<QVariantList> &passwordRows) {
        writeFile(home.file(QStringLiteral("zorv.ini")), QByteArray());
        login.open(home.path());
        tx.execute(QStringLiteral("DELETE FROM password"));
        for (const QVariantList &r : passwordRows)
            tx.execute(QStringLiteral("INSERT INTO password VALUES (?, ?)"), r);
        platform.clearRecord();
    }
};

// A database file at path whose account user is marker.
void makeDatabase(const QString &path, const QString &marker) {
    config::RegistryStore store;
    config::regodbc(store, QStringLiteral("maker"), path, config::odbcDriverFolder());
    db::Transaction tx;
    tx.setDbParm(QStringLiteral("ConnectString='DSN=maker;UID=;PWD='"));
    tx.setAutoCommit(true);
    QCOMPARE(tx.connect(), 0);
    QCOMPARE(db::updateUser(tx, marker), 0);
    tx.disconnect();
}

} // namespace

class TestLogin : public QObject {
    Q_OBJECT
private slots:
    // An empty configuration registers "zorv", writes First=false and connects
    // with an empty user and password and autocommit on; the null account skips the login.
    void emptyConfigurationStartsWithoutLogin() {
        TestHome home;
        ScriptedPlatform platform;
        const QString ini = home.file(QStringLiteral("zorv.ini"));
        QVERIFY(writeFile(ini, QByteArray()));
        db::Transaction tx;
        LoginLogic login(tx);
        QCOMPARE(login.open(home.path()), LoginStep::OpenMain);
        QCOMPARE(platform.messageLines(), QStringList());
        QCOMPARE(tx.dbms(), QStringLiteral("ODBC"));
        QCOMPARE(tx.dbParm(), QStringLiteral("ConnectString='DSN=zorv;UID=;PWD='"));
        QVERIFY(tx.autoCommit());
        QVERIFY(tx.isConnected());
        QCOMPARE(login.database(), home.file(QStringLiteral("zorv.mdb")));
        QCOMPARE(dbqOf(QStringLiteral("zorv")), home.file(QStringLiteral("zorv.mdb")));
        QCOMPARE(readFile(ini), QByteArray("[Start]\r\nFirst=false\r\n"));
        QCOMPARE(app::globals().lsPath, home.path());
        QCOMPARE(app::globals().profile, ini);
        QVERIFY(app::globals().sysPath.startsWith(u'/'));
    }

    void autoCommitIsExactlyTrue_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("on");
        QTest::newRow("true") << QByteArray("AutoCommit=true") << true;
        QTest::newRow("TRUE") << QByteArray("AutoCommit=TRUE") << false;
        QTest::newRow("false") << QByteArray("AutoCommit=false") << false;
        QTest::newRow("empty") << QByteArray("AutoCommit=") << false;
        QTest::newRow("missing") << QByteArray("DBMS=ODBC") << true;
    }
    void autoCommitIsExactlyTrue() {
        QFETCH(QByteArray, line);
        QFETCH(bool, on);
        TestHome home;
        ScriptedPlatform platform;
        writeFile(home.file(QStringLiteral("zorv.ini")), "[ODBC]\r\n" + line + "\r\n");
        db::Transaction tx;
        LoginLogic login(tx);
        login.open(home.path());
        QCOMPARE(tx.autoCommit(), on);
    }

    void connectValuesGoInUnchanged() {
        TestHome home;
        ScriptedPlatform platform;
        writeFile(home.file(QStringLiteral("zorv.ini")),
                  "[ODBC]\r\nDSN_Name=zorv\r\nUSER_Name=o'neil\r\nUSER_pw=a;b\r\n");
        db::Transaction tx;
        LoginLogic login(tx);
        login.open(home.path());
        QCOMPARE(tx.dbParm(), QStringLiteral("ConnectString='DSN=zorv;UID=o'neil;PWD=a;b'"));
        QCOMPARE(login.user(), QStringLiteral("o'neil"));
        QVERIFY(tx.isConnected());
    }

    void accountRowsDecideTheLogin_data() {
        QTest::addColumn<QList<QVariantList>>("rows");
        QTest::addColumn<LoginStep>("step");
        const QVariant null;
        QTest::newRow("one null row") << QList<QVariantList>{{null, null}} << LoginStep::OpenMain;
        QTest::newRow("no row") << QList<QVariantList>{} << LoginStep::WaitForLogin;
        QTest::newRow("user set") << QList<QVariantList>{{QStringLiteral("admin"), null}}
                                  << LoginStep::WaitForLogin;
        QTest::newRow("two null rows")
            << QList<QVariantList>{{null, null}, {null, null}} << LoginStep::WaitForLogin;
    }
    void accountRowsDecideTheLogin() {
        QFETCH(QList<QVariantList>, rows);
        QFETCH(LoginStep, step);
        Started s(rows);
        s.tx.disconnect();
        QCOMPARE(s.login.open(s.home.path()), step);
        QCOMPARE(s.platform.messageLines(), QStringList());
    }

    void missingConfigurationAndCancel() {
        TestHome home;
        ScriptedPlatform platform;
        platform.nextFileCancel();
        db::Transaction tx;
        LoginLogic login(tx);
        QCOMPARE(login.open(home.path()), LoginStep::EndProgram);
        QCOMPARE(platform.dialogTitles, QStringList({QStringLiteral("打开文件")}));
        QCOMPARE(platform.dialogFilters, QStringList({QStringLiteral("初始化文件,*.ini")}));
        QCOMPARE(platform.messageLines(),
                 QStringList({QStringLiteral("提示 / 无法打开初始化文件")}));
        QVERIFY(!tx.isConnected());
        QVERIFY(!QFileInfo::exists(home.file(QStringLiteral("zorv.mdb"))));
    }

    // A configuration chosen elsewhere is used and marked, but the database
    // stays in the start-up folder.
    void configurationFromAnotherFolder() {
        TestHome home;
        ScriptedPlatform platform;
        const QString start = home.file(QStringLiteral("start"));
        const QString other = home.file(QStringLiteral("other/my.ini"));
        QDir().mkpath(start);
        writeFile(other, "[ODBC]\r\nDSN_Name=mine\r\n");
        platform.nextFile(other);
        db::Transaction tx;
        LoginLogic login(tx);
        QCOMPARE(login.open(start), LoginStep::OpenMain);
        QCOMPARE(app::globals().profile, other);
        QCOMPARE(dbqOf(QStringLiteral("mine")), start + QStringLiteral("/zorv.mdb"));
        QVERIFY(QFileInfo::exists(start + QStringLiteral("/zorv.mdb")));
        QVERIFY(!QFileInfo::exists(start + QStringLiteral("/zorv.ini")));
        QCOMPARE(config::readProfileString(other, QStringLiteral("Start"), QStringLiteral("First")),
                 QStringLiteral("false"));
    }

    // The data source registered for this user opens a database in another
    // folder while the start folder has its own: start-up asks which to use.
    void secondDataFolder_data() {
        QTest::addColumn<QString>("registered"); // relative to the test home
        QTest::addColumn<bool>("startHasDatabase");
        QTest::addColumn<MsgAnswer>("answer");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<QString>("used"); // the file connected, and registered afterwards
        QTest::addColumn<QString>("marker");
        const auto yes = MsgAnswer::Yes;
        QTest::newRow("asked, the start folder's chosen")
            << "other/zorv.mdb" << true << yes << true << "start/zorv.mdb"
            << "start";
        QTest::newRow("asked, the registered one kept")
            << "other/zorv.mdb" << true << MsgAnswer::No << true << "other/zorv.mdb"
            << "other";
        QTest::newRow("registered file gone: asked rather than created")
            << "gone/zorv.mdb" << true << yes << true << "start/zorv.mdb"
            << "start";
        QTest::newRow("the same file spelled through a link")
            << "link/zorv.mdb" << true << yes << false << "link/zorv.mdb"
            << "start";
        QTest::newRow("the same file spelled with ..")
            << "other/../start/zorv.mdb" << true << yes << false << "other/../start/zorv.mdb"
            << "start";
        QTest::newRow("start folder without a database")
            << "other/zorv.mdb" << false << yes << false << "other/zorv.mdb"
            << "other";
        QTest::newRow("another file name was registered on purpose")
            << "other/team.mdb" << true << yes << false << "other/team.mdb"
            << "team";
    }
    void secondDataFolder() {
        QFETCH(QString, registered);
        QFETCH(bool, startHasDatabase);
        QFETCH(MsgAnswer, answer);
        QFETCH(bool, asked);
        QFETCH(QString, used);
        QFETCH(QString, marker);
        TestHome home;
        const QString start = home.file(QStringLiteral("start"));
        QVERIFY(writeFile(start + QStringLiteral("/zorv.ini"), "[Start]\r\nFirst=false\r\n"));
        QVERIFY(QFile::link(start, home.file(QStringLiteral("link"))));
        QVERIFY(QDir().mkpath(home.file(QStringLiteral("other"))));
        if (startHasDatabase)
            makeDatabase(start + QStringLiteral("/zorv.mdb"), QStringLiteral("start"));
        makeDatabase(home.file(QStringLiteral("other/zorv.mdb")), QStringLiteral("other"));
        makeDatabase(home.file(QStringLiteral("other/team.mdb")), QStringLiteral("team"));
        config::RegistryStore store;
        config::regodbc(store, QStringLiteral("zorv"), home.file(registered),
                        config::odbcDriverFolder());

        ScriptedPlatform platform;
        platform.nextAnswer(answer);
        db::Transaction tx;
        LoginLogic login(tx);
        QCOMPARE(login.open(start), LoginStep::WaitForLogin);
        if (asked) {
            QCOMPARE(platform.messages.size(), 1);
            const test::ShownMessage &m = platform.messages.first();
            QCOMPARE(m.title, QStringLiteral("提示"));
            QCOMPARE(m.buttons, MsgButtons::YesNo);
            QVERIFY(m.text.contains(home.file(registered)));
            QVERIFY(m.text.contains(start + QStringLiteral("/zorv.mdb")));
        } else {
            QCOMPARE(platform.messageLines(), QStringList());
        }
        QCOMPARE(tx.databaseFile(), QDir::cleanPath(home.file(used)));
        QCOMPARE(dbqOf(QStringLiteral("zorv")), home.file(used));
        QCOMPARE(tx.selectRow(QStringLiteral("SELECT user1 FROM password"))->at(0).toString(),
                 marker);
        QVERIFY(!QFileInfo::exists(home.file(QStringLiteral("gone"))));
    }

    // Registered once, the data source is gone on the next start: the
    // register button registers again and connects.
    void registerButtonRecovers() {
        TestHome home;
        ScriptedPlatform platform;
        writeFile(home.file(QStringLiteral("zorv.ini")), "[Start]\r\nFirst=false\r\n");
        db::Transaction tx;
        LoginLogic login(tx);
        QCOMPARE(login.open(home.path()), LoginStep::OfferRegister);
        QCOMPARE(platform.messageLines(), QStringList({kHint}));
        QVERIFY(!tx.isConnected());
        QCOMPARE(login.registerClicked(), LoginStep::OpenMain);
        QVERIFY(tx.isConnected());
        QCOMPARE(dbqOf(QStringLiteral("zorv")), home.file(QStringLiteral("zorv.mdb")));
        // The register button leaves the configuration as it was.
        QCOMPARE(readFile(home.file(QStringLiteral("zorv.ini"))),
                 QByteArray("[Start]\r\nFirst=false\r\n"));
    }

    // A damaged database fails at start, again after registering, shows the
    // database's text, ends the program and is never overwritten.
    void damagedDatabaseEndsAfterRegister() {
        TestHome home;
        ScriptedPlatform platform;
        const QByteArray junk(2048, 'x');
        writeFile(home.file(QStringLiteral("zorv.ini")), QByteArray());
        writeFile(home.file(QStringLiteral("zorv.mdb")), junk);
        db::Transaction tx;
        LoginLogic login(tx);
        QCOMPARE(login.open(home.path()), LoginStep::OfferRegister);
        QCOMPARE(login.registerClicked(), LoginStep::EndProgram);
        QCOMPARE(platform.messageLines(),
                 QStringList({kHint, QStringLiteral("连接数据库失败 / file is not a database"),
                              QStringLiteral("请自行配制ODBC数据源 / DNS名为:zorv数据库名:") +
                                  home.file(QStringLiteral("zorv.mdb"))}));
        QCOMPARE(readFile(home.file(QStringLiteral("zorv.mdb"))), junk);
    }

    void folderWithoutDatabaseRoom() {
        TestHome home;
        ScriptedPlatform platform;
        const QString ini = home.file(QStringLiteral("zorv.ini"));
        writeFile(ini, QByteArray());
        const QString gone = home.file(QStringLiteral("gone"));
        platform.nextFile(ini);
        db::Transaction tx;
        LoginLogic login(tx);
        QCOMPARE(login.open(gone), LoginStep::OfferRegister);
        QCOMPARE(platform.messages.size(), 2);
        QCOMPARE(platform.messages[0].title, QStringLiteral("提示"));
        QVERIFY(platform.messages[0].text.contains(gone));
        QVERIFY(platform.messages[0].text.contains(QStringLiteral("zorv.mdb")));
        QCOMPARE(platform.messageLines().at(1), kHint);
    }

    // The login check: each row is one press of OK.
    void loginTries_data() {
        QTest::addColumn<QVariant>("storedPw");
        QTest::addColumn<QStringList>("tries"); // "name/password"
        QTest::addColumn<QList<LoginStep>>("steps");
        QTest::addColumn<int>("messages");
        const QString right = QStringLiteral("admin/Secret");
        const QString wrong = QStringLiteral("admin/secret");
        const auto R = LoginStep::RetryLogin;
        QTest::newRow("right at once") << QVariant(QStringLiteral("Secret")) << QStringList{right}
                                       << QList<LoginStep>{LoginStep::OpenMain} << 0;
        QTest::newRow("right on the fourth try")
            << QVariant(QStringLiteral("Secret")) << QStringList{wrong, wrong, wrong, right}
            << QList<LoginStep>{R, R, R, LoginStep::OpenMain} << 3;
        QTest::newRow("fourth failure ends")
            << QVariant(QStringLiteral("Secret"))
            << QStringList{wrong, QStringLiteral("nobody/Secret"), QStringLiteral("nobody/"), wrong}
            << QList<LoginStep>{R, R, R, LoginStep::EndProgram} << 4;
        QTest::newRow("empty name does not count")
            << QVariant(QStringLiteral("Secret"))
            << QStringList{wrong, QStringLiteral("/x"), QStringLiteral("  /Secret"), wrong, wrong,
                           right}
            << QList<LoginStep>{R, LoginStep::Nothing, LoginStep::Nothing, R,
                                R, LoginStep::OpenMain}
            << 3;
        QTest::newRow("blanks around the entries are ignored")
            << QVariant(QStringLiteral("Secret")) << QStringList{QStringLiteral(" admin / Secret ")}
            << QList<LoginStep>{LoginStep::OpenMain} << 0;
        QTest::newRow("null stored password accepts anything")
            << QVariant() << QStringList{QStringLiteral("admin/whatever")}
            << QList<LoginStep>{LoginStep::OpenMain} << 0;
        QTest::newRow("user name is matched exactly")
            << QVariant(QStringLiteral("Secret")) << QStringList{QStringLiteral("ADMIN/Secret")}
            << QList<LoginStep>{R} << 1;
    }
    void loginTries() {
        QFETCH(QVariant, storedPw);
        QFETCH(QStringList, tries);
        QFETCH(QList<LoginStep>, steps);
        QFETCH(int, messages);
        Started s({{QStringLiteral("admin"), storedPw}});
        for (int i = 0; i < tries.size(); ++i) {
            const QStringList parts = tries[i].split(u'/');
            QCOMPARE(s.login.okClicked(parts[0], parts[1]), steps[i]);
        }
        QCOMPARE(s.platform.messages.size(), messages);
        for (int i = 0; i < messages; ++i) {
            const bool last = steps.last() == LoginStep::EndProgram && i == messages - 1;
            QCOMPARE(s.platform.messageLines().at(i),
                     last ? QStringLiteral("登录错误 / 对不起，你无权使用本系统!")
                          : QStringLiteral("登录错误 / 请输入正确的用户名或密码"));
        }
    }

    void nullAccountOpensWhateverIsTyped() {
        Started s({{QVariant(), QVariant()}});
        QCOMPARE(s.login.okClicked(QString(), QString()), LoginStep::OpenMain);
    }
};

QTEST_GUILESS_MAIN(TestLogin)
#include "test_login.moc"
