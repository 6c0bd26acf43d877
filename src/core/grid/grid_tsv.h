#pragma once
// Tab-separated text into the grid's storage, in parallel: the text is cut
// at line boundaries into one part per processor core, every part has its
// rows and its text space set aside beforehand, and each is parsed by its
// own thread straight into the column arrays.

#include "core/grid/grid_storage.h"

#include <QtGlobal>
#include <functional>
#include <string>

namespace zorv::gridimpl {

struct TsvOutcome {
    RowId rows = 0;       // rows added
    qint64 errorLine = 0; // 1-based line of the first field that did not convert
    int errorColumn = -1; // 0-based
    std::string errorField;
    bool stopped = false;
    bool notUtf8 = false;     // a field was not UTF-8: nothing appended
    bool tooManyRows = false; // the store would pass maxRows: nothing appended
};

// Appends the lines of [data, data + size) from line firstLine on. On a
// conversion failure, a field that is not UTF-8, a stop or more rows than
// maxRows in all, nothing stays appended. tick(done, total) is called now
// and then on the calling thread with the bytes done; returning false stops
// the import. Running out of memory throws std::bad_alloc, with nothing
// appended either.
TsvOutcome appendTsv(Storage &store, const char *data, std::size_t size, qint64 firstLine,
                     const std::function<bool(std::size_t, std::size_t, qint64)> &tick,
                     RowId maxRows = kMaxRowCount);

} // namespace zorv::gridimpl
