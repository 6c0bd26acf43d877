#include "core/sheet/numformat.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace zorv::sheet {

QString formatGeneral(double value) {
    if (std::isnan(value))
        return QStringLiteral("#NUM!");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("#NUM!") : QStringLiteral("-#NUM!");
    if (value == 0)
        return QStringLiteral("0");
    char buf[64];
    const double mag = std::fabs(value);
    if (mag < 1e15 && value == std::trunc(value)) {
        auto res = std::to_chars(buf, buf + sizeof buf, static_cast<long long>(value));
        return QString::fromLatin1(buf, res.ptr - buf);
    }
    if (mag >= 1e15 || mag < 1e-9) {
        // Fifteen significant digits, as a spreadsheet keeps them.
        int n = std::snprintf(buf, sizeof buf, "%.15G", value);
        return QString::fromLatin1(buf, n);
    }
    // The shortest text that reads back as the same double is the common case
    // (0.5, 2.75) and cheap; when it needs more than fifteen significant
    // digits the value carries binary noise (0.1 + 0.2) and is rounded.
    const char *end = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed).ptr;
    int significant = 0;
    bool leading = true;
    for (const char *p = buf; p < end; ++p) {
        if (*p < '0' || *p > '9' || (leading && *p == '0'))
            continue;
        leading = false;
        ++significant;
    }
    if (significant <= 15)
        return QString::fromLatin1(buf, end - buf);
    const int exponent = static_cast<int>(std::floor(std::log10(mag)));
    const int decimals = std::max(0, 14 - exponent);
    int n = std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
    while (n > 0 && buf[n - 1] == '0')
        --n;
    if (n > 0 && buf[n - 1] == '.')
        --n;
    return QString::fromLatin1(buf, n);
}

DateStyle classifyFormatCode(std::string_view code) {
    bool date = false, time = false, month = false;
    for (size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (c == ';')
            break; // the first section decides
        if (c == '"') {
            const size_t close = code.find('"', i + 1);
            if (close == std::string_view::npos)
                break;
            i = close;
            continue;
        }
        if (c == '[') {
            const size_t close = code.find(']', i + 1);
            if (close == std::string_view::npos)
                break;
            // Elapsed time: [h], [mm], [ss].
            const std::string_view inner = code.substr(i + 1, close - i - 1);
            if (!inner.empty() && inner.find_first_not_of("hHmMsS") == std::string_view::npos)
                time = true;
            i = close;
            continue;
        }
        if (c == '\\' || c == '_' || c == '*') {
            ++i; // the next character is literal text or padding
            continue;
        }
        const char l = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (l == 'a' && (code.substr(i, 5) == "AM/PM" || code.substr(i, 5) == "am/pm")) {
            time = true;
            i += 4;
            continue;
        }
        if (l == 'a' && (code.substr(i, 3) == "A/P" || code.substr(i, 3) == "a/p")) {
            time = true;
            i += 2;
            continue;
        }
        if (l == 'y' || l == 'd')
            date = true;
        else if (l == 'h' || l == 's')
            time = true;
        else if (l == 'm')
            month = true;
        else if (c == '@')
            return DateStyle::None; // a text format
        else if (c == '0' || c == '#' || c == '?')
            if (!time) // "ss.0" keeps fractions of seconds; otherwise a number format
                return DateStyle::None;
    }
    if (month && !time)
        date = true; // "mmm", "yyyy-mm": months; beside h or s an m is minutes
    if (date && time)
        return DateStyle::DateTime;
    if (date)
        return DateStyle::Date;
    if (time)
        return DateStyle::Time;
    return DateStyle::None;
}

DateStyle builtinDateStyle(int id) {
    if ((id >= 14 && id <= 17) || (id >= 27 && id <= 31) || id == 36 || (id >= 50 && id <= 58))
        return DateStyle::Date;
    if ((id >= 18 && id <= 21) || (id >= 32 && id <= 35) || (id >= 45 && id <= 47))
        return DateStyle::Time;
    if (id == 22)
        return DateStyle::DateTime;
    return DateStyle::None;
}

namespace {

// Days since 1970-01-01 to a proleptic Gregorian date.
void civilFromDays(long long z, long long &y, unsigned &m, unsigned &d) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = static_cast<long long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y += m <= 2;
}

} // namespace

QString formatSerial(double serial, DateStyle style, bool date1904) {
    const double maxSerial = date1904 ? 2957003.0 : 2958465.0;
    if (style == DateStyle::None || !std::isfinite(serial) || serial < 0 || serial >= maxSerial + 1)
        return formatGeneral(serial);
    const long long total = std::llround(serial * 86400.0);
    const long long day = total / 86400;
    if (day > maxSerial) // rounded to the second, the last day's end is the next day
        return formatGeneral(serial);
    const int secs = int(total % 86400);
    char buf[48];
    int n = 0;
    if (style != DateStyle::Time) {
        long long y = 1900;
        unsigned m = 1, d = 0;
        if (!date1904 && day == 0) {
            // how spreadsheets show serial 0: 1900-01-00
        } else if (!date1904 && day == 60) {
            m = 2; // the 1900 leap day spreadsheets keep
            d = 29;
        } else {
            // Serial 1 is 1900-01-01 (or 1904-01-02 in the 1904 system); past
            // the phantom 1900-02-29 the count runs one day ahead.
            const long long unixDays =
                date1904 ? day - 24107 : (day < 60 ? day - 25568 : day - 25569);
            civilFromDays(unixDays, y, m, d);
        }
        n = std::snprintf(buf, sizeof buf, "%04lld-%02u-%02u", y, m, d);
        if (style == DateStyle::DateTime)
            buf[n++] = ' ';
    }
    if (style != DateStyle::Date)
        n += std::snprintf(buf + n, sizeof buf - size_t(n), "%02d:%02d:%02d", secs / 3600,
                           secs / 60 % 60, secs % 60);
    return QString::fromLatin1(buf, n);
}

} // namespace zorv::sheet
