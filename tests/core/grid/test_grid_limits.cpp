// The text import at its limits: a file that changes while it is read,
// more rows than a grid holds, and memory running out half-way. Each leaves
// the grid whole and either imports what the file held or nothing at all.
#include "core/grid/grid.h"
#include "core/grid/grid_tsv.h"
#include "core/platform/progress.h"
#include "support/failing_malloc.h"
#include "support/tempdir.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using zorv::ColType;
using zorv::Grid;
using zorv::test::FailLargeAllocations;

namespace {

QList<zorv::Column> twoColumns() {
    return {{u"md"_s, ColType::String, {}}, {u"xh"_s, ColType::Number, {}}};
}

QByteArray numberedLines(int n) {
    QByteArray text;
    for (int i = 1; i <= n; ++i)
        text += "n" + QByteArray::number(i) + '\t' + QByteArray::number(i) + '\n';
    return text;
}

enum class Change { Truncate, MoreLines, Grow };

// Changes the file the first time progress is reported, while the import
// is half-way through its lines.
class ChangingSink : public zorv::ProgressSink {
public:
    ChangingSink(QString path, Change change) : m_path(std::move(path)), m_change(change) {}
    void progress(qint64 done, qint64 total, const QString &) override {
        if (m_done || done >= total)
            return;
        m_done = true;
        QFile f(m_path);
        switch (m_change) {
        case Change::Truncate:
            QVERIFY(f.resize(0));
            break;
        case Change::MoreLines: // same size, every byte a line break
            QVERIFY(f.open(QIODevice::ReadWrite));
            f.write(QByteArray(f.size(), '\n'));
            break;
        case Change::Grow:
            QVERIFY(f.open(QIODevice::Append));
            f.write(numberedLines(1000));
            break;
        }
    }
    bool changed() const { return m_done; }

private:
    QString m_path;
    Change m_change;
    bool m_done = false;
};

} // namespace

Q_DECLARE_METATYPE(Change)

class TestGridLimits : public QObject {
    Q_OBJECT
private slots:
    void fileChangedWhileImporting_data() {
        QTest::addColumn<Change>("change");
        QTest::newRow("truncated") << Change::Truncate;
        QTest::newRow("rewritten with more lines") << Change::MoreLines;
        QTest::newRow("grown") << Change::Grow;
    }
    // The rows are those the file held when the import read it.
    void fileChangedWhileImporting() {
        QFETCH(Change, change);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"list.txt"_s);
        constexpr int kLines = 200'000; // progress comes every 65,536 lines
        QVERIFY(zorv::test::writeFile(path, numberedLines(kLines)));
        Grid g(twoColumns());
        ChangingSink sink(path, change);
        const zorv::ImportResult r = g.importFile(path, 1, &sink);
        QVERIFY(sink.changed());
        QCOMPARE(r.rows, qint64(kLines));
        QCOMPARE(g.rowCount(), qint64(kLines));
        for (qint64 row : {1ll, 65'537ll, qint64(kLines)}) {
            QCOMPARE(g.getItemString(row, 1), u"n"_s + QString::number(row));
            QCOMPARE(g.getItemNumber(row, 2), double(row));
        }
    }

    void tooManyRows_data() {
        QTest::addColumn<int>("before"); // rows already stored
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("maxRows");
        QTest::addColumn<bool>("refused");
        QTest::newRow("fits exactly") << 2 << numberedLines(8) << 10 << false;
        QTest::newRow("one too many") << 3 << numberedLines(8) << 10 << true;
        QTest::newRow("more lines than the limit") << 0 << numberedLines(11) << 10 << true;
        QTest::newRow("quoted fields, one too many")
            << 3 << QByteArray("\"a\tb\"\t1\n").repeated(8) << 10 << true;
        QTest::newRow("quoted fields fit")
            << 2 << QByteArray("\"a\tb\"\t1\n").repeated(8) << 10 << false;
    }
    void tooManyRows() {
        QFETCH(int, before);
        QFETCH(QByteArray, text);
        QFETCH(int, maxRows);
        QFETCH(bool, refused);
        zorv::gridimpl::Storage store;
        store.init(twoColumns());
        for (int i = 0; i < before; ++i)
            store.appendRow();
        const auto mark = store.mark();
        const auto r = zorv::gridimpl::appendTsv(store, text.constData(), std::size_t(text.size()),
                                                 1, {}, zorv::gridimpl::RowId(maxRows));
        QCOMPARE(r.tooManyRows, refused);
        QCOMPARE(store.rows(), zorv::gridimpl::RowId(refused ? before : before + 8));
        if (refused)
            QCOMPARE(store.mark().arena, mark.arena);
    }

    void outOfMemory_data() {
        QTest::addColumn<bool>("fromFile");
        QTest::addColumn<QByteArray>("line");
        // Short lines: the row arrays outgrow the text by far.
        QTest::newRow("text") << false << QByteArray("x\t1\n");
        QTest::newRow("file") << true << QByteArray("x\t1\n");
        QTest::newRow("text with quoted fields") << false << QByteArray("\"a\"\t1\n");
        QTest::newRow("file with quoted fields") << true << QByteArray("\"a\"\t1\n");
    }
    // Memory running out half-way gives a message; the rows stay as they were
    // and the grid takes the same text once memory is there again.
    void outOfMemory() {
        QFETCH(bool, fromFile);
        QFETCH(QByteArray, line);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"big.txt"_s);
        const QByteArray bytes = line.repeated(600'000);
        QVERIFY(zorv::test::writeFile(path, bytes));
        const QString text = QString::fromUtf8(bytes);
        Grid g(twoColumns());
        QCOMPARE(g.importText(u"keep\t7\nkeep too\t8\n"_s).rows, 2ll);
        const QString before = g.toTsv(true);
        auto import = [&] { return fromFile ? g.importFile(path) : g.importText(text); };
        zorv::ImportResult r;
        {
            const FailLargeAllocations failing(4 << 20);
            r = import();
        }
        QCOMPARE(r.rows, -4ll);
        QVERIFY2(r.error.contains(u"内存不足"_s), qPrintable(r.error));
        QCOMPARE(g.rowCount(), 2ll);
        QCOMPARE(g.toTsv(true), before);
        QCOMPARE(import().rows, 600'000ll);
        QCOMPARE(g.rowCount(), 600'002ll);
        QCOMPARE(g.getItemString(600'002, 2), u"1"_s);
    }
};

QTEST_GUILESS_MAIN(TestGridLimits)
#include "test_grid_limits.moc"
