// Fuzzes the .xlsx reader through the shared spreadsheet fuzz body.
#include "sheet_fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    return zorv::fuzz::fuzzSheetBytes(data, size, QStringLiteral(".xlsx"));
}
