#pragma once
// The platform that answers every question with "cancel" and shows nothing:
// what the core sees before an application installs its own, and the base
// of platforms for tools that run without anyone to ask (the fuzz drivers).

#include "core/platform/platform.h"

namespace zorv {

class SilentPlatform : public Platform {
public:
    MsgAnswer messageBox(const QString &, const QString &, MsgIcon, MsgButtons buttons) override;
    std::optional<FileChoice> openFile(const QString &, const QString &, const QString &) override;
    std::optional<FileChoice> saveFile(const QString &, const QString &, const QString &) override;
    std::optional<QString> chooseFolder(const QString &) override;
    bool reviewRows(const QString &, const QString &, const QStringList &,
                    const QList<QStringList> &, const QString &, const QString &,
                    const QString &) override;
    QString clipboardText() override;
    void setClipboardText(const QString &text) override;
    bool escPressed() override;
    bool shiftDown() override;
    bool ctrlDown() override;
    bool shellAvailable() override;
    int shellOpen(const QString &) override;
    bool openFolder(const QString &) override;
    bool openUrl(const QString &) override;
    QSize screenSize() override;
    void setStatusText(const QString &text) override;
    QString statusText() override;
    void processEvents() override;

private:
    QString m_clip;
    QString m_status;
};

} // namespace zorv
