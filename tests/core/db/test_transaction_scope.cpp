#include "core/db/statements.h"
#include "core/db/transaction_scope.h"
#include "support/test_database.h"

#include <QTest>

using namespace zorv;
using zorv::db::Transaction;
using zorv::db::TransactionScope;
using zorv::test::TestDatabase;
using zorv::test::TestHome;

enum class End { Commit, Rollback, ScopeEnds, ConnectionCommits, Reconnect, Disconnect };
Q_DECLARE_METATYPE(End)

namespace {

// Catalogue rows as a second, independent connection sees them.
qint64 tablesFromOutside(const TestDatabase &database) {
    return database.scalarFromOutside(QStringLiteral("SELECT count(*) FROM base0"));
}

} // namespace

class TestTransactionScope : public QObject {
    Q_OBJECT
private slots:
    // Two rows written in a scope, then the scope or the connection ends it.
    // Columns: the profile's autocommit, how it ends, what the scope's own
    // end returns, and the rows a fresh connection finds afterwards.
    void ends_data() {
        QTest::addColumn<bool>("autoCommit");
        QTest::addColumn<End>("end");
        QTest::addColumn<int>("code");
        QTest::addColumn<qint64>("kept");
        for (bool on : {true, false}) {
            const char *mode = on ? ", autocommit on" : ", autocommit off";
            auto row = [&](const char *what) -> QTestData & {
                return QTest::newRow(QByteArray(QByteArray(what) + mode).constData()) << on;
            };
            row("commit keeps") << End::Commit << 0 << qint64(2);
            row("rollback undoes") << End::Rollback << 0 << qint64(0);
            row("scope ends after a failed statement: undone") << End::ScopeEnds << 0 << qint64(0);
            // The connection ended the transaction behind the scope's back:
            // the scope's rollback could undo nothing and says so.
            row("connection committed, rollback fails")
                << End::ConnectionCommits << -1 << qint64(2);
            row("reconnected, rollback fails") << End::Reconnect << -1 << qint64(0);
            row("disconnect drops the work, commit fails") << End::Disconnect << -1 << qint64(0);
        }
    }
    void ends() {
        QFETCH(bool, autoCommit);
        QFETCH(End, end);
        QFETCH(int, code);
        QFETCH(qint64, kept);
        TestHome home;
        TestDatabase database(home);
        ZORV_VERIFY_DATABASE(database);
        Transaction tx;
        QCOMPARE(database.connect(tx, autoCommit), 0);
        {
            TransactionScope scope(tx);
            QVERIFY(scope.isOpen());
            QCOMPARE(db::insertTable(tx, QStringLiteral("t1"), QStringLiteral("一")), 0);
            QCOMPARE(db::insertTable(tx, QStringLiteral("t2"), QStringLiteral("二")), 0);
            // Nothing is visible outside before the commit, autocommit or not.
            QCOMPARE(tablesFromOutside(database), 0);
            int got = 0;
            switch (end) {
            case End::Commit:
                got = scope.commit();
                break;
            case End::Rollback:
                got = scope.rollback();
                break;
            case End::ScopeEnds:
                QCOMPARE(tx.execute(QStringLiteral("INSERT INTO nowhere VALUES (1)")), -1);
                break;
            case End::ConnectionCommits:
                QCOMPARE(tx.commit(), 0);
                got = scope.rollback();
                break;
            case End::Reconnect:
                QCOMPARE(tx.connect(), 0);
                got = scope.rollback();
                break;
            case End::Disconnect:
                QCOMPARE(tx.disconnect(), 0);
                got = scope.commit();
                break;
            }
            QCOMPARE(got, code);
            if (end != End::ScopeEnds) {
                QCOMPARE(tx.sqlerrtext().isEmpty(), code == 0);
                QVERIFY(!scope.isOpen());
                QCOMPARE(scope.rollback(), -1); // ended once: never again reported as done
            }
        }
        if (tx.isConnected())
            QCOMPARE(tx.disconnect(), 0);
        QCOMPARE(tablesFromOutside(database), kept);
    }

    // Without a scope, autocommit leaves nothing to roll back: no success is
    // claimed. A scope on a closed connection never opens.
    void nothingToUndoIsNoSuccess() {
        TestHome home;
        TestDatabase database(home);
        ZORV_VERIFY_DATABASE(database);
        Transaction tx;
        {
            TransactionScope scope(tx);
            QVERIFY(!scope.isOpen());
            QCOMPARE(scope.commit(), -1);
        }
        QCOMPARE(database.connect(tx, true), 0);
        QCOMPARE(db::insertTable(tx, QStringLiteral("t1"), QString()), 0);
        QCOMPARE(tx.rollback(), -1);
        QVERIFY(!tx.sqlerrtext().isEmpty());
        QCOMPARE(tx.commit(), 0);
        QCOMPARE(db::countTable(tx, QStringLiteral("t1")), 1);
    }
};

QTEST_GUILESS_MAIN(TestTransactionScope)
#include "test_transaction_scope.moc"
