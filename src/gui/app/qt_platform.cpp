#include "gui/app/qt_platform.h"

#include "gui/grid/busy_guard.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTableWidget>
#include <QUrl>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace zorv::gui {
namespace {

QMessageBox::Icon iconOf(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::None:
        return QMessageBox::NoIcon;
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::Warning:
        return QMessageBox::Warning;
    case MsgIcon::Error:
        return QMessageBox::Critical;
    }
    return QMessageBox::Information;
}

QMessageBox::StandardButtons buttonsOf(MsgButtons b) {
    switch (b) {
    case MsgButtons::Ok:
        return QMessageBox::Ok;
    case MsgButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MsgButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MsgButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

// Window titles are one line: a title given with a line break (a caption
// written for a two-line dialog heading) shows the break as a blank.
QString oneLine(const QString &title) {
    QString t = title;
    t.replace(u"\r\n"_s, u" "_s).replace(u'\n', u' ').replace(u'\r', u' ');
    return t;
}

// The extension a save dialog appends to a bare name: the selected type's.
QString suffixOfFilter(const QString &qtFilter) {
    static const QRegularExpression firstPattern(QStringLiteral("\\(\\*\\.([A-Za-z0-9]+)[ )]"));
    const QRegularExpressionMatch m = firstPattern.match(qtFilter);
    return m.hasMatch() ? m.captured(1) : QString();
}

QWidget *dialogParent() {
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

} // namespace

QtPlatform::~QtPlatform() {
    if (&platform() == this)
        setPlatform(nullptr);
}

QStringList toQtFilters(const QString &filter, QStringList *captions) {
    static const QRegularExpression trailingParens(QStringLiteral("\\s*\\(([^()]*)\\)\\s*$"));
    static const QRegularExpression separators(QStringLiteral("[;\\s]+"));
    QStringList out;
    if (captions)
        captions->clear();
    if (filter.trimmed().isEmpty())
        return out;
    const QStringList parts = filter.split(u',');
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString caption = parts[i].trimmed();
        const QRegularExpressionMatch paren = trailingParens.match(caption);
        QString patternText = i + 1 < parts.size() ? parts[i + 1] : QString();
        if (patternText.trimmed().isEmpty() && paren.hasMatch())
            patternText = paren.captured(1);
        QStringList patterns = patternText.split(separators, Qt::SkipEmptyParts);
        if (patterns.isEmpty())
            patterns << QStringLiteral("*");
        for (const QString &p : QStringList(patterns))
            if (p.endsWith(QStringLiteral(".xls"), Qt::CaseInsensitive) &&
                !patterns.contains(p + u'x', Qt::CaseInsensitive))
                patterns << p + u'x';
        const QString base = paren.hasMatch() ? caption.left(paren.capturedStart()) : caption;
        out << base + u'(' + patterns.join(u' ') + u')';
        if (captions)
            *captions << caption;
    }
    return out;
}

QStatusBar *frameStatusBar() {
    // A frame being shown wins over one that is closing or not yet shown.
    QMainWindow *found = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        auto *frame = qobject_cast<QMainWindow *>(w);
        if (!frame || frame->objectName() != u"w_main")
            continue;
        if (!found || (frame->isVisible() && !found->isVisible()))
            found = frame;
    }
    return found ? found->statusBar() : nullptr;
}

namespace {

// While a busy loop shows its busy cursor, a dialog the loop opens (a
// question, a file dialog) shows the normal one for as long as it is open.
class NormalCursor {
public:
    NormalCursor() : m_pushed(QApplication::overrideCursor() != nullptr) {
        if (m_pushed)
            QApplication::setOverrideCursor(Qt::ArrowCursor);
    }
    ~NormalCursor() {
        if (m_pushed)
            QApplication::restoreOverrideCursor();
    }
    NormalCursor(const NormalCursor &) = delete;
    NormalCursor &operator=(const NormalCursor &) = delete;

private:
    bool m_pushed;
};

} // namespace

MsgAnswer QtPlatform::messageBox(const QString &title, const QString &text, MsgIcon icon,
                                 MsgButtons buttons) {
    const NormalCursor cursor;
    QMessageBox box(iconOf(icon), oneLine(title), text, buttonsOf(buttons), dialogParent());
    switch (box.exec()) {
    case QMessageBox::Ok:
        return MsgAnswer::Ok;
    case QMessageBox::Yes:
        return MsgAnswer::Yes;
    case QMessageBox::No:
        return MsgAnswer::No;
    default:
        return MsgAnswer::Cancel;
    }
}

std::optional<FileChoice> QtPlatform::fileDialog(bool save, const QString &title,
                                                 const QString &defaultExt, const QString &filter) {
    const NormalCursor cursor;
    QStringList captions;
    const QStringList filters = toQtFilters(filter, &captions);
    QFileDialog dlg(dialogParent(), oneLine(title), QDir::currentPath());
    dlg.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dlg.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!filters.isEmpty())
        dlg.setNameFilters(filters);
    QString suffix = defaultExt;
    suffix.remove(QRegularExpression(QStringLiteral("^\\*?\\.")));
    if (!suffix.isEmpty() && !suffix.contains(u'*'))
        dlg.setDefaultSuffix(suffix);
    // A bare name gets the extension of the type chosen in the dialog, so the
    // dialog's own question about replacing a file asks about the real name.
    if (save && filters.size() > 1) {
        const QString first = suffixOfFilter(filters.first());
        if (!first.isEmpty())
            dlg.setDefaultSuffix(first);
        QObject::connect(&dlg, &QFileDialog::filterSelected, &dlg, [&dlg](const QString &f) {
            if (const QString ext = suffixOfFilter(f); !ext.isEmpty())
                dlg.setDefaultSuffix(ext);
        });
    }
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return std::nullopt;
    const qsizetype index = filters.indexOf(dlg.selectedNameFilter());
    return FileChoice{dlg.selectedFiles().first(),
                      filters.size() > 1 && index >= 0 ? captions.value(index) : QString()};
}

std::optional<FileChoice> QtPlatform::openFile(const QString &title, const QString &defaultExt,
                                               const QString &filter) {
    return fileDialog(false, title, defaultExt, filter);
}

std::optional<FileChoice> QtPlatform::saveFile(const QString &title, const QString &defaultExt,
                                               const QString &filter) {
    return fileDialog(true, title, defaultExt, filter);
}

std::optional<QString> QtPlatform::chooseFolder(const QString &title) {
    const NormalCursor cursor;
    const QString dir =
        QFileDialog::getExistingDirectory(dialogParent(), oneLine(title), QDir::currentPath());
    if (dir.isEmpty())
        return std::nullopt;
    return dir;
}

bool QtPlatform::reviewRows(const QString &title, const QString &text, const QStringList &headers,
                            const QList<QStringList> &rows, const QString &note,
                            const QString &cancelCaption, const QString &proceedCaption) {
    const NormalCursor cursor;
    QDialog dialog(dialogParent());
    dialog.setObjectName(QStringLiteral("reviewRows"));
    dialog.setWindowTitle(title);
    auto *layout = new QVBoxLayout(&dialog);
    auto *label = new QLabel(text, &dialog);
    label->setWordWrap(true);
    layout->addWidget(label);
    auto *table = new QTableWidget(int(rows.size()), int(headers.size()), &dialog);
    table->setObjectName(QStringLiteral("rows"));
    table->setHorizontalHeaderLabels(headers);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < headers.size(); ++c)
            table->setItem(r, c, new QTableWidgetItem(rows[r].value(c)));
    table->resizeColumnsToContents();
    layout->addWidget(table);
    if (!note.isEmpty())
        layout->addWidget(new QLabel(note, &dialog));
    auto *buttons = new QDialogButtonBox(&dialog);
    QPushButton *cancel = buttons->addButton(cancelCaption, QDialogButtonBox::RejectRole);
    buttons->addButton(proceedCaption, QDialogButtonBox::AcceptRole);
    cancel->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog.resize(720, 420);
    return dialog.exec() == QDialog::Accepted;
}

QString QtPlatform::clipboardText() {
    return QGuiApplication::clipboard()->text();
}

void QtPlatform::setClipboardText(const QString &text) {
    QGuiApplication::clipboard()->setText(text);
}

// Esc is noted by the BusyGuard of the running loop, which also lets the
// events through while the loop polls it.
bool QtPlatform::escPressed() {
    return BusyGuard::escSeen();
}

bool QtPlatform::shiftDown() {
    return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier);
}

bool QtPlatform::ctrlDown() {
    return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ControlModifier);
}

bool QtPlatform::shellAvailable() {
    return !QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty();
}

namespace {

// Hands target to the desktop's opener and tells whether it took it. The
// opener's own output is kept off the terminal; its exit code is the answer
// (it ends once it has handed the target on). One that is still busy after a
// moment has found a program, so that counts as opened.
bool runOpener(const QString &target) {
    const QString exe = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (exe.isEmpty())
        return false;
    auto *proc = new QProcess;
    proc->setProgram(exe);
    proc->setArguments({target});
    proc->setStandardInputFile(QProcess::nullDevice());
    proc->setStandardOutputFile(QProcess::nullDevice());
    proc->setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(proc, &QProcess::finished, proc, &QObject::deleteLater);
    proc->start();
    if (!proc->waitForStarted(2000)) {
        delete proc;
        return false;
    }
    if (!proc->waitForFinished(1500))
        return true;
    return proc->exitStatus() == QProcess::NormalExit && proc->exitCode() == 0;
}

} // namespace

int QtPlatform::shellOpen(const QString &path) {
    if (runOpener(QFileInfo(path).absoluteFilePath()))
        return 42;
    // The desktop's own codes: 2 = file not found, 31 = no program for it.
    return QFileInfo::exists(path) ? 31 : 2;
}

bool QtPlatform::openFolder(const QString &folder) {
    return QFileInfo(folder).isDir() && runOpener(QFileInfo(folder).absoluteFilePath());
}

bool QtPlatform::openUrl(const QString &url) {
    return runOpener(QUrl(url, QUrl::TolerantMode).toString());
}

QSize QtPlatform::screenSize() {
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->size() : QSize(1280, 768);
}

void QtPlatform::setStatusText(const QString &text) {
    m_status = text;
    if (QStatusBar *bar = frameStatusBar())
        bar->showMessage(text);
}

void QtPlatform::processEvents() {
    QCoreApplication::processEvents();
}

} // namespace zorv::gui
