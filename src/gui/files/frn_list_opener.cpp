#include "gui/files/frn_list_opener.h"

#include "core/imports/import_common.h"
#include "core/imports/sheet_source.h"
#include "core/platform/platform.h"
#include "core/text/gbtext.h"

#include <QFile>
#include <climits>

using namespace Qt::Literals::StringLiterals;

namespace frn {

std::unique_ptr<zorv::files::ListSource> openListFile(const QString &path) {
    namespace imports = zorv::imports;
    if (zorv::files::isSheetPath(path)) {
        if (!imports::connectSheetReader())
            return nullptr;
        imports::Outcome outcome;
        auto sheet = imports::readImportSheet(path, zorv::sheet::WhichSheet::First,
                                              imports::msg::infoTitle(), nullptr, &outcome);
        if (!sheet)
            return nullptr;
        auto shared = std::make_shared<zorv::sheet::Sheet>(std::move(*sheet));
        return std::make_unique<zorv::files::SheetCells>([shared](qint64 row, int column) {
            return row > INT_MAX ? QString() : shared->text(int(row), column);
        });
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        zorv::platform().messageBox(imports::msg::infoTitle(), u"文件不能打开："_s + path);
        return nullptr;
    }
    return zorv::files::TextLines::fromText(zorv::text::decodeText(file.readAll()));
}

} // namespace frn
