#include "core/files/held_file.h"

#include "core/files/file_ops.h"

#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <unistd.h>

namespace zorv::files {
namespace {

bool isMoveTask(const Task &t) {
    return t.action == Action::Move || t.action == Action::MoveInPlace;
}

int holdOnce(const Task &task, QByteArray *temp) {
    int e = EEXIST;
    for (int attempt = 0; attempt < 100 && e == EEXIST; ++attempt) {
        *temp = task.targetDir + ".zorv-hold-" +
                QByteArray::number(QRandomGenerator::global()->generate(), 36);
        const QByteArray source = task.source();
        e = isMoveTask(task) ? moveNew(source.constData(), temp->constData())
                             : copyNew(source.constData(), temp->constData());
    }
    return e;
}

} // namespace

int holdSource(const Task &task, const QByteArray &root, QByteArray *temp) {
    int e = holdOnce(task, temp);
    if (e == ENOENT || e == ENOTDIR) {
        createMissingFolders(task.targetDir, root);
        e = holdOnce(task, temp);
    }
    if (e)
        temp->clear();
    return e;
}

Outcome releaseHeld(const Task &task, const QByteArray &temp, bool overwrite) {
    const QByteArray target = task.target();
    if (!isMoveTask(task)) {
        if (rename(temp.constData(), target.constData()) == 0)
            return Outcome::Success;
        unlink(temp.constData()); // a copy: the source is still in place
        return Outcome::Failed;
    }
    const int e = moveNew(temp.constData(), target.constData());
    if (e == 0)
        return Outcome::Success;
    const QByteArray source = task.source();
    if (moveNew(temp.constData(), source.constData()) != 0)
        return Outcome::Failed; // kept under the temporary name
    if (e != EEXIST)
        return Outcome::Failed;
    return task.action == Action::Move && !overwrite ? Outcome::Cancelled : Outcome::Invalid;
}

} // namespace zorv::files
