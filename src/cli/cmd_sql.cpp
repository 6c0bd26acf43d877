// zorv sql: the SQL statement library of a data folder from the shell, over
// the logic of the query window ("查询") and the import window ("保存").
#include "cli/cli_home.h"
#include "cli/cli_platform.h"
#include "cli/command.h"
#include "cli/table_out.h"
#include "cli/terminal.h"
#include "core/db/transaction.h"
#include "core/grid/grid.h"
#include "core/imports/import_common.h"
#include "core/imports/sheet_import.h"
#include "core/sqllib/sql_import.h"
#include "core/sqllib/sql_query.h"

#include <QFileInfo>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace zorv::cli {
namespace {

const QString kPrefix = u"zorv sql"_s;

QString sqlHelp() {
    return u"用法: zorv sql find [--sql 文本] [--purpose 文本] [--home DIR]\n"
           "      zorv sql import FILE [--home DIR]\n"
           "\n"
           "数据文件夹中 SQL 语句库（表 "
           "sqlt）的查询与导入，与窗口\"SQL语句表查询\"、\"导入sql语句\"相同。\n"
           "\n"
           "  find    按语句文本和用途查询（各自去掉首尾空白后前后加 %，% 和 _ 是通配符），\n"
           "          按用途排序写到标准输出：首行列名 sql purpose bh，其后每条一行，\n"
           "          以制表符分隔，字段中的 \\ 制表符 换行 回车写作 \\\\ \\t \\n \\r。\n"
           "  import  把 FILE 的每行（文本文件：制表符分隔的语句和用途；Excel 文件：活动工作表\n"
           "          的第 1、2 列）存入语句库，编号从现有最大编号加 1 起，然后清除语句库中\n"
           "          语句和用途都相同的重复条目（按用途顺序保留第一条）。全部在一个事务中：\n"
           "          任何一行失败都不保存任何行。\n"
           "\n"
           "  --home DIR  数据文件夹（含 zorv.ini；默认环境变量 ZORVANE_HOME，否则当前文件夹）\n"
           "  -h, --help  显示本说明\n"
           "\n"
           "提示信息写到标准错误。退出状态：0 完成；1 "
           "数据库无法打开或保存失败（没有保存任何行）；\n"
           "2 用法错误或文件无法读取。\n"_s;
}

int usage(const QString &message) {
    printError(kPrefix + u": "_s + message);
    printError(u"用法: zorv sql find [--sql 文本] [--purpose 文本] | zorv sql import FILE"
               u"（--help 查看说明）"_s);
    return kExitUsage;
}

bool printHelp() {
    const QByteArray text = sqlHelp().toUtf8();
    return std::fwrite(text.constData(), 1, size_t(text.size()), stdout) == size_t(text.size());
}

int findEntries(const Args &args) {
    if (!args.positionals().isEmpty())
        return usage(u"多余的参数 "_s + quoteInput(args.positionals().at(0)));
    db::Transaction &tx = db::sqlca();
    if (const int opened = openHomeDatabase(homeFolder(args), kPrefix, tx); opened != kExitOk)
        return opened;
    const auto grid = sqllib::makeSsqlGrid();
    QString error;
    if (sqllib::queryLibrary(tx, *grid, args.value(u"sql"_s), args.value(u"purpose"_s), &error) <
        0) {
        printError(kPrefix + u" find: 查询失败："_s + error);
        return kExitStopped;
    }
    if (!writeTable(*grid, stdout)) {
        printError(kPrefix + u" find: 无法写出到标准输出"_s);
        return kExitUsage;
    }
    return kExitOk;
}

// Reads file into the import grid as the window's imports would: a
// spreadsheet's active sheet, or tab-separated text (a first line that is
// the grid's header is skipped).
int readImportFile(const QString &file, Grid &grid, CliPlatform &platform) {
    if (imports::isSpreadsheetPath(file)) {
        platform.openPath = file;
        const imports::ImportReport r = imports::importSheetConnectFirst(grid);
        return r.imported() ? kExitOk : kExitUsage;
    }
    if (imports::refuseBinaryList(file, u"提示"_s))
        return kExitUsage;
    const ImportResult r = grid.importFile(file);
    if (!r.ok()) {
        printError(
            kPrefix + u" import: "_s + quoteInput(file) +
            (r.errorLine > 0 ? u" 第 "_s + QString::number(r.errorLine) + u" 行："_s : u"："_s) +
            r.error);
        return kExitUsage;
    }
    if (grid.rowCount() > 0) {
        const QString a = grid.getItemString(1, 1), b = grid.getItemString(1, 2);
        const QList<Column> &cols = grid.columns();
        if ((a == cols[0].name && b == cols[1].name) ||
            (a == cols[0].caption && b == cols[1].caption))
            grid.deleteRow(1);
    }
    return kExitOk;
}

int importFile(const Args &args) {
    if (args.positionals().isEmpty())
        return usage(u"缺少文件参数"_s);
    if (args.positionals().size() > 1)
        return usage(u"多余的参数 "_s + quoteInput(args.positionals().at(1)));
    const QFileInfo info(args.positionals().at(0));
    if (!info.isFile() || !info.isReadable())
        return usage(u"无法读取文件 "_s + quoteInput(args.positionals().at(0)));

    TerminalProgress progress(stderrIsTerminal());
    CliPlatform platform(&progress);
    const auto grid = sqllib::makeLoadsqlGrid();
    if (const int read = readImportFile(info.absoluteFilePath(), *grid, platform); read != kExitOk)
        return read;

    db::Transaction &tx = db::sqlca();
    if (const int opened = openHomeDatabase(homeFolder(args), kPrefix, tx); opened != kExitOk)
        return opened;
    installInterruptHandler();
    const sqllib::ImportSave r = sqllib::saveImport(tx, *grid, &progress);
    progress.clear();
    sqllib::reportImportSave(r);
    if (!r.ok())
        return kExitStopped;
    printError(kPrefix + u" import: 已保存 "_s + QString::number(r.inserted) + u" 条（编号从 "_s +
               QString::number(r.firstNumber) + u" 起），清除重复 "_s + QString::number(r.removed) +
               u" 条"_s);
    return kExitOk;
}

} // namespace

int cmdSql(const QStringList &argv) {
    if (argv.isEmpty())
        return usage(u"缺少子命令（find 或 import）"_s);
    const QString sub = argv.first();
    if (sub == u"--help" || sub == u"-h" || sub == u"help")
        return printHelp() ? kExitOk : kExitUsage;
    QList<OptionSpec> options{homeOption(), {u"help"_s, false}};
    if (sub == u"find")
        options << OptionSpec{u"sql"_s, true} << OptionSpec{u"purpose"_s, true};
    else if (sub != u"import")
        return usage(u"未知的子命令 "_s + quoteInput(sub) + u"（find, import）"_s);
    const Args args(argv.mid(1), options);
    if (!args.ok())
        return usage(args.error());
    if (args.has(u"help"_s))
        return printHelp() ? kExitOk : kExitUsage;
    return sub == u"find" ? findEntries(args) : importFile(args);
}

} // namespace zorv::cli
