#include "cli/cli_home.h"

#include "cli/cli_platform.h"
#include "cli/command.h"
#include "core/app/database_choice.h"
#include "core/app/globals.h"
#include "core/config/profile.h"
#include "core/config/regodbc.h"
#include "core/db/transaction.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace zorv::cli {
namespace {

const QString kOdbc = u"ODBC"_s;
const QString kStart = u"Start"_s;

QString shown(const QString &path) {
    return QDir::toNativeSeparators(path);
}

} // namespace

OptionSpec homeOption() {
    return OptionSpec{u"home"_s, true};
}

QString homeFolder(const Args &args) {
    QString dir;
    if (args.has(u"home"_s))
        dir = args.value(u"home"_s);
    else
        dir = qEnvironmentVariable("ZORVANE_HOME");
    if (dir.isEmpty())
        dir = QDir::currentPath();
    return QDir::cleanPath(QDir::current().absoluteFilePath(dir));
}

int openHomeDatabase(const QString &dir, const QString &prefix, db::Transaction &tx) {
    auto stop = [&](const QString &text, int status) {
        printError(prefix + u": "_s + text);
        return status;
    };
    if (!QFileInfo(dir).isDir())
        return stop(u"数据文件夹 \""_s + shown(dir) +
                        u"\" 不存在（用 --home DIR 或环境变量 "
                        u"ZORVANE_HOME 指定数据文件夹）"_s,
                    kExitUsage);
    const QString profile = dir + u"/zorv.ini"_s;
    if (!QFileInfo(profile).isFile())
        return stop(u"数据文件夹 \""_s + shown(dir) +
                        u"\" 中没有配置文件 zorv.ini（在该文件夹启动一次 Zorvane，"
                        u"或用 --home DIR 指定其他数据文件夹）"_s,
                    kExitUsage);

    app::Globals &g = app::globals();
    g.lsPath = dir;
    g.profile = profile;
    g.sysPath = config::odbcDriverFolder();
    const QString database = dir + u"/zorv.mdb"_s;

    auto value = [&](const QString &section, const QString &key, const QString &def) {
        return config::readProfileString(profile, section, key, def);
    };
    tx.setDbms(value(kOdbc, u"DBMS"_s, u"ODBC"_s));
    const QString dsn = value(kOdbc, u"DSN_Name"_s, u"zorv"_s);
    const QString uid = value(kOdbc, u"USER_Name"_s, QString());
    const QString pwd = value(kOdbc, u"USER_pw"_s, QString());
    tx.setDbParm(u"ConnectString='DSN="_s + dsn + u";UID="_s + uid + u";PWD="_s + pwd + u'\'');
    tx.setAutoCommit(value(kOdbc, u"AutoCommit"_s, u"true"_s) == u"true");

    if (value(kStart, u"First"_s, u"true"_s) == u"true") {
        // The first start of this folder: register its database, as the program does.
        config::RegistryStore store;
        if (!config::regodbc(store, dsn, database, g.sysPath))
            return stop(u"无法登记数据源 \""_s + dsn + u"\"："_s + store.errorString(),
                        kExitStopped);
        QString error;
        if (!config::writeProfileString(profile, kStart, u"First"_s, u"false"_s, &error))
            return stop(u"无法写入 "_s + shown(profile) + u"："_s + error, kExitStopped);
    } else {
        // The program would ask which file to use; a command never guesses.
        const QString registered = app::registeredDatabase(config::RegistryStore(), dsn);
        if (app::isOtherFoldersDatabase(registered, database))
            return stop(u"数据源 \""_s + dsn + u"\" 登记的数据库文件 \""_s + shown(registered) +
                            u"\" 不是数据文件夹中的 \""_s + shown(database) +
                            u"\"；请在该数据文件夹启动 Zorvane 选定要用的文件"_s,
                        kExitStopped);
    }

    if (tx.connect() != 0)
        return stop(u"无法连接数据源 \""_s + dsn + u"\"："_s + tx.sqlerrtext(), kExitStopped);
    return kExitOk;
}

} // namespace zorv::cli
