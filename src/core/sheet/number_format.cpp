#include "core/sheet/number_format.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace zorv::sheet {

namespace {

bool isDigitSlot(char c) {
    return c == '0' || c == '#' || c == '?';
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// Cuts a code into its ';'-separated sections, leaving quoted text,
// bracketed parts and escaped characters whole.
std::vector<std::string_view> sections(std::string_view code) {
    std::vector<std::string_view> out;
    size_t start = 0;
    for (size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (c == '"') {
            const size_t close = code.find('"', i + 1);
            i = close == std::string_view::npos ? code.size() : close;
        } else if (c == '[') {
            const size_t close = code.find(']', i + 1);
            i = close == std::string_view::npos ? code.size() : close;
        } else if (c == '\\' || c == '_' || c == '*') {
            ++i;
        } else if (c == ';') {
            out.push_back(code.substr(start, i - start));
            start = i + 1;
        }
    }
    out.push_back(code.substr(std::min(start, code.size())));
    return out;
}

// A bracketed condition such as [<100] or [>=1000]; false when the part is none.
bool condition(std::string_view part, bool *holds, double value) {
    if (part.size() < 2 || (part[0] != '<' && part[0] != '>' && part[0] != '='))
        return false;
    size_t op = 1;
    if (part.size() > 1 && (part[1] == '=' || part[1] == '>'))
        op = 2;
    const std::string number(part.substr(op));
    char *end = nullptr;
    const double limit = std::strtod(number.c_str(), &end);
    if (end == number.c_str())
        return false;
    const std::string_view o = part.substr(0, op);
    *holds = o == "<"    ? value < limit
             : o == ">"  ? value > limit
             : o == "="  ? value == limit
             : o == "<=" ? value <= limit
             : o == ">=" ? value >= limit
                         : value != limit;
    return true;
}

// What one section shows; literal text, currency brackets and placeholders
// are taken apart as they come.
struct Layout {
    QString prefix, suffix; // literal text before and after the digits
    int integerZeros = 0;   // '0' before the decimal point
    int integerSlots = 0;   // all placeholders before the point
    int decimalZeros = 0;   // '0' after the point
    int decimalSlots = 0;   // all placeholders after the point
    int decimalSpaces = 0;  // '?' after the point
    int exponentDigits = 0; // placeholders after E+ / E-
    bool exponentPlus = false;
    bool scientific = false;
    bool thousands = false;
    bool general = false;
    bool text = false;
    int percent = 0;
    int scale = 0; // trailing commas: thousands each
};

Layout parse(std::string_view s) {
    Layout l;
    bool seenDigit = false, afterPoint = false, inExponent = false;
    int commasAfterDigit = 0;
    auto literal = [&](const QString &t) {
        if (seenDigit)
            l.suffix += t;
        else
            l.prefix += t;
    };
    for (size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '"') {
            const size_t close = s.find('"', i + 1);
            const size_t end = close == std::string_view::npos ? s.size() : close;
            literal(QString::fromUtf8(s.data() + i + 1, qsizetype(end - i - 1)));
            i = end;
        } else if (c == '[') {
            const size_t close = s.find(']', i + 1);
            const size_t end = close == std::string_view::npos ? s.size() : close;
            const std::string_view inner = s.substr(i + 1, end - i - 1);
            if (!inner.empty() && inner[0] == '$') {
                // A currency or locale: [$¥-804] shows "¥".
                const size_t dash = inner.find('-');
                literal(QString::fromUtf8(
                    inner.data() + 1,
                    qsizetype((dash == std::string_view::npos ? inner.size() : dash) - 1)));
            }
            i = end; // colours and conditions show nothing
        } else if (c == '\\') {
            if (i + 1 < s.size()) {
                // One escaped character, which may be a multi-byte UTF-8 one.
                size_t n = 1;
                while (i + 1 + n < s.size() &&
                       (static_cast<unsigned char>(s[i + 1 + n]) & 0xC0) == 0x80)
                    ++n;
                literal(QString::fromUtf8(s.data() + i + 1, qsizetype(n)));
                i += n;
            }
        } else if (c == '_') {
            ++i;
            literal(QStringLiteral(" "));
        } else if (c == '*') {
            ++i; // fill to the column's width: nothing in a copy
        } else if (c == '@') {
            l.text = true;
        } else if (equalsNoCase(s.substr(i, 7), "general")) {
            l.general = true;
            seenDigit = true;
            i += 6;
        } else if ((c == 'E' || c == 'e') && i + 1 < s.size() &&
                   (s[i + 1] == '+' || s[i + 1] == '-') && seenDigit) {
            l.scientific = true;
            l.exponentPlus = s[i + 1] == '+';
            inExponent = true;
            ++i;
        } else if (isDigitSlot(c)) {
            seenDigit = true;
            if (commasAfterDigit > 0 && !afterPoint && !inExponent)
                l.thousands = true;
            commasAfterDigit = 0;
            if (inExponent)
                ++l.exponentDigits;
            else if (afterPoint) {
                ++l.decimalSlots;
                l.decimalZeros += c == '0';
                l.decimalSpaces += c == '?';
            } else {
                ++l.integerSlots;
                l.integerZeros += c == '0';
            }
        } else if (c == '.' && !afterPoint && !inExponent) {
            afterPoint = true;
            seenDigit = true;
        } else if (c == ',' && seenDigit) {
            ++commasAfterDigit;
        } else if (c == '%') {
            ++l.percent;
            literal(QStringLiteral("%"));
        } else {
            // Any other character is shown as it is (a UTF-8 sequence whole).
            size_t n = 1;
            while (i + n < s.size() && (static_cast<unsigned char>(s[i + n]) & 0xC0) == 0x80)
                ++n;
            literal(QString::fromUtf8(s.data() + i, qsizetype(n)));
            i += n - 1;
        }
    }
    l.scale = commasAfterDigit; // "#,##0," shows thousands
    return l;
}

QString groupThousands(const QString &digits) {
    QString out;
    const qsizetype n = digits.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += u',';
        out += digits[i];
    }
    return out;
}

QString fixed(const Layout &l, double value) {
    char buf[400];
    double mag = std::fabs(value);
    if (mag >= 1e300)
        return formatGeneral(value);
    // Halves round away from zero, as a spreadsheet shows them (2.5 -> 3).
    const double scale = std::pow(10.0, std::min(l.decimalSlots, 15));
    if (mag * scale < 1e15)
        mag = std::round(mag * scale) / scale;
    std::snprintf(buf, sizeof buf, "%.*f", l.decimalSlots, mag);
    QString digits = QString::fromLatin1(buf);
    const qsizetype point = digits.indexOf(u'.');
    QString whole = point < 0 ? digits : digits.left(point);
    QString fraction = point < 0 ? QString() : digits.mid(point + 1);
    // Optional decimals drop their trailing zeros; '?' keeps a space instead.
    qsizetype keep = fraction.size();
    while (keep > l.decimalZeros && fraction[keep - 1] == u'0')
        --keep;
    QString shownFraction = fraction.left(keep);
    if (l.decimalSpaces > 0)
        shownFraction = shownFraction.leftJustified(fraction.size(), u' ');
    if (whole == QStringLiteral("0") && l.integerZeros == 0)
        whole.clear();
    if (whole.size() < l.integerZeros)
        whole = whole.rightJustified(l.integerZeros, u'0');
    if (l.thousands)
        whole = groupThousands(whole);
    QString out = whole;
    if (l.decimalSlots > 0 || !shownFraction.isEmpty())
        out += u'.' + shownFraction;
    return out;
}

QString scientific(const Layout &l, double value) {
    const double mag = std::fabs(value);
    int exponent = mag == 0 ? 0 : static_cast<int>(std::floor(std::log10(mag)));
    const int step = l.integerSlots > 1 && l.integerZeros < l.integerSlots ? l.integerSlots : 1;
    if (step > 1)
        exponent = static_cast<int>(std::floor(double(exponent) / step)) * step;
    double mantissa = mag == 0 ? 0 : mag / std::pow(10.0, exponent);
    // Rounding may carry the mantissa to the next power of ten.
    const double rounded =
        std::round(mantissa * std::pow(10.0, l.decimalSlots)) / std::pow(10.0, l.decimalSlots);
    if (rounded >= std::pow(10.0, step)) {
        exponent += step;
        mantissa = rounded / std::pow(10.0, step);
    }
    Layout m = l;
    m.thousands = false;
    QString out = fixed(m, mantissa);
    if (out.isEmpty())
        out = QStringLiteral("0");
    QString e =
        QString::number(std::abs(exponent)).rightJustified(std::max(1, l.exponentDigits), u'0');
    out += u'E' +
           QString(exponent < 0     ? QStringLiteral("-")
                   : l.exponentPlus ? QStringLiteral("+")
                                    : QString()) +
           e;
    return out;
}

// [h]:mm:ss and the like: the bracketed unit counts the whole duration.
QString elapsed(std::string_view s, double value) {
    const bool negative = value < 0;
    const long long total = std::llround(std::fabs(value) * 86400.0);
    QString out;
    for (size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '[') {
            const size_t close = s.find(']', i + 1);
            const size_t end = close == std::string_view::npos ? s.size() : close;
            const std::string_view inner = s.substr(i + 1, end - i - 1);
            i = end;
            if (inner.empty())
                continue;
            const char unit = static_cast<char>(std::tolower(static_cast<unsigned char>(inner[0])));
            const long long v = unit == 'h' ? total / 3600 : unit == 'm' ? total / 60 : total;
            if (unit == 'h' || unit == 'm' || unit == 's')
                out += QString::number(v).rightJustified(qsizetype(inner.size()), u'0');
            continue;
        }
        if (c == '"') {
            const size_t close = s.find('"', i + 1);
            const size_t end = close == std::string_view::npos ? s.size() : close;
            out += QString::fromUtf8(s.data() + i + 1, qsizetype(end - i - 1));
            i = end;
            continue;
        }
        if (c == '\\' && i + 1 < s.size()) {
            out += QChar::fromLatin1(s[++i]);
            continue;
        }
        const char l = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (l == 'h' || l == 'm' || l == 's') {
            size_t n = 1;
            while (i + n < s.size() && std::tolower(static_cast<unsigned char>(s[i + n])) == l)
                ++n;
            i += n - 1;
            const long long v = l == 'h'   ? total / 3600 % 24
                                : l == 'm' ? total / 60 % 60
                                           : total % 60;
            out += QString::number(v).rightJustified(n >= 2 ? 2 : 1, u'0');
            continue;
        }
        if (c == '.' && i + 1 < s.size() && s[i + 1] == '0') {
            while (i + 1 < s.size() && s[i + 1] == '0')
                ++i; // fractions of a second: the value is kept to whole seconds
            continue;
        }
        out += QChar::fromLatin1(c);
    }
    return negative ? u'-' + out : out;
}

} // namespace

NumberFormat::NumberFormat(std::string code) : m_code(std::move(code)) {
    const std::string_view first = sections(m_code).front();
    m_general = m_code.empty() || equalsNoCase(first, "general");
    if (m_general)
        return;
    m_date = classifyFormatCode(m_code);
    if (m_date != DateStyle::None)
        for (size_t i = 0; i + 1 < first.size(); ++i)
            if (first[i] == '[' && std::strchr("hHmMsS", first[i + 1]))
                m_elapsed = true;
}

NumberFormat NumberFormat::builtin(int id) {
    return NumberFormat(builtinFormatCode(id));
}

std::string builtinFormatCode(int id) {
    switch (id) {
    case 1:
        return "0";
    case 2:
        return "0.00";
    case 3:
        return "#,##0";
    case 4:
        return "#,##0.00";
    case 5:
        return "#,##0_);(#,##0)";
    case 6:
        return "#,##0_);[Red](#,##0)";
    case 7:
        return "#,##0.00_);(#,##0.00)";
    case 8:
        return "#,##0.00_);[Red](#,##0.00)";
    case 9:
        return "0%";
    case 10:
        return "0.00%";
    case 11:
        return "0.00E+00";
    case 14:
        return "yyyy-mm-dd";
    case 15:
        return "d-mmm-yy";
    case 16:
        return "d-mmm";
    case 17:
        return "mmm-yy";
    case 18:
        return "h:mm AM/PM";
    case 19:
        return "h:mm:ss AM/PM";
    case 20:
        return "h:mm";
    case 21:
        return "h:mm:ss";
    case 22:
        return "yyyy-mm-dd h:mm";
    case 37:
        return "#,##0 ;(#,##0)";
    case 38:
        return "#,##0 ;[Red](#,##0)";
    case 39:
        return "#,##0.00;(#,##0.00)";
    case 40:
        return "#,##0.00;[Red](#,##0.00)";
    case 41:
        return "_(* #,##0_);_(* (#,##0);_(* \"-\"_);_(@_)";
    case 42:
        return "_(\"$\"* #,##0_);_(\"$\"* (#,##0);_(\"$\"* \"-\"_);_(@_)";
    case 43:
        return "_(* #,##0.00_);_(* (#,##0.00);_(* \"-\"??_);_(@_)";
    case 44:
        return "_(\"$\"* #,##0.00_);_(\"$\"* (#,##0.00);_(\"$\"* \"-\"??_);_(@_)";
    case 45:
        return "mm:ss";
    case 46:
        return "[h]:mm:ss";
    case 47:
        return "mm:ss.0";
    case 48:
        return "##0.0E+0";
    case 49:
        return "@";
    default:
        break;
    }
    // The Chinese locale's built-in dates and times carry no code in files.
    switch (builtinDateStyle(id)) {
    case DateStyle::Date:
        return "yyyy-mm-dd";
    case DateStyle::Time:
        return "h:mm:ss";
    case DateStyle::DateTime:
        return "yyyy-mm-dd h:mm:ss";
    case DateStyle::None:
        break;
    }
    return std::string();
}

QString NumberFormat::show(double value, bool date1904) const {
    if (m_general || !std::isfinite(value))
        return formatGeneral(value);
    if (m_date != DateStyle::None && !m_elapsed)
        return formatSerial(value, m_date, date1904);
    const std::vector<std::string_view> parts = sections(m_code);
    // Pick the section: by bracketed conditions when there are any, else
    // positive;negative;zero (a section of its own shows no minus sign).
    size_t pick = 0;
    bool ownSign = false;
    bool anyCondition = false;
    for (size_t i = 0; i < parts.size() && i < 2; ++i) {
        const std::string_view p = parts[i];
        if (p.size() > 2 && p[0] == '[') {
            bool holds = false;
            const size_t close = p.find(']');
            if (close != std::string_view::npos &&
                condition(p.substr(1, close - 1), &holds, value)) {
                anyCondition = true;
                if (holds) {
                    pick = i;
                    break;
                }
                pick = i + 1;
            }
        }
    }
    if (anyCondition) {
        ownSign = value < 0 && pick > 0;
    } else if (value < 0 && parts.size() >= 2 && !parts[1].empty()) {
        pick = 1;
        ownSign = true;
    } else if (value == 0 && parts.size() >= 3) {
        pick = 2;
    }
    if (pick >= parts.size() || (parts.size() == 4 && pick == 3))
        pick = 0;
    const std::string_view section = parts[pick];
    const double shown = ownSign ? -value : value;

    if (m_date != DateStyle::None) {
        if (m_elapsed)
            return elapsed(section, shown);
        return formatSerial(value, m_date, date1904);
    }
    const Layout l = parse(section);
    if (l.text && l.integerSlots == 0 && l.decimalSlots == 0)
        return formatGeneral(value); // a number in a text format shows as it is
    double v = shown * std::pow(100.0, l.percent) / std::pow(1000.0, l.scale);
    QString digits;
    if (l.general)
        digits = formatGeneral(std::fabs(v));
    else if (l.integerSlots == 0 && l.decimalSlots == 0)
        digits = QString(); // only literal text ("-" of a zero section)
    else
        digits = l.scientific ? scientific(l, v) : fixed(l, v);
    // A value that rounds to zero shows no minus sign.
    const bool zeroShown = digits.isEmpty() || digits.toStdU16String().find_first_not_of(u"0.,") ==
                                                   std::u16string::npos;
    const QString sign = v < 0 && !zeroShown ? QStringLiteral("-") : QString();
    return sign + l.prefix + digits + l.suffix;
}

} // namespace zorv::sheet
