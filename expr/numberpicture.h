// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Formatting a number with a picture mask such as "#,##0.00".
//
// "0" is a digit always shown, "#" a digit shown only when significant, the
// first "." places the decimal separator, a "," anywhere turns on thousands
// separators, "E+", "E-", "e+", "e-" switch to scientific notation (the zeros
// after them give the least number of exponent digits), text in single or
// double quotes is copied, and up to three sections separated by ";" apply to
// positive, negative and zero values. Other characters are copied: those
// before the first digit place go before the number, the rest after it. The
// value is rounded to the digit places after the decimal point. An empty mask
// gives the shortest general form with up to 15 significant digits.
#include <QChar>
#include <QString>
#include <optional>

// nullopt when the value cannot be formatted (not a finite number).
std::optional<QString> rpFormatNumberPicture(const QString &mask, double value, QChar decimalSeparator = u'.',
                                             QChar thousandSeparator = u',');
