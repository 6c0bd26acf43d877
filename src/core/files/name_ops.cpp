#include "core/files/name_ops.h"

#include "core/platform/platform.h"
#include "core/platform/progress.h"
#include "core/text/gbtext.h"

using namespace Qt::Literals::StringLiterals;
using namespace zorv::text;

namespace zorv::files {
namespace {

bool isAsciiLetter(QChar c) {
    const char16_t u = c.unicode();
    return (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z');
}

// Bytes of the first character of s (0 for an empty s).
int firstCharBytes(const QString &s) {
    if (s.isEmpty())
        return 0;
    if (s.size() > 1 && s.at(0).isHighSurrogate() && s.at(1).isLowSurrogate())
        return 4;
    return gbCharBytes(s.at(0).unicode());
}

// Operation 6: the run of ASCII letters directly before the first dot plus
// everything from the dot on; without a dot the trailing run of letters. It
// walks characters, so a Chinese character is never taken for letters.
QString letterRun(const QString &name) {
    int run = 0; // characters (all one byte) of the current run
    qsizetype i = 0;
    for (; i < name.size(); ++i) {
        const QChar c = name.at(i);
        if (c == u'.')
            break;
        run = isAsciiLetter(c) ? run + 1 : 0;
    }
    if (i < name.size())
        return name.mid(i - run);
    return run == 0 ? QString() : name.right(run);
}

// Operation 9: the sequence number, zero-filled to width, in place of the
// leading ASCII digits.
QString numbered(const QString &name, qint64 seq, int width) {
    qsizetype n = 0;
    while (n < name.size() && name.at(n) >= u'0' && name.at(n) <= u'9')
        ++n;
    QString number = QString::number(seq);
    if (number.size() < width)
        number = QString(width - number.size(), u'0') + number;
    return number + QStringView(name).mid(n);
}

} // namespace

int operationCode(const QString &entryText) {
    if (entryText.isEmpty())
        return 0;
    const char16_t c = entryText.at(0).unicode();
    return c >= u'1' && c <= u'9' ? int(c - u'0') : 0;
}

int editValue(const QString &text) {
    bool ok = false;
    const int v = trim(text).toInt(&ok);
    return ok ? v : 0;
}

int sequenceWidth(qint64 rows, qint64 step) {
    return int(QString::number(rows * step).size());
}

QString applyNameOp(const NameOpParams &p, const QString &name, qint64 seq, int width) {
    const int taken = p.count == 0 ? -1 : p.count; // -1: to the end
    switch (p.op) {
    case 1:
        return gbMid(name, p.start, taken);
    case 2: {
        const int pos = gbPos(name, p.text);
        if (pos == 0)
            return p.count == 0 ? name : gbLeft(name, p.count);
        // Right after the marker's first character, never inside it.
        return gbMid(name, pos + firstCharBytes(p.text), taken);
    }
    case 3:
        return gbReplace(name, p.start, taken, p.text);
    case 4:
        return name.toLower();
    case 5:
        return name.toUpper();
    case 6:
        return letterRun(name);
    case 7: {
        const int pos = gbPos(name, u"."_s);
        if (pos > 0)
            return gbLeft(name, pos) + p.text;
        return name + u'.' + p.text;
    }
    case 9:
        return numbered(name, seq, width);
    default:
        return name;
    }
}

ComputeResult computeNames(Grid &grid, const NameOpParams &p, bool onTarget,
                           ProgressSink &progress) {
    if (grid.rowCount() == 0) {
        platform().messageBox(u"提示"_s, u"还没有源文件"_s);
        return ComputeResult::EmptyGrid;
    }
    if (p.op < 1 || p.op > 9) {
        platform().messageBox(u"提示"_s, u"请在1至9中选择字符串操作方式"_s);
        return ComputeResult::NoOperation;
    }
    const FrnColumns c(grid);
    const int work = onTarget ? c.filen : c.filey;
    const qint64 total = grid.rowCount();

    // A row whose working name is empty leaves the grid as the loop reaches it,
    // which shortens row_zs for the rows after it. The names do not depend on
    // the removals, so the rows are computed first and removed afterwards in
    // one pass, which keeps the grid work linear.
    QList<qint64> empty;
    qint64 seq = 1;
    for (qint64 row = 1; row <= total; ++row) {
        const QString value = grid.getItemString(row, work);
        if (value.isEmpty()) {
            empty.push_back(row);
            continue;
        }
        const qint64 rowZs = total - qint64(empty.size());
        QString result;
        if (p.op == 8) {
            result = trim(grid.getItemString(row, c.filey));
        } else {
            result = applyNameOp(p, trim(value), seq, sequenceWidth(rowZs, p.step));
            if (p.op == 9)
                seq += p.step;
        }
        grid.setItem(row, c.filen, result);
        clearOutcome(grid, row, c.jg); // an earlier run's outcome was for another name
        progress.progress(row - qint64(empty.size()), rowZs, QString());
    }
    grid.deleteRows(empty);
    progress.progress(total - qint64(empty.size()), total - qint64(empty.size()), QString());
    return ComputeResult::Done;
}

} // namespace zorv::files
