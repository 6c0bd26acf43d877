#include "../sheet/sheet_fixture.h"
#include "core/imports/cell_import.h"
#include "import_helpers.h"
#include "support/scripted_platform.h"
#include "support/tempdir.h"

#include <QTemporaryDir>
#include <QTest>

using namespace zorv;
using namespace zorv::imports;
using zorv::test::ScriptedPlatform;
using zorv::test::snapshot;
using zorv::test::writeSheetFixture;

namespace {

QString s(const char16_t *text) {
    return QString::fromUtf16(text);
}
QJsonValue null() {
    return QJsonValue(QJsonValue::Null);
}

QStringList column(const Grid &grid, const QString &name) {
    QStringList out;
    for (qint64 r = 1; r <= grid.rowCount(); ++r)
        out << grid.getItemString(r, name);
    return out;
}

} // namespace

// The file window's cell-by-cell imports: stop cells, append numbering, the
// closing count, the busy flag, refusals and Esc.
class TestCellImports : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }
    void write(const QString &name, const QJsonArray &rows) {
        const QString kind =
            name.endsWith(u".xls") ? QStringLiteral("xls") : QStringLiteral("shared");
        QCOMPARE(writeSheetFixture(kind, path(name), zorv::test::oneSheet(rows)), QString());
    }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        // A saved list: row 3 has column 1 filled but column 2 empty, so row 4
        // is never read.
        write(QStringLiteral("saved.xlsx"),
              QJsonArray{QJsonArray{3.7, QStringLiteral("/a/"), QStringLiteral("x.txt"),
                                    QStringLiteral("y.txt"), null(), s(u"成功"),
                                    QStringLiteral("b/")},
                         QJsonArray{QStringLiteral(" 12 "), QStringLiteral("/c/"), s(u"文件.doc")},
                         QJsonArray{5, null(), QStringLiteral("never")},
                         QJsonArray{6, QStringLiteral("/d/"), QStringLiteral("never")}});
        write(QStringLiteral("badnumber.xls"),
              QJsonArray{
                  QJsonArray{1, QStringLiteral("/a/"), QStringLiteral("x")},
                  QJsonArray{QStringLiteral("abc"), QStringLiteral("/b/"), QStringLiteral("y")}});
        write(QStringLiteral("paths.xls"),
              QJsonArray{QJsonArray{QStringLiteral("  /home/u/a.txt ")},
                         QJsonArray{QStringLiteral("C:\\data\\b.doc")},
                         QJsonArray{s(u"无路径.txt")}, QJsonArray{null()},
                         QJsonArray{QStringLiteral("/never/read")}});
        write(QStringLiteral("emptyfirst.xlsx"),
              QJsonArray{QJsonArray{1, null(), QStringLiteral("x")},
                         QJsonArray{2, QStringLiteral("/b/"), QStringLiteral("y")}});
    }
    void cleanup() { setSheetReaderAvailable(true); }

    void savedListStopsAtEmptyColumn2() {
        ScriptedPlatform sp;
        sp.nextFile(path(QStringLiteral("saved.xlsx")));
        Grid grid(zorv::test::fileListColumns());
        zorv::test::addTwoRows(grid);
        QList<bool> busy;
        CellImportOptions options;
        options.busy = [&](bool on) { busy << on; };
        zorv::test::EscSink sink;
        const ImportReport r = importCellsByColumn(grid, savedFileListSpec(), options, &sink);
        QVERIFY(r.imported());
        QCOMPARE(r.rows, 2);
        // Replace mode: the two old rows are gone.
        QCOMPARE(snapshot(grid),
                 (QList<QStringList>{{QStringLiteral("3"), QStringLiteral("/a/"),
                                      QStringLiteral("x.txt"), QStringLiteral("y.txt"), QString(),
                                      s(u"成功"), QStringLiteral("b/")},
                                     {QStringLiteral("12"), QStringLiteral("/c/"), s(u"文件.doc"),
                                      QString(), QString(), QString(), QString()},
                                     {QStringLiteral("filtered out: 0")}}));
        QCOMPARE(sp.messageLines(), QStringList{s(u"信息提示 / 共导入行数：2")});
        QCOMPARE(busy, (QList<bool>{false, true}));
        QVERIFY(sink.statuses.contains(s(u"正在导入...2")));
        QVERIFY(sp.statusHistory.contains(s(u"正在读取文件“saved.xlsx”...")));
        QCOMPARE(sp.statusText(), QString()); // cleared at the end
        QCOMPARE(sp.dialogTitles, QStringList{s(u"选择文件")});
        QCOMPARE(sp.dialogFilters, QStringList{s(u"Excel文件(*.xls),*.xls")});
    }

    void appendNumbersAcrossTwoImports() {
        ScriptedPlatform sp;
        Grid grid(zorv::test::fileListColumns());
        CellImportOptions options;
        sp.nextFile(path(QStringLiteral("paths.xls")));
        QCOMPARE(importPathsByCell(grid, {}, options).rows, 3);
        options.append = true;
        sp.nextFile(path(QStringLiteral("paths.xls")));
        QCOMPARE(importPathsByCell(grid, {}, options).rows, 3);
        QCOMPARE(column(grid, QStringLiteral("xh")),
                 (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                              QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("6")}));
        QCOMPARE(
            column(grid, QStringLiteral("ypath")).mid(0, 3),
            (QStringList{QStringLiteral("/home/u/"), QStringLiteral("C:\\data\\"), QString()}));
        QCOMPARE(column(grid, QStringLiteral("filey")).mid(3),
                 (QStringList{QStringLiteral("a.txt"), QStringLiteral("b.doc"), s(u"无路径.txt")}));
        QCOMPARE(sp.messageLines(),
                 (QStringList{s(u"信息提示 / 共导入行数：3"), s(u"信息提示 / 共导入行数：3")}));
    }

    void emptyFirstStopCellImportsNothing() {
        ScriptedPlatform sp;
        sp.nextFile(path(QStringLiteral("emptyfirst.xlsx")));
        Grid grid(zorv::test::fileListColumns());
        zorv::test::addTwoRows(grid);
        const auto before = snapshot(grid);
        CellImportOptions options;
        options.append = true;
        const ImportReport r = importCellsByColumn(grid, savedFileListSpec(), options);
        QVERIFY(r.imported());
        QCOMPARE(r.rows, 0);
        QCOMPARE(snapshot(grid), before);
        QCOMPARE(sp.messageLines(), QStringList{s(u"信息提示 / 共导入行数：0")});
    }

    void refusalsLeaveGrid_data() {
        QTest::addColumn<int>("setup"); // 0 reader missing, 1 cancel, 2 empty path, 3 file, 4 Esc
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message"); // prefix; empty for none
        QTest::addColumn<bool>("busyTouched");
        QTest::newRow("reader unavailable")
            << 0 << QString() << s(u"信息提示 / 连接EXCEL失败，请检查计算机中是否安装了EXCEL!")
            << false;
        QTest::newRow("dialog cancelled")
            << 1 << QString() << s(u"信息提示 / 没有指定导入文件!") << false;
        QTest::newRow("empty path") << 2 << QString() << QString() << false;
        QTest::newRow("damaged file")
            << 3 << QStringLiteral("missing.xls") << s(u"信息提示 / 找不到文件“") << true;
        QTest::newRow("text in the number column")
            << 3 << QStringLiteral("badnumber.xls")
            << s(u"信息提示 / 第2行第1列（序号）的内容“abc”不是有效的数字") << true;
        QTest::newRow("Esc") << 4 << QStringLiteral("saved.xlsx") << QString() << true;
    }
    void refusalsLeaveGrid() {
        QFETCH(int, setup);
        QFETCH(QString, file);
        QFETCH(QString, message);
        QFETCH(bool, busyTouched);
        setSheetReaderAvailable(setup != 0);
        for (bool append : {false, true}) {
            ScriptedPlatform sp;
            if (setup == 1)
                sp.nextFileCancel();
            else if (setup == 2)
                sp.nextFile(QString());
            else if (setup >= 3)
                sp.nextFile(path(file));
            if (setup == 4)
                sp.escAfterPolls = 0;
            Grid grid(zorv::test::fileListColumns());
            zorv::test::addTwoRows(grid);
            const auto before = snapshot(grid);
            QList<bool> busy;
            CellImportOptions options;
            options.append = append;
            options.busy = [&](bool on) { busy << on; };
            zorv::test::EscSink sink;
            const ImportReport r = importCellsByColumn(grid, savedFileListSpec(), options, &sink);
            QCOMPARE(r.outcome, setup == 4 ? Outcome::Stopped : Outcome::Refused);
            QCOMPARE(snapshot(grid), before);
            QCOMPARE(sp.messages.size(), message.isEmpty() ? 0 : 1);
            if (!message.isEmpty())
                QVERIFY2(sp.messageLines().first().startsWith(message),
                         qPrintable(sp.messageLines().first()));
            QCOMPARE(busy, busyTouched ? (QList<bool>{false, true}) : QList<bool>{});
        }
    }

    void splitsFullPaths_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("name");
        QTest::newRow("slash") << QStringLiteral("/a/b/c.txt") << QStringLiteral("/a/b/")
                               << QStringLiteral("c.txt");
        QTest::newRow("backslash") << QStringLiteral("C:\\a\\c.txt") << QStringLiteral("C:\\a\\")
                                   << QStringLiteral("c.txt");
        QTest::newRow("mixed, last wins")
            << QStringLiteral("C:\\a/b\\c") << QStringLiteral("C:\\a/b\\") << QStringLiteral("c");
        QTest::newRow("no separator")
            << QStringLiteral("c.txt") << QString() << QStringLiteral("c.txt");
        QTest::newRow("folder only") << QStringLiteral("/a/") << QStringLiteral("/a/") << QString();
    }
    void splitsFullPaths() {
        QFETCH(QString, path);
        QFETCH(QString, folder);
        QFETCH(QString, name);
        QString f, n;
        splitFullPath(path, &f, &n);
        QCOMPARE(f, folder);
        QCOMPARE(n, name);
    }
};

QTEST_GUILESS_MAIN(TestCellImports)
#include "test_cell_imports.moc"
