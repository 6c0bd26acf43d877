#pragma once
// Shared body of the spreadsheet fuzz targets: the bytes are written to a
// file, which is opened and every sheet read, each cell asked for as text and
// number and each sheet as rows and columns. A file is either refused with a
// message naming it or read; either way nothing may crash, leak or overflow.
#include "core/sheet/workbook.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <unistd.h>

namespace zorv::fuzz {

inline QString scratchPath(const QString &suffix) {
    return QDir::tempPath() + QStringLiteral("/zorv-fuzz-%1").arg(QString::number(::getpid())) +
           suffix;
}

inline void readEverything(zorv::sheet::Workbook &book) {
    for (int i = 0; i < std::min(book.sheetCount(), 8); ++i) {
        const auto sheet = book.readSheet(i);
        if (!sheet) {
            if (!book.errorString().contains(book.path()))
                std::abort(); // every failure names the file
            continue;
        }
        // A stray far-away cell makes the used range huge: look at its corner.
        const int rows = std::min(sheet->rowCount(), 300),
                  columns = std::min(sheet->columnCount(), 40);
        for (int r = 0; r <= rows + 1; ++r)
            for (int c = 0; c <= columns + 1; ++c) {
                const auto cell = sheet->cell(r, c);
                if (sheet->text(r, c) != cell.text || cell.isEmpty() != cell.text.isEmpty())
                    std::abort(); // an empty cell reads empty, a filled one shows text
                (void)sheet->number(r, c);
                if (sheet->shown(r, c) != cell.shown)
                    std::abort(); // the shown text is the same however asked for
            }
        if (sheet->rowCount() <= 5000) {
            (void)sheet->rows(2, columns);
            (void)sheet->column(1, 1);
        }
    }
}

// Writes the bytes to a scratch file ending in suffix and reads every sheet.
inline int fuzzSheetBytes(const std::uint8_t *data, std::size_t size, const QString &suffix) {
    const QString path = scratchPath(suffix);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    file.write(reinterpret_cast<const char *>(data), qint64(size));
    file.close();
    zorv::sheet::Workbook book;
    if (book.open(path))
        readEverything(book);
    else if (!book.errorString().contains(path))
        std::abort();
    return 0;
}

} // namespace zorv::fuzz
