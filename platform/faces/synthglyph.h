// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a synthesised face draws for one character, and how it is painted.
//
// The stroke-order face draws the character's strokes with their numbers
// when the stroke data has the character, and the stand-in face's own glyph
// otherwise. The tracing face draws the dotted outline of the stand-in face's
// glyph, or of the united strokes when that face lacks the character. Both
// keep the stand-in face's metrics: a synthesised glyph sits in the same
// character cell as the glyph it replaces.
//
// Every surface that draws text with a synthesised face goes through here,
// so the window, played pages, printers and thumbnails look the same; a
// document writer can take the same shapes and colours.
#include "platform/faces/strokeorderglyph.h"
#include "platform/faces/synthesis.h"

#include <QColor>
#include <QPainterPath>
#include <QRawFont>
#include <QTransform>

#include <memory>

class QPainter;

namespace faces {

struct SynthGlyph {
    enum class Kind {
        FaceGlyph,   // the stand-in face's own glyph, drawn as text
        StrokeOrder, // strokeOrder
        Tracing,     // dots
    };
    Kind kind = Kind::FaceGlyph;
    std::shared_ptr<const StrokeOrderGlyph> strokeOrder;
    std::shared_ptr<const QPainterPath> dots;
    // From the shapes' units to logical units relative to the pen position on
    // the baseline (y down).
    QTransform toLogical;
};

// The glyph of `ch` in synthesised face `s`, where `face` (at the font's em
// size) with glyph index `glyph` is what the stand-in draws for it and the
// cell is `ascent` + `descent` high and `advance` wide (logical units, as the
// stand-in measures them). `ch` is 0 when only the glyph index is known.
SynthGlyph synthesizedGlyph(Synthesis s, char32_t ch, const QRawFont &face, quint32 glyph, qreal em,
                            qreal ascent, qreal descent, qreal advance);

// The colours of the numbers and of their halo, for ink of colour `ink`.
QColor numberColor(QColor ink);
QColor haloColor(QColor ink);

// Paints a synthesised glyph (not FaceGlyph) whose pen position is the
// origin of the painter's current world transform. The painter's state is
// given back as it was.
void paintSynthGlyph(QPainter &painter, const SynthGlyph &glyph, QColor ink);

} // namespace faces
