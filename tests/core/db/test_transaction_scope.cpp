#include "core/config/regodbc.h"
#include "core/db/statements.h"
#include "core/db/transaction_scope.h"
#include "support/tempdir.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

using namespace zorv;
using zorv::db::Transaction;
using zorv::db::TransactionScope;
using zorv::test::TestHome;

namespace {

// A transaction connected to a new embedded database in home.
void connectNew(Transaction &tx, const TestHome &home, bool autoCommit) {
    config::RegistryStore store;
    config::regodbc(store, QStringLiteral("zorv"), home.file(QStringLiteral("zorv.mdb")),
                    config::odbcDriverFolder());
    tx.setDbParm(QStringLiteral("ConnectString='DSN=zorv;UID=;PWD='"));
    tx.setAutoCommit(autoCommit);
    QCOMPARE(tx.connect(), 0);
}

// Catalogue rows as a second, independent connection to the file sees them.
qint64 tablesFromOutside(const QString &file) {
    qint64 n = -1;
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("outside"));
        db.setDatabaseName(file);
        if (db.open()) {
            QSqlQuery q(db);
            if (q.exec(QStringLiteral("SELECT count(*) FROM base0")) && q.next())
                n = q.value(0).toLongLong();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("outside"));
    return n;
}

void insertTwo(Transaction &tx) {
    QCOMPARE(db::insertTable(tx, QStringLiteral("t1"), QStringLiteral("一")), 0);
    QCOMPARE(db::insertTable(tx, QStringLiteral("t2"), QStringLiteral("二")), 0);
}

} // namespace

class TestTransactionScope : public QObject {
    Q_OBJECT
private slots:
    void autoCommit_data() {
        QTest::addColumn<bool>("autoCommit");
        QTest::newRow("autocommit on") << true;
        QTest::newRow("autocommit off") << false;
    }

    void rollbackUndoes_data() { autoCommit_data(); }
    void rollbackUndoes() {
        QFETCH(bool, autoCommit);
        TestHome home;
        Transaction tx;
        connectNew(tx, home, autoCommit);
        {
            TransactionScope scope(tx);
            QVERIFY(scope.isOpen());
            insertTwo(tx);
            // Nothing is visible outside before the commit, autocommit or not.
            QCOMPARE(tablesFromOutside(home.file(QStringLiteral("zorv.mdb"))), 0);
            QCOMPARE(scope.rollback(), 0);
            QVERIFY(!scope.isOpen());
        }
        QCOMPARE(db::countTable(tx, QStringLiteral("t1")), 0);
        // The connection goes on as configured afterwards.
        QCOMPARE(db::insertTable(tx, QStringLiteral("t3"), QString()), 0);
        QCOMPARE(tx.commit(), 0);
        QCOMPARE(tablesFromOutside(home.file(QStringLiteral("zorv.mdb"))), 1);
    }

    void commitKeeps_data() { autoCommit_data(); }
    void commitKeeps() {
        QFETCH(bool, autoCommit);
        TestHome home;
        Transaction tx;
        connectNew(tx, home, autoCommit);
        TransactionScope scope(tx);
        insertTwo(tx);
        QCOMPARE(scope.commit(), 0);
        QCOMPARE(tablesFromOutside(home.file(QStringLiteral("zorv.mdb"))), 2);
        // Ended once: a second end is refused, not reported as done.
        QCOMPARE(scope.rollback(), -1);
        QVERIFY(!tx.sqlerrtext().isEmpty());
        QCOMPARE(db::countTable(tx, QStringLiteral("t2")), 1);
    }

    void endingWithoutCommitRollsBack_data() { autoCommit_data(); }
    void endingWithoutCommitRollsBack() {
        QFETCH(bool, autoCommit);
        TestHome home;
        Transaction tx;
        connectNew(tx, home, autoCommit);
        {
            TransactionScope scope(tx);
            insertTwo(tx);
            // A failing statement inside leaves the scope to be ended by its owner.
            QCOMPARE(tx.execute(QStringLiteral("INSERT INTO nowhere VALUES (1)")), -1);
        }
        QCOMPARE(db::countTable(tx, QStringLiteral("t1")), 0);
        tx.disconnect();
        QCOMPARE(tablesFromOutside(home.file(QStringLiteral("zorv.mdb"))), 0);
    }

    // The connection committed (or reconnected) behind the scope's back:
    // its rollback can undo nothing and must say so.
    void endAfterTheConnectionEndedItFails_data() {
        QTest::addColumn<bool>("autoCommit");
        QTest::addColumn<bool>("reconnect");
        QTest::newRow("commit on the connection, autocommit on") << true << false;
        QTest::newRow("commit on the connection, autocommit off") << false << false;
        QTest::newRow("reconnect, autocommit on") << true << true;
    }
    void endAfterTheConnectionEndedItFails() {
        QFETCH(bool, autoCommit);
        QFETCH(bool, reconnect);
        TestHome home;
        Transaction tx;
        connectNew(tx, home, autoCommit);
        TransactionScope scope(tx);
        QCOMPARE(db::insertTable(tx, QStringLiteral("t1"), QString()), 0);
        if (reconnect) {
            QCOMPARE(tx.connect(), 0);
        } else {
            QCOMPARE(tx.commit(), 0);
        }
        // Work after the foreign end is not the scope's either.
        QCOMPARE(db::insertTable(tx, QStringLiteral("t2"), QString()), 0);
        QCOMPARE(scope.rollback(), -1);
        QCOMPARE(tx.sqlcode(), -1);
        QVERIFY(!tx.sqlerrtext().isEmpty());
        QVERIFY(!scope.isOpen());
        QCOMPARE(db::countTable(tx, QStringLiteral("t1")), reconnect ? 0 : 1);
    }

    // Without a scope, autocommit leaves nothing to roll back: no success is claimed.
    void bareRollbackUnderAutoCommitFails() {
        TestHome home;
        Transaction tx;
        connectNew(tx, home, true);
        QCOMPARE(db::insertTable(tx, QStringLiteral("t1"), QString()), 0);
        QCOMPARE(tx.rollback(), -1);
        QVERIFY(!tx.sqlerrtext().isEmpty());
        QCOMPARE(tx.commit(), 0);
        QCOMPARE(db::countTable(tx, QStringLiteral("t1")), 1);
    }

    // Closing the connection does not commit a scope's unfinished work.
    void disconnectDropsOpenScopeWork() {
        TestHome home;
        Transaction tx;
        connectNew(tx, home, true);
        TransactionScope scope(tx);
        insertTwo(tx);
        QCOMPARE(tx.disconnect(), 0);
        QCOMPARE(tablesFromOutside(home.file(QStringLiteral("zorv.mdb"))), 0);
        QCOMPARE(scope.commit(), -1);
    }

    void scopeOnAClosedConnectionIsNotOpen() {
        Transaction tx;
        TransactionScope scope(tx);
        QVERIFY(!scope.isOpen());
        QCOMPARE(tx.sqlcode(), -1);
        QCOMPARE(scope.commit(), -1);
    }
};

QTEST_GUILESS_MAIN(TestTransactionScope)
#include "test_transaction_scope.moc"
