// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/emf/emfdib.h"

#include <QtEndian>
#include <algorithm>
#include <bit>
#include <cstring>

namespace emf {

namespace {

enum : quint32 { BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3, BI_JPEG = 4, BI_PNG = 5, BI_ALPHABITFIELDS = 6 };

// Bitmaps beyond this many pixels are not drawn.
constexpr qint64 maxPixels = qint64(1) << 26;

quint32 rd32(const QByteArray &b, qsizetype off)
{
    return qFromLittleEndian<quint32>(b.constData() + off);
}
quint16 rd16(const QByteArray &b, qsizetype off)
{
    return qFromLittleEndian<quint16>(b.constData() + off);
}

// Extracts the channel selected by `mask` as 0..255.
int channel(quint32 px, quint32 mask)
{
    if (mask == 0)
        return 0;
    const int shift = std::countr_zero(mask);
    const quint32 v = (px & mask) >> shift;
    const quint32 max = mask >> shift;
    return int((v * 255 + max / 2) / max);
}

void decodeRle(const QByteArray &bits, bool four, QImage &img, const QList<QRgb> &palette)
{
    // Rows are bottom-up; undefined pixels stay index 0.
    const int w = img.width(), h = img.height();
    int x = 0, y = h - 1;
    qsizetype i = 0;
    auto put = [&](int index) {
        if (x >= 0 && x < w && y >= 0 && y < h)
            img.setPixel(x, y, uint(index < palette.size() ? index : 0));
        ++x;
    };
    while (i + 1 < bits.size() && y >= 0) {
        const int count = uchar(bits[i]);
        const int value = uchar(bits[i + 1]);
        i += 2;
        if (count > 0) {
            for (int k = 0; k < count; ++k)
                put(four ? ((k & 1) ? (value & 0x0f) : (value >> 4)) : value);
            continue;
        }
        if (value == 0) { // end of line
            x = 0;
            --y;
        } else if (value == 1) { // end of bitmap
            break;
        } else if (value == 2) { // delta
            if (i + 1 >= bits.size())
                break;
            x += uchar(bits[i]);
            y -= uchar(bits[i + 1]);
            i += 2;
        } else { // absolute run of `value` pixels
            const int n = value;
            const qsizetype bytes = four ? (n + 1) / 2 : n;
            if (i + bytes > bits.size())
                break;
            for (int k = 0; k < n; ++k) {
                const int b = uchar(bits[i + (four ? k / 2 : k)]);
                put(four ? ((k & 1) ? (b & 0x0f) : (b >> 4)) : b);
            }
            i += (bytes + 1) & ~qsizetype(1); // word aligned
        }
    }
}

} // namespace

namespace {

enum class Want { Opaque, Alpha, Mono };

QImage decodeDib(const QByteArray &bmi, const QByteArray &bits, bool *bottomUpOut, Want want,
                 QList<QRgb> *paletteOut = nullptr)
{
    if (bottomUpOut)
        *bottomUpOut = true;
    if (paletteOut)
        paletteOut->clear();
    if (bmi.size() < 12)
        return {};
    const quint32 hdrSize = rd32(bmi, 0);
    qint64 width = 0, height = 0;
    int bpp = 0;
    quint32 compression = BI_RGB, clrUsed = 0;
    int paletteEntrySize = 4;
    if (hdrSize == 12) { // BITMAPCOREHEADER
        width = rd16(bmi, 4);
        height = qint16(rd16(bmi, 6));
        bpp = rd16(bmi, 10);
        paletteEntrySize = 3;
    } else if (hdrSize >= 40 && hdrSize <= quint32(bmi.size())) {
        width = qint32(rd32(bmi, 4));
        height = qint32(rd32(bmi, 8));
        bpp = rd16(bmi, 14);
        compression = rd32(bmi, 16);
        clrUsed = rd32(bmi, 32);
    } else {
        return {};
    }
    const bool bottomUp = height > 0;
    if (bottomUpOut)
        *bottomUpOut = bottomUp;
    height = height < 0 ? -height : height;
    if (width <= 0 || height <= 0 || width * height > maxPixels)
        return {};

    if (compression == BI_JPEG || compression == BI_PNG) {
        QImage img = QImage::fromData(bits);
        if (bottomUpOut)
            *bottomUpOut = false;
        return img.isNull() ? QImage() : img.convertToFormat(QImage::Format_RGB32);
    }

    // Colour masks for 16 and 32 bits, and where alpha is.
    quint32 masks[3] = {0, 0, 0};
    quint32 alphaMask = 0;
    qsizetype paletteOffset = hdrSize;
    if (compression == BI_BITFIELDS || compression == BI_ALPHABITFIELDS) {
        if (bpp != 16 && bpp != 32)
            return {};
        if (hdrSize >= 52) { // V2 header and up carry the masks
            for (int k = 0; k < 3; ++k)
                masks[k] = rd32(bmi, 40 + 4 * k);
            if (hdrSize >= 56)
                alphaMask = rd32(bmi, 52);
        } else {
            const quint32 n = compression == BI_ALPHABITFIELDS ? 16 : 12;
            if (bmi.size() < hdrSize + n)
                return {};
            for (int k = 0; k < 3; ++k)
                masks[k] = rd32(bmi, hdrSize + 4 * k);
            if (n == 16)
                alphaMask = rd32(bmi, hdrSize + 12);
            paletteOffset += n;
        }
    } else if (bpp == 16) {
        masks[0] = 0x7c00;
        masks[1] = 0x03e0;
        masks[2] = 0x001f;
    } else if (bpp == 32) {
        masks[0] = 0xff0000;
        masks[1] = 0x00ff00;
        masks[2] = 0x0000ff;
    }
    // Where the colour masks leave the top byte free, it holds the alpha
    // (as in a 32-bit bitmap without masks), unless a mask says otherwise.
    if (bpp == 32 && alphaMask == 0 && ((masks[0] | masks[1] | masks[2]) & 0xff000000) == 0)
        alphaMask = 0xff000000;
    if (want != Want::Alpha || bpp != 32)
        alphaMask = 0;
    if (compression != BI_RGB && compression != BI_BITFIELDS && compression != BI_ALPHABITFIELDS &&
        !(compression == BI_RLE8 && bpp == 8) && !(compression == BI_RLE4 && bpp == 4))
        return {};

    QList<QRgb> palette;
    if (bpp <= 8) {
        if (bpp != 1 && bpp != 4 && bpp != 8)
            return {};
        qint64 n = clrUsed ? qint64(clrUsed) : (qint64(1) << bpp);
        n = std::min<qint64>(n, qint64(1) << bpp);
        // A palette shorter than declared is taken as far as it goes.
        const qint64 avail = (bmi.size() - paletteOffset) / paletteEntrySize;
        n = std::min(n, std::max<qint64>(avail, 0));
        for (qint64 k = 0; k < n; ++k) {
            const char *e = bmi.constData() + paletteOffset + k * paletteEntrySize;
            palette << qRgb(uchar(e[2]), uchar(e[1]), uchar(e[0]));
        }
        while (palette.size() < 2)
            palette << (palette.isEmpty() ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
        if (paletteOut)
            *paletteOut = palette;
    } else if (bpp != 16 && bpp != 24 && bpp != 32) {
        return {};
    }

    const int w = int(width), h = int(height);
    if (compression == BI_RLE8 || compression == BI_RLE4) {
        QImage img(w, h, QImage::Format_Indexed8);
        if (img.isNull())
            return {};
        img.setColorTable(palette);
        img.fill(0);
        decodeRle(bits, compression == BI_RLE4, img, palette);
        return img.convertToFormat(QImage::Format_RGB32);
    }

    const qint64 stride = ((width * bpp + 31) / 32) * 4;
    if (stride * height > bits.size())
        return {};
    if (want == Want::Mono && bpp == 1) {
        // The bits themselves; the colours are given when drawn.
        QImage mono(w, h, QImage::Format_Mono);
        if (mono.isNull())
            return {};
        mono.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
        const qsizetype rowBytes = (w + 7) / 8;
        for (int row = 0; row < h; ++row)
            std::memcpy(mono.scanLine(bottomUp ? h - 1 - row : row), bits.constData() + stride * row, size_t(rowBytes));
        return mono;
    }
    QImage img(w, h, alphaMask ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (img.isNull())
        return {};
    for (int row = 0; row < h; ++row) {
        const uchar *src = reinterpret_cast<const uchar *>(bits.constData()) + stride * row;
        QRgb *dst = reinterpret_cast<QRgb *>(img.scanLine(bottomUp ? h - 1 - row : row));
        for (int x = 0; x < w; ++x) {
            switch (bpp) {
            case 1:
                dst[x] = palette.value((src[x >> 3] >> (7 - (x & 7))) & 1, palette[0]);
                break;
            case 4:
                dst[x] = palette.value((x & 1) ? (src[x >> 1] & 0x0f) : (src[x >> 1] >> 4), palette[0]);
                break;
            case 8:
                dst[x] = palette.value(src[x], palette[0]);
                break;
            case 16: {
                const quint32 px = qFromLittleEndian<quint16>(src + 2 * x);
                dst[x] = qRgb(channel(px, masks[0]), channel(px, masks[1]), channel(px, masks[2]));
                break;
            }
            case 24:
                dst[x] = qRgb(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
                break;
            case 32: {
                const quint32 px = qFromLittleEndian<quint32>(src + 4 * x);
                if (alphaMask) {
                    // Premultiplied: a channel above its alpha is held to it.
                    const int a = channel(px, alphaMask);
                    dst[x] = qRgba(std::min(channel(px, masks[0]), a), std::min(channel(px, masks[1]), a),
                                   std::min(channel(px, masks[2]), a), a);
                } else {
                    dst[x] = qRgb(channel(px, masks[0]), channel(px, masks[1]), channel(px, masks[2]));
                }
                break;
            }
            }
        }
    }
    return img;
}

} // namespace

QImage dibToImage(const QByteArray &bmi, const QByteArray &bits, bool *bottomUp, QList<QRgb> *palette)
{
    return decodeDib(bmi, bits, bottomUp, Want::Opaque, palette);
}

QImage dibToAlphaImage(const QByteArray &bmi, const QByteArray &bits, bool *bottomUp)
{
    return decodeDib(bmi, bits, bottomUp, Want::Alpha);
}

QImage dibToMonoImage(const QByteArray &bmi, const QByteArray &bits)
{
    return decodeDib(bmi, bits, nullptr, Want::Mono);
}

Dib imageToAlphaDib(const QImage &image)
{
    const QImage img = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int w = img.width(), h = img.height();
    Dib d;
    d.bmi = QByteArray(40, '\0');
    char *b = d.bmi.data();
    qToLittleEndian<quint32>(40, b);
    qToLittleEndian<qint32>(w, b + 4);
    qToLittleEndian<qint32>(h, b + 8);
    qToLittleEndian<quint16>(1, b + 12);
    qToLittleEndian<quint16>(32, b + 14);
    qToLittleEndian<quint32>(BI_RGB, b + 16);
    qToLittleEndian<quint32>(quint32(4 * w * h), b + 20);
    qToLittleEndian<qint32>(3780, b + 24);
    qToLittleEndian<qint32>(3780, b + 28);
    d.bits = QByteArray(qsizetype(4) * w * h, '\0');
    for (int row = 0; row < h; ++row) {
        const QRgb *src = reinterpret_cast<const QRgb *>(img.constScanLine(h - 1 - row));
        uchar *dst = reinterpret_cast<uchar *>(d.bits.data()) + qsizetype(4) * w * row;
        for (int x = 0; x < w; ++x)
            qToLittleEndian<quint32>(src[x], dst + 4 * x); // B, G, R, A in memory
    }
    return d;
}

Dib monoImageToDib(const QImage &image)
{
    // Black is bit 0, as a monochrome brush takes it.
    const QImage img = image.convertToFormat(QImage::Format_RGB32)
                           .convertToFormat(QImage::Format_Mono, {qRgb(0, 0, 0), qRgb(255, 255, 255)});
    const int w = img.width(), h = img.height();
    const int stride = ((w + 31) / 32) * 4;
    Dib d;
    d.bmi = QByteArray(48, '\0');
    char *b = d.bmi.data();
    qToLittleEndian<quint32>(40, b);
    qToLittleEndian<qint32>(w, b + 4);
    qToLittleEndian<qint32>(h, b + 8);
    qToLittleEndian<quint16>(1, b + 12);
    qToLittleEndian<quint16>(1, b + 14);
    qToLittleEndian<quint32>(BI_RGB, b + 16);
    qToLittleEndian<quint32>(quint32(stride * h), b + 20);
    qToLittleEndian<qint32>(3780, b + 24);
    qToLittleEndian<qint32>(3780, b + 28);
    qToLittleEndian<quint32>(2, b + 32);
    qToLittleEndian<quint32>(0x00ffffff, b + 44); // entry 0 black, entry 1 white
    d.bits = QByteArray(qsizetype(stride) * h, '\0');
    const qsizetype rowBytes = (w + 7) / 8;
    for (int row = 0; row < h; ++row)
        std::memcpy(d.bits.data() + qsizetype(stride) * row, img.constScanLine(h - 1 - row), size_t(rowBytes));
    return d;
}

Dib imageToDib(const QImage &image)
{
    // An indexed picture keeps its colour table: 8 bits a pixel.
    const bool indexed = (image.format() == QImage::Format_Indexed8 || image.format() == QImage::Format_Mono ||
                          image.format() == QImage::Format_MonoLSB) &&
                         !image.colorTable().isEmpty() && image.colorTable().size() <= 256;
    const QImage img = image.convertToFormat(indexed ? QImage::Format_Indexed8 : QImage::Format_RGB32);
    const int w = img.width(), h = img.height();
    const int bpp = indexed ? 8 : 24;
    const int stride = ((w * bpp + 31) / 32) * 4;
    const QList<QRgb> table = indexed ? img.colorTable() : QList<QRgb>();
    Dib d;
    d.bmi = QByteArray(40 + 4 * table.size(), '\0');
    char *b = d.bmi.data();
    qToLittleEndian<quint32>(40, b);
    qToLittleEndian<qint32>(w, b + 4);
    qToLittleEndian<qint32>(h, b + 8);
    qToLittleEndian<quint16>(1, b + 12);
    qToLittleEndian<quint16>(quint16(bpp), b + 14);
    qToLittleEndian<quint32>(BI_RGB, b + 16);
    qToLittleEndian<quint32>(quint32(stride * h), b + 20);
    qToLittleEndian<qint32>(3780, b + 24); // 96 dpi in pixels per metre
    qToLittleEndian<qint32>(3780, b + 28);
    qToLittleEndian<quint32>(quint32(table.size()), b + 32);
    for (qsizetype k = 0; k < table.size(); ++k) {
        uchar *e = reinterpret_cast<uchar *>(b) + 40 + 4 * k;
        e[0] = uchar(qBlue(table[k]));
        e[1] = uchar(qGreen(table[k]));
        e[2] = uchar(qRed(table[k]));
    }
    d.bits = QByteArray(qsizetype(stride) * h, '\0');
    for (int row = 0; row < h; ++row) {
        uchar *dst = reinterpret_cast<uchar *>(d.bits.data()) + qsizetype(stride) * row;
        if (indexed) {
            std::memcpy(dst, img.constScanLine(h - 1 - row), size_t(w));
            continue;
        }
        const QRgb *src = reinterpret_cast<const QRgb *>(img.constScanLine(h - 1 - row));
        for (int x = 0; x < w; ++x) {
            dst[3 * x] = uchar(qBlue(src[x]));
            dst[3 * x + 1] = uchar(qGreen(src[x]));
            dst[3 * x + 2] = uchar(qRed(src[x]));
        }
    }
    return d;
}

} // namespace emf
