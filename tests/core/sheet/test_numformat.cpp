#include "core/sheet/numformat.h"

#include <QTest>

using namespace zorv::sheet;

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
};

QTEST_GUILESS_MAIN(TestNumFormat)
#include "test_numformat.moc"
