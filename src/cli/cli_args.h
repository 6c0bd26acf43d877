#pragma once
// Command-line options of one sub-command: "--name value", "--name=value",
// flags without a value, positionals, and "--" ending the options.

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

namespace zorv::cli {

// Input quoted in a message: between double quotes, at most kQuoteLimit
// characters of it (a longer text is cut and "…" follows), and control
// characters written as escapes (\t, \n, \r, \xNN) so that a quoted value
// can neither flood the terminal nor act on it.
constexpr qsizetype kQuoteLimit = 200;
QString quoteInput(const QString &text);

struct OptionSpec {
    QString name; // without the leading "--"
    bool takesValue = false;
};

class Args {
public:
    // Parses args against specs; on failure error() says why (ok() false).
    Args(const QStringList &args, const QList<OptionSpec> &specs);

    bool ok() const { return m_error.isEmpty(); }
    const QString &error() const { return m_error; }

    bool has(const QString &name) const;
    QString value(const QString &name) const; // the last value given
    const QStringList &positionals() const { return m_positionals; }

    // Integer value of name in [lo, hi]; absent gives fallback. A value that
    // is not such an integer sets *error and returns fallback.
    int intValue(const QString &name, int lo, int hi, int fallback, QString *error) const;
    // One of choices (exact); absent gives fallback; otherwise *error is set.
    QString choice(const QString &name, const QStringList &choices, const QString &fallback,
                   QString *error) const;

private:
    QHash<QString, QString> m_values;
    QSet<QString> m_present;
    QStringList m_positionals;
    QString m_error;
};

} // namespace zorv::cli
