// "zorv lists merge" and "zorv lists split" against the merge and split
// windows driven through their controls: the same rows from the same input.
#include "cli_harness.h"
#include "support/scripted_platform.h"
#include "support/tempdir.h"

#include "cli/cmd_lists_columns.h"
#include "core/grid/grid.h"
#include "core/lists/merge.h"
#include "gui/lists/w_cfal.h"
#include "gui/lists/w_hbbl.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorv;

namespace {

// Rows as "a|b" lines.
QStringList rowsOf(const Grid &grid) {
    QStringList out;
    for (qint64 r = 1; r <= grid.rowCount(); ++r)
        out << grid.getItemString(r, 1) + u"|"_s + grid.getItemString(r, 2);
    return out;
}

QStringList rowsOfStream(const QByteArray &stream) {
    auto grid = lists::makeHmalGrid();
    cli::ColumnsStreamError error;
    if (!cli::readColumnsStream(stream, *grid, &error))
        return {u"unreadable: "_s + error.message};
    return rowsOf(*grid);
}

// Pasted text of the window: the rows as tab-separated lines.
QString pasteText(const QStringList &rows) {
    QString out;
    for (const QString &r : rows)
        out += QString(r).replace(u'|', u'\t') + u"\n"_s;
    return out;
}

QByteArray streamOf(const QStringList &rows) {
    return "al\tbl\n" + pasteText(rows).toUtf8();
}

template <typename T> T *child(QWidget &w, const QString &name) {
    T *c = w.findChild<T *>(name);
    if (!c)
        qFatal("no control %s", qPrintable(name));
    return c;
}

} // namespace

class TestGuiListsColumns : public QObject {
    Q_OBJECT
private slots:
    void merge_data() {
        QTest::addColumn<QStringList>("input");
        QTest::addColumn<QString>("sep"); // null: the field's initial "；"
        QTest::addColumn<bool>("unique");
        QTest::addColumn<QStringList>("expected");
        const QStringList xyx{u"x|1"_s, u"y|2"_s, u"x|3"_s};
        QTest::newRow("x y x") << xyx << QString() << false
                               << QStringList{u"x|1；3"_s, u"x|1；3"_s, u"y|2"_s};
        QTest::newRow("x y x unique")
            << xyx << QString() << true << QStringList{u"x|1；3"_s, u"y|2"_s};
        QTest::newRow("# last, comma") << QStringList{u"#|a"_s, u"!|b"_s, u"#|c"_s} << u","_s
                                       << false << QStringList{u"!|b"_s, u"#|a,c"_s, u"#|a,c"_s};
        QTest::newRow("empty B, blanks around the separator")
            << QStringList{u"k|"_s, u"k|2"_s} << u" + "_s << true << QStringList{u"k|+2"_s};
    }
    void merge() {
        QFETCH(QStringList, input);
        QFETCH(QString, sep);
        QFETCH(bool, unique);
        QFETCH(QStringList, expected);
        test::TestHome home;
        QStringList window;
        {
            test::ScriptedPlatform p;
            w_hbbl w;
            w.show();
            p.clipboard = pasteText(input);
            child<QPushButton>(w, u"cb_17"_s)->click();
            if (!sep.isNull())
                child<QLineEdit>(w, u"sle_1"_s)->setText(sep);
            child<QPushButton>(w, u"cb_11"_s)->click();
            QCOMPARE(p.messageLines(), QStringList{u" / 合并结束"_s});
            if (unique)
                child<QPushButton>(w, u"cb_3"_s)->click();
            window = rowsOf(*w.grid());
        }
        QCOMPARE(window, expected);
        QStringList args{u"lists"_s, u"merge"_s};
        if (!sep.isNull())
            args << u"--sep"_s << sep;
        if (unique)
            args << u"--unique"_s;
        const test::CliResult r = test::runZorv(args, streamOf(input), home.path());
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.err, QString());
        QCOMPARE(rowsOfStream(r.out), expected);
    }

    void split_data() {
        QTest::addColumn<QStringList>("input");
        QTest::addColumn<QString>("sep"); // null: the field's initial ","
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("acceptance rows")
            << QStringList{u"a,b,,c|x"_s, u",a,|x"_s, u"a, b|x"_s, u"p|  y "_s} << QString()
            << QStringList{u"a|x"_s, u"b|x"_s, u"c|x"_s, u"a|x"_s, u"a|x"_s, u" b|x"_s, u"p|y"_s};
        QTest::newRow("empty A between")
            << QStringList{u"|x"_s, u"m::n|w"_s} << u"::"_s << QStringList{u"m|w"_s, u"n|w"_s};
    }
    void split() {
        QFETCH(QStringList, input);
        QFETCH(QString, sep);
        QFETCH(QStringList, expected);
        test::TestHome home;
        QStringList window;
        {
            test::ScriptedPlatform p;
            w_cfal w;
            w.show();
            p.clipboard = pasteText(input);
            child<QPushButton>(w, u"cb_17"_s)->click();
            if (!sep.isNull())
                child<QLineEdit>(w, u"sle_1"_s)->setText(sep);
            child<QPushButton>(w, u"cb_11"_s)->click();
            QVERIFY(p.messages.isEmpty());
            window = rowsOf(*w.target());
        }
        QCOMPARE(window, expected);
        QStringList args{u"lists"_s, u"split"_s};
        if (!sep.isNull())
            args << u"--sep"_s << sep;
        const test::CliResult r = test::runZorv(args, streamOf(input), home.path());
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(rowsOfStream(r.out), expected);
    }

    // Fields holding tabs, line breaks and backslashes travel escaped.
    void escapesSurvive() {
        test::TestHome home;
        const QByteArray in = "al\tbl\nk\\tey\tone\\\\\nk\\tey\ttwo\\nlines\r\n";
        const test::CliResult r =
            test::runZorv({u"lists"_s, u"merge"_s, u"--sep"_s, u"/"_s}, in, home.path());
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, QByteArray("al\tbl\nk\\tey\tone\\\\/two\\nlines\n"
                                   "k\\tey\tone\\\\/two\\nlines\n"));
    }

    void refusals_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("message");
        QTest::newRow("no header")
            << QStringList{u"merge"_s} << QByteArray("x\t1\n")
            << u"zorv lists merge: 标准输入 第 1 行：第一行应为表头 al<TAB>bl"_s;
        QTest::newRow("three fields")
            << QStringList{u"split"_s} << QByteArray("al\tbl\na\tb\n1\t2\t3\n")
            << u"zorv lists split: 标准输入 第 3 行：有 3 个字段，al bl 表格只有两列"_s;
        QTest::newRow("bad escape")
            << QStringList{u"split"_s} << QByteArray("al\tbl\na\\q\tb\n")
            << u"zorv lists split: 标准输入 第 2 行：反斜杠后只能是 \\、t、n 或 r"_s;
        QTest::newRow("unknown option")
            << QStringList{u"split"_s, u"--unique"_s} << QByteArray("al\tbl\n") << QString();
        QTest::newRow("positional") << QStringList{u"merge"_s, u"file"_s} << QByteArray("al\tbl\n")
                                    << u"zorv lists merge: 多余的参数 \"file\""_s;
    }
    void refusals() {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, input);
        QFETCH(QString, message);
        test::TestHome home;
        const test::CliResult r = test::runZorv(QStringList{u"lists"_s} + args, input, home.path());
        QCOMPARE(r.exitCode, 2);
        QVERIFY(r.out.isEmpty());
        if (!message.isEmpty())
            QCOMPARE(r.err.split(u'\n').value(0), message);
    }
};

QTEST_MAIN(TestGuiListsColumns)
#include "test_gui_lists_columns.moc"
