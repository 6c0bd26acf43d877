// zorv lists: the name-list tools of "名单核对" from a shell. "compare" is
// "核对名单" on two list files; the grids come out as tab-separated text.
#include "cli/cli_platform.h"
#include "cli/cmd_lists_columns.h"
#include "cli/command.h"
#include "cli/terminal.h"
#include "core/grid/grid.h"
#include "core/grid/grid_value.h"
#include "core/lists/compare.h"
#include "core/lists/compare_grids.h"
#include "core/lists/list_load.h"
#include "core/sheet/workbook.h"

#include <QFileInfo>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <future>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

using namespace Qt::StringLiterals;

namespace zorv::cli {

namespace {

const QString kCompareSynopsis =
    u"用法: zorv lists compare LIST1 LIST2 [--list2 FILE] [--dups1 FILE] [--dups2 FILE]\n"
    "                          [--row N] [--column N] [--normalize]"_s;

QString compareHelp() {
    return kCompareSynopsis +
           u"\n\n核对两个名单（同 \"名单核对\" 窗口的 \"核对名单\"）：先把每个名单按名字排序，\n"
           "重复的名字（第一个之后的）移到各自的重复名单；再在名单2中逐个查找名单1的名字，\n"
           "找到的两行结果都标为 \"相同\"，其余为 \"不同\"。名字按原文逐字比较。\n"
           "\n"
           "名单是文本文件（每行一个名字，只用制表符前的部分；UTF-8 或 GBK 均可）\n"
           "或 Excel 文件（活动工作表的一列，从第 N 行起）。\n"
           "名单1的结果表格写到标准输出：UTF-8 制表符分隔，首行是列名 md xh jg\n"
           "（名单、序号、结果）；字段中的反斜杠、制表符、换行、回车写作 \\\\ \\t \\n \\r。\n"
           "\n"
           "  --list2 FILE  把名单2的结果表格（md xh jg）写到 FILE\n"
           "  --dups1 FILE  把名单1的重复名单（dmd dxh）写到 FILE\n"
           "  --dups2 FILE  把名单2的重复名单（dmd dxh）写到 FILE\n"
           "  --row N       Excel 名单从第 N 行读起（默认 2，第 1 行为表头）\n"
           "  --column N    Excel 名单读第 N 列（默认 1）\n"
           "  --normalize   比较时忽略空格、全角/半角和繁简差异（表格中仍是原来的名字）\n"
           "  -h, --help    显示本说明\n"
           "\n"
           "提示信息写到标准错误，格式为 \"标题: 内容\"。退出状态：0 完成；\n"
           "1 被 Ctrl-C 中止（名单不变，不写任何表格）；2 用法错误或名单无法读取。\n"_s;
}

QString listsHelp() {
    return u"用法: zorv lists <子命令> [选项] [参数]\n"
           "\n"
           "名单核对的工具：\n"
           "  compare LIST1 LIST2 [--list2 FILE] [--dups1 FILE] [--dups2 FILE]\n"
           "          [--row N] [--column N] [--normalize]      核对名单\n"
           "  merge [--sep S] [--unique]                       合并B列（al<TAB>bl "
           "表格，标准输入到标准输出）\n"
           "  split [--sep S]                                  转换A列（同上）\n"
           "\n"
           "每条子命令都有 --help。\n"_s;
}

void writeBytes(std::FILE *to, const QByteArray &bytes) {
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), to);
}

int compareUsage(const QString &message) {
    printError(u"zorv lists compare: "_s + message);
    printError(kCompareSynopsis + u"（--help 查看说明）"_s);
    return kExitUsage;
}

// A text field as the grid streams write it.
void appendField(std::string &out, std::string_view text) {
    // Names seldom hold a character that needs escaping: look first.
    const auto special = [](char c) { return c == '\\' || c == '\t' || c == '\n' || c == '\r'; };
    if (std::none_of(text.begin(), text.end(), special)) {
        out.append(text);
        return;
    }
    std::size_t from = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const char *escaped = c == '\\'   ? "\\\\"
                              : c == '\t' ? "\\t"
                              : c == '\n' ? "\\n"
                              : c == '\r' ? "\\r"
                                          : nullptr;
        if (!escaped)
            continue;
        out.append(text.data() + from, i - from);
        out.append(escaped, 2);
        from = i + 1;
    }
    out.append(text.data() + from, text.size() - from);
}

// A number as the grid writes it, whole numbers (the sequence numbers) the
// short way.
void appendNumberField(std::string &out, double value) {
    if (value > -1e15 && value < 1e15 && value == double(static_cast<long long>(value))) {
        char digits[24];
        const auto r = std::to_chars(digits, digits + sizeof digits, static_cast<long long>(value));
        out.append(digits, std::size_t(r.ptr - digits));
        return;
    }
    gridimpl::appendNumber(value, out);
}

// Writes the shown rows of grid, its column names first; false when the
// output could not take them. After a sort the rows lie scattered over the
// grid's memory, so the cells of a block of rows are gathered first, in a
// loop whose loads can overlap, and the block is written from them.
bool writeGrid(const Grid &grid, std::FILE *to) {
    constexpr qint64 kBlock = 2048;
    const int columns = grid.columnCount();
    std::vector<bool> isText(std::size_t(columns) + 1);
    for (int c = 1; c <= columns; ++c)
        isText[std::size_t(c)] = grid.columnType(c) == ColType::String;
    std::string out;
    out.reserve(std::size_t(1) << 21);
    for (int c = 1; c <= columns; ++c) {
        if (c > 1)
            out += '\t';
        out += grid.columns()[c - 1].name.toStdString();
    }
    out += '\n';
    // The cells of the block, column after column: a view for a text
    // column, a number (NaN for an empty cell) otherwise.
    std::vector<std::string_view> texts(std::size_t(columns * kBlock));
    std::vector<double> numbers(std::size_t(columns * kBlock));
    const qint64 n = grid.rowCount();
    for (qint64 first = 1; first <= n; first += kBlock) {
        const qint64 count = std::min(kBlock, n - first + 1);
        for (int c = 1; c <= columns; ++c) {
            const std::size_t at = std::size_t(c - 1) * std::size_t(kBlock);
            if (isText[std::size_t(c)]) {
                for (qint64 k = 0; k < count; ++k)
                    texts[at + std::size_t(k)] = grid.textView(first + k, c);
                for (qint64 k = 0; k < count; ++k)
                    __builtin_prefetch(texts[at + std::size_t(k)].data());
            } else {
                for (qint64 k = 0; k < count; ++k)
                    numbers[at + std::size_t(k)] =
                        grid.isNull(first + k, c) ? std::nan("") : grid.getItemNumber(first + k, c);
            }
        }
        for (qint64 k = 0; k < count; ++k) {
            for (int c = 1; c <= columns; ++c) {
                const std::size_t at = std::size_t(c - 1) * std::size_t(kBlock) + std::size_t(k);
                if (c > 1)
                    out += '\t';
                if (isText[std::size_t(c)])
                    appendField(out, texts[at]);
                else if (!std::isnan(numbers[at]))
                    appendNumberField(out, numbers[at]);
            }
            out += '\n';
        }
        if (out.size() >= (std::size_t(1) << 20)) {
            if (std::fwrite(out.data(), 1, out.size(), to) != out.size())
                return false;
            out.clear();
        }
    }
    if (std::fwrite(out.data(), 1, out.size(), to) != out.size())
        return false;
    return std::fflush(to) == 0;
}

bool writeGridFile(const Grid &grid, const QString &path) {
    std::FILE *f = std::fopen(QFile::encodeName(path).constData(), "wb");
    if (!f)
        return false;
    const bool ok = writeGrid(grid, f);
    return std::fclose(f) == 0 && ok;
}

int cmdCompare(const QStringList &argv) {
    const Args args(argv, {{u"list2"_s, true},
                           {u"dups1"_s, true},
                           {u"dups2"_s, true},
                           {u"row"_s, true},
                           {u"column"_s, true},
                           {u"normalize"_s, false},
                           {u"help"_s, false}});
    if (!args.ok())
        return compareUsage(args.error());
    if (args.has(u"help"_s)) {
        writeBytes(stdout, compareHelp().toUtf8());
        return kExitOk;
    }
    if (args.positionals().size() < 2)
        return compareUsage(u"需要两个名单文件"_s);
    if (args.positionals().size() > 2)
        return compareUsage(u"多余的参数 "_s + quoteInput(args.positionals().at(2)));
    QString error;
    const int row = args.intValue(u"row"_s, 1, 1048576, 2, &error);
    if (!error.isEmpty())
        return compareUsage(error);
    const int column = args.intValue(u"column"_s, 1, 16384, 1, &error);
    if (!error.isEmpty())
        return compareUsage(error);
    for (const QString &list : args.positionals()) {
        const QFileInfo info(list);
        if (!info.isFile() || !info.isReadable())
            return compareUsage(u"无法读取名单文件 "_s + quoteInput(list));
    }

    TerminalProgress progress(stderrIsTerminal());
    CliPlatform platform(&progress);
    auto list1 = lists::makeListGrid(1), list2 = lists::makeListGrid(2);
    auto dups1 = lists::makeDuplicateGrid(1), dups2 = lists::makeDuplicateGrid(2);
    for (Grid *g : {list1.get(), list2.get(), dups1.get(), dups2.get()})
        g->setRedraw(false);
    // List 2, when a text file, is read and split on a helper thread while
    // list 1 loads. Should that fail, list 2 is loaded the ordinary way,
    // which reports the trouble as it would have.
    const QString path2 = args.positionals().at(1);
    std::future<std::optional<lists::ListText>> ahead;
    if (sheet::sniffFile(path2) == sheet::FileKind::Text) {
        try {
            ahead = std::async(std::launch::async, [path2] { return lists::readListText(path2); });
        } catch (const std::system_error &) {
            // No thread to be had: list 2 loads after list 1.
        }
    }
    Grid *loaded[] = {list1.get(), list2.get()};
    for (int i = 0; i < 2; ++i) {
        Grid &list = *loaded[i];
        std::optional<lists::ListText> text;
        if (i == 1 && ahead.valid())
            text = ahead.get();
        const auto r =
            text ? lists::appendListText(list, *text, &progress)
                 : lists::loadListFile(list, args.positionals().at(i), column, row, &progress);
        if (!r.imported()) {
            progress.clear();
            return kExitUsage;
        }
        lists::numberList(list);
    }
    installInterruptHandler();
    lists::CompareOptions options;
    options.normalize = args.has(u"normalize"_s);
    const lists::CompareOutcome outcome =
        lists::compareLists(*list1, *list2, *dups1, *dups2, options, &progress);
    progress.clear();
    if (outcome.end == lists::CompareEnd::Stopped) {
        printError(u"zorv lists compare: 已中止"_s);
        return kExitStopped;
    }
    if (outcome.end == lists::CompareEnd::Refused)
        return kExitUsage;
    const std::pair<const char *, const Grid *> extra[] = {
        {"list2", list2.get()}, {"dups1", dups1.get()}, {"dups2", dups2.get()}};
    for (const auto &[option, grid] : extra) {
        const QString name = QString::fromLatin1(option);
        if (args.has(name) && !writeGridFile(*grid, args.value(name))) {
            printError(u"zorv lists compare: 无法写入 "_s + quoteInput(args.value(name)));
            return kExitStopped;
        }
    }
    if (!writeGrid(*list1, stdout)) {
        printError(u"zorv lists compare: 无法写出到标准输出"_s);
        return kExitStopped;
    }
    return kExitOk;
}

} // namespace

int cmdLists(const QStringList &argv) {
    if (argv.isEmpty() || argv[0] == u"--help" || argv[0] == u"-h") {
        writeBytes(argv.isEmpty() ? stderr : stdout, listsHelp().toUtf8());
        return argv.isEmpty() ? kExitUsage : kExitOk;
    }
    const QString sub = argv[0];
    if (sub == u"compare")
        return cmdCompare(argv.mid(1));
    if (sub == u"merge")
        return cmdListsMerge(argv.mid(1));
    if (sub == u"split")
        return cmdListsSplit(argv.mid(1));
    printError(u"zorv lists: 未知的子命令 "_s + quoteInput(sub) + u"（compare, merge, split）"_s);
    return kExitUsage;
}

} // namespace zorv::cli
