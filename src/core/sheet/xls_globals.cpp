#include "core/sheet/xls_book.h"

#include <algorithm>

namespace zorv::sheet {

using namespace biff;

namespace {

// Sheet kinds of a BOF record.
constexpr quint16 kGlobals = 0x0005, kWorksheet = 0x0010, kChart = 0x0020, kMacro = 0x0040,
                  kWorkspace = 0x0100;

QString kindName(quint16 dt) {
    switch (dt) {
    case kChart:
        return QStringLiteral("Excel 图表文件");
    case kMacro:
        return QStringLiteral("Excel 宏表文件");
    case kWorkspace:
        return QStringLiteral("Excel 4.0 工作簿（多表）文件");
    default:
        return QStringLiteral("不是工作表的 Excel 文件");
    }
}

QString at(size_t offset) {
    return QStringLiteral("（位置 %1）").arg(offset);
}

} // namespace

void XlsBook::takeContinues(RecordReader &records, Cursor &cursor) {
    quint16 type = 0;
    Record next;
    while (records.peek(&type) && type == rec::kContinue && records.next(next))
        cursor.addContinue(next.data);
}

bool XlsBook::load(WorkbookStream stream, const QString &singleName, OpenFailure *failure,
                   QString *reason) {
    m_bytes = std::move(stream);
    m_stream = m_bytes.bytes;
    RecordReader records(m_stream, 0);
    Record bof;
    if (!records.next(bof) || bof.data.size() < 4) {
        *failure = OpenFailure::NotSpreadsheet;
        *reason = QStringLiteral("文件开头没有工作簿记录");
        return false;
    }
    Cursor c(bof.data);
    const quint16 version = c.u16(), dt = c.u16();
    switch (bof.type) {
    case rec::kBof2:
        m_version = Version::Biff2;
        break;
    case rec::kBof3:
        m_version = Version::Biff3;
        break;
    case rec::kBof4:
        m_version = Version::Biff4;
        break;
    case rec::kBof:
        m_version = version >= 0x0600 ? Version::Biff8 : Version::Biff5;
        break;
    default:
        *failure = OpenFailure::NotSpreadsheet;
        *reason = QStringLiteral("文件开头没有工作簿记录");
        return false;
    }
    if (m_version == Version::Biff8)
        m_codePage.set(1200);
    if (dt == kWorksheet) {
        // One worksheet in the stream: its formats come before its cells.
        m_sheets.push_back({singleName, 0, false});
        return loadGlobals(failure, reason);
    }
    if (dt != kGlobals || m_version < Version::Biff5) {
        *failure = OpenFailure::Unsupported;
        *reason = kindName(dt);
        return false;
    }
    return loadGlobals(failure, reason);
}

bool XlsBook::loadGlobals(OpenFailure *failure, QString *reason) {
    RecordReader records(m_stream, 0);
    Record r;
    records.next(r); // the BOF
    const bool single = !m_sheets.empty();
    std::vector<std::pair<quint8, size_t>> tabs; // kind and sheet index of every tab
    int activeTab = -1;
    bool ended = false;
    while (!ended && records.next(r)) {
        Cursor c(r.data);
        switch (r.type) {
        case rec::kEof:
            ended = true;
            break;
        case rec::kFilePass:
            *failure = OpenFailure::Password;
            return false;
        case rec::kCodePage:
            if (m_version != Version::Biff8)
                m_codePage.set(c.u16()); // an unknown one leaves Windows Western
            break;
        case rec::kDateMode:
            m_date1904 = c.u16() == 1;
            break;
        case rec::kWindow1:
            if (activeTab < 0 && r.data.size() >= 12) {
                c.skip(10);
                activeTab = c.u16();
            }
            break;
        case rec::kBoundSheet: {
            if (single)
                break;
            const quint32 offset = c.u32();
            const quint8 state = c.u8(), kind = c.u8();
            const QString name =
                m_version == Version::Biff8 ? c.unicodeString8() : c.byteString(c.u8(), m_codePage);
            if (c.failed()) {
                *failure = OpenFailure::Damaged;
                *reason = QStringLiteral("工作表目录记录不完整") + at(r.offset);
                return false;
            }
            tabs.push_back({kind, m_sheets.size()});
            if (kind == 0) // a worksheet; charts and macro or module sheets hold no cells
                m_sheets.push_back({name, offset, (state & 3) != 0});
            break;
        }
        case rec::kSst: {
            if (m_version != Version::Biff8)
                break;
            takeContinues(records, c);
            if (!readSst(c, reason)) {
                *failure = OpenFailure::Damaged;
                return false;
            }
            break;
        }
        case rec::kFormat:
        case rec::kFormat2:
            if (m_version == Version::Biff8)
                takeContinues(records, c);
            addFormat(r, c);
            break;
        case rec::kXf:
        case rec::kXf2:
        case rec::kXf3:
        case rec::kXf4:
            addXf(r);
            break;
        case 0x0000:
            if (m_version >= Version::Biff5) {
                *failure = OpenFailure::Damaged;
                *reason = QStringLiteral("工作簿数据中有一段被清空") + at(r.offset);
                return false;
            }
            break;
        default:
            break;
        }
    }
    if (!ended) {
        *failure = OpenFailure::Damaged;
        *reason = records.damaged() ? QStringLiteral("记录超出数据末尾") + at(records.position())
                                    : QStringLiteral("工作簿数据不完整，缺少结束记录");
        return false;
    }
    finishFormats();
    if (m_sheets.empty()) {
        *failure = OpenFailure::NoSheets;
        return false;
    }
    for (const SheetEntry &s : m_sheets) {
        RecordReader at0(m_stream, s.offset);
        Record b;
        if (s.offset >= m_stream.size() || !at0.next(b) ||
            (b.type != rec::kBof && b.type != rec::kBof2 && b.type != rec::kBof3 &&
             b.type != rec::kBof4)) {
            *failure = OpenFailure::Damaged;
            *reason = QStringLiteral("工作表“%1”的数据不在目录所指的位置").arg(s.name);
            return false;
        }
    }
    // WINDOW1 counts every tab, charts included.
    if (activeTab >= 0 && size_t(activeTab) < tabs.size() && tabs[size_t(activeTab)].first == 0)
        m_active = int(tabs[size_t(activeTab)].second);
    return true;
}

bool XlsBook::readSst(Cursor &c, QString *reason) {
    c.u32(); // references to strings in the workbook
    const quint32 unique = c.u32();
    // Each string takes at least three bytes: a longer list is a lie.
    if (c.failed() || unique > c.remaining() / 3) {
        *reason = QStringLiteral("共享字符串表声明的数目（%1）超出了它的数据").arg(unique);
        return false;
    }
    m_sst.reserve(unique);
    for (quint32 i = 0; i < unique; ++i) {
        m_sst.push_back(c.unicodeString16());
        if (c.failed()) {
            *reason = QStringLiteral("共享字符串表在第 %1 个字符串处中断（共声明 %2 个）")
                          .arg(i + 1)
                          .arg(unique);
            return false;
        }
    }
    return true;
}

void XlsBook::addFormat(const Record &r, Cursor &c) {
    int id = int(m_formatCodes.size()); // before BIFF5, formats are numbered in order
    QString code;
    if (m_version == Version::Biff8) {
        id = c.u16();
        code = c.unicodeString16();
    } else if (m_version == Version::Biff5) {
        id = c.u16();
        code = c.byteString(c.u8(), m_codePage);
    } else {
        if (r.type == rec::kFormat)
            c.skip(2);
        code = c.byteString(c.u8(), m_codePage);
    }
    if (!c.failed())
        m_formatCodes.push_back({id, code.toStdString()});
}

void XlsBook::addXf(const Record &r) {
    Cursor c(r.data);
    int format = 0;
    switch (m_version) {
    case Version::Biff2:
        c.skip(2);
        format = c.u8() & 0x3F;
        break;
    case Version::Biff3:
    case Version::Biff4:
        c.skip(1);
        format = c.u8();
        break;
    default:
        c.skip(2);
        format = c.u16();
        break;
    }
    m_xfFormat.push_back(c.failed() ? 0 : format);
}

void XlsBook::finishFormats() {
    auto codeOf = [this](int id) -> NumberFormat {
        for (auto it = m_formatCodes.rbegin(); it != m_formatCodes.rend(); ++it)
            if (it->first == id)
                return NumberFormat(it->second);
        // Before BIFF5 every format used is written out; numbers refer to them.
        return m_version >= Version::Biff5 ? NumberFormat::builtin(id) : NumberFormat();
    };
    m_xfFormats.reserve(m_xfFormat.size());
    for (int id : m_xfFormat)
        m_xfFormats.push_back(codeOf(id));
    if (m_version == Version::Biff2) {
        // BIFF2 cells name their format directly; keep them by format number.
        m_xfFormats.clear();
        for (int id = 0; id < 64; ++id)
            m_xfFormats.push_back(codeOf(id));
    }
}

} // namespace zorv::sheet
