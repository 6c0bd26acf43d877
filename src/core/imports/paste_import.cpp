#include "core/imports/paste_import.h"

#include "core/grid/grid.h"
#include "core/imports/grid_fill.h"
#include "core/platform/platform.h"

namespace zorv::imports {

qint64 firstDataLine(const Grid &grid, const QString &text) {
    const qsizetype end = text.indexOf(u'\n');
    QStringView first = QStringView(text).left(end < 0 ? text.size() : end);
    if (first.endsWith(u'\r'))
        first.chop(1);
    QStringList titles, names;
    for (const Column &c : grid.columns()) {
        titles << c.title();
        names << c.name;
    }
    const QString tab(u'\t');
    return first == titles.join(tab) || first == names.join(tab) ? 2 : 1;
}

ImportReport pasteImport(Grid &grid, bool replace, ProgressSink *progress) {
    return refusingOnOutOfMemory([&]() -> ImportReport {
        const QString clip = platform().clipboardText();
        if (clip.isEmpty()) {
            platform().messageBox(msg::hintTitle(), msg::clipboardEmpty());
            return {};
        }
        const qint64 first = firstDataLine(grid, clip);
        if (!replace)
            return reportGridImport(grid.importText(clip, first, progress));
        const qint64 before = grid.rowCount();
        if (grid.filteredCount() == 0) {
            // The text goes in after the old rows, which go only once all of
            // it is in: a refusal, a stop or running out of memory keeps them.
            const Grid::AppendMark mark = grid.appendMark();
            const ImportResult r = grid.importText(clip, first, progress);
            if (r.ok())
                dropOldRows(grid, before, mark);
            return reportGridImport(r);
        }
        // Rows a filter hides cannot wait that way: the text is tried on an
        // empty grid of the same columns first.
        Grid trial(grid.columns());
        trial.setRedraw(false);
        const ImportResult tried = trial.importText(clip, first, progress);
        if (!tried.ok())
            return reportGridImport(tried);
        grid.reset();
        return reportGridImport(grid.importText(clip, first, nullptr));
    });
}

} // namespace zorv::imports
