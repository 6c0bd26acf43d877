#include "core/platform/progress.h"
#include "core/sheet/workbook.h"
#include "sheet_fixture.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace zorv::sheet;
using zorv::test::dateCell;
using zorv::test::writeSheetFixture;

namespace {

QJsonValue null() {
    return QJsonValue(QJsonValue::Null);
}
QString s(const char16_t *text) {
    return QString::fromUtf16(text);
}

// The first sheet of every format's fixture, and what each cell must show.
QJsonArray dataRows() {
    return QJsonArray{
        QJsonArray{s(u"名称"), s(u"数量"), s(u"备注")},
        QJsonArray{s(u"苹果"), 3, QString()},
        QJsonArray{QString::fromUcs4(U"\U00020000扩展"), -2.5, QStringLiteral("x")},
        QJsonArray{null(), 0.1, s(u"中间空")},
        QJsonArray{QJsonObject{{QStringLiteral("rich"), QJsonArray{s(u"富"), s(u"文本")}}}, 1234567,
                   dateCell(QStringLiteral("date"), QStringLiteral("2024-02-29"))},
        QJsonArray{s(u"负数"), -42,
                   dateCell(QStringLiteral("datetime"), QStringLiteral("1999-12-31 23:59:58"))},
        QJsonArray{},
        QJsonArray{s(u"最后"), 0.001, null(), s(u"第四列")},
    };
}

const QList<QStringList> kExpected = {
    {s(u"名称"), s(u"数量"), s(u"备注"), {}},
    {s(u"苹果"), QStringLiteral("3"), {}, {}},
    {QString::fromUcs4(U"\U00020000扩展"), QStringLiteral("-2.5"), QStringLiteral("x"), {}},
    {{}, QStringLiteral("0.1"), s(u"中间空"), {}},
    {s(u"富文本"), QStringLiteral("1234567"), QStringLiteral("2024-02-29"), {}},
    {s(u"负数"), QStringLiteral("-42"), QStringLiteral("1999-12-31 23:59:58"), {}},
    {{}, {}, {}, {}},
    {s(u"最后"), QStringLiteral("0.001"), {}, s(u"第四列")},
};

QJsonObject fixtureBook() {
    const QJsonArray other{QJsonArray{
        true, dateCell(QStringLiteral("time"), QStringLiteral("12:30:00")), 123456789012.0, false}};
    return QJsonObject{
        {QStringLiteral("sheets"), QJsonArray{QJsonObject{{QStringLiteral("name"), s(u"数据")},
                                                          {QStringLiteral("rows"), dataRows()}},
                                              QJsonObject{{QStringLiteral("name"), s(u"其他")},
                                                          {QStringLiteral("rows"), other}}}},
        {QStringLiteral("active"), 1}};
}

} // namespace

class TestSheet : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        QCOMPARE(writeSheetFixture(QStringLiteral("xls"), path(QStringLiteral("data.xls")),
                                   fixtureBook()),
                 QString());
        QCOMPARE(writeSheetFixture(QStringLiteral("shared"), path(QStringLiteral("shared.xlsx")),
                                   fixtureBook()),
                 QString());
        QCOMPARE(writeSheetFixture(QStringLiteral("inline"), path(QStringLiteral("inline.xlsx")),
                                   fixtureBook()),
                 QString());
        // The content decides the reader, not the name.
        QVERIFY(QFile::copy(path(QStringLiteral("shared.xlsx")),
                            path(QStringLiteral("really-xlsx.xls"))));
        QVERIFY(
            QFile::copy(path(QStringLiteral("data.xls")), path(QStringLiteral("really-xls.xlsx"))));
    }

    void readsEveryCellExactly_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("xlsx");
        QTest::newRow("xls (xlwt)") << QStringLiteral("data.xls") << false;
        QTest::newRow("xlsx shared strings") << QStringLiteral("shared.xlsx") << true;
        QTest::newRow("xlsx inline strings") << QStringLiteral("inline.xlsx") << true;
        QTest::newRow("xlsx named .xls") << QStringLiteral("really-xlsx.xls") << true;
        QTest::newRow("xls named .xlsx") << QStringLiteral("really-xls.xlsx") << false;
    }
    void readsEveryCellExactly() {
        QFETCH(QString, file);
        Workbook book;
        QVERIFY2(book.open(path(file)), qPrintable(book.errorString()));
        QCOMPARE(book.sheetNames(), (QStringList{s(u"数据"), s(u"其他")}));
        QCOMPARE(book.activeSheet(), 1);
        QCOMPARE(book.sheetIndex(WhichSheet::First), 0);

        auto sheet = book.readSheet(0);
        QVERIFY2(sheet, qPrintable(book.errorString()));
        QCOMPARE(sheet->rowCount(), 8);
        QCOMPARE(sheet->columnCount(), 4);
        for (int r = 1; r <= 8; ++r)
            for (int c = 1; c <= 4; ++c)
                QVERIFY2(
                    sheet->text(r, c) == kExpected[r - 1][c - 1],
                    qPrintable(
                        QStringLiteral("R%1C%2: \"%3\"").arg(r).arg(c).arg(sheet->text(r, c))));
        QCOMPARE(sheet->text(9, 1), QString()); // outside the used range
        QCOMPARE(sheet->text(0, 0), QString());

        QCOMPARE(sheet->number(2, 2), std::optional<double>(3));
        QCOMPARE(sheet->number(4, 2), std::optional<double>(0.1));
        QCOMPARE(sheet->number(2, 1), std::nullopt); // text is no number
        QVERIFY(sheet->cell(2, 3).isEmpty());        // an empty string reads empty
        QVERIFY(sheet->cell(4, 1).isEmpty());
        QCOMPARE(sheet->cell(5, 3).kind, CellKind::Date);
        QCOMPARE(sheet->cell(3, 2).kind, CellKind::Number);

        QCOMPARE(sheet->rows(), kExpected);
        QCOMPARE(sheet->rows(7), kExpected.mid(6));
        QCOMPARE(sheet->column(3, 2), (QStringList{{},
                                                   QStringLiteral("x"),
                                                   s(u"中间空"),
                                                   QStringLiteral("2024-02-29"),
                                                   QStringLiteral("1999-12-31 23:59:58")}));
        QCOMPARE(sheet->column(4).size(), 8);
        QCOMPARE(sheet->column(5), QStringList());
    }

    void readsTimesBooleansAndLargeNumbers_data() { readsEveryCellExactly_data(); }
    void readsTimesBooleansAndLargeNumbers() {
        QFETCH(QString, file);
        QString error;
        auto sheet = readSheet(path(file), WhichSheet::Active, &error);
        QVERIFY2(sheet, qPrintable(error));
        QCOMPARE(sheet->name(), s(u"其他"));
        QCOMPARE(sheet->text(1, 2), QStringLiteral("12:30:00"));
        QCOMPARE(sheet->text(1, 3), QStringLiteral("123456789012"));
        QCOMPARE(sheet->text(1, 1), QStringLiteral("TRUE"));
        QCOMPARE(sheet->text(1, 4), QStringLiteral("FALSE"));
        QCOMPARE(sheet->number(1, 1), std::optional<double>(1));
    }

    void progressAndStop_data() { readsEveryCellExactly_data(); }
    void progressAndStop() {
        QFETCH(QString, file);
        struct Sink : zorv::ProgressSink {
            bool stop = false;
            bool stopRequested() override { return stop; }
        } sink;
        QString error;
        bool stopped = true;
        // Read on a worker thread while this one watches: the same cells.
        auto sheet = readSheet(path(file), WhichSheet::First, &error, &sink, &stopped);
        QVERIFY2(sheet, qPrintable(error));
        QVERIFY(!stopped);
        QCOMPARE(sheet->rows(), kExpected);

        sink.stop = true;
        QCOMPARE(readSheet(path(file), WhichSheet::First, &error, &sink, &stopped), std::nullopt);
        QVERIFY(stopped);
        QVERIFY2(error.contains(path(file)), qPrintable(error));
    }

    void readsHandWrittenPackage() {
        // Parts as other programs write them: prefixed names, an empty shared
        // string before a filled one, rich and phonetic runs, escapes, cells
        // and rows without references, rows out of order, the 1904 date system.
        const QJsonObject parts{
            {QStringLiteral("_rels/.rels"),
             QStringLiteral(
                 "<Relationships "
                 "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                 "<Relationship Id=\"rId1\" "
                 "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
                 "officeDocument\" Target=\"/xl/book.xml\"/>"
                 "</Relationships>")},
            {QStringLiteral("xl/book.xml"),
             QStringLiteral(
                 "<x:workbook "
                 "xmlns:x=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                 "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
                 "<x:workbookPr date1904=\"true\"/><x:bookViews><x:workbookView "
                 "activeTab=\"0\"/></x:bookViews>"
                 "<x:sheets><x:sheet name=\"表一\" sheetId=\"1\" "
                 "r:id=\"rId7\"/></x:sheets></x:workbook>")},
            {QStringLiteral("xl/_rels/book.xml.rels"),
             QStringLiteral(
                 "<Relationships "
                 "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                 "<Relationship Id=\"rId7\" "
                 "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
                 "worksheet\" Target=\"sheets/one.xml\"/>"
                 "<Relationship Id=\"rId2\" "
                 "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
                 "sharedStrings\" Target=\"../xl/strings.xml\"/>"
                 "<Relationship Id=\"rId3\" "
                 "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
                 "styles\" Target=\"styles.xml\"/>"
                 "</Relationships>")},
            {QStringLiteral("xl/strings.xml"),
             QStringLiteral(
                 "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
                 "<si><t>first</t></si><si><t/></si><si><t>after empty</t></si>"
                 "<si><r><rPr><b/></rPr><t>ri</t></r><r><t xml:space=\"preserve\">ch </t></r><rPh "
                 "sb=\"0\" eb=\"1\"><t>ふり</t></rPh></si>"
                 "<si><t>line_x000D_break_x005F_x0041_</t></si></sst>")},
            {QStringLiteral("xl/styles.xml"),
             QStringLiteral(
                 "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
                 "<numFmts count=\"1\"><numFmt numFmtId=\"164\" "
                 "formatCode=\"yyyy/m/d;@\"/></numFmts>"
                 "<cellStyleXfs count=\"1\"><xf numFmtId=\"14\"/></cellStyleXfs>"
                 "<cellXfs count=\"4\"><xf numFmtId=\"0\"/><xf numFmtId=\"164\"/><xf "
                 "numFmtId=\"14\"/><xf numFmtId=\"2\"/></cellXfs>"
                 "</styleSheet>")},
            {QStringLiteral("xl/sheets/one.xml"),
             QStringLiteral(
                 "<worksheet "
                 "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>"
                 "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v></c><c "
                 "r=\"C1\" s=\"1\"><v>0</v></c></row>"
                 "<row><c t=\"s\"><v>2</v></c><c t=\"b\"><v>1</v></c><c t=\"e\"><v>#DIV/0!</v></c>"
                 "<c t=\"str\"><f>A1&amp;\"x\"</f><v>formula text</v></c></row>"
                 "<row r=\"4\"><c r=\"B4\" t=\"s\"><v>3</v></c><c r=\"C4\" t=\"s\"><v>4</v></c><c "
                 "r=\"D4\" s=\"3\"><v>2.5</v></c>"
                 "<c r=\"E4\" t=\"inlineStr\"><is><r><t>in</t></r><r><t>line</t></r></is></c><c "
                 "r=\"F4\" s=\"2\"><v>1</v></c>"
                 "<c r=\"G4\" s=\"1\"/></row>"
                 "<row r=\"3\"><c r=\"A3\"><v>7</v></c></row>"
                 "</sheetData></worksheet>")},
        };
        const QString file = path(QStringLiteral("hand.xlsx"));
        QCOMPARE(writeSheetFixture(QStringLiteral("zip"), file,
                                   QJsonObject{{QStringLiteral("parts"), parts}}),
                 QString());
        QString error;
        auto sheet = readSheet(file, WhichSheet::Active, &error);
        QVERIFY2(sheet, qPrintable(error));
        QCOMPARE(sheet->name(), s(u"表一"));
        QCOMPARE(sheet->rowCount(), 4);
        QCOMPARE(sheet->columnCount(), 6); // G4 is styled but holds nothing
        QCOMPARE(sheet->rowTexts(1, 3),
                 (QStringList{QStringLiteral("first"), {}, QStringLiteral("1904-01-01")}));
        QCOMPARE(sheet->rowTexts(2, 4),
                 (QStringList{QStringLiteral("after empty"), QStringLiteral("TRUE"),
                              QStringLiteral("#DIV/0!"), QStringLiteral("formula text")}));
        QCOMPARE(sheet->text(3, 1), QStringLiteral("7"));
        QCOMPARE(sheet->rowTexts(4, 6),
                 (QStringList{{},
                              QStringLiteral("rich "),
                              QStringLiteral("line\rbreak_x0041_"),
                              QStringLiteral("2.50"), // built-in format 2 shows two decimals
                              QStringLiteral("inline"),
                              QStringLiteral("1904-01-02")}));
        QCOMPARE(sheet->cell(2, 3).kind, CellKind::Error);
    }
};

QTEST_GUILESS_MAIN(TestSheet)
#include "test_sheet.moc"
