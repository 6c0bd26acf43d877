#pragma once
// Opens the list file chosen for the name-list match or the new-name import.

#include "core/files/list_source.h"

namespace frn {

// A spreadsheet (first worksheet) or a text file; nullptr after a message
// when it cannot be read.
std::unique_ptr<zorv::files::ListSource> openListFile(const QString &path);

} // namespace frn
