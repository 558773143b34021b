// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Gradient fills of the painter canvas: rectangles shaded across or down,
// triangles shaded between their corners.
#include "platform/paintercanvas.h"
#include "platform/paintercanvas_p.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

using namespace paintercanvas_detail;

namespace {

// Colours larger than this many pixels are worked out at a coarser grid and
// stretched: a gradient has no detail to lose.
constexpr qint64 kMaxShadedPixels = qint64(1) << 22;

struct Rgb16 {
    double r, g, b;
};

Rgb16 colourOf(const gdi::TriVertex &v) { return {double(v.red), double(v.green), double(v.blue)}; }

// A 16-bit channel as the 8 bits drawn.
int to8(double v) { return std::clamp(int(v) >> 8, 0, 255); }

QRgb rgbOf(const Rgb16 &c) { return qRgb(to8(c.r), to8(c.g), to8(c.b)); }

} // namespace

void PainterCanvas::gradientFill(std::span<const gdi::TriVertex> vertices, std::span<const quint32> mesh, quint32 mode)
{
    if (!active())
        return;
    const size_t per = mode == gdi::GRADIENT_FILL_TRIANGLE ? 3 : 2;
    if (mode > gdi::GRADIENT_FILL_TRIANGLE)
        return;
    for (size_t i = 0; i + per <= mesh.size(); i += per) {
        bool valid = true;
        for (size_t k = 0; k < per; ++k)
            valid = valid && mesh[i + k] < vertices.size();
        if (!valid)
            continue;
        if (per == 3)
            gradientTriangle(vertices[mesh[i]], vertices[mesh[i + 1]], vertices[mesh[i + 2]]);
        else
            gradientRect(vertices[mesh[i]], vertices[mesh[i + 1]], mode == gdi::GRADIENT_FILL_RECT_V);
    }
}

// The rectangle between two corners. Pixel x of the run from a (colour ca)
// to b (colour cb) takes ca + (cb - ca) * (x - xa) / (xb - xa), in device
// pixels; across for a horizontal gradient, down for a vertical one.
void PainterCanvas::gradientRect(const gdi::TriVertex &a, const gdi::TriVertex &b, bool vertical)
{
    if (!axisAligned()) {
        // Turned by the transform: two triangles carry the same shading.
        auto corner = [](qint32 x, qint32 y, const gdi::TriVertex &colour) {
            gdi::TriVertex v = colour;
            v.x = x;
            v.y = y;
            return v;
        };
        const gdi::TriVertex tr = corner(b.x, a.y, vertical ? a : b), bl = corner(a.x, b.y, vertical ? b : a);
        gradientTriangle(a, tr, b);
        gradientTriangle(a, b, bl);
        return;
    }
    const QPoint pa = toDevice(a.x, a.y), pb = toDevice(b.x, b.y);
    const QRect d = QRect(QPoint(std::min(pa.x(), pb.x()), std::min(pa.y(), pb.y())),
                          QPoint(std::max(pa.x(), pb.x()) - 1, std::max(pa.y(), pb.y()) - 1));
    if (d.isEmpty())
        return;
    const int from = vertical ? pa.y() : pa.x(), to = vertical ? pb.y() : pb.x();
    const int lo = vertical ? d.top() : d.left();
    const int n = vertical ? d.height() : d.width();
    const Rgb16 ca = colourOf(a), cb = colourOf(b);
    QImage strip(vertical ? 1 : n, vertical ? n : 1, QImage::Format_RGB32);
    if (strip.isNull())
        return;
    QRgb *px = reinterpret_cast<QRgb *>(strip.bits());
    for (int i = 0; i < n; ++i) {
        const double t = double(lo + i - from) / double(to - from);
        px[i] = rgbOf({ca.r + (cb.r - ca.r) * t, ca.g + (cb.g - ca.g) * t, ca.b + (cb.b - ca.b) * t});
    }
    m_painter->save();
    m_painter->setWorldTransform(QTransform());
    m_painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
    m_painter->drawImage(d, strip);
    m_painter->restore();
}

// A triangle shaded between its corners: the colour of a pixel is its
// corners' colours weighted by its barycentric coordinates; the pixels are
// those a polygon with these corners fills.
void PainterCanvas::gradientTriangle(const gdi::TriVertex &a, const gdi::TriVertex &b, const gdi::TriVertex &c)
{
    const QPointF p[3] = {QPointF(toDevice(a.x, a.y)), QPointF(toDevice(b.x, b.y)), QPointF(toDevice(c.x, c.y))};
    const double det = (p[1].x() - p[0].x()) * (p[2].y() - p[0].y()) - (p[2].x() - p[0].x()) * (p[1].y() - p[0].y());
    if (det == 0)
        return;
    QPainterPath tri;
    tri.moveTo(p[0]);
    tri.lineTo(p[1]);
    tri.lineTo(p[2]);
    tri.closeSubpath();
    const QRect box = tri.boundingRect().toAlignedRect().intersected(deviceBounds());
    if (box.isEmpty())
        return;
    const qint64 area = qint64(box.width()) * box.height();
    const double step = area > kMaxShadedPixels ? std::sqrt(double(area) / kMaxShadedPixels) : 1.0;
    const int w = std::max(1, int(std::ceil(box.width() / step))), h = std::max(1, int(std::ceil(box.height() / step)));
    QImage shade(w, h, QImage::Format_RGB32);
    if (shade.isNull())
        return;
    const Rgb16 col[3] = {colourOf(a), colourOf(b), colourOf(c)};
    for (int j = 0; j < h; ++j) {
        QRgb *line = reinterpret_cast<QRgb *>(shade.scanLine(j));
        const double y = box.top() + j * step;
        for (int i = 0; i < w; ++i) {
            const double x = box.left() + i * step;
            // Barycentric weights of (x, y), held to the triangle at its edges.
            double w1 = ((x - p[0].x()) * (p[2].y() - p[0].y()) - (p[2].x() - p[0].x()) * (y - p[0].y())) / det;
            double w2 = ((p[1].x() - p[0].x()) * (y - p[0].y()) - (x - p[0].x()) * (p[1].y() - p[0].y())) / det;
            w1 = std::clamp(w1, 0.0, 1.0);
            w2 = std::clamp(w2, 0.0, 1.0 - w1);
            const double w0 = 1 - w1 - w2;
            line[i] = rgbOf({col[0].r * w0 + col[1].r * w1 + col[2].r * w2, col[0].g * w0 + col[1].g * w1 + col[2].g * w2,
                             col[0].b * w0 + col[1].b * w1 + col[2].b * w2});
        }
    }
    QBrush brush(shade);
    QTransform bt;
    bt.translate(box.left(), box.top());
    bt.scale(step, step);
    brush.setTransform(bt);
    m_painter->save();
    m_painter->setWorldTransform(QTransform());
    m_painter->setPen(Qt::NoPen);
    m_painter->setRenderHint(QPainter::SmoothPixmapTransform, step > 1);
    m_painter->fillPath(tri, brush);
    m_painter->restore();
}
