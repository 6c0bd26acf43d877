#include "core/grid/grid_expr.h"

#include "core/grid/grid_value.h"

#include <charconv>
#include <cmath>

using namespace Qt::StringLiterals;

namespace zorv::gridimpl {

namespace {

enum class Tok { End, Ident, Text, Number, Op, LParen, RParen, LBrack, RBrack, Minus };

struct Token {
    Tok type = Tok::End;
    QString text;     // identifier, operator or number as written
    std::string utf8; // text literal, or number as written
    double number = 0;
};

enum class Op { Eq, Ne, Lt, Gt, Le, Ge };

constexpr int kMaxDepth = 200;
// Longest expression compiled: far beyond anything typed or built from a
// list of values, yet its tokens and tree stay within a few tens of MB.
constexpr qsizetype kMaxLength = 1'000'000;

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

bool isIdentStart(QChar c) {
    return c.isLetter() || c == u'_';
}
bool isIdentChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_' || c == u'$' || c == u'#';
}

void appendUtf8(char32_t u, std::string &out) {
    if (u < 0x80) {
        out += char(u);
    } else if (u < 0x800) {
        out += char(0xC0 | (u >> 6));
        out += char(0x80 | (u & 0x3F));
    } else if (u < 0x10000) {
        out += char(0xE0 | (u >> 12));
        out += char(0x80 | ((u >> 6) & 0x3F));
        out += char(0x80 | (u & 0x3F));
    } else {
        out += char(0xF0 | (u >> 18));
        out += char(0x80 | ((u >> 12) & 0x3F));
        out += char(0x80 | ((u >> 6) & 0x3F));
        out += char(0x80 | (u & 0x3F));
    }
}

// Reads a quoted text at s[i] (the opening quote); i ends past the closing one.
bool readQuoted(const QString &s, qsizetype &i, std::string &out) {
    const QChar quote = s[i++];
    out.clear();
    while (i < s.size()) {
        QChar c = s[i++];
        if (c == quote)
            return true;
        if (c == u'~') {
            if (i >= s.size())
                return false;
            c = s[i++];
        }
        char32_t u = c.unicode();
        if (c.isHighSurrogate() && i < s.size() && s[i].isLowSurrogate())
            u = QChar::surrogateToUcs4(c, s[i++]);
        else if (c.isSurrogate())
            u = 0xFFFD;
        appendUtf8(u, out);
    }
    return false;
}

bool lex(const QString &s, std::vector<Token> &out, QString *error) {
    qsizetype i = 0;
    auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    while (true) {
        while (i < s.size() && isBlank(s[i]))
            ++i;
        Token t;
        if (i >= s.size()) {
            out.push_back(std::move(t));
            return true;
        }
        const QChar c = s[i];
        const qsizetype start = i;
        if (c == u'\'' || c == u'"') {
            t.type = Tok::Text;
            if (!readQuoted(s, i, t.utf8))
                return fail(u"文本常量缺少结束引号"_s);
        } else if (c.isDigit() || (c == u'.' && i + 1 < s.size() && s[i + 1].isDigit())) {
            while (i < s.size() && (s[i].isDigit() || s[i] == u'.'))
                ++i;
            if (i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
                qsizetype j = i + 1;
                if (j < s.size() && (s[j] == u'+' || s[j] == u'-'))
                    ++j;
                if (j < s.size() && s[j].isDigit()) {
                    i = j;
                    while (i < s.size() && s[i].isDigit())
                        ++i;
                }
            }
            if (i < s.size() && isIdentChar(s[i]))
                return fail(u"数字写法有误"_s);
            t.type = Tok::Number;
            t.text = s.mid(start, i - start);
            t.utf8 = t.text.toStdString();
            const char *b = t.utf8.data();
            auto [end, ec] = std::from_chars(b, b + t.utf8.size(), t.number);
            if (ec != std::errc() || end != b + t.utf8.size())
                return fail(u"数字写法有误"_s);
        } else if (isIdentStart(c)) {
            while (i < s.size() && isIdentChar(s[i]))
                ++i;
            t.type = Tok::Ident;
            t.text = s.mid(start, i - start);
        } else if (c == u'<' || c == u'>' || c == u'=' || c == u'!') {
            ++i;
            if (i < s.size() && (s[i] == u'=' || (c == u'<' && s[i] == u'>')))
                ++i;
            t.type = Tok::Op;
            t.text = s.mid(start, i - start);
            if (t.text == u"!"_s)
                return fail(u"无法识别的运算符"_s);
        } else if (c == u'(' || c == u')' || c == u'[' || c == u']' || c == u'-') {
            ++i;
            t.type = c == u'('   ? Tok::LParen
                     : c == u')' ? Tok::RParen
                     : c == u'[' ? Tok::LBrack
                     : c == u']' ? Tok::RBrack
                                 : Tok::Minus;
        } else {
            return fail(u"无法识别的字符“"_s + c + u"”"_s);
        }
        out.push_back(std::move(t));
    }
}

bool isKeyword(const QString &ident, const char *word) {
    return ident.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

int compareNumbers(double a, bool aNull, double b, bool bNull) {
    if (aNull || bNull)
        return aNull == bNull ? 0 : (aNull ? -1 : 1);
    return a < b ? -1 : (a > b ? 1 : 0);
}

bool holds(Op op, int c) {
    switch (op) {
    case Op::Eq:
        return c == 0;
    case Op::Ne:
        return c != 0;
    case Op::Lt:
        return c < 0;
    case Op::Gt:
        return c > 0;
    case Op::Le:
        return c <= 0;
    case Op::Ge:
        return c >= 0;
    }
    return false;
}

} // namespace

struct Expr::Operand {
    enum Kind { Column, Text, Number, Row } kind = Text;
    int column = -1;
    int offset = 0;
    std::string text;  // a text literal, or a number literal as written
    double number = 0; // a number literal, or a text literal read as a number
    bool numberNull = false;

    bool numeric(const Storage &store) const {
        return kind == Number || kind == Row ||
               (kind == Column && store.type(column) != ColType::String);
    }
};

struct Expr::Node {
    enum Kind { Or, And, Not, Compare, Like } kind = Compare;
    // Not: a is the operand. Or, And: the operands are m_operands[a, a + b),
    // so a chain of any length is one node evaluated by a loop.
    int a = -1;
    int b = -1;
    Op op = Op::Eq;
    bool numeric = false; // compare by value rather than by text
    bool negate = false;  // "not like"
    Operand l, r;
    bool literalPattern = false;
    LikePattern pattern;
};

struct Expr::Scratch {
    std::string a, b;
};

struct Expr::Parser {
    const std::vector<Token> &t;
    const Storage &store;
    const ColumnNames &names;
    Expr &e;
    std::size_t i = 0;
    int depth = 0;
    QString error;

    const Token &peek(std::size_t ahead = 0) const { return t[std::min(i + ahead, t.size() - 1)]; }
    bool keyword(const char *word, std::size_t ahead = 0) const {
        return peek(ahead).type == Tok::Ident && isKeyword(peek(ahead).text, word);
    }
    int fail(const QString &why) {
        if (error.isEmpty())
            error = why;
        return -1;
    }
    int add(Node n) {
        e.m_nodes.push_back(std::move(n));
        return int(e.m_nodes.size()) - 1;
    }

    // A chain of operands joined by one keyword becomes one node.
    int chain(Node::Kind kind, std::vector<int> &operands) {
        if (operands.size() == 1)
            return operands.front();
        Node n;
        n.kind = kind;
        n.a = int(e.m_operands.size());
        n.b = int(operands.size());
        e.m_operands.insert(e.m_operands.end(), operands.begin(), operands.end());
        return add(std::move(n));
    }

    int parseOr() {
        std::vector<int> operands;
        for (;;) {
            const int operand = parseAnd();
            if (operand < 0)
                return -1;
            operands.push_back(operand);
            if (!keyword("or"))
                return chain(Node::Or, operands);
            ++i;
        }
    }

    int parseAnd() {
        std::vector<int> operands;
        for (;;) {
            const int operand = parseNot();
            if (operand < 0)
                return -1;
            operands.push_back(operand);
            if (!keyword("and"))
                return chain(Node::And, operands);
            ++i;
        }
    }

    int parseNot() {
        if (depth >= kMaxDepth)
            return fail(u"表达式嵌套过深"_s);
        ++depth;
        int result;
        if (keyword("not")) {
            ++i;
            const int inner = parseNot();
            if (inner < 0)
                return -1;
            Node n;
            n.kind = Node::Not;
            n.a = inner;
            result = add(std::move(n));
        } else {
            result = parsePrimary();
        }
        --depth;
        return result;
    }

    int parsePrimary() {
        if (peek().type == Tok::LParen) {
            // A parenthesised condition, or else a parenthesised operand.
            const std::size_t save = i;
            ++i;
            const int inner = parseOr();
            if (inner >= 0 && peek().type == Tok::RParen) {
                ++i;
                return inner;
            }
            i = save;
            error.clear();
        }
        return parseComparison();
    }

    int parseComparison() {
        Node n;
        if (!parseOperand(n.l, 0))
            return -1;
        const Token &op = peek();
        if (op.type == Tok::Op) {
            ++i;
            n.kind = Node::Compare;
            n.op = op.text == u"="_s                            ? Op::Eq
                   : (op.text == u"<>"_s || op.text == u"!="_s) ? Op::Ne
                   : op.text == u"<"_s                          ? Op::Lt
                   : op.text == u">"_s                          ? Op::Gt
                   : op.text == u"<="_s                         ? Op::Le
                   : op.text == u">="_s                         ? Op::Ge
                                                                : Op::Eq;
            if (op.text == u"=="_s)
                return fail(u"无法识别的运算符"_s);
            if (!parseOperand(n.r, 0) || !type(n))
                return -1;
            return add(std::move(n));
        }
        n.kind = Node::Like;
        if (keyword("not") && keyword("like", 1)) {
            n.negate = true;
            i += 2;
        } else if (keyword("like")) {
            ++i;
        } else {
            return fail(u"缺少比较运算符"_s);
        }
        if (!parseOperand(n.r, 0))
            return -1;
        if (n.r.kind == Operand::Text) {
            n.literalPattern = true;
            n.pattern = LikePattern(n.r.text);
        } else if (n.r.kind == Operand::Number) {
            n.literalPattern = true;
            n.pattern = LikePattern(n.r.text);
        }
        return add(std::move(n));
    }

    // Decides how a comparison compares and reads text literals as numbers
    // or date-times where the other side is one.
    bool type(Node &n) {
        const bool ln = n.l.numeric(store), rn = n.r.numeric(store);
        auto asValue = [&](Operand &lit, const Operand &other) {
            const bool dt =
                other.kind == Operand::Column && store.type(other.column) == ColType::DateTime;
            const bool ok = dt ? parseDateTime(lit.text, lit.number, lit.numberNull)
                               : parseNumber(lit.text, lit.number, lit.numberNull);
            if (!ok)
                fail(dt ? u"日期时间常量写法有误"_s : u"数值常量写法有误"_s);
            return ok;
        };
        if (ln && rn) {
            n.numeric = true;
        } else if (ln && n.r.kind == Operand::Text && n.l.kind != Operand::Number) {
            n.numeric = true;
            return asValue(n.r, n.l);
        } else if (rn && n.l.kind == Operand::Text && n.r.kind != Operand::Number) {
            n.numeric = true;
            return asValue(n.l, n.r);
        }
        return true;
    }

    bool parseOperand(Operand &o, int nesting) {
        if (nesting > kMaxDepth) {
            fail(u"表达式嵌套过深"_s);
            return false;
        }
        const Token &tk = peek();
        switch (tk.type) {
        case Tok::Text:
            o.kind = Operand::Text;
            o.text = tk.utf8;
            ++i;
            return true;
        case Tok::Number:
            o.kind = Operand::Number;
            o.text = tk.utf8;
            o.number = tk.number;
            ++i;
            return true;
        case Tok::Minus:
            if (peek(1).type != Tok::Number)
                break;
            o.kind = Operand::Number;
            o.text = "-" + peek(1).utf8;
            o.number = -peek(1).number;
            i += 2;
            return true;
        case Tok::LParen: {
            ++i;
            if (!parseOperand(o, nesting + 1))
                return false;
            if (peek().type != Tok::RParen) {
                fail(u"缺少右括号"_s);
                return false;
            }
            ++i;
            return true;
        }
        case Tok::Ident:
            return parseName(o);
        default:
            break;
        }
        fail(tk.type == Tok::End ? u"表达式不完整"_s : u"缺少比较的对象"_s);
        return false;
    }

    bool parseName(Operand &o) {
        const Token &tk = peek();
        if (keyword("and") || keyword("or") || keyword("not") || keyword("like")) {
            fail(u"缺少比较的对象"_s);
            return false;
        }
        if (peek(1).type == Tok::LParen) {
            if (isKeyword(tk.text, "getrow") && peek(2).type == Tok::RParen) {
                o.kind = Operand::Row;
                i += 3;
                return true;
            }
            fail(u"不支持的函数“"_s + tk.text + u"”"_s);
            return false;
        }
        const auto it = names.constFind(tk.text.toLower());
        if (it == names.cend()) {
            fail(u"没有名为“"_s + tk.text + u"”的列"_s);
            return false;
        }
        o.kind = Operand::Column;
        o.column = it.value();
        ++i;
        if (peek().type != Tok::LBrack)
            return true;
        ++i;
        bool negative = false;
        if (peek().type == Tok::Minus) {
            negative = true;
            ++i;
        }
        const Token &num = peek();
        if (num.type != Tok::Number || num.number > 1e6 || num.number != std::floor(num.number) ||
            peek(1).type != Tok::RBrack) {
            fail(u"行偏移写法有误"_s);
            return false;
        }
        o.offset = negative ? -int(num.number) : int(num.number);
        i += 2;
        return true;
    }
};

Expr::Expr() = default;
Expr::~Expr() = default;

std::unique_ptr<Expr> Expr::compile(const QString &text, const Storage &store,
                                    const ColumnNames &names, QString *error) {
    if (text.size() > kMaxLength) {
        if (error)
            *error = u"表达式过长"_s;
        return nullptr;
    }
    std::vector<Token> tokens;
    if (!lex(text, tokens, error))
        return nullptr;
    std::unique_ptr<Expr> e(new Expr);
    Parser p{tokens, store, names, *e, 0, 0, {}};
    e->m_root = p.parseOr();
    if (e->m_root >= 0 && p.peek().type != Tok::End)
        e->m_root = p.fail(u"表达式末尾有多余内容"_s);
    if (e->m_root < 0) {
        if (error)
            *error = p.error.isEmpty() ? u"表达式有误"_s : p.error;
        return nullptr;
    }
    return e;
}

namespace {

// The operand's value for rows[pos] as a number (null when empty or absent).
template <typename O>
double numberOf(const O &o, const Storage &store, const RowId *rows, std::size_t count,
                std::size_t pos, bool &isNull) {
    isNull = false;
    switch (o.kind) {
    case O::Column: {
        const std::ptrdiff_t at = std::ptrdiff_t(pos) + o.offset;
        if (at < 0 || at >= std::ptrdiff_t(count)) {
            isNull = true;
            return 0;
        }
        const RowId r = rows[at];
        if (store.type(o.column) == ColType::String) {
            double v;
            if (!parseNumber(store.str(o.column, r), v, isNull))
                isNull = true;
            return v;
        }
        isNull = store.null(o.column, r);
        return store.num(o.column, r);
    }
    case O::Row:
        return double(pos + 1);
    case O::Number:
        return o.number;
    case O::Text:
        isNull = o.numberNull;
        return o.number;
    }
    return 0;
}

template <typename O>
std::string_view textOf(const O &o, const Storage &store, const RowId *rows, std::size_t count,
                        std::size_t pos, std::string &buf) {
    switch (o.kind) {
    case O::Column: {
        const std::ptrdiff_t at = std::ptrdiff_t(pos) + o.offset;
        if (at < 0 || at >= std::ptrdiff_t(count))
            return {};
        return cellAsText(store, o.column, rows[at], buf);
    }
    case O::Row:
        buf.clear();
        appendNumber(double(pos + 1), buf);
        return buf;
    case O::Number:
    case O::Text:
        return o.text;
    }
    return {};
}

} // namespace

bool Expr::eval(const Storage &store, const RowId *rows, std::size_t count, std::size_t pos) const {
    Scratch scratch;
    return evalNode(m_root, store, rows, count, pos, scratch);
}

bool Expr::evalNode(int index, const Storage &store, const RowId *rows, std::size_t count,
                    std::size_t pos, Scratch &s) const {
    const Node &n = m_nodes[std::size_t(index)];
    switch (n.kind) {
    case Node::Or:
    case Node::And: {
        // Or ends at the first operand that holds, And at the first that does not.
        const bool stopAt = n.kind == Node::Or;
        const int *operand = m_operands.data() + n.a;
        for (const int *end = operand + n.b; operand != end; ++operand)
            if (evalNode(*operand, store, rows, count, pos, s) == stopAt)
                return stopAt;
        return !stopAt;
    }
    case Node::Not:
        return !evalNode(n.a, store, rows, count, pos, s);
    case Node::Compare:
        if (n.numeric) {
            bool ln, rn;
            const double l = numberOf(n.l, store, rows, count, pos, ln);
            const double r = numberOf(n.r, store, rows, count, pos, rn);
            return holds(n.op, compareNumbers(l, ln, r, rn));
        } else {
            const std::string_view l = textOf(n.l, store, rows, count, pos, s.a);
            const std::string_view r = textOf(n.r, store, rows, count, pos, s.b);
            const int c = l.compare(r);
            return holds(n.op, c);
        }
    case Node::Like: {
        const std::string_view text = textOf(n.l, store, rows, count, pos, s.a);
        const bool m = n.literalPattern
                           ? n.pattern.matches(text)
                           : likeMatch(text, textOf(n.r, store, rows, count, pos, s.b));
        return m != n.negate;
    }
    }
    return false;
}

bool Expr::matchTextEquality(const QString &text, const Storage &store, const ColumnNames &names,
                             int &column, std::string &literal) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && isBlank(text[i]))
        ++i;
    const qsizetype start = i;
    if (i >= n || !isIdentStart(text[i]))
        return false;
    while (i < n && isIdentChar(text[i]))
        ++i;
    const QStringView name = QStringView(text).mid(start, i - start);
    while (i < n && isBlank(text[i]))
        ++i;
    if (i >= n || text[i] != u'=')
        return false;
    ++i;
    while (i < n && isBlank(text[i]))
        ++i;
    if (i >= n || (text[i] != u'\'' && text[i] != u'"'))
        return false;
    if (!readQuoted(text, i, literal))
        return false;
    while (i < n && isBlank(text[i]))
        ++i;
    if (i != n)
        return false;
    // Keywords are not column names (and the grids have but a few columns,
    // so comparing beats building a lower-case key).
    for (const char *keyword : {"and", "or", "not", "like"})
        if (name.compare(QLatin1StringView(keyword), Qt::CaseInsensitive) == 0)
            return false;
    for (auto it = names.cbegin(); it != names.cend(); ++it) {
        if (name.compare(it.key(), Qt::CaseInsensitive) == 0) {
            if (store.type(it.value()) != ColType::String)
                return false;
            column = it.value();
            return true;
        }
    }
    return false;
}

} // namespace zorv::gridimpl
