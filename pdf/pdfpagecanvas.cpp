// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "pdf/pdfpagecanvas.h"

#include "pdf/pdfdocumentfilter.h"
#include "pdf/pdfnumbers.h"
#include "pdf/pdfoperators.h"
#include "platform/fonts.h"
#include "platform/penpattern.h"

#include <QColor>

#include <algorithm>
#include <cmath>

using pdfnum::compact;
using pdfop::Op;

namespace {

enum { kRect, kRound, kEllipse };

QByteArray colorOperands(gdi::ColorRef c, Op op)
{
    return pdfop::line(op, {compact(gdi::redOf(c) / 255.0, 3), compact(gdi::greenOf(c) / 255.0, 3),
                            compact(gdi::blueOf(c) / 255.0, 3)});
}

QByteArray matrixLine(const QTransform &t)
{
    return pdfop::line(Op::Transform, {compact(t.m11(), 5), compact(t.m12(), 5), compact(t.m21(), 5), compact(t.m22(), 5),
                                       compact(t.dx(), 3), compact(t.dy(), 3)});
}

QPainterPath rectPath(const QRectF &r)
{
    QPainterPath p;
    p.addRect(r);
    return p;
}

} // namespace

PdfPageCanvas::PdfPageCanvas(RpPDFDocumentFilter &document, int width, int height, double dpiX, double dpiY)
    : m_doc(document), m_width(std::max(width, 1)), m_height(std::max(height, 1)), m_dpiX(dpiX > 0 ? dpiX : 96),
      m_dpiY(dpiY > 0 ? dpiY : 96), m_sx(72.0 / m_dpiX), m_sy(72.0 / m_dpiY), m_pageHeight(document.m_pageHeight)
{
}

PdfPageCanvas::~PdfPageCanvas() { finish(); }

void PdfPageCanvas::finish()
{
    if (m_groupOpen)
        out(pdfop::line(Op::Restore));
    m_groupOpen = false;
}

int PdfPageCanvas::deviceCaps(int index) const
{
    switch (index) {
    case gdi::LOGPIXELSX:
        return int(std::lround(m_dpiX));
    case gdi::LOGPIXELSY:
        return int(std::lround(m_dpiY));
    case gdi::HORZRES:
        return m_width;
    case gdi::VERTRES:
        return m_height;
    case gdi::HORZSIZE:
        return int(std::lround(m_width * 25.4 / m_dpiX));
    case gdi::VERTSIZE:
        return int(std::lround(m_height * 25.4 / m_dpiY));
    case gdi::BITSPIXEL:
        return 24;
    case gdi::PLANES:
        return 1;
    default:
        return 0;
    }
}

// --- content and coordinates ---------------------------------------------------

void PdfPageCanvas::out(const QByteArray &line) { m_doc.graphicsLine(line); }

QPointF PdfPageCanvas::toDevice(double x, double y) const { return m_state.transform.map(QPointF(x, y)); }

QPainterPath PdfPageCanvas::toDevicePath(const QPainterPath &logical) const
{
    return m_state.transform.isIdentity() ? logical : m_state.transform.map(logical);
}

bool PdfPageCanvas::axisAligned() const
{
    const QTransform &t = m_state.transform;
    return t.type() <= QTransform::TxScale;
}

double PdfPageCanvas::deviceScale() const
{
    const QTransform &t = m_state.transform;
    return std::sqrt(std::abs(t.m11() * t.m22() - t.m12() * t.m21()));
}

QByteArray PdfPageCanvas::pathOperators(const QPainterPath &device) const
{
    // Device pixels (y down) to the page's points (y up).
    auto px = [this](double x) { return compact(x * m_sx, 2); };
    auto py = [this](double y) { return compact(m_pageHeight - y * m_sy, 2); };
    QByteArray s;
    QPointF start;
    QPointF last;
    bool open = false;
    auto close = [&] {
        if (open && last == start)
            s += pdfop::line(Op::ClosePath) + "\r\n";
    };
    for (int i = 0; i < device.elementCount(); ++i) {
        const QPainterPath::Element e = device.elementAt(i);
        if (e.isMoveTo()) {
            close();
            start = last = QPointF(e.x, e.y);
            open = true;
            s += pdfop::line(Op::MoveTo, {px(e.x), py(e.y)}) + "\r\n";
        } else if (e.isLineTo()) {
            last = QPointF(e.x, e.y);
            s += pdfop::line(Op::LineTo, {px(e.x), py(e.y)}) + "\r\n";
        } else if (e.isCurveTo() && i + 2 < device.elementCount()) {
            const QPainterPath::Element c2 = device.elementAt(i + 1), end = device.elementAt(i + 2);
            last = QPointF(end.x, end.y);
            s += pdfop::line(Op::CurveTo, {px(e.x), py(e.y), px(c2.x), py(c2.y), px(end.x), py(end.y)}) + "\r\n";
            i += 2;
        }
    }
    close();
    s.chop(2);
    return s;
}

// --- clipping ----------------------------------------------------------------------

QPainterPath PdfPageCanvas::wholeDevice() const { return rectPath(QRectF(0, 0, m_width, m_height)); }

std::optional<QPainterPath> PdfPageCanvas::effectiveClip() const
{
    if (m_clip && m_metaClip)
        return m_clip->intersected(*m_metaClip);
    return m_clip ? m_clip : m_metaClip;
}

void PdfPageCanvas::syncClip()
{
    if (m_groupOpen && m_groupVersion == m_clipVersion)
        return;
    if (m_groupOpen)
        out(pdfop::line(Op::Restore));
    // Every drawing runs in a group that holds the clip in force: a clip is
    // lifted by ending the group.
    out(pdfop::line(Op::Save));
    if (const std::optional<QPainterPath> clip = effectiveClip()) {
        if (clip->isEmpty())
            out(pdfop::line(Op::Rectangle, {"0", "0", "0", "0"}));
        else
            out(pathOperators(*clip));
        out(pdfop::line(clip->fillRule() == Qt::OddEvenFill ? Op::ClipEvenOdd : Op::Clip));
        out(pdfop::line(Op::EndPath));
    }
    m_groupOpen = true;
    m_groupVersion = m_clipVersion;
    m_paint = Paint{};
}

void PdfPageCanvas::changeClip(std::optional<QPainterPath> clip)
{
    if (clip)
        clip->setFillRule(Qt::WindingFill);
    m_clip = std::move(clip);
    ++m_clipVersion;
}

void PdfPageCanvas::combineClip(const QPainterPath &area, quint32 mode)
{
    const QPainterPath current = m_clip ? *m_clip : wholeDevice();
    switch (mode) {
    case gdi::RGN_AND:
        changeClip(current.intersected(area));
        break;
    case gdi::RGN_OR:
        changeClip(current.united(area));
        break;
    case gdi::RGN_XOR:
        changeClip(current.united(area).subtracted(current.intersected(area)));
        break;
    case gdi::RGN_DIFF:
        changeClip(current.subtracted(area));
        break;
    case gdi::RGN_COPY:
        changeClip(area);
        break;
    default:
        break;
    }
}

void PdfPageCanvas::intersectClipRect(const gdi::Rect &r)
{
    const QPainterPath area = toDevicePath(rectPath(QRectF(QPointF(r.left, r.top), QPointF(r.right, r.bottom)).normalized()));
    if (!m_clip) {
        changeClip(area);
        return;
    }
    // The usual case, a rectangle within a rectangle, stays a rectangle.
    const QRectF a = area.boundingRect(), c = m_clip->boundingRect();
    if (axisAligned() && m_clip->elementCount() == 5 && rectPath(c) == *m_clip)
        changeClip(rectPath(a.intersected(c)));
    else
        changeClip(m_clip->intersected(area));
}

void PdfPageCanvas::selectClipRgnNone() { changeClip(std::nullopt); }

void PdfPageCanvas::excludeClipRect(const gdi::Rect &r)
{
    combineClip(toDevicePath(rectPath(QRectF(QPointF(r.left, r.top), QPointF(r.right, r.bottom)).normalized())),
                gdi::RGN_DIFF);
}

void PdfPageCanvas::extSelectClipRects(std::span<const gdi::Rect> rects, quint32 mode)
{
    QPainterPath area;
    for (const gdi::Rect &r : rects)
        area.addRect(QRectF(QPointF(r.left, r.top), QPointF(r.right, r.bottom)).normalized());
    area = toDevicePath(area.simplified());
    if (mode == gdi::RGN_COPY && rects.empty()) {
        changeClip(std::nullopt);
        return;
    }
    combineClip(area, mode);
}

void PdfPageCanvas::selectClipPath(const QPainterPath &path, quint32 mode) { combineClip(toDevicePath(path), mode); }

void PdfPageCanvas::offsetClipRgn(qint32 dx, qint32 dy)
{
    if (!m_clip)
        return;
    const QPointF d = toDevice(dx, dy) - toDevice(0, 0);
    changeClip(m_clip->translated(d));
}

void PdfPageCanvas::setMetaRgn()
{
    m_metaClip = effectiveClip();
    changeClip(std::nullopt);
}

int PdfPageCanvas::saveDC()
{
    m_savedClips.emplace_back(m_clip, m_metaClip);
    return Canvas::saveDC();
}

bool PdfPageCanvas::restoreDC(int n)
{
    const int depth = int(m_savedClips.size());
    const int target = n < 0 ? depth + n : n - 1;
    if (!Canvas::restoreDC(n))
        return false;
    m_clip = m_savedClips[size_t(target)].first;
    m_metaClip = m_savedClips[size_t(target)].second;
    m_savedClips.resize(size_t(target));
    ++m_clipVersion;
    return true;
}

// --- paint -------------------------------------------------------------------------

bool PdfPageCanvas::penVisible() const { return (m_state.pen.style & gdi::PS_STYLE_MASK) != gdi::PS_NULL; }

double PdfPageCanvas::devicePenWidth() const
{
    if (!penVisible())
        return 0;
    const gdi::LogPen &p = m_state.pen;
    return p.width <= 0 ? 1.0 : std::max(1.0, p.width * deviceScale());
}

void PdfPageCanvas::setFillColor(gdi::ColorRef c)
{
    if (m_paint.fill != c)
        out(colorOperands(c, Op::FillColor));
    m_paint.fill = c;
}

void PdfPageCanvas::setStrokePaint()
{
    const gdi::LogPen &p = m_state.pen;
    const double w = devicePenWidth();
    const bool geometric = (p.style & gdi::PS_TYPE_MASK) == gdi::PS_GEOMETRIC;
    const double scale = (m_sx + m_sy) / 2;
    if (m_paint.stroke != p.color)
        out(colorOperands(p.color, Op::StrokeColor));
    m_paint.stroke = p.color;
    if (m_paint.width != w)
        out(pdfop::line(Op::LineWidth, {compact(w * scale, 3)}));
    m_paint.width = w;

    // Dashes: the built-in styles in pen widths, a user style in pixels (a
    // cosmetic pen) or logical units (a geometric one). A styled pen wider
    // than a pixel draws solid unless it is geometric.
    const quint32 style = p.style & gdi::PS_STYLE_MASK;
    std::vector<double> lengths;
    if (geometric || p.width <= 1) {
        if (style == gdi::PS_USERSTYLE) {
            for (quint32 e : m_state.penStyle)
                lengths.push_back(std::min<double>(e, 1e6) * (geometric ? deviceScale() : 1.0));
            if (lengths.size() % 2)
                lengths.insert(lengths.end(), lengths.begin(), lengths.end());
        } else {
            lengths = gdi::builtInPenPattern(style);
            for (double &v : lengths)
                v *= w;
        }
    }
    QByteArray dash = "[";
    double total = 0;
    for (double v : lengths) {
        dash += compact(std::max(v, 1e-3) * scale, 3) + ' ';
        total += v;
    }
    if (total <= 0 || !std::isfinite(total))
        dash = "[";
    dash = dash.trimmed() + ']';
    if (m_paint.dash != dash)
        out(pdfop::line(Op::Dash, {dash, "0"}));
    m_paint.dash = dash;

    QByteArray cap = "0", join = "0";
    if (geometric && w > 1) {
        switch (p.style & gdi::PS_ENDCAP_MASK) {
        case gdi::PS_ENDCAP_SQUARE:
            cap = "2";
            break;
        case gdi::PS_ENDCAP_FLAT:
            cap = "0";
            break;
        default:
            cap = "1";
        }
        switch (p.style & gdi::PS_JOIN_MASK) {
        case gdi::PS_JOIN_BEVEL:
            join = "2";
            break;
        case gdi::PS_JOIN_MITER:
            join = "0";
            break;
        default:
            join = "1";
        }
    } else if (w > 1) {
        cap = "1";
        join = "1";
    }
    if (m_paint.cap != cap)
        out(pdfop::line(Op::LineCap, {cap}));
    m_paint.cap = cap;
    if (m_paint.join != join)
        out(pdfop::line(Op::LineJoin, {join}));
    m_paint.join = join;
}

void PdfPageCanvas::fillDevicePath(const QPainterPath &device, const gdi::LogBrush &brush, Qt::FillRule rule)
{
    if (brush.style == gdi::BS_NULL || device.isEmpty())
        return;
    syncClip();
    const QByteArray ops = pathOperators(device);
    const Op fill = rule == Qt::OddEvenFill ? Op::FillEvenOdd : Op::Fill;
    if (brush.style != gdi::BS_HATCHED) {
        // Pictures as brushes fill with their average colour.
        setFillColor(brush.color);
        out(ops);
        out(pdfop::line(fill));
        return;
    }
    // A hatch: its lines every 8 pixels over the background, when that is
    // drawn, within the figure.
    if (m_state.bkMode == gdi::OPAQUE) {
        setFillColor(m_state.bkColor);
        out(ops);
        out(pdfop::line(fill));
    }
    out(pdfop::line(Op::Save));
    out(ops);
    out(pdfop::line(rule == Qt::OddEvenFill ? Op::ClipEvenOdd : Op::Clip));
    out(pdfop::line(Op::EndPath));
    const gdi::LogPen pen = m_state.pen;
    const std::vector<quint32> penStyle = m_state.penStyle;
    const Paint paint = m_paint;
    m_state.pen = {gdi::PS_SOLID, 0, brush.color};
    m_state.penStyle.clear();
    setStrokePaint();
    const QRectF b = device.boundingRect();
    QPainterPath lines;
    const double x0 = std::floor(b.left() / 8) * 8, y0 = std::floor(b.top() / 8) * 8;
    const double span = b.width() + b.height();
    auto vertical = [&] {
        for (double x = x0 + 3.5; x < b.right(); x += 8) {
            lines.moveTo(x, b.top());
            lines.lineTo(x, b.bottom());
        }
    };
    auto horizontal = [&] {
        for (double y = y0 + 3.5; y < b.bottom(); y += 8) {
            lines.moveTo(b.left(), y);
            lines.lineTo(b.right(), y);
        }
    };
    auto diagonal = [&](bool down) {
        for (double s = -span; s < span; s += 8) {
            if (down) {
                lines.moveTo(x0 + s, y0);
                lines.lineTo(x0 + s + span, y0 + span);
            } else {
                lines.moveTo(x0 + s, y0 + span);
                lines.lineTo(x0 + s + span, y0);
            }
        }
    };
    switch (brush.hatch) {
    case gdi::HS_HORIZONTAL:
        horizontal();
        break;
    case gdi::HS_VERTICAL:
        vertical();
        break;
    case gdi::HS_FDIAGONAL:
        diagonal(true);
        break;
    case gdi::HS_BDIAGONAL:
        diagonal(false);
        break;
    case gdi::HS_CROSS:
        horizontal();
        vertical();
        break;
    default:
        diagonal(true);
        diagonal(false);
        break;
    }
    out(pathOperators(lines));
    out(pdfop::line(Op::Stroke));
    out(pdfop::line(Op::Restore));
    m_paint = paint;
    m_state.pen = pen;
    m_state.penStyle = penStyle;
}

void PdfPageCanvas::strokeDevicePath(const QPainterPath &device, bool closedFigure)
{
    Q_UNUSED(closedFigure);
    if (!penVisible() || device.isEmpty())
        return;
    syncClip();
    setStrokePaint();
    out(pathOperators(device));
    out(pdfop::line(Op::Stroke));
}

// --- figures -------------------------------------------------------------------------

void PdfPageCanvas::lineTo(qint32 x, qint32 y)
{
    const gdi::Point from = m_state.position;
    m_state.position = {x, y};
    // A one-pixel line covers the pixels it runs through: through their
    // centres.
    QPainterPath p;
    p.moveTo(toDevice(from.x, from.y) + QPointF(0.5, 0.5));
    p.lineTo(toDevice(x, y) + QPointF(0.5, 0.5));
    strokeDevicePath(p, false);
}

void PdfPageCanvas::polyline(std::span<const gdi::Point> points)
{
    if (points.size() < 2)
        return;
    QPainterPath p;
    p.moveTo(toDevice(points[0].x, points[0].y) + QPointF(0.5, 0.5));
    for (size_t i = 1; i < points.size(); ++i)
        p.lineTo(toDevice(points[i].x, points[i].y) + QPointF(0.5, 0.5));
    strokeDevicePath(p, false);
}

void PdfPageCanvas::closedFigure(const gdi::Rect &r, int kind, qint32 cw, qint32 ch)
{
    const double w = devicePenWidth();
    const QRectF lr = QRectF(QPointF(r.left, r.top), QPointF(r.right, r.bottom)).normalized();
    auto shape = [&](const QRectF &box, double rx, double ry) {
        QPainterPath p;
        if (kind == kEllipse)
            p.addEllipse(box);
        else if (kind == kRound)
            p.addRoundedRect(box, rx, ry);
        else
            p.addRect(box);
        return p;
    };
    if (!axisAligned()) {
        const QPainterPath device = toDevicePath(shape(lr, std::abs(cw) / 2.0, std::abs(ch) / 2.0));
        fillDevicePath(device, m_state.brush, Qt::WindingFill);
        strokeDevicePath(device, true);
        return;
    }
    const QRectF d = QRectF(toDevice(lr.left(), lr.top()), toDevice(lr.right(), lr.bottom())).normalized();
    if (d.isEmpty())
        return;
    const double scale = deviceScale();
    // The outline runs through the pixel centres of the figure's edges; an
    // inside-frame pen is pulled in so that its outer edge stays on them.
    QRectF outline = d.adjusted(0.5, 0.5, -0.5, -0.5);
    if ((m_state.pen.style & gdi::PS_STYLE_MASK) == gdi::PS_INSIDEFRAME && w > 1)
        outline.adjust((w - 1) / 2, (w - 1) / 2, -(w - 1) / 2, -(w - 1) / 2);
    if (outline.width() < 0 || outline.height() < 0)
        outline = QRectF(d.center(), QSizeF(0, 0));
    const double rx = std::abs(cw) * scale / 2, ry = std::abs(ch) * scale / 2;
    // Without an outline the figure fills its whole bounds.
    fillDevicePath(shape(w > 0 ? outline : d, rx, ry), m_state.brush, Qt::WindingFill);
    if (w > 0)
        strokeDevicePath(shape(outline, rx, ry), true);
}

void PdfPageCanvas::rectangle(const gdi::Rect &r) { closedFigure(r, kRect, 0, 0); }

void PdfPageCanvas::roundRect(const gdi::Rect &r, qint32 cornerWidth, qint32 cornerHeight)
{
    closedFigure(r, kRound, cornerWidth, cornerHeight);
}

void PdfPageCanvas::ellipse(const gdi::Rect &r) { closedFigure(r, kEllipse, 0, 0); }

void PdfPageCanvas::polygon(std::span<const gdi::Point> points)
{
    if (points.size() < 2)
        return;
    QPolygonF poly;
    for (const gdi::Point &p : points)
        poly << toDevice(p.x, p.y) + QPointF(0.5, 0.5);
    poly << poly.front();
    QPainterPath path;
    path.addPolygon(poly);
    fillDevicePath(path, m_state.brush, m_state.polyFillMode == gdi::WINDING ? Qt::WindingFill : Qt::OddEvenFill);
    strokeDevicePath(path, true);
}

void PdfPageCanvas::polyPolygon(std::span<const std::vector<gdi::Point>> polygons)
{
    QPainterPath all;
    for (const auto &figure : polygons) {
        if (figure.size() < 2)
            continue;
        QPolygonF poly;
        for (const gdi::Point &p : figure)
            poly << toDevice(p.x, p.y) + QPointF(0.5, 0.5);
        poly << poly.front();
        all.addPolygon(poly);
    }
    fillDevicePath(all, m_state.brush, m_state.polyFillMode == gdi::WINDING ? Qt::WindingFill : Qt::OddEvenFill);
    strokeDevicePath(all, true);
}

void PdfPageCanvas::drawPath(const QPainterPath &path, bool fill, bool stroke)
{
    const QPainterPath device = toDevicePath(path);
    // Filling closes every figure, in PDF as here.
    if (fill)
        fillDevicePath(device, m_state.brush, path.fillRule());
    if (stroke)
        strokeDevicePath(device.translated(0.5, 0.5), false);
}

void PdfPageCanvas::fillRect(const gdi::Rect &r, const gdi::LogBrush &brush)
{
    const QRectF lr = QRectF(QPointF(r.left, r.top), QPointF(r.right, r.bottom)).normalized();
    if (lr.isEmpty())
        return;
    fillDevicePath(toDevicePath(rectPath(lr)), brush, Qt::WindingFill);
}

void PdfPageCanvas::patBlt(const gdi::Rect &r, quint32 rop)
{
    // Inverting what is on the page has no counterpart here.
    if (rop == gdi::PATINVERT || rop == gdi::DSTINVERT)
        return;
    Canvas::patBlt(r, rop);
}

// --- text ----------------------------------------------------------------------------

gdi::Size PdfPageCanvas::textExtent(const QString &text)
{
    const auto font = fonts::resolve(m_state.font);
    return {qint32(std::lround(font->advanceWidth(text))), font->textMetric().height};
}

gdi::TextMetric PdfPageCanvas::textMetrics() { return fonts::resolve(m_state.font)->textMetric(); }

void PdfPageCanvas::extTextOut(qint32 x, qint32 y, quint32 options, const gdi::Rect *rect, const QString &text,
                               const std::vector<qint32> *dx)
{
    Q_UNUSED(dx); // the text is laid out again in its font, as the recorder measured it
    const auto font = fonts::resolve(m_state.font);
    const bool updateCp = m_state.textAlign & gdi::TA_UPDATECP;
    if (updateCp) {
        x = m_state.position.x;
        y = m_state.position.y;
    }
    const double width = font->advanceWidth(text);
    if (rect && (options & gdi::ETO_OPAQUE)) {
        const gdi::LogBrush bk{gdi::BS_SOLID, m_state.bkColor, 0};
        fillRect(*rect, bk);
    }
    if (!text.isEmpty()) {
        syncClip();
        out(pdfop::line(Op::Save));
        if (rect && (options & gdi::ETO_CLIPPED)) {
            out(pathOperators(toDevicePath(rectPath(
                QRectF(QPointF(rect->left, rect->top), QPointF(rect->right, rect->bottom)).normalized()))));
            out(pdfop::line(Op::Clip));
            out(pdfop::line(Op::EndPath));
        }
        // The text is written in a frame of its own: logical units from the
        // reference point along the baseline's direction and upwards, which
        // the matrix takes onto the page.
        const double angle = m_state.font.escapement / 10.0 * M_PI / 180.0;
        const double c = std::cos(angle), s = std::sin(angle);
        const QTransform local(c, -s, -s, -c, x, y);
        const QTransform toPage = local * m_state.transform * QTransform(m_sx, 0, 0, -m_sy, 0, m_pageHeight);
        out(matrixLine(toPage));
        double xoff = 0;
        switch (m_state.textAlign & gdi::TA_HORZ_MASK) {
        case gdi::TA_RIGHT:
            xoff = -width;
            break;
        case gdi::TA_CENTER:
            xoff = -width / 2;
            break;
        default:
            break;
        }
        const double ascent = font->ascent(), descent = font->descent();
        double lineTop = 0; // how far the top of the cell lies below the reference point
        switch (m_state.textAlign & gdi::TA_VERT_MASK) {
        case gdi::TA_BASELINE:
            lineTop = -ascent;
            break;
        case gdi::TA_BOTTOM:
            lineTop = -(ascent + descent);
            break;
        default:
            break;
        }
        auto localRect = [&](double left, double top, double w, double h) {
            return pdfop::line(Op::Rectangle, {compact(left, 2), compact(top - h, 2), compact(w, 2), compact(h, 2)});
        };
        if (m_state.bkMode == gdi::OPAQUE && !(rect && (options & gdi::ETO_OPAQUE))) {
            out(colorOperands(m_state.bkColor, Op::FillColor));
            out(localRect(xoff, -lineTop, width, ascent + descent));
            out(pdfop::line(Op::Fill));
        }
        const double baseline = -(lineTop + ascent);
        if (options & gdi::ETO_GLYPH_INDEX) {
            // Glyph numbers name no characters: their outlines.
            const fonts::TextLayout layout = font->layoutGlyphs(text);
            const QColor ink(gdi::redOf(m_state.textColor), gdi::greenOf(m_state.textColor), gdi::blueOf(m_state.textColor));
            for (const fonts::GlyphRun &run : layout.runs)
                for (qsizetype g = 0; g < run.glyphs.size(); ++g) {
                    const QPointF pos = run.positions[g];
                    m_doc.writeGlyphOutline(run.rawFont.pathForGlyph(run.glyphs[g]),
                                            QTransform::fromTranslate(pos.x(), pos.y()) *
                                                QTransform(font->horizontalScale(), 0, 0, -1, xoff, baseline),
                                            ink);
                }
        } else {
            PDFItemRec item;
            item.itemType = IT_TEXT;
            item.logFont = m_state.font;
            item.logFont.escapement = item.logFont.orientation = 0;
            item.text = text;
            item.xPos = xoff;
            item.lineTop = lineTop;
            item.fillColor = RGBColor::of(m_state.textColor);
            // The document's text writer measures in this frame: one unit a
            // logical unit, upwards from the baseline.
            const auto scale = m_doc.m_scale;
            const double pageHeight = m_doc.m_pageHeight;
            m_doc.m_scale.sx = m_doc.m_scale.sy = 1;
            m_doc.m_pageHeight = 0;
            m_doc.writeUnicodeText(item);
            m_doc.m_scale = scale;
            m_doc.m_pageHeight = pageHeight;
            // Its text lines go where the text stands in the drawing.
            QByteArray &textLines = m_doc.page().text;
            if (!textLines.isEmpty()) {
                out(pdfop::line(Op::BeginText));
                textLines.chop(2);
                out(textLines);
                out(pdfop::line(Op::EndText));
                textLines.clear();
            }
        }
        const gdi::LogFont &lf = m_state.font;
        if (lf.underline || lf.strikeOut) {
            out(colorOperands(m_state.textColor, Op::FillColor));
            const double t = std::max(font->lineThickness(), 1.0);
            if (lf.underline)
                out(localRect(xoff, baseline - font->underlineOffset() + t / 2, width, t));
            if (lf.strikeOut)
                out(localRect(xoff, baseline - font->strikeOutOffset() + t / 2, width, t));
            out(pdfop::line(Op::Fill));
        }
        out(pdfop::line(Op::Restore));
    }
    if (updateCp)
        advanceTextPosition(x, y, width, m_state.font.escapement);
}

// --- pictures ------------------------------------------------------------------------

void PdfPageCanvas::drawPicture(const QRectF &logical, bool mirrorX, bool mirrorY, const QImage &picture)
{
    if (picture.isNull() || logical.isEmpty())
        return;
    syncClip();
    const int index = m_doc.m_images.add(picture);
    // The image's unit square: its first row at the top of the rectangle.
    const double l = mirrorX ? logical.right() : logical.left(), r = mirrorX ? logical.left() : logical.right();
    const double t = mirrorY ? logical.bottom() : logical.top(), b = mirrorY ? logical.top() : logical.bottom();
    const QTransform toPage = m_state.transform * QTransform(m_sx, 0, 0, -m_sy, 0, m_pageHeight);
    const QPointF o = toPage.map(QPointF(l, b)), u = toPage.map(QPointF(r, b)) - o, v = toPage.map(QPointF(l, t)) - o;
    out(pdfop::line(Op::Save));
    out(matrixLine(QTransform(u.x(), u.y(), v.x(), v.y(), o.x(), o.y())));
    out(pdfop::line(Op::PaintXObject, {'/' + PdfImages::resourceName(index)}));
    out(pdfop::line(Op::Restore));
}

void PdfPageCanvas::stretchDIBits(const gdi::Rect &dest, const gdi::Rect &src, const QImage &image, quint32 rop)
{
    Q_UNUSED(rop); // raster operations draw as a copy
    if (image.isNull())
        return;
    const bool mirrorX = (src.right < src.left) != (dest.right < dest.left);
    const bool mirrorY = (src.bottom < src.top) != (dest.bottom < dest.top);
    const QRectF s = QRectF(QPointF(src.left, src.top), QPointF(src.right, src.bottom)).normalized();
    const QRectF d = QRectF(QPointF(dest.left, dest.top), QPointF(dest.right, dest.bottom)).normalized();
    if (s.isEmpty() || d.isEmpty())
        return;
    // The part of the source on the picture, and where that part goes.
    const QRectF on = s.intersected(QRectF(0, 0, image.width(), image.height()));
    if (on.isEmpty())
        return;
    const double fx = d.width() / s.width(), fy = d.height() / s.height();
    QRectF to(d.left() + (mirrorX ? s.right() - on.right() : on.left() - s.left()) * fx,
              d.top() + (mirrorY ? s.bottom() - on.bottom() : on.top() - s.top()) * fy, on.width() * fx,
              on.height() * fy);
    const QImage part = image.copy(on.toAlignedRect());
    // A bitmap of a device has no transparency.
    drawPicture(to, mirrorX, mirrorY, part.hasAlphaChannel() ? part.convertToFormat(QImage::Format_RGB32) : part);
}

void PdfPageCanvas::alphaBlend(const gdi::Rect &dest, const gdi::Rect &src, const QImage &image, quint8 constantAlpha)
{
    if (constantAlpha == 0 || image.isNull())
        return;
    QImage blended = image.convertToFormat(QImage::Format_ARGB32);
    if (constantAlpha != 255) {
        for (int y = 0; y < blended.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(blended.scanLine(y));
            for (int x = 0; x < blended.width(); ++x)
                line[x] = qRgba(qRed(line[x]), qGreen(line[x]), qBlue(line[x]), qAlpha(line[x]) * constantAlpha / 255);
        }
    }
    const bool mirrorX = (src.right < src.left) != (dest.right < dest.left);
    const bool mirrorY = (src.bottom < src.top) != (dest.bottom < dest.top);
    const QRectF s = QRectF(QPointF(src.left, src.top), QPointF(src.right, src.bottom)).normalized();
    const QRectF d = QRectF(QPointF(dest.left, dest.top), QPointF(dest.right, dest.bottom)).normalized();
    const QRect on = s.intersected(QRectF(0, 0, image.width(), image.height())).toAlignedRect();
    if (on.isEmpty() || d.isEmpty())
        return;
    drawPicture(d, mirrorX, mirrorY, blended.copy(on));
}
