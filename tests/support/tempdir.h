#pragma once
// Test helpers for the file system: a temporary folder that points the
// per-user configuration (registry store) into itself, and small file makers.

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace zorv::test {

class TestHome {
public:
    // Creates the folder and sets XDG_CONFIG_HOME and ZORVANE_HOME inside it.
    TestHome();
    ~TestHome();
    bool isValid() const { return m_dir.isValid(); }
    QString path() const { return m_dir.path(); }
    QString file(const QString &relative) const { return m_dir.filePath(relative); }

private:
    QTemporaryDir m_dir;
    QByteArray m_oldConfig;
    QByteArray m_oldHome;
};

// Writes bytes to path, creating parent folders; false on failure.
bool writeFile(const QString &path, const QByteArray &bytes);
QByteArray readFile(const QString &path);

} // namespace zorv::test
