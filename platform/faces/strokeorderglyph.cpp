// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/faces/strokeorderglyph.h"

#include "platform/faces/emsquare.h"
#include "platform/faces/sharedpath.h"
#include "platform/faces/strokestore.h"
#include "platform/fonts.h"

#include <QHash>
#include <QImage>
#include <QMutex>
#include <QMutexLocker>
#include <QPainter>
#include <QPainterPathStroker>
#include <QPolygonF>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>

namespace faces {

namespace {

// --- the numbers' face ----------------------------------------------------------------

// Digit outlines of a bold sans face at an em of 1000, y down from the
// baseline, made once.
struct Digits {
    std::array<QPainterPath, 10> path;
    std::array<qreal, 10> advance{};
};

const Digits &digits()
{
    static const Digits d = [] {
        Digits out;
        gdi::LogFont f;
        f.faceName = QStringLiteral("Arial");
        f.height = -1000;
        f.weight = 700;
        const auto rf = fonts::resolve(f);
        const QRawFont &raw = rf->rawFont();
        for (int i = 0; i < 10; ++i) {
            const QList<quint32> g = raw.glyphIndexesForString(QString(QChar(u'0' + i)));
            if (g.isEmpty() || !raw.isValid())
                continue;
            out.path[size_t(i)] = raw.pathForGlyph(g[0]);
            out.advance[size_t(i)] = raw.advancesForGlyphIndexes(g, QRawFont::UseDesignMetrics).value(0).x();
        }
        return out;
    }();
    return d;
}

// The outline of `number` with its left end of the baseline at the origin,
// at a digit em of `em` units.
QPainterPath numberPath(int number, qreal em)
{
    const Digits &d = digits();
    const QString text = QString::number(number);
    QPainterPath out;
    qreal x = 0;
    const qreal s = em / 1000;
    for (QChar c : text) {
        const size_t i = size_t(c.unicode() - u'0');
        out.addPath(QTransform(s, 0, 0, s, x, 0).map(d.path[i]));
        // Digits of a two-digit number sit a little closer than in running
        // text, so that the pair stays compact.
        x += d.advance[i] * s * 0.92;
    }
    return out;
}

// --- where the ink is -----------------------------------------------------------------

// The ink on a coarse grid, with a summed-area table to tell how much of a box
// it covers.
class InkMap {
public:
    static constexpr int kSize = 128;
    static constexpr qreal kCell = kEmSquare / kSize;

    explicit InkMap(const QPainterPath &ink) : m_sum(size_t(kSize + 1) * (kSize + 1), 0)
    {
        QImage img(kSize, kSize, QImage::Format_Grayscale8);
        img.fill(0);
        {
            QPainter p(&img);
            p.setRenderHint(QPainter::Antialiasing, false);
            p.scale(1 / kCell, 1 / kCell);
            p.fillPath(ink, Qt::white);
        }
        for (int y = 0; y < kSize; ++y) {
            const uchar *row = img.constScanLine(y);
            int run = 0;
            for (int x = 0; x < kSize; ++x) {
                run += row[x] > 127;
                at(x + 1, y + 1) = at(x + 1, y) + run;
            }
        }
    }
    // Share of the box (em-square units) that the ink covers, 0..1.
    qreal coverage(const QRectF &box) const
    {
        const int x0 = std::clamp(int(std::floor(box.left() / kCell)), 0, kSize);
        const int y0 = std::clamp(int(std::floor(box.top() / kCell)), 0, kSize);
        const int x1 = std::clamp(int(std::ceil(box.right() / kCell)), 0, kSize);
        const int y1 = std::clamp(int(std::ceil(box.bottom() / kCell)), 0, kSize);
        const int area = (x1 - x0) * (y1 - y0);
        if (area <= 0)
            return 0;
        const int inked = at(x1, y1) - at(x0, y1) - at(x1, y0) + at(x0, y0);
        return qreal(inked) / area;
    }

private:
    int &at(int x, int y) { return m_sum[size_t(y) * (kSize + 1) + size_t(x)]; }
    int at(int x, int y) const { return m_sum[size_t(y) * (kSize + 1) + size_t(x)]; }
    std::vector<int> m_sum;
};

// --- stroke data into the em square ---------------------------------------------------

QPointF toSquare(QPointF p) { return QPointF(p.x(), strokes::kEmTop - p.y()); }

QPainterPath outlinePath(const strokes::Outline &o)
{
    QPainterPath path;
    size_t k = 0;
    const auto &pts = o.points;
    for (strokes::Op op : o.ops) {
        switch (op) {
        case strokes::Op::Move:
            path.moveTo(toSquare(pts[k]));
            break;
        case strokes::Op::Line:
            path.lineTo(toSquare(pts[k]));
            break;
        case strokes::Op::Quad:
            path.quadTo(toSquare(pts[k]), toSquare(pts[k + 1]));
            break;
        case strokes::Op::Cubic:
            path.cubicTo(toSquare(pts[k]), toSquare(pts[k + 1]), toSquare(pts[k + 2]));
            break;
        case strokes::Op::Close:
            path.closeSubpath();
            break;
        }
        k += size_t(strokes::pointsOf(op));
    }
    return path;
}

qreal signedArea(const QPolygonF &poly)
{
    qreal a = 0;
    for (qsizetype i = 0; i < poly.size(); ++i) {
        const QPointF &p = poly[i], &q = poly[(i + 1) % poly.size()];
        a += p.x() * q.y() - q.x() * p.y();
    }
    return a / 2;
}

// Every stroke turned the same way round, so that a winding fill of all of
// them is their union: overlapping strokes do not cancel and shared edges
// leave no seam.
QPainterPath inkOf(const strokes::CharStrokes &c)
{
    QPainterPath ink;
    ink.setFillRule(Qt::WindingFill);
    for (const strokes::Stroke &s : c.strokes) {
        const QPainterPath p = outlinePath(s.outline);
        for (const QPolygonF &poly : p.toSubpathPolygons()) {
            QPolygonF ring = poly;
            if (signedArea(ring) < 0)
                std::reverse(ring.begin(), ring.end());
            ink.addPolygon(ring);
            ink.closeSubpath();
        }
    }
    return ink;
}

// Which way a stroke goes at its start (unit vector, em-square units).
QPointF startDirection(const std::vector<QPointF> &median)
{
    const QPointF s = toSquare(median.front());
    for (size_t i = 1; i < median.size(); ++i) {
        const QPointF d = toSquare(median[i]) - s;
        const qreal len = std::hypot(d.x(), d.y());
        if (len > 24 || i + 1 == median.size())
            return len > 0 ? d / len : QPointF(1, 0);
    }
    return QPointF(1, 0);
}

// --- placing the numbers --------------------------------------------------------------

struct Placement {
    std::vector<NumberMark> marks;
    std::vector<QPainterPath> paths; // each number's outline where it goes
    bool complete = false;
};

constexpr qreal kEdgeMargin = 4; // from the em square's edges
constexpr qreal kHaloPart = 0.1; // halo width, part of the numbers' em
constexpr qreal kGap = 6;        // between number boxes

bool fits(const QRectF &box, const std::vector<NumberMark> &placed)
{
    const QRectF square(kEdgeMargin, kEdgeMargin, kEmSquare - 2 * kEdgeMargin, kEmSquare - 2 * kEdgeMargin);
    if (!square.contains(box))
        return false;
    const QRectF grown = box.adjusted(-kGap, -kGap, kGap, kGap);
    for (const NumberMark &m : placed)
        if (grown.intersects(m.box))
            return false;
    return true;
}

Placement place(const strokes::CharStrokes &c, const InkMap &inkMap, qreal numberEm)
{
    Placement out;
    const qreal halo = numberEm * kHaloPart;
    std::vector<QPointF> starts;
    for (const strokes::Stroke &s : c.strokes)
        starts.push_back(toSquare(s.median.front()));

    for (size_t i = 0; i < c.strokes.size(); ++i) {
        const int number = int(i) + 1;
        const QPainterPath shape = numberPath(number, numberEm);
        const QRectF inkBox = shape.boundingRect();
        const QRectF box0 = inkBox.adjusted(-halo, -halo, halo, halo);
        const QPointF s = starts[i];
        const QPointF back = -startDirection(c.strokes[i].median);
        const qreal reach = std::hypot(box0.width(), box0.height()) / 2;

        // The box centred on `centre`, and what it costs there.
        auto boxAt = [&](QPointF centre) { return box0.translated(centre - box0.center()); };
        // Far from the start, over the ink, over where other strokes start
        // (their numbers go there) and turned away from behind the stroke
        // all cost.
        auto cost = [&](const QRectF &box, qreal distance, qreal turn) {
            int covered = 0;
            for (size_t j = 0; j < starts.size(); ++j)
                covered += j != i && box.contains(starts[j]);
            return distance / reach + 2.0 * inkMap.coverage(box) + 1.5 * covered + 0.15 * turn;
        };

        QRectF best;
        qreal bestCost = std::numeric_limits<qreal>::infinity();
        // Rings of candidates around the start, beginning behind the stroke
        // (where the brush comes from) and turning both ways.
        const qreal radii[] = {0, 0.9, 1.25, 1.7, 2.3, 3.0, 4.0};
        for (qreal r : radii) {
            for (int k = 0; k < 12; ++k) {
                if (r == 0 && k > 0)
                    break;
                const int step = (k + 1) / 2 * (k % 2 ? 1 : -1); // 0, 1, -1, 2, -2, ...
                const qreal angle = step * std::numbers::pi / 6;
                const QPointF dir(back.x() * std::cos(angle) - back.y() * std::sin(angle),
                                  back.x() * std::sin(angle) + back.y() * std::cos(angle));
                const QRectF box = boxAt(s + dir * (r * reach));
                if (!fits(box, out.marks))
                    continue;
                const qreal here = cost(box, r * reach, std::abs(step) / 6.0);
                if (here < bestCost) {
                    bestCost = here;
                    best = box;
                }
            }
        }
        if (best.isNull()) {
            // Crowded: the free position nearest the start, anywhere in the square.
            qreal bestDist = std::numeric_limits<qreal>::infinity();
            for (qreal y = box0.height() / 2 + kEdgeMargin; y < kEmSquare; y += 16)
                for (qreal x = box0.width() / 2 + kEdgeMargin; x < kEmSquare; x += 16) {
                    const QRectF box = boxAt(QPointF(x, y));
                    const qreal d = std::hypot(x - s.x(), y - s.y());
                    if (d < bestDist && fits(box, out.marks)) {
                        bestDist = d;
                        best = box;
                    }
                }
        }
        if (best.isNull())
            return out; // incomplete: the caller tries smaller numbers
        const QPointF shift = best.center() - box0.center();
        out.marks.push_back(NumberMark{number, s, best});
        out.paths.push_back(shape.translated(shift));
    }
    out.complete = true;
    return out;
}

} // namespace

StrokeOrderGlyph buildStrokeOrderGlyph(const strokes::CharStrokes &c)
{
    StrokeOrderGlyph g;
    g.strokeCount = int(c.strokes.size());
    g.ink = inkOf(c);
    if (c.strokes.empty())
        return g;
    const InkMap inkMap(g.ink);
    // Numbers as large as the count of strokes allows: smaller for crowded
    // characters, and smaller again when they do not all find a place.
    const int n = g.strokeCount;
    qreal numberEm = std::clamp(140.0 - 2.5 * n, 80.0, 124.0);
    Placement placed = place(c, inkMap, numberEm);
    for (int attempt = 1; attempt < 8 && !placed.complete; ++attempt) {
        numberEm *= 0.85;
        placed = place(c, inkMap, numberEm);
    }
    g.marks = placed.marks;
    for (const QPainterPath &p : placed.paths)
        g.digits.addPath(p);
    g.digits.setFillRule(Qt::WindingFill);
    g.haloWidth = numberEm * kHaloPart;
    QPainterPathStroker stroker;
    stroker.setWidth(2 * g.haloWidth);
    stroker.setJoinStyle(Qt::RoundJoin);
    stroker.setCapStyle(Qt::RoundCap);
    g.haloBand = stroker.createStroke(g.digits);
    g.haloBand.setFillRule(Qt::WindingFill);
    g.numberHeight = digits().path[0].boundingRect().height() * numberEm / 1000;
    prepareForSharing(g.ink);
    prepareForSharing(g.digits);
    prepareForSharing(g.haloBand);
    return g;
}

std::shared_ptr<const StrokeOrderGlyph> strokeOrderGlyph(char32_t ch)
{
    struct Cache {
        QMutex mutex;
        quint64 generation = 0;
        QHash<char32_t, std::shared_ptr<const StrokeOrderGlyph>> glyphs;
    };
    static Cache cache;
    StrokeStore &store = StrokeStore::global();
    const quint64 generation = store.generation();
    {
        QMutexLocker lock(&cache.mutex);
        if (cache.generation != generation) {
            cache.glyphs.clear();
            cache.generation = generation;
        }
        if (auto it = cache.glyphs.constFind(ch); it != cache.glyphs.constEnd())
            return *it;
    }
    // Laid out outside the lock: another thread may do the same character at
    // the same time, and the first to finish is kept.
    std::shared_ptr<const StrokeOrderGlyph> glyph;
    if (const auto strokes = store.find(ch))
        glyph = std::make_shared<const StrokeOrderGlyph>(buildStrokeOrderGlyph(*strokes));
    QMutexLocker lock(&cache.mutex);
    if (cache.generation != generation)
        return glyph;
    if (cache.glyphs.size() >= 256)
        cache.glyphs.clear(); // a whole dictionary drawn once must not stay: a glyph
                              // with its paint caches takes about 100 KB
    return *cache.glyphs.insert(ch, glyph);
}

} // namespace faces
