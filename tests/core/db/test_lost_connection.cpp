// The server goes away in the middle of a save: the database's message
// reaches the caller, nothing of the save is stored, and the next action
// connects again by itself. (Restarts the test server: runs alone.)
#include "core/db/statements.h"
#include "core/db/transaction_scope.h"
#include "support/test_database.h"

#include <QProcess>
#include <QTest>

using namespace zorv;
using zorv::db::Transaction;
using zorv::test::TestDatabase;
using zorv::test::TestHome;

namespace {

bool restartServer(QString *output) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral("bash"),
            {QStringLiteral(ZORV_SOURCE_DIR "/scripts/test_server.sh"), QStringLiteral("restart")});
    const bool ok =
        p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    *output = QString::fromLocal8Bit(p.readAll());
    return ok;
}

} // namespace

class TestLostConnection : public QObject {
    Q_OBJECT
private slots:
    void saveDuringRestart_data() {
        QTest::addColumn<bool>("autoCommit");
        QTest::newRow("autocommit on") << true;
        QTest::newRow("autocommit off") << false;
    }
    void saveDuringRestart() {
        ZORV_SERVER_ONLY();
        QFETCH(bool, autoCommit);
        TestHome home;
        TestDatabase database(home);
        ZORV_VERIFY_DATABASE(database);
        Transaction tx;
        QCOMPARE(database.connect(tx, autoCommit), 0);
        QList<db::RegisterRow> rows;
        for (int i = 0; i < 500; ++i)
            rows.append({i + 1, 3, QDateTime(QDate(2025, 3, 1), QTime(9, 0)),
                         QStringLiteral("名%1").arg(i), QStringLiteral("相同")});
        {
            db::TransactionScope scope(tx);
            QVERIFY(scope.isOpen());
            QCOMPARE(db::insertRegisterRows(tx, rows.mid(0, 250)), 0);
            QString output;
            QVERIFY2(restartServer(&output), qPrintable(output));
            // The rest of the save meets the lost connection: the
            // database's own message, no success.
            const int code = db::insertRegisterRows(tx, rows.mid(250));
            QCOMPARE(code, -1);
            QVERIFY(!tx.sqlerrtext().isEmpty());
            QVERIFY2(tx.connectionLost(), qPrintable(tx.sqlstate() + u' ' + tx.sqlerrtext()));
            QVERIFY(scope.commit() != 0);
        }
        // Nothing half stored.
        QCOMPARE(database.scalarFromOutside(QStringLiteral("SELECT count(*) FROM htt1")), 0);
        // The next action connects again and works.
        QCOMPARE(db::countNullAccount(tx), 1);
        QVERIFY(tx.isConnected());
        {
            db::TransactionScope scope(tx);
            QCOMPARE(db::insertRegisterRows(tx, rows), 0);
            QCOMPARE(scope.commit(), 0);
        }
        QCOMPARE(database.scalarFromOutside(QStringLiteral("SELECT count(*) FROM htt1")), 500);
    }
};

QTEST_GUILESS_MAIN(TestLostConnection)
#include "test_lost_connection.moc"
