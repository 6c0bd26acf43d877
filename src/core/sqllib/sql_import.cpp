#include "core/sqllib/sql_import.h"

#include "core/db/dialect.h"
#include "core/db/retry.h"
#include "core/db/schema.h"
#include "core/db/server_schema.h"
#include "core/db/transaction.h"
#include "core/platform/platform.h"
#include "core/platform/progress.h"
#include "core/sqllib/sql_entry.h"
#include "core/sqllib/sql_messages.h"

#include <QSet>
#include <QSqlError>
#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace zorv::sqllib {
namespace {

// The bulk statements run prepared once on the open connection, inside the
// save's transaction; their texts match the single-row ones of db/.
const QString kInsert = u"INSERT INTO sqlt VALUES (?, ?, ?)"_s;
const QString kDelete = u"DELETE FROM sqlt WHERE bh = ?"_s;
// Equal purposes by number, so "the first copy" is always the oldest one.
const QString kByPurpose = u"SELECT sql, purpose, bh FROM sqlt ORDER BY purpose ASC, bh ASC"_s;

constexpr qint64 kPollEvery = 256;

bool stopAsked(ProgressSink *progress, qint64 i) {
    return progress && (i - 1) % kPollEvery == 0 && progress->stopRequested();
}

} // namespace

QList<Column> loadsqlColumns() {
    return {
        Column{u"sqlu"_s, ColType::String, u"Sql语句"_s, 80},
        Column{u"sqlp"_s, ColType::String, u"用途"_s, 40},
    };
}

std::unique_ptr<Grid> makeLoadsqlGrid() {
    return std::make_unique<Grid>(loadsqlColumns());
}

qint64 sweepDuplicates(db::Transaction &tx, ProgressSink *progress, QString *error, bool *stopped) {
    if (stopped)
        *stopped = false;
    // A failure is recorded on tx as well, so that the caller can tell
    // another writer's interference from a refusal.
    auto failed = [&](const QSqlQuery &q) {
        tx.reportQueryFailure(q);
        *error = tx.sqlerrtext();
        return qint64(-1);
    };
    QList<qint64> doomed;
    {
        QSqlQuery read(tx.database());
        read.setForwardOnly(true);
        if (!read.exec(db::forDriver(tx.database(), kByPurpose)))
            return failed(read);
        QString purpose;
        bool inRun = false;
        QSet<QString> texts;
        qint64 n = 0;
        while (read.next()) {
            if (stopAsked(progress, ++n)) {
                if (stopped)
                    *stopped = true;
                return -1;
            }
            const QVariant s = read.value(0);
            const QVariant p = read.value(1);
            if (p.isNull()) { // a null purpose matches nothing, nor does a null text
                inRun = false;
                continue;
            }
            const QString ps = p.toString();
            if (!inRun || ps != purpose) {
                purpose = ps;
                inRun = true;
                texts.clear();
            }
            if (s.isNull())
                continue;
            const QString ss = s.toString();
            if (texts.contains(ss))
                doomed << read.value(2).toLongLong();
            else
                texts.insert(ss);
        }
        if (read.lastError().isValid())
            return failed(read);
    }
    QSqlQuery del(tx.database());
    if (!doomed.isEmpty() && !del.prepare(db::forDriver(tx.database(), kDelete)))
        return failed(del);
    for (qint64 i = 0; i < doomed.size(); ++i) {
        if (stopAsked(progress, i + 1)) {
            if (stopped)
                *stopped = true;
            return -1;
        }
        del.bindValue(0, doomed[i]);
        if (!del.exec())
            return failed(del);
        if (progress)
            progress->progress(i + 1, doomed.size(), msg::sweeping());
    }
    return doomed.size();
}

namespace {

// One attempt of the save inside the open transaction: numbers, inserts,
// moves the server's own numbering past the new rows, sweeps. False (with
// r's status and error) when the save cannot go on.
bool storeAndSweep(db::Transaction &tx, const Grid &grid, ProgressSink *progress, ImportSave &r) {
    QString error;
    const auto first = nextNumber(tx, &error);
    if (!first) {
        r.error = error;
        return false;
    }
    r.firstNumber = *first;

    const qint64 rows = grid.rowCount();
    if (rows > 0) {
        QSqlQuery insert(tx.database());
        if (!insert.prepare(db::forDriver(tx.database(), kInsert))) {
            tx.reportQueryFailure(insert);
            r.error = tx.sqlerrtext();
            return false;
        }
        for (qint64 row = 1; row <= rows; ++row) {
            if (stopAsked(progress, row)) {
                r.status = ImportSave::Stopped;
                return false;
            }
            insert.bindValue(0, grid.item(row, 1));
            insert.bindValue(1, grid.item(row, 2));
            insert.bindValue(2, r.firstNumber + row - 1);
            if (!insert.exec()) {
                r.status = ImportSave::InsertFailed;
                r.failedRow = row;
                tx.reportQueryFailure(insert);
                r.error = tx.sqlerrtext();
                return false;
            }
            if (progress)
                progress->progress(row, rows, msg::saving());
        }
        tx.reportSuccess(rows);
        if (db::advanceNumbering(tx, db::table::sqlt) != 0) {
            r.error = tx.sqlerrtext();
            return false;
        }
    }
    r.inserted = rows;

    bool stopped = false;
    const qint64 removed = sweepDuplicates(tx, progress, &error, &stopped);
    if (removed < 0) {
        r.status = stopped ? ImportSave::Stopped : ImportSave::SweepFailed;
        r.error = error;
        return false;
    }
    r.removed = removed;
    r.status = ImportSave::Saved;
    return true;
}

} // namespace

ImportSave saveImport(db::Transaction &tx, const Grid &grid, ProgressSink *progress) {
    ImportSave r;
    // Numbering from the largest stored number and sweeping the whole
    // library are right only while no one else writes to it: the save runs
    // as one whole, again from the start when another writer got in the way
    // (two imports at once on the server, or the embedded file busy).
    const int code = db::runAsOneWhole(tx, [&] {
        r = ImportSave{};
        return storeAndSweep(tx, grid, progress, r);
    });
    if (code == 0)
        return r;
    if (r.status == ImportSave::Saved) // the commit failed
        r.status = ImportSave::Failed;
    if (r.status != ImportSave::Stopped)
        r.error = tx.sqlerrtext();
    r.inserted = 0;
    r.removed = 0;
    return r;
}

void reportImportSave(const ImportSave &r) {
    const QString nothing = u"\n本次没有保存任何行。"_s;
    switch (r.status) {
    case ImportSave::Saved:
        platform().setStatusText(u"已保存 "_s + QString::number(r.inserted) +
                                 u" 条SQL语句，清除重复 "_s + QString::number(r.removed) +
                                 u" 条"_s);
        break;
    case ImportSave::Stopped:
        platform().messageBox(msg::hint(), msg::saveStopped());
        break;
    case ImportSave::InsertFailed:
        platform().messageBox(msg::saveFailedTitle(),
                              u"第 "_s + QString::number(r.failedRow) + u" 行保存失败。\n"_s +
                                  msg::errorInfo() + r.error + nothing,
                              MsgIcon::Error);
        break;
    case ImportSave::SweepFailed:
        platform().messageBox(u"数据库错!cur_product"_s, msg::errorInfo() + r.error + nothing,
                              MsgIcon::Error);
        break;
    case ImportSave::Failed:
        platform().messageBox(msg::saveFailedTitle(), msg::errorInfo() + r.error + nothing,
                              MsgIcon::Error);
        break;
    }
}

} // namespace zorv::sqllib
