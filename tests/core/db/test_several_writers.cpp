// Several writers on one database: work done as one whole and retried when
// another writer gets in the way, statements numbered by two processes
// running the SQL library's import at once, and register lists saved from
// two processes at once through the register save.
#include "core/db/retry.h"
#include "core/db/statements.h"
#include "core/grid/grid.h"
#include "core/lists/compare_grids.h"
#include "core/lists/register_save.h"
#include "core/sqllib/sql_import.h"
#include "support/test_database.h"

#include <QProcess>
#include <QTest>
#include <cstdlib>
#include <unistd.h>

using namespace zorv;
using zorv::db::Transaction;
using zorv::test::TestDatabase;
using zorv::test::TestHome;

namespace {

// One import of statement/purpose pairs through the SQL library's own
// import: numbered from max(bh) + 1, duplicates swept, as one whole.
bool importStatements(Transaction &tx, const QList<QPair<QString, QString>> &statements,
                      QString *error) {
    const auto grid = sqllib::makeLoadsqlGrid();
    for (const auto &[sql, purpose] : statements) {
        const qint64 row = grid->insertRow();
        grid->setItem(row, 1, sql);
        grid->setItem(row, 2, purpose);
    }
    const sqllib::ImportSave saved = sqllib::saveImport(tx, *grid);
    *error = saved.error;
    return saved.ok() && saved.inserted == statements.size();
}

// The child process: imports or saves into the database named by the
// environment, then ends the process with 0 on success.
[[noreturn]] void runChild(const QByteArray &kind) {
    Transaction tx;
    tx.setDbms(QStringLiteral("ODBC"));
    tx.setDbParm(QString::fromUtf8(qgetenv("ZORV_TEST_CHILD_PARM")));
    tx.setAutoCommit(true);
    const QString tag = QString::fromUtf8(qgetenv("ZORV_TEST_CHILD_TAG"));
    if (tx.connect() != 0) {
        fprintf(stderr, "child connect: %s\n", qPrintable(tx.sqlerrtext()));
        _exit(3);
    }
    if (kind == "import") {
        // 10 imports of 8 statements each; every import repeats one
        // statement of the shared set, which the sweep must keep once.
        for (int round = 0; round < 10; ++round) {
            QList<QPair<QString, QString>> statements;
            for (int i = 0; i < 7; ++i)
                statements.append({QStringLiteral("select %1 %2 %3").arg(tag).arg(round).arg(i),
                                   QStringLiteral("用途%1").arg(tag)});
            statements.append(
                {QStringLiteral("select shared %1").arg(round), QStringLiteral("共用")});
            QString error;
            if (!importStatements(tx, statements, &error)) {
                fprintf(stderr, "child import: %s\n", qPrintable(error));
                _exit(4);
            }
        }
    } else {
        // Three lists of 1,000 names, each saved through the register save.
        for (int list = 0; list < 3; ++list) {
            const auto grid = lists::makeListGrid(1);
            for (int i = list * 1000; i < (list + 1) * 1000; ++i) {
                const qint64 row = grid->insertRow();
                grid->setItem(row, lists::kMd, QStringLiteral("名单%1-%2").arg(tag).arg(i));
                grid->setItem(row, lists::kXh, i + 1);
                grid->setItem(row, lists::kJg, QStringLiteral("相同"));
            }
            const lists::SaveOutcome saved =
                lists::saveRegisterRows(*grid, tag.toInt(), QDate(2025, 1, 2), tx);
            if (saved.end != lists::SaveEnd::Saved || saved.rows != 1000) {
                fprintf(stderr, "child save: %s\n", qPrintable(saved.error));
                _exit(5);
            }
        }
    }
    // Ends at once: the test framework of this process never started.
    tx.disconnect();
    _exit(tx.sqlcode() == 0 ? 0 : 6);
}

// Starts two children of kind at once on database and waits for both.
void runTwoChildren(const TestDatabase &database, const QByteArray &kind) {
    QList<QProcess *> children;
    for (const char *tag : {"1", "2"}) {
        auto *p = new QProcess;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("ZORV_TEST_CHILD"), QString::fromLatin1(kind));
        env.insert(QStringLiteral("ZORV_TEST_CHILD_PARM"), database.dbParm());
        env.insert(QStringLiteral("ZORV_TEST_CHILD_TAG"), QString::fromLatin1(tag));
        p->setProcessEnvironment(env);
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(QCoreApplication::applicationFilePath(), {});
        children << p;
    }
    for (QProcess *p : children) {
        QVERIFY(p->waitForFinished(240000));
        QCOMPARE(p->exitStatus(), QProcess::NormalExit);
        QCOMPARE(p->exitCode(), 0);
        delete p;
    }
}

} // namespace

class TestSeveralWriters : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        const QByteArray child = qgetenv("ZORV_TEST_CHILD");
        if (!child.isEmpty())
            runChild(child);
    }

    // The work runs once more after a conflict, and not after other failures.
    void retries_data() {
        QTest::addColumn<int>("conflicts"); // attempts that end in a conflict first
        QTest::addColumn<bool>("otherFailure");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("runs");
        QTest::addColumn<qint64>("kept");
        QTest::newRow("no conflict") << 0 << false << 0 << 1 << qint64(1);
        QTest::newRow("one conflict, then done") << 1 << false << 0 << 2 << qint64(1);
        QTest::newRow("a plain failure is not retried") << 0 << true << -1 << 1 << qint64(0);
        QTest::newRow("conflicts to the last attempt") << 99 << false << -1 << 3 << qint64(0);
    }
    void retries() {
        QFETCH(int, conflicts);
        QFETCH(bool, otherFailure);
        QFETCH(int, code);
        QFETCH(int, runs);
        QFETCH(qint64, kept);
        TestHome home;
        TestDatabase database(home);
        ZORV_VERIFY_DATABASE(database);
        Transaction tx;
        QCOMPARE(database.connect(tx), 0);
        int run = 0;
        db::RetryPolicy policy;
        policy.attempts = 3;
        policy.firstWaitMs = 1;
        const int result = db::runAsOneWhole(
            tx,
            [&] {
                ++run;
                if (db::insertSql(tx, QStringLiteral("select %1").arg(run), QStringLiteral("p")) !=
                    0)
                    return false;
                if (otherFailure)
                    return tx.execute(QStringLiteral("SELECT nothing FROM no_such_table")) == 0;
                if (run <= conflicts) {
                    // A key another writer took meanwhile, as numbering from max + 1 meets.
                    const qint64 bh = db::maxSqlBh(tx).value_or(0);
                    return db::insertSqlNumbered(tx, QStringLiteral("x"), QStringLiteral("p"),
                                                 bh) == 0;
                }
                return true;
            },
            policy);
        QCOMPARE(result, code);
        QCOMPARE(run, runs);
        QCOMPARE(database.scalarFromOutside(QStringLiteral("SELECT count(*) FROM sqlt")), kept);
        if (code != 0)
            QVERIFY(!tx.sqlerrtext().isEmpty());
    }

    // A server transaction whose reads another writer changed before it
    // wrote is refused by the server and run again from the start.
    void serializationFailureIsRetried() {
        ZORV_SERVER_ONLY();
        TestHome home;
        TestDatabase database(home);
        ZORV_VERIFY_DATABASE(database);
        Transaction tx;
        Transaction other;
        QCOMPARE(database.connect(tx), 0);
        QCOMPARE(database.connect(other), 0);
        int run = 0;
        const int code = db::runAsOneWhole(tx, [&] {
            ++run;
            const qint64 next = db::maxSqlBh(tx).value_or(0) + 1;
            if (run == 1 && db::insertSqlNumbered(other, QStringLiteral("other"),
                                                  QStringLiteral("o"), next) != 0)
                return false;
            return db::insertSqlNumbered(tx, QStringLiteral("mine"), QStringLiteral("m"), next) ==
                   0;
        });
        QVERIFY2(code == 0, qPrintable(tx.sqlerrtext()));
        QCOMPARE(run, 2);
        QCOMPARE(database.scalarFromOutside(QStringLiteral("SELECT count(DISTINCT bh) FROM sqlt")),
                 2);
    }

    void twoProcessesImportAtOnce() {
        TestHome home;
        TestDatabase database(home);
        ZORV_VERIFY_DATABASE(database);
        {
            Transaction tx; // creates the embedded file before the children race for it
            QCOMPARE(database.connect(tx), 0);
        }
        runTwoChildren(database, "import");
        if (QTest::currentTestFailed())
            return;
        // 2 × 10 × 7 own statements plus the 10 shared ones, once each.
        QCOMPARE(database.scalarFromOutside(QStringLiteral("SELECT count(*) FROM sqlt")), 150);
        QCOMPARE(database.scalarFromOutside(QStringLiteral("SELECT count(DISTINCT bh) FROM sqlt")),
                 150);
        QCOMPARE(database.scalarFromOutside(
                     QStringLiteral("SELECT count(*) FROM sqlt WHERE purpose = '共用'")),
                 10);
        for (const char *tag : {"1", "2"})
            QCOMPARE(database.scalarFromOutside(
                         QStringLiteral("SELECT count(*) FROM sqlt WHERE purpose = '用途%1'")
                             .arg(QLatin1String(tag))),
                     70);
    }

    void twoProcessesSaveRegisterListsAtOnce() {
        TestHome home;
        TestDatabase database(home);
        ZORV_VERIFY_DATABASE(database);
        {
            Transaction tx;
            QCOMPARE(database.connect(tx), 0);
        }
        runTwoChildren(database, "register");
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(database.scalarFromOutside(QStringLiteral("SELECT count(DISTINCT bh) FROM htt1")),
                 6000);
        for (int tag : {1, 2}) {
            QCOMPARE(
                database.scalarFromOutside(
                    QStringLiteral("SELECT count(DISTINCT xh) FROM htt1 WHERE bs = %1").arg(tag)),
                3000);
            QCOMPARE(database.scalarFromOutside(
                         QStringLiteral("SELECT count(*) FROM htt1 WHERE bs = %1").arg(tag)),
                     3000);
        }
    }
};

QTEST_GUILESS_MAIN(TestSeveralWriters)
#include "test_several_writers.moc"
