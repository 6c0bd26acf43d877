// Imports large enough to be parsed in several parts at once: rows, refusals
// and encodings must come out as from a single pass.
#include "core/grid/grid.h"
#include "core/text/gbtext.h"
#include "support/tempdir.h"

#include <QTest>

using namespace Qt::StringLiterals;
using zorv::ColType;
using zorv::Grid;

namespace {

constexpr int kLines = 1200000; // about 20 MB: more than one part

QList<zorv::Column> columns() {
    return {{u"md"_s, ColType::String, u"名单"_s}, {u"xh"_s, ColType::Number, u"序号"_s}};
}

// Line i (1-based): "n<i>\t<i>", with the given line replaced.
QByteArray lines(int badLine = 0, const QByteArray &bad = {}) {
    QByteArray out;
    out.reserve(kLines * 18);
    for (int i = 1; i <= kLines; ++i) {
        if (i == badLine) {
            out += bad;
        } else {
            const QByteArray n = QByteArray::number(i);
            out += 'n' + n + '\t' + n;
        }
        out += i % 2 ? "\r\n" : "\n";
    }
    return out;
}

} // namespace

class TestGridBulk : public QObject {
    Q_OBJECT
private slots:
    void everyRowInPlace();
    void refusalInAnyPart_data();
    void refusalInAnyPart();
    void encodingSeenInLaterPart();
    void hugeFieldAmongManyRows();
};

void TestGridBulk::everyRowInPlace() {
    Grid g(columns());
    g.insertRow(0);
    g.setItem(1, 1, u"first"_s);
    const zorv::ImportResult r = g.importText(QString::fromLatin1(lines()), 2);
    QCOMPARE(r.rows, qint64(kLines - 1));
    QCOMPARE(g.rowCount(), qint64(kLines));
    for (qint64 row = 2; row <= g.rowCount(); ++row) {
        if (g.getItemNumber(row, 2) != double(row))
            QFAIL(qPrintable(u"row %1 holds %2"_s.arg(row).arg(g.getItemString(row, 2))));
    }
    QCOMPARE(g.getItemString(kLines, 1), u"n%1"_s.arg(kLines));
    QCOMPARE(g.find(u"md = 'n654321'"_s, 1, kLines), 654321ll);
}

void TestGridBulk::refusalInAnyPart_data() {
    QTest::addColumn<int>("badLine");
    QTest::newRow("first part") << 17;
    QTest::newRow("last part") << kLines - 3;
    QTest::newRow("last line") << kLines;
}

void TestGridBulk::refusalInAnyPart() {
    QFETCH(int, badLine);
    Grid g(columns());
    g.insertRow(0);
    const zorv::ImportResult r = g.importText(QString::fromLatin1(lines(badLine, "x\ty")));
    QCOMPARE(r.rows, -1ll);
    QCOMPARE(r.errorLine, qint64(badLine));
    QCOMPARE(g.rowCount(), 1ll);
    // The grid takes the next import as if nothing had happened.
    QCOMPARE(g.importText(u"a\t1\n"_s).rows, 1ll);
    QCOMPARE(g.getItemString(2, 1), u"a"_s);
}

void TestGridBulk::encodingSeenInLaterPart() {
    // Only the last line is not ASCII: the file is GBK, found out late.
    zorv::test::TestHome home;
    const QString path = home.file(u"gbk.txt"_s);
    QVERIFY(zorv::test::writeFile(path, lines(kLines, zorv::text::toGb18030(u"末行\t9"_s))));
    Grid g(columns());
    QCOMPARE(g.importFile(path).rows, qint64(kLines));
    QCOMPARE(g.getItemString(kLines, 1), u"末行"_s);
    QCOMPARE(g.getItemString(kLines - 1, 1), u"n%1"_s.arg(kLines - 1));
}

void TestGridBulk::hugeFieldAmongManyRows() {
    const QByteArray huge(17 << 20, 'h');
    QByteArray text = lines(kLines - 1, huge + "\t5");
    Grid g(columns());
    QCOMPARE(g.importText(QString::fromLatin1(text)).rows, qint64(kLines));
    QCOMPARE(g.getItemString(kLines - 1, 1).size(), huge.size());
    QCOMPARE(g.getItemNumber(kLines - 1, 2), 5.0);
    QCOMPARE(g.getItemString(kLines, 1), u"n%1"_s.arg(kLines));
    QCOMPARE(g.getItemString(kLines - 2, 1), u"n%1"_s.arg(kLines - 2));
}

QTEST_GUILESS_MAIN(TestGridBulk)
#include "test_grid_bulk.moc"
