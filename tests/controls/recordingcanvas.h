// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Test doubles: a canvas that records what is drawn on it (measuring text
// with the real font engine at its resolution), and an export filter that
// records the items handed to it.
#include "platform/canvas.h"
#include "platform/paintercanvas.h"
#include "printer/exportfilter.h"
#include "report/rpfont.h"
#include "report/rpshape.h"

#include <QImage>
#include <QString>
#include <memory>
#include <vector>

struct DrawOp {
    enum Kind { Line, Rectangle, Ellipse, RoundRect, FillRect, Text, Polyline, Bitmap, Clip, ClipNone } kind;
    gdi::Rect r;            // line: (x1, y1)-(x2, y2); bitmap: the destination
    QString text;
    gdi::LogPen pen;
    gdi::LogBrush brush;
    quint32 align = 0;
    qint32 fontHeight = 0;
    QString face;
    gdi::Rect src;          // bitmap: the source rectangle
    QImage image;           // bitmap: the pixels
    qint32 stretchMode = 0; // bitmap: the stretch mode it was drawn with
};

class RecordingCanvas : public Canvas {
public:
    explicit RecordingCanvas(int dpi = 96)
        : m_dpi(dpi), m_image(4, 4, QImage::Format_ARGB32_Premultiplied), m_measure(&m_image, dpi) {}

    int deviceCaps(int index) const override
    {
        if (index == gdi::LOGPIXELSX || index == gdi::LOGPIXELSY)
            return m_dpi;
        return 0;
    }
    void setFont(const gdi::LogFont &f) override
    {
        Canvas::setFont(f);
        m_measure.setFont(f);
    }
    void lineTo(qint32 x, qint32 y) override
    {
        push(DrawOp::Line, {m_state.position.x, m_state.position.y, x, y});
        m_state.position = {x, y};
    }
    void polyline(std::span<const gdi::Point> pts) override
    {
        if (!pts.empty())
            push(DrawOp::Polyline, {pts.front().x, pts.front().y, pts.back().x, pts.back().y});
    }
    void rectangle(const gdi::Rect &r) override { push(DrawOp::Rectangle, r); }
    void roundRect(const gdi::Rect &r, qint32 cw, qint32) override
    {
        push(DrawOp::RoundRect, r);
        ops.back().align = quint32(cw);
    }
    void ellipse(const gdi::Rect &r) override { push(DrawOp::Ellipse, r); }
    void polygon(std::span<const gdi::Point>) override {}
    void fillRect(const gdi::Rect &r, const gdi::LogBrush &b) override
    {
        push(DrawOp::FillRect, r);
        ops.back().brush = b;
    }
    void extTextOut(qint32 x, qint32 y, quint32, const gdi::Rect *, const QString &text,
                    const std::vector<qint32> * = nullptr) override
    {
        push(DrawOp::Text, {x, y, x, y});
        ops.back().text = text;
        ops.back().align = m_state.textAlign;
        ops.back().fontHeight = m_state.font.height;
        ops.back().face = m_state.font.faceName;
    }
    gdi::Size textExtent(const QString &text) override { return m_measure.textExtent(text); }
    gdi::TextMetric textMetrics() override { return m_measure.textMetrics(); }
    void stretchDIBits(const gdi::Rect &dest, const gdi::Rect &src, const QImage &image, quint32) override
    {
        push(DrawOp::Bitmap, dest);
        ops.back().src = src;
        ops.back().image = image;
        ops.back().stretchMode = m_state.stretchBltMode;
    }
    void intersectClipRect(const gdi::Rect &r) override
    {
        if (recordClips)
            push(DrawOp::Clip, r);
    }
    void selectClipRgnNone() override
    {
        if (recordClips)
            push(DrawOp::ClipNone, {});
    }

    std::vector<DrawOp> of(DrawOp::Kind k) const
    {
        std::vector<DrawOp> out;
        for (const DrawOp &o : ops)
            if (o.kind == k)
                out.push_back(o);
        return out;
    }

    std::vector<DrawOp> ops;
    // Clipping changes are recorded as ops only when asked for.
    bool recordClips = false;

private:
    void push(DrawOp::Kind k, gdi::Rect r)
    {
        DrawOp o{k, r, {}, m_state.pen, m_state.brush, 0, 0, {}, {}, {}, 0};
        ops.push_back(o);
    }
    int m_dpi;
    QImage m_image;
    PainterCanvas m_measure;
};

class RecordingFilter : public RpExportFilter {
public:
    struct Graphic {
        double x, y;
        RpShapeType shape;
        bool isShape;
        gdi::LogPen pen;
        gdi::LogBrush brush;
        gdi::Rect bounds;
    };
    struct Text {
        double x, y;
        QString text;
        Alignment alignment;
        gdi::ColorRef bg;
    };
    void acceptGraphic(double x, double y, QWidget *control) override
    {
        Graphic g{x, y, RpShapeType::rpsRectangle, false, {}, {}, {}};
        if (auto *s = qobject_cast<RpShape *>(control)) {
            g.isShape = true;
            g.shape = s->shape();
            g.pen = s->pen();
            g.brush = s->brush();
            g.bounds = {s->x(), s->y(), s->x() + s->width(), s->y() + s->height()};
        }
        graphics.push_back(g);
    }
    void textOut(double x, double y, const RpFont &, gdi::ColorRef bg, Alignment a, const QString &t) override
    {
        texts.push_back({x, y, t, a, bg});
    }
    std::vector<Graphic> graphics;
    std::vector<Text> texts;
};
