#include "biff_fixture.h"
#include "core/sheet/workbook.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

using namespace zorv::sheet;
using namespace zorv::test;
using namespace Qt::StringLiterals;

namespace {

const QString kOffice = QStringLiteral(ZORV_SOURCE_DIR "/tests/core/sheet/data/office/");

QJsonObject expectedOf(const QString &file) {
    QFile f(kOffice + QStringLiteral("expected.json"));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(f.readAll()).object().value(file).toObject();
}

// BIFF5 globals: BOF, code page, WINDOW1 naming the active tab, FORMAT and
// XFs (XF 1 shows percent), then one BOUNDSHEET per sheet name; returns the
// offsets of the BOUNDSHEET records' position fields.
QList<int> biff5Globals(BiffStream &s, const QList<QByteArray> &names, int active, int codePage) {
    s.rec(0x0809, le16(0x0500) + le16(0x0005) + le16(0) + le16(0));
    s.rec(0x0042, le16(codePage));
    s.rec(0x003D, le16(0) + le16(0) + le16(100) + le16(100) + le16(0x38) + le16(active) + le16(0) +
                      le16(1) + le16(600));
    const QByteArray pct("0.0%");
    s.rec(0x041E, le16(164) + QByteArray(1, char(pct.size())) + pct);
    s.rec(0x00E0, le16(0) + le16(0) + QByteArray(12, '\0'));
    s.rec(0x00E0, le16(0) + le16(164) + QByteArray(12, '\0'));
    QList<int> at;
    for (const QByteArray &n : names)
        at << s.rec(0x0085, le32(0) + QByteArray(1, '\0') + QByteArray(1, '\0') +
                                QByteArray(1, char(n.size())) + n) +
                  4;
    s.rec(0x000A, {});
    return at;
}

} // namespace

class TestXls : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

    QString write(const QString &name, const QByteArray &stream, const char *streamName) {
        const QString p = path(name);
        const QString error = streamName ? writeCompound(p, stream, streamName) : QString();
        if (!streamName) {
            QFile f(p);
            if (!f.open(QIODevice::WriteOnly))
                return {};
            f.write(stream);
        }
        return error.isEmpty() ? p : QString();
    }

    // A BIFF8 workbook of one sheet whose globals hold the given SST record
    // (and what follows it) and whose cells are the given records.
    QString biff8(const QString &name, const QByteArray &sstRecords, const QByteArray &cells) {
        BiffStream s;
        s.rec(0x0809, le16(0x0600) + le16(0x0005) + QByteArray(12, '\0'));
        const int at =
            s.rec(0x0085, le32(0) + QByteArray(2, '\0') + ustr(QStringLiteral("S"), true)) + 4;
        s.data += sstRecords;
        s.rec(0x000A, {});
        s.patch32(at, quint32(s.data.size()));
        s.rec(0x0809, le16(0x0600) + le16(0x0010) + QByteArray(12, '\0'));
        s.data += cells;
        s.rec(0x000A, {});
        return write(name, s.data, "Workbook");
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    // Files saved by a spreadsheet program read cell for cell as an
    // independent reader reads them.
    void officeFilesMatchIndependentReader_data() {
        QTest::addColumn<QString>("file");
        QTest::newRow("1900 dates") << QStringLiteral("mixed-97.xls");
        QTest::newRow("1904 dates") << QStringLiteral("mixed1904-97.xls");
    }
    void officeFilesMatchIndependentReader() {
        QFETCH(QString, file);
        const QJsonObject expected = expectedOf(file);
        QVERIFY(!expected.isEmpty());
        Workbook book;
        QVERIFY2(book.open(kOffice + file), qPrintable(book.errorString()));
        const QJsonArray sheets = expected.value(QStringLiteral("sheets")).toArray();
        QCOMPARE(book.sheetCount(), sheets.size());
        QCOMPARE(book.activeSheet(), expected.value(QStringLiteral("active")).toInt());
        for (int i = 0; i < sheets.size(); ++i) {
            const QJsonObject want = sheets[i].toObject();
            QCOMPARE(book.sheetNames().at(i), want.value(QStringLiteral("name")).toString());
            const auto sheet = book.readSheet(i);
            QVERIFY2(sheet, qPrintable(book.errorString()));
            const QJsonArray rows = want.value(QStringLiteral("rows")).toArray();
            for (int r = 0; r < rows.size(); ++r) {
                const QJsonArray row = rows[r].toArray();
                for (int c = 0; c < row.size(); ++c) {
                    const QJsonArray cell = row[c].toArray();
                    const QString kind = cell[0].toString();
                    const Cell got = sheet->cell(r + 1, c + 1);
                    const QByteArray where = QStringLiteral("%1 %2!R%3C%4 (%5)")
                                                 .arg(file, sheet->name())
                                                 .arg(r + 1)
                                                 .arg(c + 1)
                                                 .arg(kind)
                                                 .toUtf8();
                    if (kind == u"text") {
                        QVERIFY2(got.text == cell[1].toString(), where);
                    } else if (kind == u"empty") {
                        QVERIFY2(got.isEmpty(), where);
                    } else if (kind == u"error") {
                        QVERIFY2(got.kind == CellKind::Error && got.text == cell[1].toString(),
                                 where);
                    } else if (kind == u"boolean") {
                        QVERIFY2(got.kind == CellKind::Boolean && got.number == cell[1].toDouble(),
                                 where);
                    } else if (kind == u"date") {
                        QVERIFY2(got.kind == CellKind::Date && got.number == cell[1].toDouble(),
                                 where);
                    } else {
                        QVERIFY2(got.kind == CellKind::Number && got.number == cell[1].toDouble(),
                                 where);
                    }
                }
            }
            QCOMPARE(sheet->rowCount(), rows.size());
        }
    }

    // The same workbooks saved as Excel 5.0/95 by another spreadsheet
    // program (code page 1200, text beyond eight bits as UTF-16) read as
    // their Excel 97 copies, cell for cell, but for text past the 255 bytes
    // the older format holds.
    void excel95FilesMatchTheirExcel97Copies_data() {
        QTest::addColumn<QString>("file");
        QTest::newRow("1900 dates") << QStringLiteral("mixed");
        QTest::newRow("1904 dates") << QStringLiteral("mixed1904");
    }
    void excel95FilesMatchTheirExcel97Copies() {
        QFETCH(QString, file);
        Workbook old, copy;
        QVERIFY2(old.open(kOffice + file + u"-95.xls"_s), qPrintable(old.errorString()));
        QVERIFY2(copy.open(kOffice + file + u"-97.xls"_s), qPrintable(copy.errorString()));
        QCOMPARE(old.sheetNames(), copy.sheetNames());
        QCOMPARE(old.activeSheet(), copy.activeSheet());
        for (int i = 0; i < copy.sheetCount(); ++i) {
            const auto got = old.readSheet(i);
            const auto want = copy.readSheet(i);
            QVERIFY2(got && want, qPrintable(old.errorString() + copy.errorString()));
            QCOMPARE(got->rowCount(), want->rowCount());
            for (int r = 1; r <= want->rowCount(); ++r) {
                for (int c = 1; c <= 8; ++c) {
                    const Cell a = got->cell(r, c);
                    const Cell b = want->cell(r, c);
                    const QByteArray where = QStringLiteral("%1 R%2C%3: %4 / %5")
                                                 .arg(file)
                                                 .arg(r)
                                                 .arg(c)
                                                 .arg(a.text, b.text)
                                                 .toUtf8();
                    QVERIFY2(a.kind == b.kind, where);
                    QVERIFY2(a.number == b.number, where);
                    if (b.text.toUtf8().size() > 255)
                        QVERIFY2(b.text.startsWith(a.text) && !a.text.isEmpty(), where);
                    else
                        QVERIFY2(a.text == b.text, where);
                }
            }
        }
    }

    // What the cells show, as a copy from the spreadsheet program gives it.
    void officeFileShowsCells_data() {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("value");
        QTest::newRow("formula true") << u"公式真"_s << u"TRUE"_s << u"TRUE"_s;
        QTest::newRow("formula false") << u"公式假"_s << u"FALSE"_s << u"FALSE"_s;
        QTest::newRow("div0") << u"除零"_s << u"#DIV/0!"_s << u"#DIV/0!"_s;
        QTest::newRow("n/a") << u"无值"_s << u"#N/A"_s << u"#N/A"_s;
        QTest::newRow("empty string") << u"空串"_s << QString() << QString();
        QTest::newRow("text formula") << u"文字公式"_s << u"甲乙"_s << u"甲乙"_s;
        QTest::newRow("lookup") << u"查找"_s << u"42"_s << u"42"_s;
        QTest::newRow("noise") << u"小数"_s << u"0.3"_s << u"0.3"_s;
        QTest::newRow("percent") << u"百分比"_s << u"97.4%"_s << u"0.974"_s;
        QTest::newRow("thousands") << u"千分位"_s << u"1,234"_s << u"1234"_s;
        QTest::newRow("fixed") << u"两位小数"_s << u"3.50"_s << u"3.5"_s;
        QTest::newRow("elapsed") << u"累计时间"_s << u"36:00:00"_s << u"12:00:00"_s;
        QTest::newRow("currency") << u"货币"_s << u"¥1,234.50"_s << u"1234.5"_s;
        QTest::newRow("text format") << u"文本格式"_s << u"00123"_s << u"00123"_s;
        QTest::newRow("date") << u"日期"_s << u"2024-02-29"_s << u"2024-02-29"_s;
        QTest::newRow("stamp") << u"时刻"_s << u"1999-12-31 23:59:58"_s << u"1999-12-31 23:59:58"_s;
        QTest::newRow("clock") << u"时间"_s << u"12:30:00"_s << u"12:30:00"_s;
    }
    void officeFileShowsCells() {
        QFETCH(QString, label);
        QFETCH(QString, shown);
        QFETCH(QString, value);
        for (const QString &file : {u"mixed-97.xls"_s, u"mixed1904-97.xls"_s}) {
            Workbook book;
            QVERIFY(book.open(kOffice + file));
            const auto sheet = book.readSheet(book.activeSheet());
            QVERIFY(sheet);
            const int row = int(sheet->column(1).indexOf(label)) + 1;
            QVERIFY2(row > 0, qPrintable(label));
            QCOMPARE(sheet->shown(row, 2), shown);
            QCOMPARE(sheet->rowTexts(row, 2).at(1), shown);
            QCOMPARE(sheet->text(row, 2), value);
        }
    }

    void formulasOfFirstSheet() {
        Workbook book;
        QVERIFY(book.open(kOffice + u"mixed-97.xls"_s));
        const auto sheet = book.readSheet(0);
        QVERIFY(sheet);
        QCOMPARE(sheet->rowTexts(2, 6),
                 (QStringList{u"张"_s, u"三"_s, u"张三"_s, u"3"_s, u"2.5"_s, u"7.5"_s}));
        QCOMPARE(sheet->shown(7, 6), u"4321.25"_s);
        const auto shared = book.readSheet(2);
        QVERIFY(shared);
        QCOMPARE(shared->rowTexts(40, 3), (QStringList{u"40"_s, u"80"_s, u"120"_s}));
        QCOMPARE(shared->text(3, 4), u"30"_s); // an array formula's cell
    }

    // Excel 95 files carry their text in the code page they name.
    void biff5CodePage() {
        BiffStream s;
        const QList<int> at = biff5Globals(s, {QByteArray("\xC3\xFB\xB5\xA5"), "B"}, 1, 936);
        QList<int> starts;
        for (int i = 0; i < 2; ++i) {
            starts << int(s.data.size());
            s.rec(0x0809, le16(0x0500) + le16(0x0010) + le16(0) + le16(0));
            s.rec(0x0204, BiffStream::cell(0, 0) + le16(4) + QByteArray("\xD6\xD0\xCE\xC4"));
            s.rec(0x0203, BiffStream::cell(0, 1, 1) + f64(0.974));
            s.rec(0x027E, BiffStream::cell(1, 0) + le32(quint32(1234) << 2 | 2));
            s.rec(0x027E, BiffStream::cell(1, 1) + le32(quint32(12345) << 2 | 3)); // 123.45
            s.rec(0x00BD, le16(2) + le16(0) + le16(0) + le32(7u << 2 | 2) + le16(0) +
                              le32(8u << 2 | 2) + le16(1));
            s.rec(0x0205, BiffStream::cell(3, 0) + QByteArray(1, '\1') + QByteArray(1, '\0'));
            s.rec(0x0205, BiffStream::cell(3, 1) + QByteArray(1, '\x2A') + QByteArray(1, '\1'));
            s.rec(0x0006, BiffStream::cell(4, 0) + QByteArray("\0\0\0\0\0\0\xFF\xFF", 8) + le16(0) +
                              le32(0) + le16(0));
            s.rec(0x0207, le16(4) + QByteArray("\xD5\xC5\xC8\xFD"));
            s.rec(0x0006, BiffStream::cell(4, 1) + QByteArray("\1\0\1\0\0\0\xFF\xFF", 8) + le16(0) +
                              le32(0) + le16(0));
            s.rec(0x000A, {});
        }
        s.patch32(at[0], quint32(starts[0]));
        s.patch32(at[1], quint32(starts[1]));
        const QString p = write(u"gbk.xls"_s, s.data, "Book");
        Workbook book;
        QVERIFY2(book.open(p), qPrintable(book.errorString()));
        QCOMPARE(book.sheetNames(), (QStringList{u"名单"_s, u"B"_s}));
        QCOMPARE(book.activeSheet(), 1);
        const auto sheet = book.readSheet(0);
        QVERIFY2(sheet, qPrintable(book.errorString()));
        QCOMPARE(sheet->rows(), (QList<QStringList>{{u"中文"_s, u"97.4%"_s},
                                                    {u"1234"_s, u"123.45"_s},
                                                    {u"7"_s, u"8"_s},
                                                    {u"TRUE"_s, u"#N/A"_s},
                                                    {u"张三"_s, u"TRUE"_s}}));
    }

    // Excel 2.x-4.0 worksheets are one stream of records; other kinds of
    // those versions are refused by name.
    void olderVersions_data() {
        QTest::addColumn<int>("bof");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("Excel 2 worksheet") << 0x0009 << 0x10 << QString();
        QTest::newRow("Excel 3 worksheet") << 0x0209 << 0x10 << QString();
        QTest::newRow("Excel 4 worksheet") << 0x0409 << 0x10 << QString();
        QTest::newRow("Excel 4 chart") << 0x0409 << 0x20 << u"图表"_s;
        QTest::newRow("Excel 4 macro sheet") << 0x0409 << 0x40 << u"宏表"_s;
        QTest::newRow("Excel 4 workbook") << 0x0409 << 0x100 << u"工作簿"_s;
    }
    void olderVersions() {
        QFETCH(int, bof);
        QFETCH(int, kind);
        QFETCH(QString, refusal);
        const bool biff2 = bof == 0x0009;
        BiffStream s;
        s.rec(bof, le16(bof == 0x0409 ? 0 : 2) + le16(kind) + (biff2 ? QByteArray() : le16(0)));
        s.rec(0x0042, le16(1252));
        const QByteArray pct("0.00%");
        s.rec(biff2 ? 0x001E : 0x041E,
              (biff2 ? QByteArray() : le16(0)) + QByteArray(1, char(pct.size())) + pct);
        const int xfType = bof == 0x0009 ? 0x0043 : bof == 0x0209 ? 0x0243 : 0x0443;
        s.rec(xfType, QByteArray(1, '\0') + QByteArray(1, '\0') + QByteArray(10, '\0'));
        auto head = [&](int row, int col, int format) -> QByteArray {
            if (biff2)
                return le16(row) + le16(col) + QByteArray(1, '\0') + QByteArray(1, char(format)) +
                       QByteArray(1, '\0');
            return le16(row) + le16(col) + le16(0);
        };
        if (biff2) {
            s.rec(0x0004, head(0, 0, 0) + QByteArray(1, '\3') + QByteArray("Caf\xE9", 4).left(3));
            s.rec(0x0003, head(0, 1, 0) + f64(2.5));
            s.rec(0x0002, head(1, 0, 0) + le16(7));
            s.rec(0x0003, head(1, 1, 0) + f64(0.5)); // format 0: the percent one
            s.rec(0x0006, head(2, 0, 0) + f64(6) + QByteArray(1, '\0') + QByteArray(1, '\0'));
        } else {
            s.rec(0x0204, head(0, 0, 0) + le16(4) + QByteArray("Caf\xE9", 4));
            s.rec(0x0203, head(0, 1, 0) + f64(2.5));
            s.rec(0x027E, head(1, 0, 0) + le32(7u << 2 | 2));
            s.rec(0x0205, head(1, 1, 0) + QByteArray(1, '\0') + QByteArray(1, '\0'));
            s.rec(bof == 0x0209 ? 0x0206 : 0x0406, head(2, 0, 0) + f64(6) + le16(0) + le16(0));
        }
        s.rec(0x000A, {});
        const QString p = write(u"old%1.xls"_s.arg(QString::fromLatin1(QTest::currentDataTag())),
                                s.data, nullptr);
        Workbook book;
        if (!refusal.isEmpty()) {
            QVERIFY(!book.open(p));
            QVERIFY2(book.errorString().contains(u"不支持的文件格式"_s) &&
                         book.errorString().contains(refusal),
                     qPrintable(book.errorString()));
            return;
        }
        QVERIFY2(book.open(p), qPrintable(book.errorString()));
        QCOMPARE(book.sheetNames(), QStringList{QStringLiteral("old%1").arg(
                                        QString::fromLatin1(QTest::currentDataTag()))});
        const auto sheet = book.readSheet(0);
        QVERIFY2(sheet, qPrintable(book.errorString()));
        QCOMPARE(sheet->text(1, 1), biff2 ? u"Caf"_s : u"Café"_s);
        QCOMPARE(sheet->text(1, 2), u"2.5"_s);
        QCOMPARE(sheet->text(2, 1), u"7"_s);
        QCOMPARE(sheet->shown(2, 2), biff2 ? u"50.00%"_s : u"FALSE"_s);
        QCOMPARE(sheet->text(3, 1), u"6"_s);
    }

    void streamLayouts_data() {
        QTest::addColumn<int>("cells");
        QTest::addColumn<bool>("scattered");
        QTest::addColumn<int>("rangeRows"); // the used range the sheet states
        QTest::newRow("small stream") << 20 << false << 20;
        QTest::newRow("one run of sectors") << 3000 << false << 3000;
        QTest::newRow("scattered sectors") << 3000 << true << 3000;
        QTest::newRow("range larger than the cells") << 3000 << false << 1000000;
        QTest::newRow("range smaller than the cells") << 3000 << true << 10;
    }
    // The record stream reads the same wherever its sectors lie in the file,
    // and a stated used range that lies changes nothing.
    void streamLayouts() {
        QFETCH(int, cells);
        QFETCH(bool, scattered);
        QFETCH(int, rangeRows);
        BiffStream s;
        s.rec(0x0809, le16(0x0600) + le16(0x0005) + QByteArray(12, '\0'));
        const int at =
            s.rec(0x0085, le32(0) + QByteArray(2, '\0') + ustr(QStringLiteral("S"), true)) + 4;
        s.rec(0x000A, {});
        s.patch32(at, quint32(s.data.size()));
        s.rec(0x0809, le16(0x0600) + le16(0x0010) + QByteArray(12, '\0'));
        s.rec(0x0200, le32(0) + le32(quint32(rangeRows)) + le16(0) + le16(2) + le16(0));
        for (int r = 0; r < cells; ++r)
            s.rec(0x027E, BiffStream::cell(r, 1) + le32(quint32(r) << 2 | 2));
        s.rec(0x000A, {});
        const QString p = path(QString::fromLatin1(QTest::currentDataTag()) + u".xls"_s);
        QCOMPARE(writeCompound(p, s.data), QString());
        QFile f(p);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QByteArray file = f.readAll();
        if (scattered) {
            QVERIFY(scatterWorkbook(file));
            QVERIFY(f.seek(0));
            QCOMPARE(f.write(file), file.size());
        }
        f.close();
        QCOMPARE(file.contains(s.data), !scattered); // the layout is as meant
        Workbook book;
        QVERIFY2(book.open(p), qPrintable(book.errorString()));
        const auto sheet = book.readSheet(0);
        QVERIFY2(sheet, qPrintable(book.errorString()));
        QCOMPARE(sheet->rowCount(), cells);
        QCOMPARE(sheet->cellCount(), qint64(cells));
        for (int r = 1; r <= cells; r += 97)
            QCOMPARE(sheet->rowTexts(r, 2), (QStringList{QString(), QString::number(r - 1)}));
        QCOMPARE(sheet->text(cells, 2), QString::number(cells - 1));
    }

    // A string cut between SST and CONTINUE goes on with its own width.
    void sstContinue() {
        QByteArray sst = le32(2) + le32(2) + le16(5) + QByteArray(1, '\0') + "abc";
        QByteArray cont = QByteArray(1, '\1') + le16(0x4E2D) + le16(0x6587) + ustr(u"x"_s);
        BiffStream s;
        s.rec(0x00FC, sst);
        s.rec(0x003C, cont);
        BiffStream cells;
        cells.rec(0x00FD, BiffStream::cell(0, 0) + le32(0));
        cells.rec(0x00FD, BiffStream::cell(0, 1) + le32(1));
        const QString p = biff8(u"cont.xls"_s, s.data, cells.data);
        Workbook book;
        QVERIFY2(book.open(p), qPrintable(book.errorString()));
        const auto sheet = book.readSheet(0);
        QVERIFY2(sheet, qPrintable(book.errorString()));
        QCOMPARE(sheet->rowTexts(1, 2), (QStringList{u"abc中文"_s, u"x"_s}));
    }

    // Damage anywhere refuses the whole file with the reason; nothing is
    // read in part.
    void damagedRefused_data() {
        QTest::addColumn<QByteArray>("sst");
        QTest::addColumn<QByteArray>("cells");
        const QByteArray cell0 = BiffStream::cell(0, 0);
        BiffStream lying;
        lying.rec(0x00FC, le32(40) + le32(40) + ustr(u"a"_s) + ustr(u"b"_s));
        BiffStream fewer;
        fewer.rec(0x00FC, le32(2) + le32(2) + ustr(u"a"_s) + ustr(u"b"_s));
        BiffStream broken; // the CONTINUE the cut string needs is missing
        broken.rec(0x00FC, le32(1) + le32(1) + le16(5) + QByteArray(1, '\0') + "abc");
        broken.rec(0x0042, le16(1200));
        BiffStream good;
        good.rec(0x00FC, le32(1) + le32(1) + ustr(u"a"_s));
        BiffStream useMissing;
        useMissing.rec(0x00FD, cell0 + le32(5));
        BiffStream cutCell;
        cutCell.rec(0x0203, cell0 + QByteArray(3, '\0'));
        BiffStream zeros;
        zeros.rec(0x00FD, cell0 + le32(0));
        zeros.data += QByteArray(64, '\0');
        BiffStream badMulRk;
        badMulRk.rec(0x00BD, le16(0) + le16(0) + le16(0) + QByteArray(3, '\0'));
        QTest::newRow("SST count lies") << lying.data << QByteArray();
        QTest::newRow("SST index beyond the table") << fewer.data << useMissing.data;
        QTest::newRow("CONTINUE missing") << broken.data << QByteArray();
        QTest::newRow("cell record cut short") << good.data << cutCell.data;
        QTest::newRow("zeroed data") << good.data << zeros.data;
        QTest::newRow("MULRK of odd size") << good.data << badMulRk.data;
    }
    void damagedRefused() {
        QFETCH(QByteArray, sst);
        QFETCH(QByteArray, cells);
        const QString p = biff8(u"bad.xls"_s, sst, cells);
        QString error;
        QVERIFY(!readSheet(p, WhichSheet::First, &error));
        QVERIFY2(error.contains(u"已损坏"_s) && error.contains(p) && error.contains(u'（'),
                 qPrintable(error));
        for (QChar c : error.mid(error.indexOf(u'（')))
            QVERIFY2(c.unicode() > 0x7F || !c.isLetter(), qPrintable(error)); // no English
    }

    // Cut or zeroed parts of a real file: refused or read, never a crash,
    // and a cut file is always refused.
    void damagedOfficeFile() {
        QFile f(kOffice + u"mixed-97.xls"_s);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray whole = f.readAll();
        for (qsizetype cut :
             {qsizetype(100), qsizetype(512), whole.size() / 2, whole.size() - 512}) {
            const QString p = write(u"cut.xls"_s, QByteArray(), nullptr);
            QFile out(p);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(whole.left(cut));
            out.close();
            QString error;
            QVERIFY(!readSheet(p, WhichSheet::Active, &error));
            QVERIFY2(error.contains(u"已损坏"_s), qPrintable(error));
        }
        int refused = 0;
        for (qsizetype sector = 512; sector < whole.size(); sector += 512) {
            QByteArray bytes = whole;
            bytes.replace(sector, 512, QByteArray(512, '\0'));
            const QString p = path(u"zeroed.xls"_s);
            QFile out(p);
            QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
            out.write(bytes);
            out.close();
            Workbook book;
            bool ok = book.open(p);
            for (int i = 0; ok && i < book.sheetCount(); ++i)
                ok = book.readSheet(i).has_value();
            if (!ok) {
                ++refused;
                QVERIFY2(book.errorString().contains(p), qPrintable(book.errorString()));
            }
        }
        QVERIFY(refused > 0);
    }
};

QTEST_GUILESS_MAIN(TestXls)
#include "test_xls.moc"
