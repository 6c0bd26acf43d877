// Exports of the shown rows: tab-separated text (clipboard and file), CSV,
// .xlsx and an HTML table. Files are written beside the target and renamed
// over it at the end, so a failed save leaves any earlier file untouched.
#include "core/grid/grid.h"

#include "core/grid/grid_impl.h"
#include "core/grid/grid_value.h"
#include "core/text/gbtext.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>
#include <cstdio>
#include <sys/stat.h>
#include <xlsxwriter.h>

using namespace Qt::StringLiterals;

namespace zorv {

using namespace gridimpl;

namespace {

constexpr std::size_t kChunk = 1 << 20;

void appendQuoted(std::string_view v, std::string &out) {
    out += '"';
    for (char ch : v) {
        if (ch == '"')
            out += '"';
        out += ch;
    }
    out += '"';
}

// Tab-separated: a field holding a tab or a line break (or starting with a
// quote) is quoted as spreadsheet programs expect when text is pasted.
void appendTsvField(std::string_view v, std::string &out) {
    if (v.find_first_of("\t\r\n") != std::string_view::npos || (!v.empty() && v.front() == '"'))
        appendQuoted(v, out);
    else
        out += v;
}

void appendCsvField(std::string_view v, std::string &out) {
    if (v.find_first_of(",\"\r\n") != std::string_view::npos ||
        (!v.empty() && (v.front() == ' ' || v.back() == ' ')))
        appendQuoted(v, out);
    else
        out += v;
}

void appendHtml(std::string_view v, std::string &out) {
    for (char ch : v) {
        switch (ch) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out += ch;
        }
    }
}

std::string utf8(const QString &s) {
    return s.toStdString();
}

using FieldWriter = void (*)(std::string_view, std::string &);

// Writes header and rows as delimited text through sink in chunks.
template <typename Sink>
bool writeDelimited(const QList<Column> &columns, const Storage &store,
                    const std::vector<RowId> &rows, bool header, char sep, FieldWriter field,
                    Sink &&sink) {
    std::string out, buf;
    const int n = int(columns.size());
    if (header) {
        for (int c = 0; c < n; ++c) {
            if (c)
                out += sep;
            field(utf8(columns[c].title()), out);
        }
        out += "\r\n";
    }
    for (RowId r : rows) {
        for (int c = 0; c < n; ++c) {
            if (c)
                out += sep;
            field(cellAsText(store, c, r, buf), out);
        }
        out += "\r\n";
        if (out.size() >= kChunk) {
            if (!sink(out))
                return false;
            out.clear();
        }
    }
    return out.empty() || sink(out);
}

bool saveText(const QString &path, const QByteArray &prefix,
              const std::function<bool(QSaveFile &)> &body, QString *error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = u"无法写入文件“"_s + path + u"”："_s + file.errorString();
        return false;
    }
    if (file.write(prefix) != prefix.size() || !body(file) || !file.commit()) {
        if (error)
            *error = u"写入文件“"_s + path + u"”失败："_s + file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
}

// The temporary file is private (0600); the saved file gets what the file it
// replaces had, or what a newly created file gets under the user's umask.
bool giveOrdinaryMode(const QByteArray &temp, const QByteArray &target) {
    struct stat st;
    mode_t mode;
    if (::stat(target.constData(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    return ::chmod(temp.constData(), mode) == 0;
}

bool writeXlsx(const QString &path, const QList<Column> &columns, const Storage &store,
               const std::vector<RowId> &rows, QString *error) {
    auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    if (rows.size() + 1 > LXW_ROW_MAX)
        return fail(u"共%1行，超过 .xlsx 工作表的行数上限（%2 行），未保存。"_s.arg(rows.size())
                        .arg(LXW_ROW_MAX - 1));
    if (columns.size() > LXW_COL_MAX)
        return fail(u"列数超过 .xlsx 工作表的上限，未保存。"_s);
    // libxlsxwriter writes the file itself: give it a fresh name beside the
    // target and move that over the target once the workbook is complete.
    QTemporaryFile temp(QFileInfo(path).absolutePath() + u"/.zorv-XXXXXX.xlsx"_s);
    if (!temp.open())
        return fail(u"无法写入文件“"_s + path + u"”："_s + temp.errorString());
    const QByteArray tempName = QFile::encodeName(temp.fileName());
    temp.close();

    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    lxw_workbook *book = workbook_new_opt(tempName.constData(), &options);
    if (!book)
        return fail(u"无法创建 .xlsx 文件“"_s + path + u"”。"_s);
    lxw_worksheet *sheet = workbook_add_worksheet(book, nullptr);
    lxw_format *bold = workbook_add_format(book);
    format_set_bold(bold);
    lxw_format *stamp = workbook_add_format(book);
    format_set_num_format(stamp, "yyyy-mm-dd hh:mm:ss");

    QString problem;
    const int n = int(columns.size());
    for (int c = 0; c < n && problem.isEmpty(); ++c)
        if (worksheet_write_string(sheet, 0, lxw_col_t(c), utf8(columns[c].title()).c_str(),
                                   bold) != LXW_NO_ERROR)
            problem = u"无法写入表头。"_s;
    std::string text;
    for (std::size_t i = 0; i < rows.size() && problem.isEmpty(); ++i) {
        const lxw_row_t row = lxw_row_t(i + 1);
        for (int c = 0; c < n && problem.isEmpty(); ++c) {
            const RowId r = rows[i];
            if (store.empty(c, r))
                continue;
            lxw_error e;
            switch (store.type(c)) {
            case ColType::String:
                text.assign(store.str(c, r));
                e = worksheet_write_string(sheet, row, lxw_col_t(c), text.c_str(), nullptr);
                break;
            case ColType::Number:
                e = worksheet_write_number(sheet, row, lxw_col_t(c), store.num(c, r), nullptr);
                break;
            case ColType::DateTime:
                // Spreadsheet serial days count from 1899-12-30.
                e = worksheet_write_number(sheet, row, lxw_col_t(c),
                                           store.num(c, r) / 86400000.0 + 25569.0, stamp);
                break;
            }
            if (e == LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED)
                problem =
                    u"第%1行“%2”列的内容超过 .xlsx 单元格的长度上限（32767 个字符），未保存。"_s
                        .arg(i + 1)
                        .arg(columns[c].title());
            else if (e != LXW_NO_ERROR)
                problem = QString::fromUtf8(lxw_strerror(e));
        }
    }
    const lxw_error closed = workbook_close(book);
    if (problem.isEmpty() && closed != LXW_NO_ERROR)
        problem = u"写入 .xlsx 文件失败："_s + QString::fromUtf8(lxw_strerror(closed));
    if (problem.isEmpty() &&
        (!giveOrdinaryMode(tempName, QFile::encodeName(path)) ||
         std::rename(tempName.constData(), QFile::encodeName(path).constData()) != 0))
        problem = u"无法写入文件“"_s + path + u"”。"_s;
    if (!problem.isEmpty()) {
        QFile::remove(temp.fileName());
        return fail(problem);
    }
    temp.setAutoRemove(false);
    return true;
}

} // namespace

QString Grid::toTsv(bool withHeader) const {
    std::string all;
    writeDelimited(d->columns, d->store, d->shown, withHeader, '\t', appendTsvField,
                   [&](const std::string &chunk) {
                       all += chunk;
                       return true;
                   });
    return text::fromUtf8Exact(all.data(), qsizetype(all.size()));
}

bool Grid::saveAs(const QString &path, SaveFormat format, QString *error) const {
    const Storage &store = d->store;
    const std::vector<RowId> &rows = d->shown;
    auto chunkTo = [](QSaveFile &f) {
        return [&f](const std::string &chunk) {
            return f.write(chunk.data(), qint64(chunk.size())) == qint64(chunk.size());
        };
    };
    const QByteArray bom("\xEF\xBB\xBF");
    switch (format) {
    case SaveFormat::Tsv:
        return saveText(
            path, bom,
            [&](QSaveFile &f) {
                return writeDelimited(d->columns, store, rows, true, '\t', appendTsvField,
                                      chunkTo(f));
            },
            error);
    case SaveFormat::Csv:
        return saveText(
            path, bom,
            [&](QSaveFile &f) {
                return writeDelimited(d->columns, store, rows, true, ',', appendCsvField,
                                      chunkTo(f));
            },
            error);
    case SaveFormat::Html:
        return saveText(
            path, QByteArray(),
            [&](QSaveFile &f) {
                auto sink = chunkTo(f);
                std::string out = "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n"
                                  "<title>";
                appendHtml(utf8(QFileInfo(path).completeBaseName()), out);
                out += "</title>\n</head>\n<body>\n<table border=\"1\">\n<thead>\n<tr>";
                for (const Column &c : d->columns) {
                    out += "<th>";
                    appendHtml(utf8(c.title()), out);
                    out += "</th>";
                }
                out += "</tr>\n</thead>\n<tbody>\n";
                std::string buf;
                for (RowId r : rows) {
                    out += "<tr>";
                    for (int c = 0; c < columnCount(); ++c) {
                        out += "<td>";
                        appendHtml(cellAsText(store, c, r, buf), out);
                        out += "</td>";
                    }
                    out += "</tr>\n";
                    if (out.size() >= kChunk) {
                        if (!sink(out))
                            return false;
                        out.clear();
                    }
                }
                out += "</tbody>\n</table>\n</body>\n</html>\n";
                return sink(out);
            },
            error);
    case SaveFormat::Xlsx:
        return writeXlsx(path, d->columns, store, rows, error);
    }
    return false;
}

} // namespace zorv
