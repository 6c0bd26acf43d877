// The raw-text calls for long lists: appending names, writing one text into
// many rows and numbering the rows must leave the same cells as the
// cell-by-cell calls, whatever the row order, filter or source of the text.
#include "core/grid/grid.h"

#include <QSignalSpy>
#include <QTest>
#include <string>

using namespace Qt::StringLiterals;
using zorv::ColType;
using zorv::Grid;

namespace {

QList<zorv::Column> columns() {
    return {{u"md"_s, ColType::String, u"名单"_s},
            {u"xh"_s, ColType::Number, u"序号"_s},
            {u"jg"_s, ColType::String, u"结果"_s}};
}

std::vector<std::string_view> views(const std::vector<std::string> &texts) {
    return {texts.begin(), texts.end()};
}

} // namespace

class TestGridTextBulk : public QObject {
    Q_OBJECT
private slots:
    void appendedRowsHoldTheirTextsOnly();
    void appendFromTheGridsOwnText();
    void appendLongText();
    void sameTextIntoGivenRows();
    void fillAndNumberShownRowsOnly();
    void wrongColumnsRefused();
};

void TestGridTextBulk::appendedRowsHoldTheirTextsOnly() {
    Grid g(columns());
    g.insertRow(0);
    g.setItem(1, 1, u"old"_s);
    g.setItem(1, 2, u"7"_s);
    const std::vector<std::string> texts{"王伟", "", "a\tb\nc", "O'Neil"};
    QCOMPARE(g.appendTexts(1, views(texts)), qint64(4));
    QCOMPARE(g.rowCount(), qint64(5));
    QCOMPARE(g.getItemString(1, 1), u"old"_s);
    QCOMPARE(g.getItemNumber(1, 2), 7.0);
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(g.textView(i + 2, 1), std::string_view(texts[std::size_t(i)]));
        QVERIFY(g.isNull(i + 2, 2));
        QVERIFY(g.isNull(i + 2, 3));
    }
    QVERIFY(g.isNull(3, 1)); // an empty text is an empty cell
    // The appended rows sort and find like rows set one by one.
    g.setSort(u"md A"_s);
    g.sort();
    QCOMPARE(g.textView(2, 1), std::string_view("O'Neil"));
    QCOMPARE(g.findText(1, "王伟"), g.rowCount());
}

void TestGridTextBulk::appendFromTheGridsOwnText() {
    // Views into the grid's own text stay good while the text space grows.
    Grid g(columns());
    const std::vector<std::string> first{"甲", "乙乙", "丙丙丙"};
    g.appendTexts(1, views(first));
    std::vector<std::string_view> own;
    for (int round = 0; round < 12; ++round) {
        own.clear();
        for (qint64 r = 1; r <= 3; ++r)
            own.push_back(g.textView(r, 1));
        QCOMPARE(g.appendTexts(1, own), qint64(3));
    }
    QCOMPARE(g.rowCount(), qint64(39));
    for (qint64 r = 1; r <= g.rowCount(); ++r)
        QCOMPARE(g.textView(r, 1), std::string_view(first[std::size_t((r - 1) % 3)]));
}

void TestGridTextBulk::appendLongText() {
    // A text of 16 MiB or more keeps its length in front of it.
    Grid g(columns());
    std::vector<std::string> texts{"x", std::string((std::size_t(1) << 24) + 5, 'L'), "y"};
    texts[1].back() = 'E';
    QCOMPARE(g.appendTexts(1, views(texts)), qint64(3));
    QCOMPARE(g.textView(1, 1), std::string_view("x"));
    QCOMPARE(g.textView(2, 1).size(), texts[1].size());
    QVERIFY(g.textView(2, 1) == std::string_view(texts[1]));
    QCOMPARE(g.textView(3, 1), std::string_view("y"));
}

void TestGridTextBulk::sameTextIntoGivenRows() {
    Grid g(columns());
    const std::vector<std::string> texts{"c", "a", "b", "d"};
    g.appendTexts(1, views(texts));
    g.setSort(u"md A"_s);
    g.sort(); // a b c d: rows now address other cells than their storage order
    QVERIFY(g.setTexts(3, {4, 2, 0, 99, 2}, "相同"));
    QCOMPARE(g.getItemString(1, 3), QString());
    QCOMPARE(g.getItemString(2, 3), u"相同"_s);
    QCOMPARE(g.getItemString(3, 3), QString());
    QCOMPARE(g.getItemString(4, 3), u"相同"_s);
    // The written column is found by its new text.
    QCOMPARE(g.findText(3, "相同"), qint64(2));
    // A text taken from the grid itself.
    QVERIFY(g.setTexts(3, {1}, g.textView(4, 1)));
    QCOMPARE(g.getItemString(1, 3), u"d"_s);
    // An empty text empties the cells.
    QVERIFY(g.setTexts(3, {2}, {}));
    QVERIFY(g.isNull(2, 3));
}

void TestGridTextBulk::fillAndNumberShownRowsOnly() {
    Grid g(columns());
    const std::vector<std::string> texts{"d", "a", "c", "b", "e"};
    g.appendTexts(1, views(texts));
    g.setFilter(u"md <> 'c'"_s);
    g.filter();
    g.setSort(u"md D"_s);
    g.sort(); // e d b a shown, c filtered out
    QSignalSpy resets(&g, &Grid::modelReset);
    QVERIFY(g.fillRowNumbers(2));
    QVERIFY(g.fillText(3, "不同"));
    QCOMPARE(resets.count(), 2);
    for (qint64 r = 1; r <= 4; ++r) {
        QCOMPARE(g.getItemNumber(r, 2), double(r));
        QCOMPARE(g.getItemString(r, 3), u"不同"_s);
    }
    QCOMPARE(g.getItemString(1, 1), u"e"_s);
    QCOMPARE(g.getItemString(4, 1), u"a"_s);
    g.setFilter(QString());
    g.filter();
    QCOMPARE(g.rowCount(), qint64(5));
    const qint64 c = g.findText(1, "c");
    QVERIFY(c > 0);
    QVERIFY(g.isNull(c, 2));
    QVERIFY(g.isNull(c, 3));
    // Written again over itself, the text stays whole.
    QVERIFY(g.fillText(3, g.textView(1, 3)));
    QCOMPARE(g.getItemString(c, 3), u"不同"_s);
}

void TestGridTextBulk::wrongColumnsRefused() {
    Grid g(columns());
    g.appendTexts(1, views({"a", "b"}));
    QVERIFY(!g.fillRowNumbers(1));
    QVERIFY(!g.fillRowNumbers(3));
    QVERIFY(!g.fillRowNumbers(4));
    QVERIFY(!g.fillText(2, "x"));
    QVERIFY(!g.fillText(0, "x"));
    QVERIFY(!g.setTexts(2, {1}, "x"));
    QVERIFY(g.isNull(1, 2));
    QCOMPARE(g.getItemString(1, 1), u"a"_s);
}

QTEST_GUILESS_MAIN(TestGridTextBulk)
#include "test_grid_text_bulk.moc"
