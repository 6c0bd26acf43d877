#include "core/files/list_source.h"

#include "core/imports/import_common.h"
#include "core/text/gbtext.h"

using namespace Qt::Literals::StringLiterals;

namespace zorv::files {

std::unique_ptr<TextLines> TextLines::fromText(const QString &text) {
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QString &line : lines)
        if (line.endsWith(u'\r'))
            line.chop(1);
    return std::make_unique<TextLines>(std::move(lines));
}

bool TextLines::nextLine(QString *line) {
    if (m_next >= m_lines.size())
        return false;
    *line = m_lines.at(m_next++);
    return true;
}

bool isSheetPath(const QString &path) {
    return imports::isSpreadsheetPath(path);
}

QString listLineValue(const QString &line) {
    const QString t = text::trim(line);
    const qsizetype tab = t.indexOf(u'\t');
    return tab < 0 ? t : text::trim(t.left(tab));
}

QString listDialogTitle() {
    return u"打开文件"_s;
}

QString listDialogFilter() {
    return u"Excel文件 (*.xls),*.xls,文本文件 (*.TXT),*.TXT"_s;
}

} // namespace zorv::files
