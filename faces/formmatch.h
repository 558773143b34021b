// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Whether a character's stroke data has the same form as the Kai glyph the
// tracing cell draws: the model cell numbers only strokes that a child finds
// again in the glyph beneath.
//
// Both shapes are drawn at a fixed size after the box of the strokes is
// fitted onto the box of the glyph, and compared for what one has and the
// other lacks: a stroke more or less, a stroke broken or joined, a part
// written another way. Two Kai designs of one form differ everywhere a
// little (the brush, the weight, the proportions), which the comparison
// absorbs; a different form leaves a patch of ink in one that lies well
// away from the other's.
#include <QPainterPath>

namespace faces {

struct FormDifference {
    // The largest patch of the strokes' ink lying away from the glyph's ink,
    // and of the glyph's ink lying away from the strokes', each as a share
    // of the em square's area.
    qreal extra = 0;
    qreal missing = 0;
    qreal patch() const { return extra > missing ? extra : missing; }
    bool agrees() const;
};

// The largest patch two shapes of one form leave (share of the em square).
extern const qreal kFormPatchLimit;

// `strokes`: the data's filled shape (any units, y down); `glyph`: the Kai
// glyph's outline, `em` units to its em (y down).
FormDifference compareForms(const QPainterPath &strokes, const QPainterPath &glyph, qreal em);

} // namespace faces
