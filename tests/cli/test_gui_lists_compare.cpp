// "核对名单" in the window and "zorv lists compare" on the same list files
// give the same four grids; the command's usage errors and exit codes.
#include "cli_harness.h"
#include "core/grid/grid.h"
#include "core/sheet/sheet_fixture.h"
#include "core/text/gbtext.h"
#include "gui/lists/w_htmd.h"
#include "support/scripted_platform.h"
#include "support/tempdir.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFile>
#include <QJsonArray>
#include <QSpinBox>
#include <QTest>

using namespace Qt::StringLiterals;
using zorv::Grid;
using zorv::test::CliResult;
using zorv::test::runZorv;

namespace {

// A grid as the command writes it: header line, then tab-separated rows.
QStringList linesOf(const Grid &grid) {
    QStringList out;
    QStringList names;
    for (const auto &c : grid.columns())
        names << c.name;
    out << names.join(u'\t');
    for (qint64 r = 1; r <= grid.rowCount(); ++r) {
        QStringList cells;
        for (int c = 1; c <= grid.columnCount(); ++c)
            cells << grid.getItemString(r, c);
        out << cells.join(u'\t');
    }
    return out;
}

QStringList linesOf(const QByteArray &bytes) {
    QStringList lines = QString::fromUtf8(bytes).split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QByteArray readAll(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestGuiListsCompare : public QObject {
    Q_OBJECT
private slots:
    void sameGrids_data() {
        QTest::addColumn<QByteArray>("list1");
        QTest::addColumn<QByteArray>("list2");
        QTest::addColumn<bool>("normalize");
        const QByteArray a = u"b\na\nO'Neil\nb\nTom\nTom \n张三\nb\n"_s.toUtf8();
        const QByteArray b = u"O'Neil's d'Arc\nO'Neil\ntom\na\na\n張三\n"_s.toUtf8();
        QTest::newRow("plain UTF-8") << a << b << false;
        QTest::newRow("CRLF with a BOM against GBK")
            << QByteArray("\xEF\xBB\xBF" + QByteArray(a).replace("\n", "\r\n"))
            << zorv::text::toGb18030(QString::fromUtf8(b)) << false;
        QTest::newRow("folded") << a << b << true;
        // Thousands of names: the grids are written in blocks of rows.
        QByteArray many1, many2;
        for (int i = 0; i < 5000; ++i) {
            many1 += u"名%1\n"_s.arg(i * 7 % 4000).toUtf8();
            many2 += u"名%1\n"_s.arg(i * 3 % 6007).toUtf8();
        }
        QTest::newRow("thousands of names") << many1 << many2 << false;
    }
    void sameGrids() {
        QFETCH(QByteArray, list1);
        QFETCH(QByteArray, list2);
        QFETCH(bool, normalize);
        zorv::test::TestHome home;
        const QString p1 = home.file(u"one.txt"_s), p2 = home.file(u"two.txt"_s);
        QVERIFY(zorv::test::writeFile(p1, list1));
        QVERIFY(zorv::test::writeFile(p2, list2));

        zorv::test::ScriptedPlatform sp;
        w_htmd w;
        auto click = [&](const char *name) {
            QTest::mouseClick(w.findChild<QAbstractButton *>(QString::fromLatin1(name)),
                              Qt::LeftButton);
        };
        w.show();
        sp.nextFile(p1);
        click("cb_1");
        click("rb_2");
        sp.nextFile(p2);
        click("cb_1");
        w.findChild<QCheckBox *>(u"cbx_1"_s)->setChecked(normalize);
        click("cb_4");

        QStringList args{u"lists"_s,   u"compare"_s,       p1,           p2,
                         u"--list2"_s, home.file(u"l2"_s), u"--dups1"_s, home.file(u"d1"_s),
                         u"--dups2"_s, home.file(u"d2"_s)};
        if (normalize)
            args << u"--normalize"_s;
        const CliResult r = runZorv(args, {}, home.path());
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.messages(), QStringList{u"提示: 核对结束"_s});
        QCOMPARE(linesOf(r.out), linesOf(*w.list1()));
        QCOMPARE(linesOf(readAll(home.file(u"l2"_s))), linesOf(*w.list2()));
        QCOMPARE(linesOf(readAll(home.file(u"d1"_s))), linesOf(*w.duplicates1()));
        QCOMPARE(linesOf(readAll(home.file(u"d2"_s))), linesOf(*w.duplicates2()));
        QVERIFY(w.list1()->rowCount() > 0 && w.duplicates1()->rowCount() >= 2);
    }

    // A spreadsheet list: the column and first row of the window's edits.
    void spreadsheetList() {
        zorv::test::TestHome home;
        const QString sheet = home.file(u"l.xlsx"_s), text = home.file(u"t.txt"_s);
        const QJsonArray rows{QJsonArray{u"A1"_s, u"B1"_s, u"名字"_s},
                              QJsonArray{u"A2"_s, u"B2"_s, u"x"_s},
                              QJsonArray{u"A3"_s, u"B3"_s, u"y"_s}};
        const QString err =
            zorv::test::writeSheetFixture(u"shared"_s, sheet, zorv::test::oneSheet(rows));
        QVERIFY2(err.isEmpty(), qPrintable(err));
        QVERIFY(zorv::test::writeFile(text, "y\n"));
        const CliResult r = runZorv({u"lists"_s, u"compare"_s, sheet, text, u"--column"_s, u"3"_s},
                                    {}, home.path());
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(linesOf(r.out), (QStringList{u"md\txh\tjg"_s, u"x\t1\t不同"_s, u"y\t2\t相同"_s}));
    }

    // Backslashes, tabs and line breaks inside names (possible in a
    // spreadsheet cell) are written escaped, one row a line.
    void escapedNames() {
        zorv::test::TestHome home;
        const QString sheet = home.file(u"l.xlsx"_s), text = home.file(u"t.txt"_s);
        const QJsonArray rows{QJsonArray{u"名字"_s}, QJsonArray{u"two\nlines"_s},
                              QJsonArray{u"back\\slash"_s}, QJsonArray{u"tab\there"_s}};
        const QString err =
            zorv::test::writeSheetFixture(u"shared"_s, sheet, zorv::test::oneSheet(rows));
        QVERIFY2(err.isEmpty(), qPrintable(err));
        QVERIFY(zorv::test::writeFile(text, "back\\slash\n"));
        const CliResult r = runZorv({u"lists"_s, u"compare"_s, sheet, text}, {}, home.path());
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, QByteArray("md\txh\tjg\n"
                                   "back\\\\slash\t2\t\xE7\x9B\xB8\xE5\x90\x8C\n"
                                   "tab\\there\t3\t\xE4\xB8\x8D\xE5\x90\x8C\n"
                                   "two\\nlines\t1\t\xE4\xB8\x8D\xE5\x90\x8C\n"));
    }

    void usage_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::newRow("no lists") << QStringList{u"lists"_s, u"compare"_s} << 2;
        QTest::newRow("missing file")
            << QStringList{u"lists"_s, u"compare"_s, u"nope1"_s, u"nope2"_s} << 2;
        QTest::newRow("bad row") << QStringList{u"lists"_s, u"compare"_s, u"a"_s,
                                                u"b"_s,     u"--row"_s,   u"x"_s}
                                 << 2;
        QTest::newRow("unknown sub-command") << QStringList{u"lists"_s, u"zip"_s} << 2;
        QTest::newRow("help") << QStringList{u"lists"_s, u"compare"_s, u"--help"_s} << 0;
    }
    void usage() {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        zorv::test::TestHome home;
        const CliResult r = runZorv(args, {}, home.path());
        QCOMPARE(r.exitCode, code);
        if (code == 2)
            QVERIFY(r.out.isEmpty() && !r.err.isEmpty());
    }
};

QTEST_MAIN(TestGuiListsCompare)
#include "test_gui_lists_compare.moc"
