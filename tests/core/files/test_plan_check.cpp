#include "core/files/batch_run.h"
#include "core/files/plan_check.h"
#include "core/files/source_scan.h"
#include "frn_test_util.h"
#include "support/scripted_platform.h"
#include "support/tempdir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace zorv;
using namespace zorv::files;
using zorv::files::test::addRow;
using zorv::files::test::column;
using zorv::files::test::EscSink;
using zorv::test::readFile;
using zorv::test::writeFile;

namespace {

// Folders of a case, by letter: S the source folder, L a symbolic link to it,
// D the source folder spelt with "..", T the target root, W the target root
// with a doubled "/", N a folder still to be made below it and M the same
// folder spelt with "..".
QString folder(const QString &base, QChar letter) {
    switch (letter.unicode()) {
    case 'S':
        return base + u"/src/"_s;
    case 'L':
        return base + u"/link/"_s;
    case 'D':
        return base + u"/src/../src/"_s;
    case 'T':
        return base + u"/tgt/"_s;
    case 'W':
        return base + u"/tgt//"_s;
    case 'N':
        return base + u"/tgt/new/"_s;
    case 'M':
        return base + u"/tgt/new/../new/"_s;
    }
    return base + u"/other/"_s + letter + u'/';
}

// "S/a" → the folder of S and the name a.
std::pair<QString, QString> split(const QString &base, const QString &spec) {
    return {folder(base, spec.at(0)), spec.mid(2)};
}

QString pathOf(const QString &base, const QString &spec) {
    const auto [dir, name] = split(base, spec);
    return dir + name;
}

// Names left behind under a temporary name anywhere below base.
QStringList leftovers(const QString &base) {
    QStringList out;
    for (const QString &sub : {u"src"_s, u"tgt"_s, u"tgt/new"_s})
        for (const QString &name :
             QDir(base + u'/' + sub).entryList(QDir::Files | QDir::Hidden | QDir::System))
            if (name.startsWith(u".zorv"_s))
                out << sub + u'/' + name;
    return out;
}

struct Sandbox {
    QTemporaryDir dir;
    QString base = dir.path();
    bool make() {
        return QDir().mkpath(base + u"/src"_s) && QDir().mkpath(base + u"/tgt"_s) &&
               QFile::link(base + u"/src"_s, base + u"/link"_s);
    }
};

} // namespace

class TestPlanCheck : public QObject {
    Q_OBJECT
private slots:
    // Rows that write what other rows read or write: files before ("S/a=A"),
    // rows ("S/a>L/b"), outcomes, the conflicts listed ("2:reason") and the
    // files after ("S/a=B"; "-" for no file).
    void run_data() {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<bool>("move");
        QTest::addColumn<bool>("overwrite");
        QTest::addColumn<QStringList>("jg");
        QTest::addColumn<QStringList>("conflicts");
        QTest::addColumn<QStringList>("after");
        const QString ok = u"成功"_s, failed = u"失败"_s;
        const QStringList ab{u"S/a=A"_s, u"S/b=B"_s};

        QTest::newRow("copy swap through a link")
            << ab << QStringList{u"S/a>L/b"_s, u"S/b>L/a"_s} << false << true << QStringList{ok, ok}
            << QStringList{} << QStringList{u"S/a=B"_s, u"S/b=A"_s};
        QTest::newRow("move swap through a link")
            << ab << QStringList{u"S/a>L/b"_s, u"S/b>L/a"_s} << true << false << QStringList{ok, ok}
            << QStringList{} << QStringList{u"S/a=B"_s, u"S/b=A"_s};
        QTest::newRow("rename swap in place")
            << ab << QStringList{u"S/a>S/b"_s, u"S/b>S/a"_s} << true << true << QStringList{ok, ok}
            << QStringList{} << QStringList{u"S/a=B"_s, u"S/b=A"_s};
        QTest::newRow("rename ring of three")
            << QStringList{u"S/a=A"_s, u"S/b=B"_s, u"S/c=C"_s}
            << QStringList{u"S/a>S/b"_s, u"S/b>S/c"_s, u"S/c>S/a"_s} << true << true
            << QStringList{ok, ok, ok} << QStringList{}
            << QStringList{u"S/a=C"_s, u"S/b=A"_s, u"S/c=B"_s};
        QTest::newRow("shift numbering")
            << QStringList{u"S/1=one"_s, u"S/2=two"_s, u"S/3=three"_s}
            << QStringList{u"S/1>S/2"_s, u"S/2>S/3"_s, u"S/3>S/4"_s} << true << true
            << QStringList{ok, ok, ok} << QStringList{}
            << QStringList{u"S/1=-"_s, u"S/2=one"_s, u"S/3=two"_s, u"S/4=three"_s};
        // A copy in place never replaces: the shifted copies stop at the
        // names already taken.
        QTest::newRow("copy shift in place")
            << QStringList{u"S/1=one"_s, u"S/2=two"_s} << QStringList{u"S/1>S/2"_s, u"S/2>S/3"_s}
            << false << true << QStringList{u"同名"_s, ok} << QStringList{}
            << QStringList{u"S/1=one"_s, u"S/2=two"_s, u"S/3=two"_s};
        QTest::newRow("copy chain into another folder")
            << QStringList{u"S/a=A"_s, u"T/b=B"_s} << QStringList{u"S/a>T/b"_s, u"T/b>T/c"_s}
            << false << true << QStringList{ok, ok} << QStringList{}
            << QStringList{u"T/b=A"_s, u"T/c=B"_s};
        QTest::newRow("overwrite keeps replacing older files")
            << QStringList{u"S/a=A"_s, u"T/a=old"_s} << QStringList{u"S/a>T/a"_s} << false << true
            << QStringList{ok} << QStringList{} << QStringList{u"T/a=A"_s};
        QTest::newRow("same rows twice, copy")
            << ab << QStringList{u"S/a>T/a"_s, u"S/a>T/a"_s} << false << true
            << QStringList{ok, failed} << QStringList{u"2:目标文件与第 1 行相同"_s}
            << QStringList{u"T/a=A"_s, u"S/a=A"_s};
        QTest::newRow("same target from two files, copy")
            << ab << QStringList{u"S/a>T/x"_s, u"S/b>T/x"_s} << false << true
            << QStringList{ok, failed} << QStringList{u"2:目标文件与第 1 行相同"_s}
            << QStringList{u"T/x=A"_s};
        QTest::newRow("same target from two files, move")
            << ab << QStringList{u"S/a>T/x"_s, u"S/b>T/x"_s} << true << true
            << QStringList{ok, failed} << QStringList{u"2:目标文件与第 1 行相同"_s}
            << QStringList{u"T/x=A"_s, u"S/b=B"_s};
        QTest::newRow("same target spelt with a doubled slash")
            << ab << QStringList{u"S/a>T/x"_s, u"S/b>W/x"_s} << false << true
            << QStringList{ok, failed} << QStringList{u"2:目标文件与第 1 行相同"_s}
            << QStringList{u"T/x=A"_s};
        QTest::newRow("same new folder spelt with dot-dot")
            << ab << QStringList{u"S/a>N/x"_s, u"D/b>M/x"_s} << false << true
            << QStringList{ok, failed} << QStringList{u"2:目标文件与第 1 行相同"_s}
            << QStringList{u"N/x=A"_s, u"S/b=B"_s};
        QTest::newRow("same source moved twice")
            << ab << QStringList{u"S/a>T/x"_s, u"L/a>T/y"_s} << true << true
            << QStringList{ok, failed} << QStringList{u"2:源文件与第 1 行相同"_s}
            << QStringList{u"T/x=A"_s, u"T/y=-"_s};
        QTest::newRow("copy onto its own source through a link")
            << ab << QStringList{u"S/a>L/a"_s, u"S/b>T/b"_s} << false << true
            << QStringList{failed, ok} << QStringList{u"1:目标文件即源文件"_s}
            << QStringList{u"S/a=A"_s, u"T/b=B"_s};
    }
    void run() {
        QFETCH(QStringList, files);
        QFETCH(QStringList, rows);
        QFETCH(bool, move);
        QFETCH(bool, overwrite);
        QFETCH(QStringList, jg);
        QFETCH(QStringList, conflicts);
        QFETCH(QStringList, after);
        zorv::test::ScriptedPlatform platform;
        Sandbox box;
        QVERIFY(box.make());
        for (const QString &f : files)
            QVERIFY(
                writeFile(pathOf(box.base, f.section(u'=', 0, 0)), f.section(u'=', 1).toUtf8()));
        auto g = makeFrn1Grid();
        for (const QString &r : rows) {
            const auto [sdir, sname] = split(box.base, r.section(u'>', 0, 0));
            const auto [tdir, tname] = split(box.base, r.section(u'>', 1));
            addRow(*g, {sdir, sname, tname, tdir});
        }
        FrnState state;
        state.ls_path2 = box.base + u"/tgt"_s;
        RunOptions o;
        o.move = move;
        o.overwrite = overwrite;
        EscSink sink;
        QCOMPARE(executeRun(*g, state, o, sink).end, RunEnd::Completed);
        QCOMPARE(column(*g, u"jg"_s), jg);

        QStringList listed;
        for (const auto &review : platform.reviews)
            for (const QStringList &row : review.rows)
                listed << row.value(0) + u':' + row.value(3);
        QCOMPARE(listed, conflicts);
        for (const QString &a : after) {
            const QString path = pathOf(box.base, a.section(u'=', 0, 0));
            const QString want = a.section(u'=', 1);
            if (want == u"-"_s)
                QVERIFY2(!QFileInfo::exists(path), qPrintable(path));
            else
                QCOMPARE(QString::fromUtf8(readFile(path)), want);
        }
        QCOMPARE(leftovers(box.base), QStringList());
    }

    // A recursive listing whose target root lies inside it, keeping the
    // tree: "out/0.txt" from an earlier run is read before "0.txt" lands on it.
    void keepTreeInsideSource_data() {
        QTest::addColumn<bool>("move");
        QTest::newRow("copy") << false;
        QTest::newRow("move") << true;
    }
    void keepTreeInsideSource() {
        QFETCH(bool, move);
        zorv::test::ScriptedPlatform platform;
        QTemporaryDir dir;
        const QString src = dir.path() + u"/s"_s;
        // "0.txt" is listed before the folder "[out]".
        QVERIFY(writeFile(src + u"/0.txt"_s, "new"));
        QVERIFY(writeFile(src + u"/out/0.txt"_s, "earlier"));
        auto g = makeFrn1Grid();
        FrnState state;
        EscSink sink;
        QVERIFY(scanChosenSource(*g, state, src, ScanOptions{false, true, false}, sink));
        QCOMPARE(column(*g, u"filey"_s), (QStringList{u"0.txt"_s, u"0.txt"_s}));
        QCOMPARE(column(*g, u"zml"_s), (QStringList{QString(), u"out/"_s}));
        for (qint64 r = 1; r <= g->rowCount(); ++r)
            g->setItem(r, u"filen"_s, g->getItemString(r, u"filey"_s));
        QVERIFY(fillChosenTarget(*g, state, src + u"/out"_s, true));
        RunOptions o;
        o.move = move;
        QCOMPARE(executeRun(*g, state, o, sink).end, RunEnd::Completed);
        QCOMPARE(column(*g, u"jg"_s), (QStringList{u"成功"_s, u"成功"_s}));
        QCOMPARE(readFile(src + u"/out/0.txt"_s), QByteArray("new"));
        QCOMPARE(readFile(src + u"/out/out/0.txt"_s), QByteArray("earlier"));
        QCOMPARE(QFileInfo::exists(src + u"/0.txt"_s), !move);
    }

    // The same listing appended twice, or two folders holding the same names,
    // all sent to one flat target folder: the first of each name is done,
    // the rest are refused and every file stays where it was or arrives once.
    void appendedListings_data() {
        QTest::addColumn<bool>("twoFolders");
        QTest::addColumn<bool>("move");
        for (bool two : {false, true})
            for (bool mv : {false, true})
                QTest::addRow("%s %s", two ? "two folders" : "one folder twice",
                              mv ? "move" : "copy")
                    << two << mv;
    }
    void appendedListings() {
        QFETCH(bool, twoFolders);
        QFETCH(bool, move);
        zorv::test::ScriptedPlatform platform;
        QTemporaryDir dir;
        const QString one = dir.path() + u"/one"_s, two = dir.path() + u"/two"_s;
        QVERIFY(writeFile(one + u"/x.txt"_s, "one x") && writeFile(one + u"/y.txt"_s, "one y"));
        QVERIFY(writeFile(two + u"/x.txt"_s, "two x") && writeFile(two + u"/y.txt"_s, "two y"));
        auto g = makeFrn1Grid();
        FrnState state;
        EscSink sink;
        QVERIFY(scanChosenSource(*g, state, one, ScanOptions{}, sink));
        QVERIFY(scanChosenSource(*g, state, twoFolders ? two : one, ScanOptions{true}, sink));
        QCOMPARE(g->rowCount(), 4);
        QVERIFY(QDir().mkpath(dir.path() + u"/t"_s));
        for (qint64 r = 1; r <= 4; ++r)
            g->setItem(r, u"filen"_s, g->getItemString(r, u"filey"_s));
        QVERIFY(fillChosenTarget(*g, state, dir.path() + u"/t"_s, false));
        RunOptions o;
        o.move = move;
        QCOMPARE(executeRun(*g, state, o, sink).end, RunEnd::Completed);
        const QString ok = u"成功"_s, failed = u"失败"_s;
        QCOMPARE(column(*g, u"jg"_s), (QStringList{ok, ok, failed, failed}));
        QCOMPARE(platform.reviews.size(), 1);
        QCOMPARE(platform.reviews[0].rows.size(), 2);
        QCOMPARE(platform.reviews[0].rows[0].value(0), u"3"_s);
        QCOMPARE(readFile(dir.path() + u"/t/x.txt"_s), QByteArray("one x"));
        QCOMPARE(readFile(dir.path() + u"/t/y.txt"_s), QByteArray("one y"));
        if (twoFolders)
            QCOMPARE(readFile(two + u"/x.txt"_s), QByteArray("two x"));
        QCOMPARE(QFileInfo::exists(one + u"/x.txt"_s), !move);
    }

    // "取消" touches nothing; "继续" runs the other rows. The review lists
    // the first 200 conflicts and counts the rest.
    void review_data() {
        QTest::addColumn<bool>("proceed");
        QTest::newRow("取消") << false;
        QTest::newRow("继续") << true;
    }
    void review() {
        QFETCH(bool, proceed);
        zorv::test::ScriptedPlatform platform;
        Sandbox box;
        QVERIFY(box.make());
        const QString src = box.base + u"/src/"_s, tgt = box.base + u"/tgt/"_s;
        QVERIFY(writeFile(src + u"a"_s, "A"));
        auto g = makeFrn1Grid();
        for (int i = 0; i < 251; ++i)
            addRow(*g, {src, u"a"_s, u"b"_s, tgt});
        platform.reviewAnswers.enqueue(proceed);
        FrnState state;
        EscSink sink;
        const RunSummary s = executeRun(*g, state, RunOptions{}, sink);
        QCOMPARE(platform.reviews.size(), 1);
        const auto &review = platform.reviews[0];
        QCOMPARE(review.rows.size(), 200);
        QCOMPARE(review.rows[0],
                 (QStringList{u"2"_s, src + u"a"_s, tgt + u"b"_s, u"目标文件与第 1 行相同"_s}));
        QCOMPARE(review.note, u"另有 50 行未列出"_s);
        QCOMPARE(review.headers, (QStringList{u"行号"_s, u"源文件"_s, u"目标文件"_s, u"原因"_s}));
        QCOMPARE(review.cancelCaption, u"取消"_s);
        QCOMPARE(review.proceedCaption, u"继续"_s);
        QVERIFY(review.text.contains(u"250"_s));
        if (!proceed) {
            QCOMPARE(s.end, RunEnd::Cancelled);
            QVERIFY(!QFileInfo::exists(tgt + u"b"_s));
            QCOMPARE(column(*g, u"jg"_s).join(QString()), QString());
            QVERIFY(platform.messages.isEmpty());
            return;
        }
        QCOMPARE(s.end, RunEnd::Completed);
        QCOMPARE(s.succeeded, 1);
        QCOMPARE(readFile(tgt + u"b"_s), QByteArray("A"));
        QCOMPARE(column(*g, u"jg"_s).count(u"失败"_s), 250);
        QCOMPARE(platform.messageLines(), QStringList{u"提示 / 操作完成\n成功 1，失败 250"_s});
    }

    // Esc while a file is held under a temporary name: the swap is finished
    // first, later rows are left alone.
    void stopWaitsForHeldFile() {
        zorv::test::ScriptedPlatform platform;
        Sandbox box;
        QVERIFY(box.make());
        const QString src = box.base + u"/src/"_s;
        QVERIFY(writeFile(src + u"a"_s, "A") && writeFile(src + u"b"_s, "B"));
        QVERIFY(writeFile(src + u"c"_s, "C"));
        auto g = makeFrn1Grid();
        addRow(*g, {src, u"a"_s, u"b"_s, src});
        addRow(*g, {src, u"b"_s, u"a"_s, src});
        addRow(*g, {src, u"c"_s, u"d"_s, src});
        platform.escAfterPolls = 1;
        FrnState state;
        RunOptions o;
        o.move = true;
        EscSink sink;
        const RunSummary s = executeRun(*g, state, o, sink);
        QCOMPARE(s.end, RunEnd::Stopped);
        QCOMPARE(column(*g, u"jg"_s), (QStringList{u"成功"_s, u"成功"_s, QString()}));
        QCOMPARE(readFile(src + u"a"_s), QByteArray("B"));
        QCOMPARE(readFile(src + u"b"_s), QByteArray("A"));
        QCOMPARE(readFile(src + u"c"_s), QByteArray("C"));
        QCOMPARE(leftovers(box.base), QStringList());
    }

    // A target path of blanks only ends the run like an empty one; nothing
    // lands in the working folder.
    void blankTargetPath_data() {
        QTest::addColumn<QString>("npath");
        QTest::newRow("spaces") << u"   "_s;
        QTest::newRow("tab and space") << u"\t "_s;
    }
    void blankTargetPath() {
        QFETCH(QString, npath);
        zorv::test::ScriptedPlatform platform;
        QTemporaryDir dir, work;
        const QString src = dir.path() + u"/"_s;
        QVERIFY(writeFile(src + u"a"_s, "A") && writeFile(src + u"b"_s, "B"));
        auto g = makeFrn1Grid();
        addRow(*g, {src, u"a"_s, u"a2"_s, src});
        addRow(*g, {src, u"b"_s, u"b2"_s, npath});
        const QString cwd = QDir::currentPath();
        QVERIFY(QDir::setCurrent(work.path()));
        EscSink sink;
        const RunSummary s = executeRun(*g, FrnState{}, RunOptions{}, sink);
        QVERIFY(QDir::setCurrent(cwd));
        QCOMPARE(s.end, RunEnd::NoPath);
        QCOMPARE(s.endRow, 2);
        QCOMPARE(platform.messageLines(), QStringList{u"提示 / 目标文件路径不能为空"_s});
        QCOMPARE(column(*g, u"jg"_s), (QStringList{u"成功"_s, QString()}));
        QCOMPARE(
            QDir(work.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
            QStringList());
    }

    // Rows take their folders as their own cells say, whatever the rows
    // before them held: a missing "/", blanks round a target folder, and a
    // folder that cannot be encoded refuses only its own rows.
    void plannedFolders() {
        const QString bad = u"/c/"_s + QChar(QChar::ReplacementCharacter); // a name not decoded
        auto g = makeFrn1Grid();
        addRow(*g, {u"/a/"_s, u"x1"_s, u"y1"_s, u"/b/"_s});
        addRow(*g, {u"/a"_s, u"x2"_s, u"y2"_s, u" /a/ "_s});
        addRow(*g, {bad, u"x3"_s, u"y3"_s, u"/b/"_s});
        addRow(*g, {u"/a/"_s, u"x4"_s, u"y4"_s, u"/b/"_s});
        addRow(*g, {bad, u"x5"_s, u"y5"_s, u"/b/"_s});
        addRow(*g, {u"/a/"_s, u"x6"_s, u"y6"_s, u"/d"_s + QChar(QChar::ReplacementCharacter)});
        addRow(*g, {u"/a/"_s, u"x7"_s, u"y7"_s, u"/a"_s});
        const Plan plan = buildPlan(*g, QString(), RunOptions{true, true});
        QCOMPARE(plan.tasks.size(), size_t(7));
        const QList<Action> actions{Action::Move,       Action::MoveInPlace, Action::Refuse,
                                    Action::Move,       Action::Refuse,      Action::Refuse,
                                    Action::MoveInPlace};
        const QList<QByteArray> sources{"/a/", "/a/", "", "/a/", "", "", "/a/"};
        const QList<QByteArray> targets{"/b/", "/a/", "", "/b/", "", "", "/a/"};
        for (int i = 0; i < 7; ++i) {
            const Task &t = plan.tasks[size_t(i)];
            QCOMPARE(t.row, i + 1);
            QCOMPARE(t.action, actions[i]);
            QCOMPARE(t.sourceDir, sources[i]);
            QCOMPARE(t.targetDir, targets[i]);
            if (t.action != Action::Refuse)
                QCOMPARE(t.target(), targets[i] + "y" + QByteArray::number(i + 1));
        }
    }

    // A plan without any row touching another's files needs no reordering.
    void cleanPlanKeepsRowOrder() {
        Sandbox box;
        QVERIFY(box.make());
        const QString src = box.base + u"/src/"_s;
        auto g = makeFrn1Grid();
        for (int i = 1; i <= 3; ++i)
            addRow(*g, {src, QString::number(i), u"n"_s + QString::number(i), src});
        const PlanCheck check = checkPlan(buildPlan(*g, QString(), RunOptions{true, true}));
        QVERIFY(check.conflicts.empty());
        QVERIFY(check.steps.empty());
    }
};

QTEST_GUILESS_MAIN(TestPlanCheck)
#include "test_plan_check.moc"
