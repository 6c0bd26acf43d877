// zorv files run: step 4, "4、执行".
#include "cli/cli_platform.h"
#include "cli/command.h"
#include "cli/terminal.h"
#include "core/app/data_home.h"
#include "core/files/batch_run.h"
#include "core/files/run_journal.h"
#include "core/grid/grid.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace zorv::cli {

QString defaultJournalFolder() {
    return app::dataHomePath() + u"/journal"_s;
}

namespace {

const CommandSpec &spec() {
    static const CommandSpec s{
        u"run"_s,
        {{u"mode"_s, true},
         {u"overwrite"_s, true},
         {u"root"_s, true},
         {u"check-only"_s, false},
         {u"journal"_s, true}},
        0,
        0,
        u"run [--mode copy|move] [--overwrite yes|no] [--root DIR] [--check-only] [--journal "
        u"FILE]\n"
        "    [--in FILE]"_s,
        u"逐行把源文件 ypath/filey 复制或移动为 npath/filen，把结果写入 jg（同 \"4、执行\"）：\n"
        "  成功；失败（复制或移动出错，或目标文件名无效）；同名（在同一文件夹复制，目标已存在）；\n"
        "  无效（移动时目标已存在）；取消（目标在另一文件夹已存在且不覆盖）。\n"
        "同一文件夹内移动即改名。缺少的目标文件夹逐级创建。Ctrl-C 在两行之间停止，\n"
        "已执行的行保留结果，表格照样写出。\n"
        "执行前先检查全部行：目标相同的第二行及以后各行、移动同一源文件的第二行及以后各行、\n"
        "目标即源文件的行不执行（\"失败\"），这些冲突行（最多 200 行及其余行数）写到标准错误；\n"
        "读取别的行要写入的文件的行先执行，互换名称（a→b、b→a）经临时文件名完成。\n"
        "\n"
        "  --mode copy|move     复制（默认）或移动\n"
        "  --overwrite yes|no   目标在另一文件夹已存在时是否覆盖（默认 yes）\n"
        "  --root DIR           目标根文件夹：只在它下面创建缺少的文件夹\n"
        "                       （默认创建目标路径上所有缺少的文件夹）\n"
        "  --check-only         只检查并列出冲突行，不动任何文件；表格原样写出，\n"
        "                       退出状态 0 无冲突，1 有冲突\n"
        "  --journal FILE       把执行日志写到新文件 FILE（默认写到数据文件夹的 journal/，\n"
        "                       保留最近 20 次）；日志无法写入时不执行，退出状态 1。\n"
        "                       zorv files undo 按日志撤销执行\n"
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

    const bool checkOnly = args->has(u"check-only"_s);
    files::JournalPlace journal;
    if (args->has(u"journal"_s))
        journal.file = QFileInfo(args->value(u"journal"_s)).absoluteFilePath();
    else
        journal.folder = defaultJournalFolder();

    // Ctrl-C asks the loop to stop between rows, as Esc does in the window.
    bool changed = false;
    return runGridStep(
        spec(), *args, true,
        [&](Grid &grid, CliPlatform &platform, TerminalProgress &progress) {
            platform.reviewLine = files::conflictLine;
            if (checkOnly) {
                const files::Plan plan = files::buildPlan(grid, state.ls_path2, options);
                const files::PlanCheck check = files::checkPlan(plan);
                platform.reviewProceeds = false;
                return files::confirmConflicts(plan, check) ? kExitOk : kExitStopped;
            }
            const files::RunSummary summary =
                files::executeRun(grid, state, options, progress, &journal);
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
