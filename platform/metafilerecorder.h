// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A canvas that records an enhanced metafile. Its reference device has the
// resolution it is made with (the screen's 96 pixels per inch unless told
// otherwise; a report's kept pages are recorded at a printing resolution):
// text is measured with the same fonts and metrics that draw it on playback. Every canvas operation becomes metafile
// records; pens, brushes and fonts are created when selected and deleted when
// replaced (unless a saved state still holds them).
#include "platform/canvas.h"
#include "platform/emf/emfrecords.h"
#include "platform/metafile.h"

#include <QByteArray>
#include <optional>

class MetafileRecorder : public Canvas {
public:
    // A page of `width` x `height` pixels of a reference device of `dpi`
    // pixels per inch. The description is stored in the header
    // ("application\0title" by convention).
    MetafileRecorder(int width, int height, const QString &description = QStringLiteral("Tovrel"), int dpi = 96);
    ~MetafileRecorder() override;

    int width() const { return m_width; }
    int height() const { return m_height; }
    int dpi() const { return m_dpi; }

    // Completes the recording. Later calls return the same metafile; drawing
    // after it throws RpError.
    Metafile finish();
    bool isFinished() const { return m_finished.has_value(); }

    int deviceCaps(int index) const override;

    void setPen(const gdi::LogPen &pen) override;
    void setExtPen(const gdi::LogPen &pen, std::span<const quint32> styleEntries) override;
    void setPenBrush(const gdi::LogBrush &brush, const QImage &pattern = {}) override;
    void setBrush(const gdi::LogBrush &brush) override;
    void setPatternBrush(const QImage &tile) override;
    void setPolyFillMode(qint32 mode) override;
    void setMiterLimit(float limit) override;
    void setFont(const gdi::LogFont &font) override;
    void setTextColor(gdi::ColorRef color) override;
    void setBkColor(gdi::ColorRef color) override;
    void setBkMode(qint32 mode) override;
    void setTextAlign(quint32 align) override;
    void setStretchBltMode(qint32 mode) override;
    void setRop2(qint32 mode) override;
    void setTransform(const QTransform &t) override;

    void moveTo(qint32 x, qint32 y) override;
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

private:
    // What is selected in the recorded device context.
    struct Handles {
        quint32 pen = 0; // 0: the default (stock) object
        quint32 brush = 0;
        quint32 font = 0;
        friend bool operator==(const Handles &, const Handles &) = default;
    };

    void write(const emf::Record &r);
    void checkOpen() const;
    quint32 allocate();
    void release(quint32 index);
    bool heldBySavedState(quint32 index) const;
    void selectPen();
    void selectBrush();
    void selectFont();
    void include(const QRectF &logical, qreal grow = 0);
    gdi::Rect deviceBounds(const QRectF &logical, qreal grow = 0) const;
    qreal penGrow() const;
    QRectF pointsRect(std::span<const gdi::Point> points) const;
    static bool fits16(std::span<const gdi::Point> points);
    // The part of `image` a bitmap record holds and where it goes; false when
    // nothing of it shows.
    bool bitmapPart(const gdi::Rect &dest, const gdi::Rect &src, const QImage &image, gdi::Rect *d, QImage *part) const;
    void writePath(const QPainterPath &path);
    void syncFillMode(qint32 mode);

    int m_width;
    int m_height;
    QString m_description;
    int m_dpi;
    QByteArray m_body;
    quint32 m_recordCount = 0;
    std::vector<bool> m_used; // object slots in use (slot 0 is the metafile)
    quint32 m_maxIndex = 0;
    Handles m_current;
    std::vector<Handles> m_savedHandles;
    // The state as recorded, to leave out records that change nothing.
    gdi::LogPen m_recPen;
    std::vector<quint32> m_recPenStyle;
    gdi::LogBrush m_recPenBrush{gdi::BS_SOLID, 0, 0};
    QImage m_recPenPattern;
    gdi::LogBrush m_recBrush;
    QImage m_recBrushPattern;
    qint32 m_recFillMode = gdi::ALTERNATE;
    float m_recMiterLimit = 10;
    gdi::LogFont m_recFont;
    gdi::ColorRef m_recTextColor = gdi::rgb(0, 0, 0);
    gdi::ColorRef m_recBkColor = gdi::rgb(255, 255, 255);
    qint32 m_recBkMode = gdi::OPAQUE;
    quint32 m_recTextAlign = 0;
    qint32 m_recStretchMode = gdi::BLACKONWHITE;
    qint32 m_recRop2 = gdi::R2_COPYPEN;
    QTransform m_recTransform;
    struct Recorded {
        gdi::LogPen pen;
        std::vector<quint32> penStyle;
        gdi::LogBrush penBrush;
        QImage penPattern;
        gdi::LogBrush brush;
        QImage brushPattern;
        qint32 fillMode;
        float miterLimit;
        gdi::LogFont font;
        gdi::ColorRef textColor, bkColor;
        qint32 bkMode;
        quint32 textAlign;
        qint32 stretchMode;
        qint32 rop2;
        QTransform transform;
    };
    std::vector<Recorded> m_savedRecorded;
    bool m_hasBounds = false;
    gdi::Rect m_bounds;
    std::optional<Metafile> m_finished;
};
