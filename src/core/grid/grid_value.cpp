#include "core/grid/grid_value.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace zorv::gridimpl {

namespace {

constexpr qint64 kMsPerDay = 86400000;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// Days from 1970-01-01 to the given civil date (proleptic Gregorian).
qint64 daysFromCivil(qint64 y, unsigned m, unsigned d) {
    y -= m <= 2;
    const qint64 era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + qint64(doe) - 719468;
}

void civilFromDays(qint64 z, qint64 &y, unsigned &m, unsigned &d) {
    z += 719468;
    const qint64 era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = qint64(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y += m <= 2;
}

bool leap(qint64 y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

unsigned daysInMonth(qint64 y, unsigned m) {
    static const unsigned days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && leap(y) ? 29 : days[m - 1];
}

// Reads 1..maxDigits digits at s[i]; false when there is none.
bool digits(std::string_view s, size_t &i, int maxDigits, int minDigits, unsigned &out) {
    size_t start = i;
    out = 0;
    while (i < s.size() && int(i - start) < maxDigits && s[i] >= '0' && s[i] <= '9')
        out = out * 10 + unsigned(s[i++] - '0');
    return int(i - start) >= minDigits;
}

void appendPadded(unsigned v, int width, std::string &out) {
    char buf[12];
    int n = 0;
    do {
        buf[n++] = char('0' + v % 10);
        v /= 10;
    } while (v);
    for (int i = n; i < width; ++i)
        out += '0';
    while (n)
        out += buf[--n];
}

// The civil date of a date-time; returns the milliseconds into that day.
qint64 civilFromMsecs(double msecs, qint64 &y, unsigned &m, unsigned &d) {
    const qint64 total = qint64(msecs);
    qint64 days = total / kMsPerDay;
    qint64 rest = total % kMsPerDay;
    if (rest < 0) {
        rest += kMsPerDay;
        --days;
    }
    civilFromDays(days, y, m, d);
    return rest;
}

} // namespace

bool parseNumber(std::string_view text, double &value, bool &isNull) {
    std::string_view s = trimmed(text);
    isNull = s.empty();
    if (isNull) {
        value = 0;
        return true;
    }
    // Plain integers of up to 15 digits, the usual case, convert exactly here.
    if (s.size() <= 16) {
        const bool negative = s.front() == '-';
        std::size_t i = negative ? 1 : 0;
        std::int64_t n = 0;
        const std::size_t digitsStart = i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9')
            n = n * 10 + (s[i++] - '0');
        if (i == s.size() && i > digitsStart && i - digitsStart <= 15) {
            value = negative && n ? -double(n) : double(n);
            return true;
        }
    }
    if (s.front() == '+')
        s.remove_prefix(1);
    if (s.empty() ||
        !((s.front() >= '0' && s.front() <= '9') || s.front() == '.' || s.front() == '-'))
        return false;
    double v = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(v))
        return false;
    value = v == 0 ? 0.0 : v; // no negative zero
    return true;
}

bool parseDateTime(std::string_view text, double &msecs, bool &isNull) {
    std::string_view s = trimmed(text);
    isNull = s.empty();
    msecs = 0;
    if (isNull)
        return true;
    // "yyyy-MM-dd hh:mm:ss", the form exports write, without the general walk.
    auto digit = [&](std::size_t k) { return unsigned(s[k] - '0') <= 9; };
    auto two = [&](std::size_t k) { return unsigned(s[k] - '0') * 10 + unsigned(s[k + 1] - '0'); };
    if (s.size() == 19 && s[4] == '-' && s[7] == '-' && s[10] == ' ' && s[13] == ':' &&
        s[16] == ':' && digit(0) && digit(1) && digit(2) && digit(3) && digit(5) && digit(6) &&
        digit(8) && digit(9) && digit(11) && digit(12) && digit(14) && digit(15) && digit(17) &&
        digit(18)) {
        const unsigned y = two(0) * 100 + two(2), mo = two(5), d = two(8);
        const unsigned h = two(11), mi = two(14), sec = two(17);
        if (mo < 1 || mo > 12 || d < 1 || d > daysInMonth(y, mo) || h > 23 || mi > 59 || sec > 59)
            return false;
        msecs =
            double(daysFromCivil(y, mo, d) * kMsPerDay + qint64((h * 60 + mi) * 60 + sec) * 1000);
        return true;
    }
    size_t i = 0;
    unsigned y = 0, mo = 0, d = 0, h = 0, mi = 0, sec = 0, ms = 0;
    if (!digits(s, i, 4, 4, y) || i >= s.size())
        return false;
    const char sep = s[i];
    if (sep != '-' && sep != '/' && sep != '.')
        return false;
    ++i;
    if (!digits(s, i, 2, 1, mo) || i >= s.size() || s[i] != sep)
        return false;
    ++i;
    if (!digits(s, i, 2, 1, d))
        return false;
    if (mo < 1 || mo > 12 || d < 1 || d > daysInMonth(y, mo))
        return false;
    if (i < s.size()) {
        if (s[i] != ' ' && s[i] != 'T')
            return false;
        while (i < s.size() && (s[i] == ' ' || s[i] == 'T'))
            ++i;
        if (!digits(s, i, 2, 1, h) || i >= s.size() || s[i] != ':')
            return false;
        ++i;
        if (!digits(s, i, 2, 2, mi))
            return false;
        if (i < s.size() && s[i] == ':') {
            ++i;
            if (!digits(s, i, 2, 2, sec))
                return false;
            if (i < s.size() && s[i] == '.') {
                ++i;
                size_t start = i;
                if (!digits(s, i, 3, 1, ms))
                    return false;
                for (size_t n = i - start; n < 3; ++n)
                    ms *= 10;
            }
        }
        if (i != s.size() || h > 23 || mi > 59 || sec > 59)
            return false;
    }
    msecs = double(daysFromCivil(y, mo, d) * kMsPerDay +
                   qint64(((h * 60 + mi) * 60 + sec) * 1000 + ms));
    return true;
}

void appendNumber(double value, std::string &out) {
    if (value == std::trunc(value) && std::fabs(value) < 1e15) {
        char buf[32];
        auto r = std::to_chars(buf, buf + sizeof buf, static_cast<long long>(value));
        out.append(buf, r.ptr);
        return;
    }
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, value);
    out.append(buf, r.ptr);
}

void appendDateTime(double msecs, std::string &out) {
    qint64 y;
    unsigned m, d;
    const qint64 rest = civilFromMsecs(msecs, y, m, d);
    if (y < 0) {
        out += '-';
        y = -y;
    }
    appendPadded(unsigned(y), 4, out);
    out += '-';
    appendPadded(m, 2, out);
    out += '-';
    appendPadded(d, 2, out);
    out += ' ';
    const unsigned secs = unsigned(rest / 1000);
    appendPadded(secs / 3600, 2, out);
    out += ':';
    appendPadded(secs / 60 % 60, 2, out);
    out += ':';
    appendPadded(secs % 60, 2, out);
    if (rest % 1000) {
        out += '.';
        appendPadded(unsigned(rest % 1000), 3, out);
    }
}

QString numberText(double value) {
    std::string s;
    appendNumber(value, s);
    return QString::fromLatin1(s.data(), qsizetype(s.size()));
}

QDateTime toDateTime(double msecs) {
    qint64 y;
    unsigned m, d;
    const qint64 rest = civilFromMsecs(msecs, y, m, d);
    return QDateTime(QDate(int(y), int(m), int(d)), QTime::fromMSecsSinceStartOfDay(int(rest)));
}

double fromDate(const QDate &date) {
    return double(daysFromCivil(date.year(), unsigned(date.month()), unsigned(date.day())) *
                  kMsPerDay);
}

double fromDateTime(const QDateTime &dt) {
    return fromDate(dt.date()) + double(dt.time().msecsSinceStartOfDay());
}

std::uint64_t orderKey(double value) {
    if (value == 0)
        value = 0.0;
    const auto bits = std::bit_cast<std::uint64_t>(value);
    return (bits & (std::uint64_t(1) << 63)) ? ~bits : bits | (std::uint64_t(1) << 63);
}

bool convertVariant(const QVariant &value, ColType type, std::string &text, double &number,
                    bool &isNull) {
    text.clear();
    number = 0;
    isNull = value.isNull();
    if (isNull)
        return true;
    const int id = value.metaType().id();
    switch (id) {
    case QMetaType::QString:
    case QMetaType::QByteArray: {
        const QByteArray utf8 = value.toString().toUtf8();
        const std::string_view v(utf8.constData(), std::size_t(utf8.size()));
        if (type == ColType::String) {
            text.assign(v);
            isNull = text.empty();
            return true;
        }
        return type == ColType::Number ? parseNumber(v, number, isNull)
                                       : parseDateTime(v, number, isNull);
    }
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Bool:
        number = value.toDouble();
        if (!std::isfinite(number) || type == ColType::DateTime)
            return false;
        if (number == 0)
            number = 0.0;
        if (type == ColType::String)
            appendNumber(number, text);
        return true;
    case QMetaType::QDateTime:
    case QMetaType::QDate:
        if (id == QMetaType::QDateTime ? !value.toDateTime().isValid() : !value.toDate().isValid())
            return false;
        number = id == QMetaType::QDateTime ? fromDateTime(value.toDateTime())
                                            : fromDate(value.toDate());
        if (type == ColType::Number)
            return false;
        if (type == ColType::String)
            appendDateTime(number, text);
        return true;
    default:
        if (type != ColType::String || !value.canConvert<QString>())
            return false;
        text = value.toString().toStdString();
        isNull = text.empty();
        return true;
    }
}

} // namespace zorv::gridimpl
