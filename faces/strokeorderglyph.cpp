// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "faces/strokeorderglyph.h"

#include "faces/emsquare.h"
#include "faces/sharedpath.h"
#include "faces/strokepaths.h"
#include "platform/fonts.h"

#include <QImage>
#include <QPainter>
#include <QPainterPathStroker>

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
        const QRect cells = cellsOf(box);
        const int area = cells.width() * cells.height();
        return area > 0 ? qreal(inkedCells(cells)) / area : 0;
    }
    // Cells of ink inside the box, and in all.
    int inked(const QRectF &box) const { return inkedCells(cellsOf(box)); }
    int total() const { return at(kSize, kSize); }

private:
    static QRect cellsOf(const QRectF &box)
    {
        const int x0 = std::clamp(int(std::floor(box.left() / kCell)), 0, kSize);
        const int y0 = std::clamp(int(std::floor(box.top() / kCell)), 0, kSize);
        const int x1 = std::clamp(int(std::ceil(box.right() / kCell)), 0, kSize);
        const int y1 = std::clamp(int(std::ceil(box.bottom() / kCell)), 0, kSize);
        return QRect(QPoint(x0, y0), QSize(std::max(0, x1 - x0), std::max(0, y1 - y0)));
    }
    int inkedCells(const QRect &c) const
    {
        if (c.isEmpty())
            return 0;
        const int x0 = c.left(), y0 = c.top(), x1 = c.left() + c.width(), y1 = c.top() + c.height();
        return at(x1, y1) - at(x0, y1) - at(x1, y0) + at(x0, y0);
    }
    int &at(int x, int y) { return m_sum[size_t(y) * (kSize + 1) + size_t(x)]; }
    int at(int x, int y) const { return m_sum[size_t(y) * (kSize + 1) + size_t(x)]; }
    std::vector<int> m_sum;
};

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
    qreal worstCover = 0; // the largest share of a stroke the number boxes cover
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

// Each stroke's own ink, to keep most of every stroke visible: numbers may
// lie over strokes (a crowded character leaves no room elsewhere), but never
// over much of any one.
struct StrokeInk {
    InkMap map;
    QRectF bounds;
};

// The share of a stroke the numbers may cover, and below which covering it
// costs nothing more than covering ink at all.
constexpr qreal kCoverLimit = 0.2;
constexpr qreal kCoverFree = 0.08;
// Numbers are not made smaller than this (em-square units) to uncover ink.
constexpr qreal kSmallestNumberEm = 62;

Placement place(const strokes::CharStrokes &c, const InkMap &inkMap, const std::vector<StrokeInk> &strokeInk,
                qreal numberEm)
{
    Placement out;
    // Cells of each stroke that placed numbers cover.
    std::vector<int> covered(strokeInk.size(), 0);
    // The largest share of a stroke that `box` would leave covered, with the
    // numbers placed so far.
    auto worstCover = [&](const QRectF &box) {
        qreal worst = 0;
        for (size_t j = 0; j < strokeInk.size(); ++j) {
            if (!strokeInk[j].bounds.intersects(box) || strokeInk[j].map.total() == 0)
                continue;
            worst = std::max(worst, qreal(covered[j] + strokeInk[j].map.inked(box)) / strokeInk[j].map.total());
        }
        return worst;
    };
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
            int startsCovered = 0;
            for (size_t j = 0; j < starts.size(); ++j)
                startsCovered += j != i && box.contains(starts[j]);
            const qreal worst = worstCover(box);
            // Hiding much of one stroke costs more than going far.
            const qreal hiding = worst <= kCoverFree ? 0 : worst <= kCoverLimit ? 4 * (worst - kCoverFree) : 8 + 20 * worst;
            return distance / reach + 2.0 * inkMap.coverage(box) + 1.5 * startsCovered + 0.15 * turn + hiding;
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
        if (best.isNull() || worstCover(best) > kCoverLimit) {
            // Crowded: the free position nearest the start, anywhere in the
            // square, that hides no stroke (or hides the least).
            qreal bestDist = std::numeric_limits<qreal>::infinity();
            qreal bestWorst = best.isNull() ? std::numeric_limits<qreal>::infinity() : worstCover(best);
            for (qreal y = box0.height() / 2 + kEdgeMargin; y < kEmSquare; y += 16)
                for (qreal x = box0.width() / 2 + kEdgeMargin; x < kEmSquare; x += 16) {
                    const QRectF box = boxAt(QPointF(x, y));
                    if (!fits(box, out.marks))
                        continue;
                    const qreal d = std::hypot(x - s.x(), y - s.y());
                    const qreal w = std::max(kCoverLimit, worstCover(box));
                    if (w < bestWorst || (w == bestWorst && d < bestDist)) {
                        bestWorst = w;
                        bestDist = d;
                        best = box;
                    }
                }
        }
        if (best.isNull())
            return out; // incomplete: the caller tries smaller numbers
        for (size_t j = 0; j < strokeInk.size(); ++j) {
            if (!strokeInk[j].bounds.intersects(best) || strokeInk[j].map.total() == 0)
                continue;
            covered[j] += strokeInk[j].map.inked(best);
            out.worstCover = std::max(out.worstCover, qreal(covered[j]) / strokeInk[j].map.total());
        }
        const QPointF shift = best.center() - box0.center();
        out.marks.push_back(NumberMark{number, s, best});
        out.paths.push_back(shape.translated(shift));
    }
    out.complete = true;
    return out;
}

} // namespace

std::vector<qreal> numberCover(const strokes::CharStrokes &c, const StrokeOrderGlyph &g, int grid)
{
    const qreal k = grid / kEmSquare;
    const QTransform t = QTransform::fromScale(k, k);
    QImage cover(grid, grid, QImage::Format_Grayscale8);
    cover.fill(0);
    {
        QPainter p(&cover);
        p.setTransform(t);
        p.fillPath(g.haloBand, Qt::white);
        p.fillPath(g.digits, Qt::white);
    }
    std::vector<qreal> out;
    QImage stroke(grid, grid, QImage::Format_Grayscale8);
    for (const strokes::Stroke &s : c.strokes) {
        const QPainterPath path = outlinePath(s.outline);
        const QRect box = t.mapRect(path.boundingRect()).toAlignedRect().intersected(stroke.rect());
        stroke.fill(0);
        {
            QPainter p(&stroke);
            p.setTransform(t);
            p.fillPath(path, Qt::white);
        }
        int ink = 0, covered = 0;
        for (int y = box.top(); y <= box.bottom(); ++y) {
            const uchar *row = stroke.constScanLine(y), *over = cover.constScanLine(y);
            for (int x = box.left(); x <= box.right(); ++x)
                if (row[x] > 127) {
                    ++ink;
                    covered += over[x] > 127;
                }
        }
        out.push_back(ink > 0 ? qreal(covered) / ink : 0);
    }
    return out;
}

StrokeOrderGlyph buildStrokeOrderGlyph(const strokes::CharStrokes &c)
{
    StrokeOrderGlyph g;
    g.strokeCount = int(c.strokes.size());
    g.ink = inkOf(c);
    if (c.strokes.empty())
        return g;
    const InkMap inkMap(g.ink);
    std::vector<StrokeInk> strokeInk;
    strokeInk.reserve(c.strokes.size());
    for (const strokes::Stroke &s : c.strokes) {
        const QPainterPath p = outlinePath(s.outline);
        strokeInk.push_back({InkMap(p), p.boundingRect()});
    }
    // Numbers as large as the count of strokes allows: smaller for crowded
    // characters, and smaller again when they do not all find a place, or
    // only places that hide much of a stroke (down to a size that still
    // prints legibly).
    const int n = g.strokeCount;
    qreal numberEm = std::clamp(140.0 - 2.5 * n, 80.0, 124.0);
    Placement placed = place(c, inkMap, strokeInk, numberEm);
    qreal em = numberEm;
    for (int attempt = 1; attempt < 8 && (!placed.complete || placed.worstCover > kCoverLimit); ++attempt) {
        em *= 0.9;
        if (placed.complete && em < kSmallestNumberEm)
            break;
        Placement again = place(c, inkMap, strokeInk, em);
        if (!placed.complete || (again.complete && again.worstCover < placed.worstCover)) {
            placed = std::move(again);
            numberEm = em;
        }
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

} // namespace faces
