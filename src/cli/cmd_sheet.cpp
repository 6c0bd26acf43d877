// zorv sheet: a spreadsheet as the sheet-copy imports see it, as text.
#include "cli/cli_platform.h"
#include "cli/command.h"
#include "core/sheet/workbook.h"

#include <QScopeGuard>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <thread>

using namespace Qt::StringLiterals;

namespace zorv::cli {

namespace {

const QString kSynopsis = u"用法: zorv sheet FILE [--sheet N|名称] [--all]"_s;

QString sheetHelp() {
    return kSynopsis +
           u"\n\n把电子表格（.xls、.xlsx、.xlsm）的一个工作表写到标准输出：已用区域的每行一行，\n"
           "单元格以制表符分隔，内容与导入时复制整个工作表所得相同（数字按单元格格式显示，\n"
           "公式取计算结果）。含制表符、换行或引号的单元格加双引号，内部引号写两次。\n"
           "\n"
           "  --sheet N|名称  读第 N 个（从 1 起）或名为该名称的工作表（默认：活动工作表）\n"
           "  --all           依次写出每个工作表，每个之前一行 \"#sheet 名称\"\n"
           "  -h, --help      显示本说明\n"
           "\n"
           "退出状态：0 完成；2 用法错误，或文件无法读取（原因写到标准错误）。\n"_s;
}

int usage(const QString &message) {
    printError(u"zorv sheet: "_s + message);
    printError(kSynopsis + u"（--help 查看说明）"_s);
    return kExitUsage;
}

// A field as a spreadsheet copy writes it: quoted when it holds a tab, a
// line break or a quote.
void appendField(QByteArray &out, const QString &text) {
    // Most fields are plain ASCII (numbers above all): copied straight in.
    const qsizetype n = text.size();
    const auto *p = reinterpret_cast<const char16_t *>(text.constData());
    qsizetype i = 0;
    while (i < n && p[i] < 0x80 && p[i] != u'\t' && p[i] != u'\n' && p[i] != u'\r' && p[i] != u'"')
        ++i;
    if (i == n) {
        const qsizetype at = out.size();
        out.resize(at + n);
        char *dst = out.data() + at;
        for (qsizetype k = 0; k < n; ++k)
            dst[k] = char(p[k]);
        return;
    }
    const QByteArray utf8 = text.toUtf8();
    if (!utf8.contains('\t') && !utf8.contains('\n') && !utf8.contains('\r') &&
        !utf8.contains('"')) {
        out += utf8;
        return;
    }
    out += '"';
    for (char c : utf8) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

bool flush(QByteArray &out) {
    const bool ok =
        std::fwrite(out.constData(), 1, size_t(out.size()), stdout) == size_t(out.size());
    out.truncate(0); // keeps its room for the next lines
    return ok;
}

// Rows first..end-1 as lines of text.
void formatRows(const sheet::Sheet &s, int first, int end, int columns, QByteArray &out) {
    for (int r = first; r < end; ++r) {
        const QStringList fields = s.rowTexts(r, columns);
        for (int c = 0; c < columns; ++c) {
            if (c > 0)
                out += '\t';
            appendField(out, fields[c]);
        }
        out += '\n';
    }
}

// The rows are turned into text a block at a time, two blocks at once on two
// threads (the sheet is only read meanwhile), and go out in order.
bool writeSheet(const sheet::Sheet &s, QByteArray &out) {
    constexpr int kBlock = 4096;
    const int columns = s.columnCount();
    const int rows = s.rowCount();
    QByteArray second;
    for (int first = 1; first <= rows; first += 2 * kBlock) {
        const int mid = std::min(rows + 1, first + kBlock);
        const int end = std::min(rows + 1, mid + kBlock);
        std::exception_ptr failed;
        std::thread helper;
        {
            const auto join = qScopeGuard([&] {
                if (helper.joinable())
                    helper.join();
            });
            if (mid < end)
                helper = std::thread([&] {
                    try {
                        second.truncate(0);
                        formatRows(s, mid, end, columns, second);
                    } catch (...) {
                        failed = std::current_exception();
                    }
                });
            formatRows(s, first, mid, columns, out);
        }
        if (failed)
            std::rethrow_exception(failed);
        if (mid < end)
            out += second;
        if (out.size() > (1 << 20) && !flush(out))
            return false;
    }
    return true;
}

} // namespace

int cmdSheet(const QStringList &argv) {
    const Args args(argv, {{u"sheet"_s, true}, {u"all"_s, false}, {u"help"_s, false}});
    if (!args.ok())
        return usage(args.error());
    if (args.has(u"help"_s)) {
        QByteArray help = sheetHelp().toUtf8();
        return flush(help) ? kExitOk : kExitUsage;
    }
    if (args.positionals().isEmpty())
        return usage(u"缺少文件参数"_s);
    if (args.positionals().size() > 1)
        return usage(u"多余的参数 \""_s + args.positionals().at(1) + u'"');
    if (args.has(u"all"_s) && args.has(u"sheet"_s))
        return usage(u"--all 与 --sheet 不能同时使用"_s);

    sheet::Workbook book;
    if (!book.open(args.positionals().at(0))) {
        printError(book.errorString());
        return kExitUsage;
    }
    QList<int> which;
    if (args.has(u"all"_s)) {
        for (int i = 0; i < book.sheetCount(); ++i)
            which << i;
    } else if (args.has(u"sheet"_s)) {
        const QString want = args.value(u"sheet"_s);
        int index = int(book.sheetNames().indexOf(want));
        bool isNumber = false;
        const int n = want.toInt(&isNumber);
        if (index < 0 && isNumber && n >= 1 && n <= book.sheetCount())
            index = n - 1;
        if (index < 0)
            return usage(u"文件中没有工作表 \""_s + want + u"\"（有："_s +
                         book.sheetNames().join(u"、"_s) + u'）');
        which << index;
    } else {
        which << book.activeSheet();
    }
    // Every sheet is read before any is written: a damaged one refuses the
    // file as a whole.
    std::vector<sheet::Sheet> sheets;
    for (int index : which) {
        auto s = book.readSheet(index);
        if (!s) {
            printError(book.errorString());
            return kExitUsage;
        }
        sheets.push_back(std::move(*s));
    }
    QByteArray out;
    out.reserve((1 << 20) + (1 << 16));
    for (const sheet::Sheet &s : sheets) {
        if (args.has(u"all"_s)) {
            out += "#sheet ";
            out += s.name().toUtf8();
            out += '\n';
        }
        if (!writeSheet(s, out) || !flush(out)) {
            printError(u"zorv sheet: 无法写出到标准输出"_s);
            return kExitUsage;
        }
    }
    return std::fflush(stdout) == 0 ? kExitOk : kExitUsage;
}

} // namespace zorv::cli
