#pragma once
// Streaming handlers for the parts of an .xlsx package: relationships, the
// workbook, shared strings, styles (to tell dates) and a worksheet.

#include "core/sheet/number_format.h"
#include "core/sheet/sheet.h"
#include "core/sheet/xml_stream.h"

#include <QStringList>
#include <algorithm>
#include <string>
#include <unordered_map>
#include <vector>

namespace zorv::sheet {

// What one package may make the reader hold, in proportion to the file's
// size, so that a small file can never unpack into hundreds of MB: the
// unpacked XML of the parts read for one sheet, and the shared strings and
// cells kept (an element costs memory of its own beyond its bytes). Text
// compresses ten to twenty times; a hundred times leaves room for very
// repetitive sheets while the rare larger ratios are those of bombs.
struct ReadBudget {
    static constexpr qint64 kFloor = qint64(32) << 20;
    static constexpr qint64 kRatio = 100;
    static constexpr qint64 kBytesPerElement = 16;
    explicit ReadBudget(qint64 fileSize) : bytes(std::max(kFloor, fileSize * kRatio)) {}
    qint64 bytes;
    qint64 elements() const { return bytes / kBytesPerElement; }
};

// Sheets, relationships, cell formats and number formats a package may list:
// spreadsheet programs stop at about 64,000 of each.
inline constexpr qint64 kMaxListed = 65536;

// Text of a shared or inline string: plain <t>, or the runs <r><t> of rich
// text; phonetic guides (<rPh>) are not part of the value.
struct RichText {
    // Far beyond the 32,767 characters a spreadsheet cell holds; a longer
    // string only comes from a damaged or hostile file.
    static constexpr size_t kMaxBytes = 16 << 20;
    std::string buffer;
    int phonetic = 0;
    bool inText = false;
    bool tooLong = false;
    void start(std::string_view name);
    void end(std::string_view name);
    void characters(std::string_view text) {
        if (!inText)
            return;
        if (buffer.size() + text.size() > kMaxBytes)
            tooLong = true;
        else
            buffer.append(text);
    }
    QString take();
};

struct Relationship {
    std::string id, type, target; // target resolved against the owning part's folder
};

class RelationshipsHandler final : public XmlHandler {
public:
    explicit RelationshipsHandler(std::string baseFolder) : m_base(std::move(baseFolder)) {}
    std::vector<Relationship> relationships; // at most kMaxListed
    // Target of the first relationship whose type ends in "/" + kind; "" when none.
    std::string targetOf(std::string_view kind) const;
    const Relationship *byId(std::string_view id) const;
    void startElement(std::string_view name, const char **attrs) override;
    void endElement(std::string_view) override {}

private:
    std::string m_base;
    std::unordered_map<std::string, size_t> m_byId;
};

class WorkbookHandler final : public XmlHandler {
public:
    struct SheetEntry {
        QString name;
        std::string relId;
    };
    std::vector<SheetEntry> sheets; // at most kMaxListed
    int activeTab = 0;
    bool date1904 = false;
    void startElement(std::string_view name, const char **attrs) override;
    void endElement(std::string_view) override {}

private:
    bool m_sawView = false;
};

class SharedStringsHandler final : public XmlHandler {
public:
    explicit SharedStringsHandler(qint64 maxStrings = ReadBudget(0).elements())
        : m_maxStrings(maxStrings) {}
    std::vector<QString> strings;
    void startElement(std::string_view name, const char **attrs) override;
    void endElement(std::string_view name) override;
    void characters(std::string_view text) override { m_text.characters(text); }

private:
    static constexpr qint64 kMaxTotalBytes = qint64(1) << 30;
    qint64 m_maxStrings;
    bool m_inItem = false;
    qint64 m_totalBytes = 0;
    RichText m_text;
};

class StylesHandler final : public XmlHandler {
public:
    std::vector<NumberFormat> cellStyles; // by cell format (xf) index
    void startElement(std::string_view name, const char **attrs) override;
    void endElement(std::string_view name) override;

private:
    std::unordered_map<int, std::string> m_custom;
    std::vector<int> m_xfFormats;
    bool m_inCellXfs = false;
};

// Folder part of a package path ("xl/workbook.xml" -> "xl/").
std::string folderOf(const std::string &part);
// target resolved against folder: "worksheets/sheet1.xml", "/xl/x.xml", "../a.xml".
std::string resolvePart(const std::string &folder, const std::string &target);

// Most cells one sheet may hold in memory; a larger (or bomb) file is refused.
inline constexpr qint64 kMaxCells = 50'000'000;

class WorksheetHandler final : public XmlHandler {
public:
    WorksheetHandler(SheetBuilder &builder, const std::vector<NumberFormat> &cellStyles,
                     qint64 maxCells = kMaxCells)
        : m_builder(builder), m_styles(cellStyles), m_slots(cellStyles.size(), -1),
          m_maxCells(std::min(maxCells, kMaxCells)) {}
    void startElement(std::string_view name, const char **attrs) override;
    void endElement(std::string_view name) override;
    void characters(std::string_view text) override;
    // The part's unpacked size: a stated used range reserves room for no
    // more cells than that many bytes hold.
    void setPartSize(qint64 bytes) { m_reserveCap = bytes / kMinCellBytes; }

private:
    static constexpr qint64 kMinCellBytes = 15; // <c><v>1</v></c>
    void startCell(const char **attrs);
    void reserveCells(const char *ref);
    void finishCell();

    SheetBuilder &m_builder;
    const std::vector<NumberFormat> &m_styles;
    std::vector<int> m_slots; // the builder's slot of each style's format, -1 until used
    qint64 m_maxCells;
    qint64 m_cells = 0;
    qint64 m_reserveCap = 0;
    int m_row = 0;
    int m_column = 0;
    bool m_inCell = false;
    bool m_inValue = false;
    bool m_inInline = false;
    char m_type = 'n'; // n number, s shared, i inline, f formula text, b, e, d
    int m_style = -1;  // the cell's style (xf) index
    std::string m_value;
    RichText m_inlineText;
};

} // namespace zorv::sheet
