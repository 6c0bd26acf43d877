#include "core/lists/split.h"

#include "core/grid/grid.h"

#include <QByteArray>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zorv::lists {

namespace {

// The blanks trimmed from B: space, tab, CR and LF.
std::string_view trimBlanks(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

} // namespace

qint64 splitColumnA(const Grid &source, Grid &target, const QString &separator) {
    const bool redraw = target.redraw();
    target.setRedraw(false);
    target.reset();
    // The work is done on the cells' UTF-8 text; the pieces view into the
    // source, which does not change. A separator that is no well-formed text
    // (a lone surrogate) is found in no cell.
    const QByteArray sepBytes = separator.toUtf8();
    const std::string_view sep(sepBytes.constData(), std::size_t(sepBytes.size()));
    const bool findable = QString::fromUtf8(sepBytes) == separator;
    std::vector<std::string_view> pieces;
    std::vector<std::pair<qint64, std::string_view>> bOf; // first piece of a row, its B
    const qint64 rows = source.rowCount();
    for (qint64 r = 1; r <= rows; ++r) {
        const std::string_view a = source.textView(r, 1);
        if (a.empty())
            continue;
        bOf.emplace_back(qint64(pieces.size()), trimBlanks(source.textView(r, 2)));
        if (sep.empty() || !findable) {
            pieces.push_back(a);
            continue;
        }
        std::size_t start = 0;
        while (start <= a.size()) {
            std::size_t at = a.find(sep, start);
            if (at == std::string_view::npos)
                at = a.size();
            if (at > start)
                pieces.push_back(a.substr(start, at - start));
            start = at + sep.size();
        }
    }
    if (!pieces.empty())
        target.appendTexts(1, pieces);
    for (std::size_t k = 0; k < bOf.size(); ++k) {
        const qint64 end = k + 1 < bOf.size() ? bOf[k + 1].first : qint64(pieces.size());
        for (qint64 p = bOf[k].first; p < end; ++p)
            target.setText(p + 1, 2, bOf[k].second);
    }
    target.setRedraw(redraw);
    return qint64(pieces.size());
}

} // namespace zorv::lists
