// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "faces/worksheetfaces.h"

#include "faces/emsquare.h"
#include "faces/modelform.h"
#include "faces/synthesis.h"
#include "faces/tracingglyph.h"

#include <mutex>

namespace faces {

namespace {

// The smallest dot on a device, pixels.
constexpr qreal kMinDotPixels = 1.25;

class StrokeOrderFace : public fonts::SynthesizedFace {
public:
    fonts::SynthesizedGlyph glyph(const fonts::GlyphRequest &r) const override { return strokeOrderGlyphFor(r); }
};

class TracingFace : public fonts::SynthesizedFace {
public:
    fonts::SynthesizedGlyph glyph(const fonts::GlyphRequest &r) const override { return tracingGlyphFor(r); }
};

fonts::SynthesizedGlyph dotted(std::shared_ptr<const QPainterPath> dots, const QTransform &toLogical, QColor ink)
{
    fonts::SynthesizedGlyph g;
    g.kind = fonts::SynthesizedGlyph::Kind::Shapes;
    g.toLogical = toLogical;
    g.unitsPerEm = kEmSquare;
    fonts::GlyphShape shape;
    shape.path = dots;
    shape.color = ink;
    shape.penWidth = kTracingDotDiameter * kEmSquare;
    // Dots stay visible when the glyph is small (a thumbnail): never
    // narrower than a little over a pixel.
    shape.minPenPixels = kMinDotPixels;
    g.shapes.push_back(std::move(shape));
    g.identity = std::move(dots);
    return g;
}

} // namespace

void registerWorksheetFaces()
{
    static std::once_flag once;
    std::call_once(once, [] {
        fonts::registerSynthesizedFace(strokeOrderFamily(), std::make_shared<StrokeOrderFace>());
        fonts::registerSynthesizedFace(tracingFamily(), std::make_shared<TracingFace>());
    });
}

fonts::SynthesizedGlyph strokeOrderGlyphFor(const fonts::GlyphRequest &r)
{
    fonts::SynthesizedGlyph g;
    if (!r.ch)
        return g;
    const ModelForm form = modelForm(r.ch, r.face, r.glyph);
    switch (form.kind) {
    case ModelForm::Kind::Kai:
        return g;
    case ModelForm::Kind::Blank:
        g.kind = fonts::SynthesizedGlyph::Kind::Blank;
        return g;
    case ModelForm::Kind::Numbered:
        break;
    }
    const StrokeOrderGlyph &so = *form.glyph;
    g.kind = fonts::SynthesizedGlyph::Kind::Shapes;
    g.toLogical = emSquareToCell(r.em, r.ascent, r.descent, r.advance);
    g.unitsPerEm = kEmSquare;
    g.identity = form.glyph;
    // Shapes share the glyph's paths without copying them.
    auto part = [&](const QPainterPath &p) { return std::shared_ptr<const QPainterPath>(form.glyph, &p); };
    g.shapes.push_back({part(so.ink), r.ink, 0, 0, 0, nullptr});
    // The numbers: a light halo round them (a halo thinner than a pixel is
    // not seen, and a pen that thin is drawn a pixel wide), then the numbers.
    g.shapes.push_back({part(so.digits), haloColor(r.ink), 2 * so.haloWidth, 0, 1, part(so.haloBand)});
    g.shapes.push_back({part(so.digits), numberColor(r.ink), 0, 0, 0, nullptr});
    return g;
}

fonts::SynthesizedGlyph tracingGlyphFor(const fonts::GlyphRequest &r)
{
    fonts::SynthesizedGlyph g;
    if (r.glyph != 0 && r.face.isValid()) {
        auto dots = tracingDots(r.face, r.glyph);
        if (dots && !dots->isEmpty()) {
            const qreal s = r.face.pixelSize() / kEmSquare;
            return dotted(std::move(dots), QTransform::fromScale(s, s), r.ink);
        }
        return g;
    }
    if (r.ch) {
        if (auto dots = tracingDotsFromStrokes(r.ch))
            return dotted(std::move(dots), emSquareToCell(r.em, r.ascent, r.descent, r.advance), r.ink);
    }
    g.kind = fonts::SynthesizedGlyph::Kind::Blank;
    return g;
}

QColor numberColor(QColor ink)
{
    // Darker than the ink, in the ink's hue, so that a number reads on it.
    return QColor::fromRgbF(ink.redF() * 0.3f, ink.greenF() * 0.3f, ink.blueF() * 0.3f);
}

QColor haloColor(QColor ink)
{
    // Much lighter than the ink: the number stands out of the stroke it lies on.
    const float k = 0.85f;
    return QColor::fromRgbF(ink.redF() + (1 - ink.redF()) * k, ink.greenF() + (1 - ink.greenF()) * k,
                            ink.blueF() + (1 - ink.blueF()) * k);
}

} // namespace faces
