#pragma once
// Platform for tests: answers come from queues filled by the test, and every
// message box, status text and shell call is recorded for assertions.
// The clipboard lives in memory, so the user's clipboard is never touched.

#include "core/platform/platform.h"

#include <QList>
#include <QQueue>
#include <QStringList>

namespace zorv::test {

struct ShownMessage {
    QString title;
    QString text;
    MsgIcon icon;
    MsgButtons buttons;
};

class ScriptedPlatform final : public Platform {
public:
    // Installs itself on construction and restores the silent platform on destruction.
    ScriptedPlatform();
    ~ScriptedPlatform() override;

    // --- script ---
    QQueue<MsgAnswer> answers;               // next message-box answers (default: Ok / Cancel)
    QQueue<std::optional<FileChoice>> files; // next open or save dialog results (default: cancel)
    QQueue<std::optional<QString>> folders;  // next folder dialog results (default: cancel)
    void nextAnswer(MsgAnswer a) { answers.enqueue(a); }
    void nextFile(const QString &path, const QString &filter = {}) {
        files.enqueue(FileChoice{path, filter});
    }
    void nextFileCancel() { files.enqueue(std::nullopt); }
    void nextFolder(const QString &path) { folders.enqueue(path); }
    void nextFolderCancel() { folders.enqueue(std::nullopt); }
    // Next answers of reviewRows: true = the proceed button (default: true).
    QQueue<bool> reviewAnswers;
    // escPressed() turns true after this many polls (-1: never).
    int escAfterPolls = -1;
    // processEvents() really processes events, as the desktop platform does,
    // so that long loops repaint and timers fire while they run.
    bool pumpEvents = false;
    bool shift = false;
    bool ctrl = false;
    bool shellPresent = true;
    int shellResult = 42;
    bool opensSucceed = true; // openFolder() and openUrl() answer this
    QSize screen{1280, 768};
    QString clipboard;

    // --- record ---
    QList<ShownMessage> messages;
    QStringList dialogTitles; // titles of file and folder dialogs, in order
    struct ShownReview {
        QString title, text, note, cancelCaption, proceedCaption;
        QStringList headers;
        QList<QStringList> rows;
    };
    QList<ShownReview> reviews;
    QStringList dialogFilters;
    QStringList statusHistory;
    QStringList shellOpened;
    QStringList foldersOpened;
    QStringList urlsOpened;
    int escPolls = 0;

    // Messages as "title / text" lines, handy for comparing whole sequences.
    QStringList messageLines() const;
    void clearRecord();

    // --- Platform ---
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
    QString clipboardText() override { return clipboard; }
    void setClipboardText(const QString &text) override { clipboard = text; }
    bool escPressed() override;
    bool shiftDown() override { return shift; }
    bool ctrlDown() override { return ctrl; }
    bool shellAvailable() override { return shellPresent; }
    int shellOpen(const QString &path) override;
    bool openFolder(const QString &folder) override;
    bool openUrl(const QString &url) override;
    QSize screenSize() override { return screen; }
    void setStatusText(const QString &text) override;
    QString statusText() override { return m_status; }
    void processEvents() override;

private:
    QString m_status;
};

} // namespace zorv::test
