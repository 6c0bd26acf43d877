// Expressions of filters and finds, find's return codes and quoting.
#include "core/grid/grid.h"

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

class TestGridExpr : public QObject {
    Q_OBJECT
private slots:
    void find_data();
    void find();
    void malformed_data();
    void malformed();
    void findRanges_data();
    void findRanges();
    void quoteRoundTrip_data();
    void quoteRoundTrip();
    void longChains_data();
    void longChains();
};

void TestGridExpr::find_data() {
    QTest::addColumn<QString>("expr");
    QTest::addColumn<QList<qint64>>("rows"); // every row where expr holds

    using L = QList<qint64>;
    QTest::newRow("text equality") << u"jg = '找到'"_s << L{2, 3};
    QTest::newRow("no blanks, double quotes") << u"jg=\"找到\""_s << L{2, 3};
    QTest::newRow("case-sensitive") << u"filey = 'abc.txt'"_s << L{1};
    QTest::newRow("number greater") << u"xh>0"_s << L{2, 5};
    QTest::newRow("number compares as number") << u"xh > 2"_s << L{2, 5};
    QTest::newRow("number as quoted text") << u"xh = '10'"_s << L{5};
    QTest::newRow("negative literal") << u"xh < -1"_s << L{3, 4};
    QTest::newRow("empty number is less") << u"xh < -100"_s << L{4};
    QTest::newRow("empty text equals ''") << u"jg = ''"_s << L{4};
    QTest::newRow("not equal") << u"al <> 'x'"_s << L{3, 4, 5};
    QTest::newRow("bang equal") << u"al != 'x'"_s << L{3, 4, 5};
    QTest::newRow("le ge") << u"xh >= 0 and xh <= 3"_s << L{1, 2};
    QTest::newRow("previous row") << u"al<>al[-1] or GetRow () = 1 "_s << L{1, 3, 5};
    QTest::newRow("previous row, no getrow") << u"al<>al[-1]"_s << L{1, 3, 5};
    QTest::newRow("getrow") << u"GetRow() = 4"_s << L{4};
    QTest::newRow("getrow case") << u"getrow ( ) > 3"_s << L{4, 5};
    QTest::newRow("like middle") << u"filey like '%ab%'"_s << L{1, 3};
    QTest::newRow("like prefix") << u"filey like 'a%'"_s << L{1, 5};
    QTest::newRow("like suffix") << u"filey like '%.TXT'"_s << L{4};
    QTest::newRow("like underscore") << u"filey like 'a_b'"_s << L{5};
    QTest::newRow("like underscore on Chinese") << u"jg like '找_'"_s << L{2, 3};
    QTest::newRow("like no wildcard") << u"jg like '找到'"_s << L{2, 3};
    QTest::newRow("like mixed") << u"filey like '%a_.%'"_s << L{3};
    QTest::newRow("not like") << u"filey not like '%ab%'"_s << L{2, 4, 5};
    QTest::newRow("apostrophe escaped") << u"filey = 'it~'s'"_s << L{2};
    QTest::newRow("tilde escaped") << u"filey = 'a~~b'"_s << L{5};
    QTest::newRow("double quote escaped") << u"filey = \"it's\""_s << L{2};
    QTest::newRow("and binds tighter") << u"al = 'x' or al = 'y' and xh > 0"_s << L{1, 2};
    QTest::newRow("parentheses") << u"(al = 'x' or al = 'y') and xh > 0"_s << L{2};
    QTest::newRow("not") << u"not (jg = '找到')"_s << L{1, 4, 5};
    QTest::newRow("NOT AND upper case") << u"NOT jg = '找到' AND xh >= 0"_s << L{1, 5};
    QTest::newRow("date-time by value") << u"rq > '2024-01-05'"_s << L{2, 5};
    QTest::newRow("date-time equal") << u"rq = '2024-01-05 00:00:00'"_s << L{1};
    QTest::newRow("column name case") << u"JG = '找到'"_s << L{2, 3};
    QTest::newRow("parenthesised operand") << u"(xh) > (2)"_s << L{2, 5};
    QTest::newRow("nothing") << u"jg = '无'"_s << L{};
}

void TestGridExpr::find() {
    QFETCH(QString, expr);
    QFETCH(QList<qint64>, rows);
    auto g = sampleGrid();
    QList<qint64> found;
    for (qint64 r = g->find(expr, 1, g->rowCount()); r > 0; r = g->find(expr, r + 1, g->rowCount()))
        found.append(r);
    QCOMPARE(found, rows);
    // The filter takes the same language and keeps the same rows.
    QCOMPARE(g->setFilter(expr), 1);
    QCOMPARE(g->filter(), 1);
    QCOMPARE(g->rowCount(), qint64(rows.size()));
    QCOMPARE(g->filteredCount(), 5 - qint64(rows.size()));
}

void TestGridExpr::malformed_data() {
    QTest::addColumn<QString>("expr");
    QTest::newRow("empty") << QString();
    QTest::newRow("unterminated text") << u"jg = '找到"_s;
    QTest::newRow("lone tilde at end") << u"jg = '找到~"_s;
    QTest::newRow("missing operand") << u"jg = "_s;
    QTest::newRow("missing operator") << u"jg '找到'"_s;
    QTest::newRow("unknown column") << u"nosuch = 1"_s;
    QTest::newRow("unknown function") << u"len(jg) > 1"_s;
    QTest::newRow("double equals") << u"xh == 1"_s;
    QTest::newRow("trailing and") << u"xh > 1 and"_s;
    QTest::newRow("unbalanced parenthesis") << u"(xh > 1"_s;
    QTest::newRow("extra parenthesis") << u"xh > 1)"_s;
    QTest::newRow("text into number") << u"xh = 'abc'"_s;
    QTest::newRow("text into date-time") << u"rq > 'yesterday'"_s;
    QTest::newRow("bad offset") << u"al[x] = 'a'"_s;
    QTest::newRow("fractional offset") << u"al[-1.5] = 'a'"_s;
    // Found by fuzzing: an offset beyond any integer.
    QTest::newRow("huge offset") << u"al[-3333333333333333333333333333333333333333] = 'a'"_s;
    QTest::newRow("stray character") << u"xh > 1 ; drop"_s;
    QTest::newRow("number glued to name") << u"xh > 1abc"_s;
    QTest::newRow("deep nesting") << QString(5000, u'(') + u"xh > 1"_s + QString(5000, u')');
}

void TestGridExpr::malformed() {
    QFETCH(QString, expr);
    auto g = sampleGrid();
    QCOMPARE(g->find(expr, 1, g->rowCount()), -5);
    QCOMPARE(g->setFilter(u"jg = '找到'"_s), 1);
    QCOMPARE(g->setFilter(expr), expr.isEmpty() ? 1 : -1);
    if (!expr.isEmpty()) // the previous filter stays
        QCOMPARE(g->filterExpression(), u"jg = '找到'"_s);
}

void TestGridExpr::findRanges_data() {
    QTest::addColumn<QString>("expr");
    QTest::addColumn<qint64>("first");
    QTest::addColumn<qint64>("last");
    QTest::addColumn<qint64>("expected");
    const QString indexed = u"al = 'y'"_s; // rows 3 and 4, through the index
    const QString scanned = u"al like 'y'"_s;
    for (const QString &e : {indexed, scanned}) {
        const QByteArray tag = e == indexed ? "indexed " : "scanned ";
        QTest::newRow(QByteArray(tag + "whole").constData()) << e << 1ll << 5ll << 3ll;
        QTest::newRow(QByteArray(tag + "from 4").constData()) << e << 4ll << 5ll << 4ll;
        QTest::newRow(QByteArray(tag + "after").constData()) << e << 5ll << 5ll << 0ll;
        QTest::newRow(QByteArray(tag + "backwards").constData()) << e << 5ll << 1ll << 4ll;
        QTest::newRow(QByteArray(tag + "backwards from 3").constData()) << e << 3ll << 1ll << 3ll;
        QTest::newRow(QByteArray(tag + "backwards none").constData()) << e << 2ll << 1ll << 0ll;
        QTest::newRow(QByteArray(tag + "last beyond end").constData()) << e << 4ll << 99ll << 4ll;
        QTest::newRow(QByteArray(tag + "first beyond end").constData()) << e << 6ll << 5ll << 0ll;
        QTest::newRow(QByteArray(tag + "first zero").constData()) << e << 0ll << 5ll << 3ll;
        QTest::newRow(QByteArray(tag + "negative first").constData()) << e << -1ll << 5ll << -1ll;
        QTest::newRow(QByteArray(tag + "negative last").constData()) << e << 1ll << -3ll << -1ll;
    }
    QTest::newRow("malformed wins over range") << u"al ="_s << -1ll << 5ll << -5ll;
}

void TestGridExpr::findRanges() {
    QFETCH(QString, expr);
    QFETCH(qint64, first);
    QFETCH(qint64, last);
    QFETCH(qint64, expected);
    auto g = sampleGrid();
    QCOMPARE(g->find(expr, first, last), expected);
}

void TestGridExpr::quoteRoundTrip_data() {
    QTest::addColumn<QString>("value");
    QTest::newRow("plain") << u"报告.doc"_s;
    QTest::newRow("one apostrophe") << u"it's.txt"_s;
    QTest::newRow("two apostrophes") << u"'a'b'.txt"_s;
    QTest::newRow("tildes") << u"~~a~'.txt"_s;
    QTest::newRow("double quote") << u"say \"hi\".txt"_s;
    QTest::newRow("percent stays literal for =") << u"100%.txt"_s;
    QTest::newRow("empty") << QString();
}

void TestGridExpr::quoteRoundTrip() {
    QFETCH(QString, value);
    Grid g({{u"filey"_s, ColType::String, {}}});
    g.insertRow(0);
    g.insertRow(0);
    QVERIFY(g.setItem(2, 1, value));
    const qint64 expected = value.isEmpty() ? 1 : 2; // row 1 is empty
    QCOMPARE(g.find(u"filey = "_s + Grid::quote(value), 1, 2), expected);
    // The general evaluator agrees with the index.
    QCOMPARE(g.find(u"(filey = "_s + Grid::quote(value) + u")"_s, 1, 2), expected);
}

void TestGridExpr::longChains_data() {
    QTest::addColumn<QString>("expr");
    QTest::addColumn<qint64>("found"); // -5: refused as malformed
    auto chain = [](const QString &term, const QString &join, int n,
                    const QString &last) -> QString {
        QString e;
        e.reserve((term.size() + join.size()) * n + last.size());
        for (int i = 0; i < n; ++i)
            e += term + join;
        return e + last;
    };
    // Each term is evaluated before the last one decides: a chain evaluated
    // through one nested call per term overflows the stack.
    QTest::newRow("or chain of 120,000 terms")
        << chain(u"xh=9"_s, u" or "_s, 120'000, u"xh=3"_s) << 2ll;
    QTest::newRow("and chain of 90,000 terms")
        << chain(u"xh>0"_s, u" and "_s, 90'000, u"xh=10"_s) << 5ll;
    QTest::newRow("mixed chain") << chain(u"xh=9 and al='x'"_s, u" or "_s, 50'000, u"xh=-2"_s)
                                 << 3ll;
    QTest::newRow("or chain of 1,000,000 terms, over the size limit")
        << chain(u"a=1"_s, u" or "_s, 1'000'000, u"xh=3"_s) << -5ll;
    QTest::newRow("deep parentheses")
        << QString(200'000, u'(') + u"xh=3"_s + QString(200'000, u')') << -5ll;
    QTest::newRow("deep not") << chain(u"not"_s, u" "_s, 200'000, u"xh=3"_s) << -5ll;
    QTest::newRow("parentheses within the nesting limit")
        << QString(150, u'(') + u"xh=3"_s + QString(150, u')') << 2ll;
}

void TestGridExpr::longChains() {
    QFETCH(QString, expr);
    QFETCH(qint64, found);
    auto g = sampleGrid();
    QCOMPARE(g->find(expr, 1, 5), found);
    QCOMPARE(g->setFilter(expr), found < 0 ? -1 : 1);
    if (found > 0) {
        QCOMPARE(g->filter(), 1);
        QCOMPARE(g->rowCount(), 1ll);
    }
}

QTEST_GUILESS_MAIN(TestGridExpr)
#include "test_grid_expr.moc"
