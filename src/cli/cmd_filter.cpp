// zorv files filter: "导入名单筛选源文件", the name-list match.
#include "cli/cli_platform.h"
#include "cli/command.h"
#include "cli/terminal.h"
#include "core/files/list_file.h"
#include "core/files/name_match.h"
#include "core/grid/grid.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace zorv::cli {
namespace {

const CommandSpec &spec() {
    static const CommandSpec s{
        u"filter"_s,
        {{u"suffix"_s, true}, {u"drop"_s, false}},
        1,
        1,
        u"filter [--suffix EXT] [--drop] [--in FILE] LIST"_s,
        u"按名单 LIST 的顺序在源文件名 filey 中查找（同 \"导入名单筛选源文件\"）：找到的行\n"
        "序号 xh 改为名单中的位置，结果 jg 为 \"找到\"。LIST 是文本文件（每行一个名字，\n"
        "只用制表符前的部分）或 Excel 文件（第一个工作表的第一列）。\n"
        "默认过滤掉未找到的行（它们仍在表格中，随 \"#filter\" 行隐藏）；\n"
        "--drop 则删除未找到的行，并按 xh 排序，即名单顺序。\n"
        "\n"
        "  --suffix EXT  给名单中没有 \".\" 的名字加上扩展名 EXT（不带点）\n"
        "  --drop        删除未找到的行（相当于在提问时选 \"取消\"）\n"
        "  --in FILE     从 FILE 读入表格（默认标准输入）\n"
        "  -h, --help    显示本说明\n"_s};
    return s;
}

} // namespace

int cmdFilter(const QStringList &argv) {
    int status = kExitOk;
    const std::optional<Args> args = parseCommand(spec(), argv, &status);
    if (!args)
        return status;
    const QString list = args->positionals().at(0);
    const QFileInfo info(list);
    if (!info.isFile() || !info.isReadable())
        return usageError(spec(), u"无法读取名单文件 "_s + quoteInput(list));
    // Ctrl-C asks the loop to stop between rows, as Esc does in the window.
    return runGridStep(
        spec(), *args, true, [&](Grid &grid, CliPlatform &platform, TerminalProgress &progress) {
            platform.openPath = info.absoluteFilePath();
            platform.questionAnswer = args->has(u"drop"_s) ? MsgAnswer::Cancel : MsgAnswer::Ok;
            const files::MatchEnd end = files::matchNameListChosen(grid, args->value(u"suffix"_s),
                                                                   files::openListFile, progress);
            progress.clear();
            if (end == files::MatchEnd::Stopped)
                printError(commandPrefix(spec()) + u"已中止"_s);
            return end == files::MatchEnd::Filtered || end == files::MatchEnd::Deleted
                       ? kExitOk
                       : kExitStopped;
        });
}

} // namespace zorv::cli
