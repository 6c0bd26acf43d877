#pragma once
// One running instance per user: a lock file in the user's runtime folder,
// held for the life of the program and released by the system if it dies.

#include <QLockFile>
#include <QString>

namespace zorv::app {

class InstanceLock {
public:
    // "zorvane.lock" in $XDG_RUNTIME_DIR (or Qt's runtime folder), else a
    // per-user name in the temporary folder.
    static QString defaultPath();

    explicit InstanceLock(const QString &path = defaultPath());
    // False only when another living instance holds the lock. A lock file
    // that cannot be made at all (no permission) does not stop the program.
    bool tryLock();
    bool isLocked() const { return m_lock.isLocked(); }
    void unlock() { m_lock.unlock(); }

private:
    QLockFile m_lock;
};

} // namespace zorv::app
