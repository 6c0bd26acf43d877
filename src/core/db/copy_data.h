#pragma once
// Moving the program's data from one home to another (an embedded file into
// the team's server, or back): the five tables copied in one transaction on
// the target.

#include "core/db/transaction.h"

#include <QList>
#include <QPair>

namespace zorv::db {

struct CopyResult {
    QList<QPair<QString, qint64>> counts; // table, rows copied, in table order
};

// Copies every row of sqlt, base0, bases1, htt1 and password from `from` to
// `to` (both connected), in one transaction on `to`: all of it or nothing.
// Without append the target must hold no rows (its one null account row
// aside); the statement and register numbers are kept and the account row
// replaces the target's. With append the rows are added to what the target
// holds: statements and register rows get new numbers from the target, and
// the target's account stays. The server's numbering continues after the
// highest number copied. Returns to.sqlcode() (a failure reading `from` is
// reported on `to` with that text).
int copyData(Transaction &from, Transaction &to, bool append, CopyResult *result);

} // namespace zorv::db
