// zorv files undo: takes the last run back, "撤销上次执行".
#include "cli/cli_platform.h"
#include "cli/command.h"
#include "cli/terminal.h"
#include "core/files/run_undo.h"

#include <QFileInfo>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace zorv::cli {
namespace {

const CommandSpec &spec() {
    static const CommandSpec s{
        u"undo"_s,
        {},
        0,
        1,
        u"undo [JOURNAL]"_s,
        u"按执行日志撤销一次 run（同 \"撤销上次执行\"），默认撤销数据文件夹 journal/ 中\n"
        "最新的日志。从最后一步倒序进行：移动和改名移回原位（也跨文件系统），\n"
        "复制出的文件删除；目标文件在执行后被改动、被删除，或源位置又有了文件的行\n"
        "不动并报告；覆盖了原有文件的复制无法撤销。被中断的执行也能撤销。\n"
        "同一日志只撤销一次，再次撤销不做任何改动。\n"
        "每行结果写到标准输出（行号、源文件、目标文件、结果，制表符分隔）：\n"
        "  已撤销；无需撤销；目标已变；源位置已占用；不可撤销；文件夹已变；撤销失败。\n"
        "Ctrl-C 在两步之间停止，再次撤销可继续。\n"
        "\n"
        "  -h, --help   显示本说明\n"
        "\n"
        "退出状态：0 撤销完成且没有跳过的行，或日志已撤销过；1 有跳过或失败的行、\n"
        "被中止，或执行仍在进行；2 用法错误，没有日志或日志无法读取。\n"_s,
        false};
    return s;
}

QByteArray escapedField(const QByteArray &bytes) {
    QByteArray out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        if (c == '\\')
            out.append("\\\\");
        else if (c == '\t')
            out.append("\\t");
        else if (c == '\n')
            out.append("\\n");
        else if (c == '\r')
            out.append("\\r");
        else
            out.append(c);
    }
    return out;
}

} // namespace

int cmdUndo(const QStringList &argv) {
    int status = kExitOk;
    const std::optional<Args> args = parseCommand(spec(), argv, &status);
    if (!args)
        return status;
    QString path;
    if (!args->positionals().isEmpty())
        path = QFileInfo(args->positionals().at(0)).absoluteFilePath();
    else
        path = files::latestJournal(defaultJournalFolder());
    if (path.isEmpty()) {
        printError(commandPrefix(spec()) + u"没有可撤销的执行（"_s + defaultJournalFolder() +
                   u" 中没有日志）"_s);
        return kExitUsage;
    }
    installInterruptHandler();
    TerminalProgress progress(stderrIsTerminal());
    CliPlatform cli(&progress);
    const files::UndoReport report = files::undoJournal(path, progress);
    progress.clear();

    QByteArray out = "行号\t源文件\t目标文件\t结果\n";
    for (const files::UndoRow &r : report.rows) {
        out += QByteArray::number(r.row) + '\t' + escapedField(r.source) + '\t' +
               escapedField(r.target) + '\t' + files::undoResultText(r.result).toUtf8() + '\n';
        if (out.size() > (1 << 20)) {
            std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
            out.clear();
        }
    }
    if (!report.rows.empty())
        std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
    const bool written = std::fflush(stdout) == 0 && !std::ferror(stdout);
    printError(commandPrefix(spec()) + files::undoMessage(report).replace(u'\n', u"；"_s) +
               u"（"_s + path + u"）"_s);
    switch (report.end) {
    case files::UndoEnd::Done: {
        const qint64 skipped = qint64(report.rows.size()) -
                               report.counts[int(files::UndoResult::Undone)] -
                               report.counts[int(files::UndoResult::Nothing)];
        return skipped == 0 && written && report.error.isEmpty() ? kExitOk : kExitStopped;
    }
    case files::UndoEnd::AlreadyUndone:
        return kExitOk;
    case files::UndoEnd::Stopped:
    case files::UndoEnd::StillRunning:
        return kExitStopped;
    case files::UndoEnd::NoJournal:
    case files::UndoEnd::Unreadable:
        break;
    }
    return kExitUsage;
}

} // namespace zorv::cli
