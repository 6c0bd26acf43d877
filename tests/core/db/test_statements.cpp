// Every statement of the database layer on both homes of the data: the
// embedded file and (in the server pass) the PostgreSQL server.
#include "core/db/schema.h"
#include "core/db/statements.h"
#include "core/db/transaction_scope.h"
#include "support/test_database.h"

#include <QTest>

using namespace zorv;
using zorv::db::Transaction;
using zorv::test::TestDatabase;
using zorv::test::TestHome;

class TestStatements : public QObject {
    Q_OBJECT
private slots:
    void connectsWithTheKindOfDatabase() {
        TestHome home;
        TestDatabase database(home);
        ZORV_VERIFY_DATABASE(database);
        Transaction tx;
        QCOMPARE(database.connect(tx), 0);
        QCOMPARE(tx.dialect(),
                 database.isServer() ? db::Dialect::PostgreSQL : db::Dialect::Embedded);
        QCOMPARE(db::countNullAccount(tx), 1);
    }

    void accountStatements() {
        TestHome home;
        TestDatabase database(home);
        ZORV_VERIFY_DATABASE(database);
        Transaction tx;
        QCOMPARE(database.connect(tx), 0);
        QVERIFY(!db::selectPassword(tx, QStringLiteral("admin")));
        QCOMPARE(tx.sqlcode(), 100);
        QCOMPARE(db::updateUser(tx, QStringLiteral("Admin")), 0);
        QCOMPARE(tx.sqlnrows(), 1);
        QCOMPARE(db::countNullAccount(tx), 0);
        // The null password still matches as null.
        const auto nullPw = db::selectPassword(tx, QStringLiteral("Admin"));
        QVERIFY(nullPw && nullPw->isNull());
        QCOMPARE(db::updatePassword(tx, QStringLiteral("密码Pw")), 0);
        QCOMPARE(db::selectPassword(tx, QStringLiteral("Admin"))->toString(),
                 QStringLiteral("密码Pw"));
        // User names compare exactly on both databases.
        QVERIFY(!db::selectPassword(tx, QStringLiteral("admin")));
        QCOMPARE(tx.sqlcode(), 100);
    }

    void libraryStatementsAndNumbering() {
        TestHome home;
        TestDatabase database(home);
        ZORV_VERIFY_DATABASE(database);
        Transaction tx;
        QCOMPARE(database.connect(tx), 0);
        QVERIFY(!db::maxSqlBh(tx));
        QCOMPARE(tx.sqlcode(), 0);
        QCOMPARE(db::countSql(tx), 0);

        // The entry window's insert is numbered by the database, the
        // importer's by max + 1; both kinds mix without meeting.
        QCOMPARE(db::insertSql(tx, QStringLiteral("select 1"), QStringLiteral("b")), 0);
        const qint64 first = db::maxSqlBh(tx).value_or(-1);
        QVERIFY(first > 0);
        QCOMPARE(
            db::insertSqlNumbered(tx, QStringLiteral("select 2"), QStringLiteral("a"), first + 10),
            0);
        QCOMPARE(tx.sqlnrows(), 1);
        QCOMPARE(db::insertSql(tx, QStringLiteral("select 3"), QStringLiteral("c")), 0);
        const qint64 third = db::maxSqlBh(tx).value_or(-1);
        QVERIFY2(third > first + 10, qPrintable(QString::number(third)));
        QCOMPARE(db::countSql(tx), 3);

        // A long statement with Chinese text comes back whole.
        const QString longSql =
            QStringLiteral("select '统计' from t where x = 1 -- ").repeated(800);
        QCOMPARE(db::updateSql(tx, longSql, QStringLiteral("长语句"), first), 0);
        QCOMPARE(tx.sqlnrows(), 1);
        const auto entry = db::selectSql(tx, first);
        QVERIFY(entry);
        QCOMPARE(entry->sql, longSql);
        QCOMPARE(entry->purpose, QStringLiteral("长语句"));

        const QList<db::SqlEntry> byPurpose = db::selectSqlByPurpose(tx);
        QCOMPARE(byPurpose.size(), 3);
        QCOMPARE(byPurpose[0].purpose, QStringLiteral("a"));
        QCOMPARE(byPurpose[1].purpose, QStringLiteral("c"));

        QCOMPARE(db::deleteSql(tx, first + 10), 0);
        QCOMPARE(tx.sqlnrows(), 1);
        QVERIFY(!db::selectSql(tx, first + 10));
        QCOMPARE(tx.sqlcode(), 100);
    }

    void catalogueStatements() {
        TestHome home;
        TestDatabase database(home);
        ZORV_VERIFY_DATABASE(database);
        Transaction tx;
        QCOMPARE(database.connect(tx), 0);
        QCOMPARE(db::countTable(tx, QStringLiteral("客户")), 0);
        QCOMPARE(db::insertTable(tx, QStringLiteral("客户"), QStringLiteral("客户资料")), 0);
        QCOMPARE(db::countTable(tx, QStringLiteral("客户")), 1);
        QCOMPARE(db::insertColumn(tx, QStringLiteral("客户"), QStringLiteral("Name"),
                                  QStringLiteral("varchar"), 40),
                 0);
        QCOMPARE(db::insertColumn(tx, QStringLiteral("客户"), QStringLiteral("rate"),
                                  QStringLiteral("numeric"), 12.5),
                 0);
        QCOMPARE(db::countColumn(tx, QStringLiteral("客户"), QStringLiteral("Name")), 1);
        QCOMPARE(db::countColumn(tx, QStringLiteral("客户"), QStringLiteral("name")), 0);
        QCOMPARE(db::updateTablePurpose(tx, QStringLiteral("新用途"), QStringLiteral("客户")), 0);
        QCOMPARE(tx.sqlnrows(), 1);

        const auto rows = tx.selectRows(db::gridsql::base2, {QStringLiteral("客户")});
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0].value(0).toString(), QStringLiteral("Name"));
        QCOMPARE(rows[0].value(2).toDouble(), 40.0);
        QCOMPARE(rows[1].value(2).toDouble(), 12.5);
        const auto tables =
            tx.selectRows(db::gridsql::base0, {QStringLiteral("%"), QStringLiteral("%"),
                                               QStringLiteral("%"), QStringLiteral("%新%")});
        QCOMPARE(tables.size(), 1);
        QCOMPARE(tables[0].value(1).toString(), QStringLiteral("新用途"));
        QCOMPARE(tx.selectRows(db::gridsql::dcbase, {QStringLiteral("%"), QStringLiteral("%"),
                                                     QStringLiteral("%"), QStringLiteral("%")})
                     .size(),
                 2);
    }

    // LIKE reads the same on both databases: letters match whatever their
    // case, "%" and "_" are wildcards and "\" is an ordinary character.
    void likePatterns_data() {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QStringList>("purposes");
        QTest::newRow("case of ASCII letters ignored")
            << "%report%"
            << QStringList{QStringLiteral("Monthly REPORT"), QStringLiteral("report 报表")};
        QTest::newRow("Chinese match anywhere")
            << "%报表%" << QStringList{QStringLiteral("report 报表")};
        QTest::newRow("left match") << "Month%" << QStringList{QStringLiteral("Monthly REPORT")};
        QTest::newRow("underscore is one character")
            << "c:_dir%" << QStringList{QStringLiteral("C:\\dir\\file")};
        QTest::newRow("backslash is a plain character")
            << "%\\dir\\%" << QStringList{QStringLiteral("C:\\dir\\file")};
        QTest::newRow("quote in the value") << "%o'k%" << QStringList{QStringLiteral("it's o'k")};
        QTest::newRow("no match") << "%nothing%" << QStringList{};
    }
    void likePatterns() {
        QFETCH(QString, pattern);
        QFETCH(QStringList, purposes);
        TestHome home;
        TestDatabase database(home);
        ZORV_VERIFY_DATABASE(database);
        Transaction tx;
        QCOMPARE(database.connect(tx), 0);
        for (const QString &p : {QStringLiteral("Monthly REPORT"), QStringLiteral("report 报表"),
                                 QStringLiteral("C:\\dir\\file"), QStringLiteral("it's o'k")})
            QCOMPARE(db::insertSql(tx, QStringLiteral("select 'like it'"), p), 0);
        const auto rows = tx.selectRows(db::gridsql::ssql, {QStringLiteral("%"), pattern});
        QCOMPARE(tx.sqlcode(), 0);
        QStringList found;
        for (const QVariantList &r : rows)
            found << r.value(1).toString();
        found.sort();
        purposes.sort();
        QCOMPARE(found, purposes);
        // A LIKE inside quoted text is the statement's own and stays as written.
        QCOMPARE(tx.selectRows(
                       QStringLiteral("SELECT purpose FROM sqlt WHERE sql = 'select ''like it''' "
                                      "AND purpose LIKE ?"),
                       {pattern})
                     .size(),
                 purposes.size());
    }

    void registerStatements() {
        TestHome home;
        TestDatabase database(home);
        ZORV_VERIFY_DATABASE(database);
        Transaction tx;
        QCOMPARE(database.connect(tx), 0);
        const QDateTime day(QDate(2024, 2, 29), QTime(13, 45, 7));
        QCOMPARE(db::insertRegister(tx, 1, 7, day, QStringLiteral("张三"), QStringLiteral("相同")),
                 0);
        QList<db::RegisterRow> rows;
        for (int i = 0; i < 250; ++i)
            rows.append({i + 2, 8.5, day.addDays(i % 3), QStringLiteral("名%1").arg(i),
                         QStringLiteral("不同")});
        {
            db::TransactionScope scope(tx);
            QCOMPARE(db::insertRegisterRows(tx, rows), 0);
            QCOMPARE(tx.sqlnrows(), 250);
            QCOMPARE(scope.commit(), 0);
        }
        QCOMPARE(database.scalarFromOutside(QStringLiteral("SELECT count(DISTINCT bh) FROM htt1")),
                 251);

        // The register query: a batch range, a date range and two patterns.
        auto query = [&](double bs1, double bs2, const QDateTime &rq1, const QDateTime &rq2,
                         const QString &md, const QString &jg) {
            return tx.selectRows(db::gridsql::htmdcx, {bs1, bs2, rq1, rq2, md, jg});
        };
        const auto first = query(7, 7, day, day, QStringLiteral("%"), QStringLiteral("%"));
        QCOMPARE(first.size(), 1);
        QCOMPARE(first[0].value(3).toDateTime(), day);
        QCOMPARE(first[0].value(4).toString(), QStringLiteral("张三"));
        QVERIFY(first[0].value(6).isNull());
        QCOMPARE(
            query(8, 9, day, day.addDays(1), QStringLiteral("名1%"), QStringLiteral("不%")).size(),
            75); // 名1, 名10–名19, 名100–名199 on the first two days
        const qint64 bh = first[0].value(0).toLongLong();
        QCOMPARE(db::updateRegisterRemark(tx, QStringLiteral("已核对"), bh), 0);
        QCOMPARE(tx.sqlnrows(), 1);
        QCOMPARE(query(7, 7, day, day, QStringLiteral("%"), QStringLiteral("%"))[0].value(6),
                 QVariant(QStringLiteral("已核对")));
        QCOMPARE(db::deleteRegister(tx, bh), 0);
        QCOMPARE(tx.sqlnrows(), 1);
        // Numbers are never handed out twice, also after the top row went.
        const qint64 top = database.scalarFromOutside(QStringLiteral("SELECT max(bh) FROM htt1"));
        QCOMPARE(db::deleteRegister(tx, top), 0);
        QCOMPARE(db::insertRegister(tx, 9, 7, day, QStringLiteral("李四"), QStringLiteral("相同")),
                 0);
        QVERIFY(database.scalarFromOutside(QStringLiteral("SELECT max(bh) FROM htt1")) > top);
    }
};

QTEST_GUILESS_MAIN(TestStatements)
#include "test_statements.moc"
