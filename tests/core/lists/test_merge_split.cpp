// Merging column B and splitting column A on the `hmal` grid.
#include "core/grid/grid.h"
#include "core/lists/merge.h"
#include "core/lists/split.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorv;

using Rows = QList<QStringList>;

namespace {

std::unique_ptr<Grid> gridOf(const Rows &rows) {
    auto grid = lists::makeHmalGrid();
    for (const QStringList &r : rows) {
        const qint64 n = grid->insertRow(0);
        grid->setItem(n, 1, r.value(0));
        grid->setItem(n, 2, r.value(1));
    }
    return grid;
}

Rows shownRows(const Grid &grid) {
    Rows out;
    for (qint64 r = 1; r <= grid.rowCount(); ++r)
        out << QStringList{grid.getItemString(r, 1), grid.getItemString(r, 2)};
    return out;
}

} // namespace

class TestMergeSplit : public QObject {
    Q_OBJECT
private slots:
    void merge_data() {
        QTest::addColumn<Rows>("input");
        QTest::addColumn<QString>("field"); // the separator field as typed
        QTest::addColumn<Rows>("merged");
        QTest::addColumn<Rows>("unique"); // under the duplicate filter

        QTest::newRow("x 1, y 2, x 3 with the full-width semicolon")
            << Rows{{u"x"_s, u"1"_s}, {u"y"_s, u"2"_s}, {u"x"_s, u"3"_s}} << u"；"_s
            << Rows{{u"x"_s, u"1；3"_s}, {u"x"_s, u"1；3"_s}, {u"y"_s, u"2"_s}}
            << Rows{{u"x"_s, u"1；3"_s}, {u"y"_s, u"2"_s}};
        QTest::newRow("single rows keep their value")
            << Rows{{u"b"_s, u"2"_s}, {u"a"_s, u"1"_s}} << u"；"_s
            << Rows{{u"a"_s, u"1"_s}, {u"b"_s, u"2"_s}} << Rows{{u"a"_s, u"1"_s}, {u"b"_s, u"2"_s}};
        // "#" sorts last here; its group is merged like any other.
        QTest::newRow("# as the last A")
            << Rows{{u"#"_s, u"1"_s}, {u"!"_s, u"0"_s}, {u"#"_s, u"2"_s}} << u","_s
            << Rows{{u"!"_s, u"0"_s}, {u"#"_s, u"1,2"_s}, {u"#"_s, u"1,2"_s}}
            << Rows{{u"!"_s, u"0"_s}, {u"#"_s, u"1,2"_s}};
        QTest::newRow("case and trailing blanks make other groups")
            << Rows{{u"A"_s, u"1"_s}, {u"a"_s, u"2"_s}, {u"A "_s, u"3"_s}} << u","_s
            << Rows{{u"A"_s, u"1"_s}, {u"A "_s, u"3"_s}, {u"a"_s, u"2"_s}}
            << Rows{{u"A"_s, u"1"_s}, {u"A "_s, u"3"_s}, {u"a"_s, u"2"_s}};
        QTest::newRow("empty separator field joins with nothing")
            << Rows{{u"k"_s, u"1"_s}, {u"k"_s, u"2"_s}} << u"  "_s
            << Rows{{u"k"_s, u"12"_s}, {u"k"_s, u"12"_s}} << Rows{{u"k"_s, u"12"_s}};
        QTest::newRow("blanks around the separator are dropped")
            << Rows{{u"k"_s, u"1"_s}, {u"k"_s, u"2"_s}} << u" / "_s
            << Rows{{u"k"_s, u"1/2"_s}, {u"k"_s, u"1/2"_s}} << Rows{{u"k"_s, u"1/2"_s}};
        // An empty B joins as empty text instead of emptying the whole value.
        QTest::newRow("empty B is empty text")
            << Rows{{u"k"_s, QString()}, {u"k"_s, u"2"_s}, {u"k"_s, u"3"_s}} << u"；"_s
            << Rows{{u"k"_s, u"；2；3"_s}, {u"k"_s, u"；2；3"_s}, {u"k"_s, u"；2；3"_s}}
            << Rows{{u"k"_s, u"；2；3"_s}};
        QTest::newRow("empty grid") << Rows{} << u"；"_s << Rows{} << Rows{};
    }
    void merge() {
        QFETCH(Rows, input);
        QFETCH(QString, field);
        QFETCH(Rows, merged);
        QFETCH(Rows, unique);
        auto grid = gridOf(input);
        lists::mergeColumnB(*grid, lists::separatorOf(field));
        QCOMPARE(shownRows(*grid), merged);
        lists::applyDuplicateFilter(*grid);
        QCOMPARE(shownRows(*grid), unique);
        QCOMPARE(grid->filteredCount(), qint64(merged.size() - unique.size()));
        lists::cancelFilter(*grid);
        QCOMPARE(shownRows(*grid), merged);
    }

    // Joined values longer than the columns' declared lengths stay whole.
    void mergeKeepsLongValues() {
        const QString a(1200, u'甲'), b(2500, u'乙');
        auto grid = gridOf({{a, b}, {a, b}});
        lists::mergeColumnB(*grid, u"；"_s);
        const QString joined = b + u"；"_s + b;
        QCOMPARE(grid->getItemString(1, 1), a);
        QCOMPARE(grid->getItemString(1, 2), joined);
        QCOMPARE(grid->getItemString(2, 2), joined);
    }

    // Merging again joins the joined values once more.
    void mergeTwice() {
        auto grid = gridOf({{u"x"_s, u"1"_s}, {u"x"_s, u"3"_s}});
        lists::mergeColumnB(*grid, u"；"_s);
        const lists::MergeOutcome again = lists::mergeColumnB(*grid, u"；"_s);
        QCOMPARE(again.groups, qint64(1));
        QCOMPARE(again.rowsJoined, qint64(2));
        QCOMPARE(grid->getItemString(2, 2), u"1；3；1；3"_s);
    }

    void split_data() {
        QTest::addColumn<Rows>("input");
        QTest::addColumn<QString>("field");
        QTest::addColumn<Rows>("output");

        const QString x = u"x"_s;
        QTest::newRow("a,b,,c") << Rows{{u"a,b,,c"_s, x}} << u","_s
                                << Rows{{u"a"_s, x}, {u"b"_s, x}, {u"c"_s, x}};
        QTest::newRow(",a,") << Rows{{u",a,"_s, x}} << u","_s << Rows{{u"a"_s, x}};
        QTest::newRow("a, b keeps the blank")
            << Rows{{u"a, b"_s, x}} << u","_s << Rows{{u"a"_s, x}, {u" b"_s, x}};
        QTest::newRow("B trimmed")
            << Rows{{u"p,q"_s, u" y "_s}} << u","_s << Rows{{u"p"_s, u"y"_s}, {u"q"_s, u"y"_s}};
        QTest::newRow("no separator: one row")
            << Rows{{u"abc"_s, x}} << u","_s << Rows{{u"abc"_s, x}};
        QTest::newRow("full-width separator only")
            << Rows{{u"a;b；c"_s, x}} << u"；"_s << Rows{{u"a;b"_s, x}, {u"c"_s, x}};
        // The whole separator is skipped, not only its first character.
        QTest::newRow("separator of several characters")
            << Rows{{u"a::b::::c"_s, x}} << u"::"_s << Rows{{u"a"_s, x}, {u"b"_s, x}, {u"c"_s, x}};
        QTest::newRow("separator field blanks dropped")
            << Rows{{u"a|b"_s, x}} << u" | "_s << Rows{{u"a"_s, x}, {u"b"_s, x}};
        QTest::newRow("empty separator copies A whole")
            << Rows{{u"a,b"_s, x}, {u" c "_s, u"z"_s}} << u""_s
            << Rows{{u"a,b"_s, x}, {u" c "_s, u"z"_s}};
        // An empty A gives no row and the rows after it are still split.
        QTest::newRow("empty A passed over") << Rows{{QString(), x}, {u"m,n"_s, u"w"_s}} << u","_s
                                             << Rows{{u"m"_s, u"w"_s}, {u"n"_s, u"w"_s}};
        // A lone surrogate (no well-formed text) is found nowhere, even
        // where its replacement character stands.
        QTest::newRow("lone surrogate separator")
            << Rows{{u"a?b\uFFFDc"_s, x}} << QString(QChar(0xD800)) << Rows{{u"a?b\uFFFDc"_s, x}};
        QTest::newRow("ASCII blanks trimmed from B, others kept")
            << Rows{{u"k"_s, u"\t\r\n y\u3000 "_s}} << u","_s << Rows{{u"k"_s, u"y\u3000"_s}};
        QTest::newRow("rows in order, pieces in order")
            << Rows{{u"2,1"_s, u"b"_s}, {u"3"_s, u"a"_s}} << u","_s
            << Rows{{u"2"_s, u"b"_s}, {u"1"_s, u"b"_s}, {u"3"_s, u"a"_s}};
    }
    void split() {
        QFETCH(Rows, input);
        QFETCH(QString, field);
        QFETCH(Rows, output);
        auto source = gridOf(input);
        auto target = gridOf({{u"old"_s, u"row"_s}});
        const qint64 written = lists::splitColumnA(*source, *target, lists::separatorOf(field));
        QCOMPARE(shownRows(*target), output);
        QCOMPARE(written, qint64(output.size()));
        QCOMPARE(shownRows(*source), input.isEmpty() ? Rows{} : shownRows(*gridOf(input)));
        // Converting again gives the same rows.
        lists::splitColumnA(*source, *target, lists::separatorOf(field));
        QCOMPARE(shownRows(*target), output);
    }

    // Rows hidden by a filter on the source are not split.
    void splitReadsShownRows() {
        auto source = gridOf({{u"a,b"_s, u"1"_s}, {u"a,b"_s, u"2"_s}, {u"c"_s, u"3"_s}});
        lists::applyDuplicateFilter(*source);
        auto target = lists::makeHmalGrid();
        lists::splitColumnA(*source, *target, u","_s);
        QCOMPARE(shownRows(*target), (Rows{{u"a"_s, u"1"_s}, {u"b"_s, u"1"_s}, {u"c"_s, u"3"_s}}));
    }
};

QTEST_GUILESS_MAIN(TestMergeSplit)
#include "test_merge_split.moc"
