#pragma once
// A connected catalogue database in a temporary data folder, and small makers
// of import lines, shared by the catalogue tests.

#include "core/config/registry.h"
#include "core/config/regodbc.h"
#include "core/db/transaction.h"
#include "core/grid/grid.h"
#include "support/tempdir.h"

#include <QTest>

namespace zorv::test {

class CatalogueDb {
public:
    CatalogueDb() {
        config::RegistryStore store;
        config::regodbc(store, QStringLiteral("zorv"), home.file(QStringLiteral("zorv.mdb")),
                        config::odbcDriverFolder());
        tx.setDbms(QStringLiteral("ODBC"));
        tx.setDbParm(QStringLiteral("ConnectString='DSN=zorv;UID=;PWD='"));
        tx.setAutoCommit(true);
        connected = tx.connect() == 0;
    }
    qint64 count(const QString &sql) {
        const auto row = tx.selectRow(sql);
        return row ? row->value(0).toLongLong() : -1;
    }
    void exec(const QString &sql, const QVariantList &args = {}) {
        QCOMPARE(tx.execute(sql, args), 0);
    }
    void addColumn(const QString &table, const QString &purpose, const QString &column) {
        if (count(
                QStringLiteral("SELECT count(*) FROM base0 WHERE table_name = '%1'").arg(table)) ==
            0)
            exec(QStringLiteral("INSERT INTO base0 VALUES (?, ?)"), {table, purpose});
        exec(QStringLiteral("INSERT INTO bases1 VALUES (?, ?, 'VARCHAR2', 10)"), {table, column});
    }

    TestHome home;
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
