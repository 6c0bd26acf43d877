#include "core/sqllib/sql_entry.h"

#include "core/db/retry.h"
#include "core/db/transaction.h"
#include "core/db/transaction_scope.h"
#include "core/platform/platform.h"
#include "core/sqllib/sql_messages.h"
#include "core/text/gbtext.h"

using namespace Qt::StringLiterals;

namespace zorv::sqllib {
namespace {

EntryResult failed(const db::Transaction &tx) {
    EntryResult r;
    r.status = EntryStatus::Failed;
    r.error = tx.sqlerrtext();
    return r;
}

EntryResult done() {
    EntryResult r;
    r.status = EntryStatus::Done;
    return r;
}

// Commits scope; a failed commit turns the outcome into a failure.
EntryResult finish(db::Transaction &tx, db::TransactionScope &scope, EntryResult r) {
    if (scope.commit() != 0)
        return failed(tx);
    return r;
}

} // namespace

EntryResult readEntry(db::Transaction &tx, qint64 bh) {
    const auto entry = db::selectSql(tx, bh);
    if (entry) {
        EntryResult r = done();
        r.entry = *entry;
        return r;
    }
    if (tx.sqlcode() == 100) {
        EntryResult r;
        r.status = EntryStatus::Missing;
        return r;
    }
    return failed(tx);
}

EntryResult updateEntry(db::Transaction &tx, qint64 bh, const QString &sqlEdit,
                        const QString &purposeEdit) {
    db::TransactionScope scope(tx);
    if (!scope.isOpen())
        return failed(tx);
    if (db::updateSql(tx, text::trim(sqlEdit), text::trim(purposeEdit), bh) != 0)
        return failed(tx);
    if (tx.sqlnrows() == 0) {
        scope.rollback();
        EntryResult r;
        r.status = EntryStatus::Missing;
        return r;
    }
    return finish(tx, scope, done());
}

EntryResult deleteEntry(db::Transaction &tx, qint64 bh) {
    db::TransactionScope scope(tx);
    if (!scope.isOpen())
        return failed(tx);
    if (db::deleteSql(tx, bh) != 0)
        return failed(tx);
    return finish(tx, scope, done());
}

std::optional<qint64> nextNumber(db::Transaction &tx, QString *error) {
    const auto max = db::maxSqlBh(tx);
    if (max)
        return *max + 1;
    if (tx.sqlcode() != 0) {
        *error = tx.sqlerrtext();
        return std::nullopt;
    }
    return 1; // an empty library
}

EntryResult addEntry(db::Transaction &tx, const QString &sqlEdit, const QString &purposeEdit,
                     bool requireContent) {
    const QString sql = text::trim(sqlEdit);
    const QString purpose = text::trim(purposeEdit);
    if (requireContent && (sql.isEmpty() || purpose.isEmpty())) {
        EntryResult r;
        r.status = EntryStatus::Empty;
        return r;
    }
    // Numbering from the largest stored number: as one whole, again when
    // another writer took the number meanwhile.
    EntryResult r = done();
    const int code = db::runAsOneWhole(tx, [&] {
        QString error;
        const auto bh = nextNumber(tx, &error);
        if (!bh)
            return false;
        if (db::insertSqlNumbered(tx, sql, purpose, *bh) != 0)
            return false;
        r.entry = db::SqlEntry{sql, purpose, *bh};
        return true;
    });
    return code == 0 ? r : failed(tx);
}

void reportRead(const EntryResult &r) {
    if (r.status == EntryStatus::Failed)
        platform().messageBox(msg::readFailedTitle(), msg::readFailed());
}

void reportSave(const EntryResult &r) {
    switch (r.status) {
    case EntryStatus::Done:
        platform().messageBox(msg::hint(), msg::saved());
        break;
    case EntryStatus::Empty:
        platform().messageBox(msg::hint(), msg::contentEmpty());
        break;
    case EntryStatus::Missing:
        platform().messageBox(msg::hint(), msg::entryGone(), MsgIcon::Warning);
        break;
    case EntryStatus::Failed:
        platform().messageBox(msg::saveFailedTitle(), msg::errorInfo() + r.error, MsgIcon::Error);
        break;
    }
}

void reportDelete(const EntryResult &r) {
    if (r.ok())
        platform().messageBox(msg::hint(), msg::deleted());
    else
        platform().messageBox(msg::deleteFailedTitle(), msg::errorInfo() + r.error, MsgIcon::Error);
}

} // namespace zorv::sqllib
