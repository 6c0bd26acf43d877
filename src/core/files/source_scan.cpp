#include "core/files/source_scan.h"

#include "core/files/folder_list.h"
#include "core/files/native_path.h"
#include "core/platform/platform.h"
#include "core/platform/progress.h"

using namespace Qt::Literals::StringLiterals;

namespace zorv::files {

QString scanDoneText(qint64 skipped, qint64 masked) {
    QString done = u"源文件夹的相关信息已导入"_s;
    if (skipped > 0)
        done += u"，跳过"_s + QString::number(skipped) + u"个无法读取的文件夹或路径"_s;
    if (masked > 0)
        done += u"\n另有"_s + QString::number(masked) +
                u"个只读或隐藏文件未列出，勾选“包括隐藏文件”可列出"_s;
    return done;
}

qint64 scanIntoGrid(Grid &grid, const QString &path1, const ScanOptions &options,
                    ProgressSink &progress, qint64 *skipped, qint64 *masked) {
    const FrnColumns c(grid);
    const QString importing = u"正在导入..."_s;
    const bool redraw = grid.redraw();
    grid.setRedraw(false);
    const qint64 before = grid.rowCount();
    qint64 added = 0;
    qint64 listed = 0;

    WalkCallbacks cb;
    cb.onFolder = [&](const QString &, qsizetype entries) {
        listed = entries;
        progress.progress(added, 0, importing);
    };
    cb.onFile = [&](const ScannedFile &f) {
        ++added;
        const qint64 row = grid.insertRow(0);
        // Flat rows are numbered after the rows already there, recursive rows
        // with the row count; both give the new row's number.
        grid.setItem(row, c.xh, options.recursive ? row : before + added);
        grid.setItem(row, c.ypath, f.ypath);
        grid.setItem(row, c.filey, f.filey);
        if (options.recursive)
            grid.setItem(row, c.zml, f.zml);
        if (!options.recursive)
            progress.progress(added, listed, importing + QString::number(added));
    };
    qint64 left = 0;
    cb.onSkipped = [&](const QString &) { ++left; };
    qint64 maskedOut = 0;
    if (masked)
        cb.onMaskedOut = [&](const QString &, qsizetype files) { maskedOut += files; };
    walkSource(path1, options.recursive, options.hidden, cb);
    if (skipped)
        *skipped = left;
    if (masked)
        *masked = maskedOut;

    if (redraw)
        grid.setRedraw(true);
    platform().setStatusText(options.recursive ? u"正在导入......"_s : QString());
    return added;
}

bool scanChosenSource(Grid &grid, FrnState &state, const std::optional<QString> &chosen,
                      const ScanOptions &options, ProgressSink &progress, qint64 *skipped,
                      qint64 *masked) {
    if (!chosen) {
        platform().messageBox(u"提示"_s, u"文件夹选择被取消"_s);
        return false;
    }
    state.ls_path1 = normaliseSourceFolder(*chosen);
    state.sourceChosen = true;
    if (!options.accumulate) // rows hidden by a filter go as well
        grid.reset();
    qint64 left = 0;
    qint64 maskedOut = 0;
    scanIntoGrid(grid, state.ls_path1, options, progress, &left, &maskedOut);
    if (skipped)
        *skipped = left;
    if (masked)
        *masked = maskedOut;
    platform().messageBox(u"提示"_s, scanDoneText(left, maskedOut));
    return true;
}

bool chooseAndScanSource(Grid &grid, FrnState &state, const ScanOptions &options,
                         ProgressSink &progress) {
    const auto chosen = platform().chooseFolder(u"选择欲批量更名的源文件所在文件夹"_s);
    return scanChosenSource(grid, state, chosen, options, progress);
}

} // namespace zorv::files
