#include "core/sheet/bookreader.h"
#include "core/sheet/xlsx_parts.h"

#include <QFile>
#include <QFileInfo>
#include <thread>

namespace zorv::sheet {

namespace {

struct ZipClose {
    void operator()(zip_t *z) const { zip_discard(z); }
};
using ZipPtr = std::unique_ptr<zip_t, ZipClose>;

struct Joiner {
    std::thread &thread;
    ~Joiner() {
        if (thread.joinable())
            thread.join();
    }
};

// The unpacked bytes parts may still take, counted from their sizes in the
// zip's directory; each part is held to its stated size while it is parsed.
class Allowance {
public:
    explicit Allowance(qint64 bytes) : m_left(bytes) {}
    // Takes the entry's size; false with *reason when it does not fit.
    bool take(zip_t *zip, zip_int64_t entry, ChunkWatch &watch, QString *reason) {
        const qint64 size = entrySize(zip, entry);
        if (size > m_left) {
            const char *name = zip_get_name(zip, zip_uint64_t(entry), 0);
            *reason = QString::fromUtf8(name ? name : "?") +
                      QStringLiteral("：解压后有 %1 字节，超出按文件大小允许的上限").arg(size);
            return false;
        }
        m_left -= size;
        watch.maxBytes = size;
        return true;
    }

private:
    qint64 m_left;
};

// Parses a part within the allowance; false with *failure set when it is
// missing, damaged or too large.
bool parsePart(zip_t *zip, const std::string &part, XmlHandler &handler, Allowance &allowance,
               OpenFailure *failure, QString *reason) {
    *failure = OpenFailure::Damaged;
    const zip_int64_t index = findEntry(zip, part);
    if (index < 0) {
        *reason = QString::fromStdString(part) + QStringLiteral("：缺少这一部分");
        return false;
    }
    ChunkWatch watch;
    if (!allowance.take(zip, index, watch, reason)) {
        *failure = OpenFailure::TooLarge;
        return false;
    }
    if (parseEntry(zip, index, handler, reason, watch))
        return true;
    if (handler.overBudget)
        *failure = OpenFailure::TooLarge;
    return false;
}

// Reads the package's parts as they are asked for: the workbook and its
// relationships at open, shared strings and styles with the first sheet.
class XlsxReader final : public BookReader {
public:
    XlsxReader(QString path, ZipPtr zip)
        : m_path(std::move(path)), m_zip(std::move(zip)), m_budget(QFileInfo(m_path).size()) {}

    bool load(OpenFailure *failure, QString *reason) {
        Allowance allowance(m_budget.bytes);
        std::string workbookPart = "xl/workbook.xml";
        if (findEntry(m_zip.get(), "_rels/.rels") >= 0) {
            RelationshipsHandler root{std::string()};
            if (!parsePart(m_zip.get(), "_rels/.rels", root, allowance, failure, reason))
                return false;
            const std::string target = root.targetOf("officeDocument");
            if (!target.empty())
                workbookPart = target;
        }
        if (findEntry(m_zip.get(), workbookPart) < 0) {
            *reason = otherKind();
            *failure = reason->isEmpty() ? OpenFailure::NotSpreadsheet : OpenFailure::Unsupported;
            if (reason->isEmpty())
                *reason = QStringLiteral("压缩包中没有工作簿");
            return false;
        }
        WorkbookHandler book;
        if (!parsePart(m_zip.get(), workbookPart, book, allowance, failure, reason))
            return false;
        const std::string folder = folderOf(workbookPart);
        const std::string name = workbookPart.substr(folder.size());
        RelationshipsHandler rels{folder};
        if (!parsePart(m_zip.get(), folder + "_rels/" + name + ".rels", rels, allowance, failure,
                       reason))
            return false;
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

    std::optional<Sheet> readSheet(int index, ReadControl &control, QString *reason) override {
        if (index < 0 || index >= m_names.size() || m_parts[size_t(index)].empty()) {
            *reason = QStringLiteral("第 %1 个工作表没有数据部分").arg(index + 1);
            return std::nullopt;
        }
        const zip_int64_t sheetEntry = findEntry(m_zip.get(), m_parts[size_t(index)]);
        if (sheetEntry < 0) {
            *reason =
                QString::fromStdString(m_parts[size_t(index)]) + QStringLiteral("：缺少这一部分");
            return std::nullopt;
        }
        Allowance allowance(m_budget.bytes - m_heldBytes);
        loadStyles(allowance);
        const zip_int64_t sharedEntry =
            m_sharedLoaded || m_sharedPart.empty() ? -1 : findEntry(m_zip.get(), m_sharedPart);
        if (!m_sharedLoaded && !m_sharedPart.empty() && sharedEntry < 0) {
            *reason = QString::fromStdString(m_sharedPart) + QStringLiteral("：缺少这一部分");
            return std::nullopt;
        }
        const qint64 sharedSize = sharedEntry < 0 ? 0 : entrySize(m_zip.get(), sharedEntry);
        control.total = entrySize(m_zip.get(), sheetEntry) + sharedSize;
        ChunkWatch sheetWatch{&control.done, &control.cancel, nullptr};
        ChunkWatch sharedWatch{&control.done, &control.cancel, nullptr};
        if (!allowance.take(m_zip.get(), sheetEntry, sheetWatch, reason) ||
            (sharedEntry >= 0 && !allowance.take(m_zip.get(), sharedEntry, sharedWatch, reason))) {
            control.tooLarge = true;
            return std::nullopt;
        }

        // Large shared-string tables are parsed on a second thread, beside the
        // sheet: the sheet only keeps their numbers until both are done.
        std::atomic<bool> sheetFailed{false};
        sharedWatch.stopToo = &sheetFailed;
        SharedJob shared(m_budget.elements());
        std::thread sharedThread;
        const Joiner joiner{sharedThread};
        if (sharedEntry >= 0) {
            if (sharedSize > kParallelShared)
                sharedThread = std::thread([&] { shared.run(m_path, m_sharedPart, sharedWatch); });
            else
                shared.run(m_zip.get(), sharedEntry, sharedWatch);
        }

        SheetBuilder builder(m_names[index], m_date1904);
        WorksheetHandler handler(builder, m_cellStyles, m_budget.elements());
        handler.setPartSize(entrySize(m_zip.get(), sheetEntry));
        QString sheetReason;
        const bool sheetOk = parseEntry(m_zip.get(), sheetEntry, handler, &sheetReason, sheetWatch);
        sheetFailed = !sheetOk;
        if (sharedThread.joinable())
            sharedThread.join();
        if (!sheetOk) {
            *reason = sheetReason;
            control.tooLarge = handler.overBudget;
            return std::nullopt;
        }
        if (sharedEntry >= 0) {
            if (!shared.ok) {
                *reason = shared.reason;
                control.tooLarge = shared.handler.overBudget;
                return std::nullopt;
            }
            m_strings = std::move(shared.handler.strings);
            m_sharedLoaded = true;
            m_heldBytes += sharedSize; // the strings stay for the next sheets
        }
        builder.setSharedStrings(m_strings);
        return builder.finish(reason);
    }

private:
    static constexpr qint64 kParallelShared = 1 << 20;

    // The name of a spreadsheet kind in a zip package that is not read here
    // (binary workbook, OpenDocument); "" for any other package.
    QString otherKind() const {
        if (findEntry(m_zip.get(), "xl/workbook.bin") >= 0)
            return QStringLiteral("Excel 二进制工作簿 .xlsb");
        char type[80] = {};
        if (zip_file_t *f = zip_fopen(m_zip.get(), "mimetype", 0)) {
            zip_fread(f, type, sizeof type - 1);
            zip_fclose(f);
        }
        if (std::string_view(type).find("opendocument.spreadsheet") != std::string_view::npos)
            return QStringLiteral("OpenDocument 电子表格 .ods");
        return QString();
    }

    struct SharedJob {
        explicit SharedJob(qint64 maxStrings) : handler(maxStrings) {}
        SharedStringsHandler handler;
        bool ok = false;
        QString reason;
        void run(zip_t *zip, zip_int64_t entry, const ChunkWatch &watch) {
            ok = parseEntry(zip, entry, handler, &reason, watch);
        }
        // On its own thread: a zip handle is not shared between threads.
        void run(const QString &path, const std::string &part, const ChunkWatch &watch) {
            int error = 0;
            ZipPtr zip(zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error));
            const zip_int64_t entry = zip ? findEntry(zip.get(), part) : -1;
            if (entry < 0) {
                reason = QString::fromStdString(part) + QStringLiteral("：无法再次打开");
                return;
            }
            try {
                run(zip.get(), entry, watch);
            } catch (const std::bad_alloc &) {
                ok = false;
                reason = QStringLiteral("内存不足");
            }
        }
    };

    // Without styles no cell is a date; the values still read.
    void loadStyles(Allowance &allowance) {
        if (m_stylesLoaded)
            return;
        m_stylesLoaded = true;
        StylesHandler styles;
        OpenFailure ignored;
        QString reason;
        if (!m_stylesPart.empty() &&
            parsePart(m_zip.get(), m_stylesPart, styles, allowance, &ignored, &reason))
            m_cellStyles = std::move(styles.cellStyles);
    }

    QString m_path;
    ZipPtr m_zip;
    ReadBudget m_budget;
    qint64 m_heldBytes = 0; // of the shared strings, kept between sheets
    QStringList m_names;
    std::vector<std::string> m_parts;
    int m_active = 0;
    bool m_date1904 = false;
    std::string m_sharedPart, m_stylesPart;
    bool m_sharedLoaded = false;
    bool m_stylesLoaded = false;
    std::vector<QString> m_strings;
    std::vector<NumberFormat> m_cellStyles;
};

} // namespace

std::unique_ptr<BookReader> openXlsx(const QString &path, OpenFailure *failure, QString *reason) {
    int error = 0;
    ZipPtr zip(zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error));
    if (!zip) {
        zip_error_t ze;
        zip_error_init_with_code(&ze, error);
        *reason = zipErrorText(&ze);
        zip_error_fini(&ze);
        *failure = OpenFailure::Damaged;
        return nullptr;
    }
    auto reader = std::make_unique<XlsxReader>(path, std::move(zip));
    if (!reader->load(failure, reason))
        return nullptr;
    return reader;
}

} // namespace zorv::sheet
