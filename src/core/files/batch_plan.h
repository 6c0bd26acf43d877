#pragma once
// Step 3 of the file window (the target folder, pb_1) and the plan of step 4:
// what each shown row asks of the disk, worked out before any disk call.

#include "core/files/frn_grid.h"

#include <QByteArray>
#include <optional>
#include <vector>

namespace zorv::files {

// npath of every shown row: path2 + "/" + zml with keepTree (cbx_3), else
// path2 + "/"; a "/" ending path2 (the root) is not doubled.
void fillTargetPaths(Grid &grid, const QString &path2, bool keepTree);

// pb_1 after its dialog: "提示" / "还没有源文件" for an empty grid; a cancelled
// choice shows "提示" / "目标文件夹选择被取消"; otherwise ls_path2 = the chosen
// folder and npath is filled. True when npath was filled.
bool fillChosenTarget(Grid &grid, FrnState &state, const std::optional<QString> &chosen,
                      bool keepTree);
// pb_1 in full, with the platform's folder dialog.
bool chooseTarget(Grid &grid, FrnState &state, bool keepTree);
// The title of pb_1's folder dialog.
QString targetDialogTitle();

enum class Action {
    CopyInPlace, // source and target folder are the same: copy, never replacing
    MoveInPlace, // the same folder: rename, never replacing
    Copy,        // another folder: copy (replacing only with overwrite)
    Move,        // another folder: move (never replacing)
    Refuse,      // the row cannot be done safely: "失败", nothing touched
    StopNoName,  // empty filen: the run ends here with "文件名不能为空"
    StopNoPath,  // empty npath: the run ends here with "目标文件路径不能为空"
};

struct Task {
    qint64 row = 0; // shown grid row (1-based)
    Action action = Action::Refuse;
    QByteArray sourceDir;  // ypath as listed, ending in "/" ("" when empty), on-disk bytes
    QByteArray sourceName; // filey as listed
    QByteArray targetDir;  // trimmed npath, ending in "/"
    QByteArray targetName; // trimmed filen
    QByteArray source() const { return sourceDir + sourceName; }
    QByteArray target() const { return targetDir + targetName; }
};

struct Plan {
    std::vector<Task> tasks; // in row order; a Stop task, if any, is the last
    QByteArray root;         // the target root (ls_path2): folders are created below it
    bool overwrite = true;
};

// Plans every shown row of grid. Source and target folder are "the same" when
// their texts (ypath as listed, npath trimmed), each ending in "/", are equal. A row is refused
// when its new name is not isValidNewName() or a path cannot be encoded exactly.
Plan buildPlan(const Grid &grid, const QString &targetRoot, const RunOptions &options);

} // namespace zorv::files
