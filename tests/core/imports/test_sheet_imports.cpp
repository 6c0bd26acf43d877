#include "../sheet/sheet_fixture.h"
#include "core/imports/paste_import.h"
#include "core/imports/sheet_import.h"
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

const QString kUserClip = QStringLiteral("the user's own clipboard");

QString s(const char16_t *text) {
    return QString::fromUtf16(text);
}

QList<Column> sqlColumns() {
    return {{QStringLiteral("sqlu"), ColType::String, QStringLiteral("用途")},
            {QStringLiteral("sqlp"), ColType::String, QStringLiteral("语句")}};
}

} // namespace

// Paste and sheet-copy imports: each refusal leaves the grid as it was and
// shows exactly its message; sheets are read without the clipboard.
class TestSheetImports : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        const QJsonArray rows{
            QJsonArray{s(u"用途"), s(u"语句"), s(u"第三列")},
            QJsonArray{s(u"查询一"), QStringLiteral("select 1"), QJsonValue(QJsonValue::Null)},
            QJsonArray{QJsonValue(QJsonValue::Null), QStringLiteral("select\t2"), 3},
            QJsonArray{s(u"数字"), 12.5, s(u"丙")},
        };
        for (const QString &kind : {QStringLiteral("xls"), QStringLiteral("shared")})
            QCOMPARE(writeSheetFixture(
                         kind,
                         path(QStringLiteral("list.") + (kind == u"xls" ? u"xls"_qs : u"xlsx"_qs)),
                         zorv::test::oneSheet(rows)),
                     QString());
        QVERIFY(zorv::test::writeFile(path(QStringLiteral("notes.xls")), "just text\r\n"));
        QVERIFY(zorv::test::writeFile(path(QStringLiteral("names.txt")),
                                      QStringLiteral("张三\t1\n李四\n").toUtf8()));
    }
    void cleanup() { setSheetReaderAvailable(true); }

    // --- paste ---
    void pasteRefusalsLeaveGrid_data() {
        QTest::addColumn<QString>("clip");
        QTest::addColumn<bool>("replace");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty clipboard")
            << QString() << false << s(u"提示 / 剪贴板中没有内容或不能粘贴");
        QTest::newRow("empty clipboard, replace")
            << QString() << true << s(u"提示 / 剪贴板中没有内容或不能粘贴");
        QTest::newRow("text in number column")
            << QStringLiteral("1\ta\nx\tb\n") << false << s(u"提示 / 第2行");
        QTest::newRow("text in number column, replace")
            << QStringLiteral("1\ta\nx\tb\n") << true << s(u"提示 / 第2行");
    }
    void pasteRefusalsLeaveGrid() {
        QFETCH(QString, clip);
        QFETCH(bool, replace);
        QFETCH(QString, message);
        ScriptedPlatform sp;
        sp.clipboard = clip;
        Grid grid(zorv::test::fileListColumns());
        zorv::test::addTwoRows(grid);
        const auto before = snapshot(grid);
        QCOMPARE(pasteImport(grid, replace).outcome, Outcome::Refused);
        QCOMPARE(snapshot(grid), before);
        QCOMPARE(sp.messages.size(), 1);
        QVERIFY2(sp.messageLines().first().startsWith(message),
                 qPrintable(sp.messageLines().first()));
    }

    void pasteAppendsOrReplaces() {
        ScriptedPlatform sp;
        sp.clipboard = QStringLiteral("7\t/a/\tx.txt\r\n8\t/b/\ty.txt\r\n");
        Grid grid(zorv::test::fileListColumns());
        zorv::test::addTwoRows(grid);
        QCOMPARE(pasteImport(grid, false).rows, 2);
        QCOMPARE(grid.rowCount(), 4);
        QCOMPARE(grid.getItemString(3, QStringLiteral("filey")), QStringLiteral("x.txt"));
        const ImportReport replaced = pasteImport(grid, true);
        QVERIFY(replaced.imported());
        QCOMPARE(grid.rowCount(), 2);
        QCOMPARE(grid.getItemNumber(1, QStringLiteral("xh")), 7.0);
        QVERIFY(sp.messages.isEmpty());
    }

    // --- sheet copy, connect-first ---
    void connectFirstRefusals_data() {
        QTest::addColumn<int>("setup"); // 0 reader missing, 1 cancel, 2 empty path, 3 file
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("messages"); // a message may be a prefix
        QTest::addColumn<bool>("readingShown");
        QTest::newRow("reader unavailable")
            << 0 << QString()
            << QStringList{s(u"信息提示 / 连接EXCEL失败，请检查计算机中是否安装了EXCEL!")} << false;
        QTest::newRow("dialog cancelled")
            << 1 << QString() << QStringList{s(u"信息提示 / 没有指定导入文件!")} << false;
        QTest::newRow("empty path") << 2 << QString() << QStringList{} << false;
        QTest::newRow("text file named .xls")
            << 3 << QStringLiteral("notes.xls") << QStringList{s(u"信息提示 / 文件“")} << true;
        QTest::newRow("missing file") << 3 << QStringLiteral("gone.xlsx")
                                      << QStringList{s(u"信息提示 / 找不到文件“")} << true;
        QTest::newRow("text into number column")
            << 3 << QStringLiteral("list.xlsx")
            << QStringList{s(u"信息提示 / "), s(u"信息提示 / 第1行第1列（序号）")} << true;
    }
    void connectFirstRefusals() {
        QFETCH(int, setup);
        QFETCH(QString, file);
        QFETCH(QStringList, messages);
        QFETCH(bool, readingShown);
        ScriptedPlatform sp;
        sp.clipboard = kUserClip;
        setSheetReaderAvailable(setup != 0);
        if (setup == 1)
            sp.nextFileCancel();
        else if (setup == 2)
            sp.nextFile(QString());
        else if (setup == 3)
            sp.nextFile(path(file));
        Grid grid(zorv::test::fileListColumns());
        zorv::test::addTwoRows(grid);
        const auto before = snapshot(grid);
        QList<bool> reading;
        ConnectFirstOptions options;
        options.noticeBeforeRows = true;
        options.reading = [&](bool on) { reading << on; };

        QCOMPARE(importSheetConnectFirst(grid, options).outcome, Outcome::Refused);
        QCOMPARE(snapshot(grid), before);
        QCOMPARE(sp.messages.size(), messages.size());
        for (int i = 0; i < messages.size(); ++i)
            QVERIFY2(sp.messageLines()[i].startsWith(messages[i]),
                     qPrintable(sp.messageLines()[i]));
        if (setup == 3 && file != u"list.xlsx")
            QVERIFY(sp.messages.first().text.contains(path(file)));
        QCOMPARE(reading, readingShown ? (QList<bool>{true, false}) : QList<bool>{});
        QCOMPARE(sp.clipboard, kUserClip);
        if (setup >= 1)
            QCOMPARE(sp.dialogFilters, QStringList{s(u"Excel文件(*.xls),*.xls")});
    }

    void connectFirstImportsWholeSheet_data() {
        QTest::addColumn<QString>("file");
        QTest::newRow("xls") << QStringLiteral("list.xls");
        QTest::newRow("xlsx") << QStringLiteral("list.xlsx");
    }
    void connectFirstImportsWholeSheet() {
        QFETCH(QString, file);
        ScriptedPlatform sp;
        sp.clipboard = kUserClip;
        sp.nextFile(path(file));
        Grid grid(sqlColumns());
        ConnectFirstOptions options;
        options.noticeBeforeRows = true;
        const ImportReport r = importSheetConnectFirst(grid, options);
        QVERIFY(r.imported());
        // Row 1 is data like any other; the third column has no grid column.
        QCOMPARE(r.rows, 4);
        QCOMPARE(snapshot(grid), (QList<QStringList>{{s(u"用途"), s(u"语句")},
                                                     {s(u"查询一"), QStringLiteral("select 1")},
                                                     {QString(), QStringLiteral("select\t2")},
                                                     {s(u"数字"), QStringLiteral("12.5")},
                                                     {QStringLiteral("filtered out: 0")}}));
        QCOMPARE(sp.messageLines(), QStringList{s(u"信息提示 / ")});
        QCOMPARE(sp.dialogTitles, QStringList{s(u"选择文件")});
        QCOMPARE(sp.clipboard, kUserClip);
    }

    // --- sheet copy, file-first ---
    void fileFirstRefusals_data() {
        QTest::addColumn<int>("setup"); // 0 reader missing, 1 cancel, 2 empty path, 3 file
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message");
        QTest::newRow("dialog cancelled") << 1 << QString() << s(u"提示 / 文件选择失败!");
        QTest::newRow("empty path") << 2 << QString() << s(u"提示 / 文件名不能为空!");
        QTest::newRow("reader unavailable")
            << 0 << QStringLiteral("list.xls")
            << s(u"信息提示 / 连接EXCEL失败，请检查计算机中是否安装了EXCEL!");
        QTest::newRow("not a spreadsheet")
            << 3 << QStringLiteral("notes.xls") << s(u"提示 / 文件“");
        QTest::newRow("text into number column")
            << 3 << QStringLiteral("list.xlsx") << s(u"提示 / 第2行第1列（序号）");
    }
    void fileFirstRefusals() {
        QFETCH(int, setup);
        QFETCH(QString, file);
        QFETCH(QString, message);
        ScriptedPlatform sp;
        sp.clipboard = kUserClip;
        setSheetReaderAvailable(setup != 0);
        if (setup == 1)
            sp.nextFileCancel();
        else if (setup == 2)
            sp.nextFile(QString());
        else
            sp.nextFile(path(file));
        Grid grid(zorv::test::fileListColumns());
        zorv::test::addTwoRows(grid);
        const auto before = snapshot(grid);
        bool followedUp = false;
        FileFirstOptions options;
        options.firstRow = 2;
        options.followUp = [&](Grid &) { followedUp = true; };
        QCOMPARE(importSheetFileFirst(grid, options).outcome, Outcome::Refused);
        QCOMPARE(snapshot(grid), before);
        QCOMPARE(sp.messages.size(), 1);
        QVERIFY2(sp.messageLines().first().startsWith(message),
                 qPrintable(sp.messageLines().first()));
        QVERIFY(!followedUp);
        QCOMPARE(sp.clipboard, kUserClip);
    }

    void fileFirstAllColumns() {
        ScriptedPlatform sp;
        sp.clipboard = kUserClip;
        sp.nextFile(path(QStringLiteral("list.xls")));
        Grid grid(sqlColumns());
        const ImportReport r = importSheetFileFirst(grid);
        QCOMPARE(r.rows, 4);
        QCOMPARE(grid.getItemString(1, 1), s(u"用途"));
        QCOMPARE(sp.messageLines(), QStringList{s(u"信息提示 / 导入完成!")});
        QCOMPARE(sp.dialogTitles, QStringList{s(u"选择文件")});
        QCOMPARE(sp.clipboard, kUserClip);
    }

    void comparisonListOneColumnFromRow_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("firstRow");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("column 3 from row 2")
            << QStringLiteral("list.xlsx") << 3 << 2
            << QStringList{QString(), QStringLiteral("3"), s(u"丙")};
        QTest::newRow("column 1 from row 2 of .xls")
            << QStringLiteral("list.xls") << 1 << 2
            << QStringList{s(u"查询一"), QString(), s(u"数字")};
        QTest::newRow("text file, whole")
            << QStringLiteral("names.txt") << 3 << 2 << QStringList{s(u"张三"), s(u"李四")};
        QTest::newRow("below the last row")
            << QStringLiteral("list.xls") << 1 << 9 << QStringList{};
    }
    void comparisonListOneColumnFromRow() {
        QFETCH(QString, file);
        QFETCH(int, column);
        QFETCH(int, firstRow);
        QFETCH(QStringList, names);
        ScriptedPlatform sp;
        sp.clipboard = kUserClip;
        sp.nextFile(path(file));
        Grid grid(zorv::test::nameListColumns());
        FileFirstOptions options = comparisonListOptions(column, firstRow);
        options.followUp = [](Grid &g) {
            for (qint64 r = 1; r <= g.rowCount(); ++r) {
                g.setItem(r, QStringLiteral("xh"), QVariant(r));
                g.setItem(r, QStringLiteral("jg"), QVariant(s(u"不同")));
            }
        };
        const ImportReport r = importSheetFileFirst(grid, options);
        QVERIFY(r.imported());
        QCOMPARE(r.rows, names.size());
        QStringList got;
        for (qint64 i = 1; i <= grid.rowCount(); ++i)
            got << grid.getItemString(i, QStringLiteral("md"));
        QCOMPARE(got, names);
        if (!names.isEmpty())
            QCOMPARE(grid.getItemString(grid.rowCount(), QStringLiteral("jg")), s(u"不同"));
        QCOMPARE(sp.messageLines(), QStringList{s(u"信息提示 / 导入完成!")});
        QCOMPARE(sp.dialogTitles, QStringList{s(u"打开文件")});
        QCOMPARE(sp.dialogFilters,
                 QStringList{s(u"Excel文件(*.xls),*.xls,文本文件 (*.TXT),*.TXT,")});
        QCOMPARE(sp.clipboard, kUserClip);
    }

    void escStopsSheetImport() {
        ScriptedPlatform sp;
        sp.escAfterPolls = 0;
        sp.nextFile(path(QStringLiteral("list.xlsx")));
        Grid grid(sqlColumns());
        zorv::test::EscSink sink;
        QCOMPARE(importSheetConnectFirst(grid, {}, &sink).outcome, Outcome::Stopped);
        QCOMPARE(grid.rowCount(), 0);
        QVERIFY(sp.messages.isEmpty());
        QCOMPARE(sp.statusText(), s(u"导入已中止，没有导入任何行。"));
    }
};

QTEST_GUILESS_MAIN(TestSheetImports)
#include "test_sheet_imports.moc"
