#include "gui/sqllib/sql_highlighter.h"

#include <QSet>
#include <QTextDocument>

using namespace Qt::StringLiterals;

namespace zorv::gui {
namespace {

const QSet<QString> &keywords() {
    static const QSet<QString> set = [] {
        const QString words =
            u"add all alter and any as asc between by case cast check column commit constraint "
            "create cross current_date current_time current_timestamp database default delete "
            "desc distinct drop else end escape except exists false fetch foreign from full "
            "grant group having in index inner insert intersect into is join key left like "
            "limit merge not null nvl offset on or order outer primary references replace "
            "revoke right rollback rownum select set sysdate table then to top true truncate "
            "union unique update using values view when where with count sum avg min max "
            "coalesce decode substr to_char to_date to_number trim upper lower length "
            "integer int varchar varchar2 char number numeric date timestamp text begin"_s;
        QSet<QString> s;
        for (const QString &w : words.split(u' ', Qt::SkipEmptyParts))
            s.insert(w);
        return s;
    }();
    return set;
}

} // namespace

SqlHighlighter::SqlHighlighter(QTextDocument *document)
    : QSyntaxHighlighter(document), m_word(u"[A-Za-z_][A-Za-z0-9_$#]*"_s),
      m_numberRe(u"\\b\\d+(\\.\\d+)?([eE][+-]?\\d+)?\\b"_s) {
    m_keyword.setForeground(QColor(0x00, 0x33, 0xb3));
    m_keyword.setFontWeight(QFont::Bold);
    m_string.setForeground(QColor(0x06, 0x7d, 0x17));
    m_number.setForeground(QColor(0x17, 0x50, 0xeb));
    m_comment.setForeground(QColor(0x8c, 0x8c, 0x8c));
    m_comment.setFontItalic(true);
}

void SqlHighlighter::highlightBlock(const QString &text) {
    const qsizetype n = text.size();
    qsizetype i = 0;
    int state = previousBlockState() < 0 ? Plain : previousBlockState();
    // Spans of strings and comments; numbers and keywords are looked for
    // only outside them.
    QList<std::pair<qsizetype, qsizetype>> plain;
    qsizetype plainStart = 0;

    auto closePlain = [&](qsizetype end) {
        if (end > plainStart)
            plain.append({plainStart, end - plainStart});
    };

    while (i < n || state != Plain) {
        if (state == InComment) {
            const qsizetype end = text.indexOf(u"*/"_s, i);
            const qsizetype stop = end < 0 ? n : end + 2;
            setFormat(int(i), int(stop - i), m_comment);
            i = stop;
            if (end < 0)
                break;
            state = Plain;
            plainStart = i;
            continue;
        }
        if (state == InString) {
            qsizetype j = i;
            bool closed = false;
            while (j < n) {
                if (text[j] == u'\'') {
                    if (j + 1 < n && text[j + 1] == u'\'') { // '' inside a string
                        j += 2;
                        continue;
                    }
                    closed = true;
                    ++j;
                    break;
                }
                ++j;
            }
            setFormat(int(i), int(j - i), m_string);
            i = j;
            if (!closed)
                break;
            state = Plain;
            plainStart = i;
            continue;
        }
        if (i >= n)
            break;
        const QChar c = text[i];
        if (c == u'-' && i + 1 < n && text[i + 1] == u'-') {
            closePlain(i);
            setFormat(int(i), int(n - i), m_comment);
            plainStart = i = n;
            break;
        }
        if (c == u'/' && i + 1 < n && text[i + 1] == u'*') {
            closePlain(i);
            setFormat(int(i), 2, m_comment);
            i += 2;
            state = InComment;
            continue;
        }
        if (c == u'\'') {
            closePlain(i);
            setFormat(int(i), 1, m_string);
            ++i;
            state = InString;
            continue;
        }
        ++i;
    }
    if (state == Plain)
        closePlain(n);
    setCurrentBlockState(state);

    for (const auto &[start, length] : plain) {
        const QString part = text.mid(start, length);
        auto words = m_word.globalMatch(part);
        while (words.hasNext()) {
            const auto m = words.next();
            if (keywords().contains(m.captured().toLower()))
                setFormat(int(start + m.capturedStart()), int(m.capturedLength()), m_keyword);
        }
        auto numbers = m_numberRe.globalMatch(part);
        while (numbers.hasNext()) {
            const auto m = numbers.next();
            // A digit run inside a name (t1, col_2) is part of the name.
            const qsizetype at = m.capturedStart();
            if (at > 0 && (part[at - 1].isLetter() || part[at - 1] == u'_'))
                continue;
            setFormat(int(start + at), int(m.capturedLength()), m_number);
        }
    }
}

} // namespace zorv::gui
