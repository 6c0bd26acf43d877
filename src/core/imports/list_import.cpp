#include "core/imports/list_import.h"

#include "core/imports/sheet_source.h"
#include "core/platform/platform.h"
#include "core/platform/progress.h"
#include "core/text/gbtext.h"

#include <QFile>

namespace zorv::imports {

namespace {

bool stopNow(ProgressSink *progress) {
    return progress && progress->stopRequested();
}

// The file's lines, decoded from whichever encoding it uses; nullopt after a
// message naming the file when it cannot be read.
std::optional<QStringList> readLines(const QString &path) {
    if (refuseBinaryList(path, msg::infoTitle()))
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        platform().messageBox(msg::infoTitle(),
                              QStringLiteral("无法读取文件“%1”：%2").arg(path, file.errorString()),
                              MsgIcon::Warning);
        return std::nullopt;
    }
    const QString all = zorv::text::decodeText(file.readAll());
    QStringList lines = all.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast(); // the break that ends the last line starts no new one
    for (QString &line : lines)
        if (line.endsWith(u'\r'))
            line.chop(1);
    return lines;
}

std::optional<sheet::Sheet> firstSheet(const QString &path, ProgressSink *progress,
                                       Outcome *outcome) {
    if (!connectSheetReader()) {
        *outcome = Outcome::Refused;
        return std::nullopt;
    }
    return readImportSheet(path, sheet::WhichSheet::First, msg::infoTitle(), progress, outcome);
}

} // namespace

std::optional<QString> chooseListFile() {
    const auto choice =
        platform().openFile(msg::openFileTitle(), QStringLiteral("TXT"), msg::listFilter());
    if (!choice || choice->path.isEmpty()) {
        platform().messageBox(msg::infoTitle(), msg::noImportFile());
        return std::nullopt;
    }
    return choice->path;
}

QString lineValue(const QString &line) {
    const qsizetype tab = line.indexOf(u'\t');
    return zorv::text::trim(tab < 0 ? line : line.left(tab));
}

ImportReport readNameList(const QString &path,
                          const std::function<bool(qint64, const QString &)> &take,
                          ProgressSink *progress) {
    return refusingOnOutOfMemory([&]() -> ImportReport {
        qint64 given = 0;
        if (isSpreadsheetPath(path)) {
            Outcome outcome = Outcome::Refused;
            const auto sheet = firstSheet(path, progress, &outcome);
            if (!sheet)
                return {outcome, 0};
            for (int r = 1;; ++r) {
                if (stopNow(progress))
                    return {Outcome::Stopped, given};
                const sheet::Cell cell = sheet->cell(r, 1);
                if (cell.isEmpty())
                    break;
                ++given;
                if (!take(given, cell.text))
                    break;
            }
            return {Outcome::Imported, given};
        }
        const auto lines = readLines(path);
        if (!lines)
            return {};
        for (const QString &line : *lines) {
            if (stopNow(progress))
                return {Outcome::Stopped, given};
            const QString value = lineValue(line);
            if (value.isEmpty())
                continue;
            ++given;
            if (!take(given, value))
                break;
        }
        return {Outcome::Imported, given};
    });
}

ListValues readNewNames(const QString &path, qint64 rows, int columns, ProgressSink *progress) {
    return refusingOnOutOfMemory([&]() -> ListValues {
        ListValues out;
        if (isSpreadsheetPath(path)) {
            const auto sheet = firstSheet(path, progress, &out.outcome);
            if (!sheet)
                return out;
            for (qint64 r = 1; r <= rows; ++r) {
                if (stopNow(progress)) {
                    out.outcome = Outcome::Stopped;
                    return out;
                }
                QString joined;
                if (r <= sheet->rowCount())
                    for (int c = 1; c <= columns; ++c)
                        joined += zorv::text::trim(sheet->text(int(r), c));
                out.values << joined;
                if (progress)
                    progress->progress(r, rows, QString());
            }
            out.outcome = Outcome::Imported;
            return out;
        }
        const auto lines = readLines(path);
        if (!lines)
            return out;
        for (qint64 r = 1; r <= rows && r <= lines->size(); ++r) {
            if (stopNow(progress)) {
                out.outcome = Outcome::Stopped;
                return out;
            }
            out.values << lineValue(lines->at(r - 1));
            if (progress)
                progress->progress(r, rows, QString());
        }
        out.outcome = Outcome::Imported;
        return out;
    });
}

} // namespace zorv::imports
