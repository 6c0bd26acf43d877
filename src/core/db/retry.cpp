#include "core/db/retry.h"

#include "core/db/transaction_scope.h"

#include <QRandomGenerator>
#include <QThread>

namespace zorv::db {
namespace {

bool worthRetrying(const Transaction &tx, const RetryPolicy &policy) {
    return tx.conflicted() || (policy.retryTakenKey && tx.keyTaken());
}

int runAttempts(Transaction &tx, const std::function<bool()> &work, const RetryPolicy &policy) {
    int waitMs = policy.firstWaitMs;
    for (int attempt = 1;; ++attempt) {
        {
            // With autocommit off a transaction is always open, and the
            // isolation can be chosen only before its first statement: what
            // ran before (the program commits after every change, so reads)
            // is ended first.
            if (!tx.autoCommit() && tx.isConnected() && tx.commit() != 0)
                return tx.sqlcode();
            TransactionScope scope(tx);
            if (!scope.isOpen())
                return tx.sqlcode();
            if (work() && scope.commit() == 0)
                return 0;
            if (tx.sqlcode() == 0)
                tx.reportFailure(QStringLiteral("操作没有完成，已撤消"));
            const int code = tx.sqlcode();
            const QString text = tx.sqlerrtext();
            const bool again = worthRetrying(tx, policy) && attempt < policy.attempts;
            if (scope.isOpen())
                scope.rollback();
            if (!again) {
                // The rollback's own result must not hide why the work stopped.
                tx.reportFailure(text);
                return code;
            }
        }
        const int jitter = int(QRandomGenerator::global()->bounded(waitMs + 1));
        QThread::msleep(ulong(waitMs + jitter));
        waitMs *= 2;
    }
}

// The server's ODBC driver runs every statement of an open transaction in a
// savepoint of its own (a failed statement then undoes only itself, as on the
// embedded database), where "SET TRANSACTION ISOLATION LEVEL" is refused. The
// level is therefore made the session's default before the transaction
// begins, and put back when it has ended. A change made while a transaction
// is open (autocommit off) counts from the next one: it is committed at once.
bool setDefaultIsolation(Transaction &tx, bool serializable) {
    const QString sql = serializable
                            ? QStringLiteral("SET default_transaction_isolation = 'serializable'")
                            : QStringLiteral("RESET default_transaction_isolation");
    return tx.execute(sql) == 0 && tx.commit() == 0;
}

} // namespace

int runAsOneWhole(Transaction &tx, const std::function<bool()> &work, const RetryPolicy &policy) {
    // The strictest isolation on the server: it refuses a transaction whose
    // reads another writer changed meanwhile, instead of letting both number
    // from the same maximum. The embedded file is locked whole anyway.
    const bool server = tx.isConnected() && tx.dialect() == Dialect::PostgreSQL;
    if (server && !setDefaultIsolation(tx, true))
        return tx.sqlcode();
    const int code = runAttempts(tx, work, policy);
    if (server && tx.isConnected()) {
        // The work's own result stands, whatever putting the level back gives.
        const QString text = tx.sqlerrtext();
        const qint64 rows = tx.sqlnrows();
        setDefaultIsolation(tx, false);
        if (code != 0)
            tx.reportFailure(text);
        else
            tx.reportSuccess(rows);
    }
    return code;
}

} // namespace zorv::db
