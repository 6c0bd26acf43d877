// Paste import after the grid's own copy: the header line the copy writes is
// not taken as a row; any other first line is.
#include "core/grid/grid.h"
#include "core/imports/paste_import.h"
#include "import_helpers.h"
#include "support/scripted_platform.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace zorv;
using namespace zorv::imports;

class TestPasteHeader : public QObject {
    Q_OBJECT
private slots:
    void firstLine_data() {
        QTest::addColumn<QString>("clip");
        QTest::addColumn<qint64>("first");
        const QString titles =
            u"序号\t源文件路径\t源文件名\t目标文件名\t目标文件路径\t结果\t源文件夹子目录"_s;
        QTest::newRow("titles, CR LF") << titles + u"\r\n1\t/a/\tx\r\n"_s << qint64(2);
        QTest::newRow("titles, LF") << titles + u"\n1\t/a/\tx\n"_s << qint64(2);
        QTest::newRow("titles only") << titles << qint64(2);
        QTest::newRow("column names")
            << u"xh\typath\tfiley\tfilen\tnpath\tjg\tzml\n1\n"_s << qint64(2);
        QTest::newRow("a data row") << u"1\t/a/\tx\n"_s << qint64(1);
        QTest::newRow("titles cut short") << u"序号\t源文件路径\n1\n"_s << qint64(1);
        QTest::newRow("titles with an extra field") << titles + u"\t备注\n"_s << qint64(1);
        QTest::newRow("titles on line 2") << u"1\t/a/\tx\n"_s + titles << qint64(1);
    }
    void firstLine() {
        QFETCH(QString, clip);
        QFETCH(qint64, first);
        const Grid grid(zorv::test::fileListColumns());
        QCOMPARE(firstDataLine(grid, clip), first);
    }

    void copyPastesBackAsTheSameRows() {
        test::ScriptedPlatform sp;
        Grid grid(zorv::test::fileListColumns());
        zorv::test::addTwoRows(grid);
        grid.setItem(2, 6, u"成功"_s);
        sp.clipboard = grid.toTsv(true);
        const ImportReport replaced = pasteImport(grid, true);
        QVERIFY(replaced.imported());
        QCOMPARE(grid.rowCount(), 2);
        QCOMPARE(grid.getItemString(1, 2), u"旧1"_s);
        QCOMPARE(grid.getItemString(2, 6), u"成功"_s);
        QCOMPARE(pasteImport(grid, false).rows, 2);
        QCOMPARE(grid.rowCount(), 4);
        QCOMPARE(grid.getItemNumber(3, u"xh"_s), 10.0);
        QVERIFY(sp.messages.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestPasteHeader)
#include "test_paste_header.moc"
