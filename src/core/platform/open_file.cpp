#include "core/platform/open_file.h"

#include "core/platform/platform.h"
#include "core/text/gbtext.h"

#include <QFileInfo>

namespace zorv {
namespace {

// The shell reports failure as a code of 32 or less.
constexpr int kShellFailureMax = 32;

OpenFileResult tell(const QString &title, const QString &text, OpenFileResult result) {
    platform().messageBox(title, text, MsgIcon::Information, MsgButtons::Ok);
    return result;
}

} // namespace

QString joinFolderAndName(const QString &ypath, const QString &filey) {
    return ypath + filey;
}

OpenFileResult openRowFile(qint64 row, const QString &path) {
    const QString notice = QStringLiteral("提示");
    if (row < 1)
        return tell(notice, QStringLiteral("数据窗口为空的情况下，不能通过双击打开源文件"),
                    OpenFileResult::NoRow);
    // A listed name may begin or end with a blank: the path as given wins
    // when it names a file, so a neighbour without the blank is never opened.
    const QString file = QFileInfo(path).isFile() ? path : text::trim(path);
    if (file.isEmpty())
        return tell(notice, QStringLiteral("文件名不能为空"), OpenFileResult::EmptyName);
    if (!QFileInfo(file).isFile())
        return tell(notice, QStringLiteral("你要打开的文件不存在"), OpenFileResult::Missing);

    const QString operation = QStringLiteral("操作提示");
    if (!platform().shellAvailable())
        return tell(operation,
                    QStringLiteral("SHELL32.DLL动态库不存在!\n没有找到打开文件的程序(xdg-open)"),
                    OpenFileResult::NoShell);
    if (platform().shellOpen(file) <= kShellFailureMax)
        return tell(operation,
                    QStringLiteral("程序执行非法操作!请对该文件进行正确关联。 \r\n") + file,
                    OpenFileResult::ShellFailed);
    return OpenFileResult::Opened;
}

} // namespace zorv
