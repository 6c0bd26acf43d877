#include "core/grid/grid_save_dialog.h"
#include "support/scripted_platform.h"
#include "support/tempdir.h"

#include <QFile>
#include <QTest>
#include <sys/stat.h>

using namespace Qt::Literals::StringLiterals;
using namespace zorv;

class TestSaveDialog : public QObject {
    Q_OBJECT
private slots:
    void targetFromTypeAndTypedName_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("written");
        QTest::addColumn<int>("format");
        QTest::newRow("excel type, bare name") << u"Excel文件(*.xlsx)"_s << u"/t/结果表"_s
                                               << u"/t/结果表.xlsx"_s << int(SaveFormat::Xlsx);
        QTest::newRow("text type, typed .xlsx") << u"文本文件(*.txt)"_s << u"/t/结果2.xlsx"_s
                                                << u"/t/结果2.xlsx"_s << int(SaveFormat::Xlsx);
        QTest::newRow("csv type, typed .txt")
            << u"CSV文件(*.csv)"_s << u"/t/a.txt"_s << u"/t/a.txt"_s << int(SaveFormat::Tsv);
        QTest::newRow("excel type, typed .HTM")
            << u"Excel文件(*.xlsx)"_s << u"/t/a.HTM"_s << u"/t/a.HTM"_s << int(SaveFormat::Html);
        QTest::newRow("csv type, typed .CSV")
            << u"CSV文件(*.csv)"_s << u"/t/a.CSV"_s << u"/t/a.CSV"_s << int(SaveFormat::Csv);
        QTest::newRow("html type, bare name, trailing dot")
            << u"HTML文件(*.html)"_s << u"/t/a."_s << u"/t/a.html"_s << int(SaveFormat::Html);
        QTest::newRow("unknown extension keeps the name, writes the type")
            << u"CSV文件(*.csv)"_s << u"/t/a.dat"_s << u"/t/a.dat"_s << int(SaveFormat::Csv);
        QTest::newRow("no filter, bare name")
            << QString() << u"/t/a"_s << u"/t/a.txt"_s << int(SaveFormat::Tsv);
        QTest::newRow("dot in a folder name only") << u"Excel文件(*.xlsx)"_s << u"/t/v1.2/a"_s
                                                   << u"/t/v1.2/a.xlsx"_s << int(SaveFormat::Xlsx);
    }
    void targetFromTypeAndTypedName() {
        QFETCH(QString, filter);
        QFETCH(QString, path);
        QFETCH(QString, written);
        QFETCH(int, format);
        const SaveTarget t = saveTargetFor(filter, path);
        QCOMPARE(t.path, written);
        QCOMPARE(int(t.format), format);
    }

    // Saved files are ordinary files of the user: the umask decides, not the
    // private mode of the temporary file they are written through.
    void savedFilesFollowTheUmask_data() {
        QTest::addColumn<QString>("filter");
        QTest::newRow("xlsx") << u"Excel文件(*.xlsx)"_s;
        QTest::newRow("text") << u"文本文件(*.txt)"_s;
    }
    void savedFilesFollowTheUmask() {
        QFETCH(QString, filter);
        test::ScriptedPlatform p;
        test::TestHome home;
        Grid grid({{u"md"_s, ColType::String, u"名单"_s}});
        grid.setItem(grid.insertRow(), 1, u"张三"_s);
        const mode_t old = ::umask(022);
        p.nextFile(home.file(u"结果"_s), filter);
        const bool saved = saveGridWithDialog(grid);
        ::umask(old);
        QVERIFY(saved);
        const QString written = saveTargetFor(filter, home.file(u"结果"_s)).path;
        struct stat st;
        QCOMPARE(::stat(QFile::encodeName(written).constData(), &st), 0);
        QCOMPARE(int(st.st_mode & 0777), 0644);
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

        // A bare name that gets an extension here asks before replacing.
        p.nextFile(home.file(u"out"_s), u"CSV文件(*.csv)"_s);
        p.nextAnswer(MsgAnswer::No);
        QVERIFY(!saveGridWithDialog(grid));
        QCOMPARE(p.messageLines().last(), u"另存为 / 文件“"_s + csv + u"”已存在，要替换它吗？"_s);
        p.clearRecord();

        p.nextFile(home.file(u"missing/folder/out.txt"_s));
        QVERIFY(!saveGridWithDialog(grid));
        QCOMPARE(p.messages.size(), 1);
        QCOMPARE(p.messages.first().title, u"提示"_s);
    }
};

QTEST_GUILESS_MAIN(TestSaveDialog)
#include "test_save_dialog.moc"
