#include "core/db/schema.h"

#include <QSqlError>
#include <QSqlQuery>

namespace zorv::db {
namespace {

struct TableDef {
    QString name;
    QStringList columns;
    QString create;
};

const QList<TableDef> &tables() {
    static const QList<TableDef> defs = {
        {table::sqlt,
         {QStringLiteral("sql"), QStringLiteral("purpose"), QStringLiteral("bh")},
         QStringLiteral("CREATE TABLE sqlt (sql TEXT, purpose TEXT, "
                        "bh INTEGER PRIMARY KEY AUTOINCREMENT)")},
        {table::base0,
         {QStringLiteral("table_name"), QStringLiteral("purpose")},
         QStringLiteral("CREATE TABLE base0 (table_name TEXT, purpose TEXT)")},
        {table::bases1,
         {QStringLiteral("table_name"), QStringLiteral("column_nam"), QStringLiteral("data_type"),
          QStringLiteral("data_lengt")},
         QStringLiteral("CREATE TABLE bases1 (table_name TEXT, column_nam TEXT, "
                        "data_type TEXT, data_lengt NUMERIC)")},
        {table::htt1,
         {QStringLiteral("bh"), QStringLiteral("xh"), QStringLiteral("bs"), QStringLiteral("rq"),
          QStringLiteral("md"), QStringLiteral("jg"), QStringLiteral("bz")},
         QStringLiteral("CREATE TABLE htt1 (bh INTEGER PRIMARY KEY AUTOINCREMENT, xh INTEGER, "
                        "bs NUMERIC, rq DATETIME, md TEXT, jg TEXT, bz TEXT)")},
        {table::password,
         {QStringLiteral("user1"), QStringLiteral("pw")},
         QStringLiteral("CREATE TABLE password (user1 TEXT, pw TEXT)")},
    };
    return defs;
}

QString errorText(const QSqlError &e) {
    return e.databaseText().isEmpty() ? e.text() : e.databaseText();
}

} // namespace

QStringList tableNames() {
    QStringList out;
    for (const TableDef &t : tables())
        out << t.name;
    return out;
}

QStringList columnNames(const QString &table) {
    for (const TableDef &t : tables())
        if (t.name == table)
            return t.columns;
    return {};
}

bool createSchema(QSqlDatabase &db, QString *error) {
    if (!db.transaction()) {
        *error = errorText(db.lastError());
        return false;
    }
    QStringList statements;
    for (const TableDef &t : tables())
        statements << t.create;
    statements << QStringLiteral("INSERT INTO password (user1, pw) VALUES (NULL, NULL)")
               << QStringLiteral("PRAGMA user_version = %1").arg(kSchemaVersion);
    QSqlQuery q(db);
    for (const QString &sql : statements) {
        if (!q.exec(sql)) {
            *error = errorText(q.lastError());
            q.finish();
            db.rollback();
            return false;
        }
    }
    q.finish();
    if (!db.commit()) {
        *error = errorText(db.lastError());
        db.rollback();
        return false;
    }
    return true;
}

bool checkSchema(QSqlDatabase &db, QString *error) {
    QSqlQuery q(db);
    // The first read of a file that is not SQLite fails here ("file is not a database").
    if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next()) {
        *error = errorText(q.lastError());
        return false;
    }
    const int version = q.value(0).toInt();
    if (version > kSchemaVersion) {
        *error = QStringLiteral("数据库文件的版本(%1)比本程序新(%2)，无法使用")
                     .arg(version)
                     .arg(kSchemaVersion);
        return false;
    }
    if (!q.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"))) {
        *error = errorText(q.lastError());
        return false;
    }
    QStringList present;
    while (q.next())
        present << q.value(0).toString().toLower();
    for (const QString &t : tableNames()) {
        if (!present.contains(t)) {
            *error = QStringLiteral("数据库文件中缺少表 %1，不是本系统的数据库").arg(t);
            return false;
        }
    }
    return true;
}

} // namespace zorv::db
