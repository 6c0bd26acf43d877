#include "core/sheet/bookreader.h"
#include "core/sheet/xls_child.h"

#include <QFile>
#include <cstring>
#include <freexl.h>

namespace zorv::sheet {

namespace {

// Reads the stream a FreeXL run writes (see xls_child.h) into sheets.
class StreamParser {
public:
    explicit StreamParser(const std::string &data) : m_data(data) {}

    bool parse(QStringList &names, std::vector<Sheet> &sheets, OpenFailure *failure,
               QString *reason) {
        std::optional<SheetBuilder> builder;
        auto finishSheet = [&] {
            if (builder)
                sheets.push_back(*builder->finish());
            builder.reset();
        };
        while (m_pos < m_data.size()) {
            const char tag = m_data[m_pos++];
            quint32 row = 0;
            quint16 column = 0;
            switch (tag) {
            case xlsrecord::kFailed: {
                qint32 code = 0;
                if (!get(code))
                    return truncated(reason);
                *failure = OpenFailure::Damaged;
                *reason = QStringLiteral("FreeXL error %1").arg(code);
                return false;
            }
            case xlsrecord::kPassword:
                *failure = OpenFailure::Password;
                return false;
            case xlsrecord::kSheet: {
                QString name;
                if (!getText(name))
                    return truncated(reason);
                finishSheet();
                names << name;
                builder.emplace(name);
                break;
            }
            case xlsrecord::kInt:
            case xlsrecord::kDouble:
            case xlsrecord::kText:
            case xlsrecord::kDate: {
                if (!builder || !get(row) || !get(column))
                    return truncated(reason);
                const int r = int(std::min<quint32>(row, kMaxRows)) + 1, c = column + 1;
                if (tag == xlsrecord::kInt) {
                    qint32 v = 0;
                    if (!get(v))
                        return truncated(reason);
                    builder->addNumber(r, c, v);
                } else if (tag == xlsrecord::kDouble) {
                    double v = 0;
                    if (!get(v))
                        return truncated(reason);
                    builder->addNumber(r, c, v);
                } else {
                    QString text;
                    if (!getText(text))
                        return truncated(reason);
                    if (tag == xlsrecord::kText)
                        builder->addText(r, c, text);
                    else
                        builder->addDateText(r, c, text);
                }
                break;
            }
            case xlsrecord::kEnd:
                finishSheet();
                if (names.isEmpty())
                    *failure = OpenFailure::NoSheets;
                return !names.isEmpty();
            default:
                return truncated(reason);
            }
        }
        return truncated(reason);
    }

private:
    template <class T> bool get(T &value) {
        if (m_data.size() - m_pos < sizeof(T))
            return false;
        std::memcpy(&value, m_data.data() + m_pos, sizeof(T));
        m_pos += sizeof(T);
        return true;
    }
    bool getText(QString &text) {
        quint32 size = 0;
        if (!get(size) || m_data.size() - m_pos < size)
            return false;
        text = QString::fromUtf8(m_data.data() + m_pos, qsizetype(size));
        m_pos += size;
        return true;
    }
    static bool truncated(QString *reason) {
        *reason = QStringLiteral("the .xls reader stopped on this file");
        return false;
    }

    const std::string &m_data;
    size_t m_pos = 0;
};

// The whole workbook is read when it opens; a sheet is then handed out whole.
class XlsReader final : public BookReader {
public:
    QStringList names;
    std::vector<Sheet> sheets;

    QStringList sheetNames() const override { return names; }
    int activeSheet() const override { return 0; }
    std::optional<Sheet> readSheet(int index, ReadControl &, QString *reason) override {
        if (index < 0 || size_t(index) >= sheets.size()) {
            *reason = QStringLiteral("no sheet %1").arg(index + 1);
            return std::nullopt;
        }
        return sheets[size_t(index)];
    }
};

} // namespace

std::unique_ptr<BookReader> openXls(const QString &path, ReadControl &control, OpenFailure *failure,
                                    QString *reason) {
    std::string stream;
    if (!runXlsReader(QFile::encodeName(path), control, stream, reason)) {
        *failure = OpenFailure::Damaged;
        return nullptr;
    }
    auto reader = std::make_unique<XlsReader>();
    if (!StreamParser(stream).parse(reader->names, reader->sheets, failure, reason)) {
        if (*failure == OpenFailure::None)
            *failure = OpenFailure::Damaged;
        return nullptr;
    }
    return reader;
}

} // namespace zorv::sheet
