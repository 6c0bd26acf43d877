#include "core/platform/platform.h"

namespace zorv {
namespace {

// Answers every question with "cancel" and shows nothing: the state before
// the application installs its desktop implementation.
class SilentPlatform final : public Platform {
public:
    MsgAnswer messageBox(const QString &, const QString &, MsgIcon, MsgButtons buttons) override {
        return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Cancel;
    }
    std::optional<FileChoice> openFile(const QString &, const QString &, const QString &) override {
        return std::nullopt;
    }
    std::optional<FileChoice> saveFile(const QString &, const QString &, const QString &) override {
        return std::nullopt;
    }
    std::optional<QString> chooseFolder(const QString &) override { return std::nullopt; }
    bool reviewRows(const QString &, const QString &, const QStringList &,
                    const QList<QStringList> &, const QString &, const QString &,
                    const QString &) override {
        return false;
    }
    QString clipboardText() override { return m_clip; }
    void setClipboardText(const QString &text) override { m_clip = text; }
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
    QString m_clip;
    QString m_status;
};

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
