#include "core/files/run_undo.h"

#include "core/files/batch_plan.h"
#include "core/files/file_ops.h"
#include "core/files/temp_file.h"
#include "core/grid/grid.h"
#include "core/platform/platform.h"
#include "core/platform/progress.h"

#include <QDateTime>
#include <QFile>
#include <QHash>
#include <QRandomGenerator>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace zorv::files {
namespace {

constexpr char kHoldPrefix[] = ".zorv-hold-";

// How much a result weighs when the steps of one row disagree.
int weight(UndoResult r) {
    switch (r) {
    case UndoResult::Nothing:
        return 0;
    case UndoResult::Undone:
        return 1;
    case UndoResult::NotUndoable:
        return 2;
    case UndoResult::TargetChanged:
        return 3;
    case UndoResult::SourceTaken:
        return 4;
    case UndoResult::FolderChanged:
        return 5;
    case UndoResult::Failed:
        return 6;
    }
    return 6;
}

// The file the run left under a name: the very file it started from (a
// rename), or, on another file system, a copy with the same size and time.
bool isMovedFile(const FileId &now, const FileId &original) {
    return now == original ||
           (now.present && original.present && now.dev != original.dev && now.sameData(original));
}

QByteArray baseName(const QByteArray &path) {
    return path.mid(path.lastIndexOf('/') + 1);
}

bool processRuns(qint64 pid) {
    return pid > 0 && pid != getpid() && (kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

class Undoer {
public:
    explicit Undoer(Journal &j) : m_j(j), m_state(j.folders.size(), kUnknown) {}
    ~Undoer() {
        for (const Slot &s : m_slots)
            if (s.fd >= 0)
                close(s.fd);
    }
    Undoer(const Undoer &) = delete;
    Undoer &operator=(const Undoer &) = delete;

    UndoResult undo(size_t index) {
        JournalStep &s = m_j.steps[index];
        // A step that may have been under way when the run ended: what it
        // left in its target folder under a temporary name goes.
        if (!m_j.ended && s.outcome < 0)
            sweepTarget(s);
        switch (s.op) {
        case 'M':
            return undoMove(s);
        case 'C':
            return undoCopy(s);
        case 'H':
            return s.moveKind ? undoHoldMove(s) : undoHoldCopy(s);
        case 'R':
            return undoRelease(index);
        }
        return UndoResult::Nothing;
    }

private:
    enum : quint8 { kUnknown, kGood, kChanged, kGone };
    struct Slot {
        int id = -1;
        int fd = -1;
    };

    // The open folder id, or -1 with *state telling why: it is not the
    // folder the run used, or it is gone.
    int folder(int id, quint8 *state) {
        const JournalFolder &f = m_j.folders[size_t(id)];
        *state = m_state[size_t(id)];
        if (f.path.isEmpty()) {
            *state = kGood;
            return AT_FDCWD;
        }
        if (*state == kChanged || *state == kGone)
            return -1;
        for (const Slot &s : m_slots)
            if (s.id == id && s.fd >= 0)
                return s.fd;
        Slot &slot = m_slots[m_next];
        m_next ^= 1;
        if (slot.fd >= 0)
            close(slot.fd);
        slot = Slot{};
        // A symbolic link that appeared since in place of the folder is not
        // followed (a "/" at the end would make it followed all the same).
        const int flags = O_PATH | O_DIRECTORY | O_CLOEXEC | (f.link ? 0 : O_NOFOLLOW);
        QByteArray bare = f.path;
        while (bare.size() > 1 && bare.endsWith('/'))
            bare.chop(1);
        const int fd = open(bare.constData(), flags);
        struct stat st;
        if (fd < 0) {
            *state = errno == ENOENT ? kGone : kChanged;
        } else if (f.known && (fstat(fd, &st) != 0 || quint64(st.st_dev) != f.dev ||
                               quint64(st.st_ino) != f.ino)) {
            *state = kChanged;
        } else {
            *state = kGood;
        }
        m_state[size_t(id)] = *state;
        if (*state != kGood) {
            if (fd >= 0)
                close(fd);
            return -1;
        }
        slot = Slot{id, fd};
        return fd;
    }

    void sweepTarget(const JournalStep &s) {
        if (!m_swept.insert(s.targetFolder).second)
            return;
        quint8 state;
        const int fd = folder(s.targetFolder, &state);
        if (fd == -1)
            return;
        const int dfd = openat(fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dfd >= 0) {
            removeStaleTemporaries(dfd);
            close(dfd);
        }
    }

    // Moves the file at from back to to, never replacing, and checks that
    // what arrived is the file expected; otherwise it goes back.
    UndoResult moveBack(At from, At to, const FileId &expected) {
        int e = 0;
        if (renameat2(from.dir, from.name, to.dir, to.name, RENAME_NOREPLACE) != 0) {
            e = errno;
            if (e == EXDEV || e == EINVAL || e == ENOSYS || e == EOPNOTSUPP)
                return resultOf(moveNew(from, to));
            return resultOf(e);
        }
        const FileId arrived = fileIdAt(to.dir, to.name);
        if (arrived.sameFile(expected) && arrived.sameData(expected))
            return UndoResult::Undone;
        // Replaced between the look and the rename: put it back untouched.
        renameat2(to.dir, to.name, from.dir, from.name, RENAME_NOREPLACE);
        return UndoResult::TargetChanged;
    }

    static UndoResult resultOf(int e) {
        return e == 0        ? UndoResult::Undone
               : e == EEXIST ? UndoResult::SourceTaken
               : e == ENOENT ? UndoResult::TargetChanged
                             : UndoResult::Failed;
    }

    // Removes name when it is the file expected: it is first moved aside and
    // looked at there, so a file that took its place meanwhile stays.
    UndoResult removeIfSame(int dir, const QByteArray &name, const FileId &expected) {
        const qsizetype slash = name.lastIndexOf('/');
        const QByteArray aside = name.left(slash + 1) + ".zorv-undo-" +
                                 QByteArray::number(getpid()) + '-' +
                                 QByteArray::number(QRandomGenerator::global()->generate(), 36);
        if (renameat2(dir, name.constData(), dir, aside.constData(), RENAME_NOREPLACE) != 0) {
            if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
                return errno == ENOENT ? UndoResult::TargetChanged : UndoResult::Failed;
            // No no-replace rename here: the look just before has to do.
            return unlinkat(dir, name.constData(), 0) == 0 ? UndoResult::Undone
                                                           : UndoResult::Failed;
        }
        if (fileIdAt(dir, aside.constData()) == expected)
            return unlinkat(dir, aside.constData(), 0) == 0 ? UndoResult::Undone
                                                            : UndoResult::Failed;
        renameat2(dir, aside.constData(), dir, name.constData(), RENAME_NOREPLACE);
        return UndoResult::TargetChanged;
    }

    UndoResult undoMove(const JournalStep &s) {
        if ((s.outcome >= 0 && s.outcome != int(Outcome::Success)) ||
            (s.outcome < 0 && !s.source.present))
            return UndoResult::Nothing;
        quint8 ss, ts;
        const int sfd = folder(s.sourceFolder, &ss);
        if (sfd == -1)
            return UndoResult::FolderChanged;
        const int tfd = folder(s.targetFolder, &ts);
        // The usual row of a finished run: its file is still under the
        // target name as the run left it. The move back refuses a taken
        // source name by itself, so the source is looked at only otherwise.
        if (s.outcome >= 0 && tfd != -1) {
            const FileId t = fileIdAt(tfd, s.targetName.constData());
            if (t == s.created)
                return moveBack(At{tfd, s.targetName.constData()},
                                At{sfd, s.sourceName.constData()}, t);
        }
        const FileId now = fileIdAt(sfd, s.sourceName.constData());
        if (now == s.source) {
            // Not carried out, or back already. A move across file systems
            // cut short may have left its complete copy under the target name.
            if (s.outcome < 0 && tfd != -1) {
                const FileId t = fileIdAt(tfd, s.targetName.constData());
                if (t.present && t.dev != s.source.dev && t.sameData(s.source))
                    return removeIfSame(tfd, s.targetName, t);
            }
            return UndoResult::Nothing;
        }
        if (tfd == -1)
            return ts == kGone && s.outcome < 0 ? UndoResult::Nothing : UndoResult::FolderChanged;
        if (now.present)
            return UndoResult::SourceTaken;
        const FileId t = fileIdAt(tfd, s.targetName.constData());
        const bool match = s.outcome >= 0 ? t == s.created : isMovedFile(t, s.source);
        if (!match)
            return UndoResult::TargetChanged;
        return moveBack(At{tfd, s.targetName.constData()}, At{sfd, s.sourceName.constData()}, t);
    }

    UndoResult undoCopy(const JournalStep &s) {
        if ((s.outcome >= 0 && s.outcome != int(Outcome::Success)) ||
            (s.outcome < 0 && !s.source.present))
            return UndoResult::Nothing;
        quint8 ts;
        const int tfd = folder(s.targetFolder, &ts);
        if (tfd == -1)
            return ts == kGone && s.outcome < 0 ? UndoResult::Nothing : UndoResult::FolderChanged;
        const FileId t = fileIdAt(tfd, s.targetName.constData());
        if (s.targetBefore.present) {
            // The copy replaced a file that was there before: that file is
            // not to be had back, and the copy is left.
            if (s.outcome < 0 && t == s.targetBefore)
                return UndoResult::Nothing;
            return UndoResult::NotUndoable;
        }
        if (!t.present)
            return s.outcome >= 0 ? UndoResult::TargetChanged : UndoResult::Nothing;
        const bool match =
            s.outcome >= 0 ? t == s.created : t.sameData(s.source) && !t.sameFile(s.source);
        if (!match)
            return UndoResult::TargetChanged;
        return removeIfSame(tfd, s.targetName, t);
    }

    // Looks in the target folder for a held file that is the source.
    QByteArray findHeld(int tfd, const FileId &source, bool sameFileOnly) {
        const int dfd = openat(tfd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dfd < 0)
            return {};
        DIR *dir = fdopendir(dfd);
        if (!dir) {
            close(dfd);
            return {};
        }
        QByteArray found;
        while (const dirent *e = readdir(dir)) {
            if (std::strncmp(e->d_name, kHoldPrefix, sizeof kHoldPrefix - 1) != 0)
                continue;
            const FileId f = fileIdAt(dfd, e->d_name);
            if (sameFileOnly ? isMovedFile(f, source) : f.sameData(source) && !f.sameFile(source)) {
                found = e->d_name;
                break;
            }
        }
        closedir(dir);
        return found;
    }

    UndoResult undoHoldMove(JournalStep &s) {
        quint8 ss, ts;
        const int sfd = folder(s.sourceFolder, &ss);
        if (sfd == -1)
            return UndoResult::FolderChanged;
        const FileId now = fileIdAt(sfd, s.sourceName.constData());
        if (now == s.source)
            return UndoResult::Nothing;
        const int tfd = folder(s.targetFolder, &ts);
        if (tfd == -1)
            return UndoResult::FolderChanged;
        QByteArray temp = baseName(s.temp);
        if (temp.isEmpty() || !isMovedFile(fileIdAt(tfd, temp.constData()), s.source))
            temp = findHeld(tfd, s.source, true);
        if (temp.isEmpty())
            return now.present ? UndoResult::SourceTaken : UndoResult::TargetChanged;
        const FileId held = fileIdAt(tfd, temp.constData());
        const UndoResult r = now.present ? UndoResult::SourceTaken
                                         : moveBack(At{tfd, temp.constData()},
                                                    At{sfd, s.sourceName.constData()}, held);
        if (r == UndoResult::SourceTaken) {
            // The file goes back where the run had put it rather than stay
            // under a hidden name.
            if (const auto it = m_released.find(s.row); it != m_released.end())
                renameat2(tfd, temp.constData(), tfd, m_j.steps[it->second].targetName.constData(),
                          RENAME_NOREPLACE);
        }
        return r;
    }

    UndoResult undoHoldCopy(const JournalStep &s) {
        quint8 ts;
        const int tfd = folder(s.targetFolder, &ts);
        if (tfd == -1)
            return UndoResult::Nothing;
        QByteArray temp = baseName(s.temp);
        if (temp.isEmpty() && s.outcome < 0 && !m_j.ended)
            temp = findHeld(tfd, s.source, false);
        if (temp.isEmpty())
            return UndoResult::Nothing;
        const FileId held = fileIdAt(tfd, temp.constData());
        if (!held.present || !held.sameData(s.source) || held.sameFile(s.source))
            return UndoResult::Nothing;
        return removeIfSame(tfd, temp, held);
    }

    UndoResult undoRelease(size_t index) {
        JournalStep &s = m_j.steps[index];
        if (s.outcome >= 0 && s.outcome != int(Outcome::Success))
            return UndoResult::Nothing; // the held file is the hold's to undo
        if (!s.moveKind)
            return s.outcome >= 0 ? UndoResult::NotUndoable : UndoResult::Nothing;
        quint8 ss, ts;
        const int sfd = folder(s.sourceFolder, &ss);
        if (sfd == -1)
            return UndoResult::FolderChanged;
        const int tfd = folder(s.targetFolder, &ts);
        if (tfd == -1)
            return ts == kGone && s.outcome < 0 ? UndoResult::Nothing : UndoResult::FolderChanged;
        const FileId t = fileIdAt(tfd, s.targetName.constData());
        const bool match = s.outcome >= 0 ? t == s.created : isMovedFile(t, s.source);
        if (!match)
            return s.outcome >= 0 ? UndoResult::TargetChanged : UndoResult::Nothing;
        // Back under the held name; the hold's undo takes it to its source
        // (which, in a ring, another row's undo frees first).
        JournalStep *hold = nullptr;
        for (size_t i = index; i-- > 0;)
            if (m_j.steps[i].row == s.row && m_j.steps[i].op == 'H') {
                hold = &m_j.steps[i];
                break;
            }
        if (!hold)
            return UndoResult::Failed;
        QByteArray temp = baseName(hold->temp);
        if (temp.isEmpty() || fileIdAt(tfd, temp.constData()).present) {
            temp = kHoldPrefix + QByteArray::number(QRandomGenerator::global()->generate(), 36);
            hold->temp = m_j.folders[size_t(s.targetFolder)].path + temp;
        }
        const UndoResult r =
            moveBack(At{tfd, s.targetName.constData()}, At{tfd, temp.constData()}, t);
        if (r == UndoResult::Undone)
            m_released[s.row] = index;
        return r == UndoResult::SourceTaken ? UndoResult::Failed : r;
    }

public:
    // Removes the folders the run made, where they are empty again.
    void removeMadeFolders() {
        for (size_t id = m_j.folders.size(); id-- > 0;) {
            const JournalFolder &f = m_j.folders[id];
            if (f.known || f.missing <= 0 || m_state[id] == kChanged)
                continue;
            QByteArray p = f.path;
            while (p.size() > 1 && p.endsWith('/'))
                p.chop(1);
            for (int level = 0; level < f.missing && p.size() > 1; ++level) {
                if (rmdir(p.constData()) != 0)
                    break;
                p.truncate(p.lastIndexOf('/') > 0 ? p.lastIndexOf('/') : 0);
            }
        }
    }

private:
    Journal &m_j;
    std::vector<quint8> m_state;
    Slot m_slots[2];
    int m_next = 0;
    std::set<int> m_swept;
    std::map<qint64, size_t> m_released; // row: its release step, undone so far
};

} // namespace

QString undoResultText(UndoResult r) {
    switch (r) {
    case UndoResult::Undone:
        return u"已撤销"_s;
    case UndoResult::Nothing:
        return u"无需撤销"_s;
    case UndoResult::TargetChanged:
        return u"目标已变"_s;
    case UndoResult::SourceTaken:
        return u"源位置已占用"_s;
    case UndoResult::NotUndoable:
        return u"不可撤销"_s;
    case UndoResult::FolderChanged:
        return u"文件夹已变"_s;
    case UndoResult::Failed:
        return u"撤销失败"_s;
    }
    return {};
}

UndoReport undoJournal(const QString &path, ProgressSink &progress) {
    UndoReport report;
    report.journal = path;
    Journal j;
    if (!readJournal(path, &j, &report.error)) {
        report.end = UndoEnd::Unreadable;
        return report;
    }
    if (j.undone) {
        report.end = UndoEnd::AlreadyUndone;
        return report;
    }
    if (!j.ended && processRuns(j.pid)) {
        report.end = UndoEnd::StillRunning;
        return report;
    }
    const int fd =
        open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        report.error =
            u"执行日志无法写入："_s + path + u"\n"_s + QString::fromLocal8Bit(std::strerror(errno));
        report.end = UndoEnd::Unreadable;
        return report;
    }
    QByteArray out;
    if (j.cutOff)
        out.append("\nX\n");
    std::map<qint64, UndoRow> rows;
    Undoer undoer(j);
    const QString undoing = u"正在撤销："_s;
    const qint64 total = qint64(j.steps.size());
    qint64 done = 0;
    bool writable = true;
    for (size_t i = j.steps.size(); i-- > 0;) {
        JournalStep &s = j.steps[i];
        progress.progress(done++, total, undoing + QString::number(s.row));
        if (progress.stopRequested()) {
            report.end = UndoEnd::Stopped;
            break;
        }
        UndoResult r;
        if (s.undoResult == int(UndoResult::Undone) || s.undoResult == int(UndoResult::Nothing)) {
            r = UndoResult(s.undoResult); // an undo stopped earlier did this one
        } else {
            r = undoer.undo(i);
            out.append("R\t").append(QByteArray::number(s.step)).append('\t');
            out.append(QByteArray::number(int(r))).append('\n');
        }
        UndoRow &row = rows[s.row];
        if (row.row == 0 || weight(r) > weight(row.result))
            row.result = r;
        if (row.row == 0 || s.op == 'M' || s.op == 'C' || s.op == 'H') {
            row.row = s.row;
            row.source = j.sourcePath(s);
            row.target = j.targetPath(s);
        }
        if (out.size() > (1 << 20)) {
            writable = writeAll(fd, out.constData(), size_t(out.size())) && writable;
            out.clear();
        }
    }
    if (report.end != UndoEnd::Stopped)
        undoer.removeMadeFolders();
    if (report.end != UndoEnd::Stopped)
        out.append("U\t")
            .append(QDateTime::currentDateTimeUtc().toString(Qt::ISODate).toLatin1())
            .append('\n');
    writable = writeAll(fd, out.constData(), size_t(out.size())) && writable;
    close(fd);
    progress.progress(total, total, QString());
    report.rows.reserve(rows.size());
    for (auto &entry : rows) {
        ++report.counts[int(entry.second.result)];
        report.rows.push_back(std::move(entry.second));
    }
    if (!writable)
        report.error = u"执行日志无法写入："_s + path;
    return report;
}

QString undoCountsText(const UndoReport &report) {
    QStringList parts;
    for (int k = 0; k < kUndoResultKinds; ++k)
        if (report.counts[k] > 0 || UndoResult(k) == UndoResult::Undone)
            parts << undoResultText(UndoResult(k)) + u' ' + QString::number(report.counts[k]);
    return parts.join(u"，"_s);
}

QString undoMessage(const UndoReport &report) {
    QString text;
    switch (report.end) {
    case UndoEnd::Done:
        text = u"撤销完成\n"_s + undoCountsText(report);
        break;
    case UndoEnd::Stopped:
        text = u"撤销已停止，再次撤销可继续\n"_s + undoCountsText(report);
        break;
    case UndoEnd::AlreadyUndone:
        return u"上次执行已撤销，未做任何改动"_s;
    case UndoEnd::StillRunning:
        return u"上次执行尚未结束，不能撤销"_s;
    case UndoEnd::NoJournal:
        return u"没有可撤销的执行"_s;
    case UndoEnd::Unreadable:
        return report.error;
    }
    if (!report.error.isEmpty())
        text += u"\n"_s + report.error;
    return text;
}

UndoReport undoLastRun(Grid &grid, const QString &folder, ProgressSink &progress) {
    const QString path = latestJournal(folder);
    UndoReport report;
    if (path.isEmpty()) {
        report.end = UndoEnd::NoJournal;
    } else {
        report = undoJournal(path, progress);
        platform().setStatusText(QString());
    }
    if (!report.rows.empty()) {
        // Rows of the grid by what they name; a row of the run that the grid
        // no longer shows has its result in the counts only.
        const Plan plan = buildPlan(grid, QString(), RunOptions{});
        QHash<QByteArray, qint64> byPaths;
        byPaths.reserve(qsizetype(plan.tasks.size()));
        for (const Task &t : plan.tasks)
            if (!t.sourceName.isEmpty())
                byPaths.insert(t.source() + '\0' + t.target(), t.row);
        const int jg = FrnColumns(grid).jg;
        for (const UndoRow &r : report.rows)
            if (const auto it = byPaths.constFind(r.source + '\0' + r.target); it != byPaths.cend())
                grid.setItem(*it, jg, undoResultText(r.result));
    }
    platform().messageBox(u"提示"_s, undoMessage(report));
    return report;
}

} // namespace zorv::files
