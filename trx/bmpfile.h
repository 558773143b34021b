// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A bitmap as a device-independent bitmap file (BMP): file header,
// 40-byte information header, 24 bits a pixel, rows from the bottom up,
// each padded to four bytes. Transparent pixels are laid on white.
#include <QByteArray>
#include <QImage>

namespace bmpfile {

QByteArray write(const QImage &image);

} // namespace bmpfile
