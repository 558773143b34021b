// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// JPEG pictures decoded by libjpeg-turbo. The library's error handler would
// end the process; ours jumps back out of the library and turns the error
// into a message, and a warning about damaged data (a truncated file, a
// corrupt entropy segment) fails the picture as well: a damaged picture is
// never shown half grey.
#include <QByteArray>
#include <QImage>
#include <QString>

namespace jpeg {

// The largest picture accepted, in pixels (width x height), so that a header
// asking for gigapixels fails instead of exhausting memory.
inline constexpr qint64 kMaxPixels = qint64(1) << 26;

// Reads the header only: the size in pixels. False with `error` set when the
// bytes are not a readable JPEG header.
bool readSize(const QByteArray &bytes, int *width, int *height, QString *error);

// Decodes the whole picture: greyscale JPEGs as Format_Grayscale8, colour
// (YCbCr, RGB, CMYK, YCCK) as Format_RGB32. A null image with `error` set on
// failure.
QImage decode(const QByteArray &bytes, QString *error);

// True when the bytes start as a JPEG file does (SOI followed by a marker).
bool looksLikeJpeg(const QByteArray &bytes);

} // namespace jpeg
