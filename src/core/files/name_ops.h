#pragma once
// Step 2 of the file window: the nine operations that compute a new name
// ("预览", cb_5). Positions and lengths count GB18030 bytes (a Chinese
// character takes two) and a cut never splits a character.

#include "core/files/frn_grid.h"

namespace zorv {
class ProgressSink;
}

namespace zorv::files {

// Parameters as read from the edits when "预览" is clicked (an empty edit is 0).
struct NameOpParams {
    int op = 0;    // 1..9; 0 = none chosen
    int start = 0; // kswz: em_1 (operations 1, 3)
    int count = 0; // zfcd: em_2 (operations 1, 2, 3); 0 = up to the end
    QString text;  // bzzf: em_3 (operations 2, 3, 7)
    int step = 0;  // em_1 for operation 9: the common difference
};

// The operation code of a drop-down entry: its first character "1".."9", else 0.
int operationCode(const QString &entryText);
// Integer value of an edit's text; empty or not a number gives 0.
int editValue(const QString &text);

// Decimal digits of rows * step (the width of operation 9's number).
int sequenceWidth(qint64 rows, qint64 step);
// Operation op (1..7, 9) on the trimmed name. seq and width serve operation 9.
QString applyNameOp(const NameOpParams &p, const QString &name, qint64 seq = 1, int width = 1);

enum class ComputeResult { Done, EmptyGrid, NoOperation };

// cb_5: computes filen for every shown row from filey (onTarget false, rb_1)
// or from filen (onTarget true, rb_2). A row whose working column is empty is
// deleted. Messages: "提示" / "还没有源文件", "提示" / "请在1至9中选择字符串操作方式".
ComputeResult computeNames(Grid &grid, const NameOpParams &p, bool onTarget,
                           ProgressSink &progress);

} // namespace zorv::files
