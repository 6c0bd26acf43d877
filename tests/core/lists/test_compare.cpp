// The comparison's three phases on the grids: repeated names, exact and
// folded matching, the rows a filter hides, and a stop between phases.
#include "core/lists/compare.h"
#include "core/lists/compare_grids.h"
#include "core/lists/normalize.h"
#include "core/platform/progress.h"
#include "lists_fixture.h"
#include "support/scripted_platform.h"

#include <QTest>
#include <QThread>

using namespace Qt::StringLiterals;
using namespace zorv;
using zorv::test::fillList;
using zorv::test::rowsOf;

namespace {

struct Grids {
    std::unique_ptr<Grid> l1 = lists::makeListGrid(1), l2 = lists::makeListGrid(2),
                          d1 = lists::makeDuplicateGrid(1), d2 = lists::makeDuplicateGrid(2);
    lists::CompareOutcome compare(bool normalize = false, ProgressSink *progress = nullptr) {
        lists::CompareOptions o;
        o.normalize = normalize;
        return lists::compareLists(*l1, *l2, *d1, *d2, o, progress);
    }
};

// Asks for a stop on the n-th poll.
class StopAt final : public ProgressSink {
public:
    explicit StopAt(int n) : m_n(n) {}
    bool stopRequested() override { return ++m_polls == m_n; }

private:
    int m_n, m_polls = 0;
};

} // namespace

class TestCompare : public QObject {
    Q_OBJECT
private slots:
    // Lists in, then the four grids as "md|xh|jg" and "dmd|dxh" lines.
    void phases_data() {
        QTest::addColumn<QStringList>("list1");
        QTest::addColumn<QStringList>("list2");
        QTest::addColumn<bool>("normalize");
        QTest::addColumn<QStringList>("out1");
        QTest::addColumn<QStringList>("out2");
        QTest::addColumn<QStringList>("dups1");
        QTest::addColumn<QStringList>("dups2");

        QTest::newRow("b a b b: one b stays, the two later ones move with their numbers")
            << QStringList{u"b"_s, u"a"_s, u"b"_s, u"b"_s} << QStringList{} << false
            << QStringList{u"a|2|不同"_s, u"b|1|不同"_s} << QStringList{}
            << QStringList{u"b|3"_s, u"b|4"_s} << QStringList{};
        QTest::newRow("case and a trailing blank make other names")
            << QStringList{u"Tom"_s, u"tom"_s, u"Tom "_s} << QStringList{u"Tom"_s} << false
            << QStringList{u"Tom|1|相同"_s, u"Tom |3|不同"_s, u"tom|2|不同"_s}
            << QStringList{u"Tom|1|相同"_s} << QStringList{} << QStringList{};
        QTest::newRow("quotes and tildes match like any name")
            << QStringList{u"O'Neil"_s, u"O'Neil's d'Arc"_s, u"a~b~'c"_s, u"x"_s}
            << QStringList{u"a~b~'c"_s, u"O'Neil's d'Arc"_s, u"O'Neil"_s} << false
            << QStringList{u"O'Neil|1|相同"_s, u"O'Neil's d'Arc|2|相同"_s, u"a~b~'c|3|相同"_s,
                           u"x|4|不同"_s}
            << QStringList{u"O'Neil|3|相同"_s, u"O'Neil's d'Arc|2|相同"_s, u"a~b~'c|1|相同"_s}
            << QStringList{} << QStringList{};
        QTest::newRow("empty list 2 leaves every row different")
            << QStringList{u"b"_s, u"a"_s} << QStringList{} << false
            << QStringList{u"a|2|不同"_s, u"b|1|不同"_s} << QStringList{} << QStringList{}
            << QStringList{};
        QTest::newRow("list 2 repeats: its partner is the kept row")
            << QStringList{u"k"_s} << QStringList{u"k"_s, u"z"_s, u"k"_s} << false
            << QStringList{u"k|1|相同"_s} << QStringList{u"k|1|相同"_s, u"z|2|不同"_s}
            << QStringList{} << QStringList{u"k|3"_s};
        QTest::newRow("empty names neither repeat nor match")
            << QStringList{QString(), QString(), u"a"_s} << QStringList{QString(), u"a"_s} << false
            << QStringList{u"|1|不同"_s, u"|2|不同"_s, u"a|3|相同"_s}
            << QStringList{u"|1|不同"_s, u"a|2|相同"_s} << QStringList{} << QStringList{};
        QTest::newRow("exact: traditional and full-width forms differ")
            << QStringList{u"張三"_s, u"ＡＢＣ１ "_s} << QStringList{u"张三"_s, u"ABC1"_s} << false
            << QStringList{u"張三|1|不同"_s, u"ＡＢＣ１ |2|不同"_s}
            << QStringList{u"ABC1|2|不同"_s, u"张三|1|不同"_s} << QStringList{} << QStringList{};
        QTest::newRow("folded: the grids keep the names as loaded")
            << QStringList{u"張三"_s, u"ＡＢＣ１ "_s, u"\u00A0李四\u3000"_s}
            << QStringList{u"张三"_s, u"ABC1"_s, u"李四"_s} << true
            << QStringList{u"\u00A0李四\u3000|3|相同"_s, u"張三|1|相同"_s, u"ＡＢＣ１ |2|相同"_s}
            << QStringList{u"ABC1|2|相同"_s, u"张三|1|相同"_s, u"李四|3|相同"_s} << QStringList{}
            << QStringList{};
        // Sorted by character code: 张 (U+5F20) < 張 (U+5F35) < Ａ (U+FF21) < ａ (U+FF41).
        QTest::newRow("folded: repeats are found under the folding, case is kept")
            << QStringList{u"張三"_s, u"张三"_s, u"abc"_s, u"ＡＢＣ"_s, u"ａｂｃ"_s}
            << QStringList{} << true
            << QStringList{u"abc|3|不同"_s, u"张三|2|不同"_s, u"ＡＢＣ|4|不同"_s} << QStringList{}
            << QStringList{u"張三|1"_s, u"ａｂｃ|5"_s} << QStringList{};
    }
    void phases() {
        QFETCH(QStringList, list1);
        QFETCH(QStringList, list2);
        QFETCH(bool, normalize);
        test::ScriptedPlatform p;
        Grids g;
        fillList(*g.l1, list1);
        fillList(*g.l2, list2);
        const lists::CompareOutcome out = g.compare(normalize);
        QCOMPARE(out.end, lists::CompareEnd::Done);
        QTEST(rowsOf(*g.l1), "out1");
        QTEST(rowsOf(*g.l2), "out2");
        QTEST(rowsOf(*g.d1), "dups1");
        QTEST(rowsOf(*g.d2), "dups2");
        QCOMPARE(p.messageLines(), QStringList{u"提示 / 核对结束"_s});
    }

    void duplicateSummaries() {
        test::ScriptedPlatform p;
        Grids g;
        fillList(*g.l1, {u"b"_s, u"a"_s, u"b"_s, u"b"_s});
        fillList(*g.l2, {u"c"_s, u"c"_s});
        g.compare();
        QCOMPARE(g.d1->summaryText(), u"总数:2"_s);
        QCOMPARE(g.d2->summaryText(), u"1"_s);
    }

    // The lists are worked on side by side, yet a view attached to a grid
    // hears of the change on the comparing thread only, once the grids hold
    // their new rows, and redraw ends as it was.
    void signalsOnCallingThread() {
        test::ScriptedPlatform p;
        Grids g;
        fillList(*g.l1, {u"b"_s, u"a"_s, u"b"_s});
        fillList(*g.l2, {u"a"_s, u"c"_s, u"c"_s});
        g.d2->setRedraw(false);
        QList<QThread *> threads;
        QStringList seen;
        for (Grid *grid : {g.l1.get(), g.l2.get(), g.d1.get(), g.d2.get()}) {
            const auto record = [&, grid] {
                threads << QThread::currentThread();
                seen << QString::number(grid->rowCount());
            };
            connect(grid, &Grid::modelReset, this, record);
            connect(grid, &Grid::rowsInserted, this, record);
            connect(grid, &Grid::rowsRemoved, this, record);
            connect(grid, &Grid::cellChanged, this, record);
        }
        g.compare();
        QCOMPARE(threads.size(), 3); // l1, l2, d1: one reset each
        for (QThread *t : threads)
            QCOMPARE(t, QThread::currentThread());
        seen.sort();
        QCOMPARE(seen, (QStringList{u"1"_s, u"2"_s, u"2"_s}));
        QVERIFY(g.l1->redraw() && g.l2->redraw() && g.d1->redraw());
        QVERIFY(!g.d2->redraw());
        QCOMPARE(rowsOf(*g.l1), (QStringList{u"a|2|相同"_s, u"b|1|不同"_s}));
        QCOMPARE(rowsOf(*g.l2), (QStringList{u"a|1|相同"_s, u"c|2|不同"_s}));
    }

    // A second comparison finds no repeats left and keeps the markers.
    void comparingTwice() {
        test::ScriptedPlatform p;
        Grids g;
        fillList(*g.l1, {u"b"_s, u"a"_s, u"b"_s});
        fillList(*g.l2, {u"a"_s, u"a"_s});
        g.compare();
        const QStringList once1 = rowsOf(*g.l1), once2 = rowsOf(*g.l2);
        const lists::CompareOutcome again = g.compare();
        QCOMPARE(again.duplicates1 + again.duplicates2, qint64(0));
        QCOMPARE(rowsOf(*g.l1), once1);
        QCOMPARE(rowsOf(*g.l2), once2);
        QCOMPARE(g.d1->rowCount(), qint64(1));
        QCOMPARE(g.d2->rowCount(), qint64(1));
    }

    // With the filter "相同" only the rows shown take part; the hidden ones
    // come back untouched when the filter goes.
    void filterThenCompare() {
        test::ScriptedPlatform p;
        Grids g;
        fillList(*g.l1, {u"b"_s, u"a"_s, u"b"_s});
        fillList(*g.l2, {u"b"_s});
        g.l1->setItem(1, lists::kJg, u"相同"_s);
        g.l1->setFilter(u"jg = '相同'"_s);
        g.l1->filter();
        g.compare();
        QCOMPARE(g.d1->rowCount(), qint64(0));
        QCOMPARE(rowsOf(*g.l1), QStringList{u"b|1|相同"_s});
        QCOMPARE(rowsOf(*g.l2), QStringList{u"b|1|相同"_s});
        g.l1->setFilter(u"xh>0"_s);
        g.l1->filter();
        QCOMPARE(rowsOf(*g.l1), (QStringList{u"a|2|不同"_s, u"b|1|相同"_s, u"b|3|不同"_s}));
    }

    // A stop at any phase boundary leaves every grid as it was.
    void stopBetweenPhases_data() {
        QTest::addColumn<int>("poll");
        for (int poll = 1; poll <= 4; ++poll)
            QTest::addRow("stop at poll %d", poll) << poll;
    }
    void stopBetweenPhases() {
        QFETCH(int, poll);
        test::ScriptedPlatform p;
        Grids g;
        fillList(*g.l1, {u"b"_s, u"a"_s, u"b"_s});
        fillList(*g.l2, {u"a"_s, u"c"_s, u"a"_s});
        const QStringList before1 = rowsOf(*g.l1), before2 = rowsOf(*g.l2);
        StopAt stop(poll);
        const lists::CompareOutcome out = g.compare(false, &stop);
        QCOMPARE(out.end, lists::CompareEnd::Stopped);
        QCOMPARE(rowsOf(*g.l1), before1);
        QCOMPARE(rowsOf(*g.l2), before2);
        QCOMPARE(g.d1->rowCount() + g.d2->rowCount(), qint64(0));
        QVERIFY(p.messages.isEmpty());
    }

    void folding_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("key");
        QTest::newRow("full-width letters, digit and blank") << u"ＡＢＣ１ "_s << u"ABC1"_s;
        QTest::newRow("traditional to simplified") << u"張三"_s << u"张三"_s;
        QTest::newRow("blanks of every kind at both ends")
            << u"\u3000\u00A0 王 五\t\u202F"_s << u"王 五"_s;
        QTest::newRow("ideographic space inside becomes a blank") << u"王\u3000五"_s << u"王 五"_s;
        QTest::newRow("full-width punctuation") << u"Ｏ＇Ｎｅｉｌ（１）"_s << u"O'Neil(1)"_s;
        QTest::newRow("case is kept") << u"Tom"_s << u"Tom"_s;
        QTest::newRow("only blanks") << u"\u3000 "_s << QString();
    }
    void folding() {
        QFETCH(QString, name);
        lists::NameFolder folder;
        QVERIFY2(folder.ok(), qPrintable(folder.error()));
        const QByteArray utf8 = name.toUtf8();
        const std::string_view key =
            folder.foldOne(std::string_view(utf8.constData(), std::size_t(utf8.size())));
        QTEST(QString::fromUtf8(key.data(), qsizetype(key.size())), "key");
    }
};

QTEST_GUILESS_MAIN(TestCompare)
#include "test_compare.moc"
