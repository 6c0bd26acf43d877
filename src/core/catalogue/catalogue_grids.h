#pragma once
// The grids of the table catalogue and the queries that fill them: the
// browser's table list and the columns of one table, the flat export list,
// and the import list of one line per column.

#include "core/db/transaction.h"
#include "core/grid/grid.h"

#include <QString>
#include <memory>

namespace zorv::catalogue {

// The four search edits of the browser and the export window. Each is
// trimmed; the table-name start is a left match, the others match anywhere.
struct Filters {
    QString left;     // start of the table name
    QString anywhere; // part of the table name
    QString column;   // part of a column name
    QString purpose;  // part of the table's purpose

    // The LIKE patterns in the order tn1, tn2, cn, pu.
    QVariantList patterns() const;
};

// base0: table_name "表名", purpose "用途"; summary "总数:".
std::unique_ptr<Grid> makeTableGrid();
// base2: column_nam "字段名", data_type "字段类型", data_lengt "字段长度".
std::unique_ptr<Grid> makeColumnGrid();
// dcbase: table_name "表名", column_nam "列名", data_type "数据类型",
// data_lengt "数据长度", purpose "用途".
std::unique_ptr<Grid> makeExportGrid();
// loadtb: tn "表名", cn "字段名", dt "字段类型", dl "字段长度" (number), pu "表用途".
std::unique_ptr<Grid> makeImportGrid();

// Each fills its grid from the catalogue and returns the row count, or -1
// with *error holding the database's text (the grid keeps its rows).
// Tables are listed only when they have at least one column and a purpose.
qint64 queryTables(Grid &grid, db::Transaction &tx, const Filters &filters, QString *error);
// The columns of exactly this table, by column name: a "_" or "%" in the
// name is an ordinary character, so no other table's columns come along.
qint64 queryColumns(Grid &grid, db::Transaction &tx, const QString &table, QString *error);
// One row per catalogue column of the tables the filters find.
qint64 queryExport(Grid &grid, db::Transaction &tx, const Filters &filters, QString *error);

} // namespace zorv::catalogue
