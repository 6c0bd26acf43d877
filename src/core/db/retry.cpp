#include "core/db/retry.h"

#include "core/db/transaction_scope.h"

#include <QRandomGenerator>
#include <QThread>

namespace zorv::db {
namespace {

bool worthRetrying(const Transaction &tx, const RetryPolicy &policy) {
    return tx.conflicted() || (policy.retryTakenKey && tx.keyTaken());
}

} // namespace

int runAsOneWhole(Transaction &tx, const std::function<bool()> &work, const RetryPolicy &policy) {
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
            // The strictest isolation: the server refuses a transaction whose
            // reads another writer changed meanwhile, instead of letting both
            // number from the same maximum. The embedded file is locked whole.
            if (tx.dialect() == Dialect::PostgreSQL &&
                tx.execute(QStringLiteral("SET TRANSACTION ISOLATION LEVEL SERIALIZABLE")) != 0)
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

} // namespace zorv::db
