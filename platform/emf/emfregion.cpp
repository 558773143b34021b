// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/emf/emfregion.h"

#include <QtEndian>

#include <algorithm>

namespace emf {

namespace {
constexpr qsizetype kHeaderSize = 32;
enum : quint32 { RDH_RECTANGLES = 1 };
} // namespace

std::optional<std::vector<gdi::Rect>> regionRects(const QByteArray &rgnData)
{
    std::vector<gdi::Rect> out;
    if (rgnData.size() < kHeaderSize)
        return out;
    const quint32 count = qFromLittleEndian<quint32>(rgnData.constData() + 8);
    if (quint64(count) * 16 > quint64(rgnData.size() - kHeaderSize))
        return std::nullopt;
    out.reserve(count);
    for (quint32 i = 0; i < count; ++i) {
        const char *p = rgnData.constData() + kHeaderSize + 16 * qsizetype(i);
        const qint32 l = qFromLittleEndian<qint32>(p), t = qFromLittleEndian<qint32>(p + 4);
        const qint32 r = qFromLittleEndian<qint32>(p + 8), b = qFromLittleEndian<qint32>(p + 12);
        out.push_back({std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)});
    }
    return out;
}

QByteArray regionData(std::span<const gdi::Rect> rects)
{
    QByteArray d(kHeaderSize + 16 * qsizetype(rects.size()), '\0');
    char *p = d.data();
    gdi::Rect bound{0, 0, 0, 0};
    for (size_t i = 0; i < rects.size(); ++i) {
        const gdi::Rect &r = rects[i];
        bound = i == 0 ? r
                       : gdi::Rect{std::min(bound.left, r.left), std::min(bound.top, r.top),
                                   std::max(bound.right, r.right), std::max(bound.bottom, r.bottom)};
        char *e = p + kHeaderSize + 16 * qsizetype(i);
        qToLittleEndian<qint32>(r.left, e);
        qToLittleEndian<qint32>(r.top, e + 4);
        qToLittleEndian<qint32>(r.right, e + 8);
        qToLittleEndian<qint32>(r.bottom, e + 12);
    }
    qToLittleEndian<quint32>(kHeaderSize, p);
    qToLittleEndian<quint32>(RDH_RECTANGLES, p + 4);
    qToLittleEndian<quint32>(quint32(rects.size()), p + 8);
    qToLittleEndian<quint32>(quint32(16 * rects.size()), p + 12);
    qToLittleEndian<qint32>(bound.left, p + 16);
    qToLittleEndian<qint32>(bound.top, p + 20);
    qToLittleEndian<qint32>(bound.right, p + 24);
    qToLittleEndian<qint32>(bound.bottom, p + 28);
    return d;
}

} // namespace emf
