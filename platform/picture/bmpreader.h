// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Bitmap files (BMP) and bare device-independent bitmaps (a DIB: the
// BITMAPINFO and its bits with no file header), as picture containers and
// database fields hold them. The decoding itself is the metafile module's
// bounds-checked DIB reader.
#include <QByteArray>
#include <QImage>
#include <QString>

namespace bmp {

// "BM" followed by a file header, or a bare DIB header of a known size.
bool looksLikeBitmap(const QByteArray &bytes);

// Decodes a bitmap: a picture of 8 bits a pixel or fewer comes back as an
// indexed image carrying its palette, any other as Format_RGB32. A null
// image with `error` set when the bytes are not a whole, readable bitmap.
QImage decode(const QByteArray &bytes, QString *error);

// A bitmap file of the image (with its palette when it is indexed).
QByteArray encode(const QImage &image);

} // namespace bmp
