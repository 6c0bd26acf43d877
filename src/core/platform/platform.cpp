#include "core/platform/platform.h"
#include "core/platform/silent_platform.h"

namespace zorv {

MsgAnswer SilentPlatform::messageBox(const QString &, const QString &, MsgIcon,
                                     MsgButtons buttons) {
    return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Cancel;
}
std::optional<FileChoice> SilentPlatform::openFile(const QString &, const QString &,
                                                   const QString &) {
    return std::nullopt;
}
std::optional<FileChoice> SilentPlatform::saveFile(const QString &, const QString &,
                                                   const QString &) {
    return std::nullopt;
}
std::optional<QString> SilentPlatform::chooseFolder(const QString &) {
    return std::nullopt;
}
bool SilentPlatform::reviewRows(const QString &, const QString &, const QStringList &,
                                const QList<QStringList> &, const QString &, const QString &,
                                const QString &) {
    return false;
}
QString SilentPlatform::clipboardText() {
    return m_clip;
}
void SilentPlatform::setClipboardText(const QString &text) {
    m_clip = text;
}
bool SilentPlatform::escPressed() {
    return false;
}
bool SilentPlatform::shiftDown() {
    return false;
}
bool SilentPlatform::ctrlDown() {
    return false;
}
bool SilentPlatform::shellAvailable() {
    return false;
}
int SilentPlatform::shellOpen(const QString &) {
    return 0;
}
bool SilentPlatform::openFolder(const QString &) {
    return false;
}
bool SilentPlatform::openUrl(const QString &) {
    return false;
}
QSize SilentPlatform::screenSize() {
    return {1280, 768};
}
void SilentPlatform::setStatusText(const QString &text) {
    m_status = text;
}
QString SilentPlatform::statusText() {
    return m_status;
}
void SilentPlatform::processEvents() {}

namespace {

Platform *g_installed = nullptr;

} // namespace

Platform &platform() {
    static SilentPlatform silent;
    return g_installed ? *g_installed : silent;
}

void setPlatform(Platform *p) {
    g_installed = p;
}

} // namespace zorv
