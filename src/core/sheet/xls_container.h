#pragma once
// The bytes of a binary workbook's record stream: the "Workbook" (BIFF8) or
// "Book" (BIFF5) stream of a compound document, opened with libgsf, or the
// whole file for the single-stream worksheets of the older versions.

#include "core/sheet/bookreader.h"

#include <QByteArray>
#include <string>

namespace zorv::sheet {

// False with *failure and *reason (for the user, in Chinese) when the file
// holds no workbook stream or its container is damaged.
bool readWorkbookStream(const QByteArray &file, std::string &stream, OpenFailure *failure,
                        QString *reason);

} // namespace zorv::sheet
