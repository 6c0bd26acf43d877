#pragma once
// The one door from core logic to the desktop: message boxes, file and folder
// dialogs, clipboard, key state, shell, screen and the frame's status line.
// The GUI installs a Qt implementation; tests install a scripted one.

#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>
#include <optional>

namespace zorv {

enum class MsgIcon { None, Information, Question, Warning, Error };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgAnswer { Ok, Cancel, Yes, No };

// A confirmed file choice: the full path and the filter the user had selected
// (empty when the dialog offers only one).
struct FileChoice {
    QString path;
    QString selectedFilter;
};

class Platform {
public:
    virtual ~Platform() = default;

    virtual MsgAnswer messageBox(const QString &title, const QString &text,
                                 MsgIcon icon = MsgIcon::Information,
                                 MsgButtons buttons = MsgButtons::Ok) = 0;

    // Filters come in the system's own "caption,pattern,caption,pattern" form,
    // e.g. "Excel文件(*.xls),*.xls". std::nullopt means the user cancelled.
    virtual std::optional<FileChoice> openFile(const QString &title, const QString &defaultExt,
                                               const QString &filter) = 0;
    virtual std::optional<FileChoice> saveFile(const QString &title, const QString &defaultExt,
                                               const QString &filter) = 0;
    virtual std::optional<QString> chooseFolder(const QString &title) = 0;

    // A table of rows for the user to look over before work starts: text
    // above it, note below it (may be empty), and two buttons. True when the
    // user chose proceedCaption; cancelCaption or closing gives false.
    virtual bool reviewRows(const QString &title, const QString &text, const QStringList &headers,
                            const QList<QStringList> &rows, const QString &note,
                            const QString &cancelCaption, const QString &proceedCaption) = 0;

    virtual QString clipboardText() = 0;
    virtual void setClipboardText(const QString &text) = 0;

    // Esc pressed since the current long loop began (polled once per row).
    virtual bool escPressed() = 0;
    virtual bool shiftDown() = 0;
    virtual bool ctrlDown() = 0;

    // Opening a file with its associated program. shellAvailable() false is the
    // "library missing" case; shellOpen() returns a code, 32 or less = failure.
    virtual bool shellAvailable() = 0;
    virtual int shellOpen(const QString &path) = 0;
    virtual bool openFolder(const QString &folder) = 0;
    virtual bool openUrl(const QString &url) = 0;

    virtual QSize screenSize() = 0;

    virtual void setStatusText(const QString &text) = 0;
    virtual QString statusText() = 0;

    // Lets the windows repaint during a long loop on the UI thread.
    virtual void processEvents() = 0;
};

// The installed platform; a silent one that cancels every question until the
// application or a test installs its own.
Platform &platform();
// Installs p (not owned); nullptr restores the silent default.
void setPlatform(Platform *p);

} // namespace zorv
