#include "core/imports/paste_import.h"

#include "core/grid/grid.h"
#include "core/platform/platform.h"

namespace zorv::imports {

namespace {

// Turns the grid's import answer into a report, telling the user why it failed.
ImportReport report(const ImportResult &r) {
    if (r.ok())
        return {Outcome::Imported, r.rows};
    if (r.rows == -2) {
        platform().setStatusText(r.error.isEmpty() ? msg::stopped() : r.error);
        return {Outcome::Stopped, 0};
    }
    platform().messageBox(msg::hintTitle(), r.error, MsgIcon::Warning);
    return {Outcome::Refused, 0};
}

} // namespace

ImportReport pasteImport(Grid &grid, bool replace, ProgressSink *progress) {
    const QString clip = platform().clipboardText();
    if (clip.isEmpty()) {
        platform().messageBox(msg::hintTitle(), msg::clipboardEmpty());
        return {};
    }
    if (!replace)
        return report(grid.importText(clip, 1, progress));
    // Try the text on an empty grid of the same columns; only when all of it
    // converts are the old rows given up.
    Grid trial(grid.columns());
    trial.setRedraw(false);
    const ImportResult tried = trial.importText(clip, 1, progress);
    if (!tried.ok())
        return report(tried);
    grid.reset();
    return report(grid.importText(clip, 1, nullptr));
}

} // namespace zorv::imports
