// Temporary straightforward implementation of the grid model so that callers
// can build against it; the compact storage replaces it.
#include "core/grid/grid.h"

#include <QDateTime>

namespace zorv {

struct Grid::Impl {
    QList<Column> columns;
    QList<QList<QVariant>> rows;
    QList<bool> selected;
    qint64 current = 0;
    bool redraw = true;
    QString filter;
    QString sort;
};

Grid::Grid(QList<Column> columns, QObject *parent) : QObject(parent), d(new Impl) {
    d->columns = std::move(columns);
}
Grid::~Grid() = default;

const QList<Column> &Grid::columns() const { return d->columns; }
int Grid::columnCount() const { return int(d->columns.size()); }
int Grid::columnNumber(const QString &name) const {
    for (int i = 0; i < d->columns.size(); ++i)
        if (d->columns[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i + 1;
    return 0;
}
qint64 Grid::rowCount() const { return d->rows.size(); }
qint64 Grid::filteredCount() const { return 0; }
qint64 Grid::insertRow(qint64 before) {
    if (before <= 0 || before > rowCount())
        before = rowCount() + 1;
    d->rows.insert(before - 1, QList<QVariant>(columnCount()));
    d->selected.insert(before - 1, false);
    if (d->redraw)
        emit rowsInserted(before, 1);
    return before;
}
bool Grid::deleteRow(qint64 row) {
    if (row < 1 || row > rowCount())
        return false;
    d->rows.removeAt(row - 1);
    d->selected.removeAt(row - 1);
    if (d->redraw)
        emit rowsRemoved(row, 1);
    return true;
}
void Grid::reset() {
    d->rows.clear();
    d->selected.clear();
    d->current = 0;
    if (d->redraw)
        emit modelReset();
}
bool Grid::setItem(qint64 row, int column, const QVariant &value) {
    if (row < 1 || row > rowCount() || column < 1 || column > columnCount())
        return false;
    d->rows[row - 1][column - 1] = value;
    if (d->redraw)
        emit cellChanged(row, column);
    return true;
}
bool Grid::setItem(qint64 row, const QString &column, const QVariant &value) {
    return setItem(row, columnNumber(column), value);
}
QVariant Grid::item(qint64 row, int column) const {
    if (row < 1 || row > rowCount() || column < 1 || column > columnCount())
        return {};
    return d->rows[row - 1][column - 1];
}
QString Grid::getItemString(qint64 row, int column) const { return item(row, column).toString(); }
QString Grid::getItemString(qint64 row, const QString &column) const {
    return getItemString(row, columnNumber(column));
}
double Grid::getItemNumber(qint64 row, int column) const { return item(row, column).toDouble(); }
double Grid::getItemNumber(qint64 row, const QString &column) const {
    return getItemNumber(row, columnNumber(column));
}
bool Grid::isNull(qint64 row, int column) const { return item(row, column).isNull(); }
int Grid::setFilter(const QString &expr) {
    d->filter = expr;
    return 1;
}
int Grid::filter() { return 1; }
QString Grid::filterExpression() const { return d->filter; }
int Grid::setSort(const QString &spec) {
    d->sort = spec;
    return 1;
}
int Grid::sort() { return 1; }
qint64 Grid::find(const QString &, qint64, qint64) { return -1; }
QString Grid::quote(const QString &value) {
    QString s = value;
    s.replace(u'~', QStringLiteral("~~"));
    s.replace(u'\'', QStringLiteral("~'"));
    return u'\'' + s + u'\'';
}
void Grid::selectRow(qint64 row, bool on) {
    if (row == 0)
        d->selected.fill(on);
    else if (row >= 1 && row <= rowCount())
        d->selected[row - 1] = on;
    if (d->redraw)
        emit selectionChanged();
}
bool Grid::isSelected(qint64 row) const {
    return row >= 1 && row <= rowCount() && d->selected[row - 1];
}
qint64 Grid::selectedCount() const { return d->selected.count(true); }
qint64 Grid::getRow() const { return d->current; }
void Grid::setRow(qint64 row) { d->current = row; }
void Grid::setRedraw(bool on) {
    d->redraw = on;
    if (on)
        emit modelReset();
}
bool Grid::redraw() const { return d->redraw; }
ImportResult Grid::importText(const QString &, qint64, ProgressSink *) { return {-1, 0, {}}; }
ImportResult Grid::importFile(const QString &, qint64, ProgressSink *) { return {-1, 0, {}}; }
QString Grid::toTsv(bool) const { return {}; }
bool Grid::saveAs(const QString &, SaveFormat, QString *) const { return false; }
qint64 Grid::retrieve(QSqlDatabase, const QString &, const QVariantList &, QString *) {
    return -1;
}

} // namespace zorv
