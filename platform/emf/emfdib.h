#pragma once
// Device-independent bitmaps as stored in metafile records.
#include "platform/emf/emfrecords.h"

#include <QImage>

namespace emf {

// Decodes a BITMAPINFO and its bits: 1, 4, 8, 16, 24 and 32 bits per pixel,
// uncompressed, bit fields, RLE4/RLE8, and embedded JPEG or PNG. Returns a
// null image for anything it cannot decode safely (sizes are checked against
// the data). `bottomUp` tells whether the rows were stored bottom row first.
QImage dibToImage(const QByteArray &bmi, const QByteArray &bits, bool *bottomUp = nullptr);

// A 24-bit bottom-up DIB of the image (what every reader accepts).
Dib imageToDib(const QImage &image);

} // namespace emf
