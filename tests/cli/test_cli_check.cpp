// zorv files run checks the whole grid first: clashing rows are listed on
// standard error and not run; --check-only lists them and touches nothing.
#include "cli_harness.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorv::test;

namespace {

QByteArray grid(const QStringList &rows) {
    QByteArray out = "xh\typath\tfiley\tfilen\tnpath\tjg\tzml\n";
    int xh = 0;
    for (const QString &r : rows)
        out += (QString::number(++xh) + u'\t' + r + u"\t\t\n"_s).toUtf8();
    return out;
}

QStringList jg(const QByteArray &stream) {
    QStringList cells;
    const QList<QByteArray> lines = stream.split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i)
        if (!lines[i].isEmpty() && !lines[i].startsWith('#'))
            cells << QString::fromUtf8(lines[i].split('\t').value(5));
    return cells;
}

} // namespace

class TestCliCheck : public QObject {
    Q_OBJECT
private slots:
    void checkOnly_data() {
        QTest::addColumn<bool>("checkOnly");
        QTest::addColumn<bool>("clash");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("results");
        const QString ok = u"成功"_s;
        QTest::newRow("check, clash") << true << true << 1 << QStringList{QString(), QString()};
        QTest::newRow("check, clean") << true << false << 0 << QStringList{QString(), QString()};
        QTest::newRow("run, clash") << false << true << 1 << QStringList{ok, u"失败"_s};
        QTest::newRow("run, clean") << false << false << 0 << QStringList{ok, ok};
    }
    void checkOnly() {
        QFETCH(bool, checkOnly);
        QFETCH(bool, clash);
        QFETCH(int, exitCode);
        QFETCH(QStringList, results);
        QTemporaryDir dir;
        makeTree(dir.path(), {u"src/a=A"_s, u"src/b=B"_s, u"out/"_s});
        const QString src = dir.path() + u"/src/"_s, out = dir.path() + u"/out/"_s;
        // The second target is the first one spelt through "..".
        const QString second = clash ? u"out/../out/\tx"_s : u"out/\ty"_s;
        const QByteArray input =
            grid({src + u"\ta\tx\t"_s + out, src + u"\tb\t"_s + second.section(u'\t', 1) + u'\t' +
                                                 dir.path() + u'/' + second.section(u'\t', 0, 0)});
        const QStringList before = treeOf(dir.path());
        QStringList args{u"files"_s, u"run"_s};
        if (checkOnly)
            args << u"--check-only"_s;
        const CliResult r = runZorv(args, input, dir.path());
        QCOMPARE(r.exitCode, exitCode);
        QCOMPARE(jg(r.out), results);
        const QString line = u"第 2 行："_s + src + u"b → "_s + dir.path() +
                             u"/out/../out/x：目标文件与第 1 行相同"_s;
        QCOMPARE(r.err.contains(line), clash);
        QCOMPARE(
            r.messages().contains(
                u"提示: 有 1 行会覆盖或移走本次执行写入或尚待读取的文件，这些行不执行，结果为“失败”。"_s),
            clash);
        if (checkOnly)
            QCOMPARE(treeOf(dir.path()), before);
        else
            QCOMPARE(QFile(out + u"x"_s).exists(), true);
        if (!checkOnly && clash) {
            QFile x(out + u"x"_s);
            QVERIFY(x.open(QIODevice::ReadOnly));
            QCOMPARE(x.readAll(), QByteArray("A"));
        }
    }

    // Names swapped through a link to the same folder come out exchanged.
    void swapThroughLink() {
        QTemporaryDir dir;
        makeTree(dir.path(), {u"src/a=A"_s, u"src/b=B"_s});
        QVERIFY(QFile::link(dir.path() + u"/src"_s, dir.path() + u"/link"_s));
        const QString src = dir.path() + u"/src/"_s, link = dir.path() + u"/link/"_s;
        const QByteArray input = grid({src + u"\ta\tb\t"_s + link, src + u"\tb\ta\t"_s + link});
        const CliResult r = runZorv({u"files"_s, u"run"_s}, input, dir.path());
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(jg(r.out), (QStringList{u"成功"_s, u"成功"_s}));
        QCOMPARE(treeOf(dir.path() + u"/src"_s), (QStringList{u"a=B"_s, u"b=A"_s}));
    }
};

QTEST_GUILESS_MAIN(TestCliCheck)
#include "test_cli_check.moc"
