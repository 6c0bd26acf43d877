#include "core/sheet/bookreader.h"
#include "core/sheet/xls_book.h"
#include "core/sheet/xls_container.h"

#include <QFile>
#include <QFileInfo>

namespace zorv::sheet {

namespace {

// The file stays in memory, and with it the record stream (mostly a view of
// the file's bytes); each sheet is read from it when asked for.
class XlsReader final : public BookReader {
public:
    XlsBook book;

    QStringList sheetNames() const override {
        QStringList names;
        for (const auto &s : book.sheets())
            names << s.name;
        return names;
    }
    int activeSheet() const override { return book.active(); }
    std::optional<Sheet> readSheet(int index, ReadControl &control, QString *reason) override {
        return book.readSheet(index, control, reason);
    }
};

} // namespace

std::unique_ptr<BookReader> openXls(const QString &path, ReadControl &control, OpenFailure *failure,
                                    QString *reason) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *failure = OpenFailure::Damaged;
        *reason = QStringLiteral("无法读取文件内容");
        return nullptr;
    }
    QByteArray bytes = file.readAll();
    if (bytes.size() != file.size()) {
        *failure = OpenFailure::Damaged;
        *reason = QStringLiteral("无法读取文件内容");
        return nullptr;
    }
    const qint64 size = bytes.size();
    control.total = size;
    WorkbookStream stream;
    if (!readWorkbookStream(std::move(bytes), &stream, failure, reason))
        return nullptr;
    auto reader = std::make_unique<XlsReader>();
    if (!reader->book.load(std::move(stream), QFileInfo(path).completeBaseName(), failure, reason))
        return nullptr;
    control.done = size;
    return reader;
}

} // namespace zorv::sheet
