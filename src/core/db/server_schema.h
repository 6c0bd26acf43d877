#pragma once
// The program's five tables on a database server, and the numbering that
// the server does for the bh columns.

#include "core/db/transaction.h"

#include <QStringList>

namespace zorv::db {

// The statements that create the five tables on the server behind dialect
// (bh columns numbered by the server's own identity columns).
QStringList serverSchemaStatements(Dialect dialect);

// Which of the five tables already exist in the database's current schema;
// empty with sqlcode() 0 when none, sqlcode() -1 when it cannot be read.
QStringList existingTables(Transaction &tx);

// Creates the five tables with the one null account row in an empty
// database, in one transaction. A database that already holds any table of
// those names is refused with a message naming them, and nothing is changed.
// Returns tx.sqlcode().
int initDatabase(Transaction &tx);

// After rows with explicit bh values went into table (sqlt or htt1): moves
// the server's numbering past the highest bh, so that later inserts without a
// number never meet one in use. The numbering only ever moves up. Nothing to
// do on the embedded database, which numbers past the highest key by itself.
// Keeps the caller's sqlcode()/sqlnrows() when it succeeds.
int advanceNumbering(Transaction &tx, const QString &table);

} // namespace zorv::db
