#include "core/imports/paste_import.h"

#include "core/grid/grid.h"
#include "core/platform/platform.h"

namespace zorv::imports {

ImportReport pasteImport(Grid &grid, bool replace, ProgressSink *progress) {
    const QString clip = platform().clipboardText();
    if (clip.isEmpty()) {
        platform().messageBox(msg::hintTitle(), msg::clipboardEmpty());
        return {};
    }
    if (!replace)
        return reportGridImport(grid.importText(clip, 1, progress));
    // Try the text on an empty grid of the same columns; only when all of it
    // converts are the old rows given up.
    Grid trial(grid.columns());
    trial.setRedraw(false);
    const ImportResult tried = trial.importText(clip, 1, progress);
    if (!tried.ok())
        return reportGridImport(tried);
    grid.reset();
    return reportGridImport(grid.importText(clip, 1, nullptr));
}

} // namespace zorv::imports
