#pragma once
// The file grid as a text stream between the steps of a pipeline: UTF-8,
// one header line naming the columns, then one tab-separated line per row.
// Inside a field a backslash, tab, line feed and carriage return are written
// "\\", "\t", "\n", "\r", so every file name survives the trip. A grid that
// holds a filter carries it on a line "#filter<TAB>expression" after the
// header; its hidden rows travel too, where the grid puts them back when the
// filter is removed, and the reader hides them again by re-applying it.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdio>

namespace zorv {
class Grid;
}

namespace zorv::cli {

// The header names, in the order the writer puts them.
const QStringList &streamColumns();

struct StreamError {
    qint64 line = 0; // 1-based line of the input
    QString message;
};

// Appends the rows of bytes to grid, which must have every stream column.
// Input whose last line lacks its line feed is refused as cut off.
// On failure returns false with *error set; the grid may then hold part of
// the rows and must not be used.
bool readGridStream(const QByteArray &bytes, Grid &grid, StreamError *error);

// Writes every row of grid to out, the rows its filter hides included (the
// filter is removed for that). False when out could not take the data.
bool writeGridStream(Grid &grid, std::FILE *out);

// Field escaping, exposed for the tests.
QByteArray escapeField(const QString &value);
// False for a backslash not followed by one of \ t n r.
bool unescapeField(QByteArray &field);

} // namespace zorv::cli
