// Drivers of the file batch benchmarks (bench_files.sh): each sub-command
// times one step of the file window's core logic and prints "<count> <seconds>".
//   mktree DIR                 1,000 leaf folders on 3 levels, 100 files each
//   mkfiles DIR N SIZE         N files f000000.txt.. of SIZE bytes
//   list DIR                   recursive listing of DIR into the grid
//   rename DIR N               N in-place renames f000000.txt -> F000000.TXT
//                              (move mode), as baseline_rename does them
//   rename-steps DIR N         the same, also printing the time of its plan,
//                              plan check and disk work apart
//   rename-journal DIR N FILE  the same renames, journaled into the new FILE
//   undo FILE                  the undo of the run journaled in FILE
//   copy SRC DST N             N files f000000.txt.. copied from SRC into DST
//   op9 N                      operation 9 over N rows
#include "core/files/batch_run.h"
#include "core/files/name_match.h"
#include "core/files/name_ops.h"
#include "core/files/run_journal.h"
#include "core/files/run_undo.h"
#include "core/files/source_scan.h"
#include "core/platform/progress.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;
using namespace zorv;
using namespace zorv::files;

namespace {

// The i-th file of mkfiles, or its upper-case new name in the rename run.
QString fileName(long i, bool upper = false) {
    const QString name = u"f%1.txt"_s.arg(qlonglong(i), 6, 10, QChar(u'0'));
    return upper ? name.toUpper() : name;
}

bool makeFile(const std::string &path, long size) {
    const int fd = open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    std::string data(size_t(size), 'x');
    const bool ok = write(fd, data.data(), data.size()) == ssize_t(data.size());
    close(fd);
    return ok;
}

int mktree(const std::string &dir) {
    mkdir(dir.c_str(), 0777);
    for (int a = 0; a < 10; ++a) {
        const std::string da = dir + "/d" + std::to_string(a);
        mkdir(da.c_str(), 0777);
        for (int b = 0; b < 10; ++b) {
            const std::string db = da + "/e" + std::to_string(b);
            mkdir(db.c_str(), 0777);
            for (int c = 0; c < 10; ++c) {
                const std::string dc = db + "/g" + std::to_string(c);
                mkdir(dc.c_str(), 0777);
                for (int f = 0; f < 100; ++f)
                    if (!makeFile(dc + "/file" + std::to_string(f) + ".jpg", 0))
                        return 1;
            }
        }
    }
    return 0;
}

int mkfiles(const std::string &dir, long n, long size) {
    mkdir(dir.c_str(), 0777);
    for (long i = 0; i < n; ++i)
        if (!makeFile(dir + '/' + fileName(i).toStdString(), size))
            return 1;
    return 0;
}

void report(qint64 count, const QElapsedTimer &t) {
    std::printf("%lld %.3f\n", static_cast<long long>(count), double(t.nsecsElapsed()) / 1e9);
}

// Grid rows for the mkfiles files in src, renamed in place to their
// upper-case names or copied under their own names into dst.
std::unique_ptr<Grid> fileRows(const QString &src, const QString &dst, long n, bool rename) {
    auto g = makeFrn1Grid();
    const FrnColumns c(*g);
    g->setRedraw(false);
    for (long i = 0; i < n; ++i) {
        const qint64 r = g->insertRow(0);
        g->setItem(r, c.xh, r);
        g->setItem(r, c.ypath, src + u'/');
        g->setItem(r, c.filey, fileName(i));
        g->setItem(r, c.filen, fileName(i, rename));
        g->setItem(r, c.npath, dst + u'/');
    }
    g->setRedraw(true);
    return g;
}

int run(const QString &src, const QString &dst, long n, bool move,
        const QString &journal = QString()) {
    auto g = fileRows(src, dst, n, move);
    JournalPlace place;
    place.file = journal;
    FrnState state;
    state.ls_path2 = dst;
    RunOptions o;
    o.move = move;
    QElapsedTimer t;
    t.start();
    const RunSummary s =
        executeRun(*g, state, o, noProgress(), journal.isEmpty() ? nullptr : &place);
    report(s.succeeded, t);
    return s.succeeded == n ? 0 : 1;
}

// The rename run's three steps timed apart: planning the grid's rows,
// checking the plan, and the disk work with each outcome written back.
int phases(const QString &src, long n) {
    auto g = fileRows(src, src, n, true);
    RunOptions o;
    o.move = true;
    const int jg = FrnColumns(*g).jg;
    const QString done = outcomeText(Outcome::Success);
    QElapsedTimer t;
    t.start();
    const Plan plan = buildPlan(*g, src, o);
    const qint64 planned = t.nsecsElapsed();
    const PlanCheck check = checkPlan(plan);
    const qint64 checked = t.nsecsElapsed();
    const RunSummary s =
        runPlan(plan, check, noProgress(), [&](qint64 row, Outcome) { g->setItem(row, jg, done); });
    const qint64 ran = t.nsecsElapsed();
    std::printf("%lld %.3f plan %.3f check %.3f run %.3f\n", static_cast<long long>(s.succeeded),
                double(ran) / 1e9, double(planned) / 1e9, double(checked - planned) / 1e9,
                double(ran - checked) / 1e9);
    return s.succeeded == n ? 0 : 1;
}

int op9(long n) {
    auto g = makeFrn1Grid();
    const FrnColumns c(*g);
    g->setRedraw(false);
    for (long i = 0; i < n; ++i) {
        const qint64 r = g->insertRow(0);
        g->setItem(r, c.ypath, u"/photos/"_s);
        g->setItem(r, c.filey, QString::number(20200000 + i) + u"_照片.jpg"_s);
    }
    g->setRedraw(true);
    NameOpParams p;
    p.op = 9;
    p.step = 1;
    QElapsedTimer t;
    t.start();
    computeNames(*g, p, false, noProgress());
    report(g->rowCount(), t);
    return g->getItemString(n, c.filen).startsWith(QString::number(n)) ? 0 : 1;
}

// The list match's "Cancel" end over n rows, every other one found: the
// rows not found leave the grid, the rest are sorted by xh.
int dropNotFound(long n) {
    auto g = makeFrn1Grid();
    const FrnColumns c(*g);
    g->setRedraw(false);
    for (long i = 0; i < n; ++i) {
        const qint64 r = g->insertRow(0);
        g->setItem(r, c.xh, qint64(n - i));
        g->setItem(r, c.ypath, u"/photos/"_s);
        g->setItem(r, c.filey, u"f"_s + QString::number(i));
        if (i % 2)
            g->setItem(r, c.jg, u"找到"_s);
    }
    g->setRedraw(true);
    QElapsedTimer t;
    t.start();
    keepFoundRows(*g, true);
    report(g->rowCount(), t);
    return g->rowCount() == n / 2 ? 0 : 1;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments();
    const QString cmd = a.value(1);
    if (cmd == u"mktree"_s && a.size() == 3)
        return mktree(a[2].toStdString());
    if (cmd == u"mkfiles"_s && a.size() == 5)
        return mkfiles(a[2].toStdString(), a[3].toLong(), a[4].toLong());
    if (cmd == u"list"_s && a.size() == 3) {
        auto g = makeFrn1Grid();
        ScanOptions o;
        o.recursive = true;
        QElapsedTimer t;
        t.start();
        const qint64 n = scanIntoGrid(*g, a[2], o, noProgress());
        report(n, t);
        return 0;
    }
    if (cmd == u"rename"_s && a.size() == 4)
        return run(a[2], a[2], a[3].toLong(), true);
    if (cmd == u"rename-journal"_s && a.size() == 5)
        return run(a[2], a[2], a[3].toLong(), true, a[4]);
    if (cmd == u"undo"_s && a.size() == 3) {
        QElapsedTimer t;
        t.start();
        const UndoReport r = undoJournal(a[2], noProgress());
        report(r.counts[int(UndoResult::Undone)], t);
        return r.end == UndoEnd::Done ? 0 : 1;
    }
    if (cmd == u"copy"_s && a.size() == 5)
        return run(a[2], a[3], a[4].toLong(), false);
    if (cmd == u"rename-steps"_s && a.size() == 4)
        return phases(a[2], a[3].toLong());
    if (cmd == u"op9"_s && a.size() == 3)
        return op9(a[2].toLong());
    if (cmd == u"dropnotfound"_s && a.size() == 3)
        return dropNotFound(a[2].toLong());
    std::fprintf(stderr,
                 "usage: bench_files mktree|mkfiles|list|rename|rename-steps|rename-journal|undo|"
                 "copy|op9|dropnotfound ...\n");
    return 2;
}
