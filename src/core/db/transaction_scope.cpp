#include "core/db/transaction_scope.h"

namespace zorv::db {

TransactionScope::TransactionScope(Transaction &tx) : m_tx(tx) {
    m_open = m_tx.begin() == 0;
    m_serial = m_tx.transactionSerial();
}

TransactionScope::~TransactionScope() {
    if (m_open)
        rollback();
}

int TransactionScope::commit() {
    return end(true);
}

int TransactionScope::rollback() {
    return end(false);
}

int TransactionScope::end(bool keep) {
    if (!m_open)
        return m_tx.fail(QStringLiteral("事务没有开始或已经结束"));
    if (!stillOurs()) {
        m_open = false;
        return m_tx.fail(keep ? QStringLiteral("事务已在别处结束，本次修改未作为一个整体提交")
                              : QStringLiteral("事务已在别处结束，无法回滚"));
    }
    const int code = keep ? m_tx.commit() : m_tx.rollback();
    // A commit that failed leaves the work pending: the scope stays open so
    // that its end (or the caller) still rolls it back.
    m_open = code != 0 && stillOurs();
    return code;
}

bool TransactionScope::stillOurs() const {
    return m_tx.isConnected() && m_tx.inTransaction() && m_tx.transactionSerial() == m_serial;
}

} // namespace zorv::db
