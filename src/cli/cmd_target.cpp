// zorv files target: step 3, "3、选择目标文件夹".
#include "cli/cli_platform.h"
#include "cli/command.h"
#include "core/files/batch_plan.h"
#include "core/grid/grid.h"

using namespace Qt::StringLiterals;

namespace zorv::cli {
namespace {

const CommandSpec &spec() {
    static const CommandSpec s{
        u"target"_s,
        {{u"keep-tree"_s, false}},
        1,
        1,
        u"target [--keep-tree] [--in FILE] DIR"_s,
        u"把目标文件夹 DIR 填入每行的目标文件路径 npath（同 \"3、选择目标文件夹\"）。\n"
        "DIR 可以和源文件夹相同；不存在的文件夹在 run 时创建。\n"
        "\n"
        "  --keep-tree  保留源文件夹子目录结构：npath = DIR/zml\n"
        "  --in FILE    从 FILE 读入表格（默认标准输入）\n"
        "  -h, --help   显示本说明\n"_s};
    return s;
}

} // namespace

int cmdTarget(const QStringList &argv) {
    int status = kExitOk;
    const std::optional<Args> args = parseCommand(spec(), argv, &status);
    if (!args)
        return status;
    const QString dir = folderArgument(args->positionals().at(0));
    return runGridStep(spec(), *args, false, [&](Grid &grid, CliPlatform &, TerminalProgress &) {
        files::FrnState state;
        const bool filled = files::fillChosenTarget(grid, state, dir, args->has(u"keep-tree"_s));
        return filled ? kExitOk : kExitStopped;
    });
}

} // namespace zorv::cli
