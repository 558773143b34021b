// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "pdf/ascii85.h"

namespace ascii85 {

QByteArray encode(QByteArrayView data)
{
    QByteArray out;
    out.reserve(data.size() * 5 / 4 + data.size() / 160 * 2 + 8);
    const auto *p = reinterpret_cast<const quint8 *>(data.data());
    const qsizetype n = data.size();
    int line = 0;
    for (qsizetype i = 0; i < n; i += 4) {
        const int count = int(std::min<qsizetype>(4, n - i));
        quint32 v = 0;
        for (int k = 0; k < 4; ++k)
            v = (v << 8) | (k < count ? p[i + k] : 0u);
        if (count == 4 && v == 0) {
            out.append('z');
        } else {
            char c[5];
            for (int k = 4; k >= 0; --k) {
                c[k] = char('!' + v % 85);
                v /= 85;
            }
            out.append(c, count + 1);
        }
        line += count + 1;
        if (line >= 201) {
            out.append("\r\n");
            line = 0;
        }
    }
    out.append("~>");
    return out;
}

} // namespace ascii85
