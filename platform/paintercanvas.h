// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A canvas that draws with a QPainter: a widget, an image or a printer page.
//
// Figures are drawn in device pixels: the logical coordinates go through the
// transform and are rounded to whole pixels, then the pixel rules of the
// Windows graphics interface apply (right and bottom edges exclusive, the end
// point of a line not drawn, a width-0 pen one pixel wide). Under a rotating
// transform the figures are drawn through the painter's transform instead.
#include "platform/canvas.h"
#include "platform/fonts.h"

#include <QBrush>
#include <QGlyphRun>
#include <QPainterPath>
#include <QPen>
#include <QRegion>
#include <QSize>

#include <functional>
#include <memory>
#include <optional>

#include <QPainter>

class PainterCanvas : public Canvas {
public:
    // Draws on a painter already begun on its device. `dpiX`/`dpiY` are the
    // device's pixels per inch; the device's size in pixels comes from the
    // painter's device (or `deviceSize` when given). The painter's state is
    // saved here and given back when the canvas is destroyed.
    PainterCanvas(QPainter *painter, int dpiX, int dpiY, QSize deviceSize = {});
    // Draws on an image at `dpi` pixels per inch (the reference 96 by default).
    explicit PainterCanvas(QImage *image, int dpi = 96);
    ~PainterCanvas() override;

    QPainter *painter() const { return m_painter; }
    // Printer pages: the unprintable margins and the whole sheet, in device
    // pixels (PHYSICALOFFSETX/Y, PHYSICALWIDTH/HEIGHT).
    void setPhysicalOffsets(int x, int y);
    void setPhysicalSize(int width, int height);

    int deviceCaps(int index) const override;

    void setTransform(const QTransform &t) override;

    void lineTo(qint32 x, qint32 y) override;
    void polyline(std::span<const gdi::Point> points) override;
    void rectangle(const gdi::Rect &r) override;
    void roundRect(const gdi::Rect &r, qint32 cornerWidth, qint32 cornerHeight) override;
    void ellipse(const gdi::Rect &r) override;
    void polygon(std::span<const gdi::Point> points) override;
    void polyPolygon(std::span<const std::vector<gdi::Point>> polygons) override;
    void drawPath(const QPainterPath &path, bool fill, bool stroke) override;
    void fillRect(const gdi::Rect &r, const gdi::LogBrush &brush) override;
    void patBlt(const gdi::Rect &r, quint32 rop) override;
    void gradientFill(std::span<const gdi::TriVertex> vertices, std::span<const quint32> mesh, quint32 mode) override;

    void extTextOut(qint32 x, qint32 y, quint32 options, const gdi::Rect *rect, const QString &text,
                    const std::vector<qint32> *dx = nullptr) override;
    gdi::Size textExtent(const QString &text) override;
    gdi::TextMetric textMetrics() override;

    void stretchDIBits(const gdi::Rect &dest, const gdi::Rect &src, const QImage &image,
                       quint32 rop = gdi::SRCCOPY) override;
    void alphaBlend(const gdi::Rect &dest, const gdi::Rect &src, const QImage &image, quint8 constantAlpha) override;

    void intersectClipRect(const gdi::Rect &r) override;
    void selectClipRgnNone() override;
    void excludeClipRect(const gdi::Rect &r) override;
    void extSelectClipRects(std::span<const gdi::Rect> rects, quint32 mode) override;
    void selectClipPath(const QPainterPath &path, quint32 mode) override;
    void offsetClipRgn(qint32 dx, qint32 dy) override;
    void setMetaRgn() override;
    int saveDC() override;
    bool restoreDC(int n) override;

    // The clip region in device pixels; nullopt when nothing clips. The meta
    // region and the painter's own clip on arrival limit it further.
    const std::optional<QRegion> &clipRegion() const { return m_clip; }
    // The font selected now, resolved.
    const fonts::ResolvedFont &resolvedFont();

protected:
    void stateRestored() override;

private:
    void init(int dpiX, int dpiY, QSize deviceSize);
    bool active() const;
    void applyClip();
    void combineClip(const QRegion &region, quint32 mode);
    QRegion pathRegion(const QPainterPath &logical) const;
    QRect deviceBounds() const;
    QTransform fullTransform() const;
    bool axisAligned() const;
    qreal deviceScale() const;
    QPoint toDevice(qint32 x, qint32 y) const;
    QRect toDeviceRect(const gdi::Rect &r) const;
    QRegion deviceRegion(const gdi::Rect &r) const;
    QPainterPath toDevicePath(const QPainterPath &logical) const;
    // The path through `t`, held within the device limit.
    static QPainterPath mappedPath(const QPainterPath &path, const QTransform &t);
    int devicePenWidth() const;
    bool penDrawsStyled() const;
    std::vector<qreal> penPattern(bool pixels) const;
    // A pen of `width` device pixels, or of `width` logical units for a
    // stroke worked out in logical units (`logical`).
    QPen qpen(qreal width, bool closedFigure, bool logical = false) const;
    QBrush qbrush(const gdi::LogBrush &brush) const;
    QBrush brushOf(const gdi::LogBrush &brush, const QImage &pattern) const;
    // What the pen's stroke is filled with, and a one-pixel pen of it.
    QBrush penFill() const;
    QPen pixelPen() const;
    // Whether a pen of logical width is stretched more one way than another
    // by the transform (a non-uniform scale or a shear).
    bool penStretched() const;
    // Strokes a device path with the selected pen of more than one pixel.
    void strokeWide(const QPainterPath &device, bool closedFigure);
    // Draws a line, outline or figure with the binary raster operation in
    // force: straight onto the device for R2_COPYPEN, else into a layer over
    // the device pixels of `logicalBounds` (grown by the pen's reach) that
    // is then combined with the page; on a device without pixels to read,
    // as over white paper.
    void withRop2(const QRectF &logicalBounds, const std::function<void()> &draw);
    void drawOverPaper(qint32 mode, const std::function<void()> &draw);
    // Whether the device's pixels can be combined with (an image, a
    // window), not a document.
    bool pixelsReadBack() const;
    QRect ropBox(const QRectF &logicalBounds) const;
    Qt::FillRule fillRule() const;
    void drawBitmap(const gdi::Rect &dest, const gdi::Rect &src, const QImage &image, quint32 rop, qreal opacity);
    void drawBand(QPoint at, const QImage &band, quint32 rop, qreal opacity);
    void setBitmapMode(quint32 rop, qreal opacity);
    void gradientRect(const gdi::TriVertex &a, const gdi::TriVertex &b, bool vertical);
    void gradientTriangle(const gdi::TriVertex &a, const gdi::TriVertex &b, const gdi::TriVertex &c);
    void plotLine(QPoint from, QPoint to, bool lastPoint);
    void drawPolyline(std::span<const gdi::Point> points, bool closed);
    void drawPolygon(std::span<const gdi::Point> points);
    void drawPolyPolygon(std::span<const std::vector<gdi::Point>> polygons);
    void drawPathNow(const QPainterPath &path, bool fill, bool stroke);
    void closedFigure(const gdi::Rect &r, int kind, qint32 cw, qint32 ch);
    void pixelEllipse(const QRect &d, const QBrush &brush);
    // Text in a face the program draws itself: the glyphs of `placed` (the run
    // at its final positions, the painter at the glyphs' transform) that the
    // face draws itself are painted as shapes, the rest as text.
    void drawSynthesized(const fonts::ResolvedFont &font, const fonts::GlyphRun &run, const QGlyphRun &placed,
                         const QString &text, bool glyphMode, const std::vector<qreal> &advances);

    QPainter *m_painter = nullptr;
    std::unique_ptr<QPainter> m_ownPainter;
    int m_dpiX = 96;
    int m_dpiY = 96;
    QSize m_deviceSize;
    QPoint m_physicalOffset;
    QSize m_physicalSize;
    QTransform m_base; // the painter's transform on arrival
    std::optional<QRegion> m_baseClip;  // the painter's own clip on arrival
    std::optional<QRegion> m_clip;      // the canvas's clip, device pixels
    std::optional<QRegion> m_metaClip;  // SetMetaRgn's limit, device pixels
    std::vector<std::optional<QRegion>> m_savedClips;
    std::vector<std::optional<QRegion>> m_savedMetaClips;
    qint64 m_styleOffset = 0; // where a styled line's pattern goes on
    std::shared_ptr<const fonts::ResolvedFont> m_font;
};
