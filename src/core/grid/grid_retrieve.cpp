// Retrieval from the database: the result replaces the rows only when every
// value converted to its column's type.
#include "core/grid/grid.h"

#include "core/db/dialect.h"
#include "core/grid/grid_impl.h"
#include "core/grid/grid_value.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

using namespace Qt::StringLiterals;

namespace zorv {

using namespace gridimpl;

qint64 Grid::retrieve(QSqlDatabase db, const QString &sql, const QVariantList &args,
                      QString *error) {
    auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        return qint64(-1);
    };
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.prepare(db::forDriver(db, sql)))
        return fail(q.lastError().text());
    for (const QVariant &a : args)
        q.addBindValue(a);
    if (!q.exec())
        return fail(q.lastError().text());

    Storage fresh;
    fresh.init(d->columns);
    const int columns = columnCount();
    const int fields = std::min(columns, int(q.record().count()));
    std::string text;
    double number;
    bool isNull;
    while (q.next()) {
        for (int c = 0; c < columns; ++c) {
            const ColType type = d->columns[c].type;
            const QVariant v = c < fields ? q.value(c) : QVariant();
            if (!convertVariant(v, type, text, number, isNull)) {
                const Column &col = d->columns[c];
                return fail(u"第%1行“%2”列的值“%3”与该列的类型不符"_s.arg(fresh.rows() + 1)
                                .arg(col.title(), v.toString()));
            }
            if (type == ColType::String)
                fresh.pushStr(c, text);
            else
                fresh.pushNum(c, number, isNull);
        }
        fresh.endRow();
    }
    if (q.lastError().isValid())
        return fail(q.lastError().text());

    d->clearRows();
    d->store = std::move(fresh);
    const RowId rows = d->store.rows();
    d->shown.resize(rows);
    d->order.resize(rows);
    d->selected.assign(rows, 0);
    for (RowId r = 0; r < rows; ++r) {
        d->shown[r] = r;
        d->order[r] = r;
    }
    d->nextOrder = rows;
    d->applyFilter();
    d->current = d->count() > 0 ? 1 : 0;
    if (d->redraw)
        emit modelReset();
    return d->count();
}

} // namespace zorv
