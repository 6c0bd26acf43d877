#pragma once
// Profile files ("zorv.ini") read and written by section and key the way the
// desktop's profile-string functions do: "[Section]" headers and "key=value"
// lines, names matched case-insensitively, values trimmed and stripped of one
// pair of enclosing quotes, ";" comment lines, the default when missing.
// A write changes or adds one line and keeps every other byte of the file.

#include <QString>

namespace zorv::config {

// The value of key in section of the file at path, or def when the file, the
// section or the key is missing. The file may be UTF-8 (with or without BOM),
// UTF-16 with BOM, or GBK/GB18030.
QString readProfileString(const QString &path, const QString &section, const QString &key,
                          const QString &def = {});

// Sets key in section to value: replaces the first existing line of the key,
// or adds the key at the end of the section, or adds the section at the end
// of the file (the file is created when missing). The file is replaced
// atomically; false with *error filled when it cannot be written.
bool writeProfileString(const QString &path, const QString &section, const QString &key,
                        const QString &value, QString *error = nullptr);

} // namespace zorv::config
