#pragma once
// "核对名单": the comparison of list 1 with list 2, in three phases over the
// rows the grids show. Phase 1 sorts list 1 by name and moves every repeated
// name after the first into the duplicate grid 1 (with its own sequence
// number); phase 2 does the same with list 2; phase 3 looks every name of
// list 1 up in list 2 by its exact text and marks both rows "相同".
//
// The stop request is polled at every phase boundary before the grids
// change; the work itself then runs to its end (about a second for two lists
// of a million names), so a stop leaves both lists (and the duplicate grids)
// as they were. Names are compared by their exact text,
// never through a grid expression, so a name holding quotes or "~" is found
// like any other: once both lists are sorted and rid of their repeats, the
// two are walked in step; with folding, each folded key of list 1 is looked
// up in a hash table of list 2's. An empty name is neither repeated
// nor matched, as an empty cell never equals another.

#include "core/grid/grid.h"

namespace zorv {
class ProgressSink;
}

namespace zorv::lists {

struct CompareOptions {
    // Names compared after folding blanks, full-width forms and traditional
    // characters (normalize.h); the grids keep the names as loaded.
    bool normalize = false;
};

enum class CompareEnd {
    Done,    // both lists changed as described
    Stopped, // the user stopped between phases: nothing changed
    Refused, // the folding could not be set up: nothing changed (message shown)
};

struct CompareOutcome {
    CompareEnd end = CompareEnd::Done;
    qint64 duplicates1 = 0; // rows moved to the duplicate grids
    qint64 duplicates2 = 0;
    qint64 matched = 0; // rows of list 1 marked "相同"
};

// Runs the comparison on the four grids of the window (compare_grids.h).
// Shows "提示" / "核对结束" when done.
CompareOutcome compareLists(Grid &list1, Grid &list2, Grid &duplicates1, Grid &duplicates2,
                            const CompareOptions &options = {}, ProgressSink *progress = nullptr);

} // namespace zorv::lists
