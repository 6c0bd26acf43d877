// zorv files list: step 1, "1、选择源文件夹".
#include "cli/cli_platform.h"
#include "cli/command.h"
#include "cli/list_stream.h"
#include "cli/terminal.h"
#include "core/files/native_path.h"
#include "core/files/source_scan.h"
#include "core/grid/grid.h"
#include "core/platform/platform.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace zorv::cli {
namespace {

const CommandSpec &spec() {
    static const CommandSpec s{
        u"list"_s,
        {{u"recursive"_s, false}, {u"hidden"_s, false}, {u"append"_s, false}},
        1,
        1,
        u"list [--recursive] [--hidden] [--append] [--in FILE] DIR"_s,
        u"列出文件夹 DIR 中的文件，写出新的文件表格（同 \"1、选择源文件夹\"）。\n"
        "每个文件一行：序号 xh、源文件路径 ypath（以 / 结尾）、源文件名 filey，\n"
        "递归时还有相对于 DIR 的子目录 zml。\n"
        "\n"
        "无法读取的文件夹和过长而无法访问的路径被跳过，提示信息给出个数，退出状态为 1。\n"
        "\n"
        "  --recursive  包括子文件夹（深度优先，按列表顺序）\n"
        "  --hidden     包括隐藏文件和只读文件\n"
        "  --append     累加：读入标准输入的表格，把文件追加在它的行后面\n"
        "  --in FILE    从 FILE 读入要累加的表格（隐含 --append）\n"
        "  -h, --help   显示本说明\n"_s,
        false};
    return s;
}

// A listing that had to leave folders or paths out is not the whole tree:
// the message says how many, and the exit status tells a script.
int listedStatus(qint64 skipped) {
    return skipped > 0 ? kExitStopped : kExitOk;
}

// A fresh list streams its rows from the walk, with the step's status and
// message as scanChosenSource gives them.
int listFresh(const QString &dir, const files::ScanOptions &options) {
    TerminalProgress progress(stderrIsTerminal());
    CliPlatform cli(&progress);
    const QString path1 = files::normaliseSourceFolder(dir);
    qint64 skipped = 0;
    qint64 masked = 0;
    const bool written = streamFreshList(path1, options.recursive, options.hidden, stdout, progress,
                                         &skipped, &masked);
    cli.setStatusText(options.recursive ? u"正在导入......"_s : QString());
    progress.clear();
    zorv::platform().messageBox(u"提示"_s, files::scanDoneText(skipped, masked));
    if (!written) {
        printError(commandPrefix(spec()) + u"无法写出到标准输出"_s);
        return kExitUsage;
    }
    return listedStatus(skipped);
}

} // namespace

int cmdList(const QStringList &argv) {
    int status = kExitOk;
    const std::optional<Args> args = parseCommand(spec(), argv, &status);
    if (!args)
        return status;
    const QString dir = folderArgument(args->positionals().at(0));
    const QFileInfo info(dir);
    if (!info.isDir() || !info.isReadable())
        return usageError(spec(), u"不是可读的文件夹："_s + quoteInput(args->positionals().at(0)));

    files::ScanOptions options;
    options.recursive = args->has(u"recursive"_s);
    options.hidden = args->has(u"hidden"_s);
    options.accumulate = args->has(u"append"_s) || args->has(u"in"_s);
    if (!options.accumulate)
        return listFresh(dir, options);

    return runGridStep(
        spec(), *args, false, [&](Grid &grid, CliPlatform &, TerminalProgress &progress) {
            files::FrnState state;
            qint64 skipped = 0;
            const bool listed =
                files::scanChosenSource(grid, state, dir, options, progress, &skipped);
            return listed ? listedStatus(skipped) : kExitStopped;
        });
}

} // namespace zorv::cli
