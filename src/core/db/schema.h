#pragma once
// The schema of the embedded database, as code: table and column names, the
// statements that create the five tables, and the schema version recorded in
// the file for later migrations.

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace zorv::db {

inline constexpr int kSchemaVersion = 1;

namespace table {
inline const QString sqlt = QStringLiteral("sqlt");
inline const QString base0 = QStringLiteral("base0");
inline const QString bases1 = QStringLiteral("bases1");
inline const QString htt1 = QStringLiteral("htt1");
inline const QString password = QStringLiteral("password");
} // namespace table

// The five tables in creation order.
QStringList tableNames();
// Column names of a table in column order (inserts without a column list rely on it).
QStringList columnNames(const QString &table);

// Creates every table, the one password row of nulls and the version inside
// one transaction on an empty database; false with *error on failure, in
// which case nothing is left behind in the database.
bool createSchema(QSqlDatabase &db, QString *error);

// Checks that an existing database is one of ours: a readable SQLite file
// whose version this program knows, or an unversioned one that already holds
// the five tables. Nothing is written. False with *error otherwise.
bool checkSchema(QSqlDatabase &db, QString *error);

} // namespace zorv::db
