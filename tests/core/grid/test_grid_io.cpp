// Text imports, the save-as formats and database retrieval of the grid model.
#include "core/grid/grid.h"
#include "core/platform/progress.h"
#include "core/text/gbtext.h"
#include "support/tempdir.h"

#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

using namespace Qt::StringLiterals;
using zorv::ColType;
using zorv::Grid;
using zorv::SaveFormat;

namespace {

QList<zorv::Column> columns() {
    return {{u"md"_s, ColType::String, u"名单"_s},
            {u"xh"_s, ColType::Number, u"序号"_s},
            {u"rq"_s, ColType::DateTime, u"日期"_s},
            {u"jg"_s, ColType::String, u"结果"_s}};
}

// Every shown row as tab-joined display texts.
QStringList rows(const Grid &g) {
    QStringList out;
    for (qint64 r = 1; r <= g.rowCount(); ++r) {
        QStringList cells;
        for (int c = 1; c <= g.columnCount(); ++c)
            cells << g.getItemString(r, c);
        out << cells.join(u'\t');
    }
    return out;
}

class StopAfter : public zorv::ProgressSink {
public:
    bool stopRequested() override { return true; }
};

} // namespace

class TestGridIo : public QObject {
    Q_OBJECT
private slots:
    void importText_data();
    void importText();
    void refusedImportLeavesGridAsItWas();
    void importStops();
    void importFileEncodings_data();
    void importFileEncodings();
    void importMissingFile();
    void tsvAndClipboard();
    void saveCsv();
    void saveTsvAndHtml();
    void saveXlsx();
    void saveToUnwritablePlace();
    void retrieve();
};

void TestGridIo::importText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("firstLine");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("lines") << u"张三\t1\t2024-01-02\t不同\n李四\t2\t\t相同\n"_s << 1ll
                           << QStringList{u"张三\t1\t2024-01-02 00:00:00\t不同"_s,
                                          u"李四\t2\t\t相同"_s};
    QTest::newRow("no final newline")
        << u"a\t1\nb\t2"_s << 1ll << QStringList{u"a\t1\t\t"_s, u"b\t2\t\t"_s};
    QTest::newRow("CR LF") << u"a\t1\r\nb\t2\r\n"_s << 1ll
                           << QStringList{u"a\t1\t\t"_s, u"b\t2\t\t"_s};
    QTest::newRow("from line 2") << u"名单\t序号\na\t1\nb\t2\n"_s << 2ll
                                 << QStringList{u"a\t1\t\t"_s, u"b\t2\t\t"_s};
    QTest::newRow("from line past the end") << u"a\t1\n"_s << 5ll << QStringList{};
    QTest::newRow("extra fields ignored")
        << u"a\t1\t\tx\tmore\tand more\n"_s << 1ll << QStringList{u"a\t1\t\tx"_s};
    QTest::newRow("missing fields empty") << u"only\n"_s << 1ll << QStringList{u"only\t\t\t"_s};
    QTest::newRow("empty line in the middle")
        << u"a\n\nb\n"_s << 1ll << QStringList{u"a\t\t\t"_s, u"\t\t\t"_s, u"b\t\t\t"_s};
    QTest::newRow("blanks kept in text")
        << u"  a b  \t 7 \n"_s << 1ll << QStringList{u"  a b  \t7\t\t"_s};
    QTest::newRow("empty text") << QString() << 1ll << QStringList{};
    QTest::newRow("long value kept") << QString(5000, u'长') + u"\t1"_s << 1ll
                                     << QStringList{QString(5000, u'长') + u"\t1\t\t"_s};
    // Spreadsheet quoting: a field that opens and closes with a quote.
    QTest::newRow("quoted tab, line break, number")
        << u"\"a\tb\"\t\"12\"\n\"two\nlines\"\t3\n"_s << 1ll
        << QStringList{u"a\tb\t12\t\t"_s, u"two\nlines\t3\t\t"_s};
    QTest::newRow("doubled quotes, empty quoted, CR LF")
        << u"\"say \"\"hi\"\"\"\t1\r\n\"\"\t\t\t\"end\"\r\n\"a\r\nb\"\t2\r\n"_s << 1ll
        << QStringList{u"say \"hi\"\t1\t\t"_s, u"\t\t\tend"_s, u"a\r\nb\t2\t\t"_s};
    QTest::newRow("quotes that do not quote are text")
        << u"a\"b\t1\n\"x\"y\t2\n\"open\t3\n"_s << 1ll
        << QStringList{u"a\"b\t1\t\t"_s, u"\"x\"y\t2\t\t"_s, u"\"open\t3\t\t"_s};
}

void TestGridIo::importText() {
    QFETCH(QString, text);
    QFETCH(qint64, firstLine);
    QFETCH(QStringList, expected);
    Grid g(columns());
    const zorv::ImportResult r = g.importText(text, firstLine);
    QVERIFY(r.ok());
    QCOMPARE(r.rows, qint64(expected.size()));
    QCOMPARE(rows(g), expected);
}

void TestGridIo::refusedImportLeavesGridAsItWas() {
    Grid g(columns());
    QVERIFY(g.importText(u"甲\t1\t2024-01-01\t相同\n乙\t2\n"_s).ok());
    g.selectRow(2, true);
    g.setRow(2);
    const QStringList before = rows(g);
    const QString tsvBefore = g.toTsv(true);

    struct Case {
        QString text;
        qint64 line;
        QString needle;
    };
    const QList<Case> cases = {
        {u"丙\t3\n丁\t四\n戊\t5\n"_s, 2, u"四"_s},
        {u"丙\t3\t2024-13-01\n"_s, 1, u"2024-13-01"_s},
        {u"header\txh\n丙\t3\n"_s, 1, u"xh"_s},
        {u"\"丙\n续\"\t3\n丁\t四\n"_s, 3, u"四"_s}, // the line in the text, not the row
    };
    for (const Case &c : cases) {
        const zorv::ImportResult r = g.importText(c.text);
        QVERIFY(!r.ok());
        QCOMPARE(r.rows, -1ll);
        QCOMPARE(r.errorLine, c.line);
        QVERIFY2(r.error.contains(u"第%1行"_s.arg(c.line)), qPrintable(r.error));
        QVERIFY2(r.error.contains(c.needle), qPrintable(r.error));
        QCOMPARE(rows(g), before);
        QCOMPARE(g.toTsv(true), tsvBefore);
        QCOMPARE(g.selectedRows(), (QList<qint64>{2}));
        QCOMPARE(g.getRow(), 2ll);
    }
    // The same header line is fine when skipped, and the grid grows after a refusal.
    const zorv::ImportResult ok = g.importText(cases[2].text, 2);
    QCOMPARE(ok.rows, 1ll);
    QCOMPARE(g.rowCount(), 3ll);
    QCOMPARE(g.find(u"md = '丙'"_s, 1, 3), 3ll);
}

void TestGridIo::importStops() {
    Grid g(columns());
    QString text;
    for (int i = 0; i < 70000; ++i)
        text += u"n\t"_s + QString::number(i) + u"\n"_s;
    StopAfter stop;
    const zorv::ImportResult r = g.importText(text, 1, &stop);
    QCOMPARE(r.rows, -2ll);
    QVERIFY(!r.error.isEmpty());
    QCOMPARE(g.rowCount(), 0ll);
}

void TestGridIo::importFileEncodings_data() {
    QTest::addColumn<QByteArray>("bytes");
    const QString text = u"中文名\t1\r\n第二行\t2\r\n"_s;
    QTest::newRow("UTF-8") << text.toUtf8();
    QTest::newRow("UTF-8 with BOM") << QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    QTest::newRow("GBK") << zorv::text::toGb18030(text);
    QByteArray le("\xFF\xFE");
    for (QChar c : text) {
        le.append(char(c.unicode() & 0xFF));
        le.append(char(c.unicode() >> 8));
    }
    QTest::newRow("UTF-16 LE") << le;
}

void TestGridIo::importFileEncodings() {
    QFETCH(QByteArray, bytes);
    zorv::test::TestHome home;
    const QString path = home.file(u"名单.txt"_s);
    QVERIFY(zorv::test::writeFile(path, bytes));
    Grid g(columns());
    const zorv::ImportResult r = g.importFile(path);
    QCOMPARE(r.rows, 2ll);
    QCOMPARE(rows(g), (QStringList{u"中文名\t1\t\t"_s, u"第二行\t2\t\t"_s}));
}

void TestGridIo::importMissingFile() {
    Grid g(columns());
    const zorv::ImportResult r = g.importFile(u"/nonexistent/名单.txt"_s);
    QCOMPARE(r.rows, -3ll);
    QVERIFY(r.error.contains(u"名单.txt"_s));
}

void TestGridIo::tsvAndClipboard() {
    Grid g(columns());
    QCOMPARE(g.toTsv(true), u"名单\t序号\t日期\t结果\r\n"_s);
    QVERIFY(g.importText(u"a\t1.5\t2024-02-29 23:59:58\t\nb\t\t\t相同\n"_s).ok());
    QCOMPARE(g.toTsv(false), u"a\t1.5\t2024-02-29 23:59:58\t\r\nb\t\t\t相同\r\n"_s);
    g.setItem(2, 1, u"two\tparts\nand \"lines\""_s);
    QCOMPARE(g.toTsv(false).split(u"\r\n"_s)[1], u"\"two\tparts\nand \"\"lines\"\"\"\t\t\t相同"_s);
    // What is copied pastes back as it was.
    g.setItem(1, 4, u"\"lead"_s);
    Grid pasted(columns());
    QVERIFY(pasted.importText(g.toTsv(false)).ok());
    QCOMPARE(rows(pasted), rows(g));
    // Filtered rows are not copied.
    g.setFilter(u"jg = '相同'"_s);
    g.filter();
    QCOMPARE(g.toTsv(false).count(u"\r\n"_s), 1);
}

void TestGridIo::saveCsv() {
    zorv::test::TestHome home;
    Grid g(columns());
    QVERIFY(g.importText(u"a,b\t1\t\t说\"好\"\n 前后空格 \t-2\t2024-01-01\t\n"_s).ok());
    const QString path = home.file(u"out.csv"_s);
    QString error;
    QVERIFY2(g.saveAs(path, SaveFormat::Csv, &error), qPrintable(error));
    const QByteArray bytes = zorv::test::readFile(path);
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    QCOMPARE(QString::fromUtf8(bytes.mid(3)), u"名单,序号,日期,结果\r\n"
                                              "\"a,b\",1,,\"说\"\"好\"\"\"\r\n"
                                              "\" 前后空格 \",-2,2024-01-01 00:00:00,\r\n"_s);
}

void TestGridIo::saveTsvAndHtml() {
    zorv::test::TestHome home;
    Grid g(columns());
    QVERIFY(g.importText(u"<b>&'\"\t3\n"_s).ok());
    QString error;
    const QString tsv = home.file(u"out.txt"_s);
    QVERIFY2(g.saveAs(tsv, SaveFormat::Tsv, &error), qPrintable(error));
    QCOMPARE(zorv::test::readFile(tsv),
             QByteArray("\xEF\xBB\xBF") +
                 u"名单\t序号\t日期\t结果\r\n<b>&'\"\t3\t\t\r\n"_s.toUtf8());
    // What is saved as text imports back, from its second line.
    Grid back(columns());
    QCOMPARE(back.importFile(tsv, 2).rows, 1ll);
    QCOMPARE(back.getItemString(1, 1), u"<b>&'\""_s);

    const QString html = home.file(u"out.html"_s);
    QVERIFY2(g.saveAs(html, SaveFormat::Html, &error), qPrintable(error));
    const QString page = QString::fromUtf8(zorv::test::readFile(html));
    QVERIFY(page.contains(u"<meta charset=\"utf-8\">"_s));
    QVERIFY(page.contains(u"<th>名单</th><th>序号</th><th>日期</th><th>结果</th>"_s));
    QVERIFY(page.contains(u"<td>&lt;b&gt;&amp;&#39;&quot;</td><td>3</td><td></td><td></td>"_s));
    QVERIFY(!page.contains(u"<b>"_s));
}

void TestGridIo::saveXlsx() {
    zorv::test::TestHome home;
    Grid g(columns());
    QVERIFY(g.importText(u"张三\t1.5\t2024-02-29 12:00:00\t\n\t\t\t相同\n"_s).ok());
    const QString path = home.file(u"名单.xlsx"_s);
    QVERIFY(zorv::test::writeFile(path, "old contents"));
    QString error;
    QVERIFY2(g.saveAs(path, SaveFormat::Xlsx, &error), qPrintable(error));
    // Read the sheet back with Python's zip reader.
    QProcess py;
    py.start(QStringLiteral(ZORV_PYTHON3),
             {u"-c"_s,
              u"import sys,zipfile\n"
              "z=zipfile.ZipFile(sys.argv[1])\n"
              "assert z.testzip() is None\n"
              "sys.stdout.buffer.write(z.read('xl/worksheets/sheet1.xml'))"_s,
              path});
    QVERIFY(py.waitForFinished(30000));
    QCOMPARE(py.exitCode(), 0);
    const QString xml = QString::fromUtf8(py.readAllStandardOutput());
    for (const QString &s :
         {u"名单"_s, u"结果"_s, u"张三"_s, u"相同"_s, u"<v>1.5</v>"_s, u"<v>45351.5</v>"_s})
        QVERIFY2(xml.contains(s), qPrintable(s));
    QCOMPARE(QDir(home.path()).entryList(QDir::Files | QDir::Hidden),
             (QStringList{u"名单.xlsx"_s}));

    // A cell beyond the format's limit is reported, and the old file stays.
    g.setItem(2, 1, QString(40000, u'x'));
    QVERIFY(!g.saveAs(path, SaveFormat::Xlsx, &error));
    QVERIFY2(error.contains(u"32767"_s), qPrintable(error));
    QVERIFY(zorv::test::readFile(path).startsWith("PK"));
    QCOMPARE(QDir(home.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

void TestGridIo::saveToUnwritablePlace() {
    Grid g(columns());
    g.insertRow(0);
    for (SaveFormat f : {SaveFormat::Tsv, SaveFormat::Csv, SaveFormat::Html, SaveFormat::Xlsx}) {
        QString error;
        QVERIFY(!g.saveAs(u"/nonexistent/dir/out.x"_s, f, &error));
        QVERIFY(!error.isEmpty());
    }
}

void TestGridIo::retrieve() {
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"grid_io"_s);
        db.setDatabaseName(u":memory:"_s);
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY(q.exec(u"create table htt1 (bh integer primary key, xh integer, bs real, "
                       "rq text, md text, jg text, bz text)"_s));
        QVERIFY(q.exec(u"insert into htt1 (xh, bs, rq, md, jg) values "
                       "(1, 1, '2024-01-02 08:00:00', '张三', '相同'),"
                       "(2, 1, '2024-01-03T09:30:00', '李四', '不同'),"
                       "(3, 2, '2024-01-04', '王五', '相同'),"
                       "(4, 1, null, null, '相同')"_s));
        Grid g({{u"bh"_s, ColType::Number, u"编号"_s},
                {u"xh"_s, ColType::Number, u"序号"_s},
                {u"bs"_s, ColType::Number, u"标识号"_s},
                {u"rq"_s, ColType::DateTime, u"日期"_s},
                {u"md"_s, ColType::String, u"名单"_s},
                {u"jg"_s, ColType::String, u"结果"_s},
                {u"bz"_s, ColType::String, u"备注"_s}});
        g.insertRow(0);
        const QString sql = u"select bh, xh, bs, rq, md, jg, bz from htt1 "
                            "where bs >= ? and bs <= ? and jg like ? order by bh"_s;
        QString error;
        QCOMPARE(g.retrieve(db, sql, {1, 1, u"相%"_s}, &error), 2ll);
        QCOMPARE(rows(g), (QStringList{u"1\t1\t1\t2024-01-02 08:00:00\t张三\t相同\t"_s,
                                       u"4\t4\t1\t\t\t相同\t"_s}));
        QCOMPARE(g.retrieve(db, sql, {1, 2, u"%"_s}, &error), 4ll);
        QCOMPARE(g.getItemString(2, u"rq"_s), u"2024-01-03 09:30:00"_s);
        // A failing statement or a value of the wrong type keeps the rows.
        QCOMPARE(g.retrieve(db, u"select nosuch from htt1"_s, {}, &error), -1ll);
        QVERIFY(!error.isEmpty());
        QCOMPARE(g.retrieve(db, u"select md from htt1 where md is not null"_s, {}, &error), -1ll);
        QVERIFY2(error.contains(u"张三"_s), qPrintable(error));
        QCOMPARE(g.rowCount(), 4ll);
    }
    QSqlDatabase::removeDatabase(u"grid_io"_s);
}

QTEST_GUILESS_MAIN(TestGridIo)
#include "test_grid_io.moc"
