#include "core/catalogue/catalogue_import.h"

#include "core/db/statements.h"
#include "core/db/transaction_scope.h"
#include "core/grid/grid.h"
#include "core/platform/platform.h"
#include "core/platform/progress.h"

#include <QSet>
#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace zorv::catalogue {

namespace msg {
QString emptyField() {
    return u"表名、字段名、字段类型不能为空!"_s;
}
QString badLength(qint64 row, const QString &value) {
    return u"第%1行的字段长度“%2”不是0到32767之间的整数，没有保存任何行。"_s.arg(row).arg(value);
}
QString failed(qint64 row, const QString &databaseText) {
    const QString where = row > 0 ? u"第%1行保存失败，"_s.arg(row) : u"保存失败，"_s;
    return where + u"没有保存任何行。\n出错信息:"_s + databaseText;
}
QString stopped() {
    return u"保存已中止，没有保存任何行。"_s;
}
} // namespace msg

namespace {

constexpr int kTable = 1, kColumn = 2, kType = 3, kLength = 4, kPurpose = 5;

QString pairKey(const QString &table, const QString &column) {
    return table + QChar(0) + column;
}

bool emptyCell(const Grid &grid, qint64 row, int column) {
    return grid.isNull(row, column) || grid.getItemString(row, column).isEmpty();
}

// The first row whose table, column or type is empty; rowCount + 1 when none.
qint64 firstEmptyRow(const Grid &grid) {
    const qint64 n = grid.rowCount();
    for (qint64 row = 1; row <= n; ++row)
        if (emptyCell(grid, row, kTable) || emptyCell(grid, row, kColumn) ||
            emptyCell(grid, row, kType))
            return row;
    return n + 1;
}

SaveReport report(SaveResult result, qint64 row, const QString &error = {}) {
    SaveReport r;
    r.result = result;
    r.row = row;
    r.error = error;
    return r;
}

// The catalogue as it stands: its tables and its (table, column) pairs, read
// once so that each line is checked without a query of its own.
bool readCatalogue(db::Transaction &tx, QSet<QString> &tables, QSet<QString> &pairs) {
    const auto tableRows = tx.selectRows(u"SELECT table_name FROM base0"_s);
    if (tx.sqlcode() != 0)
        return false;
    for (const QVariantList &r : tableRows)
        tables.insert(r.value(0).toString());
    const auto columnRows = tx.selectRows(u"SELECT table_name, column_nam FROM bases1"_s);
    if (tx.sqlcode() != 0)
        return false;
    for (const QVariantList &r : columnRows)
        pairs.insert(pairKey(r.value(0).toString(), r.value(1).toString()));
    return true;
}

SaveReport store(db::Transaction &tx, Grid &grid, qint64 stopRow, ProgressSink &progress) {
    db::TransactionScope scope(tx);
    if (!scope.isOpen())
        return report(SaveResult::Failed, 0, tx.sqlerrtext());
    QSet<QString> tables, pairs;
    if (!readCatalogue(tx, tables, pairs))
        return report(SaveResult::Failed, 0, tx.sqlerrtext());

    SaveReport done;
    const qint64 total = grid.rowCount();
    for (qint64 row = 1; row < stopRow; ++row) {
        if (progress.stopRequested())
            return report(SaveResult::Stopped, row);
        const QString table = grid.getItemString(row, kTable);
        const QString column = grid.getItemString(row, kColumn);
        bool ok = true;
        const QVariant length = storedLength(grid.item(row, kLength), &ok);
        if (!tables.contains(table)) {
            QString purpose = grid.getItemString(row, kPurpose);
            if (purpose.isEmpty())
                purpose = u"Null"_s;
            if (db::insertTable(tx, table, purpose) != 0)
                return report(SaveResult::Failed, row, tx.sqlerrtext());
            tables.insert(table);
            ++done.tablesAdded;
        }
        const QString key = pairKey(table, column);
        if (!pairs.contains(key)) {
            if (db::insertColumn(tx, table, column, grid.getItemString(row, kType), length) != 0)
                return report(SaveResult::Failed, row, tx.sqlerrtext());
            pairs.insert(key);
            ++done.columnsAdded;
        }
        progress.progress(row, total, QString());
    }
    if (scope.commit() != 0)
        return report(SaveResult::Failed, 0, tx.sqlerrtext());
    if (stopRow <= total) {
        done.result = SaveResult::EmptyField;
        done.row = stopRow;
    }
    return done;
}

} // namespace

QVariant storedLength(const QVariant &cell, bool *ok) {
    *ok = true;
    if (cell.isNull())
        return QVariant(QMetaType(QMetaType::Int));
    bool isNumber = false;
    const double v = cell.toDouble(&isNumber);
    if (!isNumber || !std::isfinite(v) || v != std::floor(v) || v < 0 || v > 32767) {
        *ok = false;
        return {};
    }
    return int(v);
}

SaveReport saveImportGrid(db::Transaction &tx, Grid &grid, ProgressSink *progress) {
    ProgressSink &sink = progress ? *progress : noProgress();
    const qint64 stopRow = firstEmptyRow(grid);
    // Lengths are checked on every line the save would reach before anything is stored.
    for (qint64 row = 1; row < stopRow; ++row) {
        bool ok = true;
        storedLength(grid.item(row, kLength), &ok);
        if (!ok) {
            platform().messageBox(u"信息提示"_s,
                                  msg::badLength(row, grid.getItemString(row, kLength)));
            return report(SaveResult::BadLength, row);
        }
    }
    SaveReport r = store(tx, grid, stopRow, sink);
    switch (r.result) {
    case SaveResult::Saved:
        grid.reset();
        break;
    case SaveResult::EmptyField:
        platform().messageBox(u"信息提示"_s, msg::emptyField());
        break;
    case SaveResult::Failed:
        platform().messageBox(u"保存失败"_s, msg::failed(r.row, r.error), MsgIcon::Warning);
        break;
    case SaveResult::Stopped:
        platform().messageBox(u"提示"_s, msg::stopped());
        break;
    case SaveResult::BadLength:
        break;
    }
    return r;
}

} // namespace zorv::catalogue
