#include "core/files/name_match.h"

#include "core/platform/platform.h"
#include "core/platform/progress.h"
#include "core/text/gbtext.h"

using namespace Qt::Literals::StringLiterals;

namespace zorv::files {

QString listMatchName(const QString &name, const QString &suffix) {
    const QString ext = text::trim(suffix);
    return !name.contains(u'.') && !ext.isEmpty() ? name + u'.' + ext : name;
}

MatchResult matchNameList(Grid &grid, ListSource &list, const QString &suffix,
                          ProgressSink &progress) {
    const FrnColumns c(grid);
    const QString found = foundText();
    const QString filey = grid.columns().at(c.filey - 1).name;
    MatchResult m;
    qint64 sheetRow = 0;
    for (;;) {
        if (progress.stopRequested()) {
            m.stopped = true;
            return m;
        }
        QString name;
        if (list.isSheet()) {
            name = text::trim(list.cell(++sheetRow, 1));
            if (name.isEmpty())
                break;
        } else {
            QString line;
            bool more;
            while ((more = list.nextLine(&line)) && (name = listLineValue(line)).isEmpty()) {
            }
            if (!more)
                break;
        }
        const qint64 position = ++m.names;
        const QString wanted = listMatchName(name, suffix);
        const qint64 row = grid.find(filey + u" = "_s + Grid::quote(wanted), 1, grid.rowCount());
        if (row > 0) {
            grid.setItem(row, c.xh, position);
            grid.setItem(row, c.jg, found);
            ++m.found;
            progress.progress(position, grid.rowCount(), QString());
        }
    }
    return m;
}

void keepFoundRows(Grid &grid, bool deleteOthers) {
    if (!deleteOthers) {
        grid.setFilter(u"jg = '找到'"_s);
        grid.filter();
        return;
    }
    const int jg = FrnColumns(grid).jg;
    const QString found = foundText();
    const bool redraw = grid.redraw();
    grid.setRedraw(false);
    QList<qint64> notFound;
    for (qint64 r = 1, n = grid.rowCount(); r <= n; ++r)
        if (text::trim(grid.getItemString(r, jg)) != found)
            notFound << r;
    grid.deleteRows(notFound);
    grid.setSort(u"xh"_s);
    grid.sort();
    if (redraw)
        grid.setRedraw(true);
}

MatchEnd matchNameListChosen(Grid &grid, const QString &sle1Text, const ListOpener &open,
                             ProgressSink &progress) {
    if (grid.rowCount() == 0) {
        platform().messageBox(u"提示"_s, u"还没有源文件"_s);
        return MatchEnd::EmptyGrid;
    }
    const auto choice = platform().openFile(listDialogTitle(), u"TXT"_s, listDialogFilter());
    if (!choice || choice->path.isEmpty()) {
        platform().messageBox(u"信息提示"_s, u"没有指定导入文件!"_s);
        return MatchEnd::NoFile;
    }
    const std::unique_ptr<ListSource> list = open(choice->path);
    if (!list)
        return MatchEnd::Unreadable;
    const MatchResult m = matchNameList(grid, *list, sle1Text, progress);
    if (m.stopped)
        return MatchEnd::Stopped;
    if (m.found == 0) {
        platform().messageBox(u"提示"_s, u"没有和名单相同的源文件"_s);
        return MatchEnd::NoneFound;
    }
    const MsgAnswer a = platform().messageBox(
        u"提示"_s, u"按确定将过滤丢未找到的记录，否则将删除未找到的记录(只在数据窗口中删除)"_s,
        MsgIcon::Question, MsgButtons::OkCancel);
    const bool filterOnly = a == MsgAnswer::Ok;
    keepFoundRows(grid, !filterOnly);
    return filterOnly ? MatchEnd::Filtered : MatchEnd::Deleted;
}

bool filterByFragment(Grid &grid, const QString &sle1Text) {
    if (grid.rowCount() == 0) {
        platform().messageBox(u"提示"_s, u"还没有源文件"_s);
        return false;
    }
    const QString fragment = text::trim(sle1Text);
    if (fragment.isEmpty()) {
        grid.setFilter(u"jg = '找到'"_s);
        grid.filter();
        platform().setStatusText(u"提示在过滤的文件名为空的情况下，就过滤丢未找到的记录"_s);
        return true;
    }
    // The fragment is quoted like any value, so an apostrophe in it is text.
    const QString pattern = Grid::quote(u'%' + fragment + u'%');
    grid.setFilter(u"filey like "_s + pattern);
    grid.filter();
    return true;
}

void clearFilter(Grid &grid) {
    grid.setFilter(QString());
    grid.filter();
}

} // namespace zorv::files
