// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The glyph of the synthesised stroke-order face: a character's strokes
// filled as one shape, and each stroke's order number placed near the start
// of that stroke, in a small bold face with a light halo so that it reads on
// top of the ink. Numbers never overlap one another and stay inside the em
// square: each goes to the best of several candidate positions around its
// stroke's start, preferring positions close to the start, off the ink and
// away from where other strokes start.
//
// Everything is in em-square units: 1024 to the em, x to the right, y down,
// the square's top-left corner at (0, 0) (see emsquare.h for where the square
// goes in a character cell).
#include "faces/strokecodec.h"

#include <QPainterPath>
#include <QRectF>

#include <memory>
#include <vector>

namespace faces {

struct NumberMark {
    int number = 0;   // 1 for the first stroke
    QPointF start;    // where its stroke starts
    QRectF box;       // the number's ink with its halo
};

struct StrokeOrderGlyph {
    QPainterPath ink;    // every stroke; winding fill
    QPainterPath digits; // the numbers
    // The halo: the numbers' outline stroked this wide on each side (round
    // joins) before the numbers are filled; haloBand is that stroke made
    // once as a shape, for painters that fill faster than they stroke.
    qreal haloWidth = 0;
    QPainterPath haloBand;
    std::vector<NumberMark> marks; // one per stroke, in stroke order
    int strokeCount = 0;
    qreal numberHeight = 0; // height of a digit, em-square units
};

// Lays out the glyph of a character's strokes (data units of strokecodec.h).
StrokeOrderGlyph buildStrokeOrderGlyph(const strokes::CharStrokes &c);

// For each stroke, the share of its ink that the numbers and their halos
// cover (0..1), measured on a grid of `grid` pixels to the em.
std::vector<qreal> numberCover(const strokes::CharStrokes &c, const StrokeOrderGlyph &g, int grid = 256);

} // namespace faces
