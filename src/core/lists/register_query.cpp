#include "core/lists/register_query.h"

#include "core/db/statements.h"
#include "core/db/transaction_scope.h"
#include "core/platform/platform.h"
#include "core/platform/progress.h"
#include "core/text/gbtext.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace zorv::lists {
namespace {

// The largest number the identification-number fields take (five digits).
constexpr qint64 kBsFieldMax = 99999;
// Rows deleted between two progress reports.
constexpr qint64 kDeleteStep = 1000;

QString errorInfo(const QString &databaseText) {
    return u"出错信息:"_s + databaseText;
}

// A masked date edit: empty when no digit was typed, else the date it holds
// (an invalid QDate when the text is no calendar date).
std::optional<QDate> typedDate(const QString &text) {
    QString s = text;
    s.remove(u'_');
    s = text::trim(s);
    if (!s.contains(QRegularExpression(u"[0-9]"_s)))
        return std::nullopt;
    static const QRegularExpression form(u"^([0-9]{4})[-/.]([0-9]{1,2})[-/.]([0-9]{1,2})$"_s);
    const QRegularExpressionMatch m = form.match(s);
    if (!m.hasMatch())
        return QDate();
    return QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
}

qint64 typedNumber(const QString &text) {
    bool ok = false;
    const qint64 n = text::trim(text).toLongLong(&ok);
    return ok && n > 0 ? n : 0;
}

} // namespace

std::unique_ptr<Grid> makeHtmdcxGrid(QObject *parent) {
    auto column = [](const char *name, ColType type, QString caption, int width) {
        return Column{QString::fromLatin1(name), type, std::move(caption), width};
    };
    auto grid = std::make_unique<Grid>(QList<Column>{column("bh", ColType::Number, u"编号"_s, 8),
                                                     column("xh", ColType::Number, u"序号"_s, 8),
                                                     column("bs", ColType::Number, u"标识号"_s, 8),
                                                     column("rq", ColType::DateTime, u"日期"_s, 19),
                                                     column("md", ColType::String, u"名单"_s, 60),
                                                     column("jg", ColType::String, u"结果"_s, 8),
                                                     column("bz", ColType::String, u"备注"_s, 50)},
                                       parent);
    grid->setSummary(true);
    return grid;
}

std::optional<RegisterQueryArgs> registerQueryArgs(const RegisterQueryFields &fields,
                                                   QueryRefusal *refusal) {
    auto refuse = [&](QueryRefusal why) -> std::optional<RegisterQueryArgs> {
        if (refusal)
            *refusal = why;
        return std::nullopt;
    };
    if (refusal)
        *refusal = QueryRefusal::None;
    RegisterQueryArgs a;
    a.md = u"%"_s + fields.name + u"%"_s;
    a.jg = u"%"_s + fields.result + u"%"_s;
    a.bs1 = typedNumber(fields.bsFrom);
    a.bs2 = typedNumber(fields.bsTo);
    if (a.bs2 == 0)
        a.bs2 = a.bs1 > 9 ? kBsFieldMax : 9;

    const std::optional<QDate> from = typedDate(fields.dateFrom);
    if (from && !from->isValid())
        return refuse(QueryRefusal::DateFrom);
    const std::optional<QDate> to = typedDate(fields.dateTo);
    if (to && !to->isValid())
        return refuse(QueryRefusal::DateTo);
    a.rq1 = QDateTime(from.value_or(QDate(1989, 1, 1)), QTime(0, 0));
    a.rq2 = QDateTime(to.value_or(QDate(3000, 1, 1)), QTime(23, 59, 59, 999));
    return a;
}

qint64 queryRegister(Grid &grid, db::Transaction &tx, const RegisterQueryFields &fields) {
    QueryRefusal why = QueryRefusal::None;
    const std::optional<RegisterQueryArgs> args = registerQueryArgs(fields, &why);
    if (!args) {
        platform().messageBox(u"提示"_s, why == QueryRefusal::DateFrom ? u"请正确输入输入日期起"_s
                                                                       : u"请正确输入输入日期止"_s);
        return -1;
    }
    QString error;
    const qint64 rows = grid.retrieve(tx.database(), db::gridsql::htmdcx, args->list(), &error);
    if (rows < 0)
        platform().messageBox(u"提示"_s, errorInfo(error));
    return rows;
}

qint64 deleteRegisterRows(const Grid &grid, db::Transaction &tx, bool selectedOnly,
                          ProgressSink *progress) {
    ProgressSink &sink = progress ? *progress : noProgress();
    const int bhColumn = grid.columnNumber(u"bh"_s);
    QList<qint64> numbers;
    const qint64 rows = grid.rowCount();
    for (qint64 r = 1; r <= rows; ++r)
        if ((!selectedOnly || grid.isSelected(r)) && !grid.isNull(r, bhColumn))
            numbers << qint64(grid.getItemNumber(r, bhColumn));

    const QString failed = u"删除失败"_s;
    const QString nothing = u"\n没有删除任何行。"_s;
    db::TransactionScope scope(tx);
    if (!scope.isOpen()) {
        platform().messageBox(failed, errorInfo(tx.sqlerrtext()) + nothing);
        return -1;
    }
    qint64 deleted = 0;
    const qint64 total = numbers.size();
    for (qint64 i = 0; i < total; ++i) {
        if (i % kDeleteStep == 0) {
            sink.progress(i, total, u"正在删除..."_s + QString::number(i));
            if (sink.stopRequested()) {
                scope.rollback();
                platform().messageBox(failed, u"删除已中止。"_s + nothing);
                return -1;
            }
        }
        if (db::deleteRegister(tx, numbers[i]) != 0) {
            const QString why = tx.sqlerrtext();
            scope.rollback();
            platform().messageBox(failed, errorInfo(why) + nothing);
            return -1;
        }
        deleted += tx.sqlnrows();
    }
    if (scope.commit() != 0) {
        platform().messageBox(failed, errorInfo(tx.sqlerrtext()) + nothing);
        return -1;
    }
    sink.progress(total, total, QString());
    platform().messageBox(u"提示"_s, u"删除成功，共删除 %1 行。"_s.arg(deleted));
    return deleted;
}

bool storeRegisterRemark(db::Transaction &tx, qint64 bh, const QString &text) {
    const QString failed = u"保存失败"_s;
    if (db::updateRegisterRemark(tx, text::trim(text), bh) != 0) {
        const QString why = tx.sqlerrtext();
        tx.rollback();
        platform().messageBox(failed, errorInfo(why));
        return false;
    }
    if (tx.sqlnrows() == 0) {
        tx.rollback();
        platform().messageBox(failed,
                              errorInfo(u"编号为 %1 的记录已不存在（可能已被删除）"_s.arg(bh)));
        return false;
    }
    if (tx.commit() != 0) {
        platform().messageBox(failed, errorInfo(tx.sqlerrtext()));
        return false;
    }
    platform().messageBox(u"提示"_s, u"保存成功!"_s);
    return true;
}

} // namespace zorv::lists
