#include "core/files/row_ops.h"

#include "core/files/native_path.h"
#include "core/platform/platform.h"
#include "core/text/gbtext.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace zorv::files {

qint64 deleteSelectedRows(Grid &grid) {
    if (grid.rowCount() == 0) {
        platform().messageBox(u"提示"_s, u"还没有导入"_s);
        return 0;
    }
    const bool redraw = grid.redraw();
    grid.setRedraw(false);
    // All at once: one row at a time would move the rows after it each time.
    const qint64 deleted = grid.deleteRows(grid.selectedRows());
    platform().setStatusText(u"删除结束"_s);
    if (redraw)
        grid.setRedraw(true);
    return deleted;
}

qint64 deleteSelectedFiles(Grid &grid) {
    if (grid.rowCount() == 0) {
        platform().messageBox(u"提示"_s, u"还没有源文件"_s);
        return 0;
    }
    const FrnColumns c(grid);
    Platform &p = platform();
    qint64 selected = 0;
    qint64 deleted = 0;
    for (qint64 r = grid.rowCount(); r >= 1; --r) {
        if (!grid.isSelected(r))
            continue;
        ++selected;
        // As listed: a blank at either end belongs to the name on disk.
        const QString path = grid.getItemString(r, c.ypath) + grid.getItemString(r, c.filey);
        QByteArray bytes;
        struct stat st;
        if (!encodePath(path, &bytes)) {
            // The row's text cannot name its file exactly; deleting by it
            // could hit another file.
            p.messageBox(u"提示"_s, u"删除失败"_s);
            continue;
        }
        if (lstat(bytes.constData(), &st) != 0) {
            p.messageBox(u"提示"_s, u"不存在文件"_s + path);
            continue;
        }
        const MsgAnswer a = p.messageBox(
            u"提示"_s, u"按确定将删除文件，而且不能从回收站还原文件（"_s + path + u"。）"_s,
            MsgIcon::Question, MsgButtons::OkCancel);
        if (a != MsgAnswer::Ok)
            continue;
        // unlink never removes a folder, whatever the row names.
        if (unlink(bytes.constData()) == 0) {
            grid.deleteRow(r);
            ++deleted;
        } else {
            p.messageBox(u"提示"_s, u"删除失败"_s);
        }
    }
    if (selected == 0)
        p.messageBox(u"没有选择要删除的文件"_s, u"请按住Ctrl键或Shift键后，用鼠标左键选择"_s);
    return deleted;
}

std::optional<QString> chooseParentFolder(FrnState &state) {
    const auto chosen = platform().chooseFolder(u"选择文件夹（新文件夹在该文件夹下创建）"_s);
    if (!chosen) {
        platform().messageBox(u"提示"_s, u"目标文件夹选择被取消"_s);
        return std::nullopt;
    }
    state.ls_path2 = normaliseTargetRoot(*chosen);
    return state.ls_path2;
}

FolderCreation createFolder(const QString &parent, const QString &name) {
    const QString trimmed = text::trim(name);
    const QString path = joinPath(parent, trimmed);
    QByteArray bytes;
    struct stat st;
    const bool encoded = encodePath(path, &bytes);
    if (encoded && stat(bytes.constData(), &st) == 0) {
        platform().messageBox(u"提示"_s, u"文件夹已存在"_s);
        return FolderCreation::Exists;
    }
    const bool ok = encoded && !trimmed.contains(u'/') && mkdir(bytes.constData(), 0777) == 0;
    platform().messageBox(u"提示"_s, ok ? u"创建成功"_s : u"创建失败"_s);
    return ok ? FolderCreation::Created : FolderCreation::Failed;
}

QString folderToShow(const FrnState &state) {
    // The root folder is kept as "" like a drive root without its separator.
    return state.sourceChosen && state.ls_path1.isEmpty() ? u"/"_s : state.ls_path1;
}

bool showFolder(const Grid &grid, const FrnState &state) {
    auto &p = platform();
    QString folder;
    const qint64 row = grid.getRow();
    if (row >= 1 && row <= grid.rowCount())
        folder = text::trim(grid.getItemString(row, FrnColumns(grid).ypath));
    if (folder.isEmpty())
        folder = folderToShow(state);
    if (folder.isEmpty()) {
        p.messageBox(u"提示"_s, u"还没有源文件"_s);
        return false;
    }
    if (p.openFolder(folder))
        return true;
    const QString why = p.shellAvailable() ? u"文件夹不存在，或没有可以打开文件夹的程序。"_s
                                           : u"没有找到打开文件夹的程序(xdg-open)"_s;
    p.messageBox(u"操作提示"_s, u"不能打开文件夹 "_s + folder + u"\n"_s + why);
    return false;
}

} // namespace zorv::files
