#pragma once
// Splitting column A: each shown row of a source `hmal` grid whose A packs
// several values separated by a separator becomes one row per value in a
// target grid, each with the row's B value.

#include <QString>
#include <QtGlobal>

namespace zorv {
class Grid;
}

namespace zorv::lists {

// source and target are hmal grids (two text columns), not the same one.
// Empties target, then for every shown row of source in order appends one row
// per non-empty piece of A, cut at each occurrence of separator (the whole
// separator is skipped, however many characters it has), blanks around a
// piece kept, with B trimmed of blanks. An empty A gives no row; an empty
// separator copies A whole. source is not changed. Returns the rows written.
qint64 splitColumnA(const Grid &source, Grid &target, const QString &separator);

} // namespace zorv::lists
