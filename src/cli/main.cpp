// zorv: the file batch steps of the file window as commands that pass the
// file grid from one to the next through pipes.

#include "cli/cli_platform.h"
#include "cli/cmd_lists_columns.h"
#include "cli/command.h"

#include <QCoreApplication>
#include <QFile>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// A standard stream the shell left closed ("2>&-") would be the number the
// next open file gets, and the grid or a message would then be written into
// that file. It is held by /dev/null opened for reading: reads find nothing
// and writes fail, as on the closed stream.
void holdClosedStandardStreams() {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        const int held = open("/dev/null", O_RDONLY);
        if (held >= 0 && held != fd) {
            dup2(held, fd);
            close(held);
        }
    }
}

} // namespace

int main(int argc, char **argv) {
    using namespace zorv::cli;
    holdClosedStandardStreams();
    QCoreApplication app(argc, argv);

    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QFile::decodeName(argv[i]);

    auto overview = [](std::FILE *to) {
        const QByteArray text = overviewHelp().toUtf8();
        std::fwrite(text.constData(), 1, size_t(text.size()), to);
    };
    if (args.isEmpty() || args[0] == u"--help" || args[0] == u"-h" || args[0] == u"help") {
        overview(args.isEmpty() ? stderr : stdout);
        return args.isEmpty() ? kExitUsage : kExitOk;
    }
    if (args[0] == u"sheet")
        return cmdSheet(args.mid(1));
    if (args[0] == u"catalogue")
        return cmdCatalogue(args.mid(1));
    if (args[0] == u"sql")
        return cmdSql(args.mid(1));
    if (args[0] == u"lists")
        return cmdLists(args.mid(1));
    if (args[0] == u"db")
        return cmdDb(args.mid(1));
    if (args[0] != u"files") {
        printError(
            u"zorv: 未知的命令 "_s + quoteInput(args[0]) +
            u"（zorv files …、zorv sql …、zorv catalogue …、zorv lists …、zorv db … 或 zorv sheet …）"_s);
        return kExitUsage;
    }
    args.removeFirst();
    if (args.isEmpty() || args[0] == u"--help" || args[0] == u"-h") {
        overview(args.isEmpty() ? stderr : stdout);
        return args.isEmpty() ? kExitUsage : kExitOk;
    }
    const QString sub = args.takeFirst();
    if (sub == u"list")
        return cmdList(args);
    if (sub == u"names")
        return cmdNames(args);
    if (sub == u"import-names")
        return cmdImportNames(args);
    if (sub == u"filter")
        return cmdFilter(args);
    if (sub == u"target")
        return cmdTarget(args);
    if (sub == u"run")
        return cmdRun(args);
    if (sub == u"undo")
        return cmdUndo(args);
    printError(u"zorv files: 未知的子命令 "_s + quoteInput(sub) +
               u"（list, names, import-names, filter, target, run, undo）"_s);
    return kExitUsage;
}
