#include "cli/command.h"

#include "cli/cli_platform.h"
#include "cli/grid_stream.h"
#include "cli/terminal.h"
#include "core/files/frn_grid.h"
#include "core/grid/grid.h"

#include <QDir>
#include <QFile>
#include <csignal>
#include <cstdio>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace zorv::cli {
namespace {

void printOut(const QString &text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

bool readAll(std::FILE *in, QByteArray *out) {
    char chunk[1 << 16];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, in)) > 0)
        out->append(chunk, qsizetype(n));
    return !std::ferror(in);
}

// Reads the grid of standard input or --in FILE; on failure prints a message
// naming the line and returns kExitUsage.
int readInputGrid(const CommandSpec &spec, const Args &args, Grid &grid) {
    QByteArray bytes;
    QString source;
    if (args.has(u"in"_s)) {
        source = args.value(u"in"_s);
        QFile f(source);
        if (f.open(QIODevice::ReadOnly))
            bytes = f.readAll();
        if (f.error() != QFileDevice::NoError) { // failed to open or to read
            printError(commandPrefix(spec) + u"无法读取 "_s + source + u"："_s + f.errorString());
            return kExitUsage;
        }
    } else {
        source = u"标准输入"_s;
        if (isatty(STDIN_FILENO)) {
            printError(commandPrefix(spec) +
                       u"标准输入是终端：请用管道送入文件表格，或用 --in FILE 指定"_s);
            return kExitUsage;
        }
        if (!readAll(stdin, &bytes)) {
            printError(commandPrefix(spec) + u"无法读取标准输入"_s);
            return kExitUsage;
        }
    }
    StreamError error;
    if (!readGridStream(bytes, grid, &error)) {
        printError(commandPrefix(spec) + source + u" 第 "_s + QString::number(error.line) +
                   u" 行："_s + error.message);
        return kExitUsage;
    }
    return kExitOk;
}

// Writes grid to standard output; kExitUsage when the output failed.
int writeOutputGrid(const CommandSpec &spec, Grid &grid) {
    if (!writeGridStream(grid, stdout)) {
        printError(commandPrefix(spec) + u"无法写出到标准输出"_s);
        return kExitUsage;
    }
    return kExitOk;
}

} // namespace

QString commandPrefix(const CommandSpec &spec) {
    return u"zorv files "_s + spec.name + u": "_s;
}

int usageError(const CommandSpec &spec, const QString &message) {
    printError(commandPrefix(spec) + message);
    printError(u"用法: zorv files "_s + spec.synopsis + u"（--help 查看说明）"_s);
    return kExitUsage;
}

std::optional<Args> parseCommand(const CommandSpec &spec, const QStringList &args, int *status) {
    QList<OptionSpec> options = spec.options;
    options << OptionSpec{u"help"_s, false} << OptionSpec{u"in"_s, true};
    Args parsed(args, options);
    if (!parsed.ok()) {
        *status = usageError(spec, parsed.error());
        return std::nullopt;
    }
    if (parsed.has(u"help"_s)) {
        printOut(u"用法: zorv files "_s + spec.synopsis + u"\n\n"_s + spec.help);
        *status = kExitOk;
        return std::nullopt;
    }
    const qsizetype n = parsed.positionals().size();
    if (n < spec.minArgs || n > spec.maxArgs) {
        QString msg;
        if (n < spec.minArgs)
            msg = u"缺少参数"_s;
        else
            msg = u"多余的参数 "_s + quoteInput(parsed.positionals().at(spec.maxArgs));
        *status = usageError(spec, msg);
        return std::nullopt;
    }
    return parsed;
}

int runGridStep(const CommandSpec &spec, const Args &args, bool interruptible, const GridStep &step,
                const bool *filesChanged) {
    std::unique_ptr<Grid> grid = files::makeFrn1Grid();
    if (const int read = readInputGrid(spec, args, *grid); read != kExitOk)
        return read;
    if (interruptible)
        installInterruptHandler();
    if (filesChanged)
        std::signal(SIGPIPE, SIG_IGN);
    TerminalProgress progress(stderrIsTerminal());
    CliPlatform platform(&progress);
    const int status = step(*grid, platform, progress);
    progress.clear();
    if (filesChanged && *filesChanged) {
        if (!writeGridStream(*grid, stdout)) {
            printError(commandPrefix(spec) +
                       u"无法写出结果表格到标准输出；文件已经改动，结果只能到目标文件夹查看"_s);
            return kExitStopped;
        }
        return status;
    }
    if (const int written = writeOutputGrid(spec, *grid); written != kExitOk)
        return written;
    return status;
}

QString folderArgument(const QString &arg) {
    QString path = QDir::cleanPath(QDir(arg).absolutePath());
    while (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    return path;
}

} // namespace zorv::cli
