// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/faces/synthglyph.h"

#include "platform/faces/emsquare.h"
#include "platform/faces/tracingglyph.h"

#include <QPaintEngine>
#include <QPainter>
#include <QPen>

#include <cmath>

namespace faces {

namespace {
// The smallest dot on a device, pixels.
constexpr qreal kMinDotPixels = 1.25;
} // namespace

SynthGlyph synthesizedGlyph(Synthesis s, char32_t ch, const QRawFont &face, quint32 glyph, qreal em,
                            qreal ascent, qreal descent, qreal advance)
{
    SynthGlyph g;
    switch (s) {
    case Synthesis::None:
        break;
    case Synthesis::StrokeOrder:
        if (ch) {
            if (auto so = strokeOrderGlyph(ch)) {
                g.kind = SynthGlyph::Kind::StrokeOrder;
                g.strokeOrder = std::move(so);
                g.toLogical = emSquareToCell(em, ascent, descent, advance);
            }
        }
        break;
    case Synthesis::Tracing: {
        const bool faceHasIt = glyph != 0 && face.isValid();
        if (faceHasIt) {
            auto dots = tracingDots(face, glyph);
            if (dots && !dots->isEmpty()) {
                g.kind = SynthGlyph::Kind::Tracing;
                g.dots = std::move(dots);
                const qreal s_ = face.pixelSize() / kEmSquare;
                g.toLogical = QTransform::fromScale(s_, s_);
            }
        } else if (ch) {
            if (auto dots = tracingDotsFromStrokes(ch)) {
                g.kind = SynthGlyph::Kind::Tracing;
                g.dots = std::move(dots);
                g.toLogical = emSquareToCell(em, ascent, descent, advance);
            }
        }
        break;
    }
    }
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

void paintSynthGlyph(QPainter &painter, const SynthGlyph &glyph, QColor ink)
{
    if (glyph.kind == SynthGlyph::Kind::FaceGlyph)
        return;
    painter.save();
    painter.setWorldTransform(glyph.toLogical * painter.worldTransform());
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    const QTransform device = painter.deviceTransform();
    const qreal scale = std::sqrt(std::abs(device.determinant()));
    if (glyph.kind == SynthGlyph::Kind::StrokeOrder) {
        const StrokeOrderGlyph &g = *glyph.strokeOrder;
        painter.fillPath(g.ink, ink);
        // A halo thinner than a pixel is not seen (and a pen that thin is
        // drawn a pixel wide).
        if (2 * g.haloWidth * scale >= 1) {
            // Pixels: the band made once; documents: the stroke, far smaller.
            const QPaintEngine *engine = painter.paintEngine();
            if (engine && engine->type() == QPaintEngine::Raster)
                painter.fillPath(g.haloBand, haloColor(ink));
            else
                painter.strokePath(g.digits, QPen(haloColor(ink), 2 * g.haloWidth, Qt::SolidLine, Qt::RoundCap,
                                                  Qt::RoundJoin));
        }
        painter.fillPath(g.digits, numberColor(ink));
    } else {
        // Dots stay visible when the glyph is small (a thumbnail): never
        // narrower than a little over a pixel.
        qreal width = kTracingDotDiameter * kEmSquare;
        if (scale > 0 && width * scale < kMinDotPixels)
            width = kMinDotPixels / scale;
        painter.strokePath(*glyph.dots, QPen(ink, width, Qt::SolidLine, Qt::RoundCap));
    }
    painter.restore();
}

} // namespace faces
