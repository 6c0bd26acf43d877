#include "support/scripted_platform.h"

#include <QCoreApplication>

namespace zorv::test {

ScriptedPlatform::ScriptedPlatform() {
    setPlatform(this);
}

ScriptedPlatform::~ScriptedPlatform() {
    setPlatform(nullptr);
}

QStringList ScriptedPlatform::messageLines() const {
    QStringList out;
    for (const auto &m : messages)
        out << m.title + QStringLiteral(" / ") + m.text;
    return out;
}

void ScriptedPlatform::clearRecord() {
    messages.clear();
    dialogTitles.clear();
    dialogFilters.clear();
    statusHistory.clear();
    shellOpened.clear();
    foldersOpened.clear();
    urlsOpened.clear();
    reviews.clear();
    escPolls = 0;
}

MsgAnswer ScriptedPlatform::messageBox(const QString &title, const QString &text, MsgIcon icon,
                                       MsgButtons buttons) {
    messages.append({title, text, icon, buttons});
    if (!answers.isEmpty())
        return answers.dequeue();
    switch (buttons) {
    case MsgButtons::Ok:
    case MsgButtons::OkCancel:
        return MsgAnswer::Ok;
    case MsgButtons::YesNo:
    case MsgButtons::YesNoCancel:
        return MsgAnswer::Yes;
    }
    return MsgAnswer::Ok;
}

bool ScriptedPlatform::reviewRows(const QString &title, const QString &text,
                                  const QStringList &headers, const QList<QStringList> &rows,
                                  const QString &note, const QString &cancelCaption,
                                  const QString &proceedCaption) {
    reviews.append({title, text, note, cancelCaption, proceedCaption, headers, rows});
    return reviewAnswers.isEmpty() ? true : reviewAnswers.dequeue();
}

std::optional<FileChoice> ScriptedPlatform::openFile(const QString &title, const QString &,
                                                     const QString &filter) {
    dialogTitles << title;
    dialogFilters << filter;
    return files.isEmpty() ? std::nullopt : files.dequeue();
}

std::optional<FileChoice> ScriptedPlatform::saveFile(const QString &title, const QString &,
                                                     const QString &filter) {
    dialogTitles << title;
    dialogFilters << filter;
    return files.isEmpty() ? std::nullopt : files.dequeue();
}

std::optional<QString> ScriptedPlatform::chooseFolder(const QString &title) {
    dialogTitles << title;
    return folders.isEmpty() ? std::nullopt : folders.dequeue();
}

bool ScriptedPlatform::escPressed() {
    ++escPolls;
    return escAfterPolls >= 0 && escPolls > escAfterPolls;
}

int ScriptedPlatform::shellOpen(const QString &path) {
    shellOpened << path;
    return shellResult;
}

bool ScriptedPlatform::openFolder(const QString &folder) {
    foldersOpened << folder;
    return opensSucceed;
}

bool ScriptedPlatform::openUrl(const QString &url) {
    urlsOpened << url;
    return opensSucceed;
}

void ScriptedPlatform::setStatusText(const QString &text) {
    m_status = text;
    statusHistory << text;
}

void ScriptedPlatform::processEvents() {
    if (pumpEvents)
        QCoreApplication::processEvents();
}

} // namespace zorv::test
