// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "pdf/pdfnumbers.h"

#include <charconv>
#include <cmath>

namespace pdfnum {

QByteArray fixed(double v, int precision, int width)
{
    if (!std::isfinite(v))
        v = 0;
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, precision);
    QByteArray s(buf, r.ec == std::errc() ? int(r.ptr - buf) : 0);
    if (s.size() < width)
        s.prepend(QByteArray(width - s.size(), ' '));
    return s;
}

QByteArray compact(double v, int maxDecimals)
{
    QByteArray s = fixed(v, maxDecimals);
    if (s.contains('.')) {
        while (s.endsWith('0'))
            s.chop(1);
        if (s.endsWith('.'))
            s.chop(1);
    }
    if (s == "-0")
        s = "0";
    return s;
}

QByteArray zeroPadded(qint64 v, int digits)
{
    QByteArray s = QByteArray::number(v < 0 ? -v : v);
    if (s.size() < digits)
        s.prepend(QByteArray(digits - s.size(), '0'));
    if (v < 0)
        s.prepend('-');
    return s;
}

} // namespace pdfnum
