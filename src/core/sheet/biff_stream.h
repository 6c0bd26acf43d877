#pragma once
// The record stream of a binary (BIFF) workbook: records of a 16-bit type and
// a 16-bit length, read with every bound checked, and the strings they hold
// (UTF-16 in BIFF8, the file's code page before).

#include <QString>
#include <QtGlobal>
#include <memory>
#include <string_view>
#include <vector>

namespace zorv::sheet::biff {

// The versions a record layout depends on.
enum class Version { Biff2, Biff3, Biff4, Biff5, Biff8 };

namespace rec {
constexpr quint16 kBof2 = 0x0009, kBof3 = 0x0209, kBof4 = 0x0409, kBof = 0x0809, kEof = 0x000A,
                  kBoundSheet = 0x0085, kWindow1 = 0x003D, kCodePage = 0x0042, kDateMode = 0x0022,
                  kFilePass = 0x002F, kSst = 0x00FC, kContinue = 0x003C, kLabelSst = 0x00FD,
                  kLabel = 0x0204, kLabel2 = 0x0004, kRString = 0x00D6, kNumber = 0x0203,
                  kNumber2 = 0x0003, kInteger2 = 0x0002, kRk = 0x027E, kMulRk = 0x00BD,
                  kBoolErr = 0x0205, kBoolErr2 = 0x0005, kFormula = 0x0006, kFormula3 = 0x0206,
                  kFormula4 = 0x0406, kString = 0x0207, kString2 = 0x0007, kFormat = 0x041E,
                  kFormat2 = 0x001E, kXf = 0x00E0, kXf2 = 0x0043, kXf3 = 0x0243, kXf4 = 0x0443,
                  kIndex2 = 0x000B, kIndex = 0x020B, kDimensions = 0x0200;
} // namespace rec

struct Record {
    quint16 type = 0;
    size_t offset = 0; // of the record's header in the stream
    std::string_view data;
};

// Walks records from an offset; next() is false at the end of the stream or
// on a record that runs past it (then damaged() is true).
class RecordReader {
public:
    RecordReader(std::string_view stream, size_t offset) : m_stream(stream), m_pos(offset) {}
    bool next(Record &r);
    // The type of the record next() would give, 0xFFFF... when none.
    bool peek(quint16 *type) const;
    bool damaged() const { return m_damaged; }
    size_t position() const { return m_pos; }

private:
    std::string_view m_stream;
    size_t m_pos;
    bool m_damaged = false;
};

// Turns the bytes of a code page into text; one per workbook.
class CodePage {
public:
    CodePage();
    ~CodePage();
    CodePage(const CodePage &) = delete;
    CodePage &operator=(const CodePage &) = delete;
    // False when the code page is none this system converts.
    bool set(int codePage);
    int codePage() const { return m_codePage; }
    QString decode(std::string_view bytes) const;

private:
    int m_codePage = 1252;
    void *m_iconv = nullptr; // iconv_t, (void*)-1 when none
};

// Reads the fields of one record and of the CONTINUE records that carry on
// its data, as one run of bytes; a string cut between two of them starts
// again, in the next, with a byte saying whether its characters are 8 or 16
// bits wide. Every read checks its bounds: failed() is true once a read ran
// past the end, after which reads give zeros.
class Cursor {
public:
    explicit Cursor(std::string_view data) { m_parts.push_back(data); }
    void addContinue(std::string_view data) { m_parts.push_back(data); }

    quint8 u8();
    quint16 u16();
    quint32 u32();
    double f64();
    void skip(size_t n);
    bool failed() const { return m_failed; }
    // Bytes left in this record and its continuations.
    size_t remaining() const;

    // A BIFF8 string of count characters after its option byte (count read
    // by the caller): rich-text runs and phonetic data are skipped.
    QString unicodeString(size_t count);
    // A BIFF8 string led by a 16-bit (or 8-bit) character count.
    QString unicodeString16() { return unicodeString(u16()); }
    QString unicodeString8() { return unicodeString(u8()); }
    // A string of count bytes in the workbook's code page.
    QString byteString(size_t count, const CodePage &cp);

private:
    bool ensure(size_t n); // n bytes readable in the current part, moving on when it is spent
    // The record and its continuations. Most records have none: the first
    // part needs no allocation (a cursor is made for every cell record).
    class Parts {
    public:
        void push_back(std::string_view p) {
            if (m_count++ == 0)
                m_first = p;
            else
                m_more.push_back(p);
        }
        size_t size() const { return m_count; }
        std::string_view operator[](size_t i) const { return i == 0 ? m_first : m_more[i - 1]; }

    private:
        std::string_view m_first;
        std::vector<std::string_view> m_more;
        size_t m_count = 0;
    };
    Parts m_parts;
    size_t m_part = 0;
    size_t m_pos = 0;
    bool m_failed = false;
};

} // namespace zorv::sheet::biff
