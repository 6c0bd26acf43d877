#include "core/grid/grid_save_dialog.h"
#include "support/scripted_platform.h"
#include "support/tempdir.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace zorv;

class TestSaveDialog : public QObject {
    Q_OBJECT
private slots:
    void formatFromFilterOrExtension_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("format");
        QTest::newRow("csv filter") << u"CSV文件(*.csv)"_s << u"/t/a.txt"_s << int(SaveFormat::Csv);
        QTest::newRow("excel filter")
            << u"Excel文件(*.xlsx)"_s << u"/t/a"_s << int(SaveFormat::Xlsx);
        QTest::newRow("html by extension") << QString() << u"/t/a.HTM"_s << int(SaveFormat::Html);
        QTest::newRow("xlsx by extension") << QString() << u"/t/a.xlsx"_s << int(SaveFormat::Xlsx);
        QTest::newRow("unknown is text") << QString() << u"/t/a.dat"_s << int(SaveFormat::Tsv);
    }
    void formatFromFilterOrExtension() {
        QFETCH(QString, filter);
        QFETCH(QString, path);
        QFETCH(int, format);
        QCOMPARE(int(saveFormatFor(filter, path)), format);
    }

    void savesChosenFileOrReportsWhyNot() {
        test::ScriptedPlatform p;
        test::TestHome home;
        Grid grid({{u"md"_s, ColType::String, u"名单"_s}});
        grid.setItem(grid.insertRow(), 1, u"张三"_s);

        QVERIFY(!saveGridWithDialog(grid)); // cancelled: nothing written, no message
        QVERIFY(p.messages.isEmpty());

        const QString csv = home.file(u"out.csv"_s);
        p.nextFile(csv, u"CSV文件(*.csv)"_s);
        QVERIFY(saveGridWithDialog(grid));
        QVERIFY(QString::fromUtf8(test::readFile(csv)).contains(u"张三"_s));
        QCOMPARE(p.dialogTitles.last(), u"另存为"_s);

        p.nextFile(home.file(u"missing/folder/out.txt"_s));
        QVERIFY(!saveGridWithDialog(grid));
        QCOMPARE(p.messages.size(), 1);
        QCOMPARE(p.messages.first().title, u"提示"_s);
    }
};

QTEST_GUILESS_MAIN(TestSaveDialog)
#include "test_save_dialog.moc"
