// Imports that run out of memory half-way: a message under "提示", nothing
// imported, and the grid exactly as it was, in append and replace modes.
#include "core/imports/grid_fill.h"
#include "core/imports/list_import.h"
#include "core/imports/paste_import.h"
#include "import_helpers.h"
#include "support/failing_malloc.h"
#include "support/scripted_platform.h"
#include "support/tempdir.h"

#include <QTemporaryDir>
#include <QTest>

using namespace zorv;
using namespace zorv::imports;
using zorv::test::FailLargeAllocations;
using zorv::test::ScriptedPlatform;

namespace {

constexpr int kLines = 600'000;
constexpr std::size_t kFailAbove = 4 << 20; // the row arrays of kLines rows need more

QString manyLines() {
    return QStringLiteral("x\t1\tj\n").repeated(kLines);
}

QString memoryMessage() {
    return QStringLiteral("提示 / 内存不足，导入已取消，没有导入任何行。");
}

} // namespace

class TestImportMemory : public QObject {
    Q_OBJECT
private slots:
    void paste_data() {
        QTest::addColumn<bool>("replace");
        QTest::newRow("append") << false;
        QTest::newRow("replace") << true;
    }
    void paste() {
        QFETCH(bool, replace);
        ScriptedPlatform sp;
        sp.clipboard = manyLines();
        Grid grid(test::nameListColumns());
        test::addTwoRows(grid);
        const auto before = test::snapshot(grid);
        ImportReport r;
        {
            const FailLargeAllocations failing(kFailAbove);
            r = pasteImport(grid, replace);
        }
        QCOMPARE(r.outcome, Outcome::Refused);
        QCOMPARE(sp.messageLines(), QStringList{memoryMessage()});
        QCOMPARE(test::snapshot(grid), before);
        // With memory back the same paste goes through.
        QCOMPARE(pasteImport(grid, replace).rows, qint64(kLines));
        QCOMPARE(grid.rowCount(), qint64(kLines + (replace ? 0 : 2)));
        QCOMPARE(grid.getItemString(1, 1), replace ? QStringLiteral("x") : QStringLiteral("10"));
    }

    void nameList() {
        ScriptedPlatform sp;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("names.txt"));
        QVERIFY(test::writeFile(path, manyLines().toUtf8()));
        qint64 taken = 0;
        ImportReport r;
        {
            const FailLargeAllocations failing(kFailAbove);
            r = readNameList(path, [&](qint64, const QString &) { return ++taken > 0; });
        }
        QCOMPARE(r.outcome, Outcome::Refused);
        QCOMPARE(taken, 0ll);
        QCOMPARE(sp.messageLines(), QStringList{memoryMessage()});
    }

    void fill_data() {
        QTest::addColumn<bool>("replace");
        QTest::newRow("append") << false;
        QTest::newRow("replace") << true;
    }
    // Sheet imports put their rows in through fillGrid: it gives up with the
    // grid as it was, for the import routine to report.
    void fill() {
        QFETCH(bool, replace);
        QList<QStringList> rows;
        for (int i = 0; i < 200'000; ++i)
            rows.append(QStringList{QString::number(i), QStringLiteral("名%1").arg(i),
                                    QStringLiteral("j")});
        Grid grid(test::nameListColumns());
        test::addTwoRows(grid);
        const auto before = test::snapshot(grid);
        FillPlan plan;
        plan.targets = {2, 1, 3};
        plan.replace = replace;
        bool threw = false;
        try {
            const FailLargeAllocations failing(1 << 20);
            fillGrid(grid, rows, plan);
        } catch (const std::bad_alloc &) {
            threw = true;
        }
        QVERIFY(threw);
        QCOMPARE(test::snapshot(grid), before);
        QVERIFY(grid.redraw());
        const FillResult filled = fillGrid(grid, rows, plan);
        QCOMPARE(filled.rows, 200'000ll);
        QCOMPARE(grid.rowCount(), replace ? 200'000ll : 200'002ll);
    }
};

QTEST_GUILESS_MAIN(TestImportMemory)
#include "test_import_memory.moc"
