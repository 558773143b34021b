// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Pens, lines, brushes and closed figures of the painter canvas.
#include "platform/paintercanvas.h"
#include "platform/paintercanvas_p.h"
#include "platform/penpattern.h"

#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>

#include <algorithm>
#include <cmath>
#include <limits>

using namespace paintercanvas_detail;

namespace {

// An 8 × 8 hatch pattern in device pixels.
QImage hatchImage(quint32 hatch, const QColor &fg, const QColor *bg)
{
    QImage img(8, 8, QImage::Format_ARGB32_Premultiplied);
    img.fill(bg ? bg->rgba() : qRgba(0, 0, 0, 0));
    const QRgb ink = fg.rgba();
    for (int i = 0; i < 8; ++i) {
        switch (hatch) {
        case gdi::HS_HORIZONTAL:
            img.setPixel(i, 3, ink);
            break;
        case gdi::HS_VERTICAL:
            img.setPixel(3, i, ink);
            break;
        case gdi::HS_FDIAGONAL: // top left to bottom right
            img.setPixel(i, i, ink);
            break;
        case gdi::HS_BDIAGONAL: // bottom left to top right
            img.setPixel(7 - i, i, ink);
            break;
        case gdi::HS_CROSS:
            img.setPixel(i, 3, ink);
            img.setPixel(3, i, ink);
            break;
        case gdi::HS_DIAGCROSS:
        default:
            img.setPixel(i, i, ink);
            img.setPixel(7 - i, i, ink);
            break;
        }
    }
    return img;
}

} // namespace

// --- pens ----------------------------------------------------------------------

int PainterCanvas::devicePenWidth() const
{
    const gdi::LogPen &p = m_state.pen;
    if ((p.style & gdi::PS_STYLE_MASK) == gdi::PS_NULL)
        return 0;
    if (p.width <= 0)
        return 1;
    // Stretched one way more than another, the pen is as wide as its widest.
    const qreal scale = penStretched() ? stretches(fullTransform()).first : deviceScale();
    return std::max(1, roundi(std::min<qreal>(p.width * scale, kDeviceLimit)));
}

bool PainterCanvas::penStretched() const
{
    const gdi::LogPen &p = m_state.pen;
    if (p.width <= 0 || (p.style & gdi::PS_STYLE_MASK) == gdi::PS_NULL)
        return false;
    const auto [largest, smallest] = stretches(fullTransform());
    return std::isfinite(largest) && largest - smallest > 1e-9 * largest;
}

// A styled pen keeps its dashes while it is at most one logical unit wide; a
// wider pen made with a style is drawn solid (as the pen's creation rules say).
bool PainterCanvas::penDrawsStyled() const
{
    const gdi::LogPen &p = m_state.pen;
    const quint32 style = p.style & gdi::PS_STYLE_MASK;
    if (style == gdi::PS_USERSTYLE) {
        if (m_state.penStyle.empty())
            return false;
    } else if (style < gdi::PS_DASH || style > gdi::PS_DASHDOTDOT) {
        if (style != gdi::PS_ALTERNATE)
            return false;
    }
    return (p.style & gdi::PS_TYPE_MASK) == gdi::PS_GEOMETRIC || p.width <= 1;
}

// On/off lengths in pen widths, or in device pixels for `pixels` (the same
// for the built-in styles, drawn in pixels by one-pixel pens).
std::vector<qreal> PainterCanvas::penPattern(bool pixels) const
{
    const gdi::LogPen &p = m_state.pen;
    if ((p.style & gdi::PS_STYLE_MASK) == gdi::PS_USERSTYLE) {
        // A geometric pen's lengths are logical units, a cosmetic pen's
        // pixels. An odd count of lengths alternates on the next round.
        const bool geometric = (p.style & gdi::PS_TYPE_MASK) == gdi::PS_GEOMETRIC;
        const qreal unit = !geometric ? 1.0 : pixels ? deviceScale() : 1.0 / std::max(p.width, 1);
        std::vector<qreal> out;
        qreal total = 0;
        for (quint32 e : m_state.penStyle) {
            const qreal v = std::min<qreal>(e, 1e6) * unit;
            out.push_back(pixels ? std::round(v) : std::max<qreal>(v, 1e-3));
            total += out.back();
        }
        if (total <= 0 || !std::isfinite(total))
            return {};
        if (out.size() % 2)
            out.insert(out.end(), out.begin(), out.end());
        return out;
    }
    return gdi::builtInPenPattern(p.style);
}

QPen PainterCanvas::qpen(qreal width, bool closedFigure, bool logical) const
{
    const gdi::LogPen &p = m_state.pen;
    QPen pen(penFill(), width);
    const bool hairline = !logical && width <= 1;
    if (hairline)
        pen.setCosmetic(true);
    Qt::PenCapStyle cap = Qt::RoundCap;
    Qt::PenJoinStyle join = closedFigure ? Qt::MiterJoin : Qt::RoundJoin;
    if ((p.style & gdi::PS_TYPE_MASK) == gdi::PS_GEOMETRIC) {
        switch (p.style & gdi::PS_ENDCAP_MASK) {
        case gdi::PS_ENDCAP_SQUARE:
            cap = Qt::SquareCap;
            break;
        case gdi::PS_ENDCAP_FLAT:
            cap = Qt::FlatCap;
            break;
        default:
            cap = Qt::RoundCap;
        }
        switch (p.style & gdi::PS_JOIN_MASK) {
        case gdi::PS_JOIN_BEVEL:
            join = Qt::BevelJoin;
            break;
        case gdi::PS_JOIN_MITER:
            join = Qt::SvgMiterJoin;
            break;
        default:
            join = Qt::RoundJoin;
        }
    }
    if (hairline)
        cap = Qt::FlatCap;
    pen.setCapStyle(cap);
    pen.setJoinStyle(join);
    // The limit bounds the mitre's length over the pen's width, and a join
    // beyond it is bevelled: Qt's SVG mitre. Its plain mitre (closed figures'
    // right angles) bounds the reach from the joint, half of that.
    pen.setMiterLimit(join == Qt::SvgMiterJoin ? m_state.miterLimit : m_state.miterLimit / 2);
    if (penDrawsStyled()) {
        const std::vector<qreal> pat = penPattern(false);
        pen.setDashPattern(QList<qreal>(pat.begin(), pat.end()));
        // A geometric pen puts its end caps on every dash.
        if (!hairline && (p.style & gdi::PS_TYPE_MASK) != gdi::PS_GEOMETRIC)
            pen.setCapStyle(Qt::FlatCap);
    }
    return pen;
}

QPen PainterCanvas::pixelPen() const
{
    QPen pen(penFill(), 1);
    pen.setCosmetic(true);
    return pen;
}

void PainterCanvas::strokeWide(const QPainterPath &device, bool closedFigure)
{
    if (!penStretched()) {
        m_painter->strokePath(device, qpen(devicePenWidth(), closedFigure));
        return;
    }
    // A pen of logical width under a transform that stretches one way more
    // than another: the stroke is worked out in logical units and mapped
    // with the figure, wider across one direction than across another.
    const QTransform t = fullTransform();
    bool invertible = false;
    const QTransform back = t.inverted(&invertible);
    if (!invertible)
        return;
    QPainterPathStroker stroker(qpen(m_state.pen.width, closedFigure, true));
    QPainterPath outline = mappedPath(stroker.createStroke(back.map(device)), t);
    outline.setFillRule(Qt::WindingFill);
    m_painter->fillPath(outline, penFill());
    // Thinner than a pixel across its narrow way, the stroke keeps its
    // centre line of one pixel.
    if (m_state.pen.width * stretches(t).second < 1) {
        m_styleOffset = 0;
        for (const QPolygonF &poly : device.toSubpathPolygons())
            for (qsizetype i = 1; i < poly.size(); ++i)
                plotLine(QPoint(roundi(poly[i - 1].x() - kPixelCentre), roundi(poly[i - 1].y() - kPixelCentre)),
                         QPoint(roundi(poly[i].x() - kPixelCentre), roundi(poly[i].y() - kPixelCentre)), false);
        m_painter->setBrush(Qt::NoBrush);
    }
}

// A one-pixel line from `from` to `to`, the last point left out unless
// `lastPoint`; a styled pen's pattern goes on from m_styleOffset. The pixel at
// step k along the major axis has its minor coordinate rounded from the exact
// line, and only the steps that fall on the device are visited, so a line
// with far-away end points costs no more than the part that shows.
void PainterCanvas::plotLine(QPoint from, QPoint to, bool lastPoint)
{
    const std::vector<qreal> pat = penDrawsStyled() ? penPattern(true) : std::vector<qreal>{};
    qint64 period = 0;
    for (qreal v : pat)
        period += qint64(v);
    auto inked = [&](qint64 pos) {
        if (period == 0)
            return true;
        qint64 k = pos % period;
        for (size_t i = 0; i < pat.size(); ++i) {
            k -= qint64(pat[i]);
            if (k < 0)
                return i % 2 == 0;
        }
        return true;
    };
    const qint64 x0 = from.x(), y0 = from.y(), x1 = to.x(), y1 = to.y();
    const qint64 adx = std::abs(x1 - x0), ady = std::abs(y1 - y0);
    const qint64 sx = x1 < x0 ? -1 : 1, sy = y1 < y0 ? -1 : 1;
    const bool xMajor = adx >= ady;
    const qint64 steps = std::max(adx, ady);
    const qint64 last = lastPoint ? steps : steps - 1;
    const qint64 styleStart = m_styleOffset;
    m_styleOffset += last + 1;
    if (last < 0)
        return;

    // Device bounds with a pixel of margin; without a known size nothing is cut.
    const bool bounded = !m_deviceSize.isEmpty();
    const qint64 maxX = bounded ? m_deviceSize.width() : (qint64(1) << 40);
    const qint64 maxY = bounded ? m_deviceSize.height() : (qint64(1) << 40);
    const qint64 minX = bounded ? -1 : -(qint64(1) << 40), minY = minX;

    // Steps whose major coordinate lies on the device, then narrowed by the
    // minor coordinate (with a step of slack for the rounding).
    const qint64 m0 = xMajor ? x0 : y0, sm = xMajor ? sx : sy;
    const qint64 mLo = xMajor ? minX : minY, mHi = xMajor ? maxX : maxY;
    qint64 kLo = sm > 0 ? mLo - m0 : m0 - mHi;
    qint64 kHi = sm > 0 ? mHi - m0 : m0 - mLo;
    const qint64 n0 = xMajor ? y0 : x0, sn = xMajor ? sy : sx, dMinor = xMajor ? ady : adx;
    const qint64 nLo = xMajor ? minY : minX, nHi = xMajor ? maxY : maxX;
    if (dMinor > 0 && steps > 0) {
        const double ratio = double(dMinor) / double(steps);
        double a = (double(sn > 0 ? nLo - n0 : n0 - nHi)) / ratio;
        double b = (double(sn > 0 ? nHi - n0 : n0 - nLo)) / ratio;
        kLo = std::max(kLo, qint64(std::floor(std::max(a, -1e15))) - 2);
        kHi = std::min(kHi, qint64(std::ceil(std::min(b, 1e15))) + 2);
    } else if (n0 < nLo || n0 > nHi) {
        return;
    }
    kLo = std::max<qint64>(kLo, 0);
    kHi = std::min(kHi, last);
    if (kHi < kLo)
        return;

    auto pixelAt = [&](qint64 k) {
        if (steps == 0)
            return QPoint(int(x0), int(y0));
        if (xMajor)
            return QPoint(int(x0 + sx * k), int(y0 + sy * ((2 * k * ady + adx) / (2 * adx))));
        return QPoint(int(x0 + sx * ((2 * k * adx + ady) / (2 * ady))), int(y0 + sy * k));
    };
    auto onDevice = [&](QPoint p) { return p.x() >= minX && p.x() <= maxX && p.y() >= minY && p.y() <= maxY; };

    QPen pen = pixelPen();
    pen.setCapStyle(Qt::SquareCap);
    m_painter->setPen(pen);
    m_painter->setBrush(Qt::NoBrush);
    m_painter->setWorldTransform(QTransform());

    if (m_painter->paintEngine() && m_painter->paintEngine()->type() == QPaintEngine::Raster) {
        // Pixels exactly where they fall.
        QPolygon pts;
        pts.reserve(int(std::min<qint64>(kHi - kLo + 1, 1 << 20)));
        for (qint64 k = kLo; k <= kHi; ++k) {
            const QPoint p = pixelAt(k);
            if (onDevice(p) && inked(styleStart + k))
                pts.append(p);
        }
        if (!pts.isEmpty())
            m_painter->drawPoints(pts);
        return;
    }
    // Printers and documents: each inked stretch becomes one hairline over
    // its pixels, from the near edge of the first to the far edge of the last
    // along the major axis (so a single dot still has a length).
    const QPointF half = xMajor ? QPointF(0.5 * sx, 0) : QPointF(0, 0.5 * sy);
    QPainterPath path;
    qint64 runStart = -1;
    auto flush = [&](qint64 endK) {
        if (runStart < 0)
            return;
        path.moveTo(QPointF(pixelAt(runStart)) + QPointF(0.5, 0.5) - half);
        path.lineTo(QPointF(pixelAt(endK)) + QPointF(0.5, 0.5) + half);
        runStart = -1;
    };
    for (qint64 k = kLo; k <= kHi; ++k) {
        const bool ink = inked(styleStart + k) && onDevice(pixelAt(k));
        if (ink && runStart < 0)
            runStart = k;
        else if (!ink)
            flush(k - 1);
    }
    flush(kHi);
    pen.setCapStyle(Qt::FlatCap);
    if (!path.isEmpty())
        m_painter->strokePath(path, pen);
}

namespace {

QRectF boundsOf(std::span<const gdi::Point> points)
{
    if (points.empty())
        return {};
    qreal l = points[0].x, t = points[0].y, r = l, b = t;
    for (const gdi::Point &p : points) {
        l = std::min<qreal>(l, p.x);
        r = std::max<qreal>(r, p.x);
        t = std::min<qreal>(t, p.y);
        b = std::max<qreal>(b, p.y);
    }
    return QRectF(QPointF(l, t), QPointF(r, b));
}

QRectF boundsOf(const gdi::Rect &r) { return QRectF(QPointF(r.left, r.top), QPointF(r.right, r.bottom)).normalized(); }

} // namespace

// --- lines -------------------------------------------------------------------------

void PainterCanvas::lineTo(qint32 x, qint32 y)
{
    const gdi::Point from = m_state.position;
    m_state.position = {x, y};
    const gdi::Point pts[2] = {from, {x, y}};
    withRop2(boundsOf(pts), [&] { drawPolyline(pts, false); });
}

void PainterCanvas::polyline(std::span<const gdi::Point> points)
{
    if (points.size() < 2)
        return;
    withRop2(boundsOf(points), [&] { drawPolyline(points, false); });
}

void PainterCanvas::drawPolyline(std::span<const gdi::Point> points, bool closed)
{
    if (!active() || points.size() < 2)
        return;
    const int w = devicePenWidth();
    if (w == 0)
        return;
    m_painter->setBrush(Qt::NoBrush);
    if (w == 1) {
        m_styleOffset = 0;
        QPoint prev = toDevice(points[0].x, points[0].y);
        for (size_t i = 1; i < points.size(); ++i) {
            const QPoint next = toDevice(points[i].x, points[i].y);
            plotLine(prev, next, false);
            prev = next;
        }
        if (closed)
            plotLine(prev, toDevice(points[0].x, points[0].y), false);
        return;
    }
    QPainterPath path;
    m_painter->setWorldTransform(QTransform());
    for (size_t i = 0; i < points.size(); ++i) {
        const QPointF p = QPointF(toDevice(points[i].x, points[i].y)) + QPointF(kPixelCentre, kPixelCentre);
        i == 0 ? path.moveTo(p) : path.lineTo(p);
    }
    if (closed)
        path.closeSubpath();
    strokeWide(path, closed);
}

// --- brushes -----------------------------------------------------------------------

QBrush PainterCanvas::qbrush(const gdi::LogBrush &b) const { return brushOf(b, m_state.brushPattern); }

QBrush PainterCanvas::penFill() const
{
    const gdi::LogBrush &b = m_state.penBrush;
    if (b.style == gdi::BS_HATCHED || b.style == gdi::BS_PATTERN || b.style == gdi::BS_DIBPATTERN)
        return brushOf(b, m_state.penPattern);
    return QBrush(qcolor(m_state.pen.color));
}

QBrush PainterCanvas::brushOf(const gdi::LogBrush &b, const QImage &pattern) const
{
    switch (b.style) {
    case gdi::BS_NULL:
        return Qt::NoBrush;
    case gdi::BS_HATCHED: {
        // The hatch styles past the patterns fill solid, in the colour of
        // the brush, the text or the background at the time they draw.
        switch (b.hatch) {
        case gdi::HS_SOLIDCLR:
        case gdi::HS_DITHEREDCLR:
            return QBrush(qcolor(b.color));
        case gdi::HS_SOLIDTEXTCLR:
        case gdi::HS_DITHEREDTEXTCLR:
            return QBrush(qcolor(m_state.textColor));
        case gdi::HS_SOLIDBKCLR:
        case gdi::HS_DITHEREDBKCLR:
            return QBrush(qcolor(m_state.bkColor));
        default:
            break;
        }
        const QColor bk = qcolor(m_state.bkColor);
        return QBrush(hatchImage(b.hatch, qcolor(b.color), m_state.bkMode == gdi::OPAQUE ? &bk : nullptr));
    }
    case gdi::BS_PATTERN:
    case gdi::BS_DIBPATTERN: {
        // The brush's picture; without one, its colour.
        QImage tile = pattern;
        if (tile.isNull())
            return QBrush(qcolor(b.color));
        if (tile.format() == QImage::Format_Mono || tile.format() == QImage::Format_MonoLSB) {
            // Black (the darker entry) takes the text colour, white the
            // background colour.
            tile.setColorCount(2);
            const int dark = qGray(tile.color(0)) <= qGray(tile.color(1)) ? 0 : 1;
            tile.setColor(dark, qcolor(m_state.textColor).rgb());
            tile.setColor(1 - dark, qcolor(m_state.bkColor).rgb());
        }
        return QBrush(tile.convertToFormat(QImage::Format_RGB32));
    }
    default: // solid
        return QBrush(qcolor(b.color));
    }
}

Qt::FillRule PainterCanvas::fillRule() const
{
    return m_state.polyFillMode == gdi::WINDING ? Qt::WindingFill : Qt::OddEvenFill;
}

void PainterCanvas::patBlt(const gdi::Rect &r, quint32 rop)
{
    if (!active())
        return;
    const bool rasterOps = pixelsReadBack();
    QPainter::CompositionMode op;
    switch (rop) {
    case gdi::DSTINVERT:
        op = QPainter::RasterOp_NotDestination;
        break;
    case gdi::PATINVERT:
        op = QPainter::RasterOp_SourceXorDestination;
        break;
    default:
        Canvas::patBlt(r, rop);
        return;
    }
    if (!rasterOps)
        return; // a device without pixels to read has nothing to invert
    QPainterPath path;
    path.addRect(QRectF(QPointF(r.left, r.top), QPointF(r.right, r.bottom)).normalized());
    m_painter->save();
    m_painter->setWorldTransform(QTransform());
    m_painter->setCompositionMode(op);
    const QBrush brush = rop == gdi::DSTINVERT ? QBrush(Qt::black) : qbrush(m_state.brush);
    if (axisAligned()) {
        const QRect d = toDeviceRect(r);
        if (!d.isEmpty())
            m_painter->fillRect(d, brush);
    } else {
        m_painter->fillPath(toDevicePath(path), brush);
    }
    m_painter->restore();
}

void PainterCanvas::fillRect(const gdi::Rect &r, const gdi::LogBrush &brush)
{
    if (!active() || brush.style == gdi::BS_NULL)
        return;
    const QBrush qb = qbrush(brush);
    if (axisAligned()) {
        const QRect d = toDeviceRect(r);
        if (d.isEmpty())
            return;
        m_painter->setWorldTransform(QTransform());
        m_painter->fillRect(d, qb);
    } else {
        QPainterPath path;
        path.addRect(QRectF(QPointF(r.left, r.top), QPointF(r.right, r.bottom)));
        m_painter->setWorldTransform(QTransform());
        m_painter->fillPath(toDevicePath(path), qb);
    }
}

// --- closed figures ------------------------------------------------------------

enum FigureKind { kRect, kRound, kEllipse };

void PainterCanvas::closedFigure(const gdi::Rect &r, int kind, qint32 cw, qint32 ch)
{
    if (!active())
        return;
    const int w = devicePenWidth();
    const bool insideFrame = (m_state.pen.style & gdi::PS_STYLE_MASK) == gdi::PS_INSIDEFRAME;
    const QBrush brush = qbrush(m_state.brush);
    m_painter->setPen(Qt::NoPen);

    if (!axisAligned()) {
        // Under a rotation the figure is mapped whole and drawn in device
        // pixels like any other.
        const QRectF lr = QRectF(QPointF(r.left, r.top), QPointF(r.right, r.bottom)).normalized();
        QPainterPath path;
        if (kind == kEllipse)
            path.addEllipse(lr);
        else if (kind == kRound)
            path.addRoundedRect(lr, std::abs(cw) / 2.0, std::abs(ch) / 2.0);
        else
            path.addRect(lr);
        const QPainterPath dev = toDevicePath(path);
        m_painter->setWorldTransform(QTransform());
        m_painter->fillPath(dev, brush);
        if (w > 0)
            strokeWide(dev, true);
        return;
    }

    const QRect d = toDeviceRect(r);
    if (d.isEmpty())
        return;
    m_painter->setWorldTransform(QTransform());
    const qreal scale = deviceScale();

    if (kind == kEllipse && w == 1 && !penDrawsStyled() && d.width() <= 16384 && d.height() <= 16384 &&
        m_painter->paintEngine() && m_painter->paintEngine()->type() == QPaintEngine::Raster) {
        pixelEllipse(d, brush);
        return;
    }

    if (kind == kRect && (w <= 1)) {
        // Inside first, then the one-pixel outline over its edge pixels.
        if (brush.style() != Qt::NoBrush)
            m_painter->fillRect(d, brush);
        if (w == 1) {
            const QPoint tl = d.topLeft(), tr(d.left() + d.width() - 1, d.top()),
                         br(d.left() + d.width() - 1, d.top() + d.height() - 1), bl(d.left(), d.top() + d.height() - 1);
            m_styleOffset = 0;
            if (d.width() == 1 || d.height() == 1) {
                plotLine(tl, br, true);
            } else {
                plotLine(tl, tr, false);
                plotLine(tr, br, false);
                plotLine(br, bl, false);
                plotLine(bl, tl, false);
            }
        }
        return;
    }

    // The outline runs through pixel centres; an inside-frame pen is pulled in
    // so that its outer edge stays on the figure's bounds.
    QRectF outline = QRectF(d).adjusted(0.5, 0.5, -0.5, -0.5);
    if (insideFrame && w > 1)
        outline.adjust((w - 1) / 2.0, (w - 1) / 2.0, -(w - 1) / 2.0, -(w - 1) / 2.0);
    if (outline.width() < 0 || outline.height() < 0)
        outline = QRectF(QRectF(d).center(), QSizeF(0, 0));
    QPainterPath path;
    if (kind == kEllipse)
        path.addEllipse(outline);
    else if (kind == kRound)
        path.addRoundedRect(outline, std::abs(cw) * scale / 2.0, std::abs(ch) * scale / 2.0);
    else
        path.addRect(outline);
    if (brush.style() != Qt::NoBrush) {
        if (w == 0) {
            // Without an outline the figure fills its whole bounds.
            QPainterPath full;
            const QRectF all(d);
            if (kind == kEllipse)
                full.addEllipse(all);
            else if (kind == kRound)
                full.addRoundedRect(all, std::abs(cw) * scale / 2.0, std::abs(ch) * scale / 2.0);
            else
                full.addRect(all);
            m_painter->fillPath(full, brush);
        } else {
            m_painter->fillPath(path, brush);
        }
    }
    if (w > 0)
        strokeWide(path, true);
}

// A one-pixel ellipse outline inside the device rectangle `d`, thin and
// symmetric: the flat parts are sampled column by column, the steep parts row
// by row, one quarter computed and mirrored into the others. The brush fills
// each row between the outline pixels.
void PainterCanvas::pixelEllipse(const QRect &d, const QBrush &brush)
{
    const int l = d.left(), t = d.top(), r = l + d.width() - 1, b = t + d.height() - 1;
    const double a = (r - l) / 2.0, bb = (b - t) / 2.0;
    const double cx = (l + r) / 2.0, cy = (t + b) / 2.0;
    // Per row: leftmost and rightmost outline pixel.
    std::vector<int> rowMin(size_t(d.height()), std::numeric_limits<int>::max());
    std::vector<int> rowMax(size_t(d.height()), std::numeric_limits<int>::min());
    QPolygon pts;
    auto plot4 = [&](int x, int y) {
        // (x, y) lies in the top-left quarter; mirror it into the others.
        const int xs[2] = {x, l + r - x};
        const int ys[2] = {y, t + b - y};
        for (int yy : ys)
            for (int xx : xs) {
                pts.append(QPoint(xx, yy));
                rowMin[size_t(yy - t)] = std::min(rowMin[size_t(yy - t)], xx);
                rowMax[size_t(yy - t)] = std::max(rowMax[size_t(yy - t)], xx);
            }
    };
    if (a < 0.5 || bb < 0.5) {
        // One pixel wide or high: a line.
        for (int y = t; y <= b; ++y)
            for (int x = l; x <= r; ++x)
                pts.append(QPoint(x, y));
    } else {
        const double split = std::sqrt(a * a + bb * bb);
        const double xEdge = a * a / split;  // where the slope passes 1
        const double yEdge = bb * bb / split;
        for (int x = l; x <= int(std::floor(cx)); ++x) {
            const double dx = cx - x;
            if (dx > xEdge + 0.5 && x != int(std::floor(cx)))
                continue;
            const double dy = bb * std::sqrt(std::max(0.0, 1.0 - (dx * dx) / (a * a)));
            plot4(x, int(std::floor(cy - dy + 0.5)));
        }
        for (int y = t; y <= int(std::floor(cy)); ++y) {
            const double dy = cy - y;
            if (dy > yEdge + 0.5 && y != int(std::floor(cy)))
                continue;
            const double dx = a * std::sqrt(std::max(0.0, 1.0 - (dy * dy) / (bb * bb)));
            plot4(int(std::floor(cx - dx + 0.5)), y);
        }
    }
    if (brush.style() != Qt::NoBrush)
        for (int y = t; y <= b; ++y) {
            const int lo = rowMin[size_t(y - t)], hi = rowMax[size_t(y - t)];
            // A row the outline never reached still holds its sentinels
            // (lo the largest, hi the smallest int): nothing to fill there.
            if (qint64(hi) - lo > 1)
                m_painter->fillRect(QRect(lo + 1, y, hi - lo - 1, 1), brush);
        }
    m_painter->setPen(pixelPen());
    m_painter->drawPoints(pts);
}

void PainterCanvas::rectangle(const gdi::Rect &r)
{
    withRop2(boundsOf(r), [&] { closedFigure(r, kRect, 0, 0); });
}

void PainterCanvas::roundRect(const gdi::Rect &r, qint32 cw, qint32 ch)
{
    withRop2(boundsOf(r), [&] { closedFigure(r, kRound, cw, ch); });
}

void PainterCanvas::ellipse(const gdi::Rect &r)
{
    withRop2(boundsOf(r), [&] { closedFigure(r, kEllipse, 0, 0); });
}

void PainterCanvas::polygon(std::span<const gdi::Point> points)
{
    if (!active() || points.size() < 2)
        return;
    withRop2(boundsOf(points), [&] { drawPolygon(points); });
}

void PainterCanvas::drawPolygon(std::span<const gdi::Point> points)
{
    const QBrush brush = qbrush(m_state.brush);
    if (brush.style() != Qt::NoBrush && points.size() >= 3) {
        QPainterPath path;
        path.setFillRule(fillRule());
        m_painter->setWorldTransform(QTransform());
        for (size_t i = 0; i < points.size(); ++i) {
            // Pixel centres lie at +0.5: a vertex at whole device coordinates
            // fills the pixels from its left and top edges up to, not
            // including, the right and bottom ones, as GDI fills polygons.
            const QPointF p = QPointF(toDevice(points[i].x, points[i].y));
            i == 0 ? path.moveTo(p) : path.lineTo(p);
        }
        path.closeSubpath();
        m_painter->fillPath(path, brush);
    }
    drawPolyline(points, true);
}

void PainterCanvas::polyPolygon(std::span<const std::vector<gdi::Point>> polygons)
{
    if (!active())
        return;
    std::vector<gdi::Point> corners;
    for (const auto &poly : polygons)
        if (!poly.empty()) {
            const QRectF b = boundsOf(poly);
            corners.push_back({qint32(b.left()), qint32(b.top())});
            corners.push_back({qint32(b.right()), qint32(b.bottom())});
        }
    withRop2(boundsOf(corners), [&] { drawPolyPolygon(polygons); });
}

void PainterCanvas::drawPolyPolygon(std::span<const std::vector<gdi::Point>> polygons)
{
    const QBrush brush = qbrush(m_state.brush);
    if (brush.style() != Qt::NoBrush) {
        QPainterPath path;
        path.setFillRule(fillRule());
        for (const auto &poly : polygons) {
            if (poly.size() < 3)
                continue;
            for (size_t i = 0; i < poly.size(); ++i) {
                const QPointF p = QPointF(toDevice(poly[i].x, poly[i].y));
                i == 0 ? path.moveTo(p) : path.lineTo(p);
            }
            path.closeSubpath();
        }
        m_painter->setWorldTransform(QTransform());
        m_painter->fillPath(path, brush);
    }
    for (const auto &poly : polygons)
        drawPolyline(poly, true);
}

// --- paths -------------------------------------------------------------------------

void PainterCanvas::drawPath(const QPainterPath &path, bool fill, bool stroke)
{
    if (!active() || path.isEmpty())
        return;
    withRop2(path.controlPointRect(), [&] { drawPathNow(path, fill, stroke); });
}

void PainterCanvas::drawPathNow(const QPainterPath &path, bool fill, bool stroke)
{
    QPainterPath dev = toDevicePath(path);
    dev.setFillRule(path.fillRule());
    const QPainterPath shifted = dev.translated(kPixelCentre, kPixelCentre);
    m_painter->setWorldTransform(QTransform());
    if (fill) {
        const QBrush brush = qbrush(m_state.brush);
        if (brush.style() != Qt::NoBrush)
            m_painter->fillPath(shifted, brush);
    }
    if (!stroke)
        return;
    const int w = devicePenWidth();
    if (w == 0)
        return;
    if (w == 1) {
        // One-pixel outlines with the pixel rules of lines: every point of a
        // figure but the last of an open one.
        for (const QPolygonF &poly : dev.toSubpathPolygons()) {
            m_styleOffset = 0;
            for (qsizetype i = 1; i < poly.size(); ++i)
                plotLine(QPoint(roundi(poly[i - 1].x()), roundi(poly[i - 1].y())),
                         QPoint(roundi(poly[i].x()), roundi(poly[i].y())), false);
        }
        return;
    }
    // Wide pens run through pixel centres, as a polyline's do.
    m_painter->setBrush(Qt::NoBrush);
    strokeWide(shifted, false);
}
