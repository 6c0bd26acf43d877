#pragma once
// A cell's number format: what a spreadsheet program shows of a number with
// it, as a copy of the cell gives it ("97.4%", "1,234", "3.50", "36:00:00").
// Dates and clock times keep the ISO-like text of formatSerial().

#include "core/sheet/numformat.h"

#include <QString>
#include <string>

namespace zorv::sheet {

class NumberFormat {
public:
    NumberFormat() = default; // General
    explicit NumberFormat(std::string code);
    // The formats a file uses by number without writing their code.
    static NumberFormat builtin(int id);

    const std::string &code() const { return m_code; }
    bool isGeneral() const { return m_general; }
    DateStyle dateStyle() const { return m_date; }
    // The text the cell shows of value.
    QString show(double value, bool date1904) const;

private:
    std::string m_code;
    bool m_general = true;
    bool m_elapsed = false; // [h], [m] or [s]: a duration, not a clock
    DateStyle m_date = DateStyle::None;
};

// The built-in code of a format number ("" when the number is no built-in).
std::string builtinFormatCode(int id);

} // namespace zorv::sheet
