// zorv db: setting up the program's database on a server and moving data
// between databases (an embedded "zorv.mdb" and a team's server).

#include "cli/cli_args.h"
#include "cli/cli_platform.h"
#include "cli/command.h"
#include "core/db/copy_data.h"
#include "core/db/schema.h"
#include "core/db/server_schema.h"
#include "core/db/transaction.h"

#include <cstdio>

using namespace Qt::StringLiterals;

namespace zorv::cli {
namespace {

QString dbHelp() {
    return u"用法:\n"
           "  zorv db init --dsn 数据源 [--user 用户 --password 密码]\n"
           "      在空数据库中建立本系统的五个表(含空账户行)。数据库中已有同名的表时\n"
           "      拒绝，不作任何修改。\n"
           "  zorv db copy --from 数据源 --to 数据源 [--append]\n"
           "               [--from-user U --from-password P] [--to-user U --to-password P]\n"
           "      把五个表的数据复制到目标数据库，在目标上作为一个事务：要么全部复制，\n"
           "      要么什么也不改。目标中已有数据时拒绝，除非给出 --append(添加到已有数据\n"
           "      之后，编号由目标重新分配，目标的账户不变)。结束时列出每个表复制的行数。\n"
           "\n"
           "数据源是 ODBC 数据源名：本程序登记的桌面数据库数据源(如 zorv，对应 zorv.mdb)，\n"
           "或系统 ODBC 配置(odbc.ini)中的服务器数据源。密码不会显示，也不写入日志；\n"
           "也可以放在环境变量 ZORV_DB_PASSWORD 中。\n"
           "退出状态：0 完成；1 被拒绝或数据库出错；2 用法错误。\n"_s;
}

void writeOut(const QString &text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

// Connects tx to data source dsn as user; the message on failure names the
// data source, never the password.
bool connectTo(db::Transaction &tx, const QString &what, const QString &dsn, const QString &user,
               const QString &password, bool requireSchema) {
    tx.setDbms(u"ODBC"_s);
    tx.setDbParm(u"ConnectString='DSN="_s + dsn + u";UID="_s + user + u";PWD="_s + password +
                 u'\'');
    tx.setAutoCommit(true);
    tx.setRequireSchema(requireSchema);
    if (tx.connect() == 0)
        return true;
    printError(u"zorv db: 无法连接%1数据源 %2: %3"_s.arg(what, quoteInput(dsn),
                                                         db::withoutPassword(tx.sqlerrtext())));
    return false;
}

QString passwordOf(const Args &a, const QString &option) {
    if (a.has(option))
        return a.value(option);
    return QString::fromLocal8Bit(qgetenv("ZORV_DB_PASSWORD"));
}

int usage(const QString &message) {
    printError(u"zorv db: "_s + message + u"（zorv db --help）"_s);
    return kExitUsage;
}

int cmdInit(const QStringList &args) {
    const Args a(args,
                 {{u"dsn"_s, true}, {u"user"_s, true}, {u"password"_s, true}, {u"help"_s, false}});
    if (!a.ok())
        return usage(a.error());
    if (a.has(u"help"_s)) {
        writeOut(dbHelp());
        return kExitOk;
    }
    if (!a.positionals().isEmpty() || a.value(u"dsn"_s).isEmpty())
        return usage(u"init 需要 --dsn 数据源，不接受其他参数"_s);
    const QString dsn = a.value(u"dsn"_s);
    db::Transaction tx;
    if (!connectTo(tx, QString(), dsn, a.value(u"user"_s), passwordOf(a, u"password"_s), false))
        return kExitStopped;
    if (tx.dialect() == db::Dialect::Embedded) {
        // The embedded file gets its tables when it is created.
        printError(tx.databaseCreated()
                       ? u"zorv db init: 已建立数据库文件 %1"_s.arg(tx.databaseFile())
                       : u"zorv db init: 数据库文件 %1 已经建立过，没有作任何修改"_s.arg(
                             tx.databaseFile()));
        return tx.databaseCreated() ? kExitOk : kExitStopped;
    }
    if (db::initDatabase(tx) != 0) {
        printError(u"zorv db init: "_s + tx.sqlerrtext());
        return kExitStopped;
    }
    printError(u"zorv db init: 已在数据源 %1 中建立表 %2"_s.arg(quoteInput(dsn),
                                                                db::tableNames().join(u", "_s)));
    return kExitOk;
}

int cmdCopy(const QStringList &args) {
    const Args a(args, {{u"from"_s, true},
                        {u"to"_s, true},
                        {u"append"_s, false},
                        {u"user"_s, true},
                        {u"password"_s, true},
                        {u"from-user"_s, true},
                        {u"from-password"_s, true},
                        {u"to-user"_s, true},
                        {u"to-password"_s, true},
                        {u"help"_s, false}});
    if (!a.ok())
        return usage(a.error());
    if (a.has(u"help"_s)) {
        writeOut(dbHelp());
        return kExitOk;
    }
    const QString from = a.value(u"from"_s);
    const QString to = a.value(u"to"_s);
    if (!a.positionals().isEmpty() || from.isEmpty() || to.isEmpty())
        return usage(u"copy 需要 --from 数据源 和 --to 数据源"_s);
    if (from.compare(to, Qt::CaseInsensitive) == 0)
        return usage(u"源和目标是同一个数据源"_s);
    auto user = [&](const QString &side) {
        return a.has(side + u"-user"_s) ? a.value(side + u"-user"_s) : a.value(u"user"_s);
    };
    auto password = [&](const QString &side) {
        return a.has(side + u"-password"_s) ? a.value(side + u"-password"_s)
                                            : passwordOf(a, u"password"_s);
    };
    db::Transaction source;
    db::Transaction target;
    if (!connectTo(source, u"源"_s, from, user(u"from"_s), password(u"from"_s), true) ||
        !connectTo(target, u"目标"_s, to, user(u"to"_s), password(u"to"_s), true))
        return kExitStopped;
    db::CopyResult result;
    if (db::copyData(source, target, a.has(u"append"_s), &result) != 0) {
        printError(u"zorv db copy: "_s + target.sqlerrtext());
        return kExitStopped;
    }
    QString counts;
    for (const auto &[table, n] : result.counts)
        counts += table + u'\t' + QString::number(n) + u'\n';
    writeOut(counts);
    printError(u"zorv db copy: 已从 %1 复制到 %2"_s.arg(quoteInput(from), quoteInput(to)));
    return kExitOk;
}

} // namespace

int cmdDb(const QStringList &args) {
    if (args.isEmpty() || args[0] == u"--help" || args[0] == u"-h") {
        if (args.isEmpty()) {
            printError(dbHelp());
            return kExitUsage;
        }
        writeOut(dbHelp());
        return kExitOk;
    }
    const QString sub = args[0];
    if (sub == u"init")
        return cmdInit(args.mid(1));
    if (sub == u"copy")
        return cmdCopy(args.mid(1));
    return usage(u"未知的子命令 "_s + quoteInput(sub) + u"（init, copy）"_s);
}

} // namespace zorv::cli
