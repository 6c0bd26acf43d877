#include "core/lists/list_load.h"

#include "core/files/text_walk.h"
#include "core/grid/grid.h"
#include "core/imports/paste_import.h"
#include "core/imports/sheet_source.h"
#include "core/lists/compare_grids.h"
#include "core/platform/platform.h"
#include "core/platform/progress.h"
#include "core/sheet/workbook.h"
#include "core/text/gbtext.h"

#include <QFile>
#include <cstring>

using namespace Qt::StringLiterals;

namespace zorv::lists {

namespace {

// Whether [p, p + n) is well-formed UTF-8 (no overlong forms, no surrogates).
bool validUtf8(const unsigned char *p, std::size_t n) {
    std::size_t i = 0;
    while (i < n) {
        // Eight ASCII bytes at a time: most names are mostly ASCII or the
        // three-byte sequences of Chinese.
        if (i + 8 <= n) {
            std::uint64_t w;
            std::memcpy(&w, p + i, 8);
            if (!(w & 0x8080808080808080ULL)) {
                i += 8;
                continue;
            }
        }
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        const auto tail = [&](std::size_t k) { return (p[i + k] & 0xC0) == 0x80; };
        if (c >= 0xE0 && c <= 0xEF) { // most Chinese characters
            if (i + 3 > n || !tail(1) || !tail(2))
                return false;
            if ((c == 0xE0 && p[i + 1] < 0xA0) || // overlong
                (c == 0xED && p[i + 1] >= 0xA0))  // surrogate
                return false;
            i += 3;
        } else if (c >= 0xC2 && c <= 0xDF) {
            if (i + 2 > n || !tail(1))
                return false;
            i += 2;
        } else if (c >= 0xF0 && c <= 0xF4) {
            if (i + 4 > n || !tail(1) || !tail(2) || !tail(3))
                return false;
            if ((c == 0xF0 && p[i + 1] < 0x90) || // overlong
                (c == 0xF4 && p[i + 1] >= 0x90))  // past U+10FFFF
                return false;
            i += 4;
        } else {
            return false;
        }
    }
    return true;
}

imports::ImportReport appendNames(Grid &list, const std::vector<std::string_view> &names) {
    const qint64 added = list.appendTexts(kMd, names);
    if (added < 0) {
        platform().messageBox(imports::msg::hintTitle(),
                              u"名单的行数超过表格能容纳的行数，没有导入任何行。"_s);
        return {};
    }
    return {imports::Outcome::Imported, added};
}

} // namespace

ListText splitListText(QByteArray bytes) {
    ListText out;
    const QByteArrayView view(bytes);
    if (view.startsWith("\xFF\xFE") || view.startsWith("\xFE\xFF")) {
        out.text = text::decodeText(bytes).toUtf8();
    } else {
        const qsizetype bom = view.startsWith("\xEF\xBB\xBF") ? 3 : 0;
        if (validUtf8(reinterpret_cast<const unsigned char *>(bytes.constData()) + bom,
                      std::size_t(bytes.size() - bom))) {
            if (bom)
                bytes.remove(0, bom);
            out.text = std::move(bytes);
        } else {
            out.text = text::fromGb18030(bytes).toUtf8();
        }
    }
    const char *p = out.text.constData();
    const char *end = p + out.text.size();
    out.names.reserve(std::size_t(out.text.size() / 8 + 1));
    while (p < end) {
        const char *nl = static_cast<const char *>(std::memchr(p, '\n', std::size_t(end - p)));
        const char *lineEnd = nl ? nl : end;
        const char *stop = lineEnd;
        if (stop > p && stop[-1] == '\r')
            --stop;
        if (const void *tab = std::memchr(p, '\t', std::size_t(stop - p)))
            stop = static_cast<const char *>(tab);
        out.names.emplace_back(p, std::size_t(stop - p));
        p = nl ? nl + 1 : end;
    }
    return out;
}

std::optional<ListText> readListText(const QString &path) {
    try {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return std::nullopt;
        QByteArray bytes = file.readAll();
        if (file.error() != QFileDevice::NoError)
            return std::nullopt;
        return splitListText(std::move(bytes));
    } catch (const std::bad_alloc &) {
        return std::nullopt;
    }
}

imports::ImportReport appendListText(Grid &list, const ListText &names, ProgressSink *progress) {
    return imports::refusingOnOutOfMemory([&]() -> imports::ImportReport {
        if (progress)
            progress->progress(qint64(names.names.size()), qint64(names.names.size()),
                               imports::msg::importing());
        return appendNames(list, names.names);
    });
}

imports::ImportReport loadTextList(Grid &list, const QString &path, ProgressSink *progress) {
    return imports::refusingOnOutOfMemory([&]() -> imports::ImportReport {
        QFile file(path);
        QByteArray bytes;
        if (file.open(QIODevice::ReadOnly))
            bytes = file.readAll();
        if (!file.isOpen() || file.error() != QFileDevice::NoError) {
            platform().messageBox(imports::msg::hintTitle(),
                                  u"无法读取文件“"_s + path + u"”："_s + file.errorString());
            return {};
        }
        file.close();
        return appendListText(list, splitListText(std::move(bytes)), progress);
    });
}

imports::ImportReport loadSheetList(Grid &list, const QString &path, int column, qint64 firstRow,
                                    ProgressSink *progress) {
    return imports::refusingOnOutOfMemory([&]() -> imports::ImportReport {
        if (!imports::connectSheetReader())
            return {};
        imports::Outcome outcome = imports::Outcome::Refused;
        const auto sheet = imports::readImportSheet(path, sheet::WhichSheet::Active,
                                                    imports::msg::hintTitle(), progress, &outcome);
        if (!sheet)
            return {outcome, 0};
        const int from = int(std::clamp<qint64>(firstRow, 1, sheet::kMaxRows + 1));
        const QStringList values = sheet->column(std::max(column, 1), from);
        std::vector<QByteArray> utf8;
        utf8.reserve(std::size_t(values.size()));
        std::vector<std::string_view> names;
        names.reserve(std::size_t(values.size()));
        for (const QString &v : values) {
            utf8.push_back(v.toUtf8());
            names.emplace_back(utf8.back().constData(), std::size_t(utf8.back().size()));
        }
        return appendNames(list, names);
    });
}

imports::ImportReport loadListFile(Grid &list, const QString &path, int column, qint64 firstRow,
                                   ProgressSink *progress) {
    if (sheet::sniffFile(path) == sheet::FileKind::Text)
        return loadTextList(list, path, progress);
    return loadSheetList(list, path, column, firstRow, progress);
}

imports::ImportReport importChosenList(Grid &list, int column, qint64 firstRow,
                                       ProgressSink *progress) {
    const auto choice = platform().openFile(imports::msg::openFileTitle(), u"xls"_s,
                                            imports::msg::sheetOrTextFilter());
    if (!choice) {
        platform().messageBox(imports::msg::hintTitle(), imports::msg::fileChoiceFailed());
        return {};
    }
    if (choice->path.isEmpty()) {
        platform().messageBox(imports::msg::hintTitle(), imports::msg::fileNameEmpty());
        return {};
    }
    const imports::ImportReport r = loadListFile(list, choice->path, column, firstRow, progress);
    if (!r.imported())
        return r;
    numberList(list);
    platform().messageBox(imports::msg::infoTitle(), imports::msg::importDone());
    return r;
}

imports::ImportReport loadFolderTree(Grid &list, const QString &folder, ProgressSink *progress) {
    return imports::refusingOnOutOfMemory([&]() -> imports::ImportReport {
        QString top = folder;
        while (top.size() > 1 && top.endsWith(u'/'))
            top.chop(1);
        if (top == u"/"_s)
            top.clear();
        std::string paths;
        std::vector<std::pair<std::size_t, std::size_t>> spans;
        bool stopped = false;
        files::walkSourceText(top, true, true, [&](const files::TextFileRun &run) {
            for (std::string_view name : *run.names) {
                spans.emplace_back(paths.size(), run.ypath.size() + name.size());
                paths.append(run.ypath);
                paths.append(name);
            }
            if (progress) {
                progress->progress(
                    0, 0,
                    u"正在列出文件夹 "_s +
                        QString::fromUtf8(run.ypath.data(), qsizetype(run.ypath.size())));
                stopped = stopped || progress->stopRequested();
            }
        });
        if (stopped) {
            platform().setStatusText(imports::msg::stopped());
            return {imports::Outcome::Stopped, 0};
        }
        std::vector<std::string_view> names;
        names.reserve(spans.size());
        for (const auto &[at, length] : spans)
            names.emplace_back(paths.data() + at, length);
        const qint64 first = list.rowCount() + 1;
        const imports::ImportReport r = appendNames(list, names);
        if (!r.imported())
            return r;
        const QByteArray mark = differentMark().toUtf8();
        const bool redraw = list.redraw();
        list.setRedraw(false);
        for (qint64 row = first; row < first + r.rows; ++row) {
            list.setItemNumber(row, kXh, double(row));
            list.setText(row, kJg, std::string_view(mark.constData(), std::size_t(mark.size())));
        }
        list.setRedraw(redraw);
        return r;
    });
}

imports::ImportReport pasteList(Grid &list, ProgressSink *progress) {
    const imports::ImportReport r = imports::pasteImport(list, false, progress);
    if (!r.imported())
        return r;
    numberList(list);
    platform().messageBox(imports::msg::infoTitle(), imports::msg::importDone());
    return r;
}

} // namespace zorv::lists
