// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "trx/bmpfile.h"

#include "printer/opaquepicture.h"

#include <QtEndian>

namespace bmpfile {

namespace {

void put16(QByteArray &b, quint16 v)
{
    char d[2];
    qToLittleEndian(v, d);
    b.append(d, 2);
}

void put32(QByteArray &b, quint32 v)
{
    char d[4];
    qToLittleEndian(v, d);
    b.append(d, 4);
}

} // namespace

QByteArray write(const QImage &image)
{
    const QImage img = opaqueRgbPicture(image);
    const quint32 w = quint32(qMax(0, img.width())), h = quint32(qMax(0, img.height()));
    const quint32 rowBytes = (w * 3 + 3) & ~3u;
    const quint32 imageSize = rowBytes * h;
    constexpr quint32 kHeaders = 14 + 40;

    QByteArray b;
    b.reserve(qsizetype(kHeaders + imageSize));
    b.append("BM", 2);
    put32(b, kHeaders + imageSize);
    put16(b, 0);
    put16(b, 0);
    put32(b, kHeaders);
    put32(b, 40);
    put32(b, w);
    put32(b, h); // positive: bottom-up
    put16(b, 1);
    put16(b, 24);
    put32(b, 0); // BI_RGB
    put32(b, imageSize);
    put32(b, 3780); // 96 dpi in pixels per metre
    put32(b, 3780);
    put32(b, 0);
    put32(b, 0);
    QByteArray row(rowBytes, '\0');
    for (int y = int(h) - 1; y >= 0; --y) {
        const uchar *src = img.constScanLine(y);
        char *d = row.data();
        for (quint32 x = 0; x < w; ++x) {
            // Blue, green, red.
            d[x * 3] = char(src[x * 3 + 2]);
            d[x * 3 + 1] = char(src[x * 3 + 1]);
            d[x * 3 + 2] = char(src[x * 3]);
        }
        b.append(row);
    }
    return b;
}

} // namespace bmpfile
