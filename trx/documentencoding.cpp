// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "trx/documentencoding.h"

#include <QStringConverter>

#include <array>
#include <utility>

namespace trxencoding {

namespace {

constexpr std::array<std::pair<TextEncoding, const char *>, 7> kNames{{
    {TextEncoding::AnsiEncoding, "AnsiEncoding"},
    {TextEncoding::ASCIIEncoding, "ASCIIEncoding"},
    {TextEncoding::BigEndianUnicodeEncoding, "BigEndianUnicodeEncoding"},
    {TextEncoding::DefaultEncoding, "DefaultEncoding"},
    {TextEncoding::UnicodeEncoding, "UnicodeEncoding"},
    {TextEncoding::UTF7Encoding, "UTF7Encoding"},
    {TextEncoding::UTF8Encoding, "UTF8Encoding"},
}};

bool utf7Direct(char32_t c)
{
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
        return true;
    // Set D, white space, then set O.
    static constexpr char kDirect[] = "'(),-./:? \t\r\n!\"#$%&*;<=>@[]^_`{|}";
    for (const char *p = kDirect; *p; ++p)
        if (c == char32_t(static_cast<unsigned char>(*p)))
            return true;
    return false;
}

QByteArray asciiWithReferences(const QString &text)
{
    QByteArray out;
    out.reserve(text.size());
    for (const char32_t c : text.toUcs4()) {
        if (c < 0x80)
            out += char(c);
        else
            out += "&#x" + QByteArray::number(uint(c), 16).toUpper() + ';';
    }
    return out;
}

QByteArray withBom(QStringConverter::Encoding e, const QString &text)
{
    QStringEncoder enc(e, QStringConverter::Flag::WriteBom);
    return enc.encode(text);
}

} // namespace

QByteArray toUtf7(const QString &text)
{
    static constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    QByteArray out;
    out.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        const char16_t c = text.at(i).unicode();
        if (c == '+') {
            out += "+-";
            ++i;
            continue;
        }
        if (utf7Direct(c)) {
            out += char(c);
            ++i;
            continue;
        }
        // A run of characters to shift: their UTF-16 code units, big endian,
        // in modified base64 (no padding).
        out += '+';
        quint32 bits = 0;
        int nbits = 0;
        while (i < text.size()) {
            const char16_t u = text.at(i).unicode();
            if (utf7Direct(u) || u == '+')
                break;
            bits = (bits << 16) | u;
            nbits += 16;
            while (nbits >= 6) {
                nbits -= 6;
                out += kBase64[(bits >> nbits) & 0x3F];
            }
            ++i;
        }
        if (nbits > 0)
            out += kBase64[(bits << (6 - nbits)) & 0x3F];
        // Every run ends with '-', so what follows is never read as part of it.
        out += '-';
    }
    return out;
}

QByteArray encodeLines(const QStringList &lines, TextEncoding encoding)
{
    QString text;
    qsizetype size = 0;
    for (const QString &l : lines)
        size += l.size() + 2;
    text.reserve(size);
    for (const QString &l : lines) {
        if (l.isEmpty())
            continue;
        text += l;
        text += QLatin1String("\r\n");
    }
    switch (encoding) {
    case TextEncoding::ASCIIEncoding: return asciiWithReferences(text);
    case TextEncoding::BigEndianUnicodeEncoding: return withBom(QStringConverter::Utf16BE, text);
    case TextEncoding::UnicodeEncoding: return withBom(QStringConverter::Utf16LE, text);
    case TextEncoding::UTF7Encoding: return toUtf7(text);
    case TextEncoding::UTF8Encoding: return withBom(QStringConverter::Utf8, text);
    case TextEncoding::AnsiEncoding:
    case TextEncoding::DefaultEncoding: break;
    }
    QStringEncoder enc(QStringConverter::System);
    return enc.encode(text);
}

QString name(TextEncoding encoding)
{
    for (const auto &[e, n] : kNames)
        if (e == encoding)
            return QString::fromLatin1(n);
    return QString();
}

bool fromName(const QString &n, TextEncoding &encoding)
{
    for (const auto &[e, s] : kNames)
        if (n.compare(QLatin1String(s), Qt::CaseInsensitive) == 0) {
            encoding = e;
            return true;
        }
    return false;
}

} // namespace trxencoding
