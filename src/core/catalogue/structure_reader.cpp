#include "core/catalogue/structure_reader.h"

#include "core/grid/grid.h"

#include <QAtomicInteger>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <functional>

using namespace Qt::Literals::StringLiterals;

namespace zorv::catalogue {

namespace {

struct Line {
    QString table, column, type;
    int length = -1;
};

QString errorText(const QSqlError &e) {
    return e.databaseText().isEmpty() ? e.text() : e.databaseText();
}

QString connectionName() {
    static QAtomicInteger<int> serial;
    return u"zorv_structure_%1"_s.arg(serial.fetchAndAddRelaxed(1));
}

qint64 appendLines(const QList<Line> &lines, Grid &grid) {
    grid.setRedraw(false);
    for (const Line &l : lines) {
        const qint64 row = grid.insertRow(0);
        grid.setItem(row, 1, QVariant(l.table));
        grid.setItem(row, 2, QVariant(l.column));
        grid.setItem(row, 3, QVariant(l.type));
        if (l.length >= 0)
            grid.setItem(row, 4, QVariant(l.length));
    }
    grid.setRedraw(true);
    return lines.size();
}

// Runs body on a connection of its own, removed again afterwards.
template <class Body>
qint64 withConnection(const QString &driver, const std::function<void(QSqlDatabase &)> &setup,
                      QString *error, Body body) {
    const QString name = connectionName();
    qint64 result = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(driver, name);
        setup(db);
        if (!db.open())
            *error = errorText(db.lastError());
        else
            result = body(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return result;
}

} // namespace

DeclaredType splitDeclaredType(const QString &declared) {
    static const QRegularExpression withSize(uR"(^\s*([^(]*?)\s*\(\s*(\d+)[^)]*\)\s*(.*)$)"_s);
    DeclaredType t;
    const QRegularExpressionMatch m = withSize.match(declared);
    if (!m.hasMatch()) {
        t.type = declared.trimmed();
        return t;
    }
    const QString rest = m.captured(3);
    t.type =
        rest.isEmpty() ? m.captured(1).trimmed() : QString(m.captured(1) + u' ' + rest).trimmed();
    bool ok = false;
    const qlonglong n = m.captured(2).toLongLong(&ok);
    if (ok && n <= 32767)
        t.length = int(n);
    return t;
}

qint64 readSqliteStructure(const QString &path, Grid &grid, QString *error) {
    if (!QFileInfo(path).isFile()) {
        *error = u"文件不存在：%1"_s.arg(path);
        return -1;
    }
    QList<Line> lines;
    const qint64 ok = withConnection(
        u"QSQLITE"_s,
        [&](QSqlDatabase &db) {
            db.setDatabaseName(path);
            db.setConnectOptions(u"QSQLITE_OPEN_READONLY"_s);
        },
        error,
        [&](QSqlDatabase &db) -> qint64 {
            QSqlQuery tables(db);
            if (!tables.exec(u"SELECT name FROM sqlite_master WHERE type = 'table' "
                             "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY name"_s)) {
                *error = errorText(tables.lastError());
                return -1;
            }
            QStringList names;
            while (tables.next())
                names << tables.value(0).toString();
            QSqlQuery columns(db);
            if (!columns.prepare(u"SELECT name, type FROM pragma_table_info(?) ORDER BY cid"_s)) {
                *error = errorText(columns.lastError());
                return -1;
            }
            for (const QString &table : names) {
                columns.addBindValue(table);
                if (!columns.exec()) {
                    *error = errorText(columns.lastError());
                    return -1;
                }
                while (columns.next()) {
                    const DeclaredType t = splitDeclaredType(columns.value(1).toString());
                    lines.append({table, columns.value(0).toString(), t.type, t.length});
                }
            }
            return 0;
        });
    if (ok < 0)
        return -1;
    return appendLines(lines, grid);
}

qint64 readOdbcStructure(const QString &source, Grid &grid, QString *error) {
    QList<Line> lines;
    const qint64 ok = withConnection(
        u"QODBC"_s,
        [&](QSqlDatabase &db) {
            db.setDatabaseName(source.contains(u'=') ? source : QString(u"DSN="_s + source));
        },
        error,
        [&](QSqlDatabase &db) -> qint64 {
            QSqlQuery q(db);
            q.setForwardOnly(true);
            if (!q.exec(u"SELECT table_name, column_name, data_type, "
                        "character_maximum_length, numeric_precision "
                        "FROM information_schema.columns WHERE table_schema NOT IN "
                        "('information_schema', 'pg_catalog', 'sys', 'mysql', "
                        "'performance_schema') ORDER BY table_name, ordinal_position"_s)) {
                *error = errorText(q.lastError());
                return -1;
            }
            while (q.next()) {
                Line l{q.value(0).toString(), q.value(1).toString(), q.value(2).toString()};
                const QVariant size = q.value(3).isNull() ? q.value(4) : q.value(3);
                bool isNumber = false;
                const qlonglong n = size.toLongLong(&isNumber);
                if (!size.isNull() && isNumber && n >= 0 && n <= 32767)
                    l.length = int(n);
                lines.append(l);
            }
            return 0;
        });
    if (ok < 0)
        return -1;
    return appendLines(lines, grid);
}

} // namespace zorv::catalogue
