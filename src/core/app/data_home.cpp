#include "core/app/data_home.h"

#include "core/platform/platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace zorv::app {

QString dataHomePath() {
    const QString env = qEnvironmentVariable("ZORVANE_HOME");
    if (!env.isEmpty())
        return QDir::cleanPath(QDir::current().absoluteFilePath(env));
    return QDir::cleanPath(QDir::homePath() + u"/.local/share/zorvane"_s);
}

QByteArray defaultProfileBytes() {
    return QByteArrayLiteral("[ODBC]\r\nDBMS=ODBC\r\nDSN_Name=zorv\r\nUSER_Name=\r\nUSER_pw=\r\n"
                             "AutoCommit=true\r\n[Start]\r\nFirst=true\r\n");
}

bool prepareDataHome(const QString &dir, QString *error) {
    if (!QDir().mkpath(dir) || !QFileInfo(dir).isDir()) {
        *error = u"无法创建文件夹"_s;
        return false;
    }
    const QString ini = dir + u"/zorv.ini"_s;
    const QFileInfo info(ini);
    if (info.isFile())
        return true;
    if (info.exists()) {
        *error = u"zorv.ini 不是文件"_s;
        return false;
    }
    // NewOnly: a second start racing this one keeps the file the first wrote.
    QFile file(ini);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        if (QFileInfo(ini).isFile())
            return true;
        *error = u"无法创建 zorv.ini："_s + file.errorString();
        return false;
    }
    const QByteArray bytes = defaultProfileBytes();
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        // A half-written profile would be read as it stands at every start;
        // without it the next start writes it again.
        *error = u"无法写入 zorv.ini："_s + file.errorString();
        file.remove();
        return false;
    }
    file.close();
    return true;
}

bool enterDataHome() {
    const QString dir = dataHomePath();
    QString error;
    if (prepareDataHome(dir, &error) && QDir::setCurrent(dir))
        return true;
    if (error.isEmpty())
        error = u"无法进入文件夹"_s;
    const QString text = u"数据文件夹 \""_s + dir + u"\" 不可用："_s + error;
    std::fprintf(stderr, "zorvane: %s\n", text.toLocal8Bit().constData());
    platform().messageBox(u"Zorvane"_s, text, MsgIcon::Error);
    return false;
}

} // namespace zorv::app
