#include "support/tempdir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace zorv::test {

TestHome::TestHome()
    : m_oldConfig(qgetenv("XDG_CONFIG_HOME")), m_oldHome(qgetenv("ZORVANE_HOME")) {
    QDir(m_dir.path()).mkpath(QStringLiteral("config"));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.filePath(QStringLiteral("config"))));
    qputenv("ZORVANE_HOME", QFile::encodeName(m_dir.path()));
}

TestHome::~TestHome() {
    if (m_oldConfig.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", m_oldConfig);
    if (m_oldHome.isNull())
        qunsetenv("ZORVANE_HOME");
    else
        qputenv("ZORVANE_HOME", m_oldHome);
}

bool writeFile(const QString &path, const QByteArray &bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace zorv::test
