#pragma once
// Conversions between the grid's stored cell values and text. Text inside the
// grid is UTF-8; numbers are doubles; date-times are milliseconds counted from
// 1970-01-01 00:00:00 on the civil calendar, with no time zone attached.

#include "core/grid/grid.h"

#include <QDateTime>
#include <QString>
#include <QVariant>
#include <string>
#include <string_view>

namespace zorv::gridimpl {

// Parses a number cell: surrounding blanks ignored, empty means null. Accepts
// an optional sign, digits, a decimal point and an exponent; nothing else.
bool parseNumber(std::string_view text, double &value, bool &isNull);
// Parses a date-time cell: "yyyy-MM-dd" (also with "/" or "." between the
// parts, one-digit months and days allowed), optionally followed by a blank or
// "T" and "hh:mm", "hh:mm:ss" or "hh:mm:ss.zzz". Empty means null.
bool parseDateTime(std::string_view text, double &msecs, bool &isNull);

// Shortest text that reads back to the same double; integers without a point.
void appendNumber(double value, std::string &out);
// "yyyy-MM-dd hh:mm:ss", with ".zzz" only when there are milliseconds.
void appendDateTime(double msecs, std::string &out);
QString numberText(double value);

QDateTime toDateTime(double msecs);
double fromDateTime(const QDateTime &dt);
double fromDate(const QDate &date);

// Order-preserving 64-bit image of a double: a < b exactly when
// key(a) < key(b); -0 and +0 map alike. 0 is kept free for null.
std::uint64_t orderKey(double value);

// Converts a value for a cell of the given type: text as UTF-8 for text
// columns, otherwise a number or date-time (isNull for an empty value). False
// when the value does not convert (text into a number column, say).
bool convertVariant(const QVariant &value, ColType type, std::string &text, double &number,
                    bool &isNull);

} // namespace zorv::gridimpl
