#include "cli/cli_platform.h"

#include "cli/terminal.h"

#include <cstdio>

using namespace Qt::StringLiterals;

namespace zorv::cli {

void printError(const QString &line) {
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

CliPlatform::CliPlatform(TerminalProgress *progress) : m_progress(progress) {
    setPlatform(this);
}

CliPlatform::~CliPlatform() {
    setPlatform(nullptr);
}

MsgAnswer CliPlatform::messageBox(const QString &title, const QString &text, MsgIcon,
                                  MsgButtons buttons) {
    const QString line = title + u": "_s + text;
    m_messages << line;
    if (m_progress)
        m_progress->clear();
    printError(line);
    switch (buttons) {
    case MsgButtons::Ok:
        return MsgAnswer::Ok;
    case MsgButtons::OkCancel:
        return questionAnswer == MsgAnswer::Cancel ? MsgAnswer::Cancel : MsgAnswer::Ok;
    case MsgButtons::YesNo:
    case MsgButtons::YesNoCancel:
        return questionAnswer == MsgAnswer::Cancel || questionAnswer == MsgAnswer::No
                   ? MsgAnswer::No
                   : MsgAnswer::Yes;
    }
    return MsgAnswer::Ok;
}

bool CliPlatform::reviewRows(const QString &title, const QString &text, const QStringList &,
                             const QList<QStringList> &rows, const QString &note, const QString &,
                             const QString &) {
    if (m_progress)
        m_progress->clear();
    printError(title + u": "_s + text);
    for (const QStringList &row : rows)
        printError(reviewLine ? reviewLine(row) : row.join(u'\t'));
    if (!note.isEmpty())
        printError(note);
    return reviewProceeds;
}

std::optional<FileChoice> CliPlatform::openFile(const QString &, const QString &, const QString &) {
    if (!openPath)
        return std::nullopt;
    return FileChoice{*openPath, {}};
}

std::optional<FileChoice> CliPlatform::saveFile(const QString &, const QString &, const QString &) {
    return std::nullopt;
}

std::optional<QString> CliPlatform::chooseFolder(const QString &) {
    return folderPath;
}

bool CliPlatform::escPressed() {
    return interrupted();
}

void CliPlatform::setStatusText(const QString &text) {
    m_status = text;
    if (m_progress)
        m_progress->setStatus(text);
}

} // namespace zorv::cli
