// zorv sheet: a spreadsheet written as the sheet-copy imports see it.
#include "../core/sheet/biff_fixture.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString kOffice = u"" ZORV_SOURCE_DIR "/tests/core/sheet/data/office/"_s;

struct Run {
    int exitCode = -1;
    QString out, err;
};

Run runZorv(const QStringList &args) {
    QProcess p;
    p.start(QStringLiteral(ZORV_CLI_EXE), args);
    Run r;
    if (!p.waitForFinished(60000))
        return r;
    r.exitCode = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

} // namespace

class TestCliSheet : public QObject {
    Q_OBJECT
private slots:
    void writesSheets_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("firstLine");
        QTest::addColumn<int>("lines");
        const QString book = kOffice + u"mixed-97.xls"_s;
        QTest::newRow("active sheet") << QStringList{book} << u"数字\t42"_s << 24;
        QTest::newRow("by number")
            << QStringList{book, u"--sheet"_s, u"1"_s} << u"姓\t名\t全名\t数量\t单价\t合计"_s << 7;
        QTest::newRow("by name") << QStringList{book, u"--sheet"_s, u"共享公式"_s}
                                 << u"1\t2\t3\t10"_s << 40;
        QTest::newRow("every sheet")
            << QStringList{book, u"--all"_s} << u"#sheet 名单"_s << 4 + 7 + 24 + 40 + 1;
        QTest::newRow("xlsx source")
            << QStringList{kOffice + u"mixed.xlsx"_s, u"--sheet"_s, u"类型"_s} << u"数字\t42"_s
            << 24;
    }
    void writesSheets() {
        QFETCH(QStringList, args);
        QFETCH(QString, firstLine);
        QFETCH(int, lines);
        const Run r = runZorv(QStringList{u"sheet"_s} + args);
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
        const QStringList got = r.out.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(got.first(), firstLine);
        QCOMPARE(got.size(), lines);
    }

    // The shown texts: formula results, booleans, errors, formats.
    void showsWhatTheSheetShows() {
        const Run r = runZorv({u"sheet"_s, kOffice + u"mixed-97.xls"_s});
        QCOMPARE(r.exitCode, 0);
        for (const QString &line :
             {u"公式真\tTRUE"_s, u"除零\t#DIV/0!"_s, u"无值\t#N/A"_s, u"空串\t"_s,
              u"百分比\t97.4%"_s, u"千分位\t1,234"_s, u"累计时间\t36:00:00"_s, u"货币\t¥1,234.50"_s,
              u"日期\t2024-02-29"_s})
            QVERIFY2(r.out.contains(u'\n' + line + u'\n'), qPrintable(line));
        // The xlsx source shows the same, except for formulas whose results
        // the writing library did not compute.
        const Run x = runZorv({u"sheet"_s, kOffice + u"mixed.xlsx"_s, u"--sheet"_s, u"类型"_s});
        for (const QString &line : {u"百分比\t97.4%"_s, u"千分位\t1,234"_s, u"两位小数\t3.50"_s,
                                    u"累计时间\t36:00:00"_s, u"货币\t¥1,234.50"_s})
            QVERIFY2(x.out.contains(u'\n' + line + u'\n'), qPrintable(line));
    }

    void refusals_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("error");
        QTest::newRow("missing file") << QStringList{u"/nowhere/x.xls"_s} << u"找不到文件"_s;
        QTest::newRow("no such sheet")
            << QStringList{kOffice + u"mixed-97.xls"_s, u"--sheet"_s, u"无此表"_s}
            << u"没有工作表 \"无此表\""_s;
        QTest::newRow("not a spreadsheet")
            << QStringList{kOffice + u"make_fixtures.py"_s} << u"不是 Excel 电子表格"_s;
        QTest::newRow("no file") << QStringList{} << u"缺少文件参数"_s;
        QTest::newRow("both options")
            << QStringList{kOffice + u"mixed-97.xls"_s, u"--all"_s, u"--sheet"_s, u"1"_s}
            << u"不能同时使用"_s;
    }
    void refusals() {
        QFETCH(QStringList, args);
        QFETCH(QString, error);
        const Run r = runZorv(QStringList{u"sheet"_s} + args);
        QCOMPARE(r.exitCode, 2);
        QVERIFY(r.out.isEmpty());
        QVERIFY2(r.err.contains(error), qPrintable(r.err));
    }

    void rowsDataInOrder_data() {
        QTest::addColumn<int>("rows");
        QTest::newRow("one row") << 1;
        QTest::newRow("one row past a block") << 4097;
        QTest::newRow("many blocks") << 30001;
    }
    // A long sheet comes out whole and in order, row after row, quoted where
    // a field needs it, whichever thread wrote its lines.
    void rowsDataInOrder() {
        QFETCH(int, rows);
        using namespace zorv::test;
        BiffStream s;
        s.rec(0x0809, le16(0x0600) + le16(0x0005) + QByteArray(12, '\0'));
        const int at =
            s.rec(0x0085, le32(0) + QByteArray(2, '\0') + ustr(QStringLiteral("S"), true)) + 4;
        s.rec(0x000A, {});
        s.patch32(at, quint32(s.data.size()));
        s.rec(0x0809, le16(0x0600) + le16(0x0010) + QByteArray(12, '\0'));
        QStringList expected;
        for (int r = 0; r < rows; ++r) {
            const QString text = r % 3 ? u"行%1"_s.arg(r) : u"a\"%1"_s.arg(r);
            s.rec(0x0204, BiffStream::cell(r, 0) + ustr(text));
            s.rec(0x027E, BiffStream::cell(r, 1) + le32(quint32(r) << 2 | 2));
            expected << (r % 3 ? text : u"\"a\"\"%1\""_s.arg(r)) + u'\t' + QString::number(r);
        }
        s.rec(0x000A, {});
        QTemporaryDir dir;
        const QString p = dir.filePath(u"long.xls"_s);
        QCOMPARE(writeCompound(p, s.data), QString());
        const Run r = runZorv({u"sheet"_s, p});
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
        QVERIFY(r.out.endsWith(u'\n'));
        QCOMPARE(r.out.chopped(1).split(u'\n'), expected);
    }

    void damagedFileRefusedWhole() {
        QTemporaryDir dir;
        QFile in(kOffice + u"mixed-97.xls"_s);
        QVERIFY(in.open(QIODevice::ReadOnly));
        const QString cut = dir.filePath(u"cut.xls"_s);
        QFile out(cut);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(in.readAll().left(9000));
        out.close();
        const Run r = runZorv({u"sheet"_s, cut, u"--all"_s});
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.err.contains(u"已损坏"_s), qPrintable(r.err));
        QVERIFY2(r.out.isEmpty(), qPrintable(r.out)); // nothing read in part
    }
};

QTEST_GUILESS_MAIN(TestCliSheet)
#include "test_cli_sheet.moc"
