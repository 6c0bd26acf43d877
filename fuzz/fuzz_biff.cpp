// Fuzzes the binary workbook reader. Input that starts as a compound document
// goes through a file and the whole Workbook path (container included); any
// other input is taken as the record stream itself, so the mutations reach
// the records rather than breaking the container.
#include "core/sheet/xls_book.h"
#include "sheet_fuzz_common.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size >= 8 && std::memcmp(data, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) == 0)
        return zorv::fuzz::fuzzSheetBytes(data, size, QStringLiteral(".xls"));
    if (size > 1 << 16)
        return 0;
    zorv::sheet::XlsBook book;
    zorv::sheet::OpenFailure failure = zorv::sheet::OpenFailure::None;
    QString reason;
    if (!book.load(std::string(reinterpret_cast<const char *>(data), size), QStringLiteral("S"),
                   &failure, &reason)) {
        if (failure == zorv::sheet::OpenFailure::None)
            std::abort(); // every refusal says why
        return 0;
    }
    for (size_t i = 0; i < std::min<size_t>(book.sheets().size(), 8); ++i) {
        zorv::sheet::ReadControl control;
        const auto sheet = book.readSheet(int(i), control, &reason);
        if (!sheet) {
            if (reason.isEmpty())
                std::abort();
            continue;
        }
        const int rows = std::min(sheet->rowCount(), 200),
                  columns = std::min(sheet->columnCount(), 30);
        for (int r = 1; r <= rows; ++r)
            for (int c = 1; c <= columns; ++c)
                if (sheet->cell(r, c).text != sheet->text(r, c))
                    std::abort();
        (void)sheet->rows(1, columns);
    }
    return 0;
}
