// Cells and their types, rows, sorting, filtering, selection and the change
// signals of the grid model.
#include "core/grid/grid.h"

#include <QSignalSpy>
#include <QTest>
#include <numeric>

using namespace Qt::StringLiterals;
using zorv::ColType;
using zorv::Grid;

namespace {

QList<zorv::Column> listColumns() {
    return {{u"md"_s, ColType::String, u"名单"_s, 255},
            {u"xh"_s, ColType::Number, u"序号"_s},
            {u"rq"_s, ColType::DateTime, u"日期"_s},
            {u"jg"_s, ColType::String, u"结果"_s, 4}};
}

// Column values of the shown rows joined with "|", for compact comparisons.
QString column(const Grid &g, int c) {
    QStringList out;
    for (qint64 r = 1; r <= g.rowCount(); ++r)
        out << g.getItemString(r, c);
    return out.join(u'|');
}

} // namespace

class TestGridRows : public QObject {
    Q_OBJECT
private slots:
    void cellTypes_data();
    void cellTypes();
    void valuesAreNeverCut();
    void insertAndDelete();
    void sort_data();
    void sort();
    void sortIsStableWhenToggled();
    void badSortSpec();
    void sortEmptyTexts();
    void sortMatchesByteOrder();
    void filterRoundTrip();
    void filterAfterSortRestoresSortedPlaces();
    void selection();
    void signalsAndRedraw();
    void summary();
    void manyDeletesKeepData();
};

void TestGridRows::cellTypes_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("text"); // getItemString afterwards

    QTest::newRow("text") << 1 << QVariant(u"张三"_s) << true << u"张三"_s;
    QTest::newRow("number into text") << 1 << QVariant(12.5) << true << u"12.5"_s;
    QTest::newRow("int into number") << 2 << QVariant(42) << true << u"42"_s;
    QTest::newRow("double into number") << 2 << QVariant(0.1) << true << u"0.1"_s;
    QTest::newRow("numeric text into number") << 2 << QVariant(u" -3.25 "_s) << true << u"-3.25"_s;
    QTest::newRow("big integer") << 2 << QVariant(123456789012ll) << true << u"123456789012"_s;
    QTest::newRow("text refused by number") << 2 << QVariant(u"abc"_s) << false << u"7"_s;
    QTest::newRow("half number refused") << 2 << QVariant(u"12abc"_s) << false << u"7"_s;
    QTest::newRow("empty text empties number") << 2 << QVariant(QString()) << true << QString();
    QTest::newRow("null empties number") << 2 << QVariant() << true << QString();
    QTest::newRow("date-time") << 3 << QVariant(QDateTime(QDate(2024, 2, 29), QTime(13, 5, 9)))
                               << true << u"2024-02-29 13:05:09"_s;
    QTest::newRow("date") << 3 << QVariant(QDate(1999, 12, 31)) << true << u"1999-12-31 00:00:00"_s;
    QTest::newRow("date text") << 3 << QVariant(u"2024/3/1 8:30"_s) << true
                               << u"2024-03-01 08:30:00"_s;
    QTest::newRow("impossible date refused")
        << 3 << QVariant(u"2023-02-29"_s) << false << u"2000-01-01 00:00:00"_s;
    QTest::newRow("number refused by date")
        << 3 << QVariant(5) << false << u"2000-01-01 00:00:00"_s;
}

void TestGridRows::cellTypes() {
    QFETCH(int, column);
    QFETCH(QVariant, value);
    QFETCH(bool, accepted);
    QFETCH(QString, text);
    Grid g(listColumns());
    QCOMPARE(g.insertRow(0), 1ll);
    QVERIFY(g.setItem(1, u"xh"_s, 7));
    QVERIFY(g.setItem(1, u"rq"_s, QDate(2000, 1, 1)));
    QCOMPARE(g.setItem(1, column, value), accepted);
    QCOMPARE(g.getItemString(1, column), text);
    QCOMPARE(g.isNull(1, column), text.isEmpty());
    QCOMPARE(g.item(1, column).isNull(), text.isEmpty());
}

void TestGridRows::valuesAreNeverCut() {
    Grid g(listColumns()); // jg is declared 4 wide, md 255
    g.insertRow(0);
    const QString longText = QString(100000, u'名') + u"尾"_s;
    QVERIFY(g.setItem(1, u"md"_s, longText));
    QVERIFY(g.setItem(1, u"jg"_s, u"相同相同相同"_s));
    QCOMPARE(g.getItemString(1, u"md"_s), longText);
    QCOMPARE(g.getItemString(1, u"jg"_s), u"相同相同相同"_s);
    // Past the packed length field (16 MiB) the text is kept whole as well.
    const QString huge(6 * 1024 * 1024, u'长');
    QVERIFY(g.setItem(1, 1, huge));
    QCOMPARE(g.getItemString(1, 1).size(), huge.size());
    QCOMPARE(g.find(u"md = '"_s + huge + u"'"_s, 1, 1), 1ll);
}

void TestGridRows::insertAndDelete() {
    Grid g(listColumns());
    for (int i = 1; i <= 3; ++i)
        QCOMPARE(g.insertRow(0), qint64(i));
    for (int i = 1; i <= 3; ++i)
        g.setItem(i, 1, u"r"_s + QString::number(i));
    QCOMPARE(g.insertRow(2), 2ll);
    g.setItem(2, 1, u"new"_s);
    QCOMPARE(column(g, 1), u"r1|new|r2|r3"_s);
    QVERIFY(g.deleteRow(1));
    QVERIFY(!g.deleteRow(4));
    QVERIFY(!g.deleteRow(0));
    QCOMPARE(column(g, 1), u"new|r2|r3"_s);
    QVERIFY(!g.setItem(4, 1, u"x"_s));
    QCOMPARE(g.getItemString(9, 1), QString());
    g.reset();
    QCOMPARE(g.rowCount(), 0ll);
    QCOMPARE(g.insertRow(5), 1ll); // beyond the end appends

    QVERIFY(g.importText(u"a\nb\nc\nd\ne\n"_s).ok());
    // Rows now: "", a, b, c, d, e.
    g.selectRow(4, true);
    g.setRow(6);
    QCOMPARE(g.deleteRows({5, 2, 9, 2, 0, 4}), 3ll);
    QCOMPARE(column(g, 1), u"|b|e"_s);
    QCOMPARE(g.selectedCount(), 0ll);
    QCOMPARE(g.getRow(), 3ll); // still on "e"
    QCOMPARE(g.find(u"md = 'e'"_s, 1, 3), 3ll);
}

void TestGridRows::sort_data() {
    QTest::addColumn<QString>("spec");
    QTest::addColumn<QString>("md"); // md after the sort

    // Rows: (md, xh, rq): b 10 2024-01-02 / a 9 (empty) / c (empty) 2023-05-01 /
    //       a 100 2024-01-01 / B 9 2024-01-02
    QTest::newRow("text ascending") << u"md A"_s << u"B|a|a|b|c"_s;
    QTest::newRow("blanks between") << u"md   A"_s << u"B|a|a|b|c"_s;
    QTest::newRow("no direction") << u"md"_s << u"B|a|a|b|c"_s;
    QTest::newRow("text descending") << u"md D"_s << u"c|b|a|a|B"_s;
    QTest::newRow("numbers as numbers") << u"xh A"_s << u"c|a|B|b|a"_s;
    QTest::newRow("numbers descending, empty last") << u"xh D"_s << u"a|b|a|B|c"_s;
    QTest::newRow("date-times") << u"rq A"_s << u"a|c|a|b|B"_s;
    QTest::newRow("two keys") << u"md A, xh D"_s << u"B|a|a|b|c"_s;
    QTest::newRow("two keys, second decides") << u"xh A, md D"_s << u"c|a|B|b|a"_s;
    QTest::newRow("two keys without comma") << u"xh d md a"_s << u"a|b|B|a|c"_s;
    QTest::newRow("column number") << u"#2 A"_s << u"c|a|B|b|a"_s;
    QTest::newRow("upper-case name") << u"MD a"_s << u"B|a|a|b|c"_s;
}

void TestGridRows::sort() {
    QFETCH(QString, spec);
    QFETCH(QString, md);
    Grid g(listColumns());
    QVERIFY(g.importText(u"b\t10\t2024-01-02\n"
                         "a\t9\n"
                         "c\t\t2023-05-01\n"
                         "a\t100\t2024-01-01\n"
                         "B\t9\t2024-01-02\n"_s)
                .ok());
    QCOMPARE(g.setSort(spec), 1);
    QCOMPARE(g.sort(), 1);
    QCOMPARE(column(g, 1), md);
    QCOMPARE(g.sortSpec(), spec);
}

void TestGridRows::sortIsStableWhenToggled() {
    Grid g(listColumns());
    QString text;
    for (int i = 0; i < 300; ++i)
        text += QString::number(i % 3) + u"\t"_s + QString::number(i) + u"\n"_s;
    QVERIFY(g.importText(text).ok());
    // Descending then ascending on the same column: equal keys keep the
    // order they had, which is the load order.
    for (const QString &spec : {u"md D"_s, u"md A"_s}) {
        QCOMPARE(g.setSort(spec), 1);
        QCOMPARE(g.sort(), 1);
        for (qint64 r = 2; r <= g.rowCount(); ++r) {
            if (g.getItemString(r, 1) == g.getItemString(r - 1, 1))
                QVERIFY(g.getItemNumber(r, 2) > g.getItemNumber(r - 1, 2));
        }
    }
    QCOMPARE(g.getItemString(1, 1), u"0"_s);
    QCOMPARE(g.getItemNumber(1, 2), 0.0);
    QCOMPARE(g.getItemNumber(300, 2), 299.0);
}

void TestGridRows::badSortSpec() {
    Grid g(listColumns());
    QCOMPARE(g.setSort(u"md A"_s), 1);
    QCOMPARE(g.setSort(u"nosuch A"_s), -1);
    QCOMPARE(g.setSort(u"#9"_s), -1);
    QCOMPARE(g.sortSpec(), u"md A"_s);
}

void TestGridRows::sortEmptyTexts() {
    // Found by fuzzing: a text column with nothing stored in the whole grid.
    Grid g(listColumns());
    for (int i = 1; i <= 3; ++i)
        g.setItem(g.insertRow(0), 2, 4 - i);
    QCOMPARE(g.setSort(u"#1 A"_s), 1);
    QCOMPARE(g.sort(), 1);
    QCOMPARE(column(g, 2), u"3|2|1"_s);
    g.setItem(3, 1, u"甲"_s);
    QCOMPARE(g.setSort(u"md D, xh A"_s), 1);
    QCOMPARE(g.sort(), 1);
    QCOMPARE(column(g, 2), u"1|2|3"_s);
}

void TestGridRows::sortMatchesByteOrder() {
    // Texts sharing long prefixes, around the 15 and 16 bytes the sort keeps
    // beside each row, with zero bytes and Chinese, against a plain stable
    // sort of their UTF-8 bytes.
    const QString pieces[] = {u"a"_s, u"b"_s, QString(QChar(0)), u"中"_s, u"aaaaaaa"_s};
    std::uint32_t seed = 12345;
    auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 16; };
    QList<QString> values;
    for (int i = 0; i < 3000; ++i) {
        QString v;
        for (int n = int(next() % 8); n > 0; --n)
            v += pieces[next() % 5];
        values << v;
    }
    for (bool descending : {false, true}) {
        Grid g(listColumns());
        for (int i = 0; i < values.size(); ++i) {
            g.insertRow(0);
            g.setItem(i + 1, 1, values[i]);
            g.setItem(i + 1, 2, i);
        }
        QCOMPARE(g.setSort(descending ? u"md D"_s : u"md A"_s), 1);
        g.sort();
        QList<int> order(values.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            const QByteArray x = values[a].toUtf8(), y = values[b].toUtf8();
            return descending ? y < x : x < y;
        });
        for (int i = 0; i < order.size(); ++i)
            QCOMPARE(int(g.getItemNumber(i + 1, 2)), order[i]);
    }
}

void TestGridRows::filterRoundTrip() {
    Grid g(listColumns());
    QVERIFY(g.importText(u"f1\t1\t\t相同\nf2\t2\t\t不同\nf3\t3\t\t相同\nf4\t4\t\t不同\n"
                         "f5\t5\t\t相同\n"_s)
                .ok());
    QCOMPARE(g.setFilter(u"jg = '相同'"_s), 1);
    QCOMPARE(g.filter(), 1);
    QCOMPARE(column(g, 1), u"f1|f3|f5"_s);
    QCOMPARE(g.filteredCount(), 2ll);
    // Rows inserted, changed and deleted while filtered keep their places.
    QCOMPARE(g.insertRow(2), 2ll);
    g.setItem(2, 1, u"n"_s);
    g.setItem(2, 4, u"相同"_s);
    QVERIFY(g.deleteRow(4)); // f5
    QCOMPARE(g.setFilter(QString()), 1);
    QCOMPARE(g.filter(), 1);
    QCOMPARE(column(g, 1), u"f1|f2|n|f3|f4"_s);
    QCOMPARE(g.filteredCount(), 0ll);
}

void TestGridRows::filterAfterSortRestoresSortedPlaces() {
    Grid g(listColumns());
    QVERIFY(g.importText(u"d\t4\ne\t5\na\t1\nc\t3\nb\t2\n"_s).ok());
    QCOMPARE(g.setFilter(u"xh > 2"_s), 1);
    g.filter();
    QCOMPARE(column(g, 1), u"d|e|c"_s);
    QCOMPARE(g.setSort(u"md A"_s), 1);
    g.sort();
    QCOMPARE(column(g, 1), u"c|d|e"_s);
    // The rows filtered out come back where the sort puts them.
    g.setFilter(QString());
    g.filter();
    QCOMPARE(column(g, 1), u"a|b|c|d|e"_s);
}

void TestGridRows::selection() {
    Grid g(listColumns());
    QVERIFY(g.importText(u"a\t1\nb\t2\nc\t3\nd\t4\n"_s).ok());
    g.selectRow(2, true);
    g.selectRow(4, true);
    QVERIFY(g.isSelected(2));
    QVERIFY(!g.isSelected(3));
    QCOMPARE(g.selectedCount(), 2ll);
    QCOMPARE(g.selectedRows(), (QList<qint64>{2, 4}));
    QVERIFY(g.deleteRow(2)); // selection follows the rows
    QCOMPARE(g.selectedRows(), (QList<qint64>{3}));
    g.selectRow(0, true);
    QCOMPARE(g.selectedCount(), 3ll);
    // Rows filtered out are deselected: actions on the selection never reach
    // rows the user cannot see.
    g.setFilter(u"xh <> 3"_s);
    g.filter();
    QCOMPARE(g.selectedRows(), (QList<qint64>{1, 2}));
    g.setFilter(QString());
    g.filter();
    QCOMPARE(g.selectedRows(), (QList<qint64>{1, 3}));
    g.selectRow(0, false);
    QCOMPARE(g.selectedCount(), 0ll);
    g.selectRow(9, true);
    QCOMPARE(g.selectedCount(), 0ll);

    g.setRow(2);
    QCOMPARE(g.getRow(), 2ll);
    g.setRow(7);
    QCOMPARE(g.getRow(), 2ll);
    g.insertRow(1);
    QCOMPARE(g.getRow(), 3ll); // stays on the same row
    g.deleteRow(1);
    QCOMPARE(g.getRow(), 2ll);
}

void TestGridRows::signalsAndRedraw() {
    Grid g(listColumns());
    QSignalSpy reset(&g, &Grid::modelReset);
    QSignalSpy inserted(&g, &Grid::rowsInserted);
    QSignalSpy removed(&g, &Grid::rowsRemoved);
    QSignalSpy changed(&g, &Grid::cellChanged);
    QSignalSpy selection(&g, &Grid::selectionChanged);

    g.insertRow(0);
    QCOMPARE(inserted.size(), 1);
    QCOMPARE(inserted.first(), (QList<QVariant>{1ll, 1ll}));
    g.setItem(1, 2, 5);
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed.first(), (QList<QVariant>{1ll, 2}));
    QVERIFY(!g.setItem(1, 2, u"x"_s)); // refused: no signal
    QCOMPARE(changed.size(), 1);
    QVERIFY(g.importText(u"a\nb\n"_s).ok());
    QCOMPARE(inserted.size(), 2);
    QCOMPARE(inserted.last(), (QList<QVariant>{2ll, 2ll}));
    g.selectRow(1, true);
    QCOMPARE(selection.size(), 1);
    g.deleteRow(3);
    QCOMPARE(removed.size(), 1);
    QCOMPARE(removed.first(), (QList<QVariant>{3ll, 1ll}));

    g.setRedraw(false);
    QVERIFY(!g.redraw());
    g.insertRow(0);
    g.setItem(1, 1, u"x"_s);
    g.deleteRow(1);
    g.selectRow(0, true);
    g.setSort(u"md"_s);
    g.sort();
    QVERIFY(g.importText(u"c\n"_s).ok());
    QCOMPARE(reset.size(), 0);
    QCOMPARE(inserted.size() + removed.size() + changed.size() + selection.size(), 5);
    g.setRedraw(true);
    QCOMPARE(reset.size(), 1);
    g.setRedraw(true);
    QCOMPARE(reset.size(), 1);
}

void TestGridRows::summary() {
    Grid g(listColumns());
    QCOMPARE(g.summaryText(), u"总数:0"_s);
    g.insertRow(0);
    g.insertRow(0);
    QCOMPARE(g.summaryText(), u"总数:2"_s);
    g.setSummary(true, QString()); // the count alone
    QCOMPARE(g.summaryText(), u"2"_s);
    g.setSummary(false);
    QVERIFY(!g.hasSummary());
    QCOMPARE(g.summaryText(), QString());
}

void TestGridRows::manyDeletesKeepData() {
    // Deleting most rows frees their storage; the rows left keep their
    // values, order, selection and filter state.
    Grid g(listColumns());
    QString text;
    for (int i = 0; i < 200000; ++i)
        text += u"名"_s + QString::number(i) + u"\t"_s + QString::number(i) + u"\n"_s;
    QVERIFY(g.importText(text).ok());
    g.setFilter(u"xh < 150000"_s);
    g.filter();
    g.setRedraw(false);
    for (qint64 r = g.rowCount(); r >= 1; --r)
        if (qint64(g.getItemNumber(r, 2)) % 1000 != 0)
            g.deleteRow(r);
    g.setRedraw(true);
    QCOMPARE(g.rowCount(), 150ll);
    g.selectRow(2, true);
    QCOMPARE(g.getItemString(2, 1), u"名1000"_s);
    QCOMPARE(g.find(u"md = '名149000'"_s, 1, g.rowCount()), 150ll);
    g.setFilter(QString());
    g.filter();
    QCOMPARE(g.rowCount(), 50150ll);
    QCOMPARE(g.getItemString(151, 1), u"名150000"_s);
    QCOMPARE(g.selectedRows(), (QList<qint64>{2}));
}

QTEST_GUILESS_MAIN(TestGridRows)
#include "test_grid_rows.moc"
