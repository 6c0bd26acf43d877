// zorv files names: step 2, the nine string operations of "预览".
#include "cli/cli_platform.h"
#include "cli/command.h"
#include "cli/terminal.h"
#include "core/files/name_ops.h"
#include "core/grid/grid.h"

using namespace Qt::StringLiterals;

namespace zorv::cli {
namespace {

const CommandSpec &spec() {
    static const CommandSpec s{
        u"names"_s,
        {{u"op"_s, true},
         {u"start"_s, true},
         {u"count"_s, true},
         {u"text"_s, true},
         {u"step"_s, true},
         {u"on"_s, true}},
        0,
        0,
        u"names --op N [--start N] [--count N] [--text T] [--step N] [--on source|target]"_s,
        u"按字符串操作计算每行的目标文件名 filen（同 \"预览\"）。位置和长度按 GBK 字节计，\n"
        "一个汉字占两个位置；用来计算的名字为空的行从表格中删除。\n"
        "\n"
        "  --op N      操作方式：\n"
        "                1 按位置与长度        --start 起始位置，--count 截取个数\n"
        "                2 从某字符后开始      --text 标志字符，--count 截取个数\n"
        "                3 字符替换            --start 位置，--count 个数，--text 替换字符\n"
        "                4 大写字母转小写\n"
        "                5 小写字母转大写\n"
        "                6 截取连续英文字母\n"
        "                7 修改文件扩展名      --text 新扩展名\n"
        "                8 保留原文件名\n"
        "                9 除去数字后加等差序号 --step 公差\n"
        "  --start N   1 至 50；不给时为 0\n"
        "  --count N   1 至 50；不给时为 0，即截到名字末尾\n"
        "  --text T    至多 3 个字符\n"
        "  --step N    1 至 50；不给时为 0（每行序号都是 1）\n"
        "  --on source|target  按源文件名 filey（默认）或按目标文件名 filen 操作\n"
        "  --in FILE   从 FILE 读入表格（默认标准输入）\n"
        "  -h, --help  显示本说明\n"_s};
    return s;
}

// The options each operation reads; others are refused so a mistyped one is noticed.
QStringList usedOptions(int op) {
    switch (op) {
    case 1:
        return {u"start"_s, u"count"_s};
    case 2:
        return {u"count"_s, u"text"_s};
    case 3:
        return {u"start"_s, u"count"_s, u"text"_s};
    case 7:
        return {u"text"_s};
    case 9:
        return {u"step"_s};
    default:
        return {};
    }
}

} // namespace

int cmdNames(const QStringList &argv) {
    int status = kExitOk;
    const std::optional<Args> args = parseCommand(spec(), argv, &status);
    if (!args)
        return status;

    QString error;
    files::NameOpParams p;
    p.op = args->intValue(u"op"_s, 1, 9, 0, &error);
    if (!error.isEmpty())
        return usageError(spec(), u"未知的操作方式："_s + quoteInput(args->value(u"op"_s)) +
                                      u"（应为 1 至 9）"_s);
    for (const QString &o : {u"start"_s, u"count"_s, u"text"_s, u"step"_s})
        if (args->has(o) && p.op != 0 && !usedOptions(p.op).contains(o))
            return usageError(spec(), u"操作 "_s + QString::number(p.op) + u" 不用选项 --"_s + o);
    p.start = args->intValue(u"start"_s, 1, 50, 0, &error);
    p.count = args->intValue(u"count"_s, 1, 50, 0, &error);
    p.step = args->intValue(u"step"_s, 1, 50, 0, &error);
    p.text = args->value(u"text"_s);
    if (p.text.toUcs4().size() > 3)
        error = u"选项 --text 至多 3 个字符"_s;
    const QString on = args->choice(u"on"_s, {u"source"_s, u"target"_s}, u"source"_s, &error);
    if (!error.isEmpty())
        return usageError(spec(), error);

    return runGridStep(spec(), *args, false,
                       [&](Grid &grid, CliPlatform &, TerminalProgress &progress) {
                           const files::ComputeResult result =
                               files::computeNames(grid, p, on == u"target", progress);
                           return result == files::ComputeResult::Done ? kExitOk : kExitStopped;
                       });
}

} // namespace zorv::cli
