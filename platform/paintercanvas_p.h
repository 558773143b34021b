// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Small helpers shared by the files of the painter canvas.
#include "platform/gdi.h"

#include <QColor>
#include <QTransform>

#include <algorithm>
#include <cmath>

namespace paintercanvas_detail {

inline QColor qcolor(gdi::ColorRef c) { return QColor(gdi::redOf(c), gdi::greenOf(c), gdi::blueOf(c)); }

inline int roundi(qreal v) { return int(std::lround(v)); }

// Device coordinates name pixel centres, as in the Windows graphics
// interface; the painter's name pixel corners. Shapes go to the painter
// shifted by a little less than half a pixel, so that an edge through pixel
// centres falls the interface's way: a pixel on a top or left edge is inside,
// one on a bottom or right edge outside.
constexpr qreal kPixelCentre = 0.5 - 1.0 / 64;

// Glyphs whose em is larger than this many device pixels, or that a
// transform stretches this many times more one way than the other, are drawn
// as outlines rather than through the font engine's glyph bitmaps.
constexpr qreal kMaxBitmapGlyph = 2048;
constexpr qreal kMaxGlyphStretch = 16;

inline bool outlinesOnly(const QTransform &t, qreal em)
{
    const qreal a = t.m11(), b = t.m12(), c = t.m21(), d = t.m22();
    // The transform's largest and smallest stretch (its singular values).
    const qreal sum = a * a + b * b + c * c + d * d, det = std::abs(a * d - b * c);
    const qreal root = std::sqrt(std::max<qreal>(0, sum * sum - 4 * det * det));
    const qreal largest = std::sqrt((sum + root) / 2), smallest = std::sqrt(std::max<qreal>(0, (sum - root) / 2));
    if (!std::isfinite(largest) || em * largest > kMaxBitmapGlyph)
        return true;
    return smallest * kMaxGlyphStretch < largest;
}

// Device coordinates are kept within +-2^24 pixels (far beyond any page), so
// that figures from damaged input cannot overflow the rasterizer.
constexpr qreal kDeviceLimit = 16777216.0;

} // namespace paintercanvas_detail
