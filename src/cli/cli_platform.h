#pragma once
// The platform of the command-line tool: message boxes become lines
// "title: text" on standard error, questions take the answer chosen by an
// option, open-file and folder dialogs return the command's arguments (no
// step here saves a file: a save dialog is cancelled), the clipboard lives in
// memory and Esc is Ctrl-C.

#include "core/platform/platform.h"

#include <QStringList>
#include <functional>

namespace zorv::cli {

class TerminalProgress;

class CliPlatform final : public Platform {
public:
    // Installs itself as the platform; the destructor restores the default.
    explicit CliPlatform(TerminalProgress *progress = nullptr);
    ~CliPlatform() override;

    // --- what the command line decided in place of the user ---
    MsgAnswer questionAnswer = MsgAnswer::Ok; // OK/Cancel and Yes/No questions
    std::optional<QString> openPath;          // the file of open dialogs
    std::optional<QString> folderPath;        // the folder of folder dialogs
    bool reviewProceeds = true;               // the answer to reviews of rows
    // How a reviewed row is printed (default: its fields joined by tabs).
    std::function<QString(const QStringList &)> reviewLine;

    // Every message shown, "title: text", in order.
    const QStringList &messages() const { return m_messages; }

    MsgAnswer messageBox(const QString &title, const QString &text, MsgIcon icon,
                         MsgButtons buttons) override;
    std::optional<FileChoice> openFile(const QString &title, const QString &defaultExt,
                                       const QString &filter) override;
    std::optional<FileChoice> saveFile(const QString &title, const QString &defaultExt,
                                       const QString &filter) override;
    std::optional<QString> chooseFolder(const QString &title) override;
    // Prints "title: text", each row as a line and the note on standard
    // error; answers reviewProceeds.
    bool reviewRows(const QString &title, const QString &text, const QStringList &headers,
                    const QList<QStringList> &rows, const QString &note,
                    const QString &cancelCaption, const QString &proceedCaption) override;
    QString clipboardText() override { return m_clipboard; }
    void setClipboardText(const QString &text) override { m_clipboard = text; }
    bool escPressed() override;
    bool shiftDown() override { return false; }
    bool ctrlDown() override { return false; }
    bool shellAvailable() override { return false; }
    int shellOpen(const QString &) override { return 0; }
    bool openFolder(const QString &) override { return false; }
    bool openUrl(const QString &) override { return false; }
    QSize screenSize() override { return {1280, 768}; }
    void setStatusText(const QString &text) override;
    QString statusText() override { return m_status; }
    void processEvents() override {}

private:
    TerminalProgress *m_progress;
    QStringList m_messages;
    QString m_clipboard;
    QString m_status;
};

// Writes one line of UTF-8 text to standard error.
void printError(const QString &line);

} // namespace zorv::cli
