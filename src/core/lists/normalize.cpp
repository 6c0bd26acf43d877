#include "core/lists/normalize.h"

#include "core/lists/compare_table.h"

#include <QFile>
#include <cstring>
#include <opencc/opencc.h>

using namespace Qt::StringLiterals;

namespace zorv::lists {

namespace {

bool asciiBlank(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

bool blank(char32_t c) {
    return (c < 0x80 && asciiBlank(static_cast<unsigned char>(c))) || c == 0x00A0 || c == 0x2007 ||
           c == 0x202F || c == 0x3000;
}

std::string_view trimAscii(std::string_view s) {
    while (!s.empty() && asciiBlank(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    while (!s.empty() && asciiBlank(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    return s;
}

bool isAscii(std::string_view s) {
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

// Decodes one code point of well-formed UTF-8 at s[i]; advances i.
char32_t decode(std::string_view s, std::size_t &i) {
    const auto c = static_cast<unsigned char>(s[i]);
    int len = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    if (i + std::size_t(len) > s.size())
        len = 1;
    char32_t cp = len == 1 ? c : len == 2 ? c & 0x1F : len == 3 ? c & 0x0F : c & 0x07;
    for (int k = 1; k < len; ++k)
        cp = cp << 6 | (static_cast<unsigned char>(s[i + std::size_t(k)]) & 0x3F);
    i += std::size_t(len);
    return cp;
}

void encode(char32_t cp, std::string &out) {
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

// The ideographs OpenCC changes when converted one by one: the table of
// every ideograph of the basic plane, built with one call of a few hundred
// kilobytes. Converting every name costs about 2 µs a name, so only names
// holding one of these (or a character beyond the plane) are handed to it.
std::vector<bool> changedIdeographs(opencc_t cc) {
    constexpr char32_t kFirst = 0x2E80, kLast = 0xFAFF;
    std::vector<bool> changed(kLast - kFirst + 1, false);
    std::string all;
    for (char32_t cp = kFirst; cp <= kLast; ++cp) {
        if (cp >= 0xD800 && cp <= 0xF8FF) // surrogates and private use
            continue;
        encode(cp, all);
        all += '\n';
    }
    char *out = opencc_convert_utf8(cc, all.data(), all.size());
    if (!out)
        return std::vector<bool>(changed.size(), true);
    const std::string_view converted(out);
    std::size_t a = 0, b = 0;
    for (char32_t cp = kFirst; cp <= kLast && a < all.size() && b < converted.size(); ++cp) {
        if (cp >= 0xD800 && cp <= 0xF8FF)
            continue;
        const std::size_t ae = all.find('\n', a), be = converted.find('\n', b);
        if (ae == std::string::npos || be == std::string::npos)
            break;
        changed[cp - kFirst] =
            std::string_view(all).substr(a, ae - a) != converted.substr(b, be - b);
        a = ae + 1;
        b = be + 1;
    }
    const bool aligned = a == all.size() && b == converted.size();
    opencc_convert_utf8_free(out);
    // Lines that did not come back one for one: convert every ideograph.
    return aligned ? changed : std::vector<bool>(changed.size(), true);
}

// Texts that must live as long as the folder, in blocks that never move.
class TextStore {
public:
    std::string_view keep(std::string_view s) {
        if (s.empty())
            return {};
        if (m_blocks.empty() || m_used + s.size() > m_size) {
            m_size = std::max<std::size_t>(std::size_t(1) << 20, s.size());
            m_blocks.push_back(std::make_unique<char[]>(m_size));
            m_used = 0;
        }
        char *at = m_blocks.back().get() + m_used;
        std::memcpy(at, s.data(), s.size());
        m_used += s.size();
        return {at, s.size()};
    }

private:
    std::vector<std::unique_ptr<char[]>> m_blocks;
    std::size_t m_used = 0, m_size = 0;
};

} // namespace

std::string foldWidthAndBlanks(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (std::size_t i = 0; i < name.size();) {
        char32_t cp = decode(name, i);
        if (cp >= 0xFF01 && cp <= 0xFF5E)
            cp -= 0xFEE0;
        else if (cp == 0x3000)
            cp = ' ';
        encode(cp, out);
    }
    // Trim blanks of every kind from both ends.
    std::size_t begin = 0, end = out.size();
    while (begin < end) {
        std::size_t i = begin;
        if (!blank(decode(out, i)))
            break;
        begin = i;
    }
    while (end > begin) {
        std::size_t start = end - 1;
        while (start > begin && (static_cast<unsigned char>(out[start]) & 0xC0) == 0x80)
            --start;
        std::size_t i = start;
        if (!blank(decode(out, i)))
            break;
        end = start;
    }
    return out.substr(begin, end - begin);
}

struct NameFolder::Impl {
    opencc_t cc = reinterpret_cast<opencc_t>(-1);
    std::vector<bool> changed; // by code point from U+2E80

    // Whether OpenCC may change the text.
    bool mayBeTraditional(std::string_view s) const {
        for (std::size_t i = 0; i < s.size();) {
            const char32_t cp = decode(s, i);
            if (cp > 0xFFFF || (cp >= 0x2E80 && cp <= 0xFAFF && changed[cp - 0x2E80]))
                return true;
        }
        return false;
    }
    QString error;
    TextStore texts;
    NameTable raws{1024};               // names folded so far
    std::vector<std::string_view> keys; // by index in raws

    bool open() const { return cc != reinterpret_cast<opencc_t>(-1); }

    // Converts texts to simplified Chinese in place, joined into one call
    // where their line breaks allow.
    void toSimplified(std::vector<std::string> &items) {
        std::string joined;
        std::vector<std::size_t> batch;
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (items[i].find('\n') != std::string::npos) {
                items[i] = convert(items[i]);
                continue;
            }
            joined += items[i];
            joined += '\n';
            batch.push_back(i);
        }
        if (batch.empty())
            return;
        const std::string out = convert(joined);
        std::size_t at = 0, n = 0;
        std::vector<std::string> parts;
        parts.reserve(batch.size());
        while (at < out.size()) {
            const std::size_t nl = out.find('\n', at);
            if (nl == std::string::npos)
                break;
            parts.emplace_back(out, at, nl - at);
            at = nl + 1;
            ++n;
        }
        if (parts.size() != batch.size()) { // the dictionaries joined lines: one by one
            for (std::size_t i : batch)
                items[i] = convert(items[i]);
            return;
        }
        for (std::size_t k = 0; k < batch.size(); ++k)
            items[batch[k]] = std::move(parts[k]);
    }

    std::string convert(const std::string &s) {
        char *out = opencc_convert_utf8(cc, s.data(), s.size());
        if (!out)
            return s;
        std::string r(out);
        opencc_convert_utf8_free(out);
        return r;
    }
};

NameFolder::NameFolder() : d(std::make_unique<Impl>()) {
    const QString system = u"/usr/share/opencc/t2s.json"_s;
    d->cc = opencc_open("t2s.json");
    if (!d->open() && QFile::exists(system))
        d->cc = opencc_open(QFile::encodeName(system).constData());
    if (!d->open())
        d->error = u"无法载入繁简转换配置 t2s.json："_s + QString::fromUtf8(opencc_error());
    else
        d->changed = changedIdeographs(d->cc);
}

NameFolder::~NameFolder() {
    if (d->open())
        opencc_close(d->cc);
}

bool NameFolder::ok() const {
    return d->open();
}

QString NameFolder::error() const {
    return d->error;
}

std::vector<std::string_view> NameFolder::fold(const std::vector<std::string_view> &names) {
    std::vector<std::string_view> keys(names.size());
    // New non-ASCII names: their index in raws, and their pre-folded text
    // waiting for OpenCC.
    std::vector<std::uint32_t> pendingIndex;
    std::vector<std::string> pending;
    std::vector<std::int64_t> slot(names.size(), -1);
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string_view name = names[i];
        if (isAscii(name)) {
            keys[i] = trimAscii(name);
            continue;
        }
        bool inserted = false;
        const std::int64_t known = d->raws.find(name);
        const std::uint32_t index =
            known >= 0 ? std::uint32_t(known) : d->raws.insert(d->texts.keep(name), &inserted);
        slot[i] = index;
        if (!inserted)
            continue;
        d->keys.emplace_back();
        std::string folded = foldWidthAndBlanks(name);
        if (d->open() && d->mayBeTraditional(folded)) {
            pendingIndex.push_back(index);
            pending.push_back(std::move(folded));
        } else {
            d->keys[index] = d->texts.keep(folded);
        }
    }
    if (!pending.empty()) {
        d->toSimplified(pending);
        for (std::size_t k = 0; k < pending.size(); ++k)
            d->keys[pendingIndex[k]] = d->texts.keep(pending[k]);
    }
    for (std::size_t i = 0; i < names.size(); ++i)
        if (slot[i] >= 0)
            keys[i] = d->keys[std::size_t(slot[i])];
    return keys;
}

std::string_view NameFolder::foldOne(std::string_view name) {
    if (isAscii(name))
        return trimAscii(name);
    // Most names need nothing beyond trimming ASCII blanks: no full-width
    // form, no blank of another kind, no ideograph OpenCC would change.
    bool plain = true;
    for (std::size_t i = 0; i < name.size() && plain;) {
        const char32_t cp = decode(name, i);
        if (cp < 0x80)
            continue;
        plain = !(cp >= 0xFF01 && cp <= 0xFF5E) && !blank(cp) &&
                !(d->open() &&
                  (cp > 0xFFFF || (cp >= 0x2E80 && cp <= 0xFAFF && d->changed[cp - 0x2E80])));
    }
    if (plain)
        return trimAscii(name);
    const std::int64_t known = d->raws.find(name);
    if (known >= 0)
        return d->keys[std::size_t(known)];
    return fold({name}).front();
}

} // namespace zorv::lists
