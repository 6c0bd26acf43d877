#include "cli/command.h"

using namespace Qt::StringLiterals;

namespace zorv::cli {

QString overviewHelp() {
    return u"用法: zorv files <子命令> [选项] [参数]\n"
           "\n"
           "文件批量处理的各个步骤，每步一条子命令，用管道连接：\n"
           "  list [--recursive] [--hidden] [--append] DIR     1、选择源文件夹：列出文件\n"
           "  names --op N [--start N] [--count N] [--text T] [--step N] [--on source|target]\n"
           "                                                   2、字符串操作：计算目标文件名\n"
           "  import-names FILE [--columns N] [--rows N]       2、导入新文件名\n"
           "  filter LIST [--suffix EXT] [--drop]              导入名单筛选源文件\n"
           "  target DIR [--keep-tree]                         3、选择目标文件夹\n"
           "  run [--mode copy|move] [--overwrite yes|no] [--root DIR]\n"
           "                                                   4、执行\n"
           "  undo [JOURNAL]                                   撤销上次执行（按执行日志）\n"
           "\n"
           "例: zorv files list --recursive photos | zorv files names --op 9 --step 1 \\\n"
           "      | zorv files target out --keep-tree | zorv files run --mode copy\n"
           "\n"
           "除 list 外，每条子命令从标准输入（或 --in FILE）读入文件表格，处理后写到标准输出。\n"
           "文件表格是 UTF-8 的制表符分隔文本，首行是列名：\n"
           "  xh ypath filey filen npath jg zml\n"
           "  （序号、源文件路径、源文件名、目标文件名、目标文件路径、结果、源文件夹子目录）\n"
           "字段中的反斜杠、制表符、换行、回车写作 \\\\ \\t \\n \\r。\n"
           "每一行都以换行结束；最后一行缺少换行的表格被当作截断的输入拒绝。\n"
           "表格带过滤条件时，表头后有一行 \"#filter<TAB>表达式\"，被过滤掉的行也照样写出，\n"
           "读入时再按该条件隐藏。\n"
           "\n"
           "提示信息写到标准错误，格式为 \"标题: 内容\"。退出状态：0 完成；\n"
           "1 步骤被提示信息中止、被 Ctrl-C 中止，list 跳过了无法读取的文件夹或路径，\n"
           "  或 run 有结果不是 \"成功\" 的行、执行后结果表格无法写出；\n"
           "2 用法错误或输入无法读取（此时不动磁盘上的任何文件）。\n"
           "在管道中请先 set -o pipefail，管道的退出状态才反映每一步的失败。\n"
           "每条子命令都有 --help。\n"
           "\n"
           "另有 zorv sheet FILE [--sheet N|名称] "
           "[--all]：把电子表格的工作表按导入时所见写成文本。\n"
           "zorv sql find|import …：数据文件夹中的 SQL 语句库（zorv sql --help）。\n"
           "zorv catalogue import|export|columns|select …：数据文件夹中的 oracle 表目录\n"
           "（zorv catalogue --help）。\n"
           "zorv lists compare|merge|split …：核对名单、合并B列、转换A列（zorv lists --help）。\n"
           "zorv db init|copy：在服务器数据库中建表、在数据库之间复制数据（zorv db --help）。\n"_s;
}

} // namespace zorv::cli
