#include "core/sheet/bookreader.h"

#include <QFile>
#include <freexl.h>

namespace zorv::sheet {

namespace {

// FreeXL parses the whole workbook when it opens, so reading a sheet only
// walks its cell table.
class XlsReader final : public BookReader {
public:
    explicit XlsReader(const void *handle) : m_handle(handle) {}
    ~XlsReader() override { freexl_close(m_handle); }

    bool loadNames(QString *reason) {
        unsigned int count = 0;
        if (freexl_get_info(m_handle, FREEXL_BIFF_SHEET_COUNT, &count) != FREEXL_OK) {
            *reason = QStringLiteral("no sheet directory");
            return false;
        }
        for (unsigned int i = 0; i < count && i < 65535; ++i) {
            const char *name = nullptr;
            if (freexl_get_worksheet_name(m_handle, static_cast<unsigned short>(i), &name) !=
                FREEXL_OK)
                name = nullptr;
            m_names << (name ? QString::fromUtf8(name) : QStringLiteral("Sheet%1").arg(i + 1));
        }
        return true;
    }

    QStringList sheetNames() const override { return m_names; }
    int activeSheet() const override { return 0; }

    std::optional<Sheet> readSheet(int index, ReadControl &control, QString *reason) override {
        if (index < 0 || index >= m_names.size() ||
            freexl_select_active_worksheet(m_handle, static_cast<unsigned short>(index)) !=
                FREEXL_OK) {
            *reason = QStringLiteral("sheet %1 cannot be selected").arg(index + 1);
            return std::nullopt;
        }
        unsigned int rows = 0;
        unsigned short columns = 0;
        if (freexl_worksheet_dimensions(m_handle, &rows, &columns) != FREEXL_OK) {
            *reason = QStringLiteral("sheet %1 has no dimensions").arg(index + 1);
            return std::nullopt;
        }
        SheetBuilder b(m_names.value(index));
        control.total = rows;
        for (unsigned int r = 0; r < rows && r < unsigned(kMaxRows); ++r) {
            control.done = r;
            if (control.cancel) {
                *reason = QStringLiteral("stopped");
                return std::nullopt;
            }
            for (unsigned short c = 0; c < columns; ++c) {
                FreeXL_CellValue v;
                if (freexl_get_cell_value(m_handle, r, c, &v) != FREEXL_OK)
                    continue;
                const int row = static_cast<int>(r) + 1, col = c + 1;
                switch (v.type) {
                case FREEXL_CELL_INT:
                    b.addNumber(row, col, v.value.int_value);
                    break;
                case FREEXL_CELL_DOUBLE:
                    b.addNumber(row, col, v.value.double_value);
                    break;
                case FREEXL_CELL_TEXT:
                case FREEXL_CELL_SST_TEXT:
                    if (v.value.text_value)
                        b.addText(row, col, QString::fromUtf8(v.value.text_value));
                    break;
                case FREEXL_CELL_DATE:
                case FREEXL_CELL_DATETIME:
                case FREEXL_CELL_TIME:
                    if (v.value.text_value)
                        b.addDateText(row, col, QString::fromUtf8(v.value.text_value));
                    break;
                default:
                    break;
                }
            }
        }
        return b.finish(reason);
    }

private:
    const void *m_handle;
    QStringList m_names;
};

} // namespace

std::unique_ptr<BookReader> openXls(const QString &path, OpenFailure *failure, QString *reason) {
    const void *handle = nullptr;
    const int rc = freexl_open(QFile::encodeName(path).constData(), &handle);
    if (rc != FREEXL_OK) {
        if (handle)
            freexl_close(handle);
        *failure = OpenFailure::Damaged;
        *reason = QStringLiteral("FreeXL error %1").arg(rc);
        return nullptr;
    }
    auto reader = std::make_unique<XlsReader>(handle);
    unsigned int password = 0;
    if (freexl_get_info(handle, FREEXL_BIFF_PASSWORD, &password) == FREEXL_OK &&
        password == FREEXL_BIFF_OBFUSCATED) {
        *failure = OpenFailure::Password;
        return nullptr;
    }
    if (!reader->loadNames(reason)) {
        *failure = OpenFailure::Damaged;
        return nullptr;
    }
    if (reader->sheetNames().isEmpty()) {
        *failure = OpenFailure::NoSheets;
        return nullptr;
    }
    return reader;
}

} // namespace zorv::sheet
