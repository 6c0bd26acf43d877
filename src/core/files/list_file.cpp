#include "core/files/list_file.h"

#include "core/imports/import_common.h"
#include "core/imports/sheet_source.h"
#include "core/platform/platform.h"
#include "core/text/gbtext.h"

#include <QFile>
#include <climits>

using namespace Qt::StringLiterals;

namespace zorv::files {

std::unique_ptr<ListSource> openListFile(const QString &path) {
    if (isSheetPath(path)) {
        if (!imports::connectSheetReader())
            return nullptr;
        imports::Outcome outcome;
        std::optional<sheet::Sheet> sheet = imports::readImportSheet(
            path, sheet::WhichSheet::First, imports::msg::infoTitle(), nullptr, &outcome);
        if (!sheet)
            return nullptr;
        auto shared = std::make_shared<sheet::Sheet>(std::move(*sheet));
        return std::make_unique<SheetCells>([shared](qint64 row, int column) {
            return row > INT_MAX ? QString() : shared->text(int(row), column);
        });
    }
    if (imports::refuseBinaryList(path, imports::msg::infoTitle()))
        return nullptr;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        platform().messageBox(imports::msg::infoTitle(), u"文件不能打开："_s + path);
        return nullptr;
    }
    return TextLines::fromText(text::decodeText(f.readAll()));
}

} // namespace zorv::files
