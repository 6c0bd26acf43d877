#pragma once
// Colours SQL in a statement edit: keywords, quoted strings, numbers and
// comments ("--" to the end of the line, "/* … */" over several lines).
// Attach it to the edit's document: new SqlHighlighter(edit->document()).

#include <QRegularExpression>
#include <QSyntaxHighlighter>
#include <QTextCharFormat>

class QTextDocument;

namespace zorv::gui {

class SqlHighlighter : public QSyntaxHighlighter {
    Q_OBJECT
public:
    explicit SqlHighlighter(QTextDocument *document);

    // The formats, for tests that check what a piece of text received.
    const QTextCharFormat &keywordFormat() const { return m_keyword; }
    const QTextCharFormat &stringFormat() const { return m_string; }
    const QTextCharFormat &numberFormat() const { return m_number; }
    const QTextCharFormat &commentFormat() const { return m_comment; }

protected:
    void highlightBlock(const QString &text) override;

private:
    // Block states carried to the next line.
    enum State { Plain = 0, InComment = 1, InString = 2 };

    QTextCharFormat m_keyword;
    QTextCharFormat m_string;
    QTextCharFormat m_number;
    QTextCharFormat m_comment;
    QRegularExpression m_word;
    QRegularExpression m_numberRe;
};

} // namespace zorv::gui
