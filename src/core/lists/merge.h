#pragma once
// The two-column table `hmal` (A: a key, B: a value) of the merge and split
// windows, and the merge of column B: every row of a group of equal A values
// gets the B values of the whole group joined with a separator. The duplicate
// filter then shows one row per A value.

#include "core/grid/grid.h"

#include <QString>
#include <memory>

namespace zorv::lists {

// Columns al "A列" and bl "B列" (declared 1000 and 3000 characters long, a
// display hint only: values are never cut); summary "总数" and the row count.
std::unique_ptr<Grid> makeHmalGrid(QObject *parent = nullptr);

// The separator field's text with leading and trailing blanks removed; a
// full-width "；" is no blank and stays.
QString separatorOf(const QString &fieldText);

struct MergeOutcome {
    qint64 groups = 0;     // groups of two or more rows that were joined
    qint64 rowsJoined = 0; // rows of those groups
};

// grid is an hmal grid (two text columns). Sorts the shown rows by A
// ascending, then for every run of two or more rows with the same A text
// (exact: no trimming, no case folding) sets B of each of them to the group's
// B values in row order joined by separator. An empty B joins as empty text.
// Rows whose A is empty belong to no group. Rows hidden by a filter take no
// part. No row is added or deleted.
MergeOutcome mergeColumnB(Grid &grid, const QString &separator);

// The duplicate filter: any filter removed, rows sorted by A, then only the
// first row of each A value shown ("al<>al[-1] or GetRow () = 1 ").
void applyDuplicateFilter(Grid &grid);
// Every row shown again.
void cancelFilter(Grid &grid);

} // namespace zorv::lists
