#include "core/sheet/bookreader.h"
#include "core/sheet/xlsx_parts.h"

#include <QFile>

namespace zorv::sheet {

namespace {

struct ZipClose {
    void operator()(zip_t *z) const { zip_discard(z); }
};
using ZipPtr = std::unique_ptr<zip_t, ZipClose>;

bool parsePart(zip_t *zip, const std::string &part, XmlHandler &handler, QString *reason) {
    const zip_int64_t index = findEntry(zip, part);
    if (index < 0) {
        *reason = QString::fromStdString(part) + QStringLiteral(": missing");
        return false;
    }
    return parseEntry(zip, index, handler, reason);
}

// Reads the package's parts as they are asked for: the workbook and its
// relationships at open, shared strings and styles with the first sheet.
class XlsxReader final : public BookReader {
public:
    explicit XlsxReader(ZipPtr zip) : m_zip(std::move(zip)) {}

    bool load(OpenFailure *failure, QString *reason) {
        std::string workbookPart = "xl/workbook.xml";
        if (findEntry(m_zip.get(), "_rels/.rels") >= 0) {
            RelationshipsHandler root{std::string()};
            if (!parsePart(m_zip.get(), "_rels/.rels", root, reason)) {
                *failure = OpenFailure::Damaged;
                return false;
            }
            const std::string target = root.targetOf("officeDocument");
            if (!target.empty())
                workbookPart = target;
        }
        if (findEntry(m_zip.get(), workbookPart) < 0) {
            *failure = OpenFailure::NotSpreadsheet;
            *reason = QStringLiteral("no workbook part");
            return false;
        }
        WorkbookHandler book;
        if (!parsePart(m_zip.get(), workbookPart, book, reason)) {
            *failure = OpenFailure::Damaged;
            return false;
        }
        const std::string folder = folderOf(workbookPart);
        const std::string name = workbookPart.substr(folder.size());
        RelationshipsHandler rels{folder};
        if (!parsePart(m_zip.get(), folder + "_rels/" + name + ".rels", rels, reason)) {
            *failure = OpenFailure::Damaged;
            return false;
        }
        for (const auto &s : book.sheets) {
            const Relationship *r = rels.byId(s.relId);
            m_names << s.name;
            m_parts.push_back(r ? r->target : std::string());
        }
        if (m_names.isEmpty()) {
            *failure = OpenFailure::NoSheets;
            return false;
        }
        m_date1904 = book.date1904;
        m_active = std::min<int>(book.activeTab, int(m_names.size()) - 1);
        m_sharedPart = rels.targetOf("sharedStrings");
        m_stylesPart = rels.targetOf("styles");
        return true;
    }

    QStringList sheetNames() const override { return m_names; }
    int activeSheet() const override { return m_active; }

    std::optional<Sheet> readSheet(int index, QString *reason) override {
        if (index < 0 || index >= m_names.size()) {
            *reason = QStringLiteral("no sheet %1").arg(index + 1);
            return std::nullopt;
        }
        if (!loadShared(reason))
            return std::nullopt;
        const std::string &part = m_parts[size_t(index)];
        if (part.empty()) {
            *reason = QStringLiteral("sheet %1 has no part").arg(index + 1);
            return std::nullopt;
        }
        SheetBuilder builder(m_names[index], m_date1904);
        builder.setSharedStrings(m_strings);
        WorksheetHandler handler(builder, m_cellStyles);
        if (!parsePart(m_zip.get(), part, handler, reason))
            return std::nullopt;
        return builder.finish();
    }

private:
    bool loadShared(QString *reason) {
        if (m_sharedLoaded)
            return true;
        if (!m_sharedPart.empty()) {
            SharedStringsHandler sst;
            if (!parsePart(m_zip.get(), m_sharedPart, sst, reason))
                return false;
            m_strings = std::move(sst.strings);
        }
        // Without styles no cell is a date; the values still read.
        if (!m_stylesPart.empty()) {
            StylesHandler styles;
            QString ignored;
            if (parsePart(m_zip.get(), m_stylesPart, styles, &ignored))
                m_cellStyles = std::move(styles.cellStyles);
        }
        m_sharedLoaded = true;
        return true;
    }

    ZipPtr m_zip;
    QStringList m_names;
    std::vector<std::string> m_parts;
    int m_active = 0;
    bool m_date1904 = false;
    std::string m_sharedPart, m_stylesPart;
    bool m_sharedLoaded = false;
    std::vector<QString> m_strings;
    std::vector<DateStyle> m_cellStyles;
};

} // namespace

std::unique_ptr<BookReader> openXlsx(const QString &path, OpenFailure *failure, QString *reason) {
    int error = 0;
    ZipPtr zip(zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error));
    if (!zip) {
        zip_error_t ze;
        zip_error_init_with_code(&ze, error);
        *reason = QString::fromUtf8(zip_error_strerror(&ze));
        zip_error_fini(&ze);
        *failure = OpenFailure::Damaged;
        return nullptr;
    }
    auto reader = std::make_unique<XlsxReader>(std::move(zip));
    if (!reader->load(failure, reason))
        return nullptr;
    return reader;
}

} // namespace zorv::sheet
