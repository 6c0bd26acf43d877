#pragma once
// FreeXL runs in a child process of its own: FreeXL 1.0.6 trusts the string
// lengths written in a file and reads past its buffers on damaged or crafted
// ones (found by fuzzing), so a fault there must end only the child. The
// child walks the workbook and writes it to a pipe as a stream of records:
//   'S' u32 size, UTF-8 name          a sheet begins
//   'I' u32 row, u16 column, i32      an integer cell (0-based row and column)
//   'N' u32 row, u16 column, f64      a decimal cell
//   'T' / 'D' u32 row, u16 column, u32 size, UTF-8 text   a text / date cell
//   'E' i32 FreeXL error code, 'P' password protected, 'Z' the end.

#include "core/sheet/bookreader.h"

#include <QByteArray>
#include <string>

namespace zorv::sheet {

namespace xlsrecord {
constexpr char kSheet = 'S', kInt = 'I', kDouble = 'N', kText = 'T', kDate = 'D', kFailed = 'E',
               kPassword = 'P', kEnd = 'Z';
}

// Collects the record stream of the file at path (local 8-bit encoding).
// False with *reason when the reader could not run, died or was stopped
// through control.cancel.
bool runXlsReader(const QByteArray &path, ReadControl &control, std::string &stream,
                  QString *reason);

} // namespace zorv::sheet
