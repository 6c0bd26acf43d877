#pragma once
// The SQLSTATE of the last failure on an ODBC statement or connection: the
// portable code that says what went wrong whatever language the server's
// message text is in ("40001" serialization failure, "08S01" connection lost…).

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

namespace zorv::db {

// Empty when the query does not run through ODBC or holds no diagnostic.
QString odbcState(const QSqlDatabase &db, const QSqlQuery &query);
QString odbcState(const QSqlDatabase &db);

// A failure caused by another writer: retrying the whole transaction may succeed.
bool isConflictState(const QString &state);
// The connection to the server is gone (or never was): reconnecting may succeed.
bool isConnectionState(const QString &state);

// The ODBC driver holds the connection of db for dead (the server went away),
// whatever state its last failure reported: a failure that met the lost
// connection inside the driver's own work (its savepoint before a statement,
// for one) comes with a general state.
bool odbcConnectionDead(const QSqlDatabase &db);

// The server's own message out of the text its ODBC driver wraps around it
// ("ERROR: <message>;\nError while executing the query" becomes
// "<message>"); any other text as it is.
QString serverMessage(const QString &text);

// Whether the system's ODBC driver manager knows a data source of this name
// (in the user's or the system's odbc.ini).
bool odbcDataSourceExists(const QString &dsn);

} // namespace zorv::db
