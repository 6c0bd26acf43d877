#include "core/files/new_names.h"

#include "core/platform/platform.h"
#include "core/platform/progress.h"
#include "core/text/gbtext.h"

#include <QFile>
#include <QSaveFile>

using namespace Qt::Literals::StringLiterals;

namespace zorv::files {

qint64 newNameRowTotal(const Grid &grid, const QString &sle1Text) {
    qint64 rows = grid.rowCount();
    if (rows == 0)
        rows = text::trim(sle1Text).toLongLong();
    if (rows < 1) {
        platform().messageBox(u"提示"_s, u"还没有源文件。如想用于合并Excel文件的列，请在"
                                         u"“源文件名包含”后输入总行数"_s);
        return 0;
    }
    return rows;
}

qint64 applyNewNames(Grid &grid, ListSource &list, qint64 rows, int columns,
                     ProgressSink &progress) {
    const FrnColumns c(grid);
    if (list.isSheet()) {
        const bool insert = grid.rowCount() == 0;
        for (qint64 r = 1; r <= rows; ++r) {
            progress.progress(r, rows, QString());
            if (insert)
                grid.insertRow(0);
            QString name;
            for (int col = 1; col <= columns; ++col)
                name += text::trim(list.cell(r, col));
            grid.setItem(r, c.filen, name);
        }
        return rows;
    }
    // A text file fills the existing rows only; rows past its last line get "".
    const qint64 filled = std::min(rows, grid.rowCount());
    QString line;
    for (qint64 r = 1; r <= filled; ++r) {
        progress.progress(r, filled, QString());
        grid.setItem(r, c.filen, list.nextLine(&line) ? listLineValue(line) : QString());
    }
    return filled;
}

bool importNewNames(Grid &grid, int columns, const QString &sle1Text, const ListOpener &open,
                    ProgressSink &progress) {
    const qint64 rows = newNameRowTotal(grid, sle1Text);
    if (rows < 1)
        return false;
    const auto choice = platform().openFile(listDialogTitle(), u"TXT"_s, listDialogFilter());
    if (!choice || choice->path.isEmpty()) {
        platform().messageBox(u"信息提示"_s, u"没有指定导入文件!"_s);
        return false;
    }
    const std::unique_ptr<ListSource> list = open(choice->path);
    if (!list)
        return false;
    applyNewNames(grid, *list, rows, columns, progress);
    return true;
}

bool exportSourceNames(const Grid &grid, const QString &path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        platform().messageBox(u"提示"_s, u"文件不能打开"_s);
        return false;
    }
    const int filey = FrnColumns(grid).filey;
    for (qint64 r = 1, n = grid.rowCount(); r <= n; ++r) {
        const QString name = grid.getItemString(r, filey);
        // The list is read back a line per row: a name holding a line break
        // would shift every later name onto the wrong file. Cancelling
        // leaves the file as it was.
        if (name.contains(u'\n') || name.contains(u'\r')) {
            file.cancelWriting();
            platform().messageBox(u"提示"_s,
                                  u"第%1行的源文件名含有换行符，不能逐行导出："_s.arg(r) +
                                      QString(name).replace(u'\n', u' ').replace(u'\r', u' '));
            return false;
        }
        const QByteArray line = name.toUtf8() + '\n';
        if (file.write(line) != line.size()) {
            platform().messageBox(u"提示"_s, u"文件写入错误"_s);
            file.cancelWriting();
            return false;
        }
    }
    if (!file.commit()) {
        platform().messageBox(u"提示"_s, u"文件写入错误"_s);
        return false;
    }
    return true;
}

bool exportSourceNamesChosen(const Grid &grid) {
    if (grid.rowCount() == 0) {
        platform().messageBox(u"提示"_s, u"还没有源文件"_s);
        return false;
    }
    const auto choice = platform().saveFile(u"打开文件"_s, u"TXT"_s,
                                            u"文本文件 (*.TXT),*.TXT,Excel文件 (*.xls),*.xls"_s);
    if (!choice || choice->path.isEmpty())
        return false;
    return exportSourceNames(grid, choice->path);
}

} // namespace zorv::files
