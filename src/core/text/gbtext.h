#pragma once
// Text positions and lengths counted in GB18030 bytes (ASCII 1, Chinese 2,
// characters outside GBK 4), 1-based, never splitting a character: a character
// belongs to the byte range in which its first byte lies.

#include <QString>

namespace zorv::text {

// Leading and trailing blanks (spaces, tabs, CR, LF) removed.
QString trim(const QString &s);

// Bytes the code point takes in GB18030 (1, 2 or 4).
int gbCharBytes(char32_t ucs4);
// Byte length of s in GB18030.
int gbLen(const QString &s);
// 1-based byte position of the first occurrence of needle in s at or after
// byte position start, counting only matches that begin on a character
// boundary; 0 when absent or needle is empty.
int gbPos(const QString &s, const QString &needle, int start = 1);
// The characters whose first byte lies in [pos, pos + n - 1]; n < 0 means to
// the end. Empty when pos lies beyond the end; pos < 1 counts as 1.
QString gbMid(const QString &s, int pos, int n = -1);
QString gbLeft(const QString &s, int n);
// The characters whose first byte lies in the last n bytes.
QString gbRight(const QString &s, int n);
// Left(s, pos - 1) + with + Mid(s, pos + n).
QString gbReplace(const QString &s, int pos, int n, const QString &with);

QByteArray toGb18030(const QString &s);
QString fromGb18030(const QByteArray &bytes);

// UTF-8 bytes as text, keeping a leading U+FEFF as the character it is:
// QString::fromUtf8 takes it for a byte-order mark and drops it, which would
// make a file name or a cell beginning with it read as another one.
QString fromUtf8Exact(const char *bytes, qsizetype len);

// Decodes text input: UTF-8 (with or without BOM), UTF-16 LE/BE with BOM,
// otherwise GBK/GB18030 when the bytes are not valid UTF-8.
QString decodeText(const QByteArray &bytes);

} // namespace zorv::text
