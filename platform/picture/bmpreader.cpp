// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/picture/bmpreader.h"

#include "platform/emf/emfdib.h"

#include <QtEndian>

namespace bmp {

namespace {

constexpr qsizetype kFileHeader = 14;

quint32 rd32(const QByteArray &b, qsizetype off) { return qFromLittleEndian<quint32>(b.constData() + off); }
quint16 rd16(const QByteArray &b, qsizetype off) { return qFromLittleEndian<quint16>(b.constData() + off); }

bool knownHeaderSize(quint32 n) { return n == 12 || n == 40 || n == 52 || n == 56 || n == 64 || n == 108 || n == 124; }

// Where the bits of a bare DIB start: after the header, the colour masks a
// 40-byte header carries behind it, and the palette.
qsizetype bareBitsOffset(const QByteArray &b)
{
    const quint32 hdr = rd32(b, 0);
    if (qsizetype(hdr) > b.size())
        return -1;
    if (hdr == 12) {
        const int bpp = rd16(b, 10);
        return 12 + (bpp <= 8 ? 3 * (qsizetype(1) << bpp) : 0);
    }
    const int bpp = rd16(b, 14);
    const quint32 compression = rd32(b, 16);
    const quint32 clrUsed = rd32(b, 32);
    qsizetype off = hdr;
    if (hdr == 40 && (compression == 3 || compression == 6))
        off += compression == 6 ? 16 : 12;
    if (bpp <= 8) {
        const qsizetype colours = clrUsed && clrUsed < (1u << std::min(bpp, 8)) ? clrUsed : (qsizetype(1) << std::min(bpp, 8));
        off += 4 * colours;
    } else if (clrUsed <= 256) {
        off += 4 * qsizetype(clrUsed);
    }
    return off;
}

QImage fail(QString *error, const QString &why)
{
    if (error)
        *error = why;
    return {};
}

} // namespace

bool looksLikeBitmap(const QByteArray &bytes)
{
    if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M')
        return true;
    return bytes.size() >= 16 && knownHeaderSize(rd32(bytes, 0));
}

QImage decode(const QByteArray &bytes, QString *error)
{
    QByteArray bmi, bits;
    if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') {
        if (bytes.size() < kFileHeader + 12)
            return fail(error, QStringLiteral("damaged bitmap: the file ends inside its header"));
        const quint32 offBits = rd32(bytes, 10);
        if (offBits < kFileHeader + 12 || offBits > quint32(bytes.size()))
            return fail(error, QStringLiteral("damaged bitmap: its pixels start outside the file"));
        bmi = bytes.mid(kFileHeader, offBits - kFileHeader);
        bits = bytes.mid(offBits);
    } else {
        if (bytes.size() < 16 || !knownHeaderSize(rd32(bytes, 0)))
            return fail(error, QStringLiteral("not a bitmap"));
        const qsizetype off = bareBitsOffset(bytes);
        if (off < 0 || off > bytes.size())
            return fail(error, QStringLiteral("damaged bitmap: the data ends inside its header"));
        bmi = bytes.left(off);
        bits = bytes.mid(off);
    }
    if (bmi.size() < 12 || !knownHeaderSize(rd32(bmi, 0)))
        return fail(error, QStringLiteral("damaged bitmap: unknown header"));
    // Run-length bits stop wherever the data stops, so a cut file would
    // decode as a picture with its lower part blank: the size the header
    // gives the compressed bits must be there.
    if (rd32(bmi, 0) >= 40 && bmi.size() >= 24) {
        const quint32 compression = rd32(bmi, 16), sizeImage = rd32(bmi, 20);
        if ((compression == 1 || compression == 2) && qint64(sizeImage) > bits.size())
            return fail(error, QStringLiteral("damaged bitmap: the file ends inside its pixels (%1 of %2 bytes)")
                                   .arg(bits.size())
                                   .arg(sizeImage));
    }
    QList<QRgb> palette;
    QImage img = emf::dibToImage(bmi, bits, nullptr, &palette);
    if (img.isNull())
        return fail(error, QStringLiteral("damaged bitmap: the pixels do not match the header"));
    if (!palette.isEmpty() && palette.size() <= 256) {
        // Every pixel took a colour of the table, so the table maps it back.
        QImage indexed = img.convertToFormat(QImage::Format_Indexed8, palette, Qt::ThresholdDither | Qt::AvoidDither);
        if (!indexed.isNull())
            return indexed;
    }
    return img;
}

QByteArray encode(const QImage &image)
{
    const emf::Dib dib = emf::imageToDib(image);
    QByteArray out(kFileHeader, '\0');
    out[0] = 'B';
    out[1] = 'M';
    qToLittleEndian<quint32>(quint32(kFileHeader + dib.bmi.size() + dib.bits.size()), out.data() + 2);
    qToLittleEndian<quint32>(quint32(kFileHeader + dib.bmi.size()), out.data() + 10);
    out += dib.bmi;
    out += dib.bits;
    return out;
}

} // namespace bmp
