// zorv files run: step 4, "4、执行".
#include "cli/cli_platform.h"
#include "cli/command.h"
#include "cli/terminal.h"
#include "core/files/batch_run.h"
#include "core/grid/grid.h"

using namespace Qt::StringLiterals;

namespace zorv::cli {
namespace {

const CommandSpec &spec() {
    static const CommandSpec s{
        u"run"_s,
        {{u"mode"_s, true}, {u"overwrite"_s, true}, {u"root"_s, true}},
        0,
        0,
        u"run [--mode copy|move] [--overwrite yes|no] [--root DIR] [--in FILE]"_s,
        u"逐行把源文件 ypath/filey 复制或移动为 npath/filen，把结果写入 jg（同 \"4、执行\"）：\n"
        "  成功；失败（复制或移动出错，或目标文件名无效）；同名（在同一文件夹复制，目标已存在）；\n"
        "  无效（移动时目标已存在）；取消（目标在另一文件夹已存在且不覆盖）。\n"
        "同一文件夹内移动即改名。缺少的目标文件夹逐级创建。Ctrl-C 在两行之间停止，\n"
        "已执行的行保留结果，表格照样写出。\n"
        "\n"
        "  --mode copy|move     复制（默认）或移动\n"
        "  --overwrite yes|no   目标在另一文件夹已存在时是否覆盖（默认 yes）\n"
        "  --root DIR           目标根文件夹：只在它下面创建缺少的文件夹\n"
        "                       （默认创建目标路径上所有缺少的文件夹）\n"
        "  --in FILE            从 FILE 读入表格（默认标准输入）\n"
        "  -h, --help           显示本说明\n"
        "\n"
        "退出状态：0 每行都 \"成功\"；1 有别的结果、被中止或被提示信息中止，或执行后结果表格\n"
        "无法写出；2 用法或输入错误（没有动任何文件）。\n"_s};
    return s;
}

} // namespace

int cmdRun(const QStringList &argv) {
    int status = kExitOk;
    const std::optional<Args> args = parseCommand(spec(), argv, &status);
    if (!args)
        return status;
    QString error;
    files::RunOptions options;
    options.move = args->choice(u"mode"_s, {u"copy"_s, u"move"_s}, u"copy"_s, &error) == u"move";
    options.overwrite =
        args->choice(u"overwrite"_s, {u"yes"_s, u"no"_s}, u"yes"_s, &error) == u"yes";
    if (!error.isEmpty())
        return usageError(spec(), error);
    files::FrnState state;
    if (args->has(u"root"_s))
        state.ls_path2 = folderArgument(args->value(u"root"_s));

    // Ctrl-C asks the loop to stop between rows, as Esc does in the window.
    bool changed = false;
    return runGridStep(
        spec(), *args, true,
        [&](Grid &grid, CliPlatform &, TerminalProgress &progress) {
            const files::RunSummary summary = files::executeRun(grid, state, options, progress);
            changed = summary.executed > 0;
            progress.clear();
            if (summary.end == files::RunEnd::Stopped)
                printError(commandPrefix(spec()) + u"已中止：第 "_s +
                           QString::number(summary.endRow) + u" 行起未执行"_s);
            const bool allSucceeded =
                summary.end == files::RunEnd::Completed && summary.succeeded == summary.executed;
            return allSucceeded ? kExitOk : kExitStopped;
        },
        &changed);
}

} // namespace zorv::cli
