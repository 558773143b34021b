// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Text given as glyph indexes (ETO_GLYPH_INDEX) back to characters: the
// glyph numbers of a face mean something only in that face, so they are
// read through its character map in reverse, and only when the face the
// font names is the one that draws it.
#include "platform/gdi.h"

#include <QString>
#include <optional>
#include <vector>

namespace emf {

// True when the face `font` names is installed and draws it (not a stand-in).
bool faceAtHand(const gdi::LogFont &font);

// The characters the glyph indexes (one per UTF-16 code unit of `glyphs`)
// stand for in the face of `font`; nullopt when the face is not at hand or a
// glyph has no character. A character outside the basic plane takes two code
// units: `dx`, one advance per glyph when given, gets a 0 advance for the
// second.
std::optional<QString> glyphsToText(const gdi::LogFont &font, const QString &glyphs, std::vector<qint32> *dx);

} // namespace emf
