#include "core/imports/paste_import.h"

#include "core/grid/grid.h"
#include "core/imports/grid_fill.h"
#include "core/platform/platform.h"

namespace zorv::imports {

ImportReport pasteImport(Grid &grid, bool replace, ProgressSink *progress) {
    return refusingOnOutOfMemory([&]() -> ImportReport {
        const QString clip = platform().clipboardText();
        if (clip.isEmpty()) {
            platform().messageBox(msg::hintTitle(), msg::clipboardEmpty());
            return {};
        }
        if (!replace)
            return reportGridImport(grid.importText(clip, 1, progress));
        const qint64 before = grid.rowCount();
        if (grid.filteredCount() == 0) {
            // The text goes in after the old rows, which go only once all of
            // it is in: a refusal, a stop or running out of memory keeps them.
            const Grid::AppendMark mark = grid.appendMark();
            const ImportResult r = grid.importText(clip, 1, progress);
            if (r.ok())
                dropOldRows(grid, before, mark);
            return reportGridImport(r);
        }
        // Rows a filter hides cannot wait that way: the text is tried on an
        // empty grid of the same columns first.
        Grid trial(grid.columns());
        trial.setRedraw(false);
        const ImportResult tried = trial.importText(clip, 1, progress);
        if (!tried.ok())
            return reportGridImport(tried);
        grid.reset();
        return reportGridImport(grid.importText(clip, 1, nullptr));
    });
}

} // namespace zorv::imports
