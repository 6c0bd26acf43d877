#pragma once
// The SELECT statement the catalogue browser builds for the user: the
// selected columns in grid order, the table and the condition text. It is
// only text for the user to copy or keep; it is never run.

#include <QString>
#include <QStringList>

namespace zorv {
class Grid;
}

namespace zorv::catalogue {

struct SelectStatement {
    QStringList columns; // empty: every column ("select *")
    QString table;
    QString condition; // copied as typed; nothing checks it

    // "select * from T ;" or "select C1,C2 from T where COND ;": lower-case
    // keywords, no blank after the commas, one blank before the ";".
    QString text() const;
};

// The statement for the rows selected in the column grid (column_nam in
// the grid's row order). Every row selected, or none, means every column.
SelectStatement selectFromColumnGrid(const Grid &columns, const QString &table,
                                     const QString &condition);

// Appended to the condition text by the operator buttons and a right click.
namespace op {
inline QString like() {
    return QStringLiteral(" like ");
}
inline QString equals() {
    return QStringLiteral(" = ");
}
inline QString atLeast() {
    return QStringLiteral(" >=");
}
inline QString atMost() {
    return QStringLiteral(" <=");
}
inline QString andOp() {
    return QStringLiteral(" and ");
}
inline QString orOp() {
    return QStringLiteral(" or ");
}
// A column name as the right click appends it: a blank on each side.
inline QString column(const QString &name) {
    return QLatin1Char(' ') + name + QLatin1Char(' ');
}
} // namespace op

} // namespace zorv::catalogue
