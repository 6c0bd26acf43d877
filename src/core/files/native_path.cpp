#include "core/files/native_path.h"

#include "core/text/gbtext.h"

#include <QDir>

using namespace Qt::Literals::StringLiterals;

namespace zorv::files {

QString normaliseSourceFolder(const QString &chosen) {
    QString p = QDir::cleanPath(chosen);
    while (p.endsWith(u'/'))
        p.chop(1);
    return p;
}

QString normaliseTargetRoot(const QString &chosen) {
    const QString p = normaliseSourceFolder(chosen);
    return p.isEmpty() && !chosen.isEmpty() ? u"/"_s : p;
}

QString joinPath(const QString &folder, const QString &rest) {
    if (folder.isEmpty() || folder.endsWith(u'/'))
        return folder + rest;
    return folder + u'/' + rest;
}

bool encodePath(const QString &path, QByteArray *out) {
    for (qsizetype i = 0, n = path.size(); i < n; ++i) {
        const QChar c = path.at(i);
        if (c.unicode() == 0 || c.unicode() == 0xFFFD)
            return false;
        if (c.isHighSurrogate()) {
            if (i + 1 >= n || !path.at(i + 1).isLowSurrogate())
                return false;
            ++i;
        } else if (c.isLowSurrogate()) {
            return false;
        }
    }
    *out = path.toUtf8();
    return true;
}

QString decodeName(const char *bytes, qsizetype len, bool *intact) {
    bool ascii = true;
    for (qsizetype i = 0; i < len; ++i)
        if (static_cast<unsigned char>(bytes[i]) >= 0x80) {
            ascii = false;
            break;
        }
    if (ascii) {
        if (intact)
            *intact = true;
        return QString::fromLatin1(bytes, len);
    }
    QString s = text::fromUtf8Exact(bytes, len);
    if (intact) {
        // A real U+FFFD in a name is valid UTF-8 but cannot be told apart from
        // a replaced byte, so it counts as not intact as well.
        *intact = !s.contains(QChar(0xFFFD)) && s.toUtf8() == QByteArrayView(bytes, len);
    }
    return s;
}

bool isValidNewName(const QString &name) {
    const QString t = text::trim(name);
    if (t.isEmpty() || t == u"."_s || t == u".."_s)
        return false;
    return !t.contains(u'/') && !t.contains(QChar(0));
}

} // namespace zorv::files
