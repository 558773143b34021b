// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/synthglyphbitmaps.h"

#include <QImage>
#include <QMutex>
#include <QMutexLocker>
#include <QPaintEngine>
#include <QPainter>

#include <array>
#include <cmath>
#include <list>
#include <unordered_map>

namespace fonts {

namespace {

// Glyphs larger than this on the device are drawn as shapes (a poster-sized
// character is drawn once, not copied), and so are glyphs of an em below
// kMinEm pixels.
constexpr qreal kMaxSide = 2400;
constexpr qreal kMinEm = 100;
// Positions within a pixel that get an image of their own, per direction.
constexpr int kSteps = 4;

// Glyphs of more shapes than this are drawn as shapes.
constexpr size_t kMaxShapes = 4;

struct Key {
    const void *shape; // the glyph's identity (kept alive by the entry)
    qint64 sx, sy;     // scale, millionths
    std::array<QRgb, kMaxShapes> colors;
    int qx, qy;        // position within the pixel, kSteps-ths
    friend bool operator==(const Key &, const Key &) = default;
};
struct KeyHash {
    size_t operator()(const Key &k) const
    {
        size_t h = qHashMulti(0, quintptr(k.shape), k.sx, k.sy, k.qx, k.qy);
        for (QRgb c : k.colors)
            h = qHashMulti(h, c);
        return h;
    }
};

struct Entry {
    QImage image;
    QPoint offset; // of the image's corner from the whole-pixel origin
    std::shared_ptr<const void> keepAlive;
    std::list<Key>::iterator lru;
};

struct Cache {
    QMutex mutex;
    std::unordered_map<Key, Entry, KeyHash> entries;
    std::list<Key> order; // most recently used first
    qint64 bytes = 0;
};

Cache &cache()
{
    static Cache c;
    return c;
}

} // namespace

bool paintFromBitmapCache(QPainter &painter, const SynthesizedGlyph &glyph)
{
    if (glyph.kind != SynthesizedGlyph::Kind::Shapes || !glyph.identity || glyph.shapes.size() > kMaxShapes)
        return false;
    const QPaintEngine *engine = painter.paintEngine();
    if (!engine || engine->type() != QPaintEngine::Raster)
        return false;
    const QTransform world = painter.worldTransform();
    // What lies between the world and the pixels (a widget's offset) must be
    // a move by whole pixels.
    const QTransform device = painter.deviceTransform();
    if (device != world) {
        auto whole = [](qreal v) { return std::abs(v - std::round(v)) < 1e-6; };
        if (!qFuzzyCompare(device.m11(), world.m11()) || !qFuzzyCompare(device.m22(), world.m22()) ||
            device.m12() != world.m12() || device.m21() != world.m21() || device.m13() != world.m13() ||
            device.m23() != world.m23() || !whole(device.dx() - world.dx()) || !whole(device.dy() - world.dy()))
            return false;
    }
    const QTransform t = glyph.toLogical * world;
    if (t.type() > QTransform::TxScale || t.m11() <= 0 || t.m22() <= 0)
        return false;
    const QRectF bounds = synthesizedGlyphBounds(glyph);
    const QRectF scaled(bounds.left() * t.m11(), bounds.top() * t.m22(), bounds.width() * t.m11(),
                        bounds.height() * t.m22());
    if (scaled.isEmpty() || scaled.width() > kMaxSide || scaled.height() > kMaxSide)
        return false;

    // Small glyphs are quick to draw, and a glyph moved by a part of a pixel
    // could shade a pixel beyond its cell: they are drawn as shapes.
    if (t.m11() * glyph.unitsPerEm < kMinEm || t.m22() * glyph.unitsPerEm < kMinEm)
        return false;

    // The origin at the nearest quarter of a pixel.
    const QPointF origin = t.map(QPointF(0, 0));
    if (std::abs(origin.x()) > 1e7 || std::abs(origin.y()) > 1e7)
        return false;
    const qreal ex = std::round(origin.x() * kSteps), ey = std::round(origin.y() * kSteps);
    const qreal fx = std::floor(ex / kSteps), fy = std::floor(ey / kSteps);
    const int qx = int(ex - fx * kSteps), qy = int(ey - fy * kSteps);
    Key key{glyph.identity.get(), std::llround(t.m11() * 1e6), std::llround(t.m22() * 1e6), {}, qx, qy};
    for (size_t i = 0; i < glyph.shapes.size(); ++i)
        key.colors[i] = glyph.shapes[i].color.rgba();

    Cache &c = cache();
    QImage image;
    QPoint offset;
    {
        QMutexLocker lock(&c.mutex);
        if (auto it = c.entries.find(key); it != c.entries.end()) {
            c.order.splice(c.order.begin(), c.order, it->second.lru);
            image = it->second.image;
            offset = it->second.offset;
        }
    }
    if (image.isNull()) {
        // The glyph with its origin at that part of a pixel, in an image just
        // covering it.
        const QPointF at(qreal(qx) / kSteps, qreal(qy) / kSteps);
        const QRect pixels = scaled.translated(at).toAlignedRect().adjusted(-1, -1, 1, 1);
        image = QImage(pixels.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter p(&image);
            p.setWorldTransform(QTransform(t.m11(), 0, 0, t.m22(), at.x() - pixels.left(), at.y() - pixels.top()));
            SynthesizedGlyph flat = glyph;
            flat.toLogical = QTransform();
            paintSynthesizedGlyph(p, flat);
        }
        offset = pixels.topLeft();
        std::shared_ptr<const void> keep = glyph.identity;
        QMutexLocker lock(&c.mutex);
        if (c.entries.find(key) == c.entries.end()) {
            c.order.push_front(key);
            c.entries.emplace(key, Entry{image, offset, std::move(keep), c.order.begin()});
            c.bytes += image.sizeInBytes();
            while (c.bytes > kGlyphBitmapBudget && c.order.size() > 1) {
                auto last = c.entries.find(c.order.back());
                c.bytes -= last->second.image.sizeInBytes();
                c.entries.erase(last);
                c.order.pop_back();
            }
        }
    }
    painter.save();
    painter.setWorldTransform(QTransform::fromTranslate(fx, fy));
    painter.drawImage(offset, image);
    painter.restore();
    return true;
}

} // namespace fonts
