// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The drawing surface every printable, band and report draws on. It has the
// semantics of a Windows device context: a selected pen, brush and font, text
// colour, background mode and alignment, a current position, a clip region and
// a stack of saved states. Coordinates are logical units (whole numbers) that
// the world transform maps to device pixels; on a plain canvas the transform is
// the identity and a logical unit is one device pixel.
//
// Two kinds exist: PainterCanvas draws with a QPainter (widget, image, printer
// page); MetafileRecorder records an enhanced metafile. Drawing code never
// knows which one it has.
#include "platform/gdi.h"

#include <QImage>
#include <QPainterPath>
#include <QString>
#include <QTransform>
#include <span>
#include <vector>

class Metafile;

class Canvas {
public:
    Canvas();
    virtual ~Canvas();
    Canvas(const Canvas &) = delete;
    Canvas &operator=(const Canvas &) = delete;

    // --- device -----------------------------------------------------------
    // GetDeviceCaps: LOGPIXELSX/Y, HORZRES/VERTRES (device pixels), and the
    // physical page size and offsets (printers; 0 elsewhere).
    virtual int deviceCaps(int index) const = 0;
    int logPixelsX() const { return deviceCaps(gdi::LOGPIXELSX); }
    int logPixelsY() const { return deviceCaps(gdi::LOGPIXELSY); }

    // --- selected objects and modes (SelectObject, SetTextColor, ...) ------
    virtual void setPen(const gdi::LogPen &pen);
    // A pen of style PS_USERSTYLE with its own dash and gap lengths, as
    // ExtCreatePen takes them: pixels for a cosmetic pen, logical units for
    // a geometric one. setPen() selects a pen without them.
    virtual void setExtPen(const gdi::LogPen &pen, std::span<const quint32> styleEntries);
    // What the selected pen's stroke is filled with, as ExtCreatePen takes a
    // brush for it: BS_SOLID in the pen's colour (what setPen and setExtPen
    // select), BS_HATCHED (the hatch in the pen's colour, the background by
    // the background mode), BS_PATTERN or BS_DIBPATTERN tiling `pattern` from
    // the device's origin as a pattern brush does. A canvas that cannot fill
    // a stroke with a picture strokes in the pen's colour.
    virtual void setPenBrush(const gdi::LogBrush &brush, const QImage &pattern = {});
    virtual void setBrush(const gdi::LogBrush &brush);
    // A brush that tiles a picture in device pixels from the device's origin
    // (brushes do not scale). A monochrome picture (QImage::Format_Mono) draws
    // its black in the text colour and its white in the background colour.
    // The selected LogBrush is then BS_PATTERN (monochrome) or BS_DIBPATTERN,
    // in the picture's average colour.
    virtual void setPatternBrush(const QImage &tile);
    // SetPolyFillMode: ALTERNATE or WINDING, for polygons.
    virtual void setPolyFillMode(qint32 mode);
    // SetMiterLimit: how far a mitred join may reach, in pen widths.
    virtual void setMiterLimit(float limit);
    virtual void setFont(const gdi::LogFont &font);
    virtual void setTextColor(gdi::ColorRef color);
    virtual void setBkColor(gdi::ColorRef color);
    virtual void setBkMode(qint32 mode);
    virtual void setTextAlign(quint32 align);
    virtual void setStretchBltMode(qint32 mode);
    // SetROP2: how lines, outlines and the insides of figures combine the
    // pen's or brush's colour with what is on the page (R2_BLACK ...
    // R2_WHITE; R2_COPYPEN by default). Text, bitmaps, fillRect, patBlt and
    // gradients are not affected. A canvas that cannot read its page back
    // draws as over blank white paper; one that cannot combine at all draws
    // as R2_COPYPEN.
    virtual void setRop2(qint32 mode);
    // Logical-to-device mapping (world transform). Used by the metafile player
    // and for drawing a scene at another resolution.
    virtual void setTransform(const QTransform &t);

    const gdi::LogPen &pen() const { return m_state.pen; }
    const std::vector<quint32> &penStyleEntries() const { return m_state.penStyle; }
    const gdi::LogBrush &penBrush() const { return m_state.penBrush; }
    const QImage &penPattern() const { return m_state.penPattern; }
    const gdi::LogBrush &brush() const { return m_state.brush; }
    const QImage &brushPattern() const { return m_state.brushPattern; }
    qint32 polyFillMode() const { return m_state.polyFillMode; }
    float miterLimit() const { return m_state.miterLimit; }
    const gdi::LogFont &font() const { return m_state.font; }
    gdi::ColorRef textColor() const { return m_state.textColor; }
    gdi::ColorRef bkColor() const { return m_state.bkColor; }
    qint32 bkMode() const { return m_state.bkMode; }
    quint32 textAlign() const { return m_state.textAlign; }
    qint32 stretchBltMode() const { return m_state.stretchBltMode; }
    qint32 rop2() const { return m_state.rop2; }
    const QTransform &transform() const { return m_state.transform; }
    gdi::Point currentPosition() const { return m_state.position; }

    // --- drawing ------------------------------------------------------------
    // Lines: the end point of LineTo is not drawn; LineTo moves the position.
    virtual void moveTo(qint32 x, qint32 y);
    virtual void lineTo(qint32 x, qint32 y) = 0;
    virtual void polyline(std::span<const gdi::Point> points) = 0;
    // Closed figures: outline with the pen, inside with the brush; the right
    // and bottom edges are exclusive.
    virtual void rectangle(const gdi::Rect &r) = 0;
    virtual void roundRect(const gdi::Rect &r, qint32 cornerWidth, qint32 cornerHeight) = 0;
    virtual void ellipse(const gdi::Rect &r) = 0;
    virtual void polygon(std::span<const gdi::Point> points) = 0;
    // PolyPolygon: the figures filled together by the fill mode (a figure
    // inside another is a hole with ALTERNATE), each outlined with the pen.
    virtual void polyPolygon(std::span<const std::vector<gdi::Point>> polygons);
    // FillPath, StrokePath, StrokeAndFillPath: a path of logical coordinates
    // (not rounded), filled by its fill rule (OddEvenFill is ALTERNATE) with
    // the brush, its figures closed for filling, then outlined with the pen.
    // A figure that ends where it starts is closed.
    virtual void drawPath(const QPainterPath &path, bool fill, bool stroke);
    // FillRect: the brush only, no outline, right and bottom exclusive. A
    // pattern brush fills with the selected brush's picture.
    virtual void fillRect(const gdi::Rect &r, const gdi::LogBrush &brush) = 0;
    // PatBlt with the selected brush: PATCOPY, PATINVERT, DSTINVERT,
    // BLACKNESS or WHITENESS; right and bottom exclusive.
    virtual void patBlt(const gdi::Rect &r, quint32 rop);
    // GradientFill: rectangles (two vertex indexes each, the colour running
    // across for GRADIENT_FILL_RECT_H, down for _V) or triangles (three).
    virtual void gradientFill(std::span<const gdi::TriVertex> vertices, std::span<const quint32> mesh, quint32 mode);

    // ExtTextOut: text at (x, y) placed by the text alignment; `options` may
    // hold ETO_CLIPPED and ETO_OPAQUE for `rect`; `dx` optionally gives each
    // character's advance (one entry per UTF-16 code unit).
    virtual void extTextOut(qint32 x, qint32 y, quint32 options, const gdi::Rect *rect,
                            const QString &text, const std::vector<qint32> *dx = nullptr) = 0;
    void textOut(qint32 x, qint32 y, const QString &text) { extTextOut(x, y, 0, nullptr, text); }
    // GetTextExtentPoint32 in logical units: the height is the cell height.
    virtual gdi::Size textExtent(const QString &text) = 0;
    virtual gdi::TextMetric textMetrics() = 0;
    qint32 textWidth(const QString &text) { return textExtent(text).cx; }
    qint32 textHeight(const QString &text) { return textExtent(text).cy; }

    // Bitmaps: the source rectangle of `image` stretched into `dest`.
    virtual void stretchDIBits(const gdi::Rect &dest, const gdi::Rect &src, const QImage &image,
                               quint32 rop = gdi::SRCCOPY) = 0;
    void stretchDraw(const gdi::Rect &dest, const QImage &image);
    // AlphaBlend: like stretchDIBits, blended with the constant alpha and,
    // when `image` has an alpha channel, with its own (premultiplied) alpha.
    virtual void alphaBlend(const gdi::Rect &dest, const gdi::Rect &src, const QImage &image, quint8 constantAlpha);
    // Plays a recorded metafile with its frame mapped onto `dest`.
    virtual void stretchDrawMetafile(const gdi::Rect &dest, const Metafile &metafile);

    // --- clipping and saved states ------------------------------------------
    virtual void intersectClipRect(const gdi::Rect &r) = 0;
    virtual void selectClipRgnNone() = 0; // SelectClipRgn(dc, 0): no clip
    // ExcludeClipRect: the rectangle is taken out of the clip region.
    virtual void excludeClipRect(const gdi::Rect &r);
    // ExtSelectClipRgn with a region of rectangles (logical units under the
    // transform), combined with the clip by `mode` (RGN_AND ... RGN_COPY).
    // Without a clip region the whole device stands for it.
    virtual void extSelectClipRects(std::span<const gdi::Rect> rects, quint32 mode);
    // SelectClipPath: the inside of a path (logical coordinates, its fill
    // rule) combined with the clip by `mode`.
    virtual void selectClipPath(const QPainterPath &path, quint32 mode);
    // OffsetClipRgn: the clip region moved by logical units.
    virtual void offsetClipRgn(qint32 dx, qint32 dy);
    // SetMetaRgn: the clip region becomes a limit that no later clip
    // operation lifts (until a saved state is restored); the clip is reset.
    virtual void setMetaRgn();
    // SaveDC returns the new depth (1 for the first save); RestoreDC(n) with
    // n > 0 returns to that depth, n < 0 pops -n levels. False when the depth
    // does not exist (the state is left as it was).
    virtual int saveDC();
    virtual bool restoreDC(int n);

    // Re-selects pen, brush and font after the device page changed.
    virtual void refresh() {}

protected:
    struct State {
        gdi::LogPen pen;
        std::vector<quint32> penStyle; // PS_USERSTYLE lengths
        gdi::LogBrush penBrush{gdi::BS_SOLID, 0, 0}; // what the pen's stroke is filled with
        QImage penPattern;                           // its picture (BS_PATTERN, BS_DIBPATTERN)
        gdi::LogBrush brush;
        QImage brushPattern; // BS_PATTERN, BS_DIBPATTERN
        qint32 polyFillMode = gdi::ALTERNATE;
        float miterLimit = 10;
        gdi::LogFont font;
        gdi::ColorRef textColor = gdi::rgb(0, 0, 0);
        gdi::ColorRef bkColor = gdi::rgb(255, 255, 255);
        qint32 bkMode = gdi::OPAQUE;
        quint32 textAlign = gdi::TA_LEFT | gdi::TA_TOP;
        qint32 stretchBltMode = gdi::BLACKONWHITE;
        qint32 rop2 = gdi::R2_COPYPEN;
        gdi::Point position;
        QTransform transform;
    };
    // Text drawn with TA_UPDATECP from (x, y), `width` pixels wide, moves the
    // position along the text's direction (the font's escapement): past its
    // end, back past its start for TA_RIGHT, not at all for TA_CENTER.
    void advanceTextPosition(qint32 x, qint32 y, double width, qint32 escapement);
    // Derived canvases call these hooks' bases and keep their own device
    // state in step when a saved state comes back.
    virtual void stateRestored() {}
    State m_state;
    std::vector<State> m_saved;
};
