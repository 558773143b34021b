// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Stroke data as shapes in the em square (emsquare.h: 1024 units, y down,
// the square's top-left corner at 0,0).
#include "faces/strokecodec.h"

#include <QPainterPath>
#include <QPointF>

namespace faces {

// A point of the data's design units (y up, strokecodec.h) in the square.
inline QPointF toSquare(QPointF p) { return QPointF(p.x(), strokes::kEmTop - p.y()); }

// One stroke's outline.
QPainterPath outlinePath(const strokes::Outline &outline);

// Every stroke turned the same way round, so that a winding fill of all of
// them is their union: overlapping strokes do not cancel and shared edges
// leave no seam.
QPainterPath inkOf(const strokes::CharStrokes &c);

} // namespace faces
