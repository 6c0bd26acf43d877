#include "core/grid/grid_save_dialog.h"

#include "core/platform/platform.h"

#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

namespace zorv {

QString saveAsFilter() {
    return u"文本文件(*.txt),*.txt,CSV文件(*.csv),*.csv,Excel文件(*.xlsx),*.xlsx,"
           u"HTML文件(*.html),*.html"_s;
}

SaveFormat saveFormatFor(const QString &selectedFilter, const QString &path) {
    const QString kind = selectedFilter.isEmpty() ? QFileInfo(path).suffix() : selectedFilter;
    if (kind.startsWith(u"CSV"_s, Qt::CaseInsensitive))
        return SaveFormat::Csv;
    if (kind.startsWith(u"Excel"_s, Qt::CaseInsensitive) ||
        kind.startsWith(u"xls"_s, Qt::CaseInsensitive))
        return SaveFormat::Xlsx;
    if (kind.startsWith(u"HTML"_s, Qt::CaseInsensitive) ||
        kind.startsWith(u"htm"_s, Qt::CaseInsensitive))
        return SaveFormat::Html;
    return SaveFormat::Tsv;
}

bool saveGridWithDialog(const Grid &grid) {
    auto &p = platform();
    const auto choice = p.saveFile(u"另存为"_s, u"txt"_s, saveAsFilter());
    if (!choice || choice->path.isEmpty())
        return false;
    QString error;
    if (grid.saveAs(choice->path, saveFormatFor(choice->selectedFilter, choice->path), &error))
        return true;
    p.messageBox(u"提示"_s, error);
    return false;
}

} // namespace zorv
