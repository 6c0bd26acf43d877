#include "core/catalogue/catalogue_grids.h"

#include "core/db/statements.h"

using namespace Qt::Literals::StringLiterals;

namespace zorv::catalogue {

QVariantList Filters::patterns() const {
    const auto anywhereIn = [](const QString &text) {
        return QString(u'%' + text.trimmed() + u'%');
    };
    return {QString(left.trimmed() + u'%'), anywhereIn(anywhere), anywhereIn(column),
            anywhereIn(purpose)};
}

std::unique_ptr<Grid> makeTableGrid() {
    return std::make_unique<Grid>(QList<Column>{
        {u"table_name"_s, ColType::String, u"表名"_s, 30},
        {u"purpose"_s, ColType::String, u"用途"_s, 50},
    });
}

std::unique_ptr<Grid> makeColumnGrid() {
    return std::make_unique<Grid>(QList<Column>{
        {u"column_nam"_s, ColType::String, u"字段名"_s, 30},
        {u"data_type"_s, ColType::String, u"字段类型"_s, 12},
        {u"data_lengt"_s, ColType::Number, u"字段长度"_s, 8},
    });
}

std::unique_ptr<Grid> makeExportGrid() {
    return std::make_unique<Grid>(QList<Column>{
        {u"table_name"_s, ColType::String, u"表名"_s, 30},
        {u"column_nam"_s, ColType::String, u"列名"_s, 30},
        {u"data_type"_s, ColType::String, u"数据类型"_s, 12},
        {u"data_lengt"_s, ColType::Number, u"数据长度"_s, 8},
        {u"purpose"_s, ColType::String, u"用途"_s, 50},
    });
}

std::unique_ptr<Grid> makeImportGrid() {
    auto grid = std::make_unique<Grid>(QList<Column>{
        {u"tn"_s, ColType::String, u"表名"_s, 30},
        {u"cn"_s, ColType::String, u"字段名"_s, 30},
        {u"dt"_s, ColType::String, u"字段类型"_s, 12},
        {u"dl"_s, ColType::Number, u"字段长度"_s, 8},
        {u"pu"_s, ColType::String, u"表用途"_s, 50},
    });
    grid->setSummary(false);
    return grid;
}

namespace {

qint64 retrieve(Grid &grid, db::Transaction &tx, const QString &sql, const QVariantList &args,
                QString *error) {
    if (!tx.isConnected()) {
        if (error)
            *error = u"未连接数据库"_s;
        return -1;
    }
    return grid.retrieve(tx.database(), sql, args, error);
}

} // namespace

qint64 queryTables(Grid &grid, db::Transaction &tx, const Filters &filters, QString *error) {
    return retrieve(grid, tx, db::gridsql::base0, filters.patterns(), error);
}

qint64 queryColumns(Grid &grid, db::Transaction &tx, const QString &table, QString *error) {
    return retrieve(grid, tx, db::gridsql::base2, {table}, error);
}

qint64 queryExport(Grid &grid, db::Transaction &tx, const Filters &filters, QString *error) {
    return retrieve(grid, tx, db::gridsql::dcbase, filters.patterns(), error);
}

} // namespace zorv::catalogue
