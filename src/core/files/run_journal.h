#pragma once
// The journal of a batch run: a text file with one line per step before the
// step touches the disk and one with its outcome after, so that the run can
// be taken back (run_undo.h), also after a crash, a kill or a power loss.
//
// Lines (fields separated by tabs; paths as bytes with "\\", tab, CR and LF
// escaped):
//   ZORV-RUN-JOURNAL 1
//   P  pid  start(UTC)  copy|move  overwrite yes|no
//   D  folder-id  path  dev:ino | -N         a folder, before its first use
//                                            (-N: missing, N levels of it;
//                                            dev:ino:L: its path ends in a link)
//   B  step  row  op  src-folder  src-name  tgt-folder  tgt-name  src-file  tgt-file-before
//   H  row  temporary-path                   a hold step put its source there
//   O  step  outcome  created-file           created-file: what now bears the target name
//   E  end  executed  succeeded              the run returned
//   R  step  undo-result                     written by an undo, row by row
//   U  time  undone                          the undo went through
//   X                                        the line before was cut off
// op is move, copy, hold-move, hold-copy, release-move or release-copy; a
// file is dev:ino:size:mtime-seconds:mtime-nanoseconds (hex), "-" when absent.
//
// Before-lines are written ahead for a batch of steps and flushed to disk
// (fdatasync) before the first of them runs; the look at each source they
// record serves as the run's own look while it is fresh. Outcomes are
// buffered and written (not flushed) with the next batch, every second and
// at the end. A killed run, or one cut by a power loss, thus leaves every
// step that may have started on disk; a missing outcome is found out by
// looking at the disk.

#include "core/files/batch_plan.h"
#include "core/files/batch_run.h"
#include "core/files/plan_check.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <sys/types.h>
#include <vector>

namespace zorv::files {

// Where a run's journal goes.
struct JournalPlace {
    QString file;   // this new file (it must not exist yet), or else
    QString folder; // a new file "run-<UTC time>-<pid>.journal" in this folder
};

// The journals a folder keeps: the newest ones by name.
inline constexpr int kJournalsKept = 20;

// A file as the journal knows it: identity, size and modification time.
struct FileId {
    bool present = false;
    quint64 dev = 0, ino = 0;
    qint64 size = 0, sec = 0, nsec = 0;
    bool sameFile(const FileId &o) const {
        return present && o.present && dev == o.dev && ino == o.ino;
    }
    bool sameData(const FileId &o) const {
        return present && o.present && size == o.size && sec == o.sec && nsec == o.nsec;
    }
    bool operator==(const FileId &o) const { return sameFile(o) && sameData(o); }
};

// lstat of name relative to dir (never following a symbolic link); *movable,
// when given, tells whether a move would take it (movableMode).
FileId fileIdAt(int dir, const char *name, bool *movable = nullptr);

// Writes all size bytes of data to fd, going on after interruptions; false
// on an error (errno tells which).
bool writeAll(int fd, const char *data, size_t size);

// Writes the journal of one run of plan in the order of check.
class RunJournal final : public RunObserver {
public:
    RunJournal(const Plan &plan, const PlanCheck &check, bool move);
    ~RunJournal() override;
    RunJournal(const RunJournal &) = delete;
    RunJournal &operator=(const RunJournal &) = delete;

    // Creates the journal file and writes its head to disk; in a folder, also
    // removes the oldest journals beyond kJournalsKept. False with the reason
    // in *error when it cannot: the run must not start.
    bool open(const JournalPlace &place, QString *error);
    QString path() const { return m_path; }
    // The reason the journal stopped being written ("" while it is fine).
    QString error() const { return m_error; }

    bool beforeStep(size_t k) override;
    void held(quint32 task, const QByteArray &temp) override;
    void outcome(qint64 row, Outcome o) override;
    bool sourceLooked(size_t k) const override;
    // Writes the outstanding outcomes and the end line and flushes them.
    bool finish(const RunSummary &summary);

private:
    struct Folder {
        QByteArray path;
        int fd = -1; // open while the folder is one of the last used
    };
    Step stepAt(size_t k) const;
    int folderId(const QByteArray &path);
    int folderFd(int id);
    void appendBefore(size_t k);
    bool writeOut(bool sync);
    void fail(const QString &what, int err);

    const Plan &m_plan;
    const PlanCheck &m_check;
    bool m_move;
    int m_fd = -1;
    QString m_path, m_error;
    QByteArray m_buf;
    size_t m_steps = 0;
    size_t m_written = 0; // steps whose before-line is written
    size_t m_batch = 0;
    qint64 m_lastSync = 0; // monotonic milliseconds
    qint64 m_lookedAt = 0; // when the sources of the latest batch were looked at
    std::vector<Folder> m_folders;
    QHash<QByteArray, int> m_folderIds;
    int m_openFds[2] = {-1, -1}; // folder ids with an open descriptor
    int m_nextFd = 0;
    std::vector<size_t> m_outcomeStep; // per task: the step its outcome belongs to
    std::vector<FileId> m_source;      // per task: its source as last seen
    std::vector<char> m_movable;       // per task: that source was a file or a link
};

// What a journal file holds.
struct JournalStep {
    qint64 step = 0, row = 0;
    char op = 0;           // 'M' move, 'C' copy, 'H' hold, 'R' release
    bool moveKind = false; // hold and release: of a move row
    int sourceFolder = -1, targetFolder = -1;
    QByteArray sourceName, targetName;
    FileId source, targetBefore, created;
    int outcome = -1;    // an Outcome, or -1 when none was recorded
    QByteArray temp;     // hold: where its source was put
    int undoResult = -1; // an earlier undo's result for this step
};

struct JournalFolder {
    QByteArray path;
    bool known = false; // it existed when first used: dev and ino hold
    int missing = 0;    // else how many of its levels were missing then
    bool link = false;  // its path ended in a symbolic link then
    quint64 dev = 0, ino = 0;
};

struct Journal {
    QString path;
    qint64 pid = 0;
    bool ended = false;  // the run returned (an "E" line)
    bool undone = false; // an undo went through (a "U" line)
    bool cutOff = false; // the last line lacks its line end
    std::vector<JournalFolder> folders;
    std::vector<JournalStep> steps; // in step order
    QByteArray sourcePath(const JournalStep &s) const;
    QByteArray targetPath(const JournalStep &s) const;
};

// Reads the journal at path. A last line without its line end (cut off by
// the end of the run) is left out. False with *error when it cannot be read
// or is not a journal.
bool readJournal(const QString &path, Journal *out, QString *error);

// The newest journal in folder, "" when it holds none.
QString latestJournal(const QString &folder);

// Path escaping of the journal's lines.
void appendEscaped(QByteArray &out, const QByteArray &bytes);
QByteArray unescape(QByteArrayView field);

} // namespace zorv::files
