#pragma once
// Step 1 of the file window: choose a source folder and list its files into
// the grid ("1、选择源文件夹", cb_1).

#include "core/files/frn_grid.h"

#include <optional>

namespace zorv {
class ProgressSink;
}

namespace zorv::files {

// Appends the files of path1 (normalised) to grid as rows: flat rows numbered
// m + i after the m rows already there, recursive rows numbered with the row
// count after their insertion; ypath, filey and zml filled. Status texts
// "正在导入..." go through progress; the final status ("" flat, "正在导入......"
// recursive) is written to the status line. Redraw is off meanwhile. Returns
// the rows added (0 when path1 cannot be read); *skipped, when given, gets the
// number of folders that could not be read and paths too long to reach;
// *masked, when given, the number of read-only or hidden files left out
// because options.hidden is off.
qint64 scanIntoGrid(Grid &grid, const QString &path1, const ScanOptions &options,
                    ProgressSink &progress, qint64 *skipped = nullptr, qint64 *masked = nullptr);

// The closing message of a listing: "源文件夹的相关信息已导入", followed by how
// many folders or paths were left out when there were any, and on a second
// line how many read-only or hidden files the listing left out, when any.
QString scanDoneText(qint64 skipped, qint64 masked = 0);

// The whole cb_1 handler after its dialog: the chosen folder goes to
// state.ls_path1 (normalised), the grid is reset unless accumulating, the
// folder is listed, and "提示" / scanDoneText() is shown. A cancelled
// choice (nullopt) shows "提示" / "文件夹选择被取消" and changes nothing.
// Returns true when a folder was listed; *skipped and *masked as for
// scanIntoGrid.
bool scanChosenSource(Grid &grid, FrnState &state, const std::optional<QString> &chosen,
                      const ScanOptions &options, ProgressSink &progress, qint64 *skipped = nullptr,
                      qint64 *masked = nullptr);

// cb_1 in full: asks for the folder ("选择欲批量更名的源文件所在文件夹") through the
// platform, then scanChosenSource.
bool chooseAndScanSource(Grid &grid, FrnState &state, const ScanOptions &options,
                         ProgressSink &progress);

} // namespace zorv::files
