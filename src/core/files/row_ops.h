#pragma once
// Row operations of the file window: delete the selected rows (cb_14) or the
// selected files (cb_13), and the folder tools (cb_9, w_cjwjj, cb_12).

#include "core/files/frn_grid.h"

#include <optional>

namespace zorv::files {

// cb_14: "提示" / "还没有导入" for an empty grid; else deletes the selected rows
// (last to first) and writes "删除结束" to the status line. Returns rows deleted.
qint64 deleteSelectedRows(Grid &grid);

// cb_13: for each selected row from the last, the file trimmed ypath + trimmed
// filey: asks "提示" / "按确定将删除文件，而且不能从回收站还原文件（" + path + "。）"
// (OK/Cancel); OK deletes the file and its row, or shows "提示" / "删除失败".
// A missing file shows "提示" / "不存在文件" + path. No selection: "没有选择要删
// 除的文件" / "请按住Ctrl键或Shift键后，用鼠标左键选择". Returns files deleted.
qint64 deleteSelectedFiles(Grid &grid);

// cb_9: the folder dialog "选择文件夹（新文件夹在该文件夹下创建）"; the choice goes
// to ls_path2 and is returned; cancelled: "提示" / "目标文件夹选择被取消".
std::optional<QString> chooseParentFolder(FrnState &state);

enum class FolderCreation { Exists, Created, Failed };
// w_cjwjj's cb_1: parent + "/" + trimmed name; "提示" / "文件夹已存在", "创建成功"
// or "创建失败". A name with "/" or NUL fails: the folder goes directly inside parent.
FolderCreation createFolder(const QString &parent, const QString &name);

// cb_12: the folder to show: the listed source folder (ls_path1, "/" for the
// root), else "". The target of an earlier run is not what the list shows.
QString folderToShow(const FrnState &state);
// cb_12 "打开资源管理器": opens the folder of the current row (its ypath), or the
// listed source folder when no row is current, in the desktop's file manager.
// Nothing to show: "提示" / "还没有源文件"; a folder the desktop cannot open:
// "操作提示" with the folder and the reason. True when it was opened.
bool showFolder(const Grid &grid, const FrnState &state);

} // namespace zorv::files
