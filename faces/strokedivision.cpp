// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "faces/strokedivision.h"

#include "faces/emsquare.h"
#include "faces/strokepaths.h"
#include "faces/strokestore.h"

#include <QImage>
#include <QMutex>
#include <QMutexLocker>
#include <QPainter>

#include <bitset>
#include <cmath>
#include <memory>

namespace faces {

namespace {

// Strokes on a grid of the em square: in place, to find the same stroke in
// the other source (the outlines are one design: the same place), and moved
// to the grid's middle, to compare a stroke's shape, size and weight with a
// stroke of another character.
constexpr int kGrid = 64;
// A traditional stroke is part of a mainland stroke when this much of it
// lies inside it; a mainland stroke with two or more parts is divided
// otherwise.
constexpr double kPartInside = 0.5;
// A mainland stroke matches a pattern: its shape this much like the
// pattern's, its box no further from the pattern's (parts of the em), and
// as many other strokes meeting it.
constexpr double kSameShape = 0.6;
constexpr double kSamePlace = 0.08;

using Bits = std::bitset<kGrid * kGrid>;

Bits rasterize(const QPainterPath &path, const QTransform &t)
{
    QImage img(kGrid, kGrid, QImage::Format_Grayscale8);
    img.fill(0);
    {
        QPainter p(&img);
        p.setTransform(t);
        p.fillPath(path, Qt::white);
    }
    Bits bits;
    for (int y = 0; y < kGrid; ++y) {
        const uchar *row = img.constScanLine(y);
        for (int x = 0; x < kGrid; ++x)
            if (row[x] > 127)
                bits.set(size_t(y) * kGrid + x);
    }
    return bits;
}

double overlap(const Bits &a, const Bits &b)
{
    const size_t both = (a & b).count(), either = (a | b).count();
    return either ? double(both) / double(either) : 0;
}

const QTransform &toGrid()
{
    static const QTransform t = QTransform::fromScale(kGrid / kEmSquare, kGrid / kEmSquare);
    return t;
}

struct StrokeShape {
    QRectF box;     // parts of the em
    Bits centred;   // the stroke moved to the grid's middle
    int meeting = 0; // other strokes of the character it meets
};

// The shapes of a character's strokes.
std::vector<StrokeShape> shapesOf(const strokes::CharStrokes &c, std::vector<Bits> *inPlace = nullptr)
{
    std::vector<StrokeShape> out;
    std::vector<Bits> placed;
    for (const strokes::Stroke &s : c.strokes) {
        const QPainterPath outline = outlinePath(s.outline);
        const QRectF b = outline.boundingRect();
        StrokeShape shape;
        shape.box = QRectF(b.x() / kEmSquare, b.y() / kEmSquare, b.width() / kEmSquare, b.height() / kEmSquare);
        shape.centred = rasterize(outline, QTransform::fromTranslate(kEmSquare / 2 - b.center().x(),
                                                                     kEmSquare / 2 - b.center().y()) * toGrid());
        placed.push_back(rasterize(outline, toGrid()));
        out.push_back(shape);
    }
    for (size_t i = 0; i < out.size(); ++i)
        for (size_t j = 0; j < out.size(); ++j)
            out[i].meeting += i != j && (placed[i] & placed[j]).count() >= 4;
    if (inPlace)
        *inPlace = std::move(placed);
    return out;
}

struct Pattern {
    StrokeShape shape;
    char32_t from;
};

struct Patterns {
    QMutex mutex;
    quint64 generation = 0;
    std::shared_ptr<const std::vector<Pattern>> patterns;
};

Patterns &patterns() { static Patterns p; return p; }

std::vector<Pattern> learn(const StrokeStore &store)
{
    std::vector<Pattern> out;
    for (char32_t ch : store.animCjkCharacters()) {
        const auto taiwan = store.findIn(StrokeSource::AnimCJK, ch);
        const auto mainland = taiwan ? store.findIn(StrokeSource::HanziWriter, ch) : nullptr;
        if (!mainland || mainland->strokes.size() == taiwan->strokes.size())
            continue;
        std::vector<Bits> parts, whole;
        shapesOf(*taiwan, &parts);
        const std::vector<StrokeShape> shapes = shapesOf(*mainland, &whole);
        for (size_t i = 0; i < whole.size(); ++i) {
            int inside = 0;
            for (const Bits &t : parts)
                inside += t.count() > 0 && double((t & whole[i]).count()) / double(t.count()) >= kPartInside;
            if (inside >= 2)
                out.push_back({shapes[i], ch});
        }
    }
    return out;
}

std::shared_ptr<const std::vector<Pattern>> patternsOf(const StrokeStore &store)
{
    Patterns &p = patterns();
    QMutexLocker lock(&p.mutex);
    if (!p.patterns || p.generation != store.generation()) {
        p.generation = store.generation();
        p.patterns = std::make_shared<const std::vector<Pattern>>(learn(store));
    }
    return p.patterns;
}

} // namespace

DivisionCheck checkDivision(const StrokeStore &store, const strokes::CharStrokes &mainland, char32_t except)
{
    DivisionCheck out;
    const auto patterns = patternsOf(store);
    const std::vector<StrokeShape> shapes = shapesOf(mainland);
    for (size_t i = 0; i < shapes.size(); ++i) {
        const StrokeShape &s = shapes[i];
        for (const Pattern &p : *patterns) {
            if (p.from == except || p.shape.meeting != s.meeting)
                continue;
            const QRectF &a = s.box, &b = p.shape.box;
            if (std::abs(a.center().x() - b.center().x()) > kSamePlace ||
                std::abs(a.center().y() - b.center().y()) > kSamePlace ||
                std::abs(a.width() - b.width()) > kSamePlace || std::abs(a.height() - b.height()) > kSamePlace)
                continue;
            if (overlap(s.centred, p.shape.centred) >= kSameShape) {
                out.dividedOtherwise.push_back(int(i));
                break;
            }
        }
    }
    return out;
}

int divisionPatternCount(const StrokeStore &store) { return int(patternsOf(store)->size()); }

} // namespace faces
