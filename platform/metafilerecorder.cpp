// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/metafilerecorder.h"

#include "platform/emf/emfcodec.h"
#include "platform/emf/emfdib.h"
#include "platform/emf/emfregion.h"
#include "platform/regionunion.h"
#include "platform/emf/emfstrings.h"
#include "platform/fonts.h"
#include "platform/rperror.h"
#include "platform/screen.h"
#include "platform/units.h"

#include <QRegion>

#include <cmath>

using namespace emf;

namespace {
enum : quint32 {
    STOCK = 0x80000000,
    WHITE_BRUSH = STOCK | 0,
    NULL_BRUSH = STOCK | 5,
    BLACK_PEN = STOCK | 7,
    NULL_PEN = STOCK | 8,
    SYSTEM_FONT = STOCK | 13,
};
enum : quint32 { GM_COMPATIBLE = 1, GM_ADVANCED = 2, DIB_RGB_COLORS = 0, AC_SRC_ALPHA = 1, BS_DIBPATTERNPT = 6 };

qint32 roundi(qreal v) { return qint32(std::clamp<qreal>(std::round(v), -2147483647.0, 2147483647.0)); }

XForm toXForm(const QTransform &t)
{
    return {float(t.m11()), float(t.m12()), float(t.m21()), float(t.m22()), float(t.dx()), float(t.dy())};
}
} // namespace

MetafileRecorder::MetafileRecorder(int width, int height, const QString &description, int dpi)
    : m_width(std::max(width, 1)), m_height(std::max(height, 1)), m_description(description),
      m_dpi(dpi > 0 ? dpi : units::screenPixelsPerInch()), m_used(1, true)
{
}

MetafileRecorder::~MetafileRecorder() = default;

int MetafileRecorder::deviceCaps(int index) const
{
    switch (index) {
    case gdi::LOGPIXELSX:
    case gdi::LOGPIXELSY:
        return m_dpi;
    case gdi::HORZRES:
        return m_width;
    case gdi::VERTRES:
        return m_height;
    case gdi::HORZSIZE:
        return roundi(m_width * 25.4 / m_dpi);
    case gdi::VERTSIZE:
        return roundi(m_height * 25.4 / m_dpi);
    case gdi::BITSPIXEL:
        return screenColorDepth();
    case gdi::PLANES:
        return 1;
    default:
        return 0;
    }
}

// --- records and object slots ---------------------------------------------------

void MetafileRecorder::checkOpen() const
{
    if (m_finished)
        throw RpError(RpErrorKind::Internal, strings::recorderFinished());
}

void MetafileRecorder::write(const Record &r)
{
    checkOpen();
    m_body.append(encode(r));
    ++m_recordCount;
}

quint32 MetafileRecorder::allocate()
{
    for (quint32 i = 1; i < m_used.size(); ++i) {
        if (!m_used[i]) {
            m_used[i] = true;
            return i;
        }
    }
    m_used.push_back(true);
    const auto index = quint32(m_used.size() - 1);
    m_maxIndex = std::max(m_maxIndex, index);
    return index;
}

bool MetafileRecorder::heldBySavedState(quint32 index) const
{
    for (const Handles &h : m_savedHandles)
        if (h.pen == index || h.brush == index || h.font == index)
            return true;
    return false;
}

void MetafileRecorder::release(quint32 index)
{
    if (index == 0 || index >= m_used.size() || !m_used[index])
        return;
    if (index == m_current.pen || index == m_current.brush || index == m_current.font || heldBySavedState(index))
        return;
    write(EMR_DELETEOBJECT{index});
    m_used[index] = false;
}

void MetafileRecorder::selectPen()
{
    const gdi::LogPen &pen = m_state.pen;
    const gdi::LogBrush &penBrush = m_state.penBrush;
    const QImage &penPattern = m_state.penPattern;
    const bool solid = penBrush.style == gdi::BS_SOLID;
    if (pen == m_recPen && m_state.penStyle == m_recPenStyle &&
        (solid ? m_recPenBrush.style == gdi::BS_SOLID : penBrush == m_recPenBrush && penPattern == m_recPenPattern))
        return;
    checkOpen();
    const quint32 old = m_current.pen;
    const bool user = (pen.style & gdi::PS_STYLE_MASK) == gdi::PS_USERSTYLE;
    if ((pen.style & gdi::PS_STYLE_MASK) == gdi::PS_NULL || (pen == gdi::LogPen{} && !user && solid)) {
        write(EMR_SELECTOBJECT{(pen.style & gdi::PS_STYLE_MASK) == gdi::PS_NULL ? quint32(NULL_PEN) : quint32(BLACK_PEN)});
        m_current.pen = 0;
    } else {
        const quint32 index = allocate();
        const bool geometric = (pen.style & gdi::PS_TYPE_MASK) == gdi::PS_GEOMETRIC;
        if (geometric || user) {
            // Geometric pens (end caps, joins, a brush of their own) and dash
            // lengths of the pen's own need the extended form; a cosmetic pen
            // is one pixel wide.
            EMR_EXTCREATEPEN r;
            r.index = index;
            r.style = pen.style;
            r.width = geometric ? quint32(std::max(pen.width, 0)) : 1;
            r.brushStyle = gdi::BS_SOLID;
            r.color = pen.color;
            if (penBrush.style == gdi::BS_HATCHED) {
                r.brushStyle = gdi::BS_HATCHED;
                r.color = penBrush.color;
                r.hatch = penBrush.hatch;
            } else if (!solid) {
                // The colour field of a DIB pattern tells how its colour
                // table is read.
                const bool mono = penBrush.style == gdi::BS_PATTERN;
                r.brushStyle = mono ? quint32(gdi::BS_PATTERN) : quint32(BS_DIBPATTERNPT);
                r.color = mono ? pen.color : quint32(DIB_RGB_COLORS);
                r.dib = mono ? monoImageToDib(penPattern) : imageToDib(penPattern);
            }
            if (user)
                r.styleEntries = m_state.penStyle;
            write(r);
        } else {
            // Caps and joins mean nothing to a cosmetic pen.
            write(EMR_CREATEPEN{index, pen.style & gdi::PS_STYLE_MASK, {pen.width, 0}, pen.color});
        }
        write(EMR_SELECTOBJECT{index});
        m_current.pen = index;
    }
    release(old);
    m_recPen = pen;
    m_recPenStyle = m_state.penStyle;
    m_recPenBrush = penBrush;
    m_recPenPattern = penPattern;
}

void MetafileRecorder::selectBrush()
{
    const gdi::LogBrush &brush = m_state.brush;
    const QImage &pattern = m_state.brushPattern;
    if (brush == m_recBrush && pattern == m_recBrushPattern)
        return;
    checkOpen();
    const quint32 old = m_current.brush;
    if (!pattern.isNull()) {
        const quint32 index = allocate();
        if (brush.style == gdi::BS_PATTERN)
            write(EMR_CREATEMONOBRUSH{index, DIB_RGB_COLORS, monoImageToDib(pattern)});
        else
            write(EMR_CREATEDIBPATTERNBRUSHPT{index, DIB_RGB_COLORS, imageToDib(pattern)});
        write(EMR_SELECTOBJECT{index});
        m_current.brush = index;
    } else if (brush.style == gdi::BS_NULL || brush == gdi::LogBrush{}) {
        write(EMR_SELECTOBJECT{brush.style == gdi::BS_NULL ? quint32(NULL_BRUSH) : quint32(WHITE_BRUSH)});
        m_current.brush = 0;
    } else {
        const quint32 index = allocate();
        const quint32 style = brush.style == gdi::BS_HATCHED ? quint32(gdi::BS_HATCHED) : quint32(gdi::BS_SOLID);
        write(EMR_CREATEBRUSHINDIRECT{index, style, brush.color, style == gdi::BS_HATCHED ? brush.hatch : 0});
        write(EMR_SELECTOBJECT{index});
        m_current.brush = index;
    }
    release(old);
    m_recBrush = brush;
    m_recBrushPattern = pattern;
}

void MetafileRecorder::selectFont()
{
    const gdi::LogFont &font = m_state.font;
    if (font == m_recFont)
        return;
    checkOpen();
    const quint32 old = m_current.font;
    if (font == gdi::LogFont{}) {
        write(EMR_SELECTOBJECT{SYSTEM_FONT});
        m_current.font = 0;
    } else {
        const quint32 index = allocate();
        EMR_EXTCREATEFONTINDIRECTW r;
        r.index = index;
        r.font.font = font;
        write(r);
        write(EMR_SELECTOBJECT{index});
        m_current.font = index;
    }
    release(old);
    m_recFont = font;
}

// --- state ----------------------------------------------------------------------

void MetafileRecorder::setPen(const gdi::LogPen &pen)
{
    Canvas::setPen(pen);
    selectPen();
}

void MetafileRecorder::setExtPen(const gdi::LogPen &pen, std::span<const quint32> styleEntries)
{
    Canvas::setExtPen(pen, styleEntries);
    selectPen();
}

void MetafileRecorder::setPenBrush(const gdi::LogBrush &brush, const QImage &pattern)
{
    Canvas::setPenBrush(brush, pattern);
    selectPen();
}

void MetafileRecorder::setBrush(const gdi::LogBrush &brush)
{
    Canvas::setBrush(brush);
    selectBrush();
}

void MetafileRecorder::setPatternBrush(const QImage &tile)
{
    Canvas::setPatternBrush(tile);
    selectBrush();
}

void MetafileRecorder::setPolyFillMode(qint32 mode)
{
    Canvas::setPolyFillMode(mode);
    syncFillMode(m_state.polyFillMode);
}

void MetafileRecorder::syncFillMode(qint32 mode)
{
    if (mode != m_recFillMode) {
        write(EMR_SETPOLYFILLMODE{quint32(mode)});
        m_recFillMode = mode;
    }
}

void MetafileRecorder::setMiterLimit(float limit)
{
    Canvas::setMiterLimit(limit);
    // Stored as a whole number, as the graphics interface writes it.
    const float whole = std::round(m_state.miterLimit);
    if (whole != m_recMiterLimit) {
        write(EMR_SETMITERLIMIT{quint32(whole)});
        m_recMiterLimit = whole;
    }
}

void MetafileRecorder::setFont(const gdi::LogFont &font)
{
    Canvas::setFont(font);
    selectFont();
}

void MetafileRecorder::setTextColor(gdi::ColorRef color)
{
    Canvas::setTextColor(color);
    if (color != m_recTextColor) {
        write(EMR_SETTEXTCOLOR{color});
        m_recTextColor = color;
    }
}

void MetafileRecorder::setBkColor(gdi::ColorRef color)
{
    Canvas::setBkColor(color);
    if (color != m_recBkColor) {
        write(EMR_SETBKCOLOR{color});
        m_recBkColor = color;
    }
}

void MetafileRecorder::setBkMode(qint32 mode)
{
    Canvas::setBkMode(mode);
    if (mode != m_recBkMode) {
        write(EMR_SETBKMODE{quint32(mode)});
        m_recBkMode = mode;
    }
}

void MetafileRecorder::setTextAlign(quint32 align)
{
    Canvas::setTextAlign(align);
    if (align != m_recTextAlign) {
        write(EMR_SETTEXTALIGN{align});
        m_recTextAlign = align;
    }
}

void MetafileRecorder::setStretchBltMode(qint32 mode)
{
    Canvas::setStretchBltMode(mode);
    if (mode != m_recStretchMode) {
        write(EMR_SETSTRETCHBLTMODE{quint32(mode)});
        m_recStretchMode = mode;
    }
}

void MetafileRecorder::setRop2(qint32 mode)
{
    Canvas::setRop2(mode);
    if (m_state.rop2 != m_recRop2) {
        write(EMR_SETROP2{quint32(m_state.rop2)});
        m_recRop2 = m_state.rop2;
    }
}

void MetafileRecorder::setTransform(const QTransform &t)
{
    Canvas::setTransform(t);
    if (t == m_recTransform)
        return;
    if (t.isIdentity())
        write(EMR_MODIFYWORLDTRANSFORM{XForm{}, MWT_IDENTITY});
    else
        write(EMR_SETWORLDTRANSFORM{toXForm(t)});
    m_recTransform = t;
}

int MetafileRecorder::saveDC()
{
    write(EMR_SAVEDC{});
    m_savedHandles.push_back(m_current);
    m_savedRecorded.push_back({m_recPen, m_recPenStyle, m_recPenBrush, m_recPenPattern, m_recBrush, m_recBrushPattern,
                               m_recFillMode, m_recMiterLimit, m_recFont, m_recTextColor, m_recBkColor, m_recBkMode,
                               m_recTextAlign, m_recStretchMode, m_recRop2, m_recTransform});
    return Canvas::saveDC();
}

bool MetafileRecorder::restoreDC(int n)
{
    checkOpen();
    const int depth = int(m_saved.size());
    const int target = n < 0 ? depth + n : n - 1;
    if (!Canvas::restoreDC(n))
        return false;
    write(EMR_RESTOREDC{qint32(target - depth)}); // always relative
    // The device context selects the saved objects again; those that only
    // the dropped levels and the current state held are deleted.
    std::vector<quint32> dropped{m_current.pen, m_current.brush, m_current.font};
    for (size_t i = size_t(target) + 1; i < m_savedHandles.size(); ++i)
        dropped.insert(dropped.end(), {m_savedHandles[i].pen, m_savedHandles[i].brush, m_savedHandles[i].font});
    m_current = m_savedHandles[size_t(target)];
    const Recorded &r = m_savedRecorded[size_t(target)];
    m_recPen = r.pen;
    m_recPenStyle = r.penStyle;
    m_recPenBrush = r.penBrush;
    m_recPenPattern = r.penPattern;
    m_recBrush = r.brush;
    m_recBrushPattern = r.brushPattern;
    m_recFillMode = r.fillMode;
    m_recMiterLimit = r.miterLimit;
    m_recFont = r.font;
    m_recTextColor = r.textColor;
    m_recBkColor = r.bkColor;
    m_recBkMode = r.bkMode;
    m_recTextAlign = r.textAlign;
    m_recStretchMode = r.stretchMode;
    m_recRop2 = r.rop2;
    m_recTransform = r.transform;
    m_savedHandles.resize(size_t(target));
    m_savedRecorded.resize(size_t(target));
    for (quint32 index : dropped)
        release(index);
    return true;
}

// --- bounds -----------------------------------------------------------------------

gdi::Rect MetafileRecorder::deviceBounds(const QRectF &logical, qreal grow) const
{
    const QRectF d = m_state.transform.mapRect(logical.normalized()).adjusted(-grow, -grow, grow, grow);
    // Inclusive pixels: the right and bottom edges of a figure are not drawn.
    const auto l = qint32(std::floor(std::clamp<qreal>(d.left(), -2e9, 2e9)));
    const auto t = qint32(std::floor(std::clamp<qreal>(d.top(), -2e9, 2e9)));
    const auto r = qint32(std::ceil(std::clamp<qreal>(d.right(), -2e9, 2e9))) - 1;
    const auto b = qint32(std::ceil(std::clamp<qreal>(d.bottom(), -2e9, 2e9))) - 1;
    return {l, t, std::max(l, r), std::max(t, b)};
}

void MetafileRecorder::include(const QRectF &logical, qreal grow)
{
    const gdi::Rect b = deviceBounds(logical, grow);
    if (!m_hasBounds) {
        m_bounds = b;
        m_hasBounds = true;
        return;
    }
    m_bounds = {std::min(m_bounds.left, b.left), std::min(m_bounds.top, b.top), std::max(m_bounds.right, b.right),
                std::max(m_bounds.bottom, b.bottom)};
}

qreal MetafileRecorder::penGrow() const
{
    if ((m_state.pen.style & gdi::PS_STYLE_MASK) == gdi::PS_NULL)
        return 0;
    const qreal scale = std::sqrt(std::abs(m_state.transform.determinant()));
    return std::max<qreal>(1, m_state.pen.width * scale / 2 + 1);
}

QRectF MetafileRecorder::pointsRect(std::span<const gdi::Point> points) const
{
    if (points.empty())
        return {};
    qint64 l = points[0].x, r = l, t = points[0].y, b = t;
    for (const auto &p : points) {
        l = std::min<qint64>(l, p.x);
        r = std::max<qint64>(r, p.x);
        t = std::min<qint64>(t, p.y);
        b = std::max<qint64>(b, p.y);
    }
    return QRectF(QPointF(l, t), QPointF(r, b));
}

bool MetafileRecorder::fits16(std::span<const gdi::Point> points)
{
    for (const auto &p : points)
        if (p.x < -32768 || p.x > 32767 || p.y < -32768 || p.y > 32767)
            return false;
    return true;
}

// --- drawing -----------------------------------------------------------------------

void MetafileRecorder::moveTo(qint32 x, qint32 y)
{
    write(EMR_MOVETOEX{{x, y}});
    Canvas::moveTo(x, y);
}

void MetafileRecorder::lineTo(qint32 x, qint32 y)
{
    const gdi::Point from = m_state.position;
    include(QRectF(QPointF(from.x, from.y), QPointF(x, y)), penGrow());
    write(EMR_LINETO{{x, y}});
    Canvas::moveTo(x, y);
}

void MetafileRecorder::polyline(std::span<const gdi::Point> points)
{
    const QRectF r = pointsRect(points);
    include(r, penGrow());
    const gdi::Rect b = deviceBounds(r, penGrow());
    std::vector<gdi::Point> pts(points.begin(), points.end());
    if (fits16(points))
        write(EMR_POLYLINE16{b, {pts}});
    else
        write(EMR_POLYLINE{b, {pts}});
}

void MetafileRecorder::polygon(std::span<const gdi::Point> points)
{
    const QRectF r = pointsRect(points);
    include(r, penGrow());
    const gdi::Rect b = deviceBounds(r, penGrow());
    std::vector<gdi::Point> pts(points.begin(), points.end());
    if (fits16(points))
        write(EMR_POLYGON16{b, {pts}});
    else
        write(EMR_POLYGON{b, {pts}});
}

void MetafileRecorder::rectangle(const gdi::Rect &r)
{
    include(QRectF(QPointF(r.left, r.top), QPointF(r.right, r.bottom)));
    write(EMR_RECTANGLE{r});
}

void MetafileRecorder::roundRect(const gdi::Rect &r, qint32 cornerWidth, qint32 cornerHeight)
{
    include(QRectF(QPointF(r.left, r.top), QPointF(r.right, r.bottom)));
    write(EMR_ROUNDRECT{r, {cornerWidth, cornerHeight}});
}

void MetafileRecorder::ellipse(const gdi::Rect &r)
{
    include(QRectF(QPointF(r.left, r.top), QPointF(r.right, r.bottom)));
    write(EMR_ELLIPSE{r});
}

void MetafileRecorder::fillRect(const gdi::Rect &r, const gdi::LogBrush &brush)
{
    if (brush.style == gdi::BS_NULL || r.isEmpty())
        return;
    checkOpen();
    if ((brush.style == gdi::BS_PATTERN || brush.style == gdi::BS_DIBPATTERN) && !m_state.brushPattern.isNull()) {
        // The selected pattern brush fills.
        patBlt(r, gdi::PATCOPY);
        return;
    }
    // FillRect is a pattern copy with a brush of its own, as a device
    // context records it.
    const quint32 index = allocate();
    const quint32 style = brush.style == gdi::BS_HATCHED ? quint32(gdi::BS_HATCHED) : quint32(gdi::BS_SOLID);
    write(EMR_CREATEBRUSHINDIRECT{index, style, brush.color, style == gdi::BS_HATCHED ? brush.hatch : 0});
    write(EMR_SELECTOBJECT{index});
    const QRectF lr(QPointF(r.left, r.top), QPointF(r.right, r.bottom));
    include(lr);
    EMR_BITBLT b;
    b.bounds = deviceBounds(lr);
    b.xDest = r.left;
    b.yDest = r.top;
    b.cxDest = r.width();
    b.cyDest = r.height();
    b.rop = gdi::PATCOPY;
    write(b);
    const quint32 current = m_current.brush ? m_current.brush
                                            : (m_recBrush.style == gdi::BS_NULL ? quint32(NULL_BRUSH) : quint32(WHITE_BRUSH));
    write(EMR_SELECTOBJECT{current});
    write(EMR_DELETEOBJECT{index});
    m_used[index] = false;
}

void MetafileRecorder::polyPolygon(std::span<const std::vector<gdi::Point>> polygons)
{
    checkOpen();
    std::vector<gdi::Point> all;
    for (const auto &p : polygons)
        all.insert(all.end(), p.begin(), p.end());
    if (all.empty())
        return;
    const QRectF r = pointsRect(all);
    include(r, penGrow());
    const gdi::Rect b = deviceBounds(r, penGrow());
    std::vector<std::vector<gdi::Point>> polys(polygons.begin(), polygons.end());
    if (fits16(all))
        write(EMR_POLYPOLYGON16{b, {polys}});
    else
        write(EMR_POLYPOLYGON{b, {polys}});
}

// The path's figures between BEGINPATH and ENDPATH, in whole logical units.
void MetafileRecorder::writePath(const QPainterPath &path)
{
    write(EMR_BEGINPATH{});
    std::vector<gdi::Point> run;
    bool curves = false;
    auto flush = [&] {
        if (run.empty())
            return;
        if (curves)
            fits16(run) ? write(EMR_POLYBEZIERTO16{{}, {run}}) : write(EMR_POLYBEZIERTO{{}, {run}});
        else
            fits16(run) ? write(EMR_POLYLINETO16{{}, {run}}) : write(EMR_POLYLINETO{{}, {run}});
        run.clear();
    };
    auto pt = [](const QPointF &p) {
        return gdi::Point{roundi(std::isfinite(p.x()) ? p.x() : 0), roundi(std::isfinite(p.y()) ? p.y() : 0)};
    };
    gdi::Point start, last;
    bool drawn = false; // the figure has lines or curves
    auto endFigure = [&] {
        flush();
        // A figure back at its start is a closed one.
        if (drawn && last == start)
            write(EMR_CLOSEFIGURE{});
    };
    bool figure = false;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.type == QPainterPath::MoveToElement) {
            if (figure)
                endFigure();
            start = last = pt(e);
            write(EMR_MOVETOEX{start});
            figure = true;
            drawn = false;
        } else if (e.type == QPainterPath::LineToElement) {
            if (curves)
                flush();
            curves = false;
            last = pt(e);
            run.push_back(last);
            drawn = true;
        } else if (e.type == QPainterPath::CurveToElement && i + 2 < path.elementCount()) {
            if (!curves)
                flush();
            curves = true;
            run.push_back(pt(e));
            run.push_back(pt(path.elementAt(i + 1)));
            last = pt(path.elementAt(i + 2));
            run.push_back(last);
            drawn = true;
            i += 2;
        }
    }
    if (figure)
        endFigure();
    write(EMR_ENDPATH{});
}

void MetafileRecorder::drawPath(const QPainterPath &path, bool fill, bool stroke)
{
    checkOpen();
    if (path.isEmpty() || (!fill && !stroke))
        return;
    const QRectF r = path.controlPointRect();
    include(r, stroke ? penGrow() : 0);
    writePath(path);
    const gdi::Rect b = deviceBounds(r, stroke ? penGrow() : 0);
    if (fill)
        syncFillMode(path.fillRule() == Qt::WindingFill ? gdi::WINDING : gdi::ALTERNATE);
    if (fill && stroke)
        write(EMR_STROKEANDFILLPATH{b});
    else if (fill)
        write(EMR_FILLPATH{b});
    else
        write(EMR_STROKEPATH{b});
    syncFillMode(m_state.polyFillMode);
    // The path moved the device context's position; the canvas's stays.
    write(EMR_MOVETOEX{m_state.position});
}

void MetafileRecorder::patBlt(const gdi::Rect &r, quint32 rop)
{
    checkOpen();
    if (r.isEmpty())
        return;
    const QRectF lr(QPointF(r.left, r.top), QPointF(r.right, r.bottom));
    include(lr);
    EMR_BITBLT b;
    b.bounds = deviceBounds(lr);
    b.xDest = r.left;
    b.yDest = r.top;
    b.cxDest = r.width();
    b.cyDest = r.height();
    b.rop = rop;
    write(b);
}

void MetafileRecorder::gradientFill(std::span<const gdi::TriVertex> vertices, std::span<const quint32> mesh,
                                   quint32 mode)
{
    checkOpen();
    const quint32 per = mode == gdi::GRADIENT_FILL_TRIANGLE ? 3 : 2;
    if (vertices.empty() || mesh.size() < per || mode > gdi::GRADIENT_FILL_TRIANGLE)
        return;
    std::vector<gdi::Point> corners;
    for (const gdi::TriVertex &v : vertices)
        corners.push_back({v.x, v.y});
    const QRectF r = pointsRect(corners);
    include(r);
    EMR_GRADIENTFILL g;
    g.bounds = deviceBounds(r);
    g.nVer = quint32(vertices.size());
    g.nTri = quint32(mesh.size() / per);
    g.mode = mode;
    g.vertices.assign(vertices.begin(), vertices.end());
    g.mesh.assign(mesh.begin(), mesh.begin() + qsizetype(g.nTri * per));
    write(g);
}

void MetafileRecorder::extTextOut(qint32 x, qint32 y, quint32 options, const gdi::Rect *rect, const QString &text,
                                  const std::vector<qint32> *dx)
{
    checkOpen();
    const auto font = fonts::resolve(m_state.font);
    const quint32 align = m_state.textAlign;
    const bool updateCp = align & gdi::TA_UPDATECP;
    if (updateCp) {
        x = m_state.position.x;
        y = m_state.position.y;
    }

    // Every character's advance is stored: the font's advances rounded along
    // the line, unless the caller gave its own.
    std::vector<qint32> advances;
    const bool glyphs = options & gdi::ETO_GLYPH_INDEX;
    if (dx && dx->size() == size_t(text.size())) {
        advances = *dx;
    } else {
        const fonts::TextLayout layout = glyphs ? font->layoutGlyphs(text) : font->layout(text);
        qreal acc = 0;
        qint64 prev = 0;
        for (qreal a : layout.advances) {
            acc += a;
            const qint64 next = std::llround(acc);
            advances.push_back(qint32(next - prev));
            prev = next;
        }
        advances.resize(size_t(text.size()), 0);
    }
    qint64 width = 0;
    for (qint32 a : advances)
        width += a;

    const gdi::TextMetric &tm = font->textMetric();
    qint64 left = x;
    switch (align & gdi::TA_HORZ_MASK) {
    case gdi::TA_RIGHT:
        left = x - width;
        break;
    case gdi::TA_CENTER:
        left = x - width / 2;
        break;
    default:
        break;
    }
    qint64 top = y;
    switch (align & gdi::TA_VERT_MASK) {
    case gdi::TA_BASELINE:
        top = y - tm.ascent;
        break;
    case gdi::TA_BOTTOM:
        top = y - tm.height;
        break;
    default:
        break;
    }
    const QRectF box(QPointF(left, top), QPointF(left + width, top + tm.height));
    const gdi::Rect textBox{qint32(left), qint32(top), qint32(left + width), qint32(top + tm.height)};

    QRectF drawn = box;
    if (rect && (options & gdi::ETO_OPAQUE))
        drawn = drawn.united(QRectF(QPointF(rect->left, rect->top), QPointF(rect->right, rect->bottom)));
    if (rect && (options & gdi::ETO_CLIPPED) && !(options & gdi::ETO_OPAQUE))
        drawn = drawn.intersected(QRectF(QPointF(rect->left, rect->top), QPointF(rect->right, rect->bottom)).normalized());
    if (font->logFont().escapement != 0) {
        // Rotated text: a square around the reference point covers it.
        const qreal reach = std::hypot(qreal(width), qreal(tm.height)) + 1;
        drawn = QRectF(x - reach, y - reach, 2 * reach, 2 * reach);
    }
    if (!text.isEmpty() || (rect && (options & gdi::ETO_OPAQUE)))
        include(drawn, 1);

    EMR_EXTTEXTOUTW r;
    r.bounds = deviceBounds(drawn, 1);
    r.graphicsMode = m_state.transform.isIdentity() ? GM_COMPATIBLE : GM_ADVANCED;
    r.exScale = r.eyScale = float(2540.0 / m_dpi / 100); // 0.01 mm per pixel, over 100
    r.text.reference = {x, y};
    r.text.options = options & (gdi::ETO_OPAQUE | gdi::ETO_CLIPPED | gdi::ETO_RTLREADING | gdi::ETO_GLYPH_INDEX);
    r.text.rect = rect ? *rect : textBox;
    r.text.chars = QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    r.text.dx = advances;
    write(r);

    if (updateCp)
        advanceTextPosition(x, y, double(width), font->logFont().escapement);
}

gdi::Size MetafileRecorder::textExtent(const QString &text)
{
    const auto font = fonts::resolve(m_state.font);
    return {roundi(font->advanceWidth(text)), font->textMetric().height};
}

gdi::TextMetric MetafileRecorder::textMetrics() { return fonts::resolve(m_state.font)->textMetric(); }

bool MetafileRecorder::bitmapPart(const gdi::Rect &dest, const gdi::Rect &src, const QImage &image, gdi::Rect *d,
                                  QImage *sub) const
{
    if (image.isNull())
        return false;
    const bool mirrorX = src.right < src.left, mirrorY = src.bottom < src.top;
    // The source's edges may lie anywhere in the 32-bit range: its extent
    // and its overlap with the picture are worked out in 64 bits.
    const qint64 sl0 = std::min(src.left, src.right), sr0 = std::max(src.left, src.right);
    const qint64 st0 = std::min(src.top, src.bottom), sb0 = std::max(src.top, src.bottom);
    const qint64 pl = std::max<qint64>(sl0, 0), pr = std::min<qint64>(sr0, image.width());
    const qint64 pt = std::max<qint64>(st0, 0), pb = std::min<qint64>(sb0, image.height());
    if (pl >= pr || pt >= pb || dest.width() == 0 || dest.height() == 0)
        return false;
    const QRect part(int(pl), int(pt), int(pr - pl), int(pb - pt));
    // A source partly outside the picture shrinks the destination with it.
    const qreal fx = qreal(dest.width()) / qreal(sr0 - sl0), fy = qreal(dest.height()) / qreal(sb0 - st0);
    const qreal sl = qreal(mirrorX ? sr0 - pr : pl - sl0);
    const qreal st = qreal(mirrorY ? sb0 - pb : pt - st0);
    *d = {roundi(dest.left + sl * fx), roundi(dest.top + st * fy), 0, 0};
    d->right = roundi(d->left + part.width() * fx);
    d->bottom = roundi(d->top + part.height() * fy);
    *sub = image.copy(part);
    if (mirrorX || mirrorY)
        *sub = sub->mirrored(mirrorX, mirrorY);
    return true;
}

void MetafileRecorder::stretchDIBits(const gdi::Rect &dest, const gdi::Rect &src, const QImage &image, quint32 rop)
{
    checkOpen();
    gdi::Rect d;
    QImage sub;
    if (!bitmapPart(dest, src, image, &d, &sub))
        return;
    const QRectF lr(QPointF(d.left, d.top), QPointF(d.right, d.bottom));
    include(lr);
    EMR_STRETCHDIBITS r;
    r.bounds = deviceBounds(lr);
    r.xDest = d.left;
    r.yDest = d.top;
    r.cxDest = d.width();
    r.cyDest = d.height();
    r.xSrc = 0;
    r.ySrc = 0;
    r.cxSrc = sub.width();
    r.cySrc = sub.height();
    r.dib = imageToDib(sub);
    r.usage = DIB_RGB_COLORS;
    r.rop = rop;
    write(r);
}

void MetafileRecorder::alphaBlend(const gdi::Rect &dest, const gdi::Rect &src, const QImage &image, quint8 constantAlpha)
{
    checkOpen();
    gdi::Rect d;
    QImage sub;
    if (constantAlpha == 0 || !bitmapPart(dest, src, image, &d, &sub))
        return;
    const bool alpha = sub.hasAlphaChannel();
    const QRectF lr(QPointF(d.left, d.top), QPointF(d.right, d.bottom));
    include(lr);
    EMR_ALPHABLEND r;
    r.bounds = deviceBounds(lr);
    r.xDest = d.left;
    r.yDest = d.top;
    r.cxDest = d.width();
    r.cyDest = d.height();
    // The blend function: source over, constant alpha, per-pixel alpha.
    r.rop = (quint32(constantAlpha) << 16) | (alpha ? quint32(AC_SRC_ALPHA) << 24 : 0);
    r.usageSrc = DIB_RGB_COLORS;
    r.dib = alpha ? imageToAlphaDib(sub) : imageToDib(sub);
    r.cxSrc = sub.width();
    r.cySrc = sub.height();
    write(r);
}

void MetafileRecorder::intersectClipRect(const gdi::Rect &r) { write(EMR_INTERSECTCLIPRECT{r}); }

void MetafileRecorder::selectClipRgnNone() { write(EMR_EXTSELECTCLIPRGN{0, gdi::RGN_COPY, {}}); }

void MetafileRecorder::excludeClipRect(const gdi::Rect &r) { write(EMR_EXCLUDECLIPRECT{r}); }

void MetafileRecorder::extSelectClipRects(std::span<const gdi::Rect> rects, quint32 mode)
{
    // A region is stored in device units: the rectangles through the
    // transform, as a device rounds them.
    std::vector<QRegion> parts;
    const QTransform &t = m_state.transform;
    const bool aligned = t.m12() == 0 && t.m21() == 0;
    auto lim = [](qreal v) { return roundi(std::clamp<qreal>(v, -(1 << 28), 1 << 28)); };
    for (const gdi::Rect &r : rects) {
        const QPointF a = t.map(QPointF(r.left, r.top)), b = t.map(QPointF(r.right, r.bottom));
        if (aligned) {
            const QPoint p(lim(std::min(a.x(), b.x())), lim(std::min(a.y(), b.y())));
            const QPoint q(lim(std::max(a.x(), b.x())), lim(std::max(a.y(), b.y())));
            if (q.x() > p.x() && q.y() > p.y())
                parts.push_back(QRect(p, q - QPoint(1, 1)));
        } else {
            QPolygon corners;
            for (const QPointF &c : {a, t.map(QPointF(r.right, r.top)), b, t.map(QPointF(r.left, r.bottom))})
                corners << QPoint(lim(c.x()), lim(c.y()));
            parts.push_back(QRegion(corners));
        }
    }
    const QRegion region = unitedRegion(std::move(parts));
    std::vector<gdi::Rect> device;
    for (const QRect &q : region)
        device.push_back({q.left(), q.top(), q.right() + 1, q.bottom() + 1});
    const QByteArray data = regionData(device);
    write(EMR_EXTSELECTCLIPRGN{quint32(data.size()), mode, {data}});
}

void MetafileRecorder::selectClipPath(const QPainterPath &path, quint32 mode)
{
    checkOpen();
    writePath(path);
    syncFillMode(path.fillRule() == Qt::WindingFill ? gdi::WINDING : gdi::ALTERNATE);
    write(EMR_SELECTCLIPPATH{mode});
    syncFillMode(m_state.polyFillMode);
    write(EMR_MOVETOEX{m_state.position});
}

void MetafileRecorder::offsetClipRgn(qint32 dx, qint32 dy) { write(EMR_OFFSETCLIPRGN{{dx, dy}}); }

void MetafileRecorder::setMetaRgn() { write(EMR_SETMETARGN{}); }

// --- finishing ----------------------------------------------------------------------

Metafile MetafileRecorder::finish()
{
    if (m_finished)
        return *m_finished;
    write(EMR_EOF{});

    const double dpi = m_dpi;
    EMR_HEADER h;
    h.bounds = m_hasBounds ? m_bounds : gdi::Rect{0, 0, -1, -1};
    h.frame = {0, 0, roundi(m_width * 2540.0 / dpi), roundi(m_height * 2540.0 / dpi)};
    h.records = m_recordCount + 1;
    h.handles = quint16(std::min<quint32>(m_maxIndex + 1, 0xffff));
    h.description = m_description.isEmpty() ? QString() : m_description + QChar(0);
    h.device = {m_width, m_height};
    h.millimeters = {std::max(roundi(m_width * 25.4 / dpi), 1), std::max(roundi(m_height * 25.4 / dpi), 1)};
    h.micrometers = {roundi(m_width * 25400.0 / dpi), roundi(m_height * 25400.0 / dpi)};
    h.bytes = 0;
    const qsizetype headerSize = encode(h).size();
    h.bytes = quint32(headerSize + m_body.size());
    QByteArray all = encode(h);
    all.append(m_body);
    m_body.clear();
    m_finished = Metafile::fromBytes(all);
    return *m_finished;
}
