// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the em square of the stroke data goes in a character cell of the
// face that stands in for a synthesised face, so that synthesised glyphs sit
// where that face's own glyphs sit.
//
// The square (1024 units, y down, top-left at 0,0) is scaled to the em and
// centred in the cell: horizontally in the advance, vertically between the top
// of the cell (ascent above the baseline) and its bottom (descent below). When
// the cell is narrower or lower than the em the square shrinks to fit, so a
// synthesised glyph never leaves the cell.
#include <QTransform>

#include <algorithm>

namespace faces {

constexpr qreal kEmSquare = 1024;

// From em-square units to logical units relative to the pen position on the
// baseline (y down).
inline QTransform emSquareToCell(qreal em, qreal ascent, qreal descent, qreal advance)
{
    const qreal height = ascent + descent;
    const qreal side = std::max<qreal>(0, std::min({em, height, advance > 0 ? advance : em}));
    const qreal s = side / kEmSquare;
    const qreal left = ((advance > 0 ? advance : em) - side) / 2;
    const qreal top = -ascent + (height - side) / 2;
    return QTransform(s, 0, 0, s, left, top);
}

} // namespace faces
