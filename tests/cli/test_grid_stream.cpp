// The grid stream and the option parser, in-process.
#include "cli/cli_args.h"
#include "cli/grid_stream.h"
#include "core/grid/grid.h"

#include <QTest>
#include <algorithm>
#include <cstdio>

using namespace Qt::StringLiterals;
using namespace zorv;
using namespace zorv::cli;

namespace {

QList<Column> streamGridColumns() {
    QList<Column> cols;
    for (const QString &n : streamColumns())
        cols << Column{n, n == u"xh" ? ColType::Number : ColType::String, n, 0};
    return cols;
}

QByteArray written(Grid &grid) {
    char *buf = nullptr;
    size_t len = 0;
    std::FILE *f = open_memstream(&buf, &len);
    const bool ok = writeGridStream(grid, f);
    std::fclose(f);
    QByteArray out(buf, qsizetype(len));
    std::free(buf);
    return ok ? out : QByteArray("write failed");
}

const QByteArray kHeader = "xh\typath\tfiley\tfilen\tnpath\tjg\tzml\n";

} // namespace

class TestGridStream : public QObject {
    Q_OBJECT
private slots:
    void roundTripKeepsEveryCharacter() {
        Grid grid(streamGridColumns());
        const QStringList names{u"a\tb.txt"_s,     u"line\nbreak"_s, u"back\\slash\\t"_s,
                                u"cr\r.txt"_s,     u"中文 名.jpg"_s, u" spaced "_s,
                                u"\uFEFFbom.txt"_s};
        for (const QString &n : names) {
            const qint64 r = grid.insertRow(0);
            grid.setItem(r, u"xh"_s, r);
            grid.setItem(r, u"ypath"_s, u"/tmp/源/"_s);
            grid.setItem(r, u"filey"_s, n);
            grid.setItem(r, u"filen"_s, QString(n + u"x"_s));
        }
        grid.setItem(2, u"xh"_s, 2.5);
        const QByteArray out = written(grid);
        QVERIFY(out.startsWith(kHeader));
        QCOMPARE(out.count('\n'), names.size() + 1); // nothing breaks a line

        Grid back(streamGridColumns());
        StreamError err;
        QVERIFY2(readGridStream(out, back, &err), qPrintable(err.message));
        QCOMPARE(back.rowCount(), grid.rowCount());
        for (qint64 r = 1; r <= grid.rowCount(); ++r) {
            for (const QString &c : streamColumns())
                QCOMPARE(back.getItemString(r, c), grid.getItemString(r, c));
            QVERIFY(back.isNull(r, back.columnNumber(u"jg"_s)));
        }
        QCOMPARE(back.getItemNumber(2, u"xh"_s), 2.5);
        QCOMPARE(written(back), out);
    }

    // The grid's bulk import and export serve plain rows; rows that need an
    // escape or a quote go cell by cell. Both must give the same grid and text.
    void bulkAndCellByCellPathsAgree() {
        const QList<QStringList> rows{
            {u"1"_s, u"/a/"_s, u"x.txt"_s, u"y.txt"_s, u"/b/"_s, u"成功"_s, u""_s},
            {u""_s, u"/a/中文/"_s, u"名 字.jpg"_s, u""_s, u""_s, u""_s, u"中文/"_s},
            {u"2.5"_s, u"/a/"_s, u"'it's'"_s, u"~x"_s, u""_s, u"找到"_s, u""_s},
            {u"-7"_s, u"/"_s, u" lead"_s, u"trail "_s, u"/"_s, u""_s, u""_s},
            {u"3"_s, u"/\uFEFFa/"_s, u"\uFEFFbom.txt"_s, u"\uFEFF"_s, u""_s, u""_s, u""_s},
            {u"1000000000000"_s, u"/a/"_s, u"\"q\".txt"_s, u"\"whole\""_s, u""_s, u""_s, u""_s}};
        QByteArray plain = kHeader, reordered = "zml\tjg\tnpath\tfilen\tfiley\typath\txh\n";
        for (const QStringList &r : rows) {
            plain += r.join(u'\t').toUtf8() + '\n';
            QStringList rev = r;
            std::reverse(rev.begin(), rev.end());
            reordered += rev.join(u'\t').toUtf8() + '\n';
        }
        Grid bulk(streamGridColumns()), cells(streamGridColumns());
        StreamError err;
        QVERIFY2(readGridStream(plain, bulk, &err), qPrintable(err.message));
        QVERIFY2(readGridStream(reordered, cells, &err), qPrintable(err.message));
        QCOMPARE(bulk.rowCount(), rows.size());
        for (qint64 r = 1; r <= bulk.rowCount(); ++r)
            for (int c = 1; c <= 7; ++c) {
                QCOMPARE(bulk.getItemString(r, c), cells.getItemString(r, c));
                QCOMPARE(bulk.isNull(r, c), cells.isNull(r, c));
            }
        // The quoted name sends the whole grid cell by cell; without it, in bulk.
        QCOMPARE(written(cells), plain);
        QCOMPARE(bulk.getItemString(5, u"filey"_s), u"\uFEFFbom.txt"_s);
        bulk.deleteRow(6);
        QCOMPARE(written(bulk), plain.left(plain.lastIndexOf('\n', plain.size() - 2) + 1));
    }

    void headerInAnyOrderWithBomAndCrLf() {
        const QByteArray in = "\xEF\xBB\xBFzml\tjg\tnpath\tfilen\tfiley\typath\txh\r\n"
                              "b/\t\t\t\tx.txt\t/a/b/\t7\r\n";
        Grid grid(streamGridColumns());
        StreamError err;
        QVERIFY2(readGridStream(in, grid, &err), qPrintable(err.message));
        QCOMPARE(grid.rowCount(), 1);
        QCOMPARE(grid.getItemString(1, u"filey"_s), u"x.txt"_s);
        QCOMPARE(grid.getItemString(1, u"zml"_s), u"b/"_s);
        QCOMPARE(grid.getItemNumber(1, u"xh"_s), 7.0);
    }

    void badInputNamesTheLine_data() {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<qint64>("line");
        QTest::addColumn<QString>("message");
        const QByteArray row = "1\t/a/\tx\t\t\t\t\n";
        QTest::newRow("empty") << QByteArray() << qint64(1) << u"没有表头行"_s;
        QTest::newRow("missing column")
            << QByteArray("xh\typath\tfiley\tfilen\tnpath\tjg\n") << qint64(1) << u"缺少列 zml"_s;
        QTest::newRow("unknown column")
            << QByteArray("xh\typath\tfiley\tfilen\tnpath\tjg\tzml\tsize\n") << qint64(1)
            << u"未知的列 \"size\""_s;
        QTest::newRow("duplicate column")
            << QByteArray("xh\typath\tfiley\tfilen\tnpath\tjg\tjg\n") << qint64(1) << u"jg 重复"_s;
        QTest::newRow("few fields") << kHeader + row + "2\t/a/\ty\n"
                                    << qint64(3) << u"应有 7 列，实有 3 列"_s;
        QTest::newRow("many fields") << kHeader + "2\t/a/\ty\t\t\t\t\t\t\n"
                                     << qint64(2) << u"7 列以上"_s;
        QTest::newRow("blank line") << kHeader + row + "\n" + row << qint64(3) << u"实有 1 列"_s;
        QTest::newRow("xh not a number") << kHeader + row + "x1\t/a/\ty\t\t\t\t\n"
                                         << qint64(3) << u"序号 xh 不是数字"_s;
        QTest::newRow("bad escape") << kHeader + "1\t/a/\tc:\\x\t\t\t\t\n"
                                    << qint64(2) << u"列 filey 有无效的反斜杠转义"_s;
        QTest::newRow("trailing backslash") << kHeader + "1\t/a/\tx\\\t\t\t\t\n"
                                            << qint64(2) << u"反斜杠转义"_s;
        QTest::newRow("not utf-8")
            << kHeader + row + "1\t/a/\t\xff\xfe\t\t\t\t\n" + row << qint64(3) << u"UTF-8"_s;
        QTest::newRow("unknown directive")
            << kHeader + "#sort\txh\n" + row << qint64(2) << u"指令行"_s;
        const QString cut = u"最后一行没有换行符"_s;
        QTest::newRow("cut off in the header") << QByteArray("xh\typath\tfi") << qint64(1) << cut;
        QTest::newRow("cut off in a row") << kHeader + row + "2\t/a/\ty" << qint64(3) << cut;
        QTest::newRow("cut off at a field's end")
            << kHeader + row + row.chopped(1) << qint64(3) << cut;
        QTest::newRow("cut off in UTF-8") << kHeader + "1\t/a/\t\xe4\xb8" << qint64(2) << cut;
        QTest::newRow("long column quoted short")
            << "xh\typath\tfiley\tfilen\tnpath\tjg\t" + QByteArray(300, 'z') + "\n"
            << qint64(1) << u'"' + QString(200, u'z') + u"…\"（应为"_s;
    }
    void badInputNamesTheLine() {
        QFETCH(QByteArray, input);
        QFETCH(qint64, line);
        QFETCH(QString, message);
        Grid grid(streamGridColumns());
        StreamError err;
        QVERIFY(!readGridStream(input, grid, &err));
        QCOMPARE(err.line, line);
        QVERIFY2(err.message.contains(message), qPrintable(err.message));
    }

    void quotedInput_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("quoted");
        const QString x200(200, u'x');
        QTest::newRow("short") << u"a b"_s << u"\"a b\""_s;
        QTest::newRow("200 kept whole") << x200 << u'"' + x200 + u'"';
        QTest::newRow("201 cut") << x200 + u"y"_s << u'"' + x200 + u"…\""_s;
        // Characters, not UTF-16 units: a pair is never split.
        const QString wide = QString(199, u'x') + u"\U00020000\U00020000"_s;
        QTest::newRow("pair at the cut") << wide << u'"' + wide.left(201) + u"…\""_s;
        QTest::newRow("controls") << u"a\tb\nc\rd\x1b[2J\x7f"_s
                                  << u"\"a\\tb\\nc\\rd\\x1b[2J\\x7f\""_s;
    }
    void quotedInput() {
        QFETCH(QString, text);
        QFETCH(QString, quoted);
        QCOMPARE(quoteInput(text), quoted);
    }

    void options_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("op");
        QTest::addColumn<QStringList>("positionals");
        QTest::newRow("separate value")
            << QStringList{u"--op"_s, u"3"_s, u"d"_s} << QString() << u"3"_s << QStringList{u"d"_s};
        QTest::newRow("inline value")
            << QStringList{u"--op=9"_s} << QString() << u"9"_s << QStringList{};
        QTest::newRow("value may start with a dash")
            << QStringList{u"--op"_s, u"-1"_s} << QString() << u"-1"_s << QStringList{};
        QTest::newRow("after --") << QStringList{u"--"_s, u"--op"_s} << QString() << QString()
                                  << QStringList{u"--op"_s};
        QTest::newRow("unknown") << QStringList{u"--bogus"_s} << u"未知选项 --bogus"_s << QString()
                                 << QStringList{};
        QTest::newRow("short unknown")
            << QStringList{u"-x"_s} << u"未知选项 -x"_s << QString() << QStringList{};
        QTest::newRow("missing value")
            << QStringList{u"--op"_s} << u"缺少取值"_s << QString() << QStringList{};
        QTest::newRow("flag with value")
            << QStringList{u"--drop=1"_s} << u"不带取值"_s << QString() << QStringList{};
    }
    void options() {
        QFETCH(QStringList, args);
        QFETCH(QString, error);
        QFETCH(QString, op);
        QFETCH(QStringList, positionals);
        Args a(args, {{u"op"_s, true}, {u"drop"_s, false}});
        QCOMPARE(a.error().isEmpty(), error.isEmpty());
        if (!error.isEmpty()) {
            QVERIFY2(a.error().contains(error), qPrintable(a.error()));
            return;
        }
        QCOMPARE(a.value(u"op"_s), op);
        QCOMPARE(a.positionals(), positionals);
    }

    void integerAndChoiceRanges() {
        Args a({u"--n=51"_s, u"--m=copy"_s, u"--k=x"_s},
               {{u"n"_s, true}, {u"m"_s, true}, {u"k"_s, true}});
        QString err;
        QCOMPARE(a.intValue(u"absent"_s, 1, 50, 0, &err), 0);
        QVERIFY(err.isEmpty());
        a.intValue(u"n"_s, 1, 50, 0, &err);
        QVERIFY(err.contains(u"1 至 50"_s));
        err.clear();
        QCOMPARE(a.choice(u"m"_s, {u"copy"_s, u"move"_s}, u"move"_s, &err), u"copy"_s);
        a.choice(u"k"_s, {u"copy"_s, u"move"_s}, u"copy"_s, &err);
        QVERIFY(err.contains(u"copy|move"_s));
    }
};

QTEST_GUILESS_MAIN(TestGridStream)
#include "test_grid_stream.moc"
