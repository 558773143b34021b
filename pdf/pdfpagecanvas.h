// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A canvas over the content of a PDF document's page: what is drawn on it
// becomes page-content operators in drawing order, so a recorded page played
// onto it (the metafile player) keeps its text as text and its lines, fills
// and pictures as such, at any zoom as sharp as the paper.
//
// The canvas's device is the page in the pixels of the resolution it is made
// with (a recorded page's own): a pen of width 0 is one such pixel wide, and
// the GDI pixel rules (right and bottom edges exclusive, outlines through
// pixel centres) are kept in those pixels. Text goes in through the
// document's Unicode fonts, laid out as the recorded page lays it out, with
// the characters it stands for so that it can be found and copied; text in
// a face this program draws itself goes in as the shapes it draws. Pictures
// are image objects written once a document. Raster operations that mix a
// picture or a brush with what is already on the page have no counterpart
// in PDF: they draw as plain copies (PATINVERT and DSTINVERT draw nothing).
#include "platform/canvas.h"

#include <QByteArray>
#include <QPainterPath>

#include <optional>
#include <vector>

class RpPDFDocumentFilter;

class PdfPageCanvas : public Canvas {
public:
    // Draws into the current page of `document` (one already started),
    // which is `width` x `height` pixels at `dpiX` x `dpiY` pixels per inch.
    PdfPageCanvas(RpPDFDocumentFilter &document, int width, int height, double dpiX, double dpiY);
    ~PdfPageCanvas() override;

    // Closes what the page's content still has open. Drawing after it
    // starts a new group.
    void finish();

    int deviceCaps(int index) const override;

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

private:
    // The paint of a fill or an outline as it stands in the content.
    struct Paint {
        std::optional<gdi::ColorRef> fill, stroke;
        std::optional<double> width;
        QByteArray dash, cap, join;
    };

    void out(const QByteArray &line);
    // Brings the content's clip in line with the canvas's before drawing.
    void syncClip();
    void changeClip(std::optional<QPainterPath> clip);
    void combineClip(const QPainterPath &area, quint32 mode);
    std::optional<QPainterPath> effectiveClip() const;
    QPainterPath wholeDevice() const;

    // Device pixels of logical coordinates, and the page's points of those.
    QPointF toDevice(double x, double y) const;
    QPainterPath toDevicePath(const QPainterPath &logical) const;
    bool axisAligned() const;
    double deviceScale() const;
    QByteArray pathOperators(const QPainterPath &device) const;

    bool penVisible() const;
    double devicePenWidth() const;
    void setFillColor(gdi::ColorRef c);
    void setStrokePaint();
    void fillDevicePath(const QPainterPath &device, const gdi::LogBrush &brush, Qt::FillRule rule);
    void strokeDevicePath(const QPainterPath &device, bool closedFigure);
    void closedFigure(const gdi::Rect &r, int kind, qint32 cw, qint32 ch);
    void drawPicture(const QRectF &device, bool mirrorX, bool mirrorY, const QImage &picture);

    RpPDFDocumentFilter &m_doc;
    int m_width, m_height;
    double m_dpiX, m_dpiY;
    double m_sx, m_sy; // points per device pixel
    double m_pageHeight; // points

    std::optional<QPainterPath> m_clip;     // device pixels
    std::optional<QPainterPath> m_metaClip; // SetMetaRgn's limit
    std::vector<std::pair<std::optional<QPainterPath>, std::optional<QPainterPath>>> m_savedClips;
    quint64 m_clipVersion = 0;
    // The clip the content has in force: a group begun with it is open.
    bool m_groupOpen = false;
    quint64 m_groupVersion = 0;
    Paint m_paint;
};
