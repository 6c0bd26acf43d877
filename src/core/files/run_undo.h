#pragma once
// Taking a batch run back from its journal (run_journal.h): the steps are
// reversed from the last to the first. A move goes back to its source name
// (across file systems as carefully as the run moved it), a copy the run
// created is removed, a file held under a temporary name goes back to its
// source. A step is left alone, and reported, when the file the run left
// under the target name has changed since (identity, size or modification
// time differ, or it is gone) or its source name is taken again. Nothing is
// ever removed or replaced that the run did not create, and no symbolic link
// that appeared since is followed: files are examined with lstat, folders are
// checked against the identity the journal recorded, renames never replace.
// Each step's result is added to the journal as it goes, and a finished undo
// marks the journal, so a second undo does nothing.

#include "core/files/run_journal.h"

#include <QString>
#include <vector>

namespace zorv {
class Grid;
class ProgressSink;
} // namespace zorv

namespace zorv::files {

enum class UndoResult : quint8 {
    Undone,        // "已撤销"
    Nothing,       // "无需撤销": the row changed nothing, or it is back already
    TargetChanged, // "目标已变": the file under the target name changed or is gone
    SourceTaken,   // "源位置已占用": the source name holds another file
    NotUndoable,   // "不可撤销": the copy replaced a file that existed before the run
    FolderChanged, // "文件夹已变": a folder is not the one the run used
    Failed,        // "撤销失败": the rename or removal failed
};
inline constexpr int kUndoResultKinds = 7;
QString undoResultText(UndoResult r);

enum class UndoEnd {
    Done,          // every step was looked at
    Stopped,       // stop requested: the rest stays; a later undo goes on
    AlreadyUndone, // the journal was undone before: nothing done
    StillRunning,  // the run is still going on (its process lives)
    NoJournal,     // no journal to undo
    Unreadable,    // the journal cannot be read or written
};

struct UndoRow {
    qint64 row = 0; // the row of the run's grid
    QByteArray source, target;
    UndoResult result = UndoResult::Nothing;
};

struct UndoReport {
    UndoEnd end = UndoEnd::Done;
    QString journal;           // its path
    QString error;             // for Unreadable
    std::vector<UndoRow> rows; // one per row of the run, in row order
    qint64 counts[kUndoResultKinds] = {};
};

// Undoes the run journaled at path, with progress "正在撤销：" + row and a stop
// poll per step. Shows nothing.
UndoReport undoJournal(const QString &path, ProgressSink &progress);

// "已撤销 N，无需撤销 M，…": the undone rows and every other result that occurred.
QString undoCountsText(const UndoReport &report);
// The message an undo ends with ("撤销完成" and the counts, or why nothing
// was done).
QString undoMessage(const UndoReport &report);

// "撤销上次执行" of the file window: undoes the newest journal in folder,
// writes each row's result into jg of the grid row with the same source and
// target, and shows undoMessage as "提示". "没有可撤销的执行" when the
// folder holds no journal.
UndoReport undoLastRun(Grid &grid, const QString &folder, ProgressSink &progress);

} // namespace zorv::files
