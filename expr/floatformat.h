// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Formatting one number with a general format string such as "%m",
// "Total: %10.2n" or "%0:f (%0:e)": literal text with format items
// "%" [index ":"] ["-"] [width] ["." precision] type, and "%%" for a percent
// sign. The number is the only argument (index 0), so every item must
// refer to it and take a floating-point value:
//   f  fixed, precision = decimals (2 when not given)
//   n  as f, with the locale's thousands separators
//   e  scientific, precision = significant digits (15), exponent of at least
//      three digits: 1.23450000000000E+003
//   g  the shortest of fixed and scientific, precision = significant digits (15)
//   m  the locale's currency format, precision = decimals (the locale's when
//      not given)
// Type letters may be upper case. Decimal and thousands separators and the
// currency come from `locale`. Precisions above 18 count as 18; a width pads
// with blanks on the left, or on the right after "-".
#include <QLocale>
#include <QString>
#include <optional>

// nullopt when the format cannot take the number: an item of another type
// (d, u, x, s, p, ...), a second argument (an item after the first without
// an index, an index other than 0, a "*" width or precision), a "%" at the
// end, or a width above 1024.
std::optional<QString> rpFormatFloatString(const QString &format, double value, const QLocale &locale);
