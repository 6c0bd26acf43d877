#include "cli/cli_args.h"

using namespace Qt::StringLiterals;

namespace zorv::cli {

Args::Args(const QStringList &args, const QList<OptionSpec> &specs) {
    auto findSpec = [&](const QString &name) -> const OptionSpec * {
        for (const OptionSpec &s : specs)
            if (s.name == name)
                return &s;
        return nullptr;
    };
    bool optionsEnded = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (optionsEnded || !a.startsWith(u'-') || a == u"-") {
            m_positionals << a;
            continue;
        }
        if (a == u"--") {
            optionsEnded = true;
            continue;
        }
        QString name = a == u"-h" ? QStringLiteral("help") : a.mid(2);
        QString value;
        bool inlineValue = false;
        if (!a.startsWith(u"--") && a != u"-h") {
            m_error = u"未知选项 "_s + a;
            return;
        }
        if (const qsizetype eq = name.indexOf(u'='); eq >= 0) {
            value = name.mid(eq + 1);
            name.truncate(eq);
            inlineValue = true;
        }
        const OptionSpec *spec = findSpec(name);
        if (!spec) {
            m_error = u"未知选项 --"_s + name;
            return;
        }
        if (spec->takesValue && !inlineValue) {
            if (i + 1 >= args.size()) {
                m_error = u"选项 --"_s + name + u" 缺少取值"_s;
                return;
            }
            value = args[++i];
        } else if (!spec->takesValue && inlineValue) {
            m_error = u"选项 --"_s + name + u" 不带取值"_s;
            return;
        }
        m_present.insert(name);
        m_values.insert(name, value);
    }
}

bool Args::has(const QString &name) const {
    return m_present.contains(name);
}

QString Args::value(const QString &name) const {
    return m_values.value(name);
}

int Args::intValue(const QString &name, int lo, int hi, int fallback, QString *error) const {
    if (!has(name))
        return fallback;
    bool ok = false;
    const int v = value(name).trimmed().toInt(&ok);
    if (!ok || v < lo || v > hi) {
        *error = u"选项 --"_s + name + u" 应为 "_s + QString::number(lo) + u" 至 "_s +
                 QString::number(hi) + u" 的整数，而不是 "_s + quoteInput(value(name));
        return fallback;
    }
    return v;
}

QString Args::choice(const QString &name, const QStringList &choices, const QString &fallback,
                     QString *error) const {
    if (!has(name))
        return fallback;
    if (!choices.contains(value(name))) {
        *error = u"选项 --"_s + name + u" 应为 "_s + choices.join(u'|') + u"，而不是 "_s +
                 quoteInput(value(name));
        return fallback;
    }
    return value(name);
}

QString quoteInput(const QString &text) {
    QString out(1, u'"');
    qsizetype shown = 0;
    for (qsizetype i = 0; i < text.size(); ++i, ++shown) {
        if (shown == kQuoteLimit) {
            out += u'…';
            break;
        }
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            out += c;
            out += text.at(++i);
        } else if (c == u'\t') {
            out += u"\\t"_s;
        } else if (c == u'\n') {
            out += u"\\n"_s;
        } else if (c == u'\r') {
            out += u"\\r"_s;
        } else if (c.unicode() < 0x20 || (c.unicode() >= 0x7f && c.unicode() < 0xa0)) {
            out += u"\\x"_s + QString::number(c.unicode(), 16).rightJustified(2, u'0');
        } else {
            out += c;
        }
    }
    return out + u'"';
}

} // namespace zorv::cli
