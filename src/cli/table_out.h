#pragma once
// A database grid written for the shell: UTF-8, a header line of the grid's
// column names, then one tab-separated line per shown row, fields escaped as
// in the file grid stream (\\ \t \n \r), numbers without a trailing ".0".

#include <cstdio>

namespace zorv {
class Grid;
}

namespace zorv::cli {

// False when out could not take the data.
bool writeTable(const Grid &grid, std::FILE *out);

} // namespace zorv::cli
