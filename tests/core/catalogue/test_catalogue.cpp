#include "catalogue_fixture.h"
#include "core/catalogue/catalogue_grids.h"
#include "core/catalogue/select_builder.h"

#include <QTest>

using namespace zorv;
using namespace zorv::catalogue;
using namespace Qt::Literals::StringLiterals;
using zorv::test::CatalogueDb;

namespace {

QStringList cells(const Grid &g, int c) {
    QStringList out;
    for (qint64 r = 1; r <= g.rowCount(); ++r)
        out << g.getItemString(r, c);
    return out;
}

} // namespace

class TestCatalogue : public QObject {
    Q_OBJECT
private slots:
    void statementText_data() {
        QTest::addColumn<QString>("selected"); // rows of A, B, C selected, e.g. "AC"
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QString>("expected");
        QTest::newRow("none") << ""
                              << ""
                              << "select * from EMP ;";
        QTest::newRow("all") << "ABC"
                             << ""
                             << "select * from EMP ;";
        QTest::newRow("all with condition") << "ABC"
                                            << " A = 1 "
                                            << "select * from EMP where A = 1 ;";
        QTest::newRow("some") << "AC"
                              << ""
                              << "select A,C from EMP ;";
        QTest::newRow("blank condition") << "B"
                                         << "   "
                                         << "select B from EMP ;";
        QTest::newRow("condition") << "BC"
                                   << "x like 'a%'"
                                   << "select B,C from EMP where x like 'a%' ;";
    }
    void statementText() {
        QFETCH(QString, selected);
        QFETCH(QString, condition);
        QFETCH(QString, expected);
        auto grid = makeColumnGrid();
        for (const QString &name : {u"A"_s, u"B"_s, u"C"_s}) {
            const qint64 r = grid->insertRow(0);
            grid->setItem(r, 1, QVariant(name));
            if (selected.contains(name))
                grid->selectRow(r, true);
        }
        QCOMPARE(selectFromColumnGrid(*grid, u"EMP"_s, condition).text(), expected);
    }

    // The columns follow the grid's row order, whatever order they were picked in.
    void columnsInGridOrder() {
        auto grid = makeColumnGrid();
        for (const QString &name : {u"Z"_s, u"A"_s, u"M"_s, u"Q"_s})
            grid->setItem(grid->insertRow(0), 1, QVariant(name));
        grid->selectRow(3, true);
        grid->selectRow(1, true);
        QCOMPARE(selectFromColumnGrid(*grid, u"T"_s, {}).text(), u"select Z,M from T ;"_s);
    }

    void operatorsLeaveTwoBlanksAroundAColumn() {
        const QString text = u"a"_s + op::equals() + op::column(u"ENAME"_s) + op::andOp();
        QCOMPARE(text, u"a =  ENAME  and "_s);
        QCOMPARE(QString(op::atLeast() + op::atMost() + op::like() + op::orOp()),
                 u" >= <= like  or "_s);
    }

    void tableQuery_data() {
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("anywhere");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("purpose");
        QTest::addColumn<QStringList>("tables");
        QTest::newRow("all") << ""
                             << ""
                             << ""
                             << "" << QStringList{u"DEMO"_s, u"EMP"_s, u"SALES"_s};
        QTest::newRow("left EM") << "EM"
                                 << ""
                                 << ""
                                 << "" << QStringList{u"EMP"_s};
        QTest::newRow("anywhere EM") << ""
                                     << "EM"
                                     << ""
                                     << "" << QStringList{u"DEMO"_s, u"EMP"_s};
        QTest::newRow("trimmed") << "  EM "
                                 << ""
                                 << ""
                                 << "" << QStringList{u"EMP"_s};
        QTest::newRow("column") << ""
                                << ""
                                << "AMOU"
                                << "" << QStringList{u"SALES"_s};
        QTest::newRow("purpose") << ""
                                 << ""
                                 << ""
                                 << "员工" << QStringList{u"EMP"_s};
        QTest::newRow("underscore wildcard") << ""
                                             << "E_P"
                                             << ""
                                             << "" << QStringList{u"EMP"_s};
    }
    void tableQuery() {
        QFETCH(QString, left);
        QFETCH(QString, anywhere);
        QFETCH(QString, column);
        QFETCH(QString, purpose);
        QFETCH(QStringList, tables);
        CatalogueDb db;
        QVERIFY(db.connected);
        db.addColumn(u"EMP"_s, u"员工"_s, u"ENAME"_s);
        db.addColumn(u"EMP"_s, u"员工"_s, u"SAL"_s);
        db.addColumn(u"DEMO"_s, u"演示"_s, u"ID"_s);
        db.addColumn(u"SALES"_s, u"销售"_s, u"AMOUNT"_s);
        // Never listed: no column rows, or no purpose.
        db.exec(u"INSERT INTO base0 VALUES ('EMPTY', '空表')"_s);
        db.exec(u"INSERT INTO base0 VALUES ('EMPNULL', NULL)"_s);
        db.exec(u"INSERT INTO bases1 VALUES ('EMPNULL', 'X', 'NUMBER', 1)"_s);

        auto grid = makeTableGrid();
        QString error;
        QCOMPARE(queryTables(*grid, db.tx, {left, anywhere, column, purpose}, &error),
                 qint64(tables.size()));
        QCOMPARE(cells(*grid, 1), tables);

        auto out = makeExportGrid();
        queryExport(*out, db.tx, {left, anywhere, column, purpose}, &error);
        QStringList exported = cells(*out, 1);
        exported.removeDuplicates();
        exported.sort();
        QCOMPARE(exported, tables);
        QCOMPARE(grid->summaryText(), u"总数:%1"_s.arg(tables.size()));
    }

    // A "_" or "%" in a table name does not bring in other tables' columns.
    void columnsOfExactlyOneTable_data() {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("columns");
        QTest::newRow("underscore") << "A_B" << QStringList{u"ONE"_s, u"TWO"_s};
        QTest::newRow("look-alike") << "AXB" << QStringList{u"OTHER"_s};
        QTest::newRow("percent") << "P%" << QStringList{u"PCT"_s};
    }
    void columnsOfExactlyOneTable() {
        QFETCH(QString, table);
        QFETCH(QStringList, columns);
        CatalogueDb db;
        QVERIFY(db.connected);
        db.addColumn(u"A_B"_s, u"p"_s, u"TWO"_s);
        db.addColumn(u"A_B"_s, u"p"_s, u"ONE"_s);
        db.addColumn(u"AXB"_s, u"p"_s, u"OTHER"_s);
        db.addColumn(u"P%"_s, u"p"_s, u"PCT"_s);
        db.addColumn(u"PX"_s, u"p"_s, u"PXC"_s);
        auto grid = makeColumnGrid();
        QString error;
        QCOMPARE(queryColumns(*grid, db.tx, table, &error), qint64(columns.size()));
        QCOMPARE(cells(*grid, 1), columns);
        QCOMPARE(grid->getItemNumber(1, 3), 10.0);
    }

    void queryFailureKeepsRows() {
        CatalogueDb db;
        QVERIFY(db.connected);
        db.addColumn(u"EMP"_s, u"员工"_s, u"ENAME"_s);
        auto grid = makeTableGrid();
        QString error;
        QCOMPARE(queryTables(*grid, db.tx, {}, &error), 1);
        db.exec(u"DROP TABLE bases1"_s);
        QCOMPARE(queryTables(*grid, db.tx, {}, &error), -1);
        QVERIFY(error.contains(u"bases1"_s));
        QCOMPARE(grid->rowCount(), 1);
    }
};

QTEST_GUILESS_MAIN(TestCatalogue)
#include "test_catalogue.moc"
