#include "cli/cmd_lists_columns.h"

#include "cli/cli_args.h"
#include "cli/cli_platform.h"
#include "cli/command.h"
#include "cli/grid_stream.h"
#include "core/grid/grid.h"
#include "core/lists/merge.h"
#include "core/lists/split.h"

#include <QFile>
#include <cstdio>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace zorv::cli {
namespace {

const QByteArray kHeader = QByteArrayLiteral("al\tbl");

struct Tool {
    QString name; // "merge" or "split"
    QString synopsis;
    QString help;
    QString defaultSeparator;
    bool unique = false; // takes --unique
};

QString prefix(const Tool &tool) {
    return u"zorv lists "_s + tool.name + u": "_s;
}

int usage(const Tool &tool, const QString &message) {
    printError(prefix(tool) + message);
    printError(u"用法: zorv lists "_s + tool.synopsis + u"（--help 查看说明）"_s);
    return kExitUsage;
}

// The rows straight through the grid's text import when the body needs no
// unescaping, holds no quote the import would read as spreadsheet quoting,
// and no line has more than two fields. False leaves the grid as it was.
bool bulkImport(QByteArrayView body, Grid &grid) {
    if (body.contains('\\') || body.contains('"') || body.contains('\r'))
        return false;
    for (qsizetype pos = 0; pos < body.size();) {
        qsizetype end = body.indexOf('\n', pos);
        if (end < 0)
            end = body.size();
        const QByteArrayView line = body.sliced(pos, end - pos);
        if (line.count('\t') > 1)
            return false;
        pos = end + 1;
    }
    return grid.importText(QString::fromUtf8(body)).ok();
}

bool readAllInput(QByteArray *out) {
    char chunk[1 << 16];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, stdin)) > 0)
        out->append(chunk, qsizetype(n));
    return !std::ferror(stdin);
}

bool writeAll(const QByteArray &bytes) {
    return std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) ==
               size_t(bytes.size()) &&
           std::fflush(stdout) == 0;
}

// Parses the options, reads the grid, runs step on it and writes the rows.
// step returns the grid to write: the input grid or one of its own.
using ColumnsStep = std::function<const Grid &(Grid &input, const QString &separator, bool unique)>;
int runColumnsTool(const Tool &tool, const QStringList &argv, const ColumnsStep &step) {
    QList<OptionSpec> specs{{u"sep"_s, true}, {u"help"_s, false}};
    if (tool.unique)
        specs << OptionSpec{u"unique"_s, false};
    const Args args(argv, specs);
    if (!args.ok())
        return usage(tool, args.error());
    if (args.has(u"help"_s)) {
        writeAll((u"用法: zorv lists "_s + tool.synopsis + u"\n\n"_s + tool.help).toUtf8());
        return kExitOk;
    }
    if (!args.positionals().isEmpty())
        return usage(tool, u"多余的参数 "_s + quoteInput(args.positionals().constFirst()));
    if (isatty(STDIN_FILENO))
        return usage(tool, u"标准输入是终端：请用管道送入 al bl 表格"_s);

    QByteArray bytes;
    if (!readAllInput(&bytes)) {
        printError(prefix(tool) + u"无法读取标准输入"_s);
        return kExitUsage;
    }
    std::unique_ptr<Grid> grid = lists::makeHmalGrid();
    ColumnsStreamError error;
    if (!readColumnsStream(bytes, *grid, &error)) {
        printError(
            prefix(tool) + u"标准输入"_s +
            (error.line > 0 ? u" 第 "_s + QString::number(error.line) + u" 行："_s : u"："_s) +
            error.message);
        return kExitUsage;
    }
    CliPlatform platform;
    const QString separator =
        lists::separatorOf(args.has(u"sep"_s) ? args.value(u"sep"_s) : tool.defaultSeparator);
    const Grid &result = step(*grid, separator, args.has(u"unique"_s));
    if (!writeAll(columnsStreamText(result))) {
        printError(prefix(tool) + u"无法写出到标准输出"_s);
        return kExitUsage;
    }
    return kExitOk;
}

} // namespace

bool readColumnsStream(const QByteArray &bytes, Grid &grid, ColumnsStreamError *error) {
    auto fail = [&](qint64 line, const QString &message) {
        error->line = line;
        error->message = message;
        return false;
    };
    qsizetype end = bytes.indexOf('\n');
    if (end < 0)
        end = bytes.size();
    QByteArrayView header = QByteArrayView(bytes).first(end);
    if (header.endsWith('\r'))
        header.chop(1);
    if (header != kHeader)
        return fail(1, u"第一行应为表头 al<TAB>bl"_s);
    QByteArrayView body = QByteArrayView(bytes).sliced(std::min(end + 1, bytes.size()));
    if (!body.isValidUtf8())
        return fail(0, u"不是有效的 UTF-8 文本"_s);
    if (bulkImport(body, grid))
        return true;

    qint64 line = 1;
    for (qsizetype pos = 0; pos < body.size();) {
        ++line;
        qsizetype stop = body.indexOf('\n', pos);
        if (stop < 0)
            stop = body.size();
        QByteArrayView text = body.sliced(pos, stop - pos);
        pos = stop + 1;
        if (text.endsWith('\r'))
            text.chop(1);
        QList<QByteArray> fields = text.toByteArray().split('\t');
        if (fields.size() > 2)
            return fail(line, u"有 %1 个字段，al bl 表格只有两列"_s.arg(fields.size()));
        QStringList values;
        for (QByteArray &f : fields) {
            if (!unescapeField(f))
                return fail(line, u"反斜杠后只能是 \\、t、n 或 r"_s);
            values << QString::fromUtf8(f);
        }
        const qint64 row = grid.insertRow(0);
        grid.setItem(row, 1, values.value(0));
        grid.setItem(row, 2, values.value(1));
    }
    return true;
}

QByteArray columnsStreamText(const Grid &grid) {
    QByteArray out = kHeader + '\n';
    const qint64 rows = grid.rowCount();
    QByteArray tsv = grid.toTsv(false).toUtf8();
    if (!tsv.contains('"') && !tsv.contains('\\') && tsv.count('\t') == rows &&
        tsv.count('\n') == rows && tsv.count('\r') == rows) {
        tsv.replace("\r\n", "\n");
        return out + tsv;
    }
    for (qint64 r = 1; r <= rows; ++r)
        out += escapeField(grid.getItemString(r, 1)) + '\t' +
               escapeField(grid.getItemString(r, 2)) + '\n';
    return out;
}

int cmdListsMerge(const QStringList &args) {
    const Tool tool{
        u"merge"_s, u"merge [--sep 分隔符] [--unique] < 表格"_s,
        u"按 A 列排序，把 A 列相同的各行的 B 列用分隔符连接起来，写回该组每一行"
        "（同“合并B列”窗口的“2、合    并”）。\n"
        "  --sep S    分隔符，默认“；”；前后的空格不算\n"
        "  --unique   再做“重复过滤”：每个 A 值只输出第一行\n"
        "输入输出都是带表头 al<TAB>bl 的 UTF-8 表格。退出码 0 成功，2 用法或输入有误。\n"_s,
        u"；"_s, true};
    return runColumnsTool(tool, args,
                          [](Grid &grid, const QString &separator, bool unique) -> const Grid & {
                              lists::mergeColumnB(grid, separator);
                              if (unique)
                                  lists::applyDuplicateFilter(grid);
                              return grid;
                          });
}

int cmdListsSplit(const QStringList &args) {
    const Tool tool{
        u"split"_s, u"split [--sep 分隔符] < 表格"_s,
        u"把 A 列按分隔符拆开，每一段一行，带上该行去掉首尾空格的 B 列"
        "（同“A列复合字段转单一字段”窗口的“2、转    换”）。空段不输出。\n"
        "  --sep S    分隔符，默认“,”；前后的空格不算；为空时 A 列整体一行\n"
        "输入输出都是带表头 al<TAB>bl 的 UTF-8 表格。退出码 0 成功，2 用法或输入有误。\n"_s,
        u","_s, false};
    std::unique_ptr<Grid> target = lists::makeHmalGrid();
    return runColumnsTool(tool, args,
                          [&target](Grid &grid, const QString &separator, bool) -> const Grid & {
                              if (grid.rowCount() > 0)
                                  lists::splitColumnA(grid, *target, separator);
                              return *target;
                          });
}

} // namespace zorv::cli
