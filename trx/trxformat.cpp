// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "trx/trxformat.h"

#include "report/rpfont.h"

namespace trxformat {

namespace {

bool allowedInXml(char32_t c)
{
    if (c == 0x9 || c == 0xA || c == 0xD)
        return true;
    if (c < 0x20)
        return false;
    if (c >= 0xD800 && c <= 0xDFFF)
        return false;
    return c != 0xFFFE && c != 0xFFFF && c <= 0x10FFFF;
}

} // namespace

QString escape(const QString &text)
{
    QString out;
    out.reserve(text.size() + text.size() / 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        char32_t c = ch.unicode();
        if (ch.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            out += ch;
            out += text.at(++i);
            continue;
        }
        switch (c) {
        case '&': out += QLatin1String("&amp;"); break;
        case '<': out += QLatin1String("&lt;"); break;
        case '>': out += QLatin1String("&gt;"); break;
        case '\'': out += QLatin1String("&apos;"); break;
        case '"': out += QLatin1String("&quot;"); break;
        default:
            out += allowedInXml(c) ? ch : QChar(0xFFFD);
        }
    }
    return out;
}

QString colour(quint32 color)
{
    const quint32 bgr = rpcolor::resolve(color) & 0xFFFFFF;
    const QString hex = QString::asprintf("%6.6X", bgr);
    // BBGGRR rearranged.
    return QLatin1Char('#') + hex.mid(4, 2) + hex.mid(2, 2) + hex.mid(0, 2);
}

QString fixed(double v, int decimals, int width)
{
    const QByteArray format = "%" + QByteArray::number(width) + "." + QByteArray::number(decimals) + "f";
    return QString::asprintf(format.constData(), v);
}

QString integer(qint64 v, int width)
{
    const QByteArray format = "%" + QByteArray::number(width) + "lld";
    return QString::asprintf(format.constData(), static_cast<long long>(v));
}

QStringList hexLines(QByteArrayView data, int digitsPerLine)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    const qsizetype bytesPerLine = qMax(1, digitsPerLine / 2);
    QStringList lines;
    lines.reserve(data.size() / bytesPerLine + 1);
    for (qsizetype at = 0; at < data.size(); at += bytesPerLine) {
        const qsizetype n = qMin(bytesPerLine, data.size() - at);
        QString line(n * 2, Qt::Uninitialized);
        QChar *d = line.data();
        for (qsizetype i = 0; i < n; ++i) {
            const auto b = static_cast<unsigned char>(data[at + i]);
            *d++ = QLatin1Char(kDigits[b >> 4]);
            *d++ = QLatin1Char(kDigits[b & 0xF]);
        }
        lines.append(line);
    }
    return lines;
}

} // namespace trxformat
