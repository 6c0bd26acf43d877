#pragma once
// The database of a data folder for the sub-commands that work on the
// program's tables (zorv sql, zorv catalogue, …): the folder's "zorv.ini" is
// read and its data source registered and connected exactly as the program's
// start-up does, a missing "zorv.mdb" is created as at a first start, and
// where the program would ask the user a question the command stops with a
// message instead. No account password is asked: whoever can run the
// command on the folder can read its database file anyway.

#include "cli/cli_args.h"

#include <QString>

namespace zorv::db {
class Transaction;
}

namespace zorv::cli {

// The option every database sub-command takes: --home DIR.
OptionSpec homeOption();

// The data folder: --home DIR, else $ZORVANE_HOME when set and not empty,
// else the current folder. Absolute and clean.
QString homeFolder(const Args &args);

// Connects tx to the database of the data folder dir. Returns kExitOk, or
// prints "prefix: reason" on standard error and returns kExitUsage when the
// folder or its zorv.ini is missing (nothing was done) or kExitStopped when
// the database cannot be opened. prefix is the command, e.g. "zorv sql".
int openHomeDatabase(const QString &dir, const QString &prefix, db::Transaction &tx);

} // namespace zorv::cli
