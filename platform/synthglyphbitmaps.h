// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Synthesised glyphs drawn once per size, colour and quarter-pixel position
// into an image and copied from then on, as a text engine keeps its glyphs:
// a sheet repeats each character in several cells, and every repaint of the
// window or a preview draws them again.
//
// Only for painters onto pixels (windows, images) whose transform scales and
// moves but does not turn; printers and documents get the shapes themselves.
// The images are kept within a memory budget, the least recently used given
// up first. Safe from any thread.
#include "platform/synthesizedface.h"

class QPainter;

namespace fonts {

// Draws `glyph` from (or into) the cache and returns true, or returns false
// when the painter or its transform does not allow it (nothing drawn then).
bool paintFromBitmapCache(QPainter &painter, const SynthesizedGlyph &glyph);

// Budget of the cache, bytes.
constexpr qint64 kGlyphBitmapBudget = 64 * 1024 * 1024;

} // namespace fonts
