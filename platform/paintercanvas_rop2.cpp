// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Binary raster operations of the painter canvas: lines, outlines and the
// insides of figures combined with what is already on the page.
#include "platform/paintercanvas.h"
#include "platform/paintercanvas_p.h"

#include <QPaintEngine>
#include <QPainter>

using namespace paintercanvas_detail;

namespace {

// The most pixels a figure's layer may have: a 600-dpi A3 page and more.
constexpr qint64 kMaxLayerPixels = qint64(1) << 27;

// The composition that does a binary raster operation reading the page.
QPainter::CompositionMode rasterOpOf(qint32 mode)
{
    switch (mode) {
    case gdi::R2_NOTMERGEPEN:
        return QPainter::RasterOp_NotSourceAndNotDestination;
    case gdi::R2_MASKNOTPEN:
        return QPainter::RasterOp_NotSourceAndDestination;
    case gdi::R2_MASKPENNOT:
        return QPainter::RasterOp_SourceAndNotDestination;
    case gdi::R2_NOT:
        return QPainter::RasterOp_NotDestination;
    case gdi::R2_XORPEN:
        return QPainter::RasterOp_SourceXorDestination;
    case gdi::R2_NOTMASKPEN:
        return QPainter::RasterOp_NotSourceOrNotDestination;
    case gdi::R2_MASKPEN:
        return QPainter::RasterOp_SourceAndDestination;
    case gdi::R2_NOTXORPEN:
        return QPainter::RasterOp_NotSourceXorDestination;
    case gdi::R2_MERGENOTPEN:
        return QPainter::RasterOp_NotSourceOrDestination;
    case gdi::R2_MERGEPENNOT:
        return QPainter::RasterOp_SourceOrNotDestination;
    case gdi::R2_MERGEPEN:
        return QPainter::RasterOp_SourceOrDestination;
    default:
        return QPainter::CompositionMode_SourceOver;
    }
}

// A picture whose every pixel went through `mode` over white.
QImage overPaper(const QImage &tile, qint32 mode)
{
    if (tile.isNull() || tile.format() == QImage::Format_Mono || tile.format() == QImage::Format_MonoLSB)
        return tile; // a monochrome picture takes the text and background colours
    QImage out = tile.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < out.height(); ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            line[x] = 0xff000000 | gdi::rop2Color(mode, line[x] & 0xffffff, 0xffffff);
    }
    return out;
}

} // namespace

bool PainterCanvas::pixelsReadBack() const
{
    // Document engines (PDF, printers) say they have the raster operations
    // but drop them; only the raster engine combines with its pixels.
    return m_painter->paintEngine() && m_painter->paintEngine()->type() == QPaintEngine::Raster &&
           m_painter->paintEngine()->hasFeature(QPaintEngine::RasterOpModes);
}

QRect PainterCanvas::ropBox(const QRectF &logicalBounds) const
{
    const QRectF dev = fullTransform().mapRect(logicalBounds);
    // A wide pen reaches half its width past the figure, a mitred join up
    // to the mitre limit; a pixel more covers the rounding.
    qreal reach = 2;
    if ((m_state.pen.style & gdi::PS_STYLE_MASK) != gdi::PS_NULL)
        reach += devicePenWidth() * std::max<qreal>(1, m_state.miterLimit) / 2;
    auto lim = [](qreal v) { return std::isfinite(v) ? std::clamp(v, -kDeviceLimit, kDeviceLimit) : 0.0; };
    QRect box = QRectF(QPointF(lim(dev.left() - reach), lim(dev.top() - reach)),
                       QPointF(lim(dev.right() + reach), lim(dev.bottom() + reach)))
                    .toAlignedRect()
                    .intersected(deviceBounds());
    for (const std::optional<QRegion> *limit : {&m_clip, &m_metaClip, &m_baseClip})
        if (*limit)
            box &= (*limit)->boundingRect();
    return box;
}

void PainterCanvas::withRop2(const QRectF &logicalBounds, const std::function<void()> &draw)
{
    if (!active())
        return;
    const qint32 mode = m_state.rop2;
    if (mode == gdi::R2_COPYPEN) {
        draw();
        return;
    }
    if (mode == gdi::R2_NOP)
        return;
    if (!pixelsReadBack()) {
        drawOverPaper(mode, draw);
        return;
    }
    // The figure is drawn into a layer as R2_COPYPEN would draw it (so that
    // an outline over the inside counts once), then its pixels are combined
    // with the page.
    // A figure over more pixels than any page has is drawn as over paper.
    const QRect box = ropBox(logicalBounds);
    if (box.isEmpty())
        return;
    QImage layer;
    if (qint64(box.width()) * box.height() <= kMaxLayerPixels)
        layer = QImage(box.size(), QImage::Format_ARGB32_Premultiplied);
    if (layer.isNull()) {
        drawOverPaper(mode, draw);
        return;
    }
    layer.fill(0);
    QPainter *const page = m_painter;
    {
        QPainter onLayer(&layer);
        onLayer.setRenderHint(QPainter::Antialiasing, false);
        onLayer.setWindow(box);
        m_painter = &onLayer;
        struct Back {
            QPainter *&painter;
            QPainter *page;
            ~Back() { painter = page; }
        } back{m_painter, page};
        draw();
    }
    RunRegion runs;
    const bool reads = gdi::rop2ReadsPage(mode);
    for (int y = 0; y < layer.height(); ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(layer.scanLine(y));
        runs.addRow(box.top() + y, box.left(), layer.width(), [line](int x) { return qAlpha(line[x]) != 0; });
        if (!reads) // black, white or the inverse of the pen: the colour is known now
            for (int x = 0; x < layer.width(); ++x)
                if (qAlpha(line[x]))
                    line[x] = 0xff000000 | gdi::rop2Color(mode, line[x] & 0xffffff, 0);
    }
    const QRegion covered = runs.region();
    if (covered.isEmpty())
        return;
    m_painter->save();
    m_painter->setWorldTransform(QTransform());
    m_painter->setClipRegion(covered, m_painter->hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    m_painter->setCompositionMode(reads ? rasterOpOf(mode) : QPainter::CompositionMode_SourceOver);
    m_painter->drawImage(box.topLeft(), layer);
    m_painter->restore();
    applyClip();
}

void PainterCanvas::drawOverPaper(qint32 mode, const std::function<void()> &draw)
{
    // A page that cannot be read back is taken for white paper: each colour
    // becomes what the mode makes of it over white, and a colour that leaves
    // white paper as it is draws nothing.
    const State kept = m_state;
    const gdi::ColorRef white = gdi::rgb(255, 255, 255);
    const bool reads = gdi::rop2ReadsPage(mode);
    auto over = [&](gdi::ColorRef c) { return gdi::rop2Color(mode, c, white); };
    auto leaves = [&](gdi::ColorRef c) { return reads && over(c) == white; };
    if (m_state.penBrush.style == gdi::BS_SOLID && leaves(m_state.pen.color))
        m_state.pen.style = (m_state.pen.style & ~quint32(gdi::PS_STYLE_MASK)) | gdi::PS_NULL;
    m_state.pen.color = over(m_state.pen.color);
    m_state.penBrush.color = over(m_state.penBrush.color);
    m_state.penPattern = overPaper(m_state.penPattern, mode);
    if (m_state.brush.style == gdi::BS_SOLID && leaves(m_state.brush.color))
        m_state.brush.style = gdi::BS_NULL;
    m_state.brush.color = over(m_state.brush.color);
    m_state.brushPattern = overPaper(m_state.brushPattern, mode);
    if (leaves(m_state.bkColor))
        m_state.bkMode = gdi::TRANSPARENT;
    m_state.bkColor = over(m_state.bkColor);
    m_state.textColor = over(m_state.textColor);
    draw();
    m_state = kept;
}
