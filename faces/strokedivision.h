// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Whether the mainland stroke data divides a character into strokes as
// Taiwan's standard does. Both sources draw their outlines from the same Kai
// design, so their filled shapes, and the Kai glyph's, agree: where the two
// standards differ (艹 in three strokes or four, 阝 in two or three, 辶 in
// three or four, and a few more), one mainland stroke covers what Taiwan
// writes as two. The tracing glyph does not show that; the characters both
// sources have do.
//
// From those characters, every mainland stroke that no traditional stroke
// matches becomes a pattern: its outline in its own box, the box's place in
// the em square. A mainland stroke of another character that matches a
// pattern (the same shape, about the same size and place) is divided
// otherwise in Taiwan's standard, and its character is not numbered from
// the mainland data. Learnt on first use from the store's data; safe from
// any thread.
#include "faces/strokecodec.h"

#include <vector>

namespace faces {

class StrokeStore;

struct DivisionCheck {
    // The strokes of `c` that match a pattern, by index.
    std::vector<int> dividedOtherwise;
    bool agrees() const { return dividedOtherwise.empty(); }
};

// `except`: a character whose own patterns are left out (to test the
// patterns on the characters they were learnt from); 0 for none.
DivisionCheck checkDivision(const StrokeStore &store, const strokes::CharStrokes &mainland, char32_t except = 0);

// Patterns learnt (for the check's report).
int divisionPatternCount(const StrokeStore &store);

} // namespace faces
