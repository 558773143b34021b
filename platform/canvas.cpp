// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/canvas.h"

#include "platform/metafile.h"

#include <algorithm>
#include <cmath>

Canvas::Canvas() = default;
Canvas::~Canvas() = default;

namespace {

// The colour a picture averages to (grey for no picture).
gdi::ColorRef averageColor(const QImage &tile)
{
    if (tile.isNull())
        return gdi::rgb(128, 128, 128);
    const QImage one = tile.convertToFormat(QImage::Format_RGB32).scaled(1, 1, Qt::IgnoreAspectRatio,
                                                                         Qt::SmoothTransformation);
    const QRgb c = one.pixel(0, 0);
    return gdi::rgb(qRed(c), qGreen(c), qBlue(c));
}

} // namespace

void Canvas::setPen(const gdi::LogPen &pen)
{
    m_state.pen = pen;
    m_state.penStyle.clear();
    m_state.penBrush = {gdi::BS_SOLID, pen.color, 0};
    m_state.penPattern = QImage();
}

void Canvas::setExtPen(const gdi::LogPen &pen, std::span<const quint32> styleEntries)
{
    m_state.pen = pen;
    if ((pen.style & gdi::PS_STYLE_MASK) == gdi::PS_USERSTYLE)
        m_state.penStyle.assign(styleEntries.begin(), styleEntries.end());
    else
        m_state.penStyle.clear();
    m_state.penBrush = {gdi::BS_SOLID, pen.color, 0};
    m_state.penPattern = QImage();
}

void Canvas::setPenBrush(const gdi::LogBrush &brush, const QImage &pattern)
{
    // A cosmetic pen, a pattern brush without its picture and a brush of no
    // known style stroke solid.
    const bool picture = brush.style == gdi::BS_PATTERN || brush.style == gdi::BS_DIBPATTERN;
    const bool geometric = (m_state.pen.style & gdi::PS_TYPE_MASK) == gdi::PS_GEOMETRIC;
    if (geometric && (brush.style == gdi::BS_HATCHED || (picture && !pattern.isNull()))) {
        m_state.penBrush = brush;
        m_state.penPattern = picture ? pattern : QImage();
    } else {
        m_state.penBrush = {gdi::BS_SOLID, m_state.pen.color, 0};
        m_state.penPattern = QImage();
    }
}

void Canvas::setBrush(const gdi::LogBrush &brush)
{
    m_state.brush = brush;
    m_state.brushPattern = QImage();
}

void Canvas::setPatternBrush(const QImage &tile)
{
    const bool mono = tile.format() == QImage::Format_Mono || tile.format() == QImage::Format_MonoLSB;
    m_state.brush = {tile.isNull() ? quint32(gdi::BS_SOLID) : mono ? quint32(gdi::BS_PATTERN) : quint32(gdi::BS_DIBPATTERN),
                     averageColor(tile), 0};
    m_state.brushPattern = tile;
}

void Canvas::setPolyFillMode(qint32 mode)
{
    if (mode == gdi::ALTERNATE || mode == gdi::WINDING)
        m_state.polyFillMode = mode;
}

void Canvas::setMiterLimit(float limit)
{
    if (std::isfinite(limit) && limit >= 1)
        m_state.miterLimit = std::min(limit, 1e6f);
}

void Canvas::setFont(const gdi::LogFont &font) { m_state.font = font; }
void Canvas::setTextColor(gdi::ColorRef color) { m_state.textColor = color; }
void Canvas::setBkColor(gdi::ColorRef color) { m_state.bkColor = color; }
void Canvas::setBkMode(qint32 mode) { m_state.bkMode = mode; }
void Canvas::setTextAlign(quint32 align) { m_state.textAlign = align; }
void Canvas::setStretchBltMode(qint32 mode) { m_state.stretchBltMode = mode; }

void Canvas::setRop2(qint32 mode)
{
    // A mode out of range is refused and the old one stays.
    if (mode >= gdi::R2_BLACK && mode <= gdi::R2_WHITE)
        m_state.rop2 = mode;
}
void Canvas::setTransform(const QTransform &t) { m_state.transform = t; }
void Canvas::moveTo(qint32 x, qint32 y) { m_state.position = {x, y}; }

void Canvas::advanceTextPosition(qint32 x, qint32 y, double width, qint32 escapement)
{
    double move = 0;
    switch (m_state.textAlign & gdi::TA_HORZ_MASK) {
    case gdi::TA_RIGHT:
        move = -width;
        break;
    case gdi::TA_CENTER:
        break;
    default:
        move = width;
    }
    const double ang = -escapement / 10.0 * M_PI / 180.0;
    m_state.position = {qint32(x + std::lround(move * std::cos(ang))), qint32(y + std::lround(move * std::sin(ang)))};
}

// --- what a canvas without these capabilities draws instead -------------------

void Canvas::polyPolygon(std::span<const std::vector<gdi::Point>> polygons)
{
    std::vector<const std::vector<gdi::Point> *> figs;
    for (const auto &p : polygons)
        if (p.size() >= 2)
            figs.push_back(&p);
    if (figs.empty())
        return;
    if (figs.size() == 1) {
        polygon(*figs[0]);
        return;
    }
    // The figures as one polygon joined through seams that cover no area
    // (each seam is walked there and back), so holes stay holes.
    const gdi::LogPen pen = m_state.pen;
    const std::vector<quint32> penStyle = m_state.penStyle;
    if (m_state.brush.style != gdi::BS_NULL) {
        std::vector<gdi::Point> joined;
        const gdi::Point anchor = figs[0]->front();
        for (size_t i = 0; i < figs.size(); ++i) {
            joined.insert(joined.end(), figs[i]->begin(), figs[i]->end());
            joined.push_back(figs[i]->front());
            if (i > 0)
                joined.push_back(anchor);
        }
        setPen({gdi::PS_NULL, 0, 0});
        polygon(joined);
        setExtPen(pen, penStyle);
    }
    if ((pen.style & gdi::PS_STYLE_MASK) != gdi::PS_NULL) {
        for (const auto *p : figs) {
            std::vector<gdi::Point> closed = *p;
            if (!(closed.front() == closed.back()))
                closed.push_back(closed.front());
            polyline(closed);
        }
    }
}

void Canvas::drawPath(const QPainterPath &path, bool fill, bool stroke)
{
    std::vector<std::vector<gdi::Point>> figures;
    for (const QPolygonF &poly : path.toSubpathPolygons()) {
        std::vector<gdi::Point> pts;
        for (const QPointF &p : poly) {
            const gdi::Point q{qint32(std::clamp(std::round(p.x()), -2147483647.0, 2147483647.0)),
                               qint32(std::clamp(std::round(p.y()), -2147483647.0, 2147483647.0))};
            if (pts.empty() || !(pts.back() == q))
                pts.push_back(q);
        }
        figures.push_back(std::move(pts));
    }
    if (fill) {
        const gdi::LogPen pen = m_state.pen;
        const std::vector<quint32> penStyle = m_state.penStyle;
        const qint32 mode = m_state.polyFillMode;
        setPolyFillMode(path.fillRule() == Qt::WindingFill ? gdi::WINDING : gdi::ALTERNATE);
        setPen({gdi::PS_NULL, 0, 0});
        polyPolygon(figures);
        setExtPen(pen, penStyle);
        setPolyFillMode(mode);
    }
    if (stroke)
        for (const auto &f : figures)
            if (f.size() >= 2)
                polyline(f);
}

void Canvas::patBlt(const gdi::Rect &r, quint32 rop)
{
    if (rop == gdi::PATCOPY)
        fillRect(r, m_state.brush);
    else if (rop == gdi::BLACKNESS)
        fillRect(r, {gdi::BS_SOLID, gdi::rgb(0, 0, 0), 0});
    else if (rop == gdi::WHITENESS)
        fillRect(r, {gdi::BS_SOLID, gdi::rgb(255, 255, 255), 0});
}

void Canvas::gradientFill(std::span<const gdi::TriVertex> vertices, std::span<const quint32> mesh, quint32 mode)
{
    // Rectangles in the average of their two colours.
    if (mode == gdi::GRADIENT_FILL_TRIANGLE)
        return;
    for (size_t i = 0; i + 1 < mesh.size(); i += 2) {
        if (mesh[i] >= vertices.size() || mesh[i + 1] >= vertices.size())
            continue;
        const gdi::TriVertex &a = vertices[mesh[i]], &b = vertices[mesh[i + 1]];
        const gdi::Rect r{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
        fillRect(r, {gdi::BS_SOLID, gdi::rgb((a.red + b.red) / 512, (a.green + b.green) / 512, (a.blue + b.blue) / 512), 0});
    }
}

void Canvas::alphaBlend(const gdi::Rect &dest, const gdi::Rect &src, const QImage &image, quint8 constantAlpha)
{
    if (constantAlpha != 0)
        stretchDIBits(dest, src, image, gdi::SRCCOPY);
}

void Canvas::excludeClipRect(const gdi::Rect &) {}

void Canvas::extSelectClipRects(std::span<const gdi::Rect> rects, quint32 mode)
{
    // The bounding box of the rectangles.
    if (rects.empty() || (mode != gdi::RGN_AND && mode != gdi::RGN_COPY))
        return;
    gdi::Rect box = rects[0];
    for (const gdi::Rect &r : rects)
        box = {std::min(box.left, r.left), std::min(box.top, r.top), std::max(box.right, r.right),
               std::max(box.bottom, r.bottom)};
    if (mode == gdi::RGN_COPY)
        selectClipRgnNone();
    intersectClipRect(box);
}

void Canvas::selectClipPath(const QPainterPath &path, quint32 mode)
{
    const QRectF b = path.boundingRect();
    auto lim = [](double v) { return qint32(std::clamp(v, -2147483647.0, 2147483647.0)); };
    const gdi::Rect box{lim(std::floor(b.left())), lim(std::floor(b.top())), lim(std::ceil(b.right())),
                        lim(std::ceil(b.bottom()))};
    extSelectClipRects(std::span<const gdi::Rect>(&box, 1), mode);
}

void Canvas::offsetClipRgn(qint32, qint32) {}

void Canvas::setMetaRgn() {}

void Canvas::stretchDraw(const gdi::Rect &dest, const QImage &image)
{
    stretchDIBits(dest, gdi::Rect{0, 0, image.width(), image.height()}, image, gdi::SRCCOPY);
}

void Canvas::stretchDrawMetafile(const gdi::Rect &dest, const Metafile &metafile)
{
    metafile.play(*this, dest);
}

int Canvas::saveDC()
{
    m_saved.push_back(m_state);
    return int(m_saved.size());
}

bool Canvas::restoreDC(int n)
{
    const int depth = int(m_saved.size());
    const int target = n < 0 ? depth + n : n - 1;
    if (n == 0 || target < 0 || target >= depth)
        return false;
    m_state = m_saved[size_t(target)];
    m_saved.resize(size_t(target));
    stateRestored();
    return true;
}
