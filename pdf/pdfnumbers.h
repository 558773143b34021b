// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Numbers as the PDF document writes them: always with "." as the decimal
// separator, whatever the user's locale (the C library's printf follows the
// locale the application set, so these never use it).
#include <QByteArray>
#include <QtGlobal>

namespace pdfnum {

// printf's "%W.Pf": fixed notation with `precision` decimals (the value
// rounded to the nearest, ties to even), right-aligned in `width`
// characters. Values that are not finite are written as 0.
QByteArray fixed(double v, int precision, int width = 0);
// Fixed notation with at most `maxDecimals` decimals, trailing zeros and a
// trailing point dropped ("12.5", "3", "-0.25"); -0 is written as 0.
QByteArray compact(double v, int maxDecimals = 2);
// printf's "%d".
inline QByteArray integer(qint64 v) { return QByteArray::number(v); }
// printf's "%-W.Pd" for a value that is not negative: at least `digits`
// digits with leading zeros ("%-10.10d" of 17 is 0000000017).
QByteArray zeroPadded(qint64 v, int digits);

} // namespace pdfnum
