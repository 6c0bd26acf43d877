#include "core/imports/sheet_source.h"

#include "core/platform/platform.h"

#include <QFileInfo>

namespace zorv::imports {

std::optional<QString> connectAndChooseSheet() {
    if (!connectSheetReader())
        return std::nullopt;
    const auto choice =
        platform().openFile(msg::chooseFileTitle(), QStringLiteral("xls"), msg::sheetFilter());
    if (!choice) {
        platform().messageBox(msg::infoTitle(), msg::noImportFile());
        return std::nullopt;
    }
    if (choice->path.isEmpty())
        return std::nullopt;
    return choice->path;
}

std::optional<sheet::Sheet> readImportSheet(const QString &path, sheet::WhichSheet which,
                                            const QString &title, ProgressSink *progress,
                                            Outcome *outcome) {
    QString error;
    bool stopped = false;
    // Reading a large file takes a while before the first row can be counted.
    if (progress)
        platform().setStatusText(
            QStringLiteral("正在读取文件“%1”...").arg(QFileInfo(path).fileName()));
    auto result = sheet::readSheet(path, which, &error, progress, &stopped);
    if (progress)
        platform().setStatusText(QString());
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
