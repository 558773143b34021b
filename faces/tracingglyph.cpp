// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "faces/tracingglyph.h"

#include "faces/emsquare.h"
#include "faces/sharedpath.h"
#include "faces/strokepaths.h"
#include "faces/strokestore.h"

#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <QPolygonF>

#include <cmath>
#include <unordered_map>

namespace faces {

namespace {

// A glyph of a face, for the cache of dotted outlines.
struct FaceGlyphKey {
    QString family, style;
    int weight;
    quint32 glyph;
    friend bool operator==(const FaceGlyphKey &, const FaceGlyphKey &) = default;
};
struct FaceGlyphKeyHash {
    size_t operator()(const FaceGlyphKey &k) const { return qHashMulti(0, k.family, k.style, k.weight, k.glyph); }
};

} // namespace

QPainterPath dottedOutline(const QPainterPath &outline, qreal em)
{
    QPainterPath dots;
    dots.setFillRule(Qt::WindingFill);
    if (em <= 0)
        return dots;
    const qreal r = kTracingDotDiameter * em / 2;
    const qreal spacing = kTracingDotSpacing * em;
    // Contours may overlap or touch (a glyph's parts, the strokes of the
    // stroke data): only the edge of their union shows. A dot whose both
    // sides lie inside the shape sits on an inner edge and is left out.
    QPainterPath shape = outline;
    shape.setFillRule(Qt::WindingFill);
    auto inner = [&](QPointF p, QPointF along) {
        const qreal len = std::hypot(along.x(), along.y());
        if (len <= 0)
            return false;
        const QPointF n(-along.y() / len * r, along.x() / len * r);
        return shape.contains(p + n) && shape.contains(p - n);
    };
    for (const QPolygonF &poly : outline.toSubpathPolygons()) {
        if (poly.size() < 2)
            continue;
        // Length of the contour (closed: back to its first point).
        const bool closed = poly.isClosed();
        const qsizetype n = poly.size();
        std::vector<qreal> at(size_t(n), 0.0);
        qreal length = 0;
        for (qsizetype i = 1; i < n; ++i) {
            length += std::hypot(poly[i].x() - poly[i - 1].x(), poly[i].y() - poly[i - 1].y());
            at[size_t(i)] = length;
        }
        if (length <= 0)
            continue;
        const int count = std::max(closed ? 3 : 2, int(std::lround(length / spacing)));
        const qreal step = closed ? length / count : length / std::max(1, count - 1);
        qsizetype seg = 1;
        for (int k = 0; k < count; ++k) {
            const qreal d = std::min(k * step, length);
            while (seg < n - 1 && at[size_t(seg)] < d)
                ++seg;
            const qreal segLen = at[size_t(seg)] - at[size_t(seg - 1)];
            const qreal t = segLen > 0 ? (d - at[size_t(seg - 1)]) / segLen : 0;
            const QPointF along = poly[seg] - poly[seg - 1];
            const QPointF p = poly[seg - 1] + along * std::clamp<qreal>(t, 0, 1);
            if (!inner(p, along)) {
                // A dot is a stroke of no length: the round-capped pen makes it.
                dots.moveTo(p);
                dots.lineTo(p + QPointF(r * 1e-3, 0));
            }
        }
    }
    return dots;
}

std::shared_ptr<const QPainterPath> tracingDots(const QRawFont &face, quint32 glyph)
{
    struct Cache {
        QMutex mutex;
        std::unordered_map<FaceGlyphKey, std::shared_ptr<const QPainterPath>, FaceGlyphKeyHash> dots;
    };
    static Cache cache;
    const FaceGlyphKey key{face.familyName(), face.styleName(), face.weight(), glyph};
    {
        QMutexLocker lock(&cache.mutex);
        if (auto it = cache.dots.find(key); it != cache.dots.end())
            return it->second;
    }
    const qreal px = face.pixelSize();
    auto dots = std::make_shared<QPainterPath>();
    if (px > 0) {
        const qreal s = kEmSquare / px;
        *dots = dottedOutline(QTransform::fromScale(s, s).map(face.pathForGlyph(glyph)), kEmSquare);
    }
    prepareForSharing(*dots);
    QMutexLocker lock(&cache.mutex);
    if (cache.dots.size() >= 256)
        cache.dots.clear();
    return cache.dots.emplace(key, std::move(dots)).first->second;
}

std::shared_ptr<const QPainterPath> tracingDotsFromStrokes(char32_t ch)
{
    struct Cache {
        QMutex mutex;
        quint64 generation = 0;
        QHash<char32_t, std::shared_ptr<const QPainterPath>> dots;
    };
    static Cache cache;
    StrokeStore &store = StrokeStore::global();
    const quint64 generation = store.generation();
    {
        QMutexLocker lock(&cache.mutex);
        if (cache.generation != generation) {
            cache.dots.clear();
            cache.generation = generation;
        }
        if (auto it = cache.dots.constFind(ch); it != cache.dots.constEnd())
            return *it;
    }
    std::shared_ptr<const QPainterPath> dots;
    if (const auto strokes = store.find(ch)) {
        auto p = std::make_shared<QPainterPath>(dottedOutline(inkOf(*strokes), kEmSquare));
        prepareForSharing(*p);
        dots = std::move(p);
    }
    QMutexLocker lock(&cache.mutex);
    if (cache.generation != generation)
        return dots;
    if (cache.dots.size() >= 256)
        cache.dots.clear();
    return *cache.dots.insert(ch, dots);
}

} // namespace faces
