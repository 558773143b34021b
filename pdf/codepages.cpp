// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "pdf/codepages.h"

#include <QHash>
#include <QMutex>
#include <QStringDecoder>

#include <array>

namespace codepage {

namespace {

// Bytes 0x80 to 0x9F of code page 1252 (0 where the byte stands for the
// control character of the same number).
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

} // namespace

int toCp1252(char32_t ch)
{
    if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF))
        return int(ch);
    for (int i = 0; i < 32; ++i)
        if (kCp1252High[i] == ch)
            return 0x80 + i;
    // The five unassigned bytes carry the control characters of their number.
    if (ch == 0x81 || ch == 0x8D || ch == 0x8F || ch == 0x90 || ch == 0x9D)
        return int(ch);
    return -1;
}

bool inCp1252(QStringView text)
{
    for (QChar c : text)
        if (c.isSurrogate() || toCp1252(c.unicode()) < 0)
            return false;
    return true;
}

QByteArray toCp1252Text(QStringView text)
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out.append('?');
            ++i;
            continue;
        }
        int b = c.isSurrogate() ? -1 : toCp1252(c.unicode());
        if (b < 0) {
            // The base letter of an accented letter.
            const QString d = QString(c).normalized(QString::NormalizationForm_D);
            if (d.size() > 1 && toCp1252(d[0].unicode()) >= 0)
                b = toCp1252(d[0].unicode());
        }
        out.append(b < 0 ? '?' : char(b));
    }
    return out;
}

int forCharset(int charset)
{
    switch (charset) {
    case 128: return 932;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 255: return 437;
    default: return 1252;
    }
}

bool isDoubleByte(int codePage) { return codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950; }

char32_t decodeByte(int codePage, quint8 b, bool *ok)
{
    if (ok)
        *ok = true;
    if (codePage == 1252) {
        const int i = b;
        if (i >= 0x80 && i < 0xA0)
            return kCp1252High[i - 0x80] ? kCp1252High[i - 0x80] : char32_t(i);
        return char32_t(i);
    }
    // Other code pages through the platform's converters, one table each.
    static QMutex mutex;
    static QHash<int, std::array<char32_t, 256>> tables;
    static QHash<int, bool> missing;
    QMutexLocker lock(&mutex);
    if (missing.value(codePage)) {
        if (ok)
            *ok = false;
        return 0;
    }
    auto it = tables.find(codePage);
    if (it == tables.end()) {
        const QByteArray name = codePage == 437 ? QByteArrayLiteral("IBM437")
                                : codePage == 874 ? QByteArrayLiteral("windows-874")
                                : codePage == 932 ? QByteArrayLiteral("Shift_JIS")
                                : codePage == 936 ? QByteArrayLiteral("GBK")
                                : codePage == 950 ? QByteArrayLiteral("Big5")
                                                  : "windows-" + QByteArray::number(codePage);
        std::array<char32_t, 256> t{};
        for (int i = 0; i < 256; ++i) {
            QStringDecoder d(name.constData());
            if (!d.isValid()) {
                missing.insert(codePage, true);
                if (ok)
                    *ok = false;
                return 0;
            }
            const char byte = char(i);
            const QString s = d.decode(QByteArrayView(&byte, 1));
            if (s.size() == 1 && s[0] != QChar(0xFFFD) && !d.hasError())
                t[size_t(i)] = s[0].unicode();
        }
        it = tables.insert(codePage, t);
    }
    return (*it)[b];
}

} // namespace codepage
