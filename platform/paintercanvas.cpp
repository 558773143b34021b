#include "platform/paintercanvas.h"
#include "platform/paintercanvas_p.h"

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
    QPainterPath p = fullTransform().map(logical);
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
    return QRegion(corners);
}

QRect PainterCanvas::toDeviceRect(const gdi::Rect &r) const
{
    const QPoint a = toDevice(r.left, r.top);
    const QPoint b = toDevice(r.right, r.bottom);
    const DRect d{std::min(a.x(), b.x()), std::min(a.y(), b.y()), std::max(a.x(), b.x()), std::max(a.y(), b.y())};
    return d.qrect();
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
    const QRegion region = deviceRegion(r);
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
