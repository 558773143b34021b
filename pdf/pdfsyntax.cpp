// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "pdf/pdfsyntax.h"

#include <algorithm>

namespace pdfsyntax {

namespace {
bool plainNameByte(quint8 b)
{
    if (b <= 0x20 || b >= 0x7F)
        return false;
    switch (b) {
    case '(': case ')': case '<': case '>': case '[': case ']':
    case '{': case '}': case '/': case '%': case '#':
        return false;
    default:
        return true;
    }
}
} // namespace

QByteArray name(const QString &n)
{
    QByteArray out("/");
    for (const char c : n.toUtf8()) {
        const quint8 b = quint8(c);
        if (plainNameByte(b)) {
            out.append(c);
        } else {
            out.append('#');
            out.append(QByteArray::number(b, 16).rightJustified(2, '0').toUpper());
        }
    }
    return out;
}

QByteArray escapeLiteral(QByteArrayView bytes)
{
    QByteArray out;
    out.reserve(bytes.size() + 8);
    for (const char c : bytes) {
        if (c == '\\' || c == '(' || c == ')')
            out.append('\\');
        out.append(c);
    }
    return out;
}

QByteArray utf16Hex(QStringView text)
{
    QByteArray out;
    out.reserve(text.size() * 4);
    for (QChar c : text)
        out.append(QByteArray::number(c.unicode(), 16).rightJustified(4, '0').toUpper());
    return out;
}

QByteArray textString(const QString &text)
{
    bool latin1 = true;
    for (QChar c : text)
        if (c.unicode() > 0xFF || (c.unicode() >= 0x80 && c.unicode() < 0xA0)) {
            latin1 = false;
            break;
        }
    if (latin1)
        return '(' + escapeLiteral(text.toLatin1()) + ')';
    return "<FEFF" + utf16Hex(text) + '>';
}

QByteArray deflate(const QByteArray &data)
{
    // qCompress puts the length in front of a zlib stream.
    return qCompress(data, 6).mid(4);
}

QByteArray toUnicodeMap(int codeBytes, const QList<QPair<quint32, QString>> &codes)
{
    const int digits = 2 * codeBytes;
    auto hex = [digits](quint32 v) { return QByteArray::number(v, 16).rightJustified(digits, '0').toUpper(); };
    QByteArray cmap = "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                      "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
                      "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
                      "1 begincodespacerange\n<" + hex(0) + "> <" + hex(codeBytes == 1 ? 0xFF : 0xFFFF) +
                      ">\nendcodespacerange\n";
    for (qsizetype i = 0; i < codes.size(); i += 100) {
        const qsizetype n = std::min<qsizetype>(100, codes.size() - i);
        cmap += QByteArray::number(n) + " beginbfchar\n";
        for (qsizetype k = i; k < i + n; ++k)
            cmap += '<' + hex(codes[k].first) + "> <" + utf16Hex(codes[k].second) + ">\n";
        cmap += "endbfchar\n";
    }
    cmap += "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
    return cmap;
}

} // namespace pdfsyntax
