#pragma once
// One library entry: read by number, changed, deleted, or added with the
// next free number. Every write runs in its own transaction scope and is
// committed at once; a failure leaves nothing half-done and carries the
// database's text. The report functions show the windows' messages through
// zorv::platform().

#include "core/db/statements.h"

#include <QString>

namespace zorv::db {
class Transaction;
}

namespace zorv::sqllib {

enum class EntryStatus {
    Done,    // read, changed, deleted or stored
    Missing, // no entry has that number (any more)
    Empty,   // statement or purpose empty after trimming: nothing stored
    Failed,  // the database refused: error holds its text
};

struct EntryResult {
    EntryStatus status = EntryStatus::Failed;
    QString error;
    db::SqlEntry entry; // read: the entry; add: what was stored, with its number
    bool ok() const { return status == EntryStatus::Done; }
};

// The entry numbered bh.
EntryResult readEntry(db::Transaction &tx, qint64 bh);

// Stores the trimmed texts in entry bh. Missing when no entry has that
// number: nothing is stored then.
EntryResult updateEntry(db::Transaction &tx, qint64 bh, const QString &sqlEdit,
                        const QString &purposeEdit);

// Deletes entry bh (Done also when it was already gone).
EntryResult deleteEntry(db::Transaction &tx, qint64 bh);

// The number a new entry gets: the largest stored one + 1, or 1 for an
// empty library. nullopt with *error when the library cannot be read.
std::optional<qint64> nextNumber(db::Transaction &tx, QString *error);

// Adds the trimmed texts as a new entry numbered nextNumber(), read and
// inserted in one transaction so the number is never one in use. With
// requireContent an empty text or purpose gives Empty and stores nothing.
EntryResult addEntry(db::Transaction &tx, const QString &sqlEdit, const QString &purposeEdit,
                     bool requireContent);

// --- the windows' messages ---

// Read: "失败" / "查询失败!" when the statement failed; nothing otherwise.
void reportRead(const EntryResult &r);
// Update / add: "提示" / "保存成功!", "提示" / "内容不能为空", "提示" with the
// vanished-entry text, or "保存失败" / "出错信息:" + the database's text.
void reportSave(const EntryResult &r);
// Delete: "提示" / "删除数据成功!" or "删除失败" / "出错信息:" + text.
void reportDelete(const EntryResult &r);

} // namespace zorv::sqllib
