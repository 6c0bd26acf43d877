// zorv db init and zorv db copy, run as a user runs them.
#include "cli_harness.h"
#include "core/config/regodbc.h"
#include "core/db/schema.h"
#include "core/db/statements.h"
#include "core/db/transaction_scope.h"
#include "support/test_database.h"

#include <QDir>
#include <QTest>

using namespace zorv;
using zorv::db::Transaction;
using zorv::test::CliResult;
using zorv::test::runZorv;
using zorv::test::TestDatabase;
using zorv::test::TestHome;

namespace {

// Registers an embedded data source dsn on a new "zorv.mdb" in folder.
QString embeddedSource(const TestHome &home, const QString &dsn, const QString &folder) {
    QDir(home.path()).mkpath(folder);
    config::RegistryStore store;
    config::regodbc(store, dsn, home.file(folder + QStringLiteral("/zorv.mdb")),
                    config::odbcDriverFolder());
    return dsn;
}

bool connectEmbedded(Transaction &tx, const QString &dsn) {
    tx.setDbParm(QStringLiteral("ConnectString='DSN=%1;UID=;PWD='").arg(dsn));
    tx.setAutoCommit(true);
    return tx.connect() == 0;
}

// Every table's rows as text, in a stable order, for comparing two databases.
QStringList contentsOf(Transaction &tx) {
    QStringList out;
    for (const QString &t : db::tableNames()) {
        const QStringList columns = db::columnNames(t);
        const auto rows =
            tx.selectRows(QStringLiteral("SELECT %1 FROM %2").arg(columns.join(u','), t));
        QStringList lines;
        for (const QVariantList &r : rows) {
            QStringList cells;
            for (const QVariant &v : r) {
                if (v.isNull())
                    cells << QStringLiteral("<null>");
                else if (v.typeId() == QMetaType::QDateTime)
                    cells << v.toDateTime().toString(Qt::ISODateWithMs);
                else
                    cells << v.toString();
            }
            lines << t + u':' + cells.join(u'|');
        }
        lines.sort();
        out << lines;
    }
    return out;
}

void fill(Transaction &tx) {
    QVERIFY(db::updateUser(tx, QStringLiteral("管理员")) == 0);
    QVERIFY(db::updatePassword(tx, QStringLiteral("pw'; drop")) == 0);
    for (int i = 0; i < 30; ++i)
        QVERIFY(db::insertSql(tx, QStringLiteral("select %1 from 表%1").arg(i),
                              QStringLiteral("用途 %1").arg(i % 4)) == 0);
    QVERIFY(db::deleteSql(tx, 5) == 0); // a gap in the numbers
    QVERIFY(db::insertTable(tx, QStringLiteral("客户"), QStringLiteral("客户表")) == 0);
    QVERIFY(db::insertColumn(tx, QStringLiteral("客户"), QStringLiteral("编号"),
                             QStringLiteral("int"), 4) == 0);
    QVERIFY(db::insertColumn(tx, QStringLiteral("客户"), QStringLiteral("比例"),
                             QStringLiteral("numeric"), 10.25) == 0);
    QList<db::RegisterRow> rows;
    for (int i = 0; i < 120; ++i)
        rows.append({i + 1, i % 2 ? QVariant(7) : QVariant(7.5),
                     QDateTime(QDate(2024, 12, 31), QTime(23, 59, 58)).addSecs(i * 3600),
                     QStringLiteral("名单 %1").arg(i), QStringLiteral("相同")});
    db::TransactionScope scope(tx);
    QVERIFY(db::insertRegisterRows(tx, rows) == 0);
    QVERIFY(db::updateRegisterRemark(tx, QStringLiteral("备注"), 3) == 0);
    QVERIFY(scope.commit() == 0);
}

} // namespace

class TestDbCli : public QObject {
    Q_OBJECT
private slots:
    void initOnAnEmptyServerDatabase() {
        ZORV_SERVER_ONLY();
        TestHome home;
        TestDatabase database(home, QStringLiteral("zorv"), false);
        ZORV_VERIFY_DATABASE(database);
        const QStringList args = {QStringLiteral("db"),         QStringLiteral("init"),
                                  QStringLiteral("--dsn"),      database.dsn(),
                                  QStringLiteral("--user"),     database.user(),
                                  QStringLiteral("--password"), QStringLiteral("Hush7!")};
        CliResult r = runZorv(args, {}, home.path());
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QCOMPARE(database.scalarFromOutside(QStringLiteral("SELECT count(*) FROM password")), 1);
        r = runZorv(args, {}, home.path());
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains(QStringLiteral("sqlt")) &&
                     r.err.contains(QStringLiteral("没有作任何修改")),
                 qPrintable(r.err));
        QVERIFY(!r.err.contains(QStringLiteral("Hush7!")));
    }

    void passwordIsNeverPrinted() {
        TestHome home;
        const QString dsn = test::onServer() ? qEnvironmentVariable("ZORV_TEST_DSN")
                                             : QStringLiteral("no_such_source");
        for (const QString &sub : {QStringLiteral("init"), QStringLiteral("copy")}) {
            QStringList args = {QStringLiteral("db"), sub};
            if (sub == u"init")
                args << QStringLiteral("--dsn") << dsn;
            else
                args << QStringLiteral("--from") << dsn << QStringLiteral("--to")
                     << QStringLiteral("elsewhere");
            args << QStringLiteral("--user") << QStringLiteral("no_such_role")
                 << QStringLiteral("--password") << QStringLiteral("Sekr3t-9");
            const CliResult r = runZorv(args, {}, home.path());
            QCOMPARE(r.exitCode, 1);
            QVERIFY(!r.err.isEmpty());
            QVERIFY2(!r.err.contains(QStringLiteral("Sekr3t")), qPrintable(r.err));
            QVERIFY(!r.out.contains("Sekr3t"));
        }
    }

    // Embedded file → the other home (the server in the server pass) →
    // a second embedded file: every table comes back the same.
    void copyThereAndBackGivesTheSameContents() {
        TestHome home;
        TestDatabase middle(home, QStringLiteral("middle"));
        ZORV_VERIFY_DATABASE(middle);
        const QString source = embeddedSource(home, QStringLiteral("mine"), QStringLiteral("a"));
        const QString back = embeddedSource(home, QStringLiteral("back"), QStringLiteral("b"));
        QStringList before;
        {
            Transaction tx;
            QVERIFY(connectEmbedded(tx, source));
            fill(tx);
            if (QTest::currentTestFailed())
                return;
            before = contentsOf(tx);
        }
        QStringList middleUser;
        if (!middle.user().isEmpty())
            middleUser << QStringLiteral("--to-user") << middle.user();
        CliResult r = runZorv(QStringList{QStringLiteral("db"), QStringLiteral("copy"),
                                          QStringLiteral("--from"), source, QStringLiteral("--to"),
                                          middle.dsn()} +
                                  middleUser,
                              {}, home.path());
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QCOMPARE(QString::fromUtf8(r.out),
                 QStringLiteral("sqlt\t29\nbase0\t1\nbases1\t2\nhtt1\t120\npassword\t1\n"));

        // The team's database goes on numbering after the copied rows.
        {
            Transaction tx;
            QCOMPARE(middle.connect(tx), 0);
            QCOMPARE(db::insertSql(tx, QStringLiteral("select new"), QStringLiteral("新")), 0);
            QCOMPARE(db::maxSqlBh(tx).value_or(0), 31);
            QCOMPARE(db::deleteSql(tx, 31), 0);
        }

        middleUser.replaceInStrings(QStringLiteral("--to-user"), QStringLiteral("--from-user"));
        r = runZorv(QStringList{QStringLiteral("db"), QStringLiteral("copy"),
                                QStringLiteral("--from"), middle.dsn(), QStringLiteral("--to"),
                                back} +
                        middleUser,
                    {}, home.path());
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        Transaction tx;
        QVERIFY(connectEmbedded(tx, back));
        QCOMPARE(contentsOf(tx), before);

        // A target holding rows is refused without --append, unchanged.
        r = runZorv({QStringLiteral("db"), QStringLiteral("copy"), QStringLiteral("--from"), source,
                     QStringLiteral("--to"), back},
                    {}, home.path());
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains(QStringLiteral("--append")), qPrintable(r.err));
        QCOMPARE(contentsOf(tx), before);

        // With --append the rows are added under new numbers; the account stays.
        r = runZorv({QStringLiteral("db"), QStringLiteral("copy"), QStringLiteral("--from"), source,
                     QStringLiteral("--to"), back, QStringLiteral("--append")},
                    {}, home.path());
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QCOMPARE(db::countSql(tx), 58);
        QCOMPARE(tx.selectRow(QStringLiteral("SELECT count(DISTINCT bh) FROM htt1"))
                     ->value(0)
                     .toLongLong(),
                 240);
        QCOMPARE(
            tx.selectRow(QStringLiteral("SELECT count(*) FROM password"))->value(0).toLongLong(),
            1);
    }

    void usageErrors_data() {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("no sub-command") << QStringList{QStringLiteral("db")};
        QTest::newRow("unknown sub-command")
            << QStringList{QStringLiteral("db"), QStringLiteral("drop")};
        QTest::newRow("init without a source")
            << QStringList{QStringLiteral("db"), QStringLiteral("init")};
        QTest::newRow("copy onto itself")
            << QStringList{QStringLiteral("db"), QStringLiteral("copy"), QStringLiteral("--from"),
                           QStringLiteral("a"),  QStringLiteral("--to"), QStringLiteral("A")};
    }
    void usageErrors() {
        QFETCH(QStringList, args);
        TestHome home;
        const CliResult r = runZorv(args, {}, home.path());
        QCOMPARE(r.exitCode, 2);
        QVERIFY(!r.err.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestDbCli)
#include "test_db_cli.moc"
