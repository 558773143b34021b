// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Device-independent bitmaps as stored in metafile records.
#include "platform/emf/emfrecords.h"

#include <QImage>

namespace emf {

// Decodes a BITMAPINFO and its bits: 1, 4, 8, 16, 24 and 32 bits per pixel,
// uncompressed, bit fields, RLE4/RLE8, and embedded JPEG or PNG. Returns a
// null image for anything it cannot decode safely (sizes are checked against
// the data). `bottomUp` tells whether the rows were stored bottom row first.
// `palette` receives the colour table of a bitmap of 8 bits a pixel or fewer
// (and is cleared for any other).
QImage dibToImage(const QByteArray &bmi, const QByteArray &bits, bool *bottomUp = nullptr,
                  QList<QRgb> *palette = nullptr);

// The same with the alpha channel of 32-bit bitmaps kept, premultiplied as
// AlphaBlend takes it (a colour above its alpha is held to the alpha), in a
// Format_ARGB32_Premultiplied image; other depths come out opaque.
QImage dibToAlphaImage(const QByteArray &bmi, const QByteArray &bits, bool *bottomUp = nullptr);

// A 1-bit bitmap as a Format_Mono image of its bits, bit 0 black and bit 1
// white whatever colours its table names (a monochrome brush colours them
// when it draws); other depths as dibToImage.
QImage dibToMonoImage(const QByteArray &bmi, const QByteArray &bits);

// A bottom-up DIB of the image (what every reader accepts): 24 bits a pixel,
// or 8 bits with the colour table of an indexed image of up to 256 colours.
Dib imageToDib(const QImage &image);
// A 32-bit bottom-up DIB with the image's premultiplied alpha.
Dib imageToAlphaDib(const QImage &image);
// A 1-bit bottom-up DIB of a monochrome image: black is bit 0 (entry 0
// black, entry 1 white).
Dib monoImageToDib(const QImage &image);

} // namespace emf
