// Fuzzes the list and paste imports. The input is a name-list file (any
// encoding), whose names come numbered 1, 2, 3 ..., never empty nor holding
// a tab or line break; and it is the clipboard of a paste into a grid that
// holds a row: the paste adds rows, or is refused with a message and the
// old row kept.
#include "core/grid/grid.h"
#include "core/imports/list_import.h"
#include "core/imports/paste_import.h"
#include "fuzz_common.h"

using namespace Qt::StringLiterals;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    zorv::fuzz::initApp();
    static zorv::fuzz::QuietPlatform quiet;
    zorv::setPlatform(&quiet);
    static const QString path = zorv::fuzz::scratchFile(u"names.txt"_s);
    zorv::fuzz::writeScratch(path, data, size);

    qint64 last = 0;
    const auto names = zorv::imports::readNameList(path, [&](qint64 position, const QString &name) {
        if (position != last + 1 || name.isEmpty() || name.contains(u'\n') || name.contains(u'\t'))
            std::abort();
        last = position;
        return true;
    });
    if (!names.imported() || names.rows != last)
        std::abort();
    const auto values = zorv::imports::readNewNames(path, 1000, 1);
    if (values.outcome != zorv::imports::Outcome::Imported || values.values.size() > 1000)
        std::abort();

    zorv::Grid grid({{u"md"_s, zorv::ColType::String, {}},
                     {u"xh"_s, zorv::ColType::Number, {}},
                     {u"rq"_s, zorv::ColType::DateTime, {}}});
    grid.insertRow(0);
    grid.setItem(1, 1, u"旧"_s);
    quiet.clipboard = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    quiet.messages = 0;
    const bool replace = size > 0 && (data[0] & 1);
    const auto pasted = zorv::imports::pasteImport(grid, replace);
    if (pasted.imported()) {
        if (grid.rowCount() != pasted.rows + (replace ? 0 : 1))
            std::abort();
    } else if (grid.rowCount() != 1 || grid.getItemString(1, 1) != u"旧"_s || quiet.messages != 1) {
        std::abort();
    }
    zorv::setPlatform(nullptr);
    return 0;
}
