#include "core/files/batch_plan.h"

#include "core/files/native_path.h"
#include "core/platform/platform.h"
#include "core/text/gbtext.h"

using namespace Qt::Literals::StringLiterals;

namespace zorv::files {
namespace {

// A folder text as the plan compares and joins it, ending in "/".
QString withSlash(const QString &t) {
    return t.isEmpty() || t.endsWith(u'/') ? t : t + u'/';
}

// The target folder is typed or chosen, and trimmed like every new name.
QString folderOf(const QString &cell) {
    return withSlash(text::trim(cell));
}

// A source name that names a file inside its folder rather than the folder
// itself or its parent.
bool isFileName(const QString &name) {
    return !name.isEmpty() && name != u"."_s && name != u".."_s && !name.endsWith(u'/') &&
           !name.contains(QChar(0));
}

// A folder cell as the plan uses it: its text ending in "/" and that text's
// on-disk bytes. Rows mostly share their folders with the row before, so the
// last cell's result is kept and used again while the cell stays the same.
class FolderText {
public:
    explicit FolderText(QString (*makeText)(const QString &)) : m_makeText(makeText) {}
    // False when the folder's text cannot be encoded exactly.
    bool set(const QString &cell) {
        if (m_valid && cell == m_cell)
            return m_ok;
        m_cell = cell;
        m_text = m_makeText(cell);
        m_ok = encodePath(m_text, &m_bytes);
        m_valid = true;
        return m_ok;
    }
    const QString &text() const { return m_text; }
    const QByteArray &bytes() const { return m_bytes; }

private:
    QString (*m_makeText)(const QString &);
    QString m_cell, m_text;
    QByteArray m_bytes;
    bool m_ok = false;
    bool m_valid = false;
};

} // namespace

void fillTargetPaths(Grid &grid, const QString &path2, bool keepTree) {
    const FrnColumns c(grid);
    const QString flat = joinPath(path2, QString());
    // An earlier run's outcome was for another target: it goes with it.
    for (qint64 r = 1, n = grid.rowCount(); r <= n; ++r) {
        grid.setItem(r, c.npath, keepTree ? joinPath(path2, grid.getItemString(r, c.zml)) : flat);
        clearOutcome(grid, r, c.jg);
    }
}

QString targetDialogTitle() {
    return u"选择欲放置更名后的文件所在的目标文件夹\r\n（目标文件夹允许和源文件夹相同）"_s;
}

bool fillChosenTarget(Grid &grid, FrnState &state, const std::optional<QString> &chosen,
                      bool keepTree) {
    if (grid.rowCount() == 0) {
        platform().messageBox(u"提示"_s, u"还没有源文件"_s);
        return false;
    }
    if (!chosen) {
        platform().messageBox(u"提示"_s, u"目标文件夹选择被取消"_s);
        return false;
    }
    state.ls_path2 = normaliseTargetRoot(*chosen);
    fillTargetPaths(grid, state.ls_path2, keepTree);
    return true;
}

bool chooseTarget(Grid &grid, FrnState &state, bool keepTree) {
    if (grid.rowCount() == 0) {
        platform().messageBox(u"提示"_s, u"还没有源文件"_s);
        return false;
    }
    return fillChosenTarget(grid, state, platform().chooseFolder(targetDialogTitle()), keepTree);
}

Plan buildPlan(const Grid &grid, const QString &targetRoot, const RunOptions &options) {
    const FrnColumns c(grid);
    Plan plan;
    plan.overwrite = options.overwrite;
    if (!encodePath(targetRoot, &plan.root))
        plan.root.clear();
    const qint64 rows = grid.rowCount();
    plan.tasks.reserve(size_t(rows));
    // The source is taken as listed: a blank or U+FEFF at either end is part
    // of a name on disk, and trimming it would address another file.
    FolderText source(withSlash), target(folderOf);
    for (qint64 r = 1; r <= rows; ++r) {
        Task t;
        t.row = r;
        const QString filen = grid.getItemString(r, c.filen);
        const QString npath = grid.getItemString(r, c.npath);
        const bool targetOk = !npath.isEmpty() && target.set(npath);
        if (filen.isEmpty() || npath.isEmpty() || target.text().isEmpty()) {
            t.action = filen.isEmpty() ? Action::StopNoName : Action::StopNoPath;
            plan.tasks.push_back(std::move(t));
            break;
        }
        const bool sourceOk = source.set(grid.getItemString(r, c.ypath));
        const QString &srcDir = source.text();
        const QString srcName = grid.getItemString(r, c.filey);
        const QString &tgtDir = target.text();
        const QString tgtName = text::trim(filen);
        if (!isValidNewName(tgtName) || !isFileName(srcName) || !sourceOk ||
            !encodePath(srcName, &t.sourceName) || !targetOk ||
            !encodePath(tgtName, &t.targetName)) {
            t = Task{r, Action::Refuse, {}, {}, {}, {}};
        } else {
            t.sourceDir = source.bytes(); // shared with the rows of the same folder
            t.targetDir = target.bytes();
            const bool same = srcDir == tgtDir;
            t.action = options.move ? (same ? Action::MoveInPlace : Action::Move)
                                    : (same ? Action::CopyInPlace : Action::Copy);
        }
        plan.tasks.push_back(std::move(t));
    }
    return plan;
}

} // namespace zorv::files
