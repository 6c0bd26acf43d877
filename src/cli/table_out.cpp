#include "cli/table_out.h"

#include "cli/grid_stream.h"
#include "core/grid/grid.h"

namespace zorv::cli {

bool writeTable(const Grid &grid, std::FILE *out) {
    QByteArray buf;
    const int columns = grid.columnCount();
    for (int c = 1; c <= columns; ++c) {
        if (c > 1)
            buf += '\t';
        buf += grid.columns().at(c - 1).name.toUtf8();
    }
    buf += '\n';
    auto flush = [&] {
        const bool ok =
            std::fwrite(buf.constData(), 1, size_t(buf.size()), out) == size_t(buf.size());
        buf.clear();
        return ok;
    };
    for (qint64 row = 1; row <= grid.rowCount(); ++row) {
        for (int c = 1; c <= columns; ++c) {
            if (c > 1)
                buf += '\t';
            buf += escapeField(grid.getItemString(row, c));
        }
        buf += '\n';
        if (buf.size() > (1 << 20) && !flush())
            return false;
    }
    return flush() && std::fflush(out) == 0;
}

} // namespace zorv::cli
