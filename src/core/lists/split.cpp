#include "core/lists/split.h"

#include "core/grid/grid.h"
#include "core/text/gbtext.h"

namespace zorv::lists {

qint64 splitColumnA(const Grid &source, Grid &target, const QString &separator) {
    const bool redraw = target.redraw();
    target.setRedraw(false);
    target.reset();
    qint64 written = 0;
    auto append = [&](QStringView piece, const QString &b) {
        const qint64 row = target.insertRow(0);
        target.setItem(row, 1, piece.toString());
        target.setItem(row, 2, b);
        ++written;
    };
    const qint64 rows = source.rowCount();
    for (qint64 r = 1; r <= rows; ++r) {
        const QString a = source.getItemString(r, 1);
        if (a.isEmpty())
            continue;
        const QString b = text::trim(source.getItemString(r, 2));
        if (separator.isEmpty()) {
            append(a, b);
            continue;
        }
        qsizetype start = 0;
        while (start <= a.size()) {
            qsizetype at = a.indexOf(separator, start);
            if (at < 0)
                at = a.size();
            if (at > start)
                append(QStringView(a).sliced(start, at - start), b);
            start = at + separator.size();
        }
    }
    target.setRedraw(redraw);
    return written;
}

} // namespace zorv::lists
