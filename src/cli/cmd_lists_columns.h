#pragma once
// "zorv lists merge" and "zorv lists split": the merge and split windows'
// steps over the two-column grid `al bl`, read from standard input and
// written to standard output as UTF-8 tab-separated text with the header line
// "al<TAB>bl". Inside a field "\\", "\t", "\n" and "\r" stand for a
// backslash, tab, line feed and carriage return, as in the file grid stream.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace zorv {
class Grid;
}

namespace zorv::cli {

struct ColumnsStreamError {
    qint64 line = 0; // 1-based
    QString message;
};

// Appends the rows of bytes (header line first) to a grid with the columns
// al and bl. A line holds one or two fields; CR before a line feed and a
// missing final line feed are accepted. False with *error on bad input; the
// grid must then not be used.
bool readColumnsStream(const QByteArray &bytes, Grid &grid, ColumnsStreamError *error);
// The shown rows of grid with the header line.
QByteArray columnsStreamText(const Grid &grid);

int cmdListsMerge(const QStringList &args);
int cmdListsSplit(const QStringList &args);

} // namespace zorv::cli
