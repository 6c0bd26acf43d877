#include "core/grid/grid_save_dialog.h"

#include "core/platform/platform.h"

#include <QFileInfo>
#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace zorv {

QString saveAsFilter() {
    return u"文本文件(*.txt),*.txt,CSV文件(*.csv),*.csv,Excel文件(*.xlsx),*.xlsx,"
           u"HTML文件(*.html),*.html"_s;
}

namespace {

std::optional<SaveFormat> formatOfSuffix(const QString &suffix) {
    const QString s = suffix.toLower();
    if (s == u"txt")
        return SaveFormat::Tsv;
    if (s == u"csv")
        return SaveFormat::Csv;
    if (s == u"xlsx")
        return SaveFormat::Xlsx;
    if (s == u"htm" || s == u"html")
        return SaveFormat::Html;
    return std::nullopt;
}

SaveFormat formatOfFilter(const QString &filter) {
    if (filter.startsWith(u"CSV"_s, Qt::CaseInsensitive))
        return SaveFormat::Csv;
    if (filter.startsWith(u"Excel"_s, Qt::CaseInsensitive))
        return SaveFormat::Xlsx;
    if (filter.startsWith(u"HTML"_s, Qt::CaseInsensitive))
        return SaveFormat::Html;
    return SaveFormat::Tsv;
}

QString suffixOf(SaveFormat format) {
    switch (format) {
    case SaveFormat::Csv:
        return u"csv"_s;
    case SaveFormat::Xlsx:
        return u"xlsx"_s;
    case SaveFormat::Html:
        return u"html"_s;
    case SaveFormat::Tsv:
        break;
    }
    return u"txt"_s;
}

} // namespace

SaveTarget saveTargetFor(const QString &selectedFilter, const QString &path) {
    const QString suffix = QFileInfo(path).suffix();
    if (const auto typed = formatOfSuffix(suffix))
        return {path, *typed};
    const SaveFormat format = formatOfFilter(selectedFilter);
    if (!suffix.isEmpty())
        return {path, format};
    const QString stem = path.endsWith(u'.') ? path.chopped(1) : path;
    return {stem + u'.' + suffixOf(format), format};
}

bool saveGridWithDialog(const Grid &grid) {
    auto &p = platform();
    const auto choice = p.saveFile(u"另存为"_s, u"txt"_s, saveAsFilter());
    if (!choice || choice->path.isEmpty())
        return false;
    QString error;
    const SaveTarget target = saveTargetFor(choice->selectedFilter, choice->path);
    // The dialog asked about replacing the name it returned, not about the
    // name with the extension added here.
    if (target.path != choice->path && QFileInfo::exists(target.path) &&
        p.messageBox(u"另存为"_s, u"文件“"_s + target.path + u"”已存在，要替换它吗？"_s,
                     MsgIcon::Question, MsgButtons::YesNo) != MsgAnswer::Yes)
        return false;
    if (grid.saveAs(target.path, target.format, &error))
        return true;
    p.messageBox(u"提示"_s, error);
    return false;
}

} // namespace zorv
