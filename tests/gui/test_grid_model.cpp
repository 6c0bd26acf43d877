// The table adapter over the grid model, checked by QAbstractItemModelTester
// through every kind of change the grid announces.
#include "core/grid/grid.h"
#include "gui/grid/grid_table_model.h"
#include "support/scripted_platform.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QtTest>

using zorv::ColType;
using zorv::Column;
using zorv::Grid;
using zorv::gui::GridTableModel;

namespace {

QList<Column> fileColumns() {
    return {{QStringLiteral("xh"), ColType::Number, QStringLiteral("序号"), 0},
            {QStringLiteral("filey"), ColType::String, QStringLiteral("源文件名"), 255},
            {QStringLiteral("jg"), ColType::String, QString(), 20}};
}

void addRow(Grid &g, int xh, const QString &name) {
    const qint64 r = g.insertRow(0);
    g.setItem(r, QStringLiteral("xh"), xh);
    g.setItem(r, QStringLiteral("filey"), name);
}

QString cell(const GridTableModel &m, int row, int column) {
    return m.index(row, column).data().toString();
}

} // namespace

class TestGridModel : public QObject {
    Q_OBJECT
private slots:
    void headersCaptionsAndObjectNames();
    void cellsAlignmentAndSelection();
    void changesPassTheModelTester();
    void editsWriteThroughTheGrid();
    void redrawOffDefersChangesToOneReset();
};

void TestGridModel::headersCaptionsAndObjectNames() {
    Grid g(fileColumns());
    GridTableModel m(&g);
    QCOMPARE(m.columnCount(), 3);
    QCOMPARE(m.headerData(0, Qt::Horizontal).toString(), QStringLiteral("序号"));
    QCOMPARE(m.headerData(1, Qt::Horizontal).toString(), QStringLiteral("源文件名"));
    QCOMPARE(m.headerData(2, Qt::Horizontal).toString(), QStringLiteral("jg")); // no caption
    QCOMPARE(m.headerData(1, Qt::Horizontal, GridTableModel::ObjectNameRole).toString(),
             QStringLiteral("filey_t"));
    QCOMPARE(m.headerData(3, Qt::Horizontal), QVariant());
}

void TestGridModel::cellsAlignmentAndSelection() {
    Grid g(fileColumns());
    addRow(g, 1, QStringLiteral("甲.txt"));
    addRow(g, 2, QStringLiteral("乙.txt"));
    GridTableModel m(&g);
    QCOMPARE(m.rowCount(), 2);
    QCOMPARE(cell(m, 1, 1), QStringLiteral("乙.txt"));
    QCOMPARE(cell(m, 1, 0), QStringLiteral("2"));
    QCOMPARE(m.index(0, 0).data(Qt::TextAlignmentRole).value<Qt::Alignment>(),
             Qt::AlignRight | Qt::AlignVCenter);
    QCOMPARE(m.index(0, 1).data(Qt::TextAlignmentRole).value<Qt::Alignment>(),
             Qt::AlignLeft | Qt::AlignVCenter);
    QCOMPARE(m.index(0, 1).data(GridTableModel::ObjectNameRole).toString(),
             QStringLiteral("filey"));

    QSignalSpy changed(&m, &QAbstractItemModel::dataChanged);
    g.selectRow(2, true);
    QCOMPARE(changed.count(), 1);
    QVERIFY(changed.at(0).at(2).value<QList<int>>().contains(GridTableModel::SelectedRole));
    QVERIFY(!m.index(0, 0).data(GridTableModel::SelectedRole).toBool());
    QVERIFY(m.index(1, 2).data(GridTableModel::SelectedRole).toBool());
}

void TestGridModel::changesPassTheModelTester() {
    Grid g(fileColumns());
    for (int i = 1; i <= 5; ++i)
        addRow(g, i, QStringLiteral("f%1").arg(i));
    GridTableModel m(&g);
    QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);

    g.insertRow(3); // in the middle: rows after it move down
    QCOMPARE(m.rowCount(), 6);
    QCOMPARE(cell(m, 2, 1), QString());
    QCOMPARE(cell(m, 3, 1), QStringLiteral("f3"));
    addRow(g, 7, QStringLiteral("f7"));
    g.setItem(3, QStringLiteral("filey"), QStringLiteral("新"));
    QCOMPARE(cell(m, 2, 1), QStringLiteral("新"));

    g.deleteRow(1);
    g.deleteRow(g.rowCount());
    QCOMPARE(m.rowCount(), 5);
    QCOMPARE(cell(m, 0, 1), QStringLiteral("f2"));
    QCOMPARE(cell(m, 4, 1), QStringLiteral("f5"));

    g.selectRow(0, true);
    g.selectRow(2, false);
    g.reset();
    QCOMPARE(m.rowCount(), 0);
    addRow(g, 1, QStringLiteral("again"));
    QCOMPARE(m.rowCount(), 1);
}

void TestGridModel::editsWriteThroughTheGrid() {
    zorv::test::ScriptedPlatform platform;
    Grid g(fileColumns());
    addRow(g, 1, QStringLiteral("a.txt"));
    GridTableModel m(&g);
    QVERIFY(m.flags(m.index(0, 1)) & Qt::ItemIsEditable);

    QVERIFY(m.setData(m.index(0, 1), QStringLiteral("重命名 b.txt")));
    QCOMPARE(g.getItemString(1, QStringLiteral("filey")), QStringLiteral("重命名 b.txt"));
    QVERIFY(m.setData(m.index(0, 0), QStringLiteral("12")));
    QCOMPARE(g.getItemNumber(1, QStringLiteral("xh")), 12.0);

    QSignalSpy refused(&m, &GridTableModel::editRefused);
    QVERIFY(!m.setData(m.index(0, 0), QStringLiteral("abc")));
    QCOMPARE(refused.count(), 1);
    QCOMPARE(g.getItemNumber(1, QStringLiteral("xh")), 12.0);

    m.setEditable(false);
    QVERIFY(!(m.flags(m.index(0, 1)) & Qt::ItemIsEditable));
    QVERIFY(!m.setData(m.index(0, 1), QStringLiteral("x")));
    QCOMPARE(g.getItemString(1, QStringLiteral("filey")), QStringLiteral("重命名 b.txt"));
}

void TestGridModel::redrawOffDefersChangesToOneReset() {
    Grid g(fileColumns());
    GridTableModel m(&g);
    QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy inserted(&m, &QAbstractItemModel::rowsInserted);
    QSignalSpy resets(&m, &QAbstractItemModel::modelReset);

    g.setRedraw(false);
    for (int i = 1; i <= 100; ++i)
        addRow(g, i, QString::number(i));
    QCOMPARE(m.rowCount(), 0); // the views are told nothing yet
    g.setRedraw(true);
    QCOMPARE(inserted.count(), 0);
    QCOMPARE(resets.count(), 1);
    QCOMPARE(m.rowCount(), 100);
    QCOMPARE(cell(m, 99, 1), QStringLiteral("100"));
}

QTEST_MAIN(TestGridModel)
#include "test_grid_model.moc"
