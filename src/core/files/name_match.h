#pragma once
// Narrowing the file list by a name list ("导入名单筛选源文件", cb_10) and the
// two filter radios ("过滤" rb_4, "不过滤" rb_3).

#include "core/files/frn_grid.h"
#include "core/files/list_source.h"

namespace zorv {
class ProgressSink;
}

namespace zorv::files {

// A list name as matched: name + "." + suffix when it holds no "." and the
// (trimmed) suffix is not empty.
QString listMatchName(const QString &name, const QString &suffix);

struct MatchResult {
    qint64 names = 0; // names read
    qint64 found = 0; // names that found a row
    bool stopped = false;
};

// Reads the names (text: listLineValue of each line, empty ones skipped;
// sheet: column 1 from row 1 to the first empty cell), polling stop before
// each; for the name at list position k, the first shown row whose filey
// equals it gets xh = k and jg = "找到".
MatchResult matchNameList(Grid &grid, ListSource &list, const QString &suffix,
                          ProgressSink &progress);

// After a match: OK (deleteOthers false) filters "jg = '找到'"; Cancel deletes
// every row whose trimmed jg is not "找到" (last to first) and sorts by xh.
void keepFoundRows(Grid &grid, bool deleteOthers);

enum class MatchEnd { EmptyGrid, NoFile, Unreadable, Stopped, NoneFound, Filtered, Deleted };

// cb_10 in full: "提示" / "还没有源文件"; the "打开文件" dialog ("信息提示" /
// "没有指定导入文件!"); the match; "提示" / "没有和名单相同的源文件"; the OK/Cancel
// question "提示" / "按确定将过滤丢未找到的记录，否则将删除未找到的记录(只在数据窗口中删除)".
// Filtered means the window checks rb_4 and unchecks rb_3.
MatchEnd matchNameListChosen(Grid &grid, const QString &sle1Text, const ListOpener &open,
                             ProgressSink &progress);

// rb_4: "提示" / "还没有源文件" for an empty grid (false). An empty fragment
// filters "jg = '找到'" and writes "提示在过滤的文件名为空的情况下，就过滤丢未找到
// 的记录" to the status line; otherwise filters filey like '%fragment%'.
bool filterByFragment(Grid &grid, const QString &sle1Text);
// rb_3: removes the filter, every row shown again.
void clearFilter(Grid &grid);

} // namespace zorv::files
