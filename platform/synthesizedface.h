// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Faces a program draws itself. A family that no installed font has can be
// given to a synthesised face: the font resolver still picks the stand-in
// face through its substitution chain (for its metrics, and for the glyphs
// the synthesised face leaves to it), and every surface that draws text in
// the family (painter canvases, a document writer) asks the synthesised face
// for each character's glyph: shapes it paints itself, the stand-in's own
// glyph, or nothing at all.
//
// An installed font of the family always wins: the face is then not used.
#include <QColor>
#include <QPainterPath>
#include <QRawFont>
#include <QString>
#include <QTransform>

#include <array>
#include <memory>
#include <vector>

class QPainter;

namespace fonts {

// One shape of a synthesised glyph, in the glyph's own units.
struct GlyphShape {
    std::shared_ptr<const QPainterPath> path;
    QColor color;
    // 0: the path is filled. Above 0: the path is stroked with a pen this
    // wide, round caps and joins (a subpath of no length is a round dot).
    qreal penWidth = 0;
    // A stroked shape on a device of pixels: the pen is never narrower than
    // this many pixels (dots that stay visible when the glyph is small) ...
    qreal minPenPixels = 0;
    // ... and the shape is left out when its pen would be narrower than this
    // many pixels (a halo too thin to be seen).
    qreal omitBelowPixels = 0;
    // The stroked pen's area made once as a shape to fill, for painters onto
    // pixels, which fill faster than they stroke; null when not made.
    std::shared_ptr<const QPainterPath> strokedArea;
};

struct SynthesizedGlyph {
    enum class Kind {
        FaceGlyph, // the stand-in face's own glyph, drawn as text
        Shapes,    // `shapes`, painted in order
        Blank,     // nothing: no face has the character
    };
    Kind kind = Kind::FaceGlyph;
    std::vector<GlyphShape> shapes;
    // From the shapes' units to logical units relative to the pen position
    // on the baseline (y down), and the em in the shapes' units.
    QTransform toLogical;
    qreal unitsPerEm = 1024;
    // The same shapes have the same identity: pictures made of the glyph
    // are kept under it (and keep it alive).
    std::shared_ptr<const void> identity;
};

// What a synthesised face is told about one character it is to draw.
struct GlyphRequest {
    char32_t ch = 0;  // 0 when only the glyph index is known
    QRawFont face;    // the face the stand-in draws the character with, at the em size
    quint32 glyph = 0; // its glyph there; 0 when no installed face has the character
    qreal em = 0;     // the cell, logical units, as the stand-in measures it
    qreal ascent = 0;
    qreal descent = 0;
    qreal advance = 0;
    QColor ink;       // the text colour
};

class SynthesizedFace {
public:
    virtual ~SynthesizedFace() = default;
    // The glyph of one character. Called from any thread.
    virtual SynthesizedGlyph glyph(const GlyphRequest &request) const = 0;
};

// Makes `face` draw `family` (any letter case) from now on, wherever no font
// of that family is installed; a null face takes it back. Fonts resolved
// before are resolved anew. Programs register their faces at start-up.
void registerSynthesizedFace(const QString &family, std::shared_ptr<const SynthesizedFace> face);

// The face registered for `family`, whether or not a font of the family is
// installed; null when none is.
std::shared_ptr<const SynthesizedFace> registeredSynthesizedFace(const QString &family);

// Paints a glyph of kind Shapes whose pen position is the origin of the
// painter's current world transform. The painter's state is given back as
// it was.
void paintSynthesizedGlyph(QPainter &painter, const SynthesizedGlyph &glyph);

// The bounds of the glyph's shapes (pens included), in the shapes' units.
QRectF synthesizedGlyphBounds(const SynthesizedGlyph &glyph);

} // namespace fonts
