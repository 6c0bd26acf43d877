#include "core/sheet/biff_stream.h"

#include <QtEndian>
#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <optional>

namespace zorv::sheet::biff {

namespace {

// A record holds at most 8,224 bytes in BIFF8 (2,080 before); a longer
// length only comes from damage.
constexpr size_t kMaxRecordLength = 8224;

quint16 le16(const char *p) {
    return quint16(quint8(p[0]) | quint16(quint8(p[1])) << 8);
}

// The iconv name of a code page a workbook may name.
const char *iconvName(int codePage) {
    switch (codePage) {
    case 367:
        return "ASCII";
    case 437:
        return "CP437";
    case 720:
        return "CP720";
    case 737:
        return "CP737";
    case 775:
        return "CP775";
    case 850:
        return "CP850";
    case 852:
        return "CP852";
    case 855:
        return "CP855";
    case 857:
        return "CP857";
    case 858:
        return "CP858";
    case 860:
        return "CP860";
    case 861:
        return "CP861";
    case 862:
        return "CP862";
    case 863:
        return "CP863";
    case 864:
        return "CP864";
    case 865:
        return "CP865";
    case 866:
        return "CP866";
    case 869:
        return "CP869";
    case 874:
        return "CP874";
    case 932:
        return "CP932";
    case 936:
        return "GBK";
    case 949:
        return "CP949";
    case 950:
        return "BIG5";
    case 1250:
        return "CP1250";
    case 1251:
        return "CP1251";
    case 1252:
    case 32769:
        return "CP1252";
    case 1253:
        return "CP1253";
    case 1254:
        return "CP1254";
    case 1255:
        return "CP1255";
    case 1256:
        return "CP1256";
    case 1257:
        return "CP1257";
    case 1258:
        return "CP1258";
    case 1361:
        return "JOHAB";
    case 10000:
    case 32768:
        return "MACINTOSH";
    default:
        return nullptr;
    }
}

const auto kNoIconv = reinterpret_cast<void *>(-1);

} // namespace

bool RecordReader::next(Record &r) {
    if (m_damaged || m_pos >= m_stream.size())
        return false;
    if (m_stream.size() - m_pos < 4) {
        m_damaged = true;
        return false;
    }
    const char *p = m_stream.data() + m_pos;
    const size_t length = le16(p + 2);
    if (length > kMaxRecordLength || m_stream.size() - m_pos - 4 < length) {
        m_damaged = true;
        return false;
    }
    r.type = le16(p);
    r.offset = m_pos;
    r.data = m_stream.substr(m_pos + 4, length);
    m_pos += 4 + length;
    return true;
}

bool RecordReader::peek(quint16 *type) const {
    if (m_damaged || m_stream.size() - std::min(m_pos, m_stream.size()) < 4)
        return false;
    *type = le16(m_stream.data() + m_pos);
    return true;
}

CodePage::CodePage() : m_iconv(kNoIconv) {
    set(1252);
}

CodePage::~CodePage() {
    if (m_iconv != kNoIconv)
        iconv_close(static_cast<iconv_t>(m_iconv));
}

bool CodePage::set(int codePage) {
    if (codePage == 1200) { // UTF-16: BIFF8 strings say their own width
        m_codePage = codePage;
        return true;
    }
    const char *name = iconvName(codePage);
    if (!name)
        return false;
    const iconv_t cd = iconv_open("UTF-16LE", name);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    if (m_iconv != kNoIconv)
        iconv_close(static_cast<iconv_t>(m_iconv));
    m_iconv = cd;
    m_codePage = codePage;
    return true;
}

// True when every character of text (UTF-16LE) has a place in the character
// set named: a test of whether bytes read as UTF-16 give common Chinese.
static bool encodesIn(const char *charset, std::string_view utf16) {
    thread_local struct Converters {
        iconv_t gb = iconv_open("GB2312", "UTF-16LE");
        iconv_t big5 = iconv_open("BIG5", "UTF-16LE");
        ~Converters() {
            for (iconv_t cd : {gb, big5})
                if (cd != reinterpret_cast<iconv_t>(-1))
                    iconv_close(cd);
        }
    } converters;
    const iconv_t cd = std::strcmp(charset, "GB2312") == 0 ? converters.gb : converters.big5;
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char out[512];
    char *in = const_cast<char *>(utf16.data());
    size_t inLeft = utf16.size();
    while (inLeft > 0) {
        char *outp = out;
        size_t outLeft = sizeof out;
        if (iconv(cd, &in, &inLeft, &outp, &outLeft) == size_t(-1) && errno != E2BIG)
            return false;
    }
    return true;
}

// A BIFF5/7 workbook that names code page 1200 (UTF-16) keeps its byte
// strings in two forms, as one spreadsheet program writes them: text that
// fits in eight bits as single bytes, other text as UTF-16LE with the count
// in bytes. Nothing in the record tells which. A string is read as UTF-16
// when its count is even and it reads as UTF-16 without control characters
// or broken surrogate pairs; when its bytes are also plain printable ASCII,
// only if every character then is a common Chinese one (GB2312 or Big5), so
// English words stay words while names such as "李" (bytes "Ng") read right.
static std::optional<QString> utf16ByteString(std::string_view bytes) {
    if (bytes.empty() || bytes.size() % 2 != 0)
        return std::nullopt;
    bool printableAscii = true;
    for (char c : bytes)
        printableAscii = printableAscii && quint8(c) >= 0x20 && quint8(c) < 0x7F;
    QString text(qsizetype(bytes.size() / 2), Qt::Uninitialized);
    bool wide = false;
    for (size_t i = 0; i < bytes.size(); i += 2) {
        const char16_t unit = char16_t(quint8(bytes[i]) | quint8(bytes[i + 1]) << 8);
        if (unit < 0x20 || (unit >= 0x7F && unit < 0xA0) || unit == 0xFFFE || unit == 0xFFFF)
            return std::nullopt;
        wide = wide || unit >= 0x100;
        text[qsizetype(i / 2)] = QChar(unit);
    }
    if (!wide || !text.isValidUtf16())
        return std::nullopt;
    if (printableAscii && !encodesIn("GB2312", bytes) && !encodesIn("BIG5", bytes))
        return std::nullopt;
    return text;
}

QString CodePage::decode(std::string_view bytes) const {
    if (m_codePage == 1200) {
        if (std::optional<QString> wide = utf16ByteString(bytes))
            return *wide;
    }
    bool ascii = true;
    for (char c : bytes)
        ascii = ascii && quint8(c) < 0x80;
    if (ascii || m_iconv == kNoIconv)
        return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
    QString out(qsizetype(bytes.size()), Qt::Uninitialized); // one byte gives at most one unit
    const auto cd = static_cast<iconv_t>(m_iconv);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char *in = const_cast<char *>(bytes.data());
    size_t inLeft = bytes.size();
    char *outp = reinterpret_cast<char *>(out.data());
    size_t outLeft = size_t(out.size()) * 2;
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &outp, &outLeft) != size_t(-1))
            break;
        if (outLeft < 2)
            break;
        // A byte the code page does not map shows as a replacement character.
        const char16_t replacement = 0xFFFD;
        std::memcpy(outp, &replacement, 2);
        outp += 2;
        outLeft -= 2;
        ++in;
        --inLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    out.truncate(qsizetype((reinterpret_cast<QChar *>(outp) - out.data())));
    return out;
}

bool Cursor::ensure(size_t n) {
    while (m_part < m_parts.size() && m_pos == m_parts[m_part].size() &&
           m_part + 1 < m_parts.size()) {
        ++m_part;
        m_pos = 0;
    }
    return m_part < m_parts.size() && m_parts[m_part].size() - m_pos >= n;
}

size_t Cursor::remaining() const {
    if (m_failed || m_part >= m_parts.size())
        return 0;
    size_t n = m_parts[m_part].size() - m_pos;
    for (size_t i = m_part + 1; i < m_parts.size(); ++i)
        n += m_parts[i].size();
    return n;
}

quint8 Cursor::u8() {
    if (m_failed || !ensure(1)) {
        m_failed = true;
        return 0;
    }
    return quint8(m_parts[m_part][m_pos++]);
}

quint16 Cursor::u16() {
    if (!m_failed && ensure(2)) {
        const quint16 v = le16(m_parts[m_part].data() + m_pos);
        m_pos += 2;
        return v;
    }
    const quint16 lo = u8();
    return quint16(lo | quint16(u8()) << 8);
}

quint32 Cursor::u32() {
    if (!m_failed && ensure(4)) {
        quint32 v;
        std::memcpy(&v, m_parts[m_part].data() + m_pos, 4);
        m_pos += 4;
        return qFromLittleEndian(v);
    }
    const quint32 lo = u16();
    return lo | quint32(u16()) << 16;
}

double Cursor::f64() {
    if (!m_failed && ensure(8)) {
        quint64 bits;
        std::memcpy(&bits, m_parts[m_part].data() + m_pos, 8);
        m_pos += 8;
        bits = qFromLittleEndian(bits);
        double v;
        std::memcpy(&v, &bits, 8);
        return v;
    }
    unsigned char b[8];
    for (auto &c : b)
        c = u8();
    double v;
    std::memcpy(&v, b, 8);
    return v;
}

void Cursor::skip(size_t n) {
    while (n > 0 && !m_failed) {
        if (!ensure(1)) {
            m_failed = true;
            return;
        }
        const size_t step = std::min(n, m_parts[m_part].size() - m_pos);
        m_pos += step;
        n -= step;
    }
}

QString Cursor::unicodeString(size_t count) {
    const quint8 flags = u8();
    bool wide = flags & 0x01;
    const quint16 runs = (flags & 0x08) ? u16() : 0;
    const quint32 phonetic = (flags & 0x04) ? u32() : 0;
    if (m_failed)
        return QString();
    QString out(qsizetype(count), Qt::Uninitialized);
    size_t done = 0;
    while (done < count) {
        if (m_part >= m_parts.size()) {
            m_failed = true;
            return QString();
        }
        if (m_pos == m_parts[m_part].size()) {
            // The characters go on in the next CONTINUE record, which starts
            // with a fresh option byte.
            if (m_part + 1 >= m_parts.size()) {
                m_failed = true;
                return QString();
            }
            ++m_part;
            m_pos = 0;
            wide = u8() & 0x01;
            if (m_failed)
                return QString();
            continue;
        }
        const std::string_view part = m_parts[m_part];
        const size_t avail = (part.size() - m_pos) / (wide ? 2 : 1);
        if (avail == 0) { // half a character at the end of a record
            m_failed = true;
            return QString();
        }
        const size_t n = std::min(avail, count - done);
        const char *p = part.data() + m_pos;
        QChar *dst = out.data() + done;
        if (wide) {
            std::memcpy(dst, p, n * 2);
        } else {
            for (size_t i = 0; i < n; ++i)
                dst[i] = QChar(char16_t(quint8(p[i])));
        }
        m_pos += n * (wide ? 2 : 1);
        done += n;
    }
    skip(size_t(runs) * 4);
    skip(phonetic);
    return m_failed ? QString() : out;
}

QString Cursor::byteString(size_t count, const CodePage &cp) {
    std::string bytes;
    bytes.reserve(count);
    while (bytes.size() < count && !m_failed) {
        if (!ensure(1)) {
            m_failed = true;
            break;
        }
        const std::string_view part = m_parts[m_part];
        const size_t n = std::min(count - bytes.size(), part.size() - m_pos);
        bytes.append(part.data() + m_pos, n);
        m_pos += n;
    }
    return m_failed ? QString() : cp.decode(bytes);
}

} // namespace zorv::sheet::biff
