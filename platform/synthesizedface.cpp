// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/synthesizedface.h"

#include "platform/fonts.h"
#include "platform/fonts_p.h"

#include <QHash>
#include <QPaintEngine>
#include <QPainter>
#include <QPen>
#include <QReadWriteLock>

#include <cmath>

namespace fonts {

namespace {

struct Registry {
    QReadWriteLock lock;
    QHash<QString, std::shared_ptr<const SynthesizedFace>> faces; // lower-case family
};

Registry &registry()
{
    static Registry r;
    return r;
}

} // namespace

void registerSynthesizedFace(const QString &family, std::shared_ptr<const SynthesizedFace> face)
{
    {
        Registry &r = registry();
        QWriteLocker w(&r.lock);
        if (face)
            r.faces.insert(family.toLower(), std::move(face));
        else
            r.faces.remove(family.toLower());
    }
    // Fonts resolved before knew nothing of the face.
    detail::forgetResolvedFonts();
}

std::shared_ptr<const SynthesizedFace> registeredSynthesizedFace(const QString &family)
{
    Registry &r = registry();
    QReadLocker rl(&r.lock);
    if (r.faces.isEmpty())
        return nullptr;
    return r.faces.value(family.toLower());
}

QRectF synthesizedGlyphBounds(const SynthesizedGlyph &glyph)
{
    QRectF out;
    for (const GlyphShape &s : glyph.shapes) {
        if (!s.path)
            continue;
        const qreal r = s.penWidth / 2;
        out = out.united(s.path->boundingRect().adjusted(-r, -r, r, r));
    }
    return out;
}

void paintSynthesizedGlyph(QPainter &painter, const SynthesizedGlyph &glyph)
{
    if (glyph.kind != SynthesizedGlyph::Kind::Shapes)
        return;
    painter.save();
    painter.setWorldTransform(glyph.toLogical * painter.worldTransform());
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    const qreal scale = std::sqrt(std::abs(painter.deviceTransform().determinant()));
    const QPaintEngine *engine = painter.paintEngine();
    const bool pixels = engine && engine->type() == QPaintEngine::Raster;
    for (const GlyphShape &s : glyph.shapes) {
        if (!s.path)
            continue;
        if (s.penWidth <= 0) {
            painter.fillPath(*s.path, s.color);
            continue;
        }
        if (s.penWidth * scale < s.omitBelowPixels)
            continue;
        qreal width = s.penWidth;
        if (scale > 0 && width * scale < s.minPenPixels)
            width = s.minPenPixels / scale;
        if (pixels && s.strokedArea && width == s.penWidth)
            painter.fillPath(*s.strokedArea, s.color);
        else
            painter.strokePath(*s.path, QPen(s.color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    }
    painter.restore();
}

} // namespace fonts
