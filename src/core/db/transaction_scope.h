#pragma once
// One unit of work on a transaction: begun on construction, kept only by an
// explicit commit(), undone by rollback() or when the scope ends without a
// commit. It works the same whatever the profile says about autocommit and on
// any database behind the connection (it uses the connection's own
// transactions, nothing specific to one engine).
//
//     db::TransactionScope scope(tx);
//     if (!scope.isOpen()) …report tx.sqlerrtext()…
//     …statements on tx…
//     if (scope.commit() != 0) …report tx.sqlerrtext()…
//
// With autocommit off the scope takes over the transaction already open, so
// work not yet committed before it shares its fate.

#include "core/db/transaction.h"

namespace zorv::db {

class TransactionScope {
public:
    explicit TransactionScope(Transaction &tx = sqlca());
    ~TransactionScope();
    TransactionScope(const TransactionScope &) = delete;
    TransactionScope &operator=(const TransactionScope &) = delete;

    // Begun and neither committed nor rolled back yet. False when the
    // transaction could not begin (the transaction's sqlcode() says why).
    bool isOpen() const { return m_open; }

    // End the scope; return the transaction's sqlcode(). Both fail (-1, with
    // an error text) when the scope is not open or when its transaction was
    // ended meanwhile by someone else (a commit, rollback or reconnect on the
    // connection): a rollback then could undo nothing.
    int commit();
    int rollback();

private:
    int end(bool keep);
    bool stillOurs() const;

    Transaction &m_tx;
    quint64 m_serial = 0;
    bool m_open = false;
};

} // namespace zorv::db
