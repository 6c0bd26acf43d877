#include "core/sheet/workbook.h"
#include "sheet_fixture.h"
#include "support/tempdir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace zorv::sheet;
using zorv::test::oneSheet;
using zorv::test::readFile;
using zorv::test::writeFile;
using zorv::test::writeSheetFixture;

namespace {

QByteArray randomBytes(int n, quint32 seed) {
    QRandomGenerator gen(seed);
    QByteArray b(n, '\0');
    for (auto &c : b)
        c = char(gen.bounded(256));
    return b;
}

// English words left in a refusal once the file's path and the names of its
// parts are taken out: the reasons are for the user and in Chinese.
QStringList englishWords(QString error, const QString &path) {
    error.remove(path);
    error.remove(QRegularExpression(QStringLiteral("[\\w./-]+\\.(xml|rels)")));
    // Names of formats are no English text.
    const QStringList names{QStringLiteral("XML"),          QStringLiteral("Excel"),
                            QStringLiteral("zip"),          QStringLiteral("xls"),
                            QStringLiteral("xlsx"),         QStringLiteral("xlsb"),
                            QStringLiteral("OpenDocument"), QStringLiteral("ods")};
    QStringList words;
    for (const auto &m : QRegularExpression(QStringLiteral("[A-Za-z]{3,}")).globalMatch(error))
        if (!names.contains(m.captured()))
            words << m.captured();
    return words;
}

QJsonObject parts(const QString &sheetXml) {
    const QString rels = QStringLiteral(
        "<Relationships><Relationship Id=\"r1\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
        "Target=\"s.xml\"/></Relationships>");
    return QJsonObject{
        {QStringLiteral("parts"),
         QJsonObject{{QStringLiteral("xl/workbook.xml"),
                      QStringLiteral("<workbook><sheets><sheet name=\"A\" r:id=\"r1\" "
                                     "xmlns:r=\"x\"/></sheets></workbook>")},
                     {QStringLiteral("xl/_rels/workbook.xml.rels"), rels},
                     {QStringLiteral("xl/s.xml"), sheetXml}}}};
}

// A part of `times` copies of `repeat` between head and tail, for
// write_sheet.py to expand: it compresses to a few kilobytes.
QJsonObject repeated(const QString &head, const QString &repeat, int times, const QString &tail) {
    return QJsonObject{{QStringLiteral("head"), head},
                       {QStringLiteral("repeat"), repeat},
                       {QStringLiteral("times"), times},
                       {QStringLiteral("tail"), tail}};
}

// A workbook of one sheet with shared strings; extraRelationships are added
// to the workbook's relationships.
QJsonObject packageWith(const QJsonValue &sheet, const QJsonValue &shared,
                        const QJsonValue &extraRelationships = QString()) {
    const QString type =
        QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships/");
    const QString rels =
        QStringLiteral("<Relationships><Relationship Id=\"r1\" Type=\"") + type +
        QStringLiteral("worksheet\" Target=\"s.xml\"/><Relationship Id=\"r2\" Type=\"") + type +
        QStringLiteral("sharedStrings\" Target=\"strings.xml\"/>");
    QJsonValue relsPart =
        QString(rels + extraRelationships.toString() + QStringLiteral("</Relationships>"));
    if (extraRelationships.isObject()) {
        QJsonObject o = extraRelationships.toObject();
        o[QStringLiteral("head")] = rels;
        o[QStringLiteral("tail")] = QStringLiteral("</Relationships>");
        relsPart = o;
    }
    return QJsonObject{
        {QStringLiteral("parts"),
         QJsonObject{{QStringLiteral("xl/workbook.xml"),
                      QStringLiteral("<workbook><sheets><sheet name=\"A\" r:id=\"r1\" "
                                     "xmlns:r=\"x\"/></sheets></workbook>")},
                     {QStringLiteral("xl/_rels/workbook.xml.rels"), relsPart},
                     {QStringLiteral("xl/strings.xml"), shared},
                     {QStringLiteral("xl/s.xml"), sheet}}}};
}

} // namespace

// Every file that cannot be read gives a message naming it, and no crash.
class TestBadFiles : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        const QJsonArray rows{QJsonArray{QStringLiteral("a"), 1},
                              QJsonArray{QStringLiteral("b"), 2}};
        QCOMPARE(writeSheetFixture(QStringLiteral("xls"), path(QStringLiteral("good.xls")),
                                   oneSheet(rows)),
                 QString());
        QCOMPARE(writeSheetFixture(QStringLiteral("shared"), path(QStringLiteral("good.xlsx")),
                                   oneSheet(rows)),
                 QString());
    }

    void refusesWithMessage_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("bytes"); // written unless null
        QTest::addColumn<QString>("message");  // a part of the expected message

        const QByteArray xls = readFile(path(QStringLiteral("good.xls")));
        const QByteArray xlsx = readFile(path(QStringLiteral("good.xlsx")));
        QTest::newRow("missing") << QStringLiteral("nothing.xls") << QByteArray()
                                 << QStringLiteral("找不到");
        QTest::newRow("empty file")
            << QStringLiteral("empty.xls") << QByteArray("") << QStringLiteral("不是 Excel");
        QTest::newRow("text renamed .xls")
            << QStringLiteral("list.xls") << QStringLiteral("名称\t数量\r\n苹果\t3\r\n").toUtf8()
            << QStringLiteral("不是 Excel");
        QTest::newRow("random bytes .xlsx") << QStringLiteral("random.xlsx") << randomBytes(5000, 7)
                                            << QStringLiteral("不是 Excel");
        QTest::newRow("truncated zip")
            << QStringLiteral("cut.xlsx") << xlsx.left(xlsx.size() / 2) << QStringLiteral("已损坏");
        QTest::newRow("zip signature, then garbage")
            << QStringLiteral("fake.xlsx") << QByteArray("PK\x03\x04") + randomBytes(3000, 9)
            << QStringLiteral("已损坏");
        QTest::newRow("compound signature, then garbage")
            << QStringLiteral("fake.xls") << xls.left(8) + randomBytes(3000, 11)
            << QStringLiteral("已损坏");
        QTest::newRow("truncated xls")
            << QStringLiteral("cut.xls") << xls.left(700) << QStringLiteral("已损坏");
    }
    void refusesWithMessage() {
        QFETCH(QString, file);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        const QString p = path(file);
        if (!bytes.isNull())
            QVERIFY(writeFile(p, bytes));
        QString error;
        QCOMPARE(readSheet(p, WhichSheet::Active, &error), std::nullopt);
        QVERIFY2(error.contains(p), qPrintable(error));
        QVERIFY2(error.contains(message), qPrintable(error));
    }

    void refusesFolder() {
        QString error;
        QCOMPARE(readSheet(m_dir.path(), WhichSheet::First, &error), std::nullopt);
        QVERIFY2(error.contains(m_dir.path()) && error.contains(QStringLiteral("文件夹")),
                 qPrintable(error));
    }

    void refusesDamagedParts_data() {
        QTest::addColumn<QJsonObject>("description");
        QTest::addColumn<QString>("message");
        QTest::newRow("zip without workbook")
            << QJsonObject{{QStringLiteral("parts"),
                            QJsonObject{{QStringLiteral("readme.txt"), QStringLiteral("hello")}}}}
            << QStringLiteral("不是 Excel");
        QTest::newRow("binary workbook (.xlsb)")
            << QJsonObject{{QStringLiteral("parts"),
                            QJsonObject{{QStringLiteral("xl/workbook.bin"), QStringLiteral("x")}}}}
            << QStringLiteral("不支持的文件格式（Excel 二进制工作簿 .xlsb）");
        QTest::newRow("OpenDocument (.ods)")
            << QJsonObject{{QStringLiteral("parts"),
                            QJsonObject{
                                {QStringLiteral("mimetype"),
                                 QStringLiteral("application/vnd.oasis.opendocument.spreadsheet")},
                                {QStringLiteral("content.xml"), QStringLiteral("<x/>")}}}}
            << QStringLiteral("不支持的文件格式（OpenDocument 电子表格 .ods）");
        QTest::newRow("malformed sheet XML")
            << parts(QStringLiteral("<worksheet><sheetData><row><c><v>1</v></row>"))
            << QStringLiteral("已损坏");
        QTest::newRow("entity expansion")
            << parts(QStringLiteral(
                   "<!DOCTYPE w [<!ENTITY a \"aaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;\">]>"
                   "<worksheet><sheetData><row><c t=\"inlineStr\"><is><t>&b;</t></is>"
                   "</c></row></sheetData></worksheet>"))
            << QStringLiteral("已损坏");
        QTest::newRow("string longer than any cell holds")
            << parts(QStringLiteral("<worksheet><sheetData><row><c t=\"inlineStr\"><is><t>") +
                     QString(17 << 20, u'x') +
                     QStringLiteral("</t></is></c></row></sheetData></worksheet>"))
            << QStringLiteral("已损坏");
        QTest::newRow("shared string out of range")
            << parts(QStringLiteral("<worksheet><sheetData><row><c t=\"s\"><v>3</v></c></row>"
                                    "</sheetData></worksheet>"))
            << QStringLiteral("已损坏");
    }
    void refusesDamagedParts() {
        QFETCH(QJsonObject, description);
        QFETCH(QString, message);
        const QString p = path(QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'_') +
                               QStringLiteral(".xlsx"));
        QCOMPARE(writeSheetFixture(QStringLiteral("zip"), p, description), QString());
        QString error;
        QCOMPARE(readSheet(p, WhichSheet::Active, &error), std::nullopt);
        QVERIFY2(error.contains(p) && error.contains(message), qPrintable(error));
        QVERIFY2(englishWords(error, p).isEmpty(), qPrintable(error));
    }

    void refusesBombs_data() {
        QTest::addColumn<QJsonObject>("description");
        const QString sheetHead = QStringLiteral("<worksheet><sheetData>");
        const QString sheetTail = QStringLiteral("</sheetData></worksheet>");
        const QString oneCell =
            sheetHead + QStringLiteral("<row><c t=\"s\"><v>0</v></c></row>") + sheetTail;
        const QString twoStrings = QStringLiteral("<sst><si><t>a</t></si><si><t>b</t></si></sst>");
        // Each file is a few tens of kilobytes.
        QTest::newRow("sheet unpacking to 40 MB") << packageWith(
            repeated(sheetHead, QStringLiteral("<row><c><v>1</v></c></row>"), 1'500'000, sheetTail),
            twoStrings);
        QTest::newRow("shared strings unpacking to 40 MB")
            << packageWith(oneCell, repeated(QStringLiteral("<sst>"), QStringLiteral("<si/><si/>"),
                                             4'000'000, QStringLiteral("</sst>")));
        QTest::newRow("three million shared strings")
            << packageWith(oneCell, repeated(QStringLiteral("<sst>"), QStringLiteral("<si/>"),
                                             3'000'000, QStringLiteral("</sst>")));
        QTest::newRow("three million cells")
            << packageWith(repeated(sheetHead + QStringLiteral("<row>"), QStringLiteral("<c/>"),
                                    3'000'000, QStringLiteral("</row>") + sheetTail),
                           twoStrings);
        QTest::newRow("seventy thousand relationships")
            << packageWith(oneCell, twoStrings,
                           repeated({},
                                    QStringLiteral("<Relationship Id=\"x\" Type=\"t/image\" "
                                                   "Target=\"i.png\"/>"),
                                    70'000, {}));
    }
    // A small file that unpacks into more than its size can reasonably hold
    // is refused before the memory is taken: too large or damaged.
    void refusesBombs() {
        QFETCH(QJsonObject, description);
        const QString p = path(QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'_') +
                               QStringLiteral(".xlsx"));
        QCOMPARE(writeSheetFixture(QStringLiteral("zip"), p, description), QString());
        QVERIFY(QFileInfo(p).size() < 200'000);
        QString error;
        QCOMPARE(readSheet(p, WhichSheet::Active, &error), std::nullopt);
        QVERIFY2(error.contains(p) && error.contains(QStringLiteral("太大或已损坏")),
                 qPrintable(error));
        QVERIFY2(englishWords(error, p).isEmpty(), qPrintable(error));
    }

    void survivesCraftedStringLengths_data() {
        QTest::addColumn<QString>("file");
        // Found by fuzzing an earlier reader: string lengths past the records.
        QTest::newRow("stack over-read") << QStringLiteral("freexl-string-overread.xls");
        QTest::newRow("heap over-read") << QStringLiteral("freexl-heap-overread.xls");
    }
    void survivesCraftedStringLengths() {
        QFETCH(QString, file);
        const QString p = QStringLiteral(ZORV_SOURCE_DIR "/tests/core/sheet/data/") + file;
        QVERIFY(QFile::exists(p));
        Workbook book;
        if (!book.open(p)) {
            QVERIFY2(book.errorString().contains(p), qPrintable(book.errorString()));
            return;
        }
        for (int i = 0; i < book.sheetCount(); ++i)
            if (!book.readSheet(i))
                QVERIFY2(book.errorString().contains(p), qPrintable(book.errorString()));
    }

    void survivesEveryTruncation() {
        // Reading any prefix of a good file either fails with a message or
        // yields a sheet; it never crashes.
        for (const QString &name : {QStringLiteral("good.xls"), QStringLiteral("good.xlsx")}) {
            const QByteArray whole = readFile(path(name));
            const QString p = path(QStringLiteral("prefix-") + name);
            for (qsizetype n = 0; n < whole.size(); n += 97) {
                QVERIFY(writeFile(p, whole.left(n)));
                QString error;
                if (!readSheet(p, WhichSheet::Active, &error))
                    QVERIFY2(error.contains(p), qPrintable(error));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestBadFiles)
#include "test_badfiles.moc"
