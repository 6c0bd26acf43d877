#pragma once
// "保存" of the comparison window: the shown rows of a list appended to the
// register htt1 under an identification number and today's date, all in one
// transaction. A failure or a stop keeps nothing in the table and leaves the
// grid as it was, so saving again cannot store rows twice; a save that went
// through empties the grid. Two machines saving at once each keep their list
// whole: the save is run again from the start when the other one's got in
// its way.

#include <QDate>
#include <QString>

namespace zorv {
class Grid;
class ProgressSink;
namespace db {
class Transaction;
}
} // namespace zorv

namespace zorv::lists {

enum class SaveEnd { Saved, Failed, Stopped };

struct SaveOutcome {
    SaveEnd end = SaveEnd::Saved;
    qint64 rows = 0;      // rows stored (0 unless saved)
    qint64 failedRow = 0; // the grid row whose insert failed
    QString error;        // the database's text
};

// Inserts (xh, bs, rq, md, jg) for every shown row and commits once; rolls
// everything back on the first failure or on a stop. The grid is not touched.
SaveOutcome saveRegisterRows(const Grid &list, int bs, const QDate &day, db::Transaction &tx,
                             ProgressSink *progress = nullptr);

// The handler: saves, then empties the grid; on a failure "插入htt1表失败" /
// "出错信息:" + the database's text and that no row was saved; on a stop a
// "提示" saying so.
SaveOutcome saveListToRegister(Grid &list, int bs, db::Transaction &tx,
                               ProgressSink *progress = nullptr);

} // namespace zorv::lists
