#include "core/files/run_journal.h"

#include "core/files/file_ops.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace zorv::files {
namespace {

// Before-lines go to disk in batches that grow eightfold from the first to
// the largest: a short run is on disk at once, a long one pays for a flush
// every few thousand steps only. Outcomes are written, not flushed, at the
// next batch and at least every kWriteEveryMs: an undo that misses one looks
// at the disk. A batch's look at a source stands in for the run's own look
// (is it still a file?) for kLookFreshMs; a batch of renames takes a fraction
// of that, one of large copies or of moves to other disks looks again.
constexpr size_t kFirstBatch = 256;
constexpr size_t kLargestBatch = 16384;
constexpr qint64 kWriteEveryMs = 1000;
constexpr qint64 kLookFreshMs = 1000;

qint64 monotonicMs() {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC_COARSE, &ts);
    return qint64(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

void appendHex(QByteArray &out, quint64 v) {
    char buf[16];
    int n = 0;
    do {
        const int d = int(v & 15);
        buf[n++] = char(d < 10 ? '0' + d : 'a' + d - 10);
        v >>= 4;
    } while (v);
    while (n)
        out.append(buf[--n]);
}

void appendDec(QByteArray &out, qint64 v) {
    char buf[24];
    const int n = std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(v));
    out.append(buf, n);
}

void appendFile(QByteArray &out, const FileId &f) {
    if (!f.present) {
        out.append('-');
        return;
    }
    appendHex(out, f.dev);
    out.append(':');
    appendHex(out, f.ino);
    out.append(':');
    appendHex(out, quint64(f.size));
    out.append(':');
    appendHex(out, quint64(f.sec));
    out.append(':');
    appendHex(out, quint64(f.nsec));
}

const char *opName(StepKind kind, Action a) {
    const bool move = a == Action::Move || a == Action::MoveInPlace;
    switch (kind) {
    case StepKind::Run:
        return move ? "move" : "copy";
    case StepKind::Hold:
        return move ? "hold-move" : "hold-copy";
    case StepKind::Release:
        return move ? "release-move" : "release-copy";
    case StepKind::Skip:
        break;
    }
    return nullptr;
}

bool touchesDisk(Action a) {
    return a == Action::CopyInPlace || a == Action::MoveInPlace || a == Action::Copy ||
           a == Action::Move;
}

// Removes the oldest "run-*.journal" files of folder beyond kJournalsKept.
void pruneJournals(const QString &folder) {
    QStringList names = QDir(folder).entryList({u"run-*.journal"_s}, QDir::Files, QDir::Name);
    while (names.size() > kJournalsKept)
        QFile::remove(folder + u'/' + names.takeFirst());
}

} // namespace

bool writeAll(int fd, const char *data, size_t size) {
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= size_t(n);
    }
    return true;
}

FileId fileIdAt(int dir, const char *name, bool *movable) {
    FileId f;
    struct stat st;
    if (movable)
        *movable = false;
    if (fstatat(dir, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return f;
    if (movable)
        *movable = movableMode(st.st_mode);
    f.present = true;
    f.dev = quint64(st.st_dev);
    f.ino = quint64(st.st_ino);
    f.size = qint64(st.st_size);
    f.sec = qint64(st.st_mtim.tv_sec);
    f.nsec = qint64(st.st_mtim.tv_nsec);
    return f;
}

void appendEscaped(QByteArray &out, const QByteArray &bytes) {
    const char *p = bytes.constData();
    const char *end = p + bytes.size();
    while (p < end) {
        const char *q = p;
        while (q < end && *q != '\\' && *q != '\t' && *q != '\n' && *q != '\r')
            ++q;
        out.append(p, q - p);
        if (q == end)
            break;
        out.append('\\');
        out.append(*q == '\\' ? '\\' : *q == '\t' ? 't' : *q == '\n' ? 'n' : 'r');
        p = q + 1;
    }
}

RunJournal::RunJournal(const Plan &plan, const PlanCheck &check, bool move)
    : m_plan(plan), m_check(check), m_move(move) {
    const size_t tasks = plan.tasks.size();
    m_batch = kFirstBatch;
    m_steps = check.steps.empty() ? tasks : check.steps.size();
    m_outcomeStep.assign(tasks, 0);
    m_source.assign(tasks, FileId{});
    m_movable.assign(tasks, 0);
    if (check.steps.empty()) {
        for (size_t k = 0; k < tasks; ++k)
            m_outcomeStep[k] = k;
    } else {
        for (size_t k = 0; k < check.steps.size(); ++k)
            if (check.steps[k].kind != StepKind::Hold)
                m_outcomeStep[check.steps[k].task] = k;
    }
}

RunJournal::~RunJournal() {
    for (Folder &f : m_folders)
        if (f.fd >= 0)
            close(f.fd);
    if (m_fd >= 0)
        close(m_fd);
}

void RunJournal::fail(const QString &what, int err) {
    if (m_error.isEmpty())
        m_error =
            u"执行日志无法写入："_s + what + u"\n"_s + QString::fromLocal8Bit(std::strerror(err));
}

bool RunJournal::open(const JournalPlace &place, QString *error) {
    QString path = place.file;
    if (path.isEmpty()) {
        if (!QDir().mkpath(place.folder)) {
            fail(place.folder, errno ? errno : EACCES);
            *error = m_error;
            return false;
        }
        path = place.folder + u"/run-"_s +
               QDateTime::currentDateTimeUtc().toString(u"yyyyMMdd-HHmmss-zzz"_s) + u'-' +
               QString::number(getpid()) + u".journal"_s;
    }
    m_path = path;
    const QByteArray native = QFile::encodeName(path);
    m_fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (m_fd < 0) {
        fail(path, errno);
        *error = m_error;
        return false;
    }
    m_buf.reserve(1 << 20);
    m_buf.append("ZORV-RUN-JOURNAL 1\nP\t");
    appendDec(m_buf, getpid());
    m_buf.append('\t');
    m_buf.append(QDateTime::currentDateTimeUtc().toString(Qt::ISODate).toLatin1());
    m_buf.append(m_move ? "\tmove\t" : "\tcopy\t");
    m_buf.append(m_plan.overwrite ? "yes\n" : "no\n");
    bool ok = writeOut(true);
    if (ok) {
        // The journal's own name must survive a power loss too.
        const qsizetype slash = native.lastIndexOf('/');
        const QByteArray folder = slash < 0 ? QByteArray(".") : native.left(slash + 1);
        const int dfd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        // EINVAL: a file system that cannot flush folders.
        if ((dfd < 0 || fsync(dfd) != 0) && errno != EINVAL) {
            ok = false;
            fail(path, errno);
        }
        if (dfd >= 0)
            close(dfd);
    }
    if (!ok) {
        close(m_fd);
        m_fd = -1;
        unlink(native.constData());
        *error = m_error;
        return false;
    }
    if (place.file.isEmpty())
        pruneJournals(place.folder);
    m_lastSync = monotonicMs();
    return true;
}

Step RunJournal::stepAt(size_t k) const {
    return m_check.steps.empty() ? Step{quint32(k), StepKind::Run} : m_check.steps[k];
}

int RunJournal::folderId(const QByteArray &path) {
    if (const auto it = m_folderIds.constFind(path); it != m_folderIds.cend())
        return *it;
    const int id = int(m_folders.size());
    m_folders.push_back(Folder{path, -1});
    m_folderIds.insert(path, id);
    m_buf.append("D\t");
    appendDec(m_buf, id);
    m_buf.append('\t');
    appendEscaped(m_buf, path);
    m_buf.append('\t');
    struct stat st;
    if (!path.isEmpty() && stat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode)) {
        appendHex(m_buf, quint64(st.st_dev));
        m_buf.append(':');
        appendHex(m_buf, quint64(st.st_ino));
        // Reached through a symbolic link: an undo may follow that one.
        struct stat lst;
        QByteArray bare = path;
        while (bare.size() > 1 && bare.endsWith('/'))
            bare.chop(1);
        if (lstat(bare.constData(), &lst) == 0 && S_ISLNK(lst.st_mode))
            m_buf.append(":L");
    } else {
        // A folder still to be made: "-" and how many of its levels are
        // missing, which an undo may remove again once they are empty.
        QByteArray p = path;
        int missing = 0;
        while (p.size() > 1 && p.endsWith('/'))
            p.chop(1);
        while (!p.isEmpty() && p != "/" && stat(p.constData(), &st) != 0 && errno == ENOENT) {
            ++missing;
            p.truncate(p.lastIndexOf('/') > 0 ? p.lastIndexOf('/') : 0);
        }
        m_buf.append('-');
        appendDec(m_buf, missing);
    }
    m_buf.append('\n');
    return id;
}

int RunJournal::folderFd(int id) {
    Folder &f = m_folders[size_t(id)];
    if (f.path.isEmpty())
        return AT_FDCWD;
    if (f.fd >= 0)
        return f.fd;
    // Two folders stay open (the source and target folder of a run of rows).
    int &slot = m_openFds[m_nextFd];
    m_nextFd ^= 1;
    if (slot >= 0 && m_folders[size_t(slot)].fd >= 0) {
        close(m_folders[size_t(slot)].fd);
        m_folders[size_t(slot)].fd = -1;
    }
    f.fd = ::open(f.path.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    slot = f.fd >= 0 ? id : -1;
    return f.fd;
}

void RunJournal::appendBefore(size_t k) {
    const Step step = stepAt(k);
    const Task &t = m_plan.tasks[step.task];
    const char *op = opName(step.kind, t.action);
    if (!op || !touchesDisk(t.action))
        return;
    const int src = folderId(t.sourceDir);
    const int tgt = folderId(t.targetDir);
    FileId &source = m_source[step.task];
    // A release moves the held file, which is the source as the hold saw it.
    if (step.kind != StepKind::Release) {
        const int fd = folderFd(src);
        bool movable = false;
        source = fd == -1 ? FileId{} : fileIdAt(fd, t.sourceName.constData(), &movable);
        m_movable[step.task] = movable;
    }
    FileId before;
    if (t.action == Action::Copy || t.action == Action::CopyInPlace) {
        const int fd = folderFd(tgt);
        if (fd != -1)
            before = fileIdAt(fd, t.targetName.constData());
    }
    m_buf.append("B\t");
    appendDec(m_buf, qint64(k));
    m_buf.append('\t');
    appendDec(m_buf, t.row);
    m_buf.append('\t');
    m_buf.append(op);
    m_buf.append('\t');
    appendDec(m_buf, src);
    m_buf.append('\t');
    appendEscaped(m_buf, t.sourceName);
    m_buf.append('\t');
    appendDec(m_buf, tgt);
    m_buf.append('\t');
    appendEscaped(m_buf, t.targetName);
    m_buf.append('\t');
    appendFile(m_buf, source);
    m_buf.append('\t');
    appendFile(m_buf, before);
    m_buf.append('\n');
}

bool RunJournal::writeOut(bool sync) {
    if (m_fd < 0)
        return false;
    if (!m_buf.isEmpty() && !writeAll(m_fd, m_buf.constData(), size_t(m_buf.size()))) {
        fail(m_path, errno);
        return false;
    }
    m_buf.clear();
    if (sync && fdatasync(m_fd) != 0 && errno != EINVAL) {
        fail(m_path, errno);
        return false;
    }
    return true;
}

bool RunJournal::beforeStep(size_t k) {
    if (!m_error.isEmpty())
        return false;
    if (k < m_written) {
        // Outcomes do not wait for long behind a slow batch (large copies).
        if (monotonicMs() - m_lastSync < kWriteEveryMs)
            return true;
        m_lastSync = monotonicMs();
        return writeOut(false);
    }
    const size_t end = std::min(m_steps, k + m_batch);
    m_batch = std::min(m_batch * 8, kLargestBatch);
    m_lookedAt = monotonicMs();
    for (size_t j = k; j < end; ++j)
        appendBefore(j);
    m_written = end;
    m_lastSync = monotonicMs();
    return writeOut(true);
}

bool RunJournal::sourceLooked(size_t k) const {
    // Every file a step leaves under a name is a file or a link too, so
    // only a change from outside could have made the look stale.
    return k < m_written && m_movable[stepAt(k).task] && monotonicMs() - m_lookedAt <= kLookFreshMs;
}

void RunJournal::held(quint32 task, const QByteArray &temp) {
    m_buf.append("H\t");
    appendDec(m_buf, m_plan.tasks[task].row);
    m_buf.append('\t');
    appendEscaped(m_buf, temp);
    m_buf.append('\n');
    // Written at once: after a kill the held file is found by its name.
    writeOut(false);
}

void RunJournal::outcome(qint64 row, Outcome o) {
    const auto &tasks = m_plan.tasks;
    const auto it = std::lower_bound(tasks.begin(), tasks.end(), row,
                                     [](const Task &t, qint64 r) { return t.row < r; });
    if (it == tasks.end() || it->row != row)
        return;
    const size_t task = size_t(it - tasks.begin());
    const Task &t = *it;
    if (!touchesDisk(t.action))
        return;
    const size_t k = m_outcomeStep[task];
    FileId created;
    if (o == Outcome::Success) {
        // A rename within one folder keeps the file as it was; anything else
        // is looked at under its new name.
        if (t.action == Action::MoveInPlace) {
            created = m_source[task];
        } else {
            const int fd = folderFd(folderId(t.targetDir));
            if (fd != -1)
                created = fileIdAt(fd, t.targetName.constData());
        }
    }
    m_buf.append("O\t");
    appendDec(m_buf, qint64(k));
    m_buf.append('\t');
    appendDec(m_buf, int(o));
    m_buf.append('\t');
    appendFile(m_buf, created);
    m_buf.append('\n');
}

bool RunJournal::finish(const RunSummary &summary) {
    m_buf.append("E\t");
    appendDec(m_buf, int(summary.end));
    m_buf.append('\t');
    appendDec(m_buf, summary.executed);
    m_buf.append('\t');
    appendDec(m_buf, summary.succeeded);
    m_buf.append('\n');
    const bool ok = writeOut(false);
    close(m_fd);
    m_fd = -1;
    return ok;
}

} // namespace zorv::files
