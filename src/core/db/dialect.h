#pragma once
// The few places where the server database (PostgreSQL through ODBC) reads
// the program's statements differently from the embedded one, and the
// spelling that gives both the same meaning. Every statement of the program
// passes through forDriver() just before it is prepared, so statements are
// written once, in the embedded database's terms:
//
// - "LIKE ?": the embedded database ignores the case of ASCII letters and
//   treats "\" as an ordinary character; on the server it becomes
//   "ILIKE ? ESCAPE ''", which does the same.
//
// Header-only, so that the grid's retrieval (which does not link the
// database layer) applies it too.

#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QString>

namespace zorv::db {

enum class Dialect {
    Embedded,   // SQLite file behind a desktop data source
    PostgreSQL, // a PostgreSQL server through ODBC
    OtherOdbc,  // any other database behind an ODBC data source: statements go as written
};

inline Dialect dialectOf(const QSqlDatabase &db) {
    const QSqlDriver *driver = db.driver();
    if (!driver)
        return Dialect::OtherOdbc;
    if (db.driverName() == u"QSQLITE")
        return Dialect::Embedded;
    return driver->dbmsType() == QSqlDriver::PostgreSQL ? Dialect::PostgreSQL : Dialect::OtherOdbc;
}

// sql as the database behind dialect must read it.
inline QString forDialect(Dialect dialect, const QString &sql) {
    if (dialect != Dialect::PostgreSQL || !sql.contains(u"like", Qt::CaseInsensitive))
        return sql;
    // Only a LIKE outside quoted text and followed by a bound value is
    // rewritten; literal patterns in statements typed by users are theirs.
    static const QRegularExpression like(QStringLiteral("\\bLIKE(\\s+\\?)"),
                                         QRegularExpression::CaseInsensitiveOption);
    QString out;
    out.reserve(sql.size() + 32);
    qsizetype from = 0;
    bool quoted = false;
    for (qsizetype i = 0; i <= sql.size(); ++i) {
        if (i < sql.size() && sql[i] != u'\'')
            continue;
        const QString part = sql.mid(from, i - from);
        if (quoted) {
            out += part;
        } else {
            QString p = part;
            p.replace(like, QStringLiteral("ILIKE\\1 ESCAPE ''"));
            out += p;
        }
        if (i < sql.size())
            out += u'\'';
        quoted = !quoted;
        from = i + 1;
    }
    return out;
}

inline QString forDriver(const QSqlDatabase &db, const QString &sql) {
    return forDialect(dialectOf(db), sql);
}

} // namespace zorv::db
