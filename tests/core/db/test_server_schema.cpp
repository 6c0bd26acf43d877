// Creating the program's tables in a database (db init) and refusing one
// that already holds tables of those names.
#include "core/db/schema.h"
#include "core/db/server_schema.h"
#include "core/db/statements.h"
#include "support/test_database.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

using namespace zorv;
using zorv::db::Transaction;
using zorv::test::TestDatabase;
using zorv::test::TestHome;

class TestServerSchema : public QObject {
    Q_OBJECT
private slots:
    void initCreatesTheTablesWithTheNullAccount() {
        ZORV_SERVER_ONLY();
        TestHome home;
        TestDatabase database(home, QStringLiteral("zorv"), false);
        ZORV_VERIFY_DATABASE(database);
        Transaction tx;
        tx.setRequireSchema(false);
        QCOMPARE(database.connect(tx), 0);
        QVERIFY(db::existingTables(tx).isEmpty());
        QCOMPARE(db::initDatabase(tx), 0);
        QCOMPARE(db::existingTables(tx), db::tableNames());
        QCOMPARE(db::countNullAccount(tx), 1);
        for (const QString &t : db::tableNames()) {
            QSqlQuery q(tx.database());
            QVERIFY(q.exec(QStringLiteral("SELECT * FROM %1 WHERE 1 = 0").arg(t)));
            const QSqlRecord r = q.record();
            QStringList columns;
            for (int i = 0; i < r.count(); ++i)
                columns << r.fieldName(i);
            QCOMPARE(columns, db::columnNames(t));
        }
        // The server numbers bh itself.
        QCOMPARE(db::insertSql(tx, QStringLiteral("select 1"), QStringLiteral("p")), 0);
        QCOMPARE(db::maxSqlBh(tx).value_or(0), 1);
        // A second init is refused.
        QCOMPARE(db::initDatabase(tx), -1);
        QVERIFY2(tx.sqlerrtext().contains(QStringLiteral("sqlt")), qPrintable(tx.sqlerrtext()));
        QCOMPARE(db::countSql(tx), 1);
    }

    // A database holding other tables of the program's names is refused,
    // naming them, and keeps what it had; nothing else is created.
    void initRefusesTablesOfTheSameNames_data() {
        QTest::addColumn<QString>("existing");
        QTest::addColumn<QString>("named");
        QTest::newRow("a foreign password table") << "CREATE TABLE password (login TEXT)"
                                                  << "password";
        QTest::newRow("a foreign register") << "CREATE TABLE htt1 (x INTEGER)"
                                            << "htt1";
    }
    void initRefusesTablesOfTheSameNames() {
        ZORV_SERVER_ONLY();
        QFETCH(QString, existing);
        QFETCH(QString, named);
        TestHome home;
        TestDatabase database(home, QStringLiteral("zorv"), false);
        ZORV_VERIFY_DATABASE(database);
        QVERIFY(database.executeFromOutside(existing));
        QVERIFY(
            database.executeFromOutside(QStringLiteral("INSERT INTO %1 VALUES ('7')").arg(named)));
        Transaction tx;
        tx.setRequireSchema(false);
        QCOMPARE(database.connect(tx), 0);
        QCOMPARE(db::initDatabase(tx), -1);
        QVERIFY2(tx.sqlerrtext().contains(named) &&
                     tx.sqlerrtext().contains(QStringLiteral("没有作任何修改")),
                 qPrintable(tx.sqlerrtext()));
        QCOMPARE(db::existingTables(tx), QStringList{named});
        QCOMPARE(database.scalarFromOutside(QStringLiteral("SELECT count(*) FROM %1").arg(named)),
                 1);
    }

    void connectRefusesADatabaseWithoutTheTables() {
        ZORV_SERVER_ONLY();
        TestHome home;
        TestDatabase database(home, QStringLiteral("zorv"), false);
        ZORV_VERIFY_DATABASE(database);
        Transaction tx;
        QCOMPARE(database.connect(tx), -1);
        QVERIFY(!tx.isConnected());
        QVERIFY2(tx.sqlerrtext().contains(QStringLiteral("zorv db init --dsn ") + database.dsn()),
                 qPrintable(tx.sqlerrtext()));
    }

    void passwordNeverInMessages_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("connect string") << "DSN=team;UID=ann;PWD=s3cret;X=1"
                                        << "DSN=team;UID=ann;PWD=***;X=1";
        QTest::newRow("parameter string") << "ConnectString='DSN=team;Password=a b'"
                                          << "ConnectString='DSN=team;Password=***'";
        QTest::newRow("no password") << "DSN=team"
                                     << "DSN=team";
    }
    void passwordNeverInMessages() {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(db::withoutPassword(text), expected);
        Transaction tx;
        tx.setDbParm(QStringLiteral("ConnectString='UID=ann;PWD=s3cret'"));
        QCOMPARE(tx.connect(), -1);
        QVERIFY2(!tx.sqlerrtext().contains(QStringLiteral("s3cret")), qPrintable(tx.sqlerrtext()));
    }
};

QTEST_GUILESS_MAIN(TestServerSchema)
#include "test_server_schema.moc"
