#pragma once
// Work that must happen as one whole while others write to the same
// database: numbering rows from max(bh) + 1 and sweeping duplicates, for
// example. The work runs inside one transaction at the strictest isolation
// the database offers; when the database refuses it because of another
// writer (a serialization failure, a deadlock, the embedded file busy), all
// of it is rolled back and it runs again from the start, a few times.
//
//     const int code = db::runAsOneWhole(tx, [&] {
//         …statements on tx; return false (with the transaction's code and
//         text as they are) to stop and roll back…
//         return true;
//     });
//     if (code != 0) …show tx.sqlerrtext()…
//
// The work may run more than once: it must start from what it reads in the
// database each time, not from state an earlier attempt left behind.

#include "core/db/transaction.h"

#include <functional>

namespace zorv::db {

struct RetryPolicy {
    int attempts = 8;     // runs at most, the first one included
    int firstWaitMs = 20; // wait before the second run; doubled each time, with jitter
    // Also retry when a unique key refuses a number another writer took
    // meanwhile, as numbering from max + 1 can meet.
    bool retryTakenKey = true;
};

// Runs work in one transaction and commits it; returns tx.sqlcode(). When
// the work returns false the transaction is rolled back and the failure the
// work left on tx is returned (-1 with a text when it left none).
int runAsOneWhole(Transaction &tx, const std::function<bool()> &work,
                  const RetryPolicy &policy = {});

} // namespace zorv::db
