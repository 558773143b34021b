// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The glyph of the synthesised tracing face: an outline drawn as a row of
// fine dots and not filled, light enough to write over. The outline is the
// stand-in Kai face's own glyph; where that face lacks a character that the
// stroke data has, the data's strokes are united first, so that no seam
// between two strokes shows as a dotted line inside the character.
//
// Dots are round, evenly spaced along every contour (closed contours get a
// whole number of gaps). Each is a stroke of no length drawn with a round-
// capped pen kTracingDotDiameter wide: the same at any size and on any
// device, and small in a document.
#include "faces/strokecodec.h"

#include <QPainterPath>
#include <QRawFont>

#include <memory>

namespace faces {

// Dot size and spacing, as parts of the em.
constexpr qreal kTracingDotDiameter = 0.0115;
constexpr qreal kTracingDotSpacing = 0.028;

// Dots along the edge of the shape that `outline` fills (winding rule), for
// an em of `em` units of the outline: one tiny subpath per dot, to be
// stroked with a round-capped pen kTracingDotDiameter * em wide. Where contours overlap or touch, the
// edges inside the shape get no dots: the outline is that of their union.
QPainterPath dottedOutline(const QPainterPath &outline, qreal em);

// The dots of `glyph` of `face`, in units of 1/1024 of the face's em (y down
// from the baseline; scale by em / 1024 to draw). Made once per face and
// glyph and kept. Safe from any thread.
std::shared_ptr<const QPainterPath> tracingDots(const QRawFont &face, quint32 glyph);

// The dots of the united strokes of `ch` from the global stroke store, in
// em-square units; nullptr when there is no stroke data.
std::shared_ptr<const QPainterPath> tracingDotsFromStrokes(char32_t ch);

} // namespace faces
