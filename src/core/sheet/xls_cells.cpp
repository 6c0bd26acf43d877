#include "core/sheet/xls_book.h"

#include <cstring>

namespace zorv::sheet {

using namespace biff;

namespace {

QString errorText(quint8 code) {
    switch (code) {
    case 0x00:
        return QStringLiteral("#NULL!");
    case 0x07:
        return QStringLiteral("#DIV/0!");
    case 0x0F:
        return QStringLiteral("#VALUE!");
    case 0x17:
        return QStringLiteral("#REF!");
    case 0x1D:
        return QStringLiteral("#NAME?");
    case 0x24:
        return QStringLiteral("#NUM!");
    case 0x2A:
        return QStringLiteral("#N/A");
    case 0x2B:
        return QStringLiteral("#GETTING_DATA");
    default:
        return QStringLiteral("#VALUE!");
    }
}

// An RK value: a 30-bit integer or the top of a double, either maybe / 100.
double rkValue(quint32 rk) {
    double v;
    if (rk & 0x02) {
        v = double(qint32(rk) >> 2);
    } else {
        const quint64 bits = quint64(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&v, &bits, 8);
    }
    return (rk & 0x01) ? v / 100 : v;
}

} // namespace

// Reads the cells of one sheet's substream into a SheetBuilder.
class XlsCells {
public:
    XlsCells(const XlsBook &book, SheetBuilder &builder) : m_book(book), m_builder(builder) {
        m_slots.assign(book.m_xfFormats.size(), kUnset);
    }

    bool read(size_t offset, ReadControl &control, QString *reason);

private:
    static constexpr int kUnset = -2;

    bool cell(const Record &r, RecordReader &records, QString *reason);
    void number(int row, int column, int xf, double value);
    // The BIFF2 cell attributes carry the format number in their second byte.
    int attributesFormat(Cursor &c) {
        c.u8();
        const int f = c.u8() & 0x3F;
        c.u8();
        return f;
    }
    QString text(Cursor &c, bool wideCount);
    void reserveCells(const Record &r, size_t end);

    const XlsBook &m_book;
    SheetBuilder &m_builder;
    std::vector<int> m_slots; // builder slot of each XF's format, kUnset until used
    // A formula whose text result is in the STRING record that follows.
    bool m_pendingString = false;
    int m_pendingRow = 0, m_pendingColumn = 0;
};

void XlsCells::number(int row, int column, int xf, double value) {
    if (xf < 0 || size_t(xf) >= m_slots.size()) {
        m_builder.addNumber(row, column, value);
        return;
    }
    int &slot = m_slots[size_t(xf)];
    if (slot == kUnset)
        slot = std::max(0, m_builder.addFormat(m_book.m_xfFormats[size_t(xf)]));
    m_builder.addNumber(row, column, value, slot);
}

QString XlsCells::text(Cursor &c, bool wideCount) {
    if (m_book.m_version == Version::Biff8)
        return wideCount ? c.unicodeString16() : c.unicodeString8();
    return c.byteString(wideCount ? c.u16() : c.u8(), m_book.m_codePage);
}

// Room for the cells the sheet's used range holds, so that the cell list
// does not grow step by step; never more than the rest of the stream could
// hold (a cell takes at least six bytes), whatever a damaged range says.
void XlsCells::reserveCells(const Record &r, size_t end) {
    Cursor c(r.data);
    const bool biff8 = m_book.m_version == Version::Biff8;
    const quint64 firstRow = biff8 ? c.u32() : c.u16();
    const quint64 endRow = biff8 ? c.u32() : c.u16(); // one past the last
    const quint64 rows = endRow > firstRow ? endRow - firstRow : 0;
    const quint16 firstColumn = c.u16(), lastColumn = c.u16();
    if (c.failed())
        return;
    const quint64 columns = lastColumn > firstColumn ? lastColumn - firstColumn : 0;
    const quint64 most = (m_book.m_stream.size() - std::min(end, m_book.m_stream.size())) / 6;
    m_builder.reserve(size_t(std::min(rows * columns, most)));
}

bool XlsCells::read(size_t offset, ReadControl &control, QString *reason) {
    // Cells are bounded by the stream: every one takes at least six bytes of
    // it, and a text is no longer than its record.
    RecordReader records(m_book.m_stream, offset);
    control.total = qint64(m_book.m_stream.size() - offset);
    Record r;
    int depth = 0;
    quint32 count = 0;
    while (records.next(r)) {
        if ((++count & 0xFFF) == 0) {
            control.done = qint64(records.position() - offset);
            if (control.cancel)
                return false;
        }
        switch (r.type) {
        case rec::kBof:
        case rec::kBof2:
        case rec::kBof3:
        case rec::kBof4:
            ++depth; // a chart embedded in the sheet has a substream of its own
            continue;
        case rec::kEof:
            if (--depth <= 0) {
                control.done = control.total.load();
                return true;
            }
            continue;
        case rec::kFilePass:
            *reason = QStringLiteral("工作表设有密码保护");
            return false;
        case rec::kDimensions:
            if (depth == 1)
                reserveCells(r, records.position());
            break;
        case 0x0000:
            if (m_book.m_version >= Version::Biff5) {
                *reason = QStringLiteral("工作表数据中有一段被清空（位置 %1）").arg(r.offset);
                return false;
            }
            break;
        default:
            break;
        }
        if (depth == 1 && !cell(r, records, reason))
            return false;
    }
    *reason = records.damaged()
                  ? QStringLiteral("记录超出数据末尾（位置 %1）").arg(records.position())
                  : QStringLiteral("工作表数据不完整，缺少结束记录");
    return false;
}

bool XlsCells::cell(const Record &r, RecordReader &records, QString *reason) {
    const bool biff2 = m_book.m_version == Version::Biff2;
    Cursor c(r.data);
    auto damaged = [&] {
        *reason = QStringLiteral("单元格记录不完整（位置 %1）").arg(r.offset);
        return false;
    };
    // Reads row, column and the XF (or BIFF2 attributes' format).
    int row = 0, column = 0, xf = 0;
    auto head = [&] {
        row = c.u16() + 1;
        column = c.u16() + 1;
        xf = biff2 ? attributesFormat(c) : c.u16();
    };
    if (r.type != rec::kString && r.type != rec::kString2 && r.type != 0x04BC && r.type != 0x0221 &&
        r.type != 0x0236 && r.type != rec::kContinue)
        m_pendingString = false; // no STRING record came for the formula before

    switch (r.type) {
    case rec::kNumber:
    case rec::kNumber2: {
        if ((r.type == rec::kNumber2) != biff2)
            break;
        head();
        const double v = c.f64();
        if (c.failed())
            return damaged();
        number(row, column, xf, v);
        break;
    }
    case rec::kInteger2: {
        if (!biff2)
            break;
        head();
        const quint16 v = c.u16();
        if (c.failed())
            return damaged();
        number(row, column, xf, v);
        break;
    }
    case rec::kRk: {
        head();
        const quint32 rk = c.u32();
        if (c.failed())
            return damaged();
        number(row, column, xf, rkValue(rk));
        break;
    }
    case rec::kMulRk: {
        row = c.u16() + 1;
        const int first = c.u16() + 1;
        if (c.failed() || r.data.size() < 6 || (r.data.size() - 6) % 6 != 0)
            return damaged();
        const size_t n = (r.data.size() - 6) / 6;
        for (size_t i = 0; i < n; ++i) {
            const int f = c.u16();
            number(row, first + int(i), f, rkValue(c.u32()));
        }
        break;
    }
    case rec::kLabelSst: {
        head();
        const quint32 index = c.u32();
        if (c.failed())
            return damaged();
        if (index >= m_book.m_sst.size()) {
            *reason = QStringLiteral("第 %1 行第 %2 列引用的共享字符串 %3 不存在（表中只有 %4 个）")
                          .arg(row)
                          .arg(column)
                          .arg(index)
                          .arg(m_book.m_sst.size());
            return false;
        }
        m_builder.addText(row, column, m_book.m_sst[index]);
        break;
    }
    case rec::kLabel:
    case rec::kLabel2:
    case rec::kRString: {
        if ((r.type == rec::kLabel2) != biff2)
            break;
        head();
        if (m_book.m_version == Version::Biff8)
            XlsBook::takeContinues(records, c);
        const QString t = text(c, !biff2);
        if (c.failed())
            return damaged();
        m_builder.addText(row, column, t);
        break;
    }
    case rec::kBoolErr:
    case rec::kBoolErr2: {
        if ((r.type == rec::kBoolErr2) != biff2)
            break;
        head();
        const quint8 value = c.u8(), isError = c.u8();
        if (c.failed())
            return damaged();
        if (isError)
            m_builder.addError(row, column, errorText(value));
        else
            m_builder.addBoolean(row, column, value != 0);
        break;
    }
    case rec::kFormula:
    case rec::kFormula3:
    case rec::kFormula4: {
        head();
        unsigned char result[8];
        const double bits = c.f64(); // the result's eight bytes, as stored
        std::memcpy(result, &bits, 8);
        if (c.failed())
            return damaged();
        if (result[6] != 0xFF || result[7] != 0xFF) {
            double v;
            std::memcpy(&v, result, 8);
            number(row, column, xf, v);
            break;
        }
        switch (result[0]) {
        case 0: // text, in the STRING record that follows
            m_pendingString = true;
            m_pendingRow = row;
            m_pendingColumn = column;
            break;
        case 1:
            m_builder.addBoolean(row, column, result[2] != 0);
            break;
        case 2:
            m_builder.addError(row, column, errorText(result[2]));
            break;
        default: // 3: the empty string
            break;
        }
        break;
    }
    case rec::kString:
    case rec::kString2: {
        if (!m_pendingString)
            break;
        m_pendingString = false;
        if (m_book.m_version == Version::Biff8)
            XlsBook::takeContinues(records, c);
        const QString t = text(c, r.type == rec::kString);
        if (c.failed())
            return damaged();
        m_builder.addText(m_pendingRow, m_pendingColumn, t);
        break;
    }
    default:
        break;
    }
    return true;
}

std::optional<Sheet> XlsBook::readSheet(int index, ReadControl &control, QString *reason) const {
    if (index < 0 || size_t(index) >= m_sheets.size()) {
        *reason = QStringLiteral("没有第 %1 个工作表").arg(index + 1);
        return std::nullopt;
    }
    const SheetEntry &entry = m_sheets[size_t(index)];
    SheetBuilder builder(entry.name, m_date1904);
    XlsCells cells(*this, builder);
    if (!cells.read(entry.offset, control, reason))
        return std::nullopt;
    return builder.finish(reason);
}

} // namespace zorv::sheet
