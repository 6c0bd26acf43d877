#include "core/config/profile.h"

#include "core/text/gbtext.h"

#include <QFile>
#include <QList>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace zorv::config {
namespace {

enum class Encoding { Utf8, Gb18030, Utf16LE, Utf16BE };

// One line of the file: its decoded text without the line end, and the bytes
// it had on disk (line end included) so that untouched lines are written back
// exactly as they were. raw is empty for a line this program made or changed.
struct Line {
    QString text;
    QByteArray raw;
    bool hasEol = false;
};

struct ProfileText {
    Encoding encoding = Encoding::Utf8;
    QByteArray bom;
    QString eol = QStringLiteral("\r\n");
    QList<Line> lines;
};

QString decodeLine(const QByteArray &bytes, Encoding enc) {
    return enc == Encoding::Utf8 ? QString::fromUtf8(bytes) : text::fromGb18030(bytes);
}

QByteArray encode(const QString &s, Encoding enc) {
    switch (enc) {
    case Encoding::Utf8:
        return s.toUtf8();
    case Encoding::Gb18030:
        return text::toGb18030(s);
    case Encoding::Utf16LE:
        return QStringEncoder(QStringEncoder::Utf16LE)(s);
    case Encoding::Utf16BE:
        return QStringEncoder(QStringEncoder::Utf16BE)(s);
    }
    return {};
}

QString chopEol(QString s) {
    if (s.endsWith(u'\n'))
        s.chop(1);
    if (s.endsWith(u'\r'))
        s.chop(1);
    return s;
}

// Splits 8-bit text (UTF-8 or GB18030) at LF without decoding the bytes of
// untouched lines: neither encoding uses 0x0A inside a character.
void splitBytes(const QByteArray &body, ProfileText &out) {
    qsizetype start = 0;
    while (start < body.size()) {
        qsizetype nl = body.indexOf('\n', start);
        qsizetype end = nl < 0 ? body.size() : nl + 1;
        QByteArray raw = body.mid(start, end - start);
        out.lines.append({chopEol(decodeLine(raw, out.encoding)), raw, nl >= 0});
        start = end;
    }
}

ProfileText parse(const QByteArray &bytes) {
    ProfileText p;
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        // UTF-16 files are decoded whole; their lines are re-encoded on write,
        // which reproduces the same bytes for well-formed text.
        p.encoding = bytes.startsWith("\xFF\xFE") ? Encoding::Utf16LE : Encoding::Utf16BE;
        p.bom = bytes.left(2);
        const QString whole = text::decodeText(bytes);
        qsizetype start = 0;
        while (start < whole.size()) {
            qsizetype nl = whole.indexOf(u'\n', start);
            qsizetype end = nl < 0 ? whole.size() : nl + 1;
            const QString piece = whole.mid(start, end - start);
            p.lines.append({chopEol(piece), encode(piece, p.encoding), nl >= 0});
            start = end;
        }
    } else {
        QByteArrayView body(bytes);
        if (bytes.startsWith("\xEF\xBB\xBF")) {
            p.bom = bytes.left(3);
            body = body.sliced(3);
        }
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString probe = utf8(body);
        Q_UNUSED(probe);
        p.encoding = utf8.hasError() ? Encoding::Gb18030 : Encoding::Utf8;
        splitBytes(body.toByteArray(), p);
    }
    // New lines end like the file's first line does (CR LF for a new file).
    if (!p.lines.isEmpty() && p.lines.first().hasEol &&
        !p.lines.first().raw.endsWith(encode(p.eol, p.encoding)))
        p.eol = QStringLiteral("\n");
    return p;
}

// What a line says: a section header, a key line, or nothing (blank,
// comment, anything else).
struct Parsed {
    enum Kind { Other, Section, Key } kind = Other;
    QString name;
    QString value;
};

Parsed parseLine(const QString &line) {
    const QString t = text::trim(line);
    if (t.isEmpty() || t.startsWith(u';'))
        return {};
    if (t.startsWith(u'[')) {
        qsizetype close = t.indexOf(u']');
        return {Parsed::Section, text::trim(t.mid(1, close < 0 ? -1 : close - 1)), {}};
    }
    qsizetype eq = t.indexOf(u'=');
    if (eq <= 0)
        return {};
    QString value = text::trim(t.mid(eq + 1));
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    return {Parsed::Key, text::trim(t.left(eq)), value};
}

bool sameName(const QString &a, const QString &b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool readAll(const QString &path, QByteArray *bytes) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    *bytes = f.readAll();
    return true;
}

} // namespace

QString readProfileString(const QString &path, const QString &section, const QString &key,
                          const QString &def) {
    QByteArray bytes;
    if (!readAll(path, &bytes))
        return def;
    bool inSection = false;
    bool sectionSeen = false;
    for (const Line &line : parse(bytes).lines) {
        const Parsed p = parseLine(line.text);
        if (p.kind == Parsed::Section) {
            // Only the first section of a name counts, as with the desktop's reader.
            if (inSection)
                return def;
            inSection = !sectionSeen && sameName(p.name, section);
            sectionSeen = sectionSeen || inSection;
        } else if (inSection && p.kind == Parsed::Key && sameName(p.name, key)) {
            return p.value;
        }
    }
    return def;
}

bool writeProfileString(const QString &path, const QString &section, const QString &key,
                        const QString &value, QString *error) {
    QByteArray bytes;
    ProfileText p;
    if (QFile::exists(path)) {
        if (!readAll(path, &bytes)) {
            if (error)
                *error = QFile(path).errorString();
            return false;
        }
        p = parse(bytes);
    }

    qsizetype sectionLine = -1; // header of the first matching section
    qsizetype lastContent = -1; // last non-blank line inside it
    qsizetype keyLine = -1;
    for (qsizetype i = 0; i < p.lines.size(); ++i) {
        const Parsed parsed = parseLine(p.lines[i].text);
        if (parsed.kind == Parsed::Section) {
            if (sectionLine >= 0)
                break;
            if (sameName(parsed.name, section))
                sectionLine = lastContent = i;
            continue;
        }
        if (sectionLine < 0)
            continue;
        if (!text::trim(p.lines[i].text).isEmpty())
            lastContent = i;
        if (parsed.kind == Parsed::Key && sameName(parsed.name, key)) {
            keyLine = i;
            break;
        }
    }

    auto ensureLastLineEnds = [&p] {
        if (!p.lines.isEmpty() && !p.lines.last().hasEol) {
            p.lines.last().raw += encode(p.eol, p.encoding);
            p.lines.last().hasEol = true;
        }
    };
    auto makeLine = [&p](const QString &text, bool withEol) {
        return Line{text, encode(withEol ? text + p.eol : text, p.encoding), withEol};
    };
    if (keyLine >= 0) {
        const QString keyText = parseLine(p.lines[keyLine].text).name;
        p.lines[keyLine] = makeLine(keyText + u'=' + value, p.lines[keyLine].hasEol);
    } else if (sectionLine >= 0) {
        if (lastContent == p.lines.size() - 1)
            ensureLastLineEnds();
        p.lines.insert(lastContent + 1, makeLine(key + u'=' + value, true));
    } else {
        ensureLastLineEnds();
        p.lines.append(makeLine(u'[' + section + u']', true));
        p.lines.append(makeLine(key + u'=' + value, true));
    }

    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly)) {
        if (error)
            *error = out.errorString();
        return false;
    }
    out.write(p.bom);
    for (const Line &line : p.lines)
        out.write(line.raw);
    if (!out.commit()) {
        if (error)
            *error = out.errorString();
        return false;
    }
    return true;
}

} // namespace zorv::config
