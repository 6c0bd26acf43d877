#pragma once
// The register window's work on the table htt1: the query grid `htmdcx` with
// its bounds read from the window's fields, deleting the retrieved rows, and
// storing a remark. Every refusal and outcome is told through the platform's
// message boxes; the functions never touch widgets.

#include "core/db/transaction.h"
#include "core/grid/grid.h"

#include <QDateTime>
#include <QString>
#include <memory>
#include <optional>

namespace zorv {
class ProgressSink;
}

namespace zorv::lists {

// The columns bh, xh, bs, rq, md, jg, bz with their captions and the summary
// "总数:" and the row count.
std::unique_ptr<Grid> makeHtmdcxGrid(QObject *parent = nullptr);

// The query fields as the window holds them: pattern texts, the two dates as
// typed ("yyyy-mm-dd"; mask blanks and the bare "--" of an empty masked edit
// count as empty) and the two identification numbers as typed.
struct RegisterQueryFields {
    QString result;   // sle_1
    QString name;     // sle_3
    QString dateFrom; // em_srsq1
    QString dateTo;   // em_srsq2
    QString bsFrom;   // em_2
    QString bsTo;     // em_3
};

// The values bound to the grid's SELECT, in its order.
struct RegisterQueryArgs {
    qint64 bs1 = 0;
    qint64 bs2 = 9;
    QDateTime rq1;
    QDateTime rq2;
    QString md;
    QString jg;
    QVariantList list() const { return {bs1, bs2, rq1, rq2, md, jg}; }
};

enum class QueryRefusal { None, DateFrom, DateTo };

// Reads the fields: empty patterns match every non-null value; an empty lower
// number is 0; an empty (or 0) upper number is 9, or the largest number the
// field takes (99999) when the lower one is above 9, so that a query from 12
// up finds rows instead of an empty range. Empty dates are 1989-01-01 and
// 3000-01-01; a date typed but not a calendar date refuses the query. The
// upper date covers its whole day, so rows stored with a time of day on that
// date are found too.
std::optional<RegisterQueryArgs> registerQueryArgs(const RegisterQueryFields &fields,
                                                   QueryRefusal *refusal = nullptr);

// The query button: refuses an unreadable date with "提示" / "请正确输入输入日期起"
// (or "…日期止") and leaves the grid alone; otherwise retrieves into grid and
// returns the row count. A failed statement is shown under "提示" with the
// database's text after "出错信息:" and gives -1; the grid keeps its rows.
qint64 queryRegister(Grid &grid, db::Transaction &tx, const RegisterQueryFields &fields);

// Deletes from htt1 the selected rows of grid (selectedOnly) or every shown
// row, all in one transaction, and reports "提示" / "删除成功" with the number
// of table rows deleted. On a failure, or when the user stops it through
// progress, everything is undone and "删除失败" / "出错信息:" + the database
// text (or the stop) says that nothing was deleted. The grid is left as it is:
// the rows stay on screen until the next query. Returns the rows deleted, or
// -1 when nothing was.
qint64 deleteRegisterRows(const Grid &grid, db::Transaction &tx, bool selectedOnly,
                          ProgressSink *progress = nullptr);

// The remark dialog's save: the text trimmed of blanks is stored in bz of
// register number bh. "提示" / "保存成功!" when a row took it; "保存失败" /
// "出错信息:" + the database text on failure, or naming the number when no
// row has it any more (deleted meanwhile). Returns true when stored.
bool storeRegisterRemark(db::Transaction &tx, qint64 bh, const QString &text);

// The longest remark the dialog takes, in characters.
inline constexpr int kRemarkMaxLength = 50;

} // namespace zorv::lists
