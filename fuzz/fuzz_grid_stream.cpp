// Fuzzes the command's grid stream reader. A stream is either refused with
// a line number and a message, or read; what is read is written out again,
// and that output reads back and writes out as the very same bytes.
#include "cli/grid_stream.h"
#include "core/files/frn_grid.h"
#include "core/grid/grid.h"
#include "fuzz_common.h"

#include <cstdio>

namespace {

QByteArray written(zorv::Grid &grid) {
    char *buf = nullptr;
    size_t size = 0;
    std::FILE *out = open_memstream(&buf, &size);
    if (!out || !zorv::cli::writeGridStream(grid, out))
        std::abort();
    std::fclose(out);
    QByteArray bytes(buf, qsizetype(size));
    std::free(buf);
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    zorv::fuzz::initApp();
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    zorv::Grid grid(zorv::files::frn1Columns());
    zorv::cli::StreamError error;
    if (!zorv::cli::readGridStream(bytes, grid, &error)) {
        if (error.line < 1 || error.message.isEmpty())
            std::abort();
        return 0;
    }
    const QByteArray once = written(grid);
    zorv::Grid again(zorv::files::frn1Columns());
    if (!zorv::cli::readGridStream(once, again, &error) || written(again) != once)
        std::abort();
    return 0;
}
