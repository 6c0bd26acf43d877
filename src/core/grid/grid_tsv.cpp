#include "core/grid/grid_tsv.h"

#include "core/grid/grid_value.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cstring>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

namespace zorv::gridimpl {

namespace {

constexpr std::size_t kMinPart = std::size_t(8) << 20; // below this one thread does it all
constexpr unsigned kMaxParts = 4;
constexpr qint64 kTickLines = 65536;
constexpr qint64 kStopCheckLines = 4096;

struct Part {
    const char *begin = nullptr;
    const char *end = nullptr;
    RowId firstRow = 0;
    RowId rows = 0;
    qint64 firstLine = 0;
    std::size_t textAt = 0;
    std::size_t textSpace = 0;
    std::size_t textUsed = 0;
    qint64 errorLine = 0;
    int errorColumn = -1;
    std::string errorField;
    bool stopped = false;
    bool notUtf8 = false;
    bool outOfMemory = false;
    std::uint64_t lines = 0; // counted before the rows are set aside
};

// Threads that are joined however the scope that started them ends.
class Threads {
public:
    explicit Threads(std::size_t count) { m_threads.reserve(count); }
    ~Threads() { join(); }
    Threads(const Threads &) = delete;
    Threads &operator=(const Threads &) = delete;
    // False when the system would not start another thread.
    template <class Work> bool start(Work work) {
        try {
            m_threads.emplace_back(std::move(work));
            return true;
        } catch (const std::system_error &) {
            return false;
        } catch (const std::bad_alloc &) {
            return false;
        }
    }
    void join() {
        for (std::thread &t : m_threads)
            if (t.joinable())
                t.join();
    }

private:
    std::vector<std::thread> m_threads;
};

// Strict UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF.
bool validUtf8(const unsigned char *p, std::size_t n) {
    const unsigned char *const end = p + n;
    while (p < end) {
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        std::size_t len;
        unsigned char lo = 0x80, hi = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            len = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            len = 3;
            if (c == 0xE0)
                lo = 0xA0;
            else if (c == 0xED)
                hi = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4;
            if (c == 0xF0)
                lo = 0x90;
            else if (c == 0xF4)
                hi = 0x8F;
        } else {
            return false;
        }
        if (std::size_t(end - p) < len || p[1] < lo || p[1] > hi)
            return false;
        for (std::size_t k = 2; k < len; ++k)
            if ((p[k] & 0xC0) != 0x80)
                return false;
        p += len;
    }
    return true;
}

// The end of the field at p (the next tab, line feed or end); `high` gets
// the bits of the field's bytes or'ed together, to tell ASCII from the rest.
// Eight bytes at a time where the platform allows it.
inline const char *fieldEnd(const char *p, const char *end, std::uint64_t &high) {
    if constexpr (std::endian::native == std::endian::little) {
        constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
        constexpr std::uint64_t kHighs = 0x8080808080808080ULL;
        while (end - p >= 8) {
            std::uint64_t x;
            std::memcpy(&x, p, 8);
            const std::uint64_t tab = x ^ (kOnes * '\t');
            const std::uint64_t lf = x ^ (kOnes * '\n');
            // The lowest flagged byte is the first tab or line feed.
            const std::uint64_t found =
                ((tab - kOnes) & ~tab & kHighs) | ((lf - kOnes) & ~lf & kHighs);
            if (found) {
                const int bytes = std::countr_zero(found) / 8;
                if (bytes)
                    high |= x & (~std::uint64_t(0) >> (64 - 8 * bytes));
                return p + bytes;
            }
            high |= x;
            p += 8;
        }
    }
    while (p < end && *p != '\t' && *p != '\n')
        high |= static_cast<unsigned char>(*p++);
    return p;
}

const char *nextLine(const char *p, const char *end) {
    const void *nl = std::memchr(p, '\n', std::size_t(end - p));
    return nl ? static_cast<const char *>(nl) + 1 : end;
}

std::uint64_t countLines(const char *p, const char *end) {
    std::uint64_t n = 0;
    while (p < end) {
        p = nextLine(p, end);
        ++n;
    }
    return n;
}

// Stores one field into cell (c, row): a text into the arena at cursor, a
// number or date-time converted. False when the field does not convert.
inline bool putField(Storage &store, int c, RowId row, std::string_view field, char *text,
                     std::size_t &cursor) {
    const ColType type = store.type(c);
    if (type == ColType::String) {
        if (!field.empty())
            std::memcpy(text + cursor, field.data(), field.size());
        cursor += store.putText(c, row, cursor, field.size());
        return true;
    }
    double v = 0;
    bool isNull = true;
    const bool ok =
        type == ColType::Number ? parseNumber(field, v, isNull) : parseDateTime(field, v, isNull);
    if (ok)
        store.putNum(c, row, v, isNull);
    return ok;
}

void refuse(Part &part, qint64 line, int column, std::string_view field) {
    part.errorLine = line;
    part.errorColumn = column;
    part.errorField.assign(field);
}

// Parses one part. Only the part run on the calling thread ticks.
void parsePart(Storage &store, Part &part, std::atomic<bool> &stop,
               const std::function<bool(const char *, qint64)> *tick) {
    const int columns = store.columnCount();
    char *const text = store.arenaData();
    std::size_t cursor = part.textAt;
    const char *p = part.begin;
    const char *const end = part.end;
    RowId row = part.firstRow;
    const RowId rowsEnd = part.firstRow + part.rows;
    qint64 line = part.firstLine;
    // Never past the rows set aside for the part, whatever its bytes hold.
    for (; p < end && row != rowsEnd; ++row, ++line) {
        if ((line - part.firstLine) % kStopCheckLines == 0 && line != part.firstLine) {
            if (tick && (line - part.firstLine) % kTickLines == 0 && !(*tick)(p, line))
                stop = true;
            if (stop) {
                part.stopped = true;
                return;
            }
        }
        bool lineOver = false;
        for (int c = 0; c < columns; ++c) {
            const char *f = p;
            std::size_t length = 0;
            std::uint64_t high = 0;
            if (!lineOver) {
                p = fieldEnd(p, end, high);
                length = std::size_t(p - f);
                if (p < end && *p == '\t') {
                    ++p;
                } else {
                    lineOver = true;
                    if (length && f[length - 1] == '\r')
                        --length;
                }
            }
            const std::string_view field(f, length);
            if ((high & 0x8080808080808080ULL) &&
                !validUtf8(reinterpret_cast<const unsigned char *>(f), length)) {
                part.notUtf8 = true;
                stop = true;
                return;
            }
            if (!putField(store, c, row, field, text, cursor)) {
                refuse(part, line, c, field);
                return;
            }
        }
        p = lineOver ? (p < end ? p + 1 : end) : nextLine(p, end);
    }
    part.textUsed = cursor - part.textAt;
}

// Parses a part, on any thread: running out of memory there (copying the
// refused field) is handed back to the calling thread instead of ending the
// program.
template <class Parse> void guarded(Part &part, std::atomic<bool> &stop, Parse parse) {
    try {
        parse();
    } catch (const std::bad_alloc &) {
        part.outOfMemory = true;
        stop = true;
    }
}

// Whether a field of the text starts with a double quote: only then may it
// hold the quoted fields spreadsheet programs write for values with tabs,
// line breaks or a leading quote.
bool quoteAtFieldStart(const char *p, const char *end) {
    const char *const begin = p;
    while (const void *hit = std::memchr(p, '"', std::size_t(end - p))) {
        const char *q = static_cast<const char *>(hit);
        if (q == begin || q[-1] == '\t' || q[-1] == '\n')
            return true;
        p = q + 1;
    }
    return false;
}

// The quoted field at f (which starts with '"'): its value, doubled quotes
// standing for one, appended to out, and the position after the closing
// quote; nullptr (out untouched) unless the closing quote comes right before
// a tab, a line end or the end of the text.
const char *quotedField(const char *f, const char *end, std::string &out) {
    const std::size_t start = out.size();
    for (const char *q = f + 1; q < end; ++q) {
        if (*q != '"') {
            out += *q;
            continue;
        }
        if (q + 1 < end && q[1] == '"') {
            out += '"';
            ++q;
            continue;
        }
        const char *after = q + 1;
        if (after == end || *after == '\t' || *after == '\n' ||
            (*after == '\r' && (after + 1 == end || after[1] == '\n')))
            return after;
        break;
    }
    out.resize(start);
    return nullptr;
}

// Text with quoted fields cut into records of `columns` fields each: a
// quoted field loses its quotes and may span lines; any other field runs to
// the next tab or line feed as in plain text, a carriage return before the
// line feed dropped. Fields past `columns` are left out, missing ones empty.
struct QuotedRecords {
    std::string text;              // the kept fields' bytes, one after another
    std::vector<std::size_t> ends; // where each kept field ends in text
    std::vector<qint64> lines;     // the line of the text each record starts on
};

QuotedRecords splitQuoted(const char *p, const char *end, int columns, qint64 firstLine) {
    QuotedRecords r;
    qint64 line = firstLine;
    while (p < end) {
        r.lines.push_back(line);
        int kept = 0;
        bool recordOver = false;
        while (!recordOver) {
            const std::size_t start = r.text.size();
            const char *after = *p == '"' ? quotedField(p, end, r.text) : nullptr;
            if (after) {
                line += std::count(p, after, '\n');
                p = after;
                if (p < end && *p == '\r')
                    ++p;
            } else {
                const char *e = p;
                while (e < end && *e != '\t' && *e != '\n')
                    ++e;
                std::size_t length = std::size_t(e - p);
                if ((e == end || *e == '\n') && length && p[length - 1] == '\r')
                    --length;
                r.text.append(p, length);
                p = e;
            }
            if (p < end && *p == '\t') {
                ++p;
            } else {
                recordOver = true;
                if (p < end) {
                    ++p;
                    ++line;
                }
            }
            if (kept < columns) {
                r.ends.push_back(r.text.size());
                ++kept;
            } else {
                r.text.resize(start);
            }
            if (recordOver)
                break;
            if (p >= end) { // a tab ended the text: one more, empty field
                if (kept < columns) {
                    r.ends.push_back(r.text.size());
                    ++kept;
                }
                break;
            }
        }
        for (; kept < columns; ++kept)
            r.ends.push_back(r.text.size());
    }
    return r;
}

// Parses the records of text with quoted fields as one part, on the
// calling thread; ticks report the share of the records done.
void parseQuotedPart(Storage &store, Part &part, const QuotedRecords &r,
                     const std::function<bool(std::size_t, std::size_t, qint64)> &tick) {
    const int columns = store.columnCount();
    char *const text = store.arenaData();
    const std::size_t bytes = std::size_t(part.end - part.begin);
    std::size_t cursor = part.textAt;
    std::size_t from = 0;
    const std::size_t *end = r.ends.data();
    for (RowId i = 0; i < part.rows; ++i) {
        const qint64 line = r.lines[std::size_t(i)];
        if (tick && i && i % kTickLines == 0 &&
            !tick(std::size_t(i) * bytes / std::size_t(part.rows), bytes, line)) {
            part.stopped = true;
            return;
        }
        for (int c = 0; c < columns; ++c, ++end) {
            const std::string_view field(r.text.data() + from, *end - from);
            from = *end;
            if (!putField(store, c, part.firstRow + i, field, text, cursor)) {
                refuse(part, line, c, field);
                return;
            }
        }
    }
    part.textUsed = cursor - part.textAt;
}

// Sets aside the rows and text space of the parts, their lines counted: a
// part's text is never longer than the part, except for the length kept in
// front of texts of 16 MiB or more. False, with nothing set aside, when the
// store would hold more than maxRows rows. Throws std::bad_alloc (having
// perhaps set aside a part: the caller rolls back to its mark).
bool reserve(Storage &store, std::vector<Part> &parts, qint64 firstLine, RowId maxRows,
             RowId *total) {
    std::uint64_t lines = 0;
    for (const Part &part : parts)
        lines += part.lines;
    if (lines > std::uint64_t(maxRows) || store.rows() > maxRows - RowId(lines))
        return false;
    *total = 0;
    qint64 line = firstLine;
    for (Part &part : parts) {
        part.rows = RowId(part.lines);
        part.firstRow = store.rows() + *total;
        part.firstLine = line;
        *total += part.rows;
        line += part.rows;
    }
    store.growRows(*total);
    std::size_t space = 0;
    for (Part &part : parts) {
        const std::size_t length = std::size_t(part.end - part.begin);
        part.textSpace = length + sizeof(std::uint64_t) * ((length >> 24) + 1);
        part.textAt = space;
        space += part.textSpace;
    }
    const std::size_t base = store.growArena(space);
    for (Part &part : parts)
        part.textAt += base;
    return true;
}

// reserve() with the store rolled back when memory runs out.
bool reserveOrRollBack(Storage &store, const Storage::Mark &mark, std::vector<Part> &parts,
                       qint64 firstLine, RowId maxRows, RowId *total) {
    try {
        return reserve(store, parts, firstLine, maxRows, total);
    } catch (const std::bad_alloc &) {
        store.rollback(mark);
        throw;
    }
}

// The outcome of parsed parts: a field that was not UTF-8, did not convert,
// or a stop takes back everything appended since mark.
TsvOutcome collect(Storage &store, const Storage::Mark &mark, const std::vector<Part> &parts,
                   RowId total) {
    TsvOutcome out;
    for (const Part &part : parts) {
        if (part.outOfMemory) {
            store.rollback(mark);
            throw std::bad_alloc();
        }
    }
    for (const Part &part : parts) {
        if (part.notUtf8) {
            store.rollback(mark);
            out.notUtf8 = true;
            return out;
        }
    }
    for (const Part &part : parts) {
        if (part.errorLine) {
            store.rollback(mark);
            out.errorLine = part.errorLine;
            out.errorColumn = part.errorColumn;
            out.errorField = part.errorField;
            return out;
        }
        if (part.stopped) {
            store.rollback(mark);
            out.stopped = true;
            return out;
        }
    }
    std::size_t unused = 0;
    for (std::size_t k = 0; k + 1 < parts.size(); ++k)
        unused += parts[k].textSpace - parts[k].textUsed;
    store.endFill(parts.back().textAt + parts.back().textUsed, unused);
    out.rows = total;
    return out;
}

} // namespace

TsvOutcome appendTsv(Storage &store, const char *data, std::size_t size, qint64 firstLine,
                     const std::function<bool(std::size_t, std::size_t, qint64)> &tick,
                     RowId maxRows) {
    const char *const end = data + size;
    const char *p = data;
    for (qint64 line = 1; line < firstLine && p < end; ++line)
        p = nextLine(p, end);
    if (p >= end)
        return {};
    firstLine = std::max<qint64>(firstLine, 1);
    RowId total = 0;
    TsvOutcome refused;
    refused.tooManyRows = true;
    const Storage::Mark mark = store.mark();
    if (quoteAtFieldStart(p, end)) {
        const bool utf8 =
            validUtf8(reinterpret_cast<const unsigned char *>(p), std::size_t(end - p));
        const QuotedRecords r =
            utf8 ? splitQuoted(p, end, store.columnCount(), firstLine) : QuotedRecords();
        std::vector<Part> parts(1);
        parts[0].begin = p;
        parts[0].end = end;
        parts[0].lines = r.lines.size();
        parts[0].notUtf8 = !utf8;
        if (!reserveOrRollBack(store, mark, parts, firstLine, maxRows, &total))
            return refused;
        std::atomic<bool> stop = false;
        if (utf8)
            guarded(parts[0], stop, [&] { parseQuotedPart(store, parts[0], r, tick); });
        return collect(store, mark, parts, total);
    }

    // Cut into parts at line starts and count the lines of each.
    const std::size_t bytes = std::size_t(end - p);
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const unsigned wanted = unsigned(
        std::min<std::size_t>({cores, kMaxParts, std::max<std::size_t>(1, bytes / kMinPart)}));
    std::vector<Part> parts;
    const char *from = p;
    for (unsigned k = 1; k <= wanted && from < end; ++k) {
        const char *to = k == wanted ? end : nextLine(p + bytes * k / wanted - 1, end);
        if (to <= from)
            continue;
        Part part;
        part.begin = from;
        part.end = to;
        parts.push_back(part);
        from = to;
    }
    {
        Threads counters(parts.size());
        for (std::size_t k = 1; k < parts.size(); ++k) {
            Part &part = parts[k];
            if (!counters.start([&part] { part.lines = countLines(part.begin, part.end); }))
                part.lines = countLines(part.begin, part.end);
        }
        parts[0].lines = countLines(parts[0].begin, parts[0].end);
    }

    // Everything the parse needs is allocated before the rows are set
    // aside, so that nothing between that and collect() can throw.
    std::atomic<bool> stop = false;
    const std::function<bool(const char *, qint64)> mainTick = [&](const char *at, qint64 l) {
        // The first part stands for all: report its share of the whole.
        const std::size_t done = std::size_t(at - parts[0].begin) * parts.size();
        return tick(std::min(done, bytes), bytes, l);
    };
    std::vector<std::size_t> here; // parts no thread could be started for
    here.reserve(parts.size());
    {
        Threads workers(parts.size());
        if (!reserveOrRollBack(store, mark, parts, firstLine, maxRows, &total))
            return refused;
        for (std::size_t k = 1; k < parts.size(); ++k) {
            Part &part = parts[k];
            if (!workers.start([&store, &part, &stop] {
                    guarded(part, stop, [&] { parsePart(store, part, stop, nullptr); });
                }))
                here.push_back(k);
        }
        guarded(parts[0], stop,
                [&] { parsePart(store, parts[0], stop, tick ? &mainTick : nullptr); });
        if (parts[0].errorLine)
            stop = true; // the parts after it cannot matter any more
        for (std::size_t k : here)
            guarded(parts[k], stop, [&] { parsePart(store, parts[k], stop, nullptr); });
    }

    return collect(store, mark, parts, total);
}

} // namespace zorv::gridimpl
