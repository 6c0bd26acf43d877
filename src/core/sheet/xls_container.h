#pragma once
// The bytes of a binary workbook's record stream: the "Workbook" (BIFF8) or
// "Book" (BIFF5) stream of a compound document, opened with libgsf, or the
// whole file for the single-stream worksheets of the older versions.

#include "core/sheet/bookreader.h"

#include <QByteArray>
#include <memory>
#include <string_view>

namespace zorv::sheet {

// The record stream and what keeps its bytes alive: the file's own bytes
// when the stream lies in one run of them (nearly always), else the
// container's buffer holding the stream's scattered sectors.
struct WorkbookStream {
    QByteArray file;
    std::shared_ptr<void> holder; // the container's stream object, when the bytes are its own
    std::string_view bytes;
};

// Finds the record stream of file (moved into *stream). False with *failure
// and *reason (for the user, in Chinese) when the file holds no workbook
// stream or its container is damaged.
bool readWorkbookStream(QByteArray file, WorkbookStream *stream, OpenFailure *failure,
                        QString *reason);

} // namespace zorv::sheet
