#include "core/files/new_names.h"
#include "frn_test_util.h"
#include "support/scripted_platform.h"
#include "support/tempdir.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace zorv;
using namespace zorv::files;
using zorv::files::test::addRow;
using zorv::files::test::column;
using zorv::files::test::EscSink;

class TestNewNames : public QObject {
    Q_OBJECT
private slots:
    // A text list fills the existing rows: text before the tab, trimmed; the
    // rows past the last line get an empty name.
    void textImport() {
        zorv::test::ScriptedPlatform platform;
        auto g = makeFrn1Grid();
        for (int i = 0; i < 3; ++i)
            addRow(*g, {u"/p/"_s, u"f"_s, u"old"_s});
        platform.nextFile(u"/names.txt"_s);
        EscSink sink;
        const auto open = [](const QString &) {
            return TextLines::fromText(u"  新1.txt \tcomment\r\n新2.txt\r\n"_s);
        };
        QVERIFY(importNewNames(*g, 1, QString(), open, sink));
        QCOMPARE(column(*g, u"filen"_s), (QStringList{u"新1.txt"_s, u"新2.txt"_s, QString()}));
        QCOMPARE(platform.dialogTitles, QStringList{u"打开文件"_s});
        QVERIFY(platform.messages.isEmpty());
    }

    // A spreadsheet joins the trimmed cells 1..columns of each row; on an
    // empty grid the row total typed into sle_1 makes the rows.
    void sheetImport() {
        zorv::test::ScriptedPlatform platform;
        auto g = makeFrn1Grid();
        SheetCells sheet([](qint64 row, int col) {
            return col == 3 ? u"never"_s : QStringLiteral(" r%1c%2 ").arg(row).arg(col);
        });
        const qint64 rows = newNameRowTotal(*g, u" 3 "_s);
        QCOMPARE(rows, 3);
        EscSink sink;
        QCOMPARE(applyNewNames(*g, sheet, rows, 2, sink), 3);
        QCOMPARE(column(*g, u"filen"_s),
                 (QStringList{u"r1c1r1c2"_s, u"r2c1r2c2"_s, u"r3c1r3c2"_s}));
        // A text list never inserts rows.
        auto empty = makeFrn1Grid();
        TextLines lines({u"a"_s, u"b"_s});
        QCOMPARE(applyNewNames(*empty, lines, 2, 1, sink), 0);
        QCOMPARE(empty->rowCount(), 0);
    }

    void refusals() {
        zorv::test::ScriptedPlatform platform;
        auto g = makeFrn1Grid();
        EscSink sink;
        const auto open = [](const QString &) { return TextLines::fromText(u"x"_s); };
        QVERIFY(!importNewNames(*g, 1, u"abc"_s, open, sink));
        addRow(*g, {u"/p/"_s, u"f"_s, u"old"_s});
        platform.nextFileCancel();
        QVERIFY(!importNewNames(*g, 1, QString(), open, sink));
        QCOMPARE(platform.messageLines(),
                 (QStringList{u"提示 / 还没有源文件。如想用于合并Excel文件的列，请在“源文件名包含”"
                              u"后输入总行数"_s,
                              u"信息提示 / 没有指定导入文件!"_s}));
        QCOMPARE(g->getItemString(1, u"filen"_s), u"old"_s);
    }

    // The export writes the source names as UTF-8 lines that import back.
    void exportRoundTrip() {
        zorv::test::ScriptedPlatform platform;
        QTemporaryDir dir;
        auto g = makeFrn1Grid();
        const QStringList names{u"照片 1.jpg"_s, u"a\U00020000.txt"_s, u"plain"_s};
        for (const QString &n : names)
            addRow(*g, {u"/p/"_s, n});
        const QString path = dir.filePath(u"out.TXT"_s);
        QVERIFY(zorv::test::writeFile(path, "previous content that is longer"));
        platform.nextFile(path);
        QVERIFY(exportSourceNamesChosen(*g));
        QCOMPARE(zorv::test::readFile(path), (names.join(u'\n') + u'\n').toUtf8());
        QCOMPARE(platform.dialogFilters,
                 QStringList{u"文本文件 (*.TXT),*.TXT,Excel文件 (*.xls),*.xls"_s});

        auto back = makeFrn1Grid();
        for (int i = 0; i < 3; ++i)
            addRow(*back, {u"/p/"_s, u"f"_s});
        platform.nextFile(path);
        EscSink sink;
        const auto open = [](const QString &p) {
            return TextLines::fromText(QString::fromUtf8(zorv::test::readFile(p)));
        };
        QVERIFY(importNewNames(*back, 1, QString(), open, sink));
        QCOMPARE(column(*back, u"filen"_s), names);
    }

    void exportRefusals() {
        zorv::test::ScriptedPlatform platform;
        auto g = makeFrn1Grid();
        QVERIFY(!exportSourceNamesChosen(*g));
        addRow(*g, {u"/p/"_s, u"f"_s});
        QVERIFY(!exportSourceNames(*g, u"/nonexistent-folder/x.txt"_s));
        platform.nextFileCancel();
        QVERIFY(!exportSourceNamesChosen(*g));
        // A line break inside a name: the file is left as it was.
        QTemporaryDir dir;
        const QString path = dir.filePath(u"out.TXT"_s);
        QVERIFY(zorv::test::writeFile(path, "kept"));
        addRow(*g, {u"/p/"_s, u"two\nlines"_s});
        QVERIFY(!exportSourceNames(*g, path));
        QCOMPARE(zorv::test::readFile(path), QByteArray("kept"));
        QCOMPARE(platform.messageLines(),
                 (QStringList{u"提示 / 还没有源文件"_s, u"提示 / 文件不能打开"_s,
                              u"提示 / 第2行的源文件名含有换行符，不能逐行导出：two lines"_s}));
    }

    // A name holding any line break, a lone CR included, would read back as
    // two lines: the export refuses it and leaves the file as it was.
    void exportLineBreaks_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("shown");
        QTest::newRow("LF") << u"two\nlines"_s << u"two lines"_s;
        QTest::newRow("lone CR") << u"two\rlines"_s << u"two lines"_s;
        QTest::newRow("CR at the end") << u"name.txt\r"_s << u"name.txt "_s;
        QTest::newRow("CR LF") << u"a\r\nb"_s << u"a  b"_s;
    }
    void exportLineBreaks() {
        QFETCH(QString, name);
        QFETCH(QString, shown);
        zorv::test::ScriptedPlatform platform;
        auto g = makeFrn1Grid();
        addRow(*g, {u"/p/"_s, u" lead.txt"_s});
        addRow(*g, {u"/p/"_s, name});
        QTemporaryDir dir;
        const QString path = dir.filePath(u"out.TXT"_s);
        QVERIFY(zorv::test::writeFile(path, "kept"));
        QVERIFY(!exportSourceNames(*g, path));
        QCOMPARE(zorv::test::readFile(path), QByteArray("kept"));
        QCOMPARE(platform.messageLines(),
                 QStringList{u"提示 / 第2行的源文件名含有换行符，不能逐行导出："_s + shown});
    }

    // Source names are written as they are on disk, blanks and U+FEFF kept.
    void exportKeepsBlanks() {
        zorv::test::ScriptedPlatform platform;
        auto g = makeFrn1Grid();
        const QStringList names{u" lead.txt"_s, u"lead.txt"_s, u"trail.txt "_s,
                                QChar(0xFEFF) + u"bom.txt"_s};
        for (const QString &n : names)
            addRow(*g, {u"/p/"_s, n});
        QTemporaryDir dir;
        const QString path = dir.filePath(u"out.TXT"_s);
        QVERIFY(exportSourceNames(*g, path));
        QCOMPARE(zorv::test::readFile(path), (names.join(u'\n') + u'\n').toUtf8());
    }

    // Files that cannot be opened are judged by name; others by content.
    void sheetPaths() {
        QVERIFY(isSheetPath(u"/a/b.XLS"_s));
        QVERIFY(isSheetPath(u"/a/b.xlsm"_s));
        QVERIFY(!isSheetPath(u"/a/b.txt"_s));
        QTemporaryDir dir;
        const QString text = dir.filePath(u"list.xls"_s);
        QVERIFY(zorv::test::writeFile(text, QByteArray("a\nb\n")));
        QVERIFY(!isSheetPath(text));
    }
};

QTEST_GUILESS_MAIN(TestNewNames)
#include "test_new_names.moc"
