#pragma once
// What the fuzz targets share: one QCoreApplication, a scratch file per
// process, and a platform whose clipboard holds the input and whose
// dialogs and message boxes answer at once.
#include "core/platform/silent_platform.h"

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

// Counts the messages it is asked to show and keeps a clipboard text the
// driver sets; everything else is the silent platform's.
class QuietPlatform final : public SilentPlatform {
public:
    QString clipboard;
    int messages = 0;
    MsgAnswer messageBox(const QString &, const QString &, MsgIcon, MsgButtons) override {
        ++messages;
        return MsgAnswer::Ok;
    }
    QString clipboardText() override { return clipboard; }
    void setClipboardText(const QString &text) override { clipboard = text; }
};

} // namespace zorv::fuzz
