// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Glyph names of the Adobe Glyph List for the characters of the single-byte
// code pages (what a TrueType font's /Differences array names).
#include <QtGlobal>

namespace glyphnames {

// The name of `ch`, or null when the list has none.
const char *nameOf(char32_t ch);

} // namespace glyphnames
