#include "core/catalogue/select_builder.h"

#include "core/grid/grid.h"

using namespace Qt::Literals::StringLiterals;

namespace zorv::catalogue {

QString SelectStatement::text() const {
    QString head;
    if (columns.isEmpty())
        head = u"select * from "_s + table;
    else
        head = u"select "_s + columns.join(u',').trimmed() + u" from "_s + table;
    head = head.trimmed();
    const QString where = condition.trimmed();
    if (where.isEmpty())
        return head + u" ;"_s;
    return head + u" where "_s + where + u" ;"_s;
}

SelectStatement selectFromColumnGrid(const Grid &columns, const QString &table,
                                     const QString &condition) {
    SelectStatement s;
    s.table = table;
    s.condition = condition;
    const int nameColumn = columns.columnNumber(u"column_nam"_s);
    const QList<qint64> rows = columns.selectedRows();
    if (rows.size() == columns.rowCount())
        return s;
    for (qint64 row : rows)
        s.columns << columns.getItemString(row, nameColumn);
    return s;
}

} // namespace zorv::catalogue
