// Loading name lists: text files as other programs save them, spreadsheet
// columns from a given row, pasted lines, folder trees, and the numbering.
#include "core/lists/compare_grids.h"
#include "core/lists/list_load.h"
#include "core/sheet/sheet_fixture.h"
#include "core/text/gbtext.h"
#include "lists_fixture.h"
#include "support/scripted_platform.h"
#include "support/tempdir.h"

#include <QDir>
#include <QJsonArray>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorv;
using zorv::test::rowsOf;

namespace {

QStringList namesOf(const QByteArray &bytes) {
    const lists::ListText t = lists::splitListText(bytes);
    QStringList out;
    for (std::string_view n : t.names)
        out << QString::fromUtf8(n.data(), qsizetype(n.size()));
    return out;
}

} // namespace

class TestListLoad : public QObject {
    Q_OBJECT
private slots:
    void split_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("names");
        const QStringList plain{u"张三"_s, u"Tom "_s, u"O'Neil"_s};
        const QByteArray utf8 = u"张三\nTom \nO'Neil\n"_s.toUtf8();
        QTest::newRow("plain UTF-8, final line end adds no row") << utf8 << plain;
        QTest::newRow("CRLF and a byte-order mark")
            << QByteArray("\xEF\xBB\xBF" + u"张三\r\nTom \r\nO'Neil\r\n"_s.toUtf8()) << plain;
        QTest::newRow("GBK") << text::toGb18030(u"张三\r\nTom \r\nO'Neil"_s) << plain;
        QTest::newRow("UTF-16 with its mark")
            << QByteArray("\xFF\xFE" +
                          QByteArray(reinterpret_cast<const char *>(u"张三\nTom \nO'Neil"), 2 * 14))
            << plain;
        QTest::newRow("text before the first tab, quotes kept")
            << QByteArray("\"a\"\tx\ty\nb\t\r\n\tc\n")
            << QStringList{u"\"a\""_s, u"b"_s, QString()};
        QTest::newRow("empty line in between is an empty name")
            << QByteArray("a\n\nb") << QStringList{u"a"_s, QString(), u"b"_s};
        QTest::newRow("a CR inside a line stays") << QByteArray("a\rb\n") << QStringList{u"a\rb"_s};
        QTest::newRow("empty file") << QByteArray() << QStringList{};
    }
    void split() {
        QFETCH(QByteArray, bytes);
        QTEST(namesOf(bytes), "names");
    }

    // Only well-formed UTF-8 is kept as it stands; anything else is read as
    // GB18030, which never gives back the same bytes.
    void utf8Forms_data() {
        QTest::addColumn<QByteArray>("sequence");
        QTest::addColumn<bool>("utf8");
        const std::pair<const char *, const char *> valid[] = {
            {"U+0080", "\xC2\x80"},
            {"U+07FF", "\xDF\xBF"},
            {"U+0800", "\xE0\xA0\x80"},
            {"U+D7FF", "\xED\x9F\xBF"},
            {"U+E000", "\xEE\x80\x80"},
            {"U+FFFF", "\xEF\xBF\xBF"},
            {"U+10000", "\xF0\x90\x80\x80"},
            {"U+10FFFF", "\xF4\x8F\xBF\xBF"},
            {"after eight ASCII bytes", "abcdefgh\xE4\xB8\x80"}};
        for (const auto &[name, bytes] : valid)
            QTest::newRow(name) << QByteArray(bytes) << true;
        const std::pair<const char *, const char *> invalid[] = {
            {"overlong two bytes", "\xC1\xBF"},    {"overlong three bytes", "\xE0\x9F\xBF"},
            {"surrogate", "\xED\xA0\x80"},         {"overlong four bytes", "\xF0\x8F\xBF\xBF"},
            {"past U+10FFFF", "\xF4\x90\x80\x80"}, {"lead byte F5", "\xF5\x80\x80\x80"},
            {"bad continuation", "\xE4\x41\x80"},  {"lone continuation", "\x80"},
            {"cut short at the end", "\xE4\xB8"}};
        for (const auto &[name, bytes] : invalid)
            QTest::newRow(name) << QByteArray(bytes) << false;
    }
    void utf8Forms() {
        QFETCH(QByteArray, sequence);
        QFETCH(bool, utf8);
        const QByteArray bytes = "name " + sequence;
        QCOMPARE(lists::splitListText(bytes).text == bytes, utf8);
    }

    // The window's import: dialog, load, numbering of the whole list and
    // "导入完成!"; a later load resets earlier markers.
    void importRenumbers() {
        test::TestHome home;
        test::ScriptedPlatform p;
        const QString path = home.file(u"l.txt"_s);
        QVERIFY(test::writeFile(path, "x\ny\n"));
        auto list = lists::makeListGrid(1);
        test::fillList(*list, {u"a"_s});
        list->setItem(1, lists::kJg, u"相同"_s);
        p.nextFile(path);
        QVERIFY(lists::importChosenList(*list, 1, 2).imported());
        QCOMPARE(rowsOf(*list), (QStringList{u"a|1|不同"_s, u"x|2|不同"_s, u"y|3|不同"_s}));
        QCOMPARE(p.messageLines(), QStringList{u"信息提示 / 导入完成!"_s});
        QCOMPARE(p.dialogTitles, QStringList{u"打开文件"_s});
    }

    void importRefusals_data() {
        QTest::addColumn<int>("choice"); // 0 cancel, 1 empty path, 2 missing file
        QTest::addColumn<QString>("message");
        QTest::newRow("cancelled") << 0 << u"提示 / 文件选择失败!"_s;
        QTest::newRow("empty path") << 1 << u"提示 / 文件名不能为空!"_s;
    }
    void importRefusals() {
        QFETCH(int, choice);
        test::ScriptedPlatform p;
        if (choice == 0)
            p.nextFileCancel();
        else
            p.nextFile(QString());
        auto list = lists::makeListGrid(1);
        test::fillList(*list, {u"a"_s});
        QVERIFY(!lists::importChosenList(*list, 1, 2).imported());
        QTEST(p.messageLines().join(u'\n'), "message");
        QCOMPARE(rowsOf(*list), QStringList{u"a|1|不同"_s});
    }

    // Row 2, column 3: column C from its second line to its end.
    void spreadsheetColumn() {
        test::TestHome home;
        test::ScriptedPlatform p;
        const QString path = home.file(u"l.xlsx"_s);
        const QJsonArray rows{QJsonArray{u"A1"_s, u"B1"_s, u"C1"_s},
                              QJsonArray{u"A2"_s, u"B2"_s, u"C2"_s},
                              QJsonArray{u"A3"_s, u"B3"_s, u"張三"_s}};
        const QString err = test::writeSheetFixture(u"shared"_s, path, test::oneSheet(rows));
        QVERIFY2(err.isEmpty(), qPrintable(err));
        auto list = lists::makeListGrid(2);
        p.nextFile(path);
        QVERIFY(lists::importChosenList(*list, 3, 2).imported());
        QCOMPARE(rowsOf(*list), (QStringList{u"C2|1|不同"_s, u"張三|2|不同"_s}));
    }

    void pasteRenumbersAndResets() {
        test::ScriptedPlatform p;
        auto list = lists::makeListGrid(1);
        test::fillList(*list, {u"b"_s, u"a"_s});
        list->setItem(2, lists::kJg, u"相同"_s);
        list->deleteRow(1);
        p.clipboard = u"c\nd\n"_s;
        QVERIFY(lists::pasteList(*list).imported());
        QCOMPARE(rowsOf(*list), (QStringList{u"a|1|不同"_s, u"c|2|不同"_s, u"d|3|不同"_s}));
        p.clipboard.clear();
        p.clearRecord();
        QVERIFY(!lists::pasteList(*list).imported());
        QCOMPARE(p.messageLines(), QStringList{u"提示 / 剪贴板中没有内容或不能粘贴"_s});
        QCOMPARE(list->rowCount(), qint64(3));
    }

    // Full paths, depth first in listing order (a folder listed as "[name]",
    // so before lower-case names), appended after the rows there with their own
    // row numbers; earlier rows keep their numbers and markers.
    void folderTree() {
        test::TestHome home;
        test::ScriptedPlatform p;
        const QString top = home.file(u"tree"_s);
        for (const QString &f : {u"tree/b.txt"_s, u"tree/a/z.txt"_s, u"tree/a/.h"_s,
                                 u"tree/c/d/e.txt"_s, u"tree/A.txt"_s})
            QVERIFY(test::writeFile(home.file(f), "x"));
        auto list = lists::makeListGrid(1);
        test::fillList(*list, {u"old"_s});
        list->setItem(1, lists::kJg, u"相同"_s);
        QVERIFY(lists::loadFolderTree(*list, top).imported());
        const QString t = top + u'/';
        QCOMPARE(rowsOf(*list), (QStringList{u"old|1|相同"_s, t + u"A.txt|2|不同"_s,
                                             t + u"a/.h|3|不同"_s, t + u"a/z.txt|4|不同"_s,
                                             t + u"c/d/e.txt|5|不同"_s, t + u"b.txt|6|不同"_s}));
    }
};

QTEST_GUILESS_MAIN(TestListLoad)
#include "test_list_load.moc"
