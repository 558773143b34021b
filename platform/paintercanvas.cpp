#include "platform/paintercanvas.h"

#include <QGlyphRun>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

// Raster operations besides SRCCOPY that bitmaps may ask for.
constexpr quint32 kSrcPaint = 0x00EE0086;
constexpr quint32 kSrcAnd = 0x008800C6;
constexpr quint32 kSrcInvert = 0x00660046;

QColor qcolor(gdi::ColorRef c) { return QColor(gdi::redOf(c), gdi::greenOf(c), gdi::blueOf(c)); }

int roundi(qreal v) { return int(std::lround(v)); }

// Device rectangle with exclusive right and bottom.
struct DRect {
    int l, t, r, b;
    bool empty() const { return r <= l || b <= t; }
    QRect qrect() const { return QRect(l, t, r - l, b - t); }
};

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

PainterCanvas::PainterCanvas(QPainter *painter, int dpiX, int dpiY, QSize deviceSize)
    : m_painter(painter)
{
    init(dpiX, dpiY, deviceSize);
}

PainterCanvas::PainterCanvas(QImage *image, int dpi)
    : m_ownPainter(std::make_unique<QPainter>(image))
{
    m_painter = m_ownPainter.get();
    init(dpi, dpi, image->size());
}

PainterCanvas::~PainterCanvas()
{
    // A painter that was handed in gets its own state back.
    if (!m_ownPainter && m_painter && m_painter->isActive())
        m_painter->restore();
}

void PainterCanvas::init(int dpiX, int dpiY, QSize deviceSize)
{
    m_dpiX = dpiX > 0 ? dpiX : 96;
    m_dpiY = dpiY > 0 ? dpiY : 96;
    if (!deviceSize.isValid() && m_painter && m_painter->device())
        deviceSize = QSize(m_painter->device()->width(), m_painter->device()->height());
    m_deviceSize = deviceSize;
    if (!m_painter || !m_painter->isActive())
        return;
    if (!m_ownPainter)
        m_painter->save();
    if (m_painter->hasClipping())
        m_baseClip = m_painter->deviceTransform().map(m_painter->clipRegion());
    // The painter's own transform at arrival is where the canvas's logical
    // units are mapped to; it is normally the identity.
    m_base = m_painter->worldTransform();
    m_painter->setRenderHint(QPainter::Antialiasing, false);
    m_painter->setRenderHint(QPainter::TextAntialiasing, true);
}

void PainterCanvas::setPhysicalOffsets(int x, int y) { m_physicalOffset = QPoint(x, y); }
void PainterCanvas::setPhysicalSize(int width, int height) { m_physicalSize = QSize(width, height); }

int PainterCanvas::deviceCaps(int index) const
{
    switch (index) {
    case gdi::LOGPIXELSX:
        return m_dpiX;
    case gdi::LOGPIXELSY:
        return m_dpiY;
    case gdi::HORZRES:
        return m_deviceSize.width();
    case gdi::VERTRES:
        return m_deviceSize.height();
    case gdi::HORZSIZE:
        return roundi(m_deviceSize.width() * 25.4 / m_dpiX);
    case gdi::VERTSIZE:
        return roundi(m_deviceSize.height() * 25.4 / m_dpiY);
    case gdi::PHYSICALWIDTH:
        return m_physicalSize.isValid() ? m_physicalSize.width() : m_deviceSize.width();
    case gdi::PHYSICALHEIGHT:
        return m_physicalSize.isValid() ? m_physicalSize.height() : m_deviceSize.height();
    case gdi::PHYSICALOFFSETX:
        return m_physicalOffset.x();
    case gdi::PHYSICALOFFSETY:
        return m_physicalOffset.y();
    case gdi::BITSPIXEL:
        return m_painter && m_painter->device() ? m_painter->device()->depth() : 24;
    case gdi::PLANES:
        return 1;
    default:
        return 0;
    }
}

void PainterCanvas::setTransform(const QTransform &t) { Canvas::setTransform(t); }

// --- coordinates ---------------------------------------------------------------

QTransform PainterCanvas::fullTransform() const { return m_state.transform * m_base; }

bool PainterCanvas::axisAligned() const
{
    const QTransform t = fullTransform();
    return t.m12() == 0 && t.m21() == 0 && t.m13() == 0 && t.m23() == 0;
}

qreal PainterCanvas::deviceScale() const
{
    const QTransform t = fullTransform();
    return std::sqrt(std::abs(t.m11() * t.m22() - t.m12() * t.m21()));
}

// Device coordinates are kept within +-2^24 pixels (far beyond any page), so
// that figures from damaged input cannot overflow the rasterizer.
constexpr qreal kDeviceLimit = 16777216.0;

QPoint PainterCanvas::toDevice(qint32 x, qint32 y) const
{
    const QPointF p = fullTransform().map(QPointF(x, y));
    auto clampi = [](qreal v) { return roundi(std::isfinite(v) ? std::clamp(v, -kDeviceLimit, kDeviceLimit) : 0.0); };
    return QPoint(clampi(p.x()), clampi(p.y()));
}

QPainterPath PainterCanvas::toDevicePath(const QPainterPath &logical) const
{
    QPainterPath p = fullTransform().map(logical);
    for (int i = 0; i < p.elementCount(); ++i) {
        const QPainterPath::Element e = p.elementAt(i);
        auto lim = [](qreal v) { return std::isfinite(v) ? std::clamp(v, -kDeviceLimit, kDeviceLimit) : 0.0; };
        p.setElementPositionAt(i, lim(e.x), lim(e.y));
    }
    return p;
}

QRect PainterCanvas::toDeviceRect(const gdi::Rect &r) const
{
    const QPoint a = toDevice(r.left, r.top);
    const QPoint b = toDevice(r.right, r.bottom);
    const DRect d{std::min(a.x(), b.x()), std::min(a.y(), b.y()), std::max(a.x(), b.x()), std::max(a.y(), b.y())};
    return d.qrect();
}

// --- pens ----------------------------------------------------------------------

int PainterCanvas::devicePenWidth() const
{
    const gdi::LogPen &p = m_state.pen;
    if ((p.style & gdi::PS_STYLE_MASK) == gdi::PS_NULL)
        return 0;
    if (p.width <= 0)
        return 1;
    return std::max(1, roundi(p.width * deviceScale()));
}

// A styled pen keeps its dashes while it is at most one logical unit wide; a
// wider pen made with a style is drawn solid (as the pen's creation rules say).
bool PainterCanvas::penDrawsStyled() const
{
    const gdi::LogPen &p = m_state.pen;
    const quint32 style = p.style & gdi::PS_STYLE_MASK;
    if (style < gdi::PS_DASH || style > gdi::PS_DASHDOTDOT) {
        if (style != gdi::PS_ALTERNATE)
            return false;
    }
    return (p.style & gdi::PS_TYPE_MASK) == gdi::PS_GEOMETRIC || p.width <= 1;
}

// On/off lengths in pen widths.
std::vector<qreal> PainterCanvas::penPattern() const
{
    switch (m_state.pen.style & gdi::PS_STYLE_MASK) {
    case gdi::PS_DASH:
        return {18, 6};
    case gdi::PS_DOT:
    case gdi::PS_ALTERNATE:
        return {1, 1};
    case gdi::PS_DASHDOT:
        return {9, 6, 3, 6};
    case gdi::PS_DASHDOTDOT:
        return {9, 3, 3, 3, 3, 3};
    default:
        return {};
    }
}

QPen PainterCanvas::qpen(int width, bool closedFigure) const
{
    const gdi::LogPen &p = m_state.pen;
    QPen pen(qcolor(p.color));
    pen.setWidth(width);
    if (width <= 1)
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
            join = Qt::MiterJoin;
            break;
        default:
            join = Qt::RoundJoin;
        }
    }
    if (width <= 1)
        cap = Qt::FlatCap;
    pen.setCapStyle(cap);
    pen.setJoinStyle(join);
    if (penDrawsStyled()) {
        const std::vector<qreal> pat = penPattern();
        pen.setDashPattern(QList<qreal>(pat.begin(), pat.end()));
        if (width > 1)
            pen.setCapStyle(Qt::FlatCap);
    }
    return pen;
}

// A one-pixel line from `from` to `to`, the last point left out unless
// `lastPoint`; a styled pen's pattern goes on from m_styleOffset. The pixel at
// step k along the major axis has its minor coordinate rounded from the exact
// line, and only the steps that fall on the device are visited, so a line
// with far-away end points costs no more than the part that shows.
void PainterCanvas::plotLine(QPoint from, QPoint to, bool lastPoint)
{
    const std::vector<qreal> pat = penDrawsStyled() ? penPattern() : std::vector<qreal>{};
    int period = 0;
    for (qreal v : pat)
        period += int(v);
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

    QPen pen(qcolor(m_state.pen.color));
    pen.setWidth(1);
    pen.setCosmetic(true);
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

// --- lines -------------------------------------------------------------------------

void PainterCanvas::lineTo(qint32 x, qint32 y)
{
    const gdi::Point from = m_state.position;
    m_state.position = {x, y};
    const gdi::Point pts[2] = {from, {x, y}};
    drawPolyline(pts, false);
}

void PainterCanvas::polyline(std::span<const gdi::Point> points)
{
    if (points.size() < 2)
        return;
    drawPolyline(points, false);
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
        const QPointF p = QPointF(toDevice(points[i].x, points[i].y)) + QPointF(0.5, 0.5);
        i == 0 ? path.moveTo(p) : path.lineTo(p);
    }
    if (closed)
        path.closeSubpath();
    m_painter->strokePath(path, qpen(w, closed));
}

// --- brushes -----------------------------------------------------------------------

QBrush PainterCanvas::qbrush(const gdi::LogBrush &b) const
{
    switch (b.style) {
    case gdi::BS_NULL:
        return Qt::NoBrush;
    case gdi::BS_HATCHED: {
        const QColor bk = qcolor(m_state.bkColor);
        return QBrush(hatchImage(b.hatch, qcolor(b.color), m_state.bkMode == gdi::OPAQUE ? &bk : nullptr));
    }
    default: // solid; patterns carry no bitmap here and draw in their colour
        return QBrush(qcolor(b.color));
    }
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
        path.addRect(QRectF(r.left, r.top, r.width(), r.height()));
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
        const QRectF lr = QRectF(r.left, r.top, r.width(), r.height()).normalized();
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
            m_painter->strokePath(dev, qpen(w, true));
        return;
    }

    const QRect d = toDeviceRect(r);
    if (d.isEmpty())
        return;
    m_painter->setWorldTransform(QTransform());
    const qreal scale = deviceScale();

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
    if (w > 0) {
        m_painter->strokePath(path, qpen(w, true));
    }
}

void PainterCanvas::rectangle(const gdi::Rect &r) { closedFigure(r, kRect, 0, 0); }
void PainterCanvas::roundRect(const gdi::Rect &r, qint32 cw, qint32 ch) { closedFigure(r, kRound, cw, ch); }
void PainterCanvas::ellipse(const gdi::Rect &r) { closedFigure(r, kEllipse, 0, 0); }

void PainterCanvas::polygon(std::span<const gdi::Point> points)
{
    if (!active() || points.size() < 2)
        return;
    const QBrush brush = qbrush(m_state.brush);
    if (brush.style() != Qt::NoBrush && points.size() >= 3) {
        QPainterPath path;
        path.setFillRule(Qt::OddEvenFill);
        m_painter->setWorldTransform(QTransform());
        for (size_t i = 0; i < points.size(); ++i) {
            const QPointF p = QPointF(toDevice(points[i].x, points[i].y)) + QPointF(0.5, 0.5);
            i == 0 ? path.moveTo(p) : path.lineTo(p);
        }
        path.closeSubpath();
        m_painter->fillPath(path, brush);
    }
    drawPolyline(points, true);
}

// --- text --------------------------------------------------------------------

const fonts::ResolvedFont &PainterCanvas::resolvedFont()
{
    if (!m_font || !(m_font->logFont() == m_state.font))
        m_font = fonts::resolve(m_state.font);
    return *m_font;
}

gdi::Size PainterCanvas::textExtent(const QString &text)
{
    const fonts::ResolvedFont &f = resolvedFont();
    return {roundi(f.advanceWidth(text)), f.textMetric().height};
}

gdi::TextMetric PainterCanvas::textMetrics() { return resolvedFont().textMetric(); }

void PainterCanvas::extTextOut(qint32 x, qint32 y, quint32 options, const gdi::Rect *rect, const QString &text,
                               const std::vector<qint32> *dx)
{
    if (!active())
        return;
    const fonts::ResolvedFont &font = resolvedFont();
    const quint32 align = m_state.textAlign;
    const bool rtl = (align & gdi::TA_RTLREADING) || (options & gdi::ETO_RTLREADING);
    const bool updateCp = align & gdi::TA_UPDATECP;
    if (updateCp) {
        x = m_state.position.x;
        y = m_state.position.y;
    }

    // The opaque box is drawn before the text and is not clipped by it.
    if (rect && (options & gdi::ETO_OPAQUE))
        fillRect(*rect, gdi::LogBrush{gdi::BS_SOLID, m_state.bkColor, 0});

    const bool glyphMode = options & gdi::ETO_GLYPH_INDEX;
    const fonts::TextLayout layout = glyphMode ? font.layoutGlyphs(text, rtl) : font.layout(text, rtl);
    qsizetype n = text.size();
    // Character cells: x offset of each code unit from the start of the text.
    std::vector<qreal> cellX(size_t(n) + 1, 0.0);
    qreal width = layout.width;
    if (dx && !dx->empty()) {
        qreal acc = 0;
        for (qsizetype i = 0; i < n; ++i) {
            cellX[size_t(i)] = acc;
            acc += i < qsizetype(dx->size()) ? (*dx)[size_t(i)] : layout.advances[size_t(i)];
        }
        cellX[size_t(n)] = acc;
        width = acc;
    }

    qreal startX = 0;
    switch (align & gdi::TA_HORZ_MASK) {
    case gdi::TA_RIGHT:
        startX = -width;
        break;
    case gdi::TA_CENTER:
        startX = -width / 2;
        break;
    default:
        break;
    }
    qreal baseline = 0;
    switch (align & gdi::TA_VERT_MASK) {
    case gdi::TA_BASELINE:
        break;
    case gdi::TA_BOTTOM:
        baseline = -font.descent();
        break;
    default: // TA_TOP: the top of the character cell at y
        baseline = font.ascent();
        break;
    }

    QTransform textT;
    textT.translate(x, y);
    if (font.logFont().escapement != 0)
        textT.rotate(-font.logFont().escapement / 10.0);
    const QTransform full = textT * fullTransform();
    // Text whose origin is beyond any device (damaged input) is not drawn.
    const QPointF origin = full.map(QPointF(0, 0));
    const bool onDevice = std::abs(origin.x()) < kDeviceLimit && std::abs(origin.y()) < kDeviceLimit;

    const bool clipped = rect && (options & gdi::ETO_CLIPPED);
    if (clipped) {
        m_painter->save();
        m_painter->setWorldTransform(QTransform());
        const QRegion r = axisAligned() ? QRegion(toDeviceRect(*rect))
                                        : QRegion(fullTransform().mapToPolygon(
                                              QRect(rect->left, rect->top, rect->width(), rect->height())));
        m_painter->setClipRegion(r, m_painter->hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    }

    m_painter->setWorldTransform(full);
    if (!onDevice)
        n = 0;
    if (m_state.bkMode == gdi::OPAQUE && n > 0)
        m_painter->fillRect(QRectF(startX, baseline - font.ascent(), width, font.ascent() + font.descent()),
                            qcolor(m_state.bkColor));

    const qreal hs = font.horizontalScale();
    QTransform glyphT = QTransform::fromTranslate(startX, baseline);
    glyphT.scale(hs, 1);
    m_painter->setWorldTransform(glyphT * full);
    m_painter->setPen(qcolor(m_state.textColor));
    for (const fonts::GlyphRun &run : onDevice ? layout.runs : std::vector<fonts::GlyphRun>{}) {
        QList<QPointF> pos = run.positions;
        if (dx && !dx->empty()) {
            for (qsizetype g = 0; g < pos.size(); ++g) {
                const size_t u = size_t(run.units[size_t(g)]);
                const size_t len = (!glyphMode && u + 1 < size_t(n) && text[qsizetype(u)].isHighSurrogate() &&
                                    text[qsizetype(u) + 1].isLowSurrogate())
                                       ? 2
                                       : 1;
                const qreal cx = rtl ? width - cellX[u + len] : cellX[u];
                pos[g].setX(cx / hs);
            }
        }
        QGlyphRun gr;
        gr.setRawFont(run.rawFont);
        gr.setGlyphIndexes(run.glyphs);
        gr.setPositions(pos);
        m_painter->drawGlyphRun(QPointF(0, 0), gr);
    }

    if ((font.logFont().underline || font.logFont().strikeOut) && n > 0) {
        m_painter->setWorldTransform(full);
        const qreal minThick = 1.0 / std::max<qreal>(deviceScale(), 1e-6);
        const qreal thick = std::max(font.lineThickness(), minThick);
        const QColor c = qcolor(m_state.textColor);
        if (font.logFont().underline)
            m_painter->fillRect(QRectF(startX, baseline + font.underlineOffset() - thick / 2, width, thick), c);
        if (font.logFont().strikeOut)
            m_painter->fillRect(QRectF(startX, baseline + font.strikeOutOffset() - thick / 2, width, thick), c);
    }

    if (clipped)
        m_painter->restore();

    if (updateCp) {
        const qreal ang = -font.logFont().escapement / 10.0 * M_PI / 180.0;
        qreal move = 0;
        switch (align & gdi::TA_HORZ_MASK) {
        case gdi::TA_RIGHT:
            move = -width;
            break;
        case gdi::TA_CENTER:
            break;
        default:
            move = width;
        }
        m_state.position = {x + roundi(move * std::cos(ang)), y + roundi(move * std::sin(ang))};
    }
}

// --- bitmaps -------------------------------------------------------------------

void PainterCanvas::stretchDIBits(const gdi::Rect &dest, const gdi::Rect &src, const QImage &image, quint32 rop)
{
    if (!active() || image.isNull())
        return;
    // The source rectangle may be mirrored too; take its part inside the image
    // and shrink the destination in proportion.
    const bool srcMirrorX = src.right < src.left, srcMirrorY = src.bottom < src.top;
    qreal sl = std::min(src.left, src.right), sr = std::max(src.left, src.right);
    qreal st = std::min(src.top, src.bottom), sb = std::max(src.top, src.bottom);
    if (sr <= sl || sb <= st)
        return;
    const qreal cl = std::max<qreal>(sl, 0), cr = std::min<qreal>(sr, image.width());
    const qreal ct = std::max<qreal>(st, 0), cb = std::min<qreal>(sb, image.height());
    if (cr <= cl || cb <= ct)
        return;

    const QPointF a = fullTransform().map(QPointF(dest.left, dest.top));
    const QPointF b = fullTransform().map(QPointF(dest.right, dest.bottom));
    const bool mirrorX = (b.x() < a.x()) != srcMirrorX;
    const bool mirrorY = (b.y() < a.y()) != srcMirrorY;
    QRectF target = QRectF(QPointF(roundi(a.x()), roundi(a.y())), QPointF(roundi(b.x()), roundi(b.y()))).normalized();
    if (target.isEmpty())
        return;
    const qreal fx = target.width() / (sr - sl), fy = target.height() / (sb - st);
    // Trim the destination where the source was cut.
    const qreal leftCut = mirrorX ? (sr - cr) : (cl - sl), rightCut = mirrorX ? (cl - sl) : (sr - cr);
    const qreal topCut = mirrorY ? (sb - cb) : (ct - st), bottomCut = mirrorY ? (ct - st) : (sb - cb);
    target.adjust(leftCut * fx, topCut * fy, -rightCut * fx, -bottomCut * fy);

    QImage part = image.copy(QRect(int(cl), int(ct), int(cr - cl), int(cb - ct)));
    if (part.hasAlphaChannel())
        part = part.convertToFormat(QImage::Format_RGB32); // bitmaps are opaque
    if (mirrorX || mirrorY)
        part = part.mirrored(mirrorX, mirrorY);

    m_painter->save();
    if (axisAligned()) {
        m_painter->setWorldTransform(QTransform());
    } else {
        m_painter->setWorldTransform(fullTransform());
        target = QRectF(QPointF(dest.left, dest.top), QPointF(dest.right, dest.bottom)).normalized();
    }
    m_painter->setRenderHint(QPainter::SmoothPixmapTransform, m_state.stretchBltMode == gdi::HALFTONE);
    const bool rasterOps = m_painter->paintEngine() && m_painter->paintEngine()->hasFeature(QPaintEngine::RasterOpModes);
    if (rasterOps) {
        if (rop == kSrcPaint)
            m_painter->setCompositionMode(QPainter::RasterOp_SourceOrDestination);
        else if (rop == kSrcAnd)
            m_painter->setCompositionMode(QPainter::RasterOp_SourceAndDestination);
        else if (rop == kSrcInvert)
            m_painter->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    }
    m_painter->drawImage(target, part);
    m_painter->restore();
}

// --- clipping and saved states ------------------------------------------------------

void PainterCanvas::applyClip()
{
    if (!active())
        return;
    m_painter->setWorldTransform(QTransform());
    if (m_clip)
        m_painter->setClipRegion(*m_clip);
    else if (m_baseClip)
        m_painter->setClipRegion(*m_baseClip);
    else
        m_painter->setClipping(false);
}

void PainterCanvas::intersectClipRect(const gdi::Rect &r)
{
    QRegion region;
    if (axisAligned())
        region = QRegion(toDeviceRect(r));
    else
        region = QRegion(fullTransform().mapToPolygon(QRect(r.left, r.top, r.width(), r.height())));
    if (m_clip)
        m_clip = m_clip->intersected(region);
    else if (m_baseClip)
        m_clip = m_baseClip->intersected(region);
    else
        m_clip = region;
    applyClip();
}

void PainterCanvas::selectClipRgnNone()
{
    m_clip.reset();
    applyClip();
}

int PainterCanvas::saveDC()
{
    m_savedClips.push_back(m_clip);
    return Canvas::saveDC();
}

bool PainterCanvas::restoreDC(int n)
{
    if (!Canvas::restoreDC(n))
        return false;
    const size_t depth = m_saved.size(); // the restored state was at this depth
    if (depth < m_savedClips.size()) {
        m_clip = m_savedClips[depth];
        m_savedClips.resize(depth);
    }
    applyClip();
    return true;
}

void PainterCanvas::stateRestored() {}

bool PainterCanvas::active() const { return m_painter && m_painter->isActive(); }
