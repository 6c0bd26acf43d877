#include "core/app/instance_lock.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace zorv::app {

QString InstanceLock::defaultPath() {
    QString dir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (dir.isEmpty() || !QFileInfo(dir).isDir())
        dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!dir.isEmpty() && QFileInfo(dir).isDir())
        return dir + QStringLiteral("/zorvane.lock");
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = QStringLiteral("user");
    return QDir::tempPath() + QStringLiteral("/zorvane-") + user + QStringLiteral(".lock");
}

InstanceLock::InstanceLock(const QString &path) : m_lock(path) {
    // Only a dead owner makes the lock stale, never its age: an instance may
    // run for days.
    m_lock.setStaleLockTime(0);
}

bool InstanceLock::tryLock() {
    if (m_lock.isLocked() || m_lock.tryLock(0))
        return true;
    return m_lock.error() != QLockFile::LockFailedError;
}

} // namespace zorv::app
