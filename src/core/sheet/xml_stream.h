#pragma once
// Streams one part of a zip package through expat's SAX parser, handing
// element names without their namespace prefix, so no document tree is built.

#include <QString>
#include <atomic>
#include <string>
#include <string_view>
#include <zip.h>

namespace zorv::sheet {

class XmlHandler {
public:
    virtual ~XmlHandler() = default;
    virtual void startElement(std::string_view name, const char **attrs) = 0;
    virtual void endElement(std::string_view name) = 0;
    virtual void characters(std::string_view text) { (void)text; }
    // A handler sets this to stop the parse with an error of its own, and
    // overBudget too when the error is that the part holds too much.
    QString failure;
    bool overBudget = false;
};

// What went wrong in the zip library, in Chinese with the library's code.
QString zipErrorText(zip_error_t *error);
// "x:row" -> "row".
std::string_view localName(const char *qname);
// The value of the attribute whose local name is name, or nullptr.
const char *attribute(const char **attrs, std::string_view name);

// Index of the entry named name (exact, else ignoring case); -1 when absent.
zip_int64_t findEntry(zip_t *zip, const std::string &name);
// Progress and stop flags a parse looks at between chunks; any may be null.
struct ChunkWatch {
    std::atomic<qint64> *bytes = nullptr; // uncompressed bytes parsed are added here
    const std::atomic<bool> *stop = nullptr;
    const std::atomic<bool> *stopToo = nullptr;
    // More uncompressed bytes than this fail the parse as over budget; -1: no limit.
    qint64 maxBytes = -1;
};

// Parses the entry; false with *reason on a read error, malformed XML, a
// document type declaration (never part of a spreadsheet package), a handler
// failure, more bytes than watch.maxBytes (handler.overBudget set) or a stop.
bool parseEntry(zip_t *zip, zip_int64_t index, XmlHandler &handler, QString *reason,
                const ChunkWatch &watch = {});
// Uncompressed size of the entry, 0 when unknown.
qint64 entrySize(zip_t *zip, zip_int64_t index);

// Decodes the "_xHHHH_" escapes that Office XML uses for control characters.
std::string decodeXmlEscapes(std::string_view s);

} // namespace zorv::sheet
