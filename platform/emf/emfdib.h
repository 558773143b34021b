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

// A bottom-up DIB of the image (what every reader accepts): 24 bits a pixel,
// or 8 bits with the colour table of an indexed image of up to 256 colours.
Dib imageToDib(const QImage &image);

} // namespace emf
