#include "../sheet/sheet_fixture.h"
#include "core/imports/list_import.h"
#include "core/text/gbtext.h"
#include "import_helpers.h"
#include "support/scripted_platform.h"
#include "support/tempdir.h"

#include <QTemporaryDir>
#include <QTest>

using namespace zorv;
using namespace zorv::imports;
using namespace Qt::StringLiterals;
using namespace Qt::StringLiterals;
using zorv::test::ScriptedPlatform;
using zorv::test::writeSheetFixture;

namespace {

QString s(const char16_t *text) {
    return QString::fromUtf16(text);
}
QJsonValue null() {
    return QJsonValue(QJsonValue::Null);
}

} // namespace

// Name lists and new-name lists: dialog, text lines in any encoding, the
// first worksheet, and Esc before each name.
class TestListImports : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        const QString list = s(u"0001\r\n  a.txt\tmore text\r\n\r\n\t\r\nname's.jpg\n中文 名\n");
        QVERIFY(
            zorv::test::writeFile(path(QStringLiteral("gbk.txt")), zorv::text::toGb18030(list)));
        QVERIFY(zorv::test::writeFile(path(QStringLiteral("utf8.TXT")),
                                      "\xEF\xBB\xBF" + list.toUtf8()));
        const QJsonObject book{
            {QStringLiteral("sheets"),
             QJsonArray{
                 QJsonObject{{QStringLiteral("name"), QStringLiteral("first")},
                             {QStringLiteral("rows"),
                              QJsonArray{QJsonArray{QStringLiteral("0001"), QStringLiteral(" a ")},
                                         QJsonArray{42, null(), QStringLiteral("c")},
                                         QJsonArray{s(u"名单"), QStringLiteral("b")},
                                         QJsonArray{null(), QStringLiteral("x")},
                                         QJsonArray{QStringLiteral("never")}}}},
                 QJsonObject{
                     {QStringLiteral("name"), QStringLiteral("second")},
                     {QStringLiteral("rows"), QJsonArray{QJsonArray{QStringLiteral("no")}}}}}},
            {QStringLiteral("active"), 1}};
        QCOMPARE(writeSheetFixture(QStringLiteral("xls"), path(QStringLiteral("names.xls")), book),
                 QString());
        QCOMPARE(
            writeSheetFixture(QStringLiteral("shared"), path(QStringLiteral("names.xlsx")), book),
            QString());
    }
    void cleanup() { setSheetReaderAvailable(true); }

    void chooseListFileDialog() {
        ScriptedPlatform sp;
        sp.nextFileCancel();
        sp.nextFile(QString());
        sp.nextFile(QStringLiteral("/x/list.txt"));
        QCOMPARE(chooseListFile(), std::nullopt);
        QCOMPARE(chooseListFile(), std::nullopt);
        QCOMPARE(chooseListFile(), std::optional<QString>(QStringLiteral("/x/list.txt")));
        QCOMPARE(sp.messageLines(), (QStringList{s(u"信息提示 / 没有指定导入文件!"),
                                                 s(u"信息提示 / 没有指定导入文件!")}));
        QCOMPARE(sp.dialogTitles.first(), s(u"打开文件"));
        QCOMPARE(sp.dialogFilters.first(), s(u"Excel文件 (*.xls),*.xls,文本文件 (*.TXT),*.TXT"));
    }

    // The content tells a spreadsheet, whatever the file is called.
    void spreadsheetPaths_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("sheet");
        QTest::newRow("xls") << u"names.xls"_s << u"list.XLS"_s << true;
        QTest::newRow("xlsx") << u"names.xlsx"_s << u"list.xlsx"_s << true;
        QTest::newRow("xlsm") << u"names.xlsx"_s << u"list.xlsm"_s << true;
        QTest::newRow("workbook named .txt") << u"names.xls"_s << u"book.txt"_s << true;
        QTest::newRow("text named .xls") << u"gbk.txt"_s << u"text.xls"_s << false;
        QTest::newRow("missing .xls") << QString() << u"none.xls"_s << true;
        QTest::newRow("missing .txt") << QString() << u"none.txt"_s << false;
    }
    void spreadsheetPaths() {
        QFETCH(QString, source);
        QFETCH(QString, name);
        QFETCH(bool, sheet);
        if (!source.isEmpty() && !QFile::exists(path(name)))
            QVERIFY(QFile::copy(path(source), path(name)));
        QCOMPARE(isSpreadsheetPath(path(name)), sheet);
    }

    // A workbook saved with macros reads like any other; a text list under a
    // spreadsheet's name reads as text.
    void readsByContent() {
        ScriptedPlatform sp;
        QVERIFY(QFile::copy(path(u"names.xlsx"_s), path(u"macro.xlsm"_s)));
        QVERIFY(QFile::copy(path(u"gbk.txt"_s), path(u"gbk-list.xls"_s)));
        QStringList got;
        auto take = [&](qint64, const QString &name) { return got << name, true; };
        QVERIFY(readNameList(path(u"macro.xlsm"_s), take).imported());
        QCOMPARE(got, (QStringList{u"0001"_s, u"42"_s, s(u"名单")}));
        got.clear();
        QVERIFY(readNameList(path(u"gbk-list.xls"_s), take).imported());
        QCOMPARE(got.size(), 4);
        QVERIFY(sp.messages.isEmpty());
    }

    void readsNameLists_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("names");
        const QStringList fromText{QStringLiteral("0001"), QStringLiteral("a.txt"),
                                   QStringLiteral("name's.jpg"), s(u"中文 名")};
        // The first worksheet is read even where another one is active; the
        // first empty cell of column 1 ends the list.
        const QStringList fromSheet{QStringLiteral("0001"), QStringLiteral("42"), s(u"名单")};
        QTest::newRow("GBK text") << QStringLiteral("gbk.txt") << fromText;
        QTest::newRow("UTF-8 text with BOM") << QStringLiteral("utf8.TXT") << fromText;
        QTest::newRow("xls") << QStringLiteral("names.xls") << fromSheet;
        QTest::newRow("xlsx") << QStringLiteral("names.xlsx") << fromSheet;
    }
    void readsNameLists() {
        QFETCH(QString, file);
        QFETCH(QStringList, names);
        ScriptedPlatform sp;
        QStringList got;
        QList<qint64> positions;
        const ImportReport r = readNameList(path(file), [&](qint64 pos, const QString &name) {
            positions << pos;
            got << name;
            return true;
        });
        QVERIFY(r.imported());
        QCOMPARE(r.rows, names.size());
        QCOMPARE(got, names);
        QCOMPARE(positions.last(), qint64(names.size()));
        QVERIFY(sp.messages.isEmpty());
    }

    void escStopsBeforeTheNextName_data() { readsNameLists_data(); }
    void escStopsBeforeTheNextName() {
        QFETCH(QString, file);
        QFETCH(QStringList, names);
        ScriptedPlatform sp;
        zorv::test::EscSink sink;
        QStringList got;
        // The text route polls once per line; Esc comes after two names.
        const bool text = !isSpreadsheetPath(path(file));
        sp.escAfterPolls = text ? 2 : -1;
        const ImportReport r = readNameList(
            path(file),
            [&](qint64, const QString &name) {
                got << name;
                if (!text && got.size() == 2)
                    sp.escAfterPolls = sp.escPolls; // pressed now
                return true;
            },
            &sink);
        QCOMPARE(r.outcome, Outcome::Stopped);
        QCOMPARE(got, names.mid(0, 2));
    }

    void refusesUnreadableLists_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("reader");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing text file")
            << QStringLiteral("none.txt") << true << s(u"信息提示 / 无法读取文件“");
        QTest::newRow("missing spreadsheet")
            << QStringLiteral("none.xls") << true << s(u"信息提示 / 找不到文件“");
        QTest::newRow("binary named .txt")
            << QStringLiteral("binary.txt") << true << s(u"信息提示 / 文件“");
        QTest::newRow("reader unavailable")
            << QStringLiteral("names.xls") << false
            << s(u"信息提示 / 连接EXCEL失败，请检查计算机中是否安装了EXCEL!");
    }
    void refusesUnreadableLists() {
        QFETCH(QString, file);
        QFETCH(bool, reader);
        QFETCH(QString, message);
        ScriptedPlatform sp;
        setSheetReaderAvailable(reader);
        if (file == u"binary.txt")
            QVERIFY(zorv::test::writeFile(path(file), QByteArray("\x7F"
                                                                 "ELF\0\0\1\2\3",
                                                                 9)));
        int taken = 0;
        const ImportReport r =
            readNameList(path(file), [&](qint64, const QString &) { return ++taken, true; });
        QCOMPARE(r.outcome, Outcome::Refused);
        QCOMPARE(taken, 0);
        QCOMPARE(sp.messages.size(), 1);
        QVERIFY2(sp.messageLines().first().startsWith(message),
                 qPrintable(sp.messageLines().first()));
        QCOMPARE(readNewNames(path(file), 3, 1).outcome, Outcome::Refused);
    }

    void readsNewNames_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("columns");
        QTest::addColumn<QStringList>("values");
        QTest::newRow("text, fewer lines than rows")
            << QStringLiteral("gbk.txt") << 9 << 3 << QStringList{QStringLiteral("0001"),
                                                                  QStringLiteral("a.txt"),
                                                                  QString(),
                                                                  QString(),
                                                                  QStringLiteral("name's.jpg"),
                                                                  s(u"中文 名")};
        QTest::newRow("text, first rows")
            << QStringLiteral("utf8.TXT") << 2 << 1
            << QStringList{QStringLiteral("0001"), QStringLiteral("a.txt")};
        QTest::newRow("sheet, columns 1 to 2 joined trimmed")
            << QStringLiteral("names.xlsx") << 6 << 2
            << QStringList{QStringLiteral("0001a"), QStringLiteral("42"),    s(u"名单b"),
                           QStringLiteral("x"),     QStringLiteral("never"), QString()};
        QTest::newRow("sheet, column 1, .xls")
            << QStringLiteral("names.xls") << 3 << 1
            << QStringList{QStringLiteral("0001"), QStringLiteral("42"), s(u"名单")};
        QTest::newRow("sheet, three columns")
            << QStringLiteral("names.xls") << 2 << 3
            << QStringList{QStringLiteral("0001a"), QStringLiteral("42c")};
    }
    void readsNewNames() {
        QFETCH(QString, file);
        QFETCH(int, rows);
        QFETCH(int, columns);
        QFETCH(QStringList, values);
        ScriptedPlatform sp;
        const ListValues got = readNewNames(path(file), rows, columns);
        QCOMPARE(got.outcome, Outcome::Imported);
        QCOMPARE(got.values, values);
        QVERIFY(sp.messages.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestListImports)
#include "test_list_imports.moc"
