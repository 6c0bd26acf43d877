#pragma once
// Opens the list file chosen for the name-list match or the new-name import: a spreadsheet's first
// worksheet, or a text file decoded as the imports decode text (UTF-8, UTF-16 with BOM,
// GBK/GB18030).

#include "core/files/list_source.h"

namespace zorv::files {

// nullptr after "信息提示" / the reader's message when the file cannot be read.
std::unique_ptr<ListSource> openListFile(const QString &path);

} // namespace zorv::files
