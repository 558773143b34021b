// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Small helpers shared by the files of the painter canvas.
#include "platform/gdi.h"

#include <QColor>
#include <QRegion>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

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

// The transform's largest and smallest stretch (its singular values): how
// long a unit becomes along the direction it grows most and least.
inline std::pair<qreal, qreal> stretches(const QTransform &t)
{
    const qreal a = t.m11(), b = t.m12(), c = t.m21(), d = t.m22();
    const qreal sum = a * a + b * b + c * c + d * d, det = std::abs(a * d - b * c);
    const qreal root = std::sqrt(std::max<qreal>(0, sum * sum - 4 * det * det));
    return {std::sqrt((sum + root) / 2), std::sqrt(std::max<qreal>(0, (sum - root) / 2))};
}

inline bool outlinesOnly(const QTransform &t, qreal em)
{
    const auto [largest, smallest] = stretches(t);
    if (!std::isfinite(largest) || em * largest > kMaxBitmapGlyph)
        return true;
    return smallest * kMaxGlyphStretch < largest;
}

// Device coordinates are kept within +-2^24 pixels (far beyond any page), so
// that figures from damaged input cannot overflow the rasterizer.
constexpr qreal kDeviceLimit = 16777216.0;

// The covered pixels of a mask, gathered row by row into rectangles: a row
// like the one above it makes those rectangles one row taller.
class RunRegion {
public:
    // Row `y` of the mask, `width` pixels from `x0`; covered(i) tells
    // whether pixel i of the row is covered.
    template <class Covered>
    void addRow(int y, int x0, int width, Covered covered)
    {
        m_row.clear();
        for (int x = 0; x < width;) {
            if (!covered(x)) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < width && covered(x))
                ++x;
            m_row.emplace_back(x0 + start, y, x - start, 1);
        }
        bool same = !m_row.empty() && m_row.size() == m_previous.size() && m_previousY == y - 1;
        for (size_t i = 0; same && i < m_row.size(); ++i)
            same = m_row[i].left() == m_previous[i].left() && m_row[i].width() == m_previous[i].width();
        if (same) {
            for (size_t i = 0; i < m_row.size(); ++i)
                m_rects[m_rects.size() - m_row.size() + i].setBottom(y);
        } else {
            m_rects.insert(m_rects.end(), m_row.begin(), m_row.end());
        }
        std::swap(m_previous, m_row);
        m_previousY = y;
    }
    QRegion region() const
    {
        QRegion r;
        if (!m_rects.empty())
            r.setRects(m_rects.data(), int(m_rects.size()));
        return r;
    }

private:
    std::vector<QRect> m_rects, m_previous, m_row;
    int m_previousY = 0;
};

} // namespace paintercanvas_detail
