#include "core/sheet/number_format.h"
#include "core/sheet/numformat.h"

#include <QTest>

using namespace zorv::sheet;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(zorv::sheet::DateStyle)

class TestNumFormat : public QObject {
    Q_OBJECT
private slots:
    void generalNumbers_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << 0.0 << QStringLiteral("0");
        QTest::newRow("negative zero") << -0.0 << QStringLiteral("0");
        QTest::newRow("integer") << 42.0 << QStringLiteral("42");
        QTest::newRow("negative integer") << -42.0 << QStringLiteral("-42");
        QTest::newRow("tenth") << 0.1 << QStringLiteral("0.1");
        QTest::newRow("binary noise") << 0.1 + 0.2 << QStringLiteral("0.3");
        QTest::newRow("negative decimal") << -2.5 << QStringLiteral("-2.5");
        QTest::newRow("large decimal") << 1234567.1 << QStringLiteral("1234567.1");
        QTest::newRow("third") << 1.0 / 3 << QStringLiteral("0.333333333333333");
        QTest::newRow("15 digits") << 123456789012345.0 << QStringLiteral("123456789012345");
        QTest::newRow("huge") << 1e20 << QStringLiteral("1E+20");
        QTest::newRow("tiny") << 1.5e-10 << QStringLiteral("1.5E-10");
        QTest::newRow("small fixed") << 0.000001 << QStringLiteral("0.000001");
    }
    void generalNumbers() {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(formatGeneral(value), text);
    }

    void formatCodes_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<DateStyle>("style");
        QTest::newRow("iso date") << QStringLiteral("yyyy-mm-dd") << DateStyle::Date;
        QTest::newRow("month name") << QStringLiteral("mmm") << DateStyle::Date;
        QTest::newRow("date time") << QStringLiteral("yyyy-mm-dd hh:mm:ss") << DateStyle::DateTime;
        QTest::newRow("upper case") << QStringLiteral("YYYY-MM-DD") << DateStyle::Date;
        QTest::newRow("minutes") << QStringLiteral("mm:ss") << DateStyle::Time;
        QTest::newRow("elapsed") << QStringLiteral("[h]:mm:ss") << DateStyle::Time;
        QTest::newRow("am/pm") << QStringLiteral("h:mm AM/PM") << DateStyle::Time;
        QTest::newRow("chinese") << QStringLiteral("[$-804]yyyy\"年\"m\"月\"d\"日\"")
                                 << DateStyle::Date;
        QTest::newRow("general") << QStringLiteral("General") << DateStyle::None;
        QTest::newRow("decimal") << QStringLiteral("0.00") << DateStyle::None;
        QTest::newRow("quoted letters") << QStringLiteral("0\" days\"") << DateStyle::None;
        QTest::newRow("colour") << QStringLiteral("[Red]#,##0.00") << DateStyle::None;
        QTest::newRow("escaped d") << QStringLiteral("0\\d") << DateStyle::None;
        QTest::newRow("padding") << QStringLiteral("#,##0_);(#,##0)") << DateStyle::None;
        QTest::newRow("scientific") << QStringLiteral("0.00E+00") << DateStyle::None;
        QTest::newRow("text") << QStringLiteral("@") << DateStyle::None;
    }
    void formatCodes() {
        QFETCH(QString, code);
        QFETCH(DateStyle, style);
        QCOMPARE(classifyFormatCode(code.toStdString()), style);
    }

    void builtinFormats() {
        QCOMPARE(builtinDateStyle(14), DateStyle::Date);
        QCOMPARE(builtinDateStyle(22), DateStyle::DateTime);
        QCOMPARE(builtinDateStyle(21), DateStyle::Time);
        QCOMPARE(builtinDateStyle(31), DateStyle::Date); // zh-CN yyyy年m月d日
        QCOMPARE(builtinDateStyle(0), DateStyle::None);
        QCOMPARE(builtinDateStyle(2), DateStyle::None);
        QCOMPARE(builtinDateStyle(49), DateStyle::None); // "@"
    }

    void serials_data() {
        QTest::addColumn<double>("serial");
        QTest::addColumn<DateStyle>("style");
        QTest::addColumn<bool>("date1904");
        QTest::addColumn<QString>("text");
        QTest::newRow("first day")
            << 1.0 << DateStyle::Date << false << QStringLiteral("1900-01-01");
        QTest::newRow("before leap")
            << 59.0 << DateStyle::Date << false << QStringLiteral("1900-02-28");
        QTest::newRow("phantom leap")
            << 60.0 << DateStyle::Date << false << QStringLiteral("1900-02-29");
        QTest::newRow("after leap")
            << 61.0 << DateStyle::Date << false << QStringLiteral("1900-03-01");
        QTest::newRow("leap day") << 45351.0 << DateStyle::Date << false
                                  << QStringLiteral("2024-02-29");
        QTest::newRow("date drops time")
            << 45351.75 << DateStyle::Date << false << QStringLiteral("2024-02-29");
        QTest::newRow("date time") << 36525.99997685185 << DateStyle::DateTime << false
                                   << QStringLiteral("1999-12-31 23:59:58");
        QTest::newRow("rounds into next day") << 45351.999999999 << DateStyle::DateTime << false
                                              << QStringLiteral("2024-03-01 00:00:00");
        QTest::newRow("time") << 0.5208333333333334 << DateStyle::Time << false
                              << QStringLiteral("12:30:00");
        QTest::newRow("1904 origin")
            << 0.0 << DateStyle::Date << true << QStringLiteral("1904-01-01");
        QTest::newRow("1904 leap day")
            << 43889.0 << DateStyle::Date << true << QStringLiteral("2024-02-29");
        QTest::newRow("negative") << -1.0 << DateStyle::Date << false << QStringLiteral("-1");
        QTest::newRow("beyond 9999")
            << 3e6 << DateStyle::Date << false << QStringLiteral("3000000");
        QTest::newRow("last day") << 2958465.0 << DateStyle::Date << false
                                  << QStringLiteral("9999-12-31");
        QTest::newRow("last second") << 2958465.99998 << DateStyle::DateTime << false
                                     << QStringLiteral("9999-12-31 23:59:58");
        // Past the last day a serial is no date: the number stays, never a
        // year 10000 or a date wrapped round to an early one.
        QTest::newRow("first serial past the last day")
            << 2958466.0 << DateStyle::Date << false << QStringLiteral("2958466");
        QTest::newRow("rounds past the last day")
            << 2958465.999999999 << DateStyle::DateTime << false << QStringLiteral("2958466");
        QTest::newRow("time rounding past the last day")
            << 2958465.999999999 << DateStyle::Time << false << QStringLiteral("2958466");
        QTest::newRow("1904 last day")
            << 2957003.0 << DateStyle::Date << true << QStringLiteral("9999-12-31");
        QTest::newRow("1904 first serial past the last day")
            << 2957004.0 << DateStyle::Date << true << QStringLiteral("2957004");
        QTest::newRow("1904 rounds past the last day")
            << 2957003.999999999 << DateStyle::Date << true << QStringLiteral("2957004");
    }
    void serials() {
        QFETCH(double, serial);
        QFETCH(DateStyle, style);
        QFETCH(bool, date1904);
        QFETCH(QString, text);
        QCOMPARE(formatSerial(serial, style, date1904), text);
    }

    // Numbers as a cell shows them through its format code.
    void shownThroughFormat_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("shown");
        auto row = [](const char *tag, const QString &code, double v, const QString &shown) {
            QTest::newRow(tag) << code << v << shown;
        };
        row("general", u"General"_s, 0.1 + 0.2, u"0.3"_s);
        row("percent", u"0.0%"_s, 0.974, u"97.4%"_s);
        row("whole percent", u"0%"_s, 0.125, u"13%"_s);
        row("thousands", u"#,##0"_s, 1234, u"1,234"_s);
        row("thousands negative", u"#,##0"_s, -1234567, u"-1,234,567"_s);
        row("thousands decimals", u"#,##0.00"_s, 1234.5, u"1,234.50"_s);
        row("fixed", u"0.00"_s, 3.5, u"3.50"_s);
        row("rounded", u"0"_s, 2.5, u"3"_s);
        row("optional decimals", u"0.##"_s, 3.5, u"3.5"_s);
        row("leading zeros", u"00000"_s, 123, u"00123"_s);
        row("no integer zero", u"#.00"_s, 0.5, u".50"_s);
        row("elapsed", u"[h]:mm:ss"_s, 1.5, u"36:00:00"_s);
        row("elapsed minutes", u"[mm]:ss"_s, 1.0 / 24, u"60:00"_s);
        row("currency quoted", u"\"¥\"#,##0.00"_s, 1234.5, u"¥1,234.50"_s);
        row("currency escaped", u"\\¥#,##0.00"_s, -5, u"-¥5.00"_s);
        row("currency locale", u"[$¥-804]#,##0.00"_s, 12, u"¥12.00"_s);
        row("negative section", u"#,##0.00_);(#,##0.00)"_s, -3, u"(3.00)"_s);
        row("positive with pad", u"#,##0.00_);(#,##0.00)"_s, 3, u"3.00 "_s);
        row("red negative", u"0.00;[Red]-0.00"_s, -1.5, u"-1.50"_s);
        row("zero section", u"0.00;-0.00;\"-\""_s, 0, u"-"_s);
        row("scientific", u"0.00E+00"_s, 12345, u"1.23E+04"_s);
        row("scientific small", u"0.00E+00"_s, 0.00012, u"1.20E-04"_s);
        row("text format", u"@"_s, 42, u"42"_s);
        row("scaled thousands", u"#,##0,"_s, 1234567, u"1,235"_s);
        row("literal suffix", u"0\" 件\""_s, 3, u"3 件"_s);
        row("rounds to zero", u"0.0"_s, -0.01, u"0.0"_s);
        row("condition", u"[<100]0.0;0"_s, 5, u"5.0"_s);
        row("date keeps iso", u"yyyy/m/d"_s, 45351, u"2024-02-29"_s);
        row("builtin 22", QString::fromStdString(builtinFormatCode(22)), 45351.5,
            u"2024-02-29 12:00:00"_s);
    }
    void shownThroughFormat() {
        QFETCH(QString, code);
        QFETCH(double, value);
        QFETCH(QString, shown);
        QCOMPARE(NumberFormat(code.toStdString()).show(value, false), shown);
    }
};

QTEST_GUILESS_MAIN(TestNumFormat)
#include "test_numformat.moc"
