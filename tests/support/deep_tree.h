#pragma once
// A chain of folders whose innermost path is longer than the system takes in
// one path (PATH_MAX): built and removed through descriptors (mkdirat,
// openat, unlinkat), since no call can name its depths by path.

#include <QByteArray>
#include <QString>

namespace zorv::test {

class DeepTree {
public:
    // Makes parent/top/… so that the innermost folder's path, with its
    // trailing "/", has exactly length bytes (at least parent + top + 8).
    DeepTree(const QString &parent, const QString &top, qsizetype length);
    // Removes parent/top with everything in it, at any depth.
    ~DeepTree();
    DeepTree(const DeepTree &) = delete;
    DeepTree &operator=(const DeepTree &) = delete;

    bool isValid() const { return m_inner >= 0; }
    // The innermost folder, ending in "/".
    QString innermost() const { return m_innerPath; }
    // Makes a file (holding "x") or a folder in the innermost folder, or a file
    // in a folder made there before (inFolder).
    bool addFile(const QByteArray &name, const QByteArray &inFolder = {});
    bool addFolder(const QByteArray &name);

private:
    int m_parent = -1;
    int m_inner = -1;
    QByteArray m_top;
    QString m_innerPath;
};

} // namespace zorv::test
