#pragma once
// Reading the structure of a live database into the catalogue's import list:
// one line per column (table, column, type, length, purpose left empty),
// taken from the database's own catalogue. The source is only read.

#include <QString>

namespace zorv {
class Grid;
}

namespace zorv::catalogue {

// A declared type split into the type and its length: "VARCHAR(20)" gives
// "VARCHAR" and 20, "NUMBER(10,2)" gives "NUMBER" and 10, "INTEGER" gives
// "INTEGER" and no length (-1). A length beyond 32767 counts as none.
struct DeclaredType {
    QString type;
    int length = -1;
};
DeclaredType splitDeclaredType(const QString &declared);

// Appends the columns of every table of an SQLite file (sqlite_master and
// table_info), tables by name, columns in table order. Returns the rows
// added, or -1 with *error saying why (not a database, unreadable); the grid
// is then unchanged.
qint64 readSqliteStructure(const QString &path, Grid &grid, QString *error);

// The same through an ODBC data source name (or a full connection string
// holding "="), from information_schema.columns, system schemas left out.
qint64 readOdbcStructure(const QString &source, Grid &grid, QString *error);

} // namespace zorv::catalogue
