#include "core/sheet/xlsx_parts.h"

#include <charconv>
#include <cstring>

namespace zorv::sheet {

namespace {

int toInt(const char *s, int fallback) {
    if (!s)
        return fallback;
    int v = fallback;
    const char *end = s + std::strlen(s);
    auto res = std::from_chars(s, end, v);
    return res.ec == std::errc() ? v : fallback;
}

bool isTrue(const char *s) {
    return s && (std::strcmp(s, "1") == 0 || std::strcmp(s, "true") == 0);
}

// False, with the handler failed as over budget, once a list passes its cap.
bool roomFor(XmlHandler &handler, size_t count, qint64 cap, const QString &what) {
    if (qint64(count) < cap)
        return true;
    handler.failure = QStringLiteral("%1超过 %2 个").arg(what).arg(cap);
    handler.overBudget = true;
    return false;
}

} // namespace

void RichText::start(std::string_view name) {
    if (name == "rPh")
        ++phonetic;
    else if (name == "t" && phonetic == 0)
        inText = true;
}

void RichText::end(std::string_view name) {
    if (name == "rPh")
        phonetic = std::max(0, phonetic - 1);
    else if (name == "t")
        inText = false;
}

QString RichText::take() {
    // The buffer keeps its capacity from one string to the next.
    QString s = buffer.find("_x") == std::string::npos
                    ? QString::fromUtf8(buffer.data(), qsizetype(buffer.size()))
                    : QString::fromStdString(decodeXmlEscapes(buffer));
    buffer.clear();
    phonetic = 0;
    inText = false;
    tooLong = false;
    return s;
}

std::string folderOf(const std::string &part) {
    const size_t slash = part.rfind('/');
    return slash == std::string::npos ? std::string() : part.substr(0, slash + 1);
}

std::string resolvePart(const std::string &folder, const std::string &target) {
    std::string path = !target.empty() && target[0] == '/' ? target.substr(1) : folder + target;
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t slash = path.find('/', start);
        if (slash == std::string::npos)
            slash = path.size();
        const std::string piece = path.substr(start, slash - start);
        if (piece == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!piece.empty() && piece != ".") {
            parts.push_back(piece);
        }
        start = slash + 1;
    }
    std::string out;
    for (const auto &p : parts)
        out += (out.empty() ? "" : "/") + p;
    return out;
}

void RelationshipsHandler::startElement(std::string_view name, const char **attrs) {
    if (name != "Relationship")
        return;
    const char *id = attribute(attrs, "Id");
    const char *type = attribute(attrs, "Type");
    const char *target = attribute(attrs, "Target");
    const char *mode = attribute(attrs, "TargetMode");
    if (!id || !type || !target || (mode && std::strcmp(mode, "External") == 0))
        return;
    if (!roomFor(*this, relationships.size(), kMaxListed, QStringLiteral("关系")))
        return;
    m_byId.emplace(id, relationships.size()); // the first of a repeated id counts
    relationships.push_back({id, type, resolvePart(m_base, target)});
}

std::string RelationshipsHandler::targetOf(std::string_view kind) const {
    for (const auto &r : relationships) {
        const std::string_view type = r.type;
        if (type.size() > kind.size() && type.substr(type.size() - kind.size()) == kind &&
            type[type.size() - kind.size() - 1] == '/')
            return r.target;
    }
    return {};
}

const Relationship *RelationshipsHandler::byId(std::string_view id) const {
    auto it = m_byId.find(std::string(id));
    return it == m_byId.end() ? nullptr : &relationships[it->second];
}

void WorkbookHandler::startElement(std::string_view name, const char **attrs) {
    if (name == "sheet") {
        if (!roomFor(*this, sheets.size(), kMaxListed, QStringLiteral("工作表")))
            return;
        const char *sheetName = attribute(attrs, "name");
        const char *id = attribute(attrs, "id");
        sheets.push_back({QString::fromUtf8(sheetName ? sheetName : ""), id ? id : ""});
    } else if (name == "workbookPr") {
        date1904 = isTrue(attribute(attrs, "date1904"));
    } else if (name == "workbookView" && !m_sawView) {
        m_sawView = true;
        activeTab = std::max(0, toInt(attribute(attrs, "activeTab"), 0));
    }
}

void SharedStringsHandler::startElement(std::string_view name, const char **) {
    if (name == "si") {
        m_inItem = true;
        m_text.take();
    } else if (m_inItem) {
        m_text.start(name);
    }
}

void SharedStringsHandler::endElement(std::string_view name) {
    if (name == "si") {
        if (!roomFor(*this, strings.size(), m_maxStrings, QStringLiteral("共享字符串")))
            return;
        m_totalBytes += qint64(m_text.buffer.size());
        if (m_text.tooLong || m_totalBytes > kMaxTotalBytes) {
            failure = QStringLiteral("共享字符串的总长度超出上限");
            return;
        }
        strings.push_back(m_text.take());
        m_inItem = false;
    } else if (m_inItem) {
        m_text.end(name);
    }
}

void StylesHandler::startElement(std::string_view name, const char **attrs) {
    if (name == "numFmt") {
        const int id = toInt(attribute(attrs, "numFmtId"), -1);
        const char *code = attribute(attrs, "formatCode");
        if (!roomFor(*this, m_custom.size(), kMaxListed, QStringLiteral("数字格式")))
            return;
        if (id >= 0 && code)
            m_custom.insert_or_assign(id, std::string(code));
    } else if (name == "cellXfs") {
        m_inCellXfs = true;
    } else if (name == "xf" && m_inCellXfs) {
        if (!roomFor(*this, m_xfFormats.size(), kMaxListed, QStringLiteral("单元格格式")))
            return;
        m_xfFormats.push_back(toInt(attribute(attrs, "numFmtId"), 0));
    }
}

void StylesHandler::endElement(std::string_view name) {
    if (name != "cellXfs")
        return;
    m_inCellXfs = false;
    cellStyles.clear();
    cellStyles.reserve(m_xfFormats.size());
    for (int id : m_xfFormats) {
        // A format defined in the file overrides the built-in meaning of its number.
        auto custom = m_custom.find(id);
        cellStyles.push_back(custom != m_custom.end() ? NumberFormat(custom->second)
                                                      : NumberFormat::builtin(id));
    }
}

} // namespace zorv::sheet
