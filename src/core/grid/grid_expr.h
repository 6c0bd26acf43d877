#pragma once
// Filter and find expressions, compiled once into a small tree and then
// evaluated row by row. The language:
//   comparisons  =  <>  !=  <  >  <=  >=   and  [not] like  with "%" and "_"
//   logic        and  or  not  and parentheses
//   operands     column names, col[-1] (the previous row's value, null before
//                the first row), GetRow() (the row being evaluated), numbers,
//                and texts in single or double quotes where "~" makes the next
//                character literal ("~~", "~'", "~\"")
// Texts compare exactly and case-sensitively by character code; numbers and
// date-times compare by value. An empty cell is less than any value and equal
// only to another empty cell (a text column's empty cell equals '').

#include "core/grid/grid_like.h"
#include "core/grid/grid_storage.h"

#include <QHash>
#include <QString>
#include <memory>
#include <string>
#include <vector>

namespace zorv::gridimpl {

// Column numbers (0-based) by lower-case name.
using ColumnNames = QHash<QString, int>;

class Expr {
public:
    // Compiles text for a grid with these columns; null with a message when
    // the text is malformed, names an unknown column or compares a number or
    // date-time with a text that is not one.
    static std::unique_ptr<Expr> compile(const QString &text, const Storage &store,
                                         const ColumnNames &names, QString *error = nullptr);

    // Evaluates the expression for rows[pos]; rows[pos - 1] is the previous row.
    bool eval(const Storage &store, const RowId *rows, std::size_t count, std::size_t pos) const;

    // Recognises "column = 'text'" on a text column without building a tree;
    // the shape equality finds take in loops over long lists.
    static bool matchTextEquality(const QString &text, const Storage &store,
                                  const ColumnNames &names, int &column, std::string &literal);

    ~Expr();

private:
    struct Operand;
    struct Node;
    struct Parser;
    struct Scratch;
    Expr();
    bool evalNode(int n, const Storage &store, const RowId *rows, std::size_t count,
                  std::size_t pos, Scratch &scratch) const;
    std::vector<Node> m_nodes;
    std::vector<int> m_operands; // of the and / or nodes
    int m_root = -1;
};

} // namespace zorv::gridimpl
