// The hash index behind equality finds ("col = 'text'"): it follows every
// change of the rows and answers like the general evaluator. A damaged index
// tends to search for ever, so each test function here runs under a watchdog
// that fails it after 30 s instead of letting the run hang.
#include "core/grid/grid.h"

#include <QCoreApplication>
#include <QTest>

using namespace Qt::StringLiterals;
using zorv::ColType;
using zorv::Grid;

namespace {

// filey, al (text), xh (number), rq (date-time), jg (text).
std::unique_ptr<Grid> sampleGrid() {
    auto g =
        std::make_unique<Grid>(QList<zorv::Column>{{u"filey"_s, ColType::String, u"源文件名"_s},
                                                   {u"al"_s, ColType::String, u"A列"_s},
                                                   {u"xh"_s, ColType::Number, u"序号"_s},
                                                   {u"rq"_s, ColType::DateTime, u"日期"_s},
                                                   {u"jg"_s, ColType::String, u"结果"_s}});
    const auto r = g->importText(u"abc.txt\tx\t0\t2024-01-05\t不同\n"
                                 "it's\tx\t3\t2024-02-29 10:00:00\t找到\n"
                                 "zab.doc\ty\t-2\t\t找到\n"
                                 "ABC.TXT\ty\t\t2023-12-31\t\n"
                                 "a~b\tz\t10\t2024-01-05 00:00:01\t不同\n"_s);
    Q_ASSERT(r.rows == 5);
    return g;
}

} // namespace

class TestGridIndex : public QObject {
    Q_OBJECT
private slots:
    void indexFollowsChanges();
    void indexWithDuplicates();
    void indexAgreesWithScan_data();
    void indexAgreesWithScan();
};

void TestGridIndex::indexFollowsChanges() {
    auto g = sampleGrid();
    const QString e = u"jg = '找到'"_s;
    QCOMPARE(g->find(e, 1, 5), 2ll);
    QVERIFY(g->setItem(1, u"jg"_s, u"找到"_s)); // the column changes
    QCOMPARE(g->find(e, 1, 5), 1ll);
    QVERIFY(g->setItem(1, u"xh"_s, 7)); // another column: index kept, still right
    QCOMPARE(g->find(e, 1, 5), 1ll);
    QCOMPARE(g->insertRow(1), 1ll); // rows move down
    QCOMPARE(g->find(e, 1, 6), 2ll);
    QVERIFY(g->deleteRow(2));
    QCOMPARE(g->find(e, 1, 5), 2ll);
    QCOMPARE(g->setSort(u"xh D"_s), 1);
    QCOMPARE(g->sort(), 1); // a~b 10, it's 3, zab -2, the new row, ABC.TXT
    QCOMPARE(g->find(e, 1, 5), 2ll);
    QCOMPARE(g->find(e, 3, 5), 3ll);
    QCOMPARE(g->find(e, 4, 5), 0ll);
    QCOMPARE(g->setFilter(u"xh <> 3"_s), 1);
    QCOMPARE(g->filter(), 1);
    QCOMPARE(g->find(e, 1, 4), 2ll);
    g->reset();
    QCOMPARE(g->find(e, 1, 0), 0ll);
}

void TestGridIndex::indexWithDuplicates() {
    Grid g({{u"md"_s, ColType::String, {}}, {u"xh"_s, ColType::Number, {}}});
    QString text;
    for (int i = 0; i < 2000; ++i)
        text += (i % 3 == 0 ? u"同"_s : u"n"_s + QString::number(i)) + u"\t"_s +
                QString::number(i) + u"\n"_s;
    QCOMPARE(g.importText(text).rows, 2000ll);
    qint64 hits = 0, last = 0;
    for (qint64 r = g.find(u"md = '同'"_s, 1, 2000); r > 0;
         r = g.find(u"md = '同'"_s, r + 1, 2000)) {
        QVERIFY(r > last);
        QCOMPARE(g.getItemString(r, 1), u"同"_s);
        last = r;
        ++hits;
    }
    QCOMPARE(hits, 667ll);
    QCOMPARE(g.find(u"md = '同'"_s, 2000, 1), 1999ll);
    QCOMPARE(g.find(u"md = 'n1998'"_s, 1, 2000), 0ll);
    QCOMPARE(g.find(u"md = 'n1999'"_s, 1, 2000), 2000ll);
}

void TestGridIndex::indexAgreesWithScan_data() {
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("distinct"); // values cycle through this many texts
    QTest::newRow("all distinct") << 5000 << 5000;
    QTest::newRow("all the same") << 3000 << 1;
    QTest::newRow("a few repeated") << 4000 << 7;
    QTest::newRow("empty and filled") << 1000 << 2; // every other value is ''
}

// Every value, found through the index and through the general evaluator
// (a parenthesised expression), gives the same rows, also after rows are
// deleted and the grid sorted.
void TestGridIndex::indexAgreesWithScan() {
    QFETCH(int, rows);
    QFETCH(int, distinct);
    Grid g({{u"md"_s, ColType::String, {}}, {u"xh"_s, ColType::Number, {}}});
    auto value = [&](int i) {
        const int k = i % distinct;
        return distinct == 2 && k == 0 ? QString() : u"v"_s + QString::number(k);
    };
    QString text;
    for (int i = 0; i < rows; ++i)
        text += value(i) + u"\t"_s + QString::number((i * 7919) % rows) + u"\n"_s;
    QCOMPARE(g.importText(text).rows, qint64(rows));
    for (int round = 0; round < 2; ++round) {
        const qint64 n = g.rowCount();
        for (int k = 0; k < std::min(distinct, 300); ++k) {
            const QString e = u"md = "_s + Grid::quote(value(k));
            QCOMPARE(g.find(e, 1, n), g.find(u"("_s + e + u")"_s, 1, n));
            QCOMPARE(g.find(e, n, 1), g.find(u"("_s + e + u")"_s, n, 1));
        }
        QCOMPARE(g.find(u"md = 'absent'"_s, 1, n), 0ll);
        QVERIFY(g.deleteRow(1));
        QCOMPARE(g.setSort(u"xh D"_s), 1);
        QCOMPARE(g.sort(), 1);
    }
}

// A watchdog for every test function: QtTest fails one that runs longer.
int main(int argc, char **argv) {
    if (!qEnvironmentVariableIsSet("QTEST_FUNCTION_TIMEOUT"))
        qputenv("QTEST_FUNCTION_TIMEOUT", "30000");
    QCoreApplication app(argc, argv);
    TestGridIndex test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_grid_index.moc"
