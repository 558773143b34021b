// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How values are written into an XML report document: escaped text,
// colours as #RRGGBB, numbers in printf style that never follow the user's
// locale, and binary data as lines of upper-case hexadecimal digits.
#include <QByteArrayView>
#include <QString>
#include <QStringList>

namespace trxformat {

// "&", "<", ">", "'" and the double quote as entity references, in that
// order; a character XML 1.0 does not allow (a control character other
// than tab, line feed and carriage return, an unpaired surrogate, U+FFFE,
// U+FFFF) becomes U+FFFD so the document stays well-formed.
QString escape(const QString &text);

// A colour 0x00BBGGRR as "#RRGGBB"; a system colour (high bit set) is the
// colour it stands for.
QString colour(quint32 color);

// printf's %W.Pf and %W.Pd with the C locale ('.' as decimal point); a
// negative width pads on the right.
QString fixed(double v, int decimals, int width = 0);
QString integer(qint64 v, int width = 0);

// Two upper-case hexadecimal digits per byte, `digitsPerLine` digits a line
// (the last line may be shorter; no lines for no data).
inline constexpr int kHexDigitsPerLine = 4096;
QStringList hexLines(QByteArrayView data, int digitsPerLine = kHexDigitsPerLine);

} // namespace trxformat
