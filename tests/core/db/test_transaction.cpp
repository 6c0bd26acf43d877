#include "core/config/regodbc.h"
#include "core/db/schema.h"
#include "core/db/statements.h"
#include "core/db/transaction.h"
#include "support/test_database.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

using namespace zorv;
using zorv::db::Transaction;
using zorv::test::readFile;
using zorv::test::TestDatabase;
using zorv::test::TestHome;
using zorv::test::writeFile;

namespace {

const QString kParm = QStringLiteral("ConnectString='DSN=zorv;UID=;PWD='");

// Registers the data source "zorv" on dbq and sets the transaction up for it.
void prepare(Transaction &tx, const QString &dbq, bool autoCommit = true) {
    config::RegistryStore store;
    config::regodbc(store, QStringLiteral("zorv"), dbq, config::odbcDriverFolder());
    tx.setDbms(QStringLiteral("ODBC"));
    tx.setDbParm(kParm);
    tx.setAutoCommit(autoCommit);
}

} // namespace

class TestTransaction : public QObject {
    Q_OBJECT
private slots:
    void missingFileIsCreatedWithSchema() {
        ZORV_EMBEDDED_ONLY();
        TestHome home;
        const QString file = home.file(QStringLiteral("zorv.mdb"));
        Transaction tx;
        prepare(tx, file);
        QCOMPARE(tx.connect(), 0);
        QVERIFY(tx.databaseCreated());
        QVERIFY(QFileInfo::exists(file));
        // No temporary file is left beside it.
        QCOMPARE(QDir(home.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList({QStringLiteral("zorv.mdb")}));

        for (const QString &t : db::tableNames()) {
            const QSqlRecord r = tx.database().record(t);
            QStringList cols;
            for (int i = 0; i < r.count(); ++i)
                cols << r.fieldName(i);
            QCOMPARE(cols, db::columnNames(t));
        }
        const auto row =
            tx.selectRow(QStringLiteral("SELECT count(*), max(user1), max(pw) FROM password"));
        QVERIFY(row);
        QCOMPARE(row->at(0).toInt(), 1);
        QVERIFY(row->at(1).isNull() && row->at(2).isNull());
        QCOMPARE(db::countNullAccount(tx), 1);
        QCOMPARE(tx.selectRow(QStringLiteral("PRAGMA user_version"))->at(0).toInt(),
                 db::kSchemaVersion);

        // The second connect opens what is there and creates nothing.
        tx.disconnect();
        QCOMPARE(tx.connect(), 0);
        QVERIFY(!tx.databaseCreated());
    }

    void unusableFileIsNeverOverwritten_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("errorPart");
        QTest::newRow("another program's file")
            << QByteArray("Standard Jet DB\0\0\0 this is not SQLite at all, honestly..........", 64)
            << "file is not a database";
        QTest::newRow("empty file") << QByteArray() << "sqlt";
    }
    void unusableFileIsNeverOverwritten() {
        ZORV_EMBEDDED_ONLY();
        QFETCH(QByteArray, content);
        QFETCH(QString, errorPart);
        TestHome home;
        const QString file = home.file(QStringLiteral("zorv.mdb"));
        QVERIFY(writeFile(file, content));
        Transaction tx;
        prepare(tx, file);
        QCOMPARE(tx.connect(), -1);
        QVERIFY2(tx.sqlerrtext().contains(errorPart), qPrintable(tx.sqlerrtext()));
        QVERIFY(!tx.isConnected());
        QVERIFY(!tx.databaseCreated() && !tx.databaseCreationFailed());
        QCOMPARE(readFile(file), content);
    }

    void foreignSqliteDatabaseIsRefusedUntouched() {
        ZORV_EMBEDDED_ONLY();
        TestHome home;
        const QString file = home.file(QStringLiteral("zorv.mdb"));
        {
            QSqlDatabase db =
                QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("foreign"));
            db.setDatabaseName(file);
            QVERIFY(db.open());
            QSqlQuery(db).exec(QStringLiteral("CREATE TABLE notes (t TEXT)"));
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("foreign"));
        const QByteArray before = readFile(file);
        Transaction tx;
        prepare(tx, file);
        QCOMPARE(tx.connect(), -1);
        QVERIFY(tx.sqlerrtext().contains(QStringLiteral("sqlt")));
        QCOMPARE(readFile(file), before);
    }

    void folderWhereFileCannotBeCreated() {
        ZORV_EMBEDDED_ONLY();
        TestHome home;
        const QString folder = home.file(QStringLiteral("missing/folder"));
        Transaction tx;
        prepare(tx, folder + QStringLiteral("/zorv.mdb"));
        QCOMPARE(tx.connect(), -1);
        QVERIFY(tx.databaseCreationFailed());
        QVERIFY2(tx.sqlerrtext().contains(folder), qPrintable(tx.sqlerrtext()));
        QVERIFY(!QFileInfo::exists(folder));
    }

    void otherConnectFailures_data() {
        QTest::addColumn<QString>("dbms");
        QTest::addColumn<QString>("parm");
        QTest::newRow("unknown interface") << "O90" << kParm;
        QTest::newRow("no data source name") << "ODBC"
                                             << "ConnectString='UID=a'";
        QTest::newRow("source not registered here goes to the ODBC manager")
            << "ODBC"
            << "ConnectString='DSN=zorv_unknown_source;UID=;PWD='";
    }
    void otherConnectFailures() {
        QFETCH(QString, dbms);
        QFETCH(QString, parm);
        TestHome home;
        Transaction tx;
        tx.setDbms(dbms);
        tx.setDbParm(parm);
        QCOMPARE(tx.connect(), -1);
        QVERIFY(!tx.sqlerrtext().isEmpty());
        QVERIFY(!tx.isConnected());
        QCOMPARE(tx.execute(QStringLiteral("SELECT 1")), -1);
    }

    void emptyDbmsMeansOdbc() {
        TestHome home;
        Transaction tx;
        prepare(tx, home.file(QStringLiteral("zorv.mdb")));
        tx.setDbms(QString());
        QCOMPARE(tx.connect(), 0);
    }

    void connectStringParts_data() {
        QTest::addColumn<QString>("parm");
        QTest::addColumn<QString>("inner");
        QTest::addColumn<QString>("dsn");
        QTest::newRow("plain") << "ConnectString='DSN=zorv;UID=;PWD='"
                               << "DSN=zorv;UID=;PWD="
                               << "zorv";
        QTest::newRow("quote and semicolon in the password")
            << "ConnectString='DSN=team db;UID=o'neil;PWD=a;b'"
            << "DSN=team db;UID=o'neil;PWD=a;b"
            << "team db";
        QTest::newRow("keyword case") << "connectstring='dsn=x'"
                                      << "dsn=x"
                                      << "x";
        QTest::newRow("none") << "DSN=x"
                              << ""
                              << "";
    }
    void connectStringParts() {
        QFETCH(QString, parm);
        QFETCH(QString, inner);
        QFETCH(QString, dsn);
        QCOMPARE(db::connectStringOf(parm), inner);
        QCOMPARE(db::connectValue(inner, QStringLiteral("DSN")), dsn);
    }

    void autoCommitOffHoldsChangesUntilCommit() {
        TestHome home;
        TestDatabase database(home);
        ZORV_VERIFY_DATABASE(database);
        Transaction tx;
        QCOMPARE(database.connect(tx, false), 0);
        const QString count = QStringLiteral("SELECT count(*) FROM base0");
        QCOMPARE(db::insertTable(tx, QStringLiteral("t1"), QStringLiteral("p")), 0);
        QCOMPARE(tx.sqlnrows(), 1);
        QCOMPARE(tx.rollback(), 0);
        QCOMPARE(db::countTable(tx, QStringLiteral("t1")), 0);
        QCOMPARE(db::insertTable(tx, QStringLiteral("t1"), QStringLiteral("p")), 0);
        QCOMPARE(tx.commit(), 0);
        QCOMPARE(database.scalarFromOutside(count), 1);
        // Work after a commit is again held until the next one; disconnect commits it.
        QCOMPARE(db::insertTable(tx, QStringLiteral("t2"), QStringLiteral("p")), 0);
        QCOMPARE(tx.disconnect(), 0);
        QCOMPARE(database.scalarFromOutside(count), 2);
    }

    void autoCommitOnWritesAtOnce() {
        TestHome home;
        TestDatabase database(home);
        ZORV_VERIFY_DATABASE(database);
        Transaction tx;
        QCOMPARE(database.connect(tx, true), 0);
        QCOMPARE(db::insertTable(tx, QStringLiteral("t1"), QStringLiteral("p")), 0);
        QCOMPARE(database.scalarFromOutside(QStringLiteral("SELECT count(*) FROM base0")), 1);
        // Already committed: a rollback could undo nothing and says so.
        QCOMPARE(tx.rollback(), -1);
        QCOMPARE(tx.commit(), 0);
    }

    // Automatic numbering of the entry window and max + 1 of the importers coexist.
    void sqltNumberingCoexists() {
        TestHome home;
        TestDatabase database(home);
        ZORV_VERIFY_DATABASE(database);
        Transaction tx;
        QCOMPARE(database.connect(tx), 0);
        QVERIFY(!db::maxSqlBh(tx));
        QCOMPARE(tx.sqlcode(), 0);
        QCOMPARE(db::insertSql(tx, QStringLiteral("select 1"), QStringLiteral("one")), 0);
        QCOMPARE(db::maxSqlBh(tx).value_or(0), 1);
        QCOMPARE(db::insertSqlNumbered(tx, QStringLiteral("select 2"), QStringLiteral("two"),
                                       *db::maxSqlBh(tx) + 1),
                 0);
        QCOMPARE(db::insertSql(tx, QStringLiteral("select 3"), QStringLiteral("three")), 0);
        QCOMPARE(db::maxSqlBh(tx).value_or(0), 3);
        QCOMPARE(db::countSql(tx), 3);
        // A duplicate explicit number fails with the database's text.
        QCOMPARE(db::insertSqlNumbered(tx, QStringLiteral("dup"), QString(), 2), -1);
        QVERIFY2(tx.sqlerrtext().contains(QStringLiteral("UNIQUE"), Qt::CaseInsensitive),
                 qPrintable(tx.sqlerrtext()));
        // Rows numbered by the database can be read, edited and deleted by number.
        QCOMPARE(db::updateSql(tx, QStringLiteral("select 33"), QStringLiteral("三"), 3), 0);
        QCOMPARE(tx.sqlnrows(), 1);
        const auto e = db::selectSql(tx, 3);
        QVERIFY(e);
        QCOMPARE(e->sql, QStringLiteral("select 33"));
        QCOMPARE(e->purpose, QStringLiteral("三"));
        QCOMPARE(db::deleteSql(tx, 3), 0);
        QVERIFY(!db::selectSql(tx, 3));
        QCOMPARE(tx.sqlcode(), 100);
        // Deleted numbers are not reused by automatic numbering.
        QCOMPARE(db::insertSql(tx, QStringLiteral("select 4"), QStringLiteral("four")), 0);
        QCOMPARE(db::maxSqlBh(tx).value_or(0), 4);
        const auto byPurpose = db::selectSqlByPurpose(tx);
        QCOMPARE(byPurpose.size(), 3);
        QCOMPARE(byPurpose.first().purpose, QStringLiteral("four"));
    }

    void registerAndCatalogueStatements() {
        TestHome home;
        TestDatabase database(home);
        ZORV_VERIFY_DATABASE(database);
        Transaction tx;
        QCOMPARE(database.connect(tx), 0);
        const QDateTime when(QDate(2024, 2, 29), QTime(10, 30));
        QCOMPARE(db::insertRegister(tx, 1, 7, when, QStringLiteral("张三"), QStringLiteral("相同")),
                 0);
        QCOMPARE(db::insertRegister(tx, 2, 7, when, QStringLiteral("李四"), QStringLiteral("不同")),
                 0);
        QCOMPARE(db::updateRegisterRemark(tx, QStringLiteral("备注"), 2), 0);
        QCOMPARE(tx.sqlnrows(), 1);
        auto rows = tx.selectRows(db::gridsql::htmdcx, {0, 10, when.addDays(-1), when.addDays(1),
                                                        QStringLiteral("%"), QStringLiteral("%")});
        QCOMPARE(tx.sqlcode(), 0);
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[1].at(0).toInt(), 2);
        QCOMPARE(rows[1].at(6).toString(), QStringLiteral("备注"));
        QCOMPARE(db::deleteRegister(tx, 1), 0);
        QCOMPARE(tx.sqlnrows(), 1);

        QCOMPARE(db::insertTable(tx, QStringLiteral("emp"), QStringLiteral("员工")), 0);
        QCOMPARE(db::insertTable(tx, QStringLiteral("empty"), QStringLiteral("no columns")), 0);
        QCOMPARE(db::insertColumn(tx, QStringLiteral("emp"), QStringLiteral("name"),
                                  QStringLiteral("varchar2"), 20),
                 0);
        QCOMPARE(db::countColumn(tx, QStringLiteral("emp"), QStringLiteral("name")), 1);
        QCOMPARE(db::countColumn(tx, QStringLiteral("emp"), QStringLiteral("age")), 0);
        QCOMPARE(db::updateTablePurpose(tx, QStringLiteral("雇员"), QStringLiteral("emp")), 0);
        const QVariantList any = {QStringLiteral("%"), QStringLiteral("%"), QStringLiteral("%"),
                                  QStringLiteral("%")};
        // A catalogue table without columns is listed by neither joined source.
        rows = tx.selectRows(db::gridsql::base0, any);
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0].at(1).toString(), QStringLiteral("雇员"));
        QCOMPARE(tx.selectRows(db::gridsql::dcbase, any).size(), 1);
        QCOMPARE(tx.selectRows(db::gridsql::base2, {QStringLiteral("emp")}).size(), 1);
        QCOMPARE(
            tx.selectRows(db::gridsql::ssql, {QStringLiteral("%"), QStringLiteral("%")}).size(), 0);
    }

    void accountStatements() {
        TestHome home;
        TestDatabase database(home);
        ZORV_VERIFY_DATABASE(database);
        Transaction tx;
        QCOMPARE(database.connect(tx), 0);
        QVERIFY(!db::selectPassword(tx, QStringLiteral("admin")));
        QCOMPARE(tx.sqlcode(), 100);
        QCOMPARE(db::updateUser(tx, QStringLiteral("admin")), 0);
        QCOMPARE(tx.sqlnrows(), 1);
        QCOMPARE(db::countNullAccount(tx), 0);
        const auto nullPw = db::selectPassword(tx, QStringLiteral("admin"));
        QVERIFY(nullPw && nullPw->isNull());
        QCOMPARE(db::updatePassword(tx, QStringLiteral("Secret")), 0);
        QCOMPARE(db::selectPassword(tx, QStringLiteral("admin"))->toString(),
                 QStringLiteral("Secret"));
        // Every row changes: the updates carry no condition.
        tx.execute(QStringLiteral("INSERT INTO password VALUES ('x', 'y')"));
        QCOMPARE(db::updatePassword(tx, QStringLiteral("new")), 0);
        QCOMPARE(tx.sqlnrows(), 2);
        // A failing count reads as 0.
        tx.execute(QStringLiteral("DROP TABLE password"));
        QCOMPARE(db::countNullAccount(tx), 0);
        QCOMPARE(tx.sqlcode(), -1);
    }
};

QTEST_GUILESS_MAIN(TestTransaction)
#include "test_transaction.moc"
