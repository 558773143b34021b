// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/paintercanvas.h"
#include "platform/paintercanvas_p.h"
#include "platform/regionunion.h"

#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

using namespace paintercanvas_detail;

namespace {

// Device rectangle with exclusive right and bottom.
struct DRect {
    int l, t, r, b;
    bool empty() const { return r <= l || b <= t; }
    QRect qrect() const { return QRect(l, t, r - l, b - t); }
};

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

QPoint PainterCanvas::toDevice(qint32 x, qint32 y) const
{
    const QPointF p = fullTransform().map(QPointF(x, y));
    auto clampi = [](qreal v) { return roundi(std::isfinite(v) ? std::clamp(v, -kDeviceLimit, kDeviceLimit) : 0.0); };
    return QPoint(clampi(p.x()), clampi(p.y()));
}

QPainterPath PainterCanvas::toDevicePath(const QPainterPath &logical) const
{
    return mappedPath(logical, fullTransform());
}

QPainterPath PainterCanvas::mappedPath(const QPainterPath &path, const QTransform &t)
{
    QPainterPath p = t.map(path);
    for (int i = 0; i < p.elementCount(); ++i) {
        const QPainterPath::Element e = p.elementAt(i);
        auto lim = [](qreal v) { return std::isfinite(v) ? std::clamp(v, -kDeviceLimit, kDeviceLimit) : 0.0; };
        p.setElementPositionAt(i, lim(e.x), lim(e.y));
    }
    return p;
}

QRegion PainterCanvas::deviceRegion(const gdi::Rect &r) const
{
    if (axisAligned())
        return QRegion(toDeviceRect(r));
    const QPolygon corners{toDevice(r.left, r.top), toDevice(r.right, r.top), toDevice(r.right, r.bottom),
                           toDevice(r.left, r.bottom)};
    // A region is built row by row: a turned rectangle reaching far beyond
    // the device would take minutes. As for paths, only the part on the
    // device is kept.
    const QRect bounds = deviceBounds();
    if (corners.boundingRect().intersected(bounds) == corners.boundingRect())
        return QRegion(corners);
    return QRegion(QPolygonF(corners).intersected(QPolygonF(QRectF(bounds))).toPolygon());
}

QRect PainterCanvas::toDeviceRect(const gdi::Rect &r) const
{
    const QPoint a = toDevice(r.left, r.top);
    const QPoint b = toDevice(r.right, r.bottom);
    const DRect d{std::min(a.x(), b.x()), std::min(a.y(), b.y()), std::max(a.x(), b.x()), std::max(a.y(), b.y())};
    return d.qrect();
}

// --- clipping and saved states ------------------------------------------------------

QRect PainterCanvas::deviceBounds() const
{
    if (m_deviceSize.isValid() && !m_deviceSize.isEmpty())
        return QRect(QPoint(0, 0), m_deviceSize);
    const int lim = int(kDeviceLimit);
    return QRect(QPoint(-lim, -lim), QPoint(lim, lim));
}

void PainterCanvas::applyClip()
{
    if (!active())
        return;
    m_painter->setWorldTransform(QTransform());
    // The canvas's clip, within the meta region and the painter's own clip.
    std::optional<QRegion> effective = m_clip;
    for (const std::optional<QRegion> *limit : {&m_metaClip, &m_baseClip})
        if (*limit)
            effective = effective ? effective->intersected(**limit) : **limit;
    if (effective) {
        // Replacing a clip by a region of several rectangles is not reliable
        // in the raster engine once a clip has been set and lifted (the fill
        // fast paths keep the old one); intersecting with a plain rectangle
        // first is.
        const int lim = int(kDeviceLimit);
        m_painter->setClipRect(QRect(QPoint(-lim, -lim), QPoint(lim, lim)));
        m_painter->setClipRegion(*effective, Qt::IntersectClip);
    } else {
        m_painter->setClipping(false);
    }
}

void PainterCanvas::combineClip(const QRegion &region, quint32 mode)
{
    // Without a clip region the whole device stands for it.
    const QRegion current = m_clip ? *m_clip : QRegion(deviceBounds());
    switch (mode) {
    case gdi::RGN_AND:
        m_clip = current.intersected(region);
        break;
    case gdi::RGN_OR:
        if (m_clip)
            m_clip = m_clip->united(region);
        break;
    case gdi::RGN_XOR:
        m_clip = current.xored(region);
        break;
    case gdi::RGN_DIFF:
        m_clip = current.subtracted(region);
        break;
    case gdi::RGN_COPY:
        m_clip = region;
        break;
    default:
        return; // not a mode: the clip stays as it was
    }
    applyClip();
}

void PainterCanvas::intersectClipRect(const gdi::Rect &r) { combineClip(deviceRegion(r), gdi::RGN_AND); }

void PainterCanvas::excludeClipRect(const gdi::Rect &r) { combineClip(deviceRegion(r), gdi::RGN_DIFF); }

void PainterCanvas::extSelectClipRects(std::span<const gdi::Rect> rects, quint32 mode)
{
    std::vector<QRegion> parts;
    parts.reserve(rects.size());
    for (const gdi::Rect &r : rects)
        parts.push_back(deviceRegion(r));
    combineClip(unitedRegion(std::move(parts)), mode);
}

void PainterCanvas::selectClipPath(const QPainterPath &path, quint32 mode) { combineClip(pathRegion(path), mode); }

// The pixels a fill of the path covers, as a region: the path is filled into
// a mask band by band and the mask's runs become rectangles.
QRegion PainterCanvas::pathRegion(const QPainterPath &logical) const
{
    QPainterPath dev = toDevicePath(logical).translated(kPixelCentre, kPixelCentre);
    dev.setFillRule(logical.fillRule());
    const QRect box = dev.boundingRect().toAlignedRect().adjusted(-1, -1, 1, 1).intersected(deviceBounds());
    if (box.isEmpty() || dev.isEmpty())
        return {};
    constexpr int kBand = 256;
    RunRegion runs;
    for (int top = box.top(); top <= box.bottom(); top += kBand) {
        const int h = std::min(kBand, box.bottom() + 1 - top);
        QImage mask(box.width(), h, QImage::Format_Alpha8);
        if (mask.isNull())
            return {};
        mask.fill(0);
        {
            QPainter p(&mask);
            p.setRenderHint(QPainter::Antialiasing, false);
            p.translate(-box.left(), -top);
            p.fillPath(dev, Qt::black);
        }
        for (int y = 0; y < h; ++y) {
            const uchar *line = mask.constScanLine(y);
            runs.addRow(top + y, box.left(), box.width(), [line](int x) { return line[x] != 0; });
        }
    }
    return runs.region();
}

void PainterCanvas::offsetClipRgn(qint32 dx, qint32 dy)
{
    if (!m_clip)
        return;
    // Logical units through the transform's scale, without its origin.
    const QTransform t = fullTransform();
    const QPointF d(t.m11() * dx + t.m21() * dy, t.m12() * dx + t.m22() * dy);
    if (!std::isfinite(d.x()) || !std::isfinite(d.y()) || std::abs(d.x()) > kDeviceLimit ||
        std::abs(d.y()) > kDeviceLimit)
        return;
    m_clip->translate(roundi(d.x()), roundi(d.y()));
    applyClip();
}

void PainterCanvas::setMetaRgn()
{
    if (m_clip)
        m_metaClip = m_metaClip ? m_metaClip->intersected(*m_clip) : *m_clip;
    m_clip.reset();
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
    m_savedMetaClips.push_back(m_metaClip);
    return Canvas::saveDC();
}

bool PainterCanvas::restoreDC(int n)
{
    if (!Canvas::restoreDC(n))
        return false;
    const size_t depth = m_saved.size(); // the restored state was at this depth
    if (depth < m_savedClips.size()) {
        m_clip = m_savedClips[depth];
        m_metaClip = m_savedMetaClips[depth];
        m_savedClips.resize(depth);
        m_savedMetaClips.resize(depth);
    }
    applyClip();
    return true;
}

void PainterCanvas::stateRestored() {}

bool PainterCanvas::active() const { return m_painter && m_painter->isActive(); }
