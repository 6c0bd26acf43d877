#include "core/sqllib/sql_query.h"

#include "core/db/statements.h"
#include "core/db/transaction.h"
#include "core/text/gbtext.h"

using namespace Qt::StringLiterals;

namespace zorv::sqllib {

QList<Column> ssqlColumns() {
    return {
        Column{u"sql"_s, ColType::String, u"Sql语句"_s, 80},
        Column{u"purpose"_s, ColType::String, u"用途"_s, 40},
        Column{u"bh"_s, ColType::Number, u"bh"_s, 10},
    };
}

std::unique_ptr<Grid> makeSsqlGrid() {
    return std::make_unique<Grid>(ssqlColumns());
}

QString anywherePattern(const QString &edit) {
    return u'%' + text::trim(edit) + u'%';
}

qint64 queryLibrary(db::Transaction &tx, Grid &grid, const QString &sqlEdit,
                    const QString &purposeEdit, QString *error) {
    if (!tx.isConnected()) {
        *error = u"未连接数据库"_s;
        return -1;
    }
    return grid.retrieve(tx.database(), db::gridsql::ssql,
                         {anywherePattern(sqlEdit), anywherePattern(purposeEdit)}, error);
}

qint64 numberAt(const Grid &grid, qint64 row) {
    if (row < 1 || row > grid.rowCount())
        return 0;
    return grid.item(row, grid.columnNumber(u"bh"_s)).toLongLong();
}

} // namespace zorv::sqllib
