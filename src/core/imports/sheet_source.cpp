#include "core/imports/sheet_source.h"

#include "core/platform/platform.h"

namespace zorv::imports {

std::optional<sheet::Sheet> readImportSheet(const QString &path, sheet::WhichSheet which,
                                            const QString &title, ProgressSink *progress,
                                            Outcome *outcome) {
    QString error;
    bool stopped = false;
    auto result = sheet::readSheet(path, which, &error, progress, &stopped);
    if (result)
        return result;
    if (stopped) {
        platform().setStatusText(msg::stopped());
        *outcome = Outcome::Stopped;
    } else {
        platform().messageBox(title, error, MsgIcon::Warning);
        *outcome = Outcome::Refused;
    }
    return std::nullopt;
}

} // namespace zorv::imports
