#pragma once
// What every "zorv files" sub-command shares: its option table and help,
// reading the input grid, writing the output grid and the exit statuses.

#include "cli/cli_args.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace zorv {
class Grid;
}

namespace zorv::cli {

class CliPlatform;
class TerminalProgress;

enum ExitStatus {
    kExitOk = 0,      // the step did its work (run: every row "成功")
    kExitStopped = 1, // the step stopped with the window's message, or a row failed
    kExitUsage = 2,   // bad usage or unreadable input; nothing was done
};

struct CommandSpec {
    QString name;              // e.g. "list"
    QList<OptionSpec> options; // "help" and, unless noInput, "in" are added
    int minArgs = 0;           // positionals
    int maxArgs = 0;
    QString synopsis;       // the usage line after "zorv files "
    QString help;           // the rest of the --help text
    bool readsInput = true; // false: the input grid is read only on request
};

// Parses args; prints help (exit 0) or a usage error (exit 2) itself.
// Returns the parsed arguments, or std::nullopt with *status set.
std::optional<Args> parseCommand(const CommandSpec &spec, const QStringList &args, int *status);

// A prefix "zorv files <name>: " for messages of the tool itself.
QString commandPrefix(const CommandSpec &spec);
int usageError(const CommandSpec &spec, const QString &message);

// A step over the file grid: returns kExitOk or kExitStopped.
using GridStep = std::function<int(Grid &grid, CliPlatform &platform, TerminalProgress &progress)>;
// The body of a sub-command that changes the grid: reads the grid of standard
// input or --in FILE into the file window's columns (a bad input is reported
// naming its line), runs step with the terminal's progress line and the command line's platform,
// clears the progress line and writes the grid out. With interruptible,
// Ctrl-C asks the step to stop between rows once the grid has been read.
// Returns step's status, or kExitUsage when reading or writing failed.
// filesChanged, when given, is set by a step that may change files: once it
// is true, an output that cannot be written (a closed pipe, a full disk) is
// reported as kExitStopped with a message, since "nothing was done" would be
// false; a closed pipe then shows as a write error rather than a signal.
int runGridStep(const CommandSpec &spec, const Args &args, bool interruptible, const GridStep &step,
                const bool *filesChanged = nullptr);

// Turns a folder argument into the absolute, clean path a folder dialog
// gives: no trailing "/", except the root folder itself.
QString folderArgument(const QString &arg);

// The sub-commands.
int cmdList(const QStringList &args);
int cmdNames(const QStringList &args);
int cmdImportNames(const QStringList &args);
int cmdFilter(const QStringList &args);
int cmdTarget(const QStringList &args);
int cmdRun(const QStringList &args);
int cmdUndo(const QStringList &args);
// Where "run" writes its journals and "undo" finds the last one.
QString defaultJournalFolder();
// zorv sheet (not a file step): a spreadsheet written as text.
int cmdSheet(const QStringList &args);
// zorv catalogue: the table catalogue of a data folder.
int cmdCatalogue(const QStringList &args);
// zorv sql: the SQL statement library of a data folder.
int cmdSql(const QStringList &args);
// zorv lists: the name-list tools (compare).
int cmdLists(const QStringList &args);
// zorv db (not a file step): init and copy of the program's database.
int cmdDb(const QStringList &args);

// Overview help of "zorv" and "zorv files".
QString overviewHelp();

} // namespace zorv::cli
