#include "core/lists/register_save.h"

#include "core/db/retry.h"
#include "core/db/schema.h"
#include "core/db/transaction.h"
#include "core/grid/grid.h"
#include "core/lists/compare_grids.h"
#include "core/platform/platform.h"
#include "core/platform/progress.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace zorv::lists {

namespace {

// Rows sent between two progress reports (and stop checks).
constexpr qint64 kChunk = 4096;

const QStringList &registerColumns() {
    static const QStringList columns = {u"xh"_s, u"bs"_s, u"rq"_s, u"md"_s, u"jg"_s};
    return columns;
}

} // namespace

SaveOutcome saveRegisterRows(const Grid &list, int bs, const QDate &day, db::Transaction &tx,
                             ProgressSink *progress) {
    SaveOutcome out;
    const QDateTime rq(day, QTime(0, 0));
    const QVariant bsValue(bs);
    const qint64 n = list.rowCount();
    // Grid row r as the register row (xh, bs, rq, md, jg); empty cells stay null.
    auto rowAt = [&](qint64 r) {
        return QVariantList{list.isNull(r, kXh) ? QVariant(QMetaType::fromType<qint64>())
                                                : QVariant(qint64(list.getItemNumber(r, kXh))),
                            bsValue, rq,
                            list.isNull(r, kMd) ? QVariant(QMetaType::fromType<QString>())
                                                : QVariant(list.getItemString(r, kMd)),
                            list.isNull(r, kJg) ? QVariant(QMetaType::fromType<QString>())
                                                : QVariant(list.getItemString(r, kJg))};
    };
    // The rows go many to a statement (one round trip each, which a server
    // needs for large lists), all in one transaction that is committed only
    // at the end. Another writer saving at the same moment (the embedded
    // file busy, the server refusing) runs it again from the start; the
    // database numbers bh, so a taken key is a plain failure.
    auto work = [&] {
        out = SaveOutcome{};
        QList<QVariantList> rows;
        for (qint64 from = 1; from <= n; from += kChunk) {
            const qint64 to = std::min(n, from + kChunk - 1);
            if (progress) {
                progress->progress(from - 1, n, u"正在保存第%1行..."_s.arg(from));
                if (progress->stopRequested()) {
                    out.end = SaveEnd::Stopped;
                    return false;
                }
            }
            rows.clear();
            for (qint64 r = from; r <= to; ++r)
                rows.append(rowAt(r));
            if (tx.insertRows(db::table::htt1, registerColumns(), rows) == 0)
                continue;
            out.end = SaveEnd::Failed;
            out.failedRow = from;
            if (tx.conflicted() || tx.connectionLost())
                return false;
            // A refused row: a failed statement undoes only itself, so the
            // rows of the chunk are sent again one by one to name the row
            // (and its own message); everything is rolled back after.
            const QString text = tx.sqlerrtext();
            for (qint64 r = from; r <= to; ++r)
                if (tx.insertRows(db::table::htt1, registerColumns(), {rowAt(r)}) != 0) {
                    out.failedRow = r;
                    return false;
                }
            tx.reportFailure(text);
            return false;
        }
        return true;
    };
    db::RetryPolicy policy;
    policy.retryTakenKey = false;
    if (db::runAsOneWhole(tx, work, policy) != 0) {
        if (out.end == SaveEnd::Saved) // the commit failed
            out.end = SaveEnd::Failed;
        if (out.end == SaveEnd::Failed)
            out.error = tx.sqlerrtext();
        out.rows = 0;
        return out;
    }
    if (progress)
        progress->progress(n, n, QString());
    out.rows = n;
    return out;
}

SaveOutcome saveListToRegister(Grid &list, int bs, db::Transaction &tx, ProgressSink *progress) {
    const SaveOutcome out = saveRegisterRows(list, bs, QDate::currentDate(), tx, progress);
    switch (out.end) {
    case SaveEnd::Saved:
        list.reset();
        break;
    case SaveEnd::Failed:
        platform().messageBox(u"插入htt1表失败"_s,
                              u"出错信息:"_s + out.error + u"\n没有保存任何行。"_s,
                              MsgIcon::Warning);
        break;
    case SaveEnd::Stopped:
        platform().messageBox(u"提示"_s, u"保存已中止，没有保存任何行。"_s);
        break;
    }
    return out;
}

} // namespace zorv::lists
