#pragma once
// The four grids of the list comparison: the two lists (md, xh, jg) and the
// two duplicate grids (dmd, dxh), their markers and the numbering that every
// load of a list ends with.

#include "core/grid/grid.h"

#include <memory>

namespace zorv::lists {

// Column numbers of a list grid and of a duplicate grid.
inline constexpr int kMd = 1, kXh = 2, kJg = 3;
inline constexpr int kDmd = 1, kDxh = 2;

// The markers of a list row.
QString sameMark();      // "相同"
QString differentMark(); // "不同"

// List 1 or 2 ("名单1" / "名单2" over md); no summary line.
std::unique_ptr<Grid> makeListGrid(int list);
// Duplicates of list 1 (summary "总数:" and the count) or of list 2 (the
// count alone).
std::unique_ptr<Grid> makeDuplicateGrid(int list);

// Every shown row gets xh = its row number and jg = "不同", so a list loaded
// again loses the markers of an earlier comparison.
void numberList(Grid &list);

} // namespace zorv::lists
