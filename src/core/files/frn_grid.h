#pragma once
// The file list grid `frn1`, its column numbers, the outcome texts written to
// `jg`, and the state that the file window and the command-line tool share.

#include "core/grid/grid.h"

#include <QString>
#include <memory>

namespace zorv::files {

// The seven columns of frn1, in order.
QList<Column> frn1Columns();
std::unique_ptr<Grid> makeFrn1Grid(QObject *parent = nullptr);

// Column numbers of a grid that holds the frn1 columns (looked up by name once,
// so a grid with extra or reordered columns works too; 0 when missing).
struct FrnColumns {
    explicit FrnColumns(const Grid &grid);
    bool complete() const { return xh && ypath && filey && filen && npath && jg && zml; }
    int xh = 0, ypath = 0, filey = 0, filen = 0, npath = 0, jg = 0, zml = 0;
};

// Outcome of one row of an execution run.
enum class Outcome { Success, Failed, SameName, Invalid, Cancelled };
inline constexpr int kOutcomeKinds = 5;
QString outcomeText(Outcome o); // "成功", "失败", "同名", "无效", "取消"
QString foundText();            // "找到", written by the name-list match
// Empties jg of row when it holds a run's outcome; "找到" stays, since the
// name-list filter shows the rows by it.
void clearOutcome(Grid &grid, qint64 row, int jg);

// Window state that outlives one handler: the chosen source folder (ls_path1,
// normalised: no trailing "/", the root folder stored as "") and the chosen
// target root (ls_path2, as chosen: "/" for the root folder).
struct FrnState {
    QString ls_path1; // "" for the root folder once chosen
    QString ls_path2;
    bool sourceChosen = false; // tells the chosen root ("") from no choice yet
};

// Check boxes of the source step.
struct ScanOptions {
    bool accumulate = false; // cbx_1: append instead of replacing the rows
    bool recursive = false;  // cbx_2: include sub-folders
    bool hidden = false;     // cbx_4: include read-only and hidden files
};

// Options of the execution step.
struct RunOptions {
    bool move = false;     // rb_5 "移动" (else rb_6 "复制")
    bool overwrite = true; // rb_7 "是" (else rb_8 "否")
};

} // namespace zorv::files
