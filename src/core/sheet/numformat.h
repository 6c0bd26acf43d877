#pragma once
// How spreadsheet numbers and dates become the text a cell shows: numbers in
// a general format (no ".0", no binary noise), date serials as ISO-like text.

#include <QString>
#include <string_view>

namespace zorv::sheet {

enum class DateStyle : quint8 { None, Date, Time, DateTime };

// The number as a general-format cell shows it: 42, -3.5, 0.1, 1E+20.
QString formatGeneral(double value);

// What a number format code shows of a date serial; None when it is no date
// format. Quoted text, [bracketed] parts, escaped and padding characters are
// not format letters.
DateStyle classifyFormatCode(std::string_view code);
// The built-in format numbers that are dates or times (including the Chinese
// locale's built-ins that files carry without a definition).
DateStyle builtinDateStyle(int numFmtId);

// A date serial as text: "2024-02-29", "23:59:58" or "1999-12-31 23:59:58".
// Serials outside the calendar a spreadsheet shows give the general number.
QString formatSerial(double serial, DateStyle style, bool date1904);

} // namespace zorv::sheet
