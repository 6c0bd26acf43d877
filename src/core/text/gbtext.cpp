#include "core/text/gbtext.h"

#include <QStringDecoder>
#include <array>
#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <limits>
#include <mutex>

namespace zorv::text {
namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

// Byte width of every BMP code point in GB18030, computed once through iconv.
const std::array<quint8, 0x10000> &bmpWidths() {
    static std::array<quint8, 0x10000> widths{};
    static std::once_flag once;
    std::call_once(once, [] {
        iconv_t cd = iconv_open("GB18030", "UTF-32LE");
        for (char32_t cp = 0; cp < 0x10000; ++cp) {
            if (cp < 0x80) {
                widths[cp] = 1;
                continue;
            }
            if (cp >= 0xD800 && cp < 0xE000) { // lone surrogates never reach here
                widths[cp] = 4;
                continue;
            }
            quint32 in = cp;
            char out[8];
            char *inp = reinterpret_cast<char *>(&in);
            size_t inleft = 4;
            char *outp = out;
            size_t outleft = sizeof out;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            if (cd != reinterpret_cast<iconv_t>(-1) &&
                iconv(cd, &inp, &inleft, &outp, &outleft) != static_cast<size_t>(-1))
                widths[cp] = static_cast<quint8>(sizeof out - outleft);
            else
                widths[cp] = 4;
        }
        if (cd != reinterpret_cast<iconv_t>(-1))
            iconv_close(cd);
    });
    return widths;
}

// Walks s character by character, calling f(index, length in UTF-16 units,
// 1-based byte position, byte width); stops when f returns false.
template <typename F> void forEachChar(const QString &s, F f) {
    const auto &w = bmpWidths();
    int byte = 1;
    const int n = s.size();
    for (int i = 0; i < n;) {
        const QChar c = s.at(i);
        int units = 1;
        int bytes;
        if (c.isHighSurrogate() && i + 1 < n && s.at(i + 1).isLowSurrogate()) {
            units = 2;
            bytes = 4;
        } else {
            bytes = w[c.unicode()];
        }
        if (!f(i, units, byte, bytes))
            return;
        byte += bytes;
        i += units;
    }
}

QString convertWithIconv(const QByteArray &bytes, const char *from) {
    iconv_t cd = iconv_open("UTF-8", from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return QString::fromLatin1(bytes);
    QByteArray out;
    out.resize(bytes.size() * 2 + 16);
    char *inp = const_cast<char *>(bytes.constData());
    size_t inleft = bytes.size();
    char *outp = out.data();
    size_t outleft = out.size();
    while (inleft > 0) {
        if (iconv(cd, &inp, &inleft, &outp, &outleft) != static_cast<size_t>(-1))
            break;
        if (errno == E2BIG) {
            const auto used = outp - out.data();
            out.resize(out.size() * 2);
            outp = out.data() + used;
            outleft = out.size() - used;
        } else { // an undecodable byte becomes U+FFFD and decoding goes on
            ++inp;
            --inleft;
            if (outleft < 3) {
                const auto used = outp - out.data();
                out.resize(out.size() * 2);
                outp = out.data() + used;
                outleft = out.size() - used;
            }
            memcpy(outp, "\xEF\xBF\xBD", 3);
            outp += 3;
            outleft -= 3;
        }
    }
    iconv_close(cd);
    out.resize(outp - out.data());
    return QString::fromUtf8(out);
}

} // namespace

QString trim(const QString &s) {
    int b = 0;
    int e = s.size();
    while (b < e && isBlank(s.at(b)))
        ++b;
    while (e > b && isBlank(s.at(e - 1)))
        --e;
    return (b == 0 && e == s.size()) ? s : s.mid(b, e - b);
}

int gbCharBytes(char32_t ucs4) {
    if (ucs4 >= 0x10000)
        return 4;
    return bmpWidths()[ucs4];
}

int gbLen(const QString &s) {
    int total = 0;
    forEachChar(s, [&](int, int, int, int bytes) {
        total += bytes;
        return true;
    });
    return total;
}

int gbPos(const QString &s, const QString &needle, int start) {
    if (needle.isEmpty())
        return 0;
    int found = 0;
    forEachChar(s, [&](int i, int, int byte, int) {
        if (byte >= start && QStringView(s).mid(i).startsWith(needle)) {
            found = byte;
            return false;
        }
        return true;
    });
    return found;
}

QString gbMid(const QString &s, int pos, int n) {
    if (pos < 1)
        pos = 1;
    if (n == 0)
        return {};
    const qint64 last = n < 0 ? std::numeric_limits<qint64>::max() : qint64(pos) + n - 1;
    int from = -1;
    int to = -1;
    forEachChar(s, [&](int i, int units, int byte, int) {
        if (byte > last)
            return false;
        if (byte >= pos) {
            if (from < 0)
                from = i;
            to = i + units;
        }
        return true;
    });
    return from < 0 ? QString() : s.mid(from, to - from);
}

QString gbLeft(const QString &s, int n) {
    return n <= 0 ? QString() : gbMid(s, 1, n);
}

QString gbRight(const QString &s, int n) {
    if (n <= 0)
        return {};
    const int len = gbLen(s);
    return n >= len ? s : gbMid(s, len - n + 1);
}

QString gbReplace(const QString &s, int pos, int n, const QString &with) {
    if (pos < 1)
        pos = 1;
    return gbLeft(s, pos - 1) + with + (n < 0 ? QString() : gbMid(s, pos + n));
}

QByteArray toGb18030(const QString &s) {
    QByteArray utf8 = s.toUtf8();
    iconv_t cd = iconv_open("GB18030", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return utf8;
    QByteArray out;
    out.resize(utf8.size() * 2 + 8);
    char *inp = utf8.data();
    size_t inleft = utf8.size();
    char *outp = out.data();
    size_t outleft = out.size();
    iconv(cd, &inp, &inleft, &outp, &outleft);
    iconv_close(cd);
    out.resize(outp - out.data());
    return out;
}

QString fromGb18030(const QByteArray &bytes) {
    return convertWithIconv(bytes, "GB18030");
}

QString fromUtf8Exact(const char *bytes, qsizetype len) {
    qsizetype marks = 0;
    while (len - 3 * marks >= 3 && std::memcmp(bytes + 3 * marks, "\xEF\xBB\xBF", 3) == 0)
        ++marks;
    if (marks == 0)
        return QString::fromUtf8(bytes, len);
    return QString(marks, QChar(0xFEFF)) + QString::fromUtf8(bytes + 3 * marks, len - 3 * marks);
}

QString decodeText(const QByteArray &bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.constData() + 3, bytes.size() - 3);
    if (bytes.startsWith("\xFF\xFE"))
        return QStringDecoder(QStringDecoder::Utf16LE,
                              QStringDecoder::Flag::Stateless)(QByteArrayView(bytes).sliced(2));
    if (bytes.startsWith("\xFE\xFF"))
        return QStringDecoder(QStringDecoder::Utf16BE,
                              QStringDecoder::Flag::Stateless)(QByteArrayView(bytes).sliced(2));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString s = utf8(bytes);
    if (!utf8.hasError())
        return s;
    return fromGb18030(bytes);
}

} // namespace zorv::text
