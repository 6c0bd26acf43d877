// zorv files import-names: step 2 from a list, "导入新文件名".
#include "cli/cli_platform.h"
#include "cli/command.h"
#include "cli/terminal.h"
#include "core/files/list_file.h"
#include "core/files/new_names.h"
#include "core/grid/grid.h"

#include <QFileInfo>
#include <climits>

using namespace Qt::StringLiterals;

namespace zorv::cli {
namespace {

const CommandSpec &spec() {
    static const CommandSpec s{
        u"import-names"_s,
        {{u"columns"_s, true}, {u"rows"_s, true}},
        1,
        1,
        u"import-names [--columns N] [--rows N] [--in FILE] FILE"_s,
        u"从 FILE 导入新文件名到每行的目标文件名 filen（同 \"导入新文件名\"）。\n"
        "文本文件：第 r 行（只用制表符前的部分）给表格第 r 行；行数不够的得到空名字。\n"
        "Excel 文件：第一个工作表第 r 行的第 1 至 N 列连在一起给表格第 r 行。\n"
        "\n"
        "  --columns N  Excel 文件导入列 1 至 N（1 至 3，默认 1）\n"
        "  --rows N     表格为空时要新建的行数（只对 Excel 文件有效，用于合并列）\n"
        "  --in FILE    从 FILE 读入表格（默认标准输入）\n"
        "  -h, --help   显示本说明\n"_s};
    return s;
}

} // namespace

int cmdImportNames(const QStringList &argv) {
    int status = kExitOk;
    const std::optional<Args> args = parseCommand(spec(), argv, &status);
    if (!args)
        return status;
    QString error;
    const int columns = args->intValue(u"columns"_s, 1, 3, 1, &error);
    args->intValue(u"rows"_s, 1, INT_MAX, 0, &error);
    if (!error.isEmpty())
        return usageError(spec(), error);
    const QString file = args->positionals().at(0);
    const QFileInfo info(file);
    if (!info.isFile() || !info.isReadable())
        return usageError(spec(), u"无法读取文件 "_s + quoteInput(file));
    return runGridStep(
        spec(), *args, false, [&](Grid &grid, CliPlatform &platform, TerminalProgress &progress) {
            platform.openPath = info.absoluteFilePath();
            const bool imported = files::importNewNames(grid, columns, args->value(u"rows"_s),
                                                        files::openListFile, progress);
            return imported ? kExitOk : kExitStopped;
        });
}

} // namespace zorv::cli
