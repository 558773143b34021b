// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The two worksheet faces this program draws itself where no font of their
// family is installed (synthesis.h), registered with the font resolver as
// synthesised faces (platform/synthesizedface.h):
//
// - the stroke-order face draws the model form of a character (modelform.h):
//   its strokes filled and numbered in writing order, or the stand-in Kai
//   face's own glyph where no stroke data of the same form exists;
// - the tracing face draws the dotted outline of the stand-in face's glyph,
//   or of the strokes when no installed face has the character.
//
// Both keep the stand-in face's metrics: a synthesised glyph sits in the
// same character cell as the glyph it replaces. Where neither a face nor the
// stroke data has a character, the cell stays empty.
#include "platform/synthesizedface.h"

#include <QColor>

namespace faces {

// Registers both faces (once; later calls do nothing).
void registerWorksheetFaces();

// The glyph of a request in the stroke-order and the tracing face.
fonts::SynthesizedGlyph strokeOrderGlyphFor(const fonts::GlyphRequest &request);
fonts::SynthesizedGlyph tracingGlyphFor(const fonts::GlyphRequest &request);

// The colours of the numbers and of their halo, for ink of colour `ink`.
QColor numberColor(QColor ink);
QColor haloColor(QColor ink);

} // namespace faces
