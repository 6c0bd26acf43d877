// zorv catalogue: the table catalogue of a data folder from a shell, over the
// logic of the catalogue windows: storing an import list, the export list, the
// columns of one table and the SELECT the browser builds.
#include "cli/cli_home.h"
#include "cli/cli_platform.h"
#include "cli/command.h"
#include "cli/table_out.h"
#include "cli/terminal.h"
#include "core/catalogue/catalogue_grids.h"
#include "core/catalogue/catalogue_import.h"
#include "core/catalogue/select_builder.h"
#include "core/db/transaction.h"
#include "core/imports/import_common.h"
#include "core/imports/sheet_import.h"

#include <QFile>
#include <cstdio>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace zorv::cli {
namespace {

const QString kPrefix = u"zorv catalogue"_s;

QString catalogueHelp() {
    return u"用法: zorv catalogue import FILE [--home DIR]\n"
           "       zorv catalogue export [--left T] [--table T] [--column C] [--purpose P] [--home "
           "DIR]\n"
           "       zorv catalogue columns TABLE [--home DIR]\n"
           "       zorv catalogue select TABLE [--columns C1,C2] [--where TEXT] [--home DIR]\n"
           "\n"
           "数据文件夹（--home DIR，默认 $ZORVANE_HOME，否则当前文件夹）中 zorv.ini 所指数据库的\n"
           "oracle 表目录，与“oracle表查询”“oracle表导入”“oracle表导出”窗口做同样的事：\n"
           "\n"
           "  import   保存导入清单：每行 表名、字段名、字段类型、字段长度、表用途（制表符分隔的\n"
           "           文本，或电子表格的活动工作表，从第 1 行起；首行是列标题时跳过）。新表取其\n"
           "           第一行的用途（空则为 Null），已有的表和字段保持不变。整个保存是一个事务。\n"
           "  export   "
           "按四个条件列出目录，每个字段一行（表名左匹配、表名全匹配、表中字段名、表用途）\n"
           "  columns  列出一个表（表名完全相同）的字段\n"
           "  select   只输出浏览窗口“生成SQL”所得的语句；--columns 为所选字段，\n"
           "           全部或都不选时为 select *；--where 为条件\n"
           "\n"
           "表格输出为 UTF-8 制表符分隔文本，首行为列名。提示写到标准错误，形如 \"标题: 内容\"。\n"
           "退出状态：0 完成；1 保存或查询未完成（原因写到标准错误）；2 用法错误或输入无法读取，\n"
           "没有做任何事。\n"_s;
}

int usage(const QString &sub, const QString &message) {
    printError(kPrefix + (sub.isEmpty() ? QString() : QString(u' ' + sub)) + u": "_s + message);
    printError(u"（zorv catalogue --help 查看说明）"_s);
    return kExitUsage;
}

bool printText(const QString &text) {
    const QByteArray bytes = text.toUtf8();
    const bool ok =
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) == size_t(bytes.size());
    return std::fflush(stdout) == 0 && ok;
}

int writeGrid(const QString &sub, const Grid &grid) {
    if (!writeTable(grid, stdout)) {
        printError(kPrefix + u" "_s + sub + u": 无法写出到标准输出"_s);
        return kExitUsage;
    }
    return kExitOk;
}

// The data folder's database; kExitOk when connected.
int openDatabase(const QString &sub, const Args &args, db::Transaction &tx) {
    return openHomeDatabase(homeFolder(args), kPrefix + u" "_s + sub, tx);
}

// A first line holding the column titles of the import list or of the
// export is a header, not a catalogue line.
bool isHeaderLine(const QString &line) {
    const QString trimmed = line.trimmed();
    for (const auto &grid : {catalogue::makeImportGrid(), catalogue::makeExportGrid()}) {
        QStringList names, titles;
        for (const Column &c : grid->columns()) {
            names << c.name;
            titles << c.title();
        }
        if (trimmed == names.join(u'\t') || trimmed == titles.join(u'\t'))
            return true;
    }
    return false;
}

// Reads FILE into the import list: a spreadsheet as the file import does, a
// text file as the paste import does.
int readImportList(const QString &path, Grid &grid, CliPlatform &platform) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return usage(u"import"_s, u"无法读取 "_s + quoteInput(path) + u"："_s + f.errorString());
    const QString firstLine = QString::fromUtf8(f.readLine());
    f.close();
    if (imports::isSpreadsheetPath(path)) {
        platform.openPath = path;
        if (!imports::importSheetConnectFirst(grid).imported())
            return kExitUsage;
        if (grid.rowCount() > 0 && isHeaderLine(grid.toTsv(false).section(u"\r\n"_s, 0, 0)))
            grid.deleteRow(1);
        return kExitOk;
    }
    const ImportResult r = grid.importFile(path, isHeaderLine(firstLine) ? 2 : 1);
    if (!r.ok()) {
        imports::reportGridImport(r);
        return kExitUsage;
    }
    return kExitOk;
}

int cmdImport(const Args &args) {
    if (args.positionals().size() != 1)
        return usage(u"import"_s, u"需要一个文件 FILE"_s);
    TerminalProgress progress(isatty(STDERR_FILENO));
    CliPlatform platform(&progress);
    installInterruptHandler();
    auto grid = catalogue::makeImportGrid();
    if (const int status = readImportList(args.positionals().first(), *grid, platform))
        return status;
    db::Transaction tx;
    if (const int status = openDatabase(u"import"_s, args, tx))
        return status;
    const catalogue::SaveReport r = catalogue::saveImportGrid(tx, *grid, &progress);
    progress.clear();
    if (!r.stored())
        return kExitStopped;
    printError(
        u"信息提示: 已保存，新增表 %1 个、字段 %2 个"_s.arg(r.tablesAdded).arg(r.columnsAdded));
    return kExitOk;
}

catalogue::Filters filtersOf(const Args &args) {
    return {args.value(u"left"_s), args.value(u"table"_s), args.value(u"column"_s),
            args.value(u"purpose"_s)};
}

int cmdExport(const Args &args) {
    if (!args.positionals().isEmpty())
        return usage(u"export"_s, u"多余的参数 "_s + quoteInput(args.positionals().first()));
    CliPlatform platform;
    db::Transaction tx;
    if (const int status = openDatabase(u"export"_s, args, tx))
        return status;
    auto grid = catalogue::makeExportGrid();
    QString error;
    if (catalogue::queryExport(*grid, tx, filtersOf(args), &error) < 0) {
        printError(u"提示: 查询失败。出错信息:"_s + error);
        return kExitStopped;
    }
    return writeGrid(u"export"_s, *grid);
}

int cmdColumns(const Args &args) {
    if (args.positionals().size() != 1)
        return usage(u"columns"_s, u"需要一个表名 TABLE"_s);
    CliPlatform platform;
    db::Transaction tx;
    if (const int status = openDatabase(u"columns"_s, args, tx))
        return status;
    auto grid = catalogue::makeColumnGrid();
    QString error;
    if (catalogue::queryColumns(*grid, tx, args.positionals().first(), &error) < 0) {
        printError(u"提示: 查询失败。出错信息:"_s + error);
        return kExitStopped;
    }
    return writeGrid(u"columns"_s, *grid);
}

// The browser's statement: the named columns are selected in the table's
// column grid, which puts them in its order.
int cmdSelect(const Args &args) {
    if (args.positionals().size() != 1)
        return usage(u"select"_s, u"需要一个表名 TABLE"_s);
    const QString table = args.positionals().first();
    CliPlatform platform;
    db::Transaction tx;
    if (const int status = openDatabase(u"select"_s, args, tx))
        return status;
    auto grid = catalogue::makeColumnGrid();
    QString error;
    if (catalogue::queryColumns(*grid, tx, table, &error) < 0) {
        printError(u"提示: 查询失败。出错信息:"_s + error);
        return kExitStopped;
    }
    if (grid->rowCount() == 0) {
        printError(u"提示: 目录中没有表 "_s + quoteInput(table) + u" 的字段"_s);
        return kExitStopped;
    }
    QStringList wanted;
    for (const QString &c : args.value(u"columns"_s).split(u',', Qt::SkipEmptyParts))
        wanted << c.trimmed();
    for (const QString &c : std::as_const(wanted)) {
        bool found = false;
        for (qint64 row = 1; row <= grid->rowCount(); ++row) {
            if (grid->getItemString(row, 1) == c) {
                grid->selectRow(row, true);
                found = true;
            }
        }
        if (!found)
            return usage(u"select"_s, u"表中没有字段 "_s + quoteInput(c));
    }
    const QString text =
        catalogue::selectFromColumnGrid(*grid, table, args.value(u"where"_s)).text();
    if (!printText(text + u"\n"_s)) {
        printError(kPrefix + u" select: 无法写出到标准输出"_s);
        return kExitUsage;
    }
    return kExitOk;
}

} // namespace

int cmdCatalogue(const QStringList &argv) {
    if (argv.isEmpty()) {
        const QByteArray text = catalogueHelp().toUtf8();
        std::fwrite(text.constData(), 1, size_t(text.size()), stderr);
        return kExitUsage;
    }
    if (argv[0] == u"--help" || argv[0] == u"-h") {
        printText(catalogueHelp());
        return kExitOk;
    }
    const QString sub = argv[0];
    QList<OptionSpec> specs{homeOption(), {u"help"_s, false}};
    if (sub == u"export")
        specs << OptionSpec{u"left"_s, true} << OptionSpec{u"table"_s, true}
              << OptionSpec{u"column"_s, true} << OptionSpec{u"purpose"_s, true};
    else if (sub == u"select")
        specs << OptionSpec{u"columns"_s, true} << OptionSpec{u"where"_s, true};
    else if (sub != u"import" && sub != u"columns")
        return usage(QString(), u"未知的子命令 "_s + quoteInput(sub) +
                                    u"（import, export, columns, select）"_s);
    const Args args(argv.mid(1), specs);
    if (!args.ok())
        return usage(sub, args.error());
    if (args.has(u"help"_s)) {
        printText(catalogueHelp());
        return kExitOk;
    }
    if (sub == u"import")
        return cmdImport(args);
    if (sub == u"export")
        return cmdExport(args);
    if (sub == u"columns")
        return cmdColumns(args);
    return cmdSelect(args);
}

} // namespace zorv::cli
