#pragma once
// A connected catalogue database in a temporary data folder (through
// TestDatabase, so each test runs on both homes of the data), and small
// makers of import lines, shared by the catalogue tests.

#include "core/db/transaction.h"
#include "core/grid/grid.h"
#include "support/tempdir.h"
#include "support/test_database.h"

#include <QTest>

namespace zorv::test {

class CatalogueDb {
public:
    // A new test database (the embedded file, or a schema on the test server
    // in the server pass) connected on tx with autocommit.
    CatalogueDb() : database(home) {
        if (!database.isValid())
            qWarning("%s", qPrintable(database.error()));
        else
            connected = database.connect(tx) == 0;
    }
    qint64 count(const QString &sql) {
        const auto row = tx.selectRow(sql);
        return row ? row->value(0).toLongLong() : -1;
    }
    void exec(const QString &sql, const QVariantList &args = {}) {
        QVERIFY2(tx.execute(sql, args) == 0, qPrintable(tx.sqlerrtext()));
    }
    void addColumn(const QString &table, const QString &purpose, const QString &column) {
        if (count(
                QStringLiteral("SELECT count(*) FROM base0 WHERE table_name = '%1'").arg(table)) ==
            0)
            exec(QStringLiteral("INSERT INTO base0 VALUES (?, ?)"), {table, purpose});
        exec(QStringLiteral("INSERT INTO bases1 VALUES (?, ?, 'VARCHAR2', 10)"), {table, column});
    }
    // Makes the database refuse inserts into table with message when
    // condition (on NEW) holds.
    void refuseInsert(const QString &table, const QString &message, const QString &condition) {
        for (const QString &sql :
             database.refusal(QStringLiteral("refuse_") + table, QStringLiteral("INSERT"), table,
                              message, condition))
            exec(sql);
    }

    TestHome home;
    TestDatabase database;
    db::Transaction tx;
    bool connected = false;
};

// Appends one import line: table, column, type, length text, purpose.
inline void addLine(Grid &grid, const QString &table, const QString &column, const QString &type,
                    const QString &length, const QString &purpose) {
    const qint64 row = grid.insertRow(0);
    grid.setItem(row, 1, table);
    grid.setItem(row, 2, column);
    grid.setItem(row, 3, type);
    grid.setItem(row, 4, length);
    grid.setItem(row, 5, purpose);
}

} // namespace zorv::test
