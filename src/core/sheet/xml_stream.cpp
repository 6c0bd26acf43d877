#include "core/sheet/xml_stream.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <expat.h>
#include <memory>

namespace zorv::sheet {

QString zipErrorText(zip_error_t *error) {
    const int code = error ? zip_error_code_zip(error) : 0;
    const int system = error ? zip_error_code_system(error) : 0;
    QString text;
    switch (code) {
    case ZIP_ER_NOZIP:
        text = QStringLiteral("不是 zip 压缩包");
        break;
    case ZIP_ER_INCONS:
    case ZIP_ER_CRC:
    case ZIP_ER_COMPNOTSUPP:
    case ZIP_ER_ZLIB:
        text = QStringLiteral("压缩数据损坏或无法解压");
        break;
    case ZIP_ER_MEMORY:
        text = QStringLiteral("内存不足");
        break;
    case ZIP_ER_OPEN:
    case ZIP_ER_READ:
    case ZIP_ER_SEEK:
    case ZIP_ER_NOENT:
        text = QStringLiteral("无法读取文件");
        break;
    case ZIP_ER_ENCRNOTSUPP:
    case ZIP_ER_NOPASSWD:
    case ZIP_ER_WRONGPASSWD:
        text = QStringLiteral("压缩数据已加密");
        break;
    default:
        text = QStringLiteral("压缩包无法读取");
        break;
    }
    // The library's own texts are English: its codes stand for them.
    return text + (system ? QStringLiteral("（错误 %1/%2）").arg(code).arg(system)
                          : QStringLiteral("（错误 %1）").arg(code));
}

std::string_view localName(const char *qname) {
    const char *colon = std::strrchr(qname, ':');
    return colon ? std::string_view(colon + 1) : std::string_view(qname);
}

const char *attribute(const char **attrs, std::string_view name) {
    for (int i = 0; attrs[i]; i += 2)
        if (localName(attrs[i]) == name)
            return attrs[i + 1];
    return nullptr;
}

zip_int64_t findEntry(zip_t *zip, const std::string &name) {
    zip_int64_t index = zip_name_locate(zip, name.c_str(), 0);
    if (index < 0)
        index = zip_name_locate(zip, name.c_str(), ZIP_FL_NOCASE);
    return index;
}

namespace {

struct ParseState {
    XML_Parser parser;
    XmlHandler *handler;
    bool doctype = false;
};

void onStart(void *data, const char *name, const char **attrs) {
    auto *s = static_cast<ParseState *>(data);
    s->handler->startElement(localName(name), attrs);
    if (!s->handler->failure.isEmpty())
        XML_StopParser(s->parser, XML_FALSE);
}

void onEnd(void *data, const char *name) {
    auto *s = static_cast<ParseState *>(data);
    s->handler->endElement(localName(name));
    if (!s->handler->failure.isEmpty())
        XML_StopParser(s->parser, XML_FALSE);
}

void onText(void *data, const char *text, int len) {
    auto *s = static_cast<ParseState *>(data);
    s->handler->characters(std::string_view(text, static_cast<size_t>(len)));
    if (!s->handler->failure.isEmpty())
        XML_StopParser(s->parser, XML_FALSE);
}

void onDoctype(void *data, const char *, const char *, const char *, int) {
    auto *s = static_cast<ParseState *>(data);
    s->doctype = true;
    XML_StopParser(s->parser, XML_FALSE);
}

struct ParserFree {
    void operator()(XML_Parser p) const { XML_ParserFree(p); }
};
struct ZipFileClose {
    void operator()(zip_file_t *f) const { zip_fclose(f); }
};

} // namespace

qint64 entrySize(zip_t *zip, zip_int64_t index) {
    zip_stat_t st;
    zip_stat_init(&st);
    if (index < 0 || zip_stat_index(zip, static_cast<zip_uint64_t>(index), 0, &st) != 0 ||
        !(st.valid & ZIP_STAT_SIZE))
        return 0;
    return static_cast<qint64>(std::min<zip_uint64_t>(st.size, INT64_MAX));
}

bool parseEntry(zip_t *zip, zip_int64_t index, XmlHandler &handler, QString *reason,
                const ChunkWatch &watch) {
    const char *entryName = zip_get_name(zip, static_cast<zip_uint64_t>(index), 0);
    const QString part = QString::fromUtf8(entryName ? entryName : "?");
    std::unique_ptr<zip_file_t, ZipFileClose> file(
        zip_fopen_index(zip, static_cast<zip_uint64_t>(index), 0));
    if (!file) {
        *reason = part + QStringLiteral("：") + zipErrorText(zip_get_error(zip));
        return false;
    }
    std::unique_ptr<std::remove_pointer_t<XML_Parser>, ParserFree> parser(
        XML_ParserCreate(nullptr));
    if (!parser) {
        *reason = QStringLiteral("内存不足");
        return false;
    }
    ParseState state{parser.get(), &handler};
    XML_SetUserData(parser.get(), &state);
    XML_SetElementHandler(parser.get(), onStart, onEnd);
    XML_SetCharacterDataHandler(parser.get(), onText);
    XML_SetStartDoctypeDeclHandler(parser.get(), onDoctype);

    constexpr int kChunk = 1 << 16;
    qint64 total = 0;
    for (;;) {
        void *buf = XML_GetBuffer(parser.get(), kChunk);
        if (!buf) {
            *reason = QStringLiteral("内存不足");
            return false;
        }
        const zip_int64_t n = zip_fread(file.get(), buf, kChunk);
        if (n < 0) {
            *reason = part + QStringLiteral("：") + zipErrorText(zip_file_get_error(file.get()));
            return false;
        }
        if ((watch.stop && *watch.stop) || (watch.stopToo && *watch.stopToo)) {
            *reason = QStringLiteral("已停止");
            return false;
        }
        if (watch.bytes)
            *watch.bytes += n;
        total += n;
        if (watch.maxBytes >= 0 && total > watch.maxBytes) {
            handler.overBudget = true;
            *reason = part + QStringLiteral("：解压超过 %1 字节").arg(watch.maxBytes);
            return false;
        }
        const bool last = n == 0;
        if (XML_ParseBuffer(parser.get(), static_cast<int>(n), last) != XML_STATUS_OK) {
            if (!handler.failure.isEmpty())
                *reason = part + QStringLiteral("：") + handler.failure;
            else if (state.doctype)
                *reason = part + QStringLiteral("：含有文档类型声明");
            else
                *reason = part + QStringLiteral("：第 %1 行 XML 格式错误（错误 %2）")
                                     .arg(XML_GetCurrentLineNumber(parser.get()))
                                     .arg(int(XML_GetErrorCode(parser.get())));
            return false;
        }
        if (last)
            return true;
    }
}

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

void appendUtf8(std::string &out, unsigned code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

} // namespace

std::string decodeXmlEscapes(std::string_view s) {
    if (s.find("_x") == std::string_view::npos)
        return std::string(s);
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '_' && i + 6 < s.size() && s[i + 1] == 'x' && s[i + 6] == '_') {
            unsigned code = 0;
            bool ok = true;
            for (size_t k = i + 2; k < i + 6 && ok; ++k) {
                const int h = hexValue(s[k]);
                ok = h >= 0;
                code = code * 16 + static_cast<unsigned>(std::max(h, 0));
            }
            // Surrogate halves are no characters on their own; keep such text as written.
            if (ok && !(code >= 0xD800 && code <= 0xDFFF)) {
                appendUtf8(out, code);
                i += 6;
                continue;
            }
        }
        out += s[i];
    }
    return out;
}

} // namespace zorv::sheet
