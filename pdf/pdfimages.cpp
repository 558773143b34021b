// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "pdf/pdfimages.h"

#include "pdf/pdffile.h"
#include "pdf/pdfsyntax.h"

#include <QCryptographicHash>

int PdfImages::add(const QImage &picture)
{
    const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
    QCryptographicHash digest(QCryptographicHash::Sha256);
    const int w = argb.width(), h = argb.height();
    digest.addData(QByteArrayView(reinterpret_cast<const char *>(&w), sizeof w));
    digest.addData(QByteArrayView(reinterpret_cast<const char *>(&h), sizeof h));
    for (int y = 0; y < h; ++y)
        digest.addData(QByteArrayView(reinterpret_cast<const char *>(argb.constScanLine(y)), qsizetype(w) * 4));
    const QByteArray key = digest.result();
    if (const auto it = m_byDigest.constFind(key); it != m_byDigest.constEnd())
        return *it;

    QByteArray rgb(qsizetype(w) * h * 3, Qt::Uninitialized), alpha(qsizetype(w) * h, Qt::Uninitialized);
    bool opaque = true;
    char *c = rgb.data(), *a = alpha.data();
    for (int y = 0; y < h; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            const QRgb p = line[x];
            *c++ = char(qRed(p));
            *c++ = char(qGreen(p));
            *c++ = char(qBlue(p));
            *a++ = char(qAlpha(p));
            opaque = opaque && qAlpha(p) == 255;
        }
    }
    Image image{w, h, pdfsyntax::deflate(rgb), opaque ? QByteArray() : pdfsyntax::deflate(alpha)};
    m_images.push_back(std::move(image));
    const int index = int(m_images.size()) - 1;
    m_byDigest.insert(key, index);
    return index;
}

int PdfImages::objectCount() const
{
    int n = 0;
    for (int i = 0; i < count(); ++i)
        n += objectCount(i);
    return n;
}

bool PdfImages::hasSoftMask() const
{
    for (const Image &i : m_images)
        if (!i.alpha.isEmpty())
            return true;
    return false;
}

QByteArray PdfImages::resourceName(int index) { return "Im" + QByteArray::number(index); }

void PdfImages::writeObjects(PdfFile &file, int index) const
{
    const Image &i = m_images.at(size_t(index));
    const QByteArray size = "/Width " + QByteArray::number(i.width) + " /Height " + QByteArray::number(i.height);
    // The mask follows its image: its number is the image's plus one.
    const int self = file.objectCount() + 1;
    file.streamObject(i.rgb, "/Type /XObject /Subtype /Image " + size +
                                 " /ColorSpace /DeviceRGB /BitsPerComponent 8 /Filter /FlateDecode" +
                                 (i.alpha.isEmpty() ? QByteArray() : " /SMask " + QByteArray::number(self + 1) + " 0 R"));
    if (!i.alpha.isEmpty())
        file.streamObject(i.alpha, "/Type /XObject /Subtype /Image " + size +
                                       " /ColorSpace /DeviceGray /BitsPerComponent 8 /Filter /FlateDecode");
}
