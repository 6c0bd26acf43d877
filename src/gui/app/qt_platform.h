#pragma once
// The desktop implementation of the platform: Qt message boxes and file
// dialogs, the system clipboard, keyboard state, the desktop's opener, the
// screen and the status line of the frame w_main.

#include "core/platform/platform.h"

#include <QStringList>

class QStatusBar;

namespace zorv::gui {

class QtPlatform final : public Platform {
public:
    QtPlatform() = default;
    ~QtPlatform() override;

    MsgAnswer messageBox(const QString &title, const QString &text, MsgIcon icon,
                         MsgButtons buttons) override;
    std::optional<FileChoice> openFile(const QString &title, const QString &defaultExt,
                                       const QString &filter) override;
    std::optional<FileChoice> saveFile(const QString &title, const QString &defaultExt,
                                       const QString &filter) override;
    std::optional<QString> chooseFolder(const QString &title) override;
    bool reviewRows(const QString &title, const QString &text, const QStringList &headers,
                    const QList<QStringList> &rows, const QString &note,
                    const QString &cancelCaption, const QString &proceedCaption) override;
    QString clipboardText() override;
    void setClipboardText(const QString &text) override;
    bool escPressed() override;
    bool shiftDown() override;
    bool ctrlDown() override;
    bool shellAvailable() override;
    int shellOpen(const QString &path) override;
    bool openFolder(const QString &folder) override;
    bool openUrl(const QString &url) override;
    QSize screenSize() override;
    // Kept while no frame is open and shown as soon as one is.
    void setStatusText(const QString &text) override;
    QString statusText() override { return m_status; }
    void processEvents() override;

private:
    std::optional<FileChoice> fileDialog(bool save, const QString &title, const QString &defaultExt,
                                         const QString &filter);
    QString m_status;
};

// Converts the system's "caption,pattern,caption,pattern" filters into Qt
// name filters, one per pair; wherever "*.xls" is offered "*.xlsx" is
// accepted too. captions receives each pair's caption as given.
QStringList toQtFilters(const QString &filter, QStringList *captions = nullptr);

// The status bar of the open frame w_main, if any.
QStatusBar *frameStatusBar();

} // namespace zorv::gui
