#pragma once
// What the fuzz targets share: one QCoreApplication, a scratch file per
// process, and a platform whose clipboard holds the input and whose
// dialogs and message boxes answer at once.
#include "core/platform/platform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSize>
#include <cstdint>
#include <cstdlib>
#include <unistd.h>

namespace zorv::fuzz {

inline void initApp() {
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

inline QString scratchFile(const QString &name) {
    return QDir::tempPath() + QStringLiteral("/zorv-fuzz-%1-").arg(::getpid()) + name;
}

inline void writeScratch(const QString &path, const std::uint8_t *data, std::size_t size) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        f.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size))
        std::abort();
}

class QuietPlatform final : public Platform {
public:
    QString clipboard;
    int messages = 0;
    MsgAnswer messageBox(const QString &, const QString &, MsgIcon, MsgButtons) override {
        ++messages;
        return MsgAnswer::Ok;
    }
    std::optional<FileChoice> openFile(const QString &, const QString &,
                                       const QString &) override {
        return std::nullopt;
    }
    std::optional<FileChoice> saveFile(const QString &, const QString &,
                                       const QString &) override {
        return std::nullopt;
    }
    std::optional<QString> chooseFolder(const QString &) override { return std::nullopt; }
    QString clipboardText() override { return clipboard; }
    void setClipboardText(const QString &text) override { clipboard = text; }
    bool escPressed() override { return false; }
    bool shiftDown() override { return false; }
    bool ctrlDown() override { return false; }
    bool shellAvailable() override { return false; }
    int shellOpen(const QString &) override { return 0; }
    bool openFolder(const QString &) override { return false; }
    bool openUrl(const QString &) override { return false; }
    QSize screenSize() override { return {1280, 768}; }
    void setStatusText(const QString &text) override { m_status = text; }
    QString statusText() override { return m_status; }
    void processEvents() override {}

private:
    QString m_status;
};

} // namespace zorv::fuzz
