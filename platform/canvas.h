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
    virtual void setBrush(const gdi::LogBrush &brush);
    virtual void setFont(const gdi::LogFont &font);
    virtual void setTextColor(gdi::ColorRef color);
    virtual void setBkColor(gdi::ColorRef color);
    virtual void setBkMode(qint32 mode);
    virtual void setTextAlign(quint32 align);
    virtual void setStretchBltMode(qint32 mode);
    // Logical-to-device mapping (world transform). Used by the metafile player
    // and for drawing a scene at another resolution.
    virtual void setTransform(const QTransform &t);

    const gdi::LogPen &pen() const { return m_state.pen; }
    const gdi::LogBrush &brush() const { return m_state.brush; }
    const gdi::LogFont &font() const { return m_state.font; }
    gdi::ColorRef textColor() const { return m_state.textColor; }
    gdi::ColorRef bkColor() const { return m_state.bkColor; }
    qint32 bkMode() const { return m_state.bkMode; }
    quint32 textAlign() const { return m_state.textAlign; }
    qint32 stretchBltMode() const { return m_state.stretchBltMode; }
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
    // FillRect: the brush only, no outline, right and bottom exclusive.
    virtual void fillRect(const gdi::Rect &r, const gdi::LogBrush &brush) = 0;

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
    // Plays a recorded metafile with its frame mapped onto `dest`.
    virtual void stretchDrawMetafile(const gdi::Rect &dest, const Metafile &metafile);

    // --- clipping and saved states ------------------------------------------
    virtual void intersectClipRect(const gdi::Rect &r) = 0;
    virtual void selectClipRgnNone() = 0; // SelectClipRgn(dc, 0): no clip
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
        gdi::LogBrush brush;
        gdi::LogFont font;
        gdi::ColorRef textColor = gdi::rgb(0, 0, 0);
        gdi::ColorRef bkColor = gdi::rgb(255, 255, 255);
        qint32 bkMode = gdi::OPAQUE;
        quint32 textAlign = gdi::TA_LEFT | gdi::TA_TOP;
        qint32 stretchBltMode = gdi::BLACKONWHITE;
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
