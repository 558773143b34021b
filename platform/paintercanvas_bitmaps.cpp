// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Bitmaps of the painter canvas: stretched, with raster operations, and
// blended by their alpha.
#include "platform/paintercanvas.h"
#include "platform/paintercanvas_p.h"

#include <QPaintEngine>
#include <QPainter>

#include <algorithm>
#include <cmath>

using namespace paintercanvas_detail;

namespace {

// Raster operations besides SRCCOPY that bitmaps may ask for.
constexpr quint32 kSrcPaint = 0x00EE0086;
constexpr quint32 kSrcAnd = 0x008800C6;
constexpr quint32 kSrcInvert = 0x00660046;

} // namespace

void PainterCanvas::stretchDIBits(const gdi::Rect &dest, const gdi::Rect &src, const QImage &image, quint32 rop)
{
    drawBitmap(dest, src, image, rop, -1);
}

void PainterCanvas::alphaBlend(const gdi::Rect &dest, const gdi::Rect &src, const QImage &image, quint8 constantAlpha)
{
    if (constantAlpha == 0)
        return;
    drawBitmap(dest, src, image, gdi::SRCCOPY, constantAlpha / 255.0);
}

// The source rectangle of `image` into `dest`. An `opacity` below 0 draws the
// bitmap opaque with `rop`; from 0 to 1 it is blended with that opacity and
// the image's own premultiplied alpha.
void PainterCanvas::drawBitmap(const gdi::Rect &dest, const gdi::Rect &src, const QImage &image, quint32 rop,
                               qreal opacity)
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
    const bool blend = opacity >= 0;
    if (!blend && part.hasAlphaChannel())
        part = part.convertToFormat(QImage::Format_RGB32); // bitmaps are opaque
    if (blend && part.hasAlphaChannel())
        part = part.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (mirrorX || mirrorY)
        part = part.mirrored(mirrorX, mirrorY);

    const bool smooth = m_state.stretchBltMode == gdi::HALFTONE;
    const bool raster = m_painter->paintEngine() && m_painter->paintEngine()->type() == QPaintEngine::Raster;
    if (axisAligned() && !smooth && raster) {
        // On pixels, each device pixel takes the source pixel under its
        // centre, worked out exactly (the painter's own stretching is a pixel
        // off now and then), band by band over the part on the device.
        // Printers and documents get the picture itself, stretched.
        const QRect dev = QRect(QPoint(int(std::ceil(target.left() - 0.5)), int(std::ceil(target.top() - 0.5))),
                                QPoint(int(std::ceil(target.right() - 0.5)) - 1, int(std::ceil(target.bottom() - 0.5)) - 1))
                              .intersected(deviceBounds());
        if (dev.isEmpty())
            return;
        std::vector<int> column(size_t(dev.width()));
        for (int x = 0; x < dev.width(); ++x)
            column[size_t(x)] = std::clamp(int(std::floor((dev.left() + x + 0.5 - target.left()) / target.width() * part.width())), 0,
                                           part.width() - 1);
        const QImage src = part.convertToFormat(part.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                                       : QImage::Format_RGB32);
        constexpr int kBand = 128;
        for (int top = dev.top(); top <= dev.bottom(); top += kBand) {
            const int h = std::min(kBand, dev.bottom() + 1 - top);
            QImage band(dev.width(), h, src.format());
            if (band.isNull())
                return;
            for (int y = 0; y < h; ++y) {
                const int sy = std::clamp(int(std::floor((top + y + 0.5 - target.top()) / target.height() * part.height())),
                                          0, part.height() - 1);
                const QRgb *in = reinterpret_cast<const QRgb *>(src.constScanLine(sy));
                QRgb *out = reinterpret_cast<QRgb *>(band.scanLine(y));
                for (int x = 0; x < dev.width(); ++x)
                    out[x] = in[column[size_t(x)]];
            }
            drawBand(QPoint(dev.left(), top), band, rop, opacity);
        }
        return;
    }
    m_painter->save();
    if (axisAligned()) {
        m_painter->setWorldTransform(QTransform());
    } else {
        m_painter->setWorldTransform(fullTransform());
        target = QRectF(QPointF(dest.left, dest.top), QPointF(dest.right, dest.bottom)).normalized();
    }
    m_painter->setRenderHint(QPainter::SmoothPixmapTransform, smooth);
    setBitmapMode(rop, opacity);
    m_painter->drawImage(target, part);
    m_painter->restore();
}

// An opaque bitmap's raster operation, or a blended one's opacity.
void PainterCanvas::setBitmapMode(quint32 rop, qreal opacity)
{
    if (opacity >= 0) {
        m_painter->setOpacity(std::clamp<qreal>(opacity, 0, 1));
        return;
    }
    if (!pixelsReadBack())
        return;
    if (rop == kSrcPaint)
        m_painter->setCompositionMode(QPainter::RasterOp_SourceOrDestination);
    else if (rop == kSrcAnd)
        m_painter->setCompositionMode(QPainter::RasterOp_SourceAndDestination);
    else if (rop == kSrcInvert)
        m_painter->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
}

// Device pixels drawn as they are.
void PainterCanvas::drawBand(QPoint at, const QImage &band, quint32 rop, qreal opacity)
{
    m_painter->save();
    m_painter->setWorldTransform(QTransform());
    setBitmapMode(rop, opacity);
    m_painter->drawImage(at, band);
    m_painter->restore();
}
