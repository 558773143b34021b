// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The line-art control: a rectangle, ellipse, line pair or diagonal drawn
// with its own pen and brush. Frames and backgrounds are also described to
// export filters as temporary shapes.
#include "report/rplineart.h"

enum class RpShapeType {
    rpsRectangle = 0, rpsCircle, rpsVertLine, rpsHorLine, rpsTopAndBottom,
    rpsRightAndLeft, rpsRoundRect, rpsLeftDiagonal, rpsRightDiagonal
};

// Draws one figure into (l, t)-(r, b) the way shapes do on the page.
void drawShapeFigure(Canvas &canvas, RpShapeType kind, int l, int t, int r, int b, int mx, int my,
                     double roundFactor);

class RpShape : public RpLineArt {
    Q_OBJECT
public:
    explicit RpShape(QWidget *parent = nullptr);

    RpShapeType shape() const { return m_shape; }
    void setShape(RpShapeType s);
    float roundFactor() const { return m_roundFactor; }
    void setRoundFactor(float f);

    // A temporary shape handed to an export filter carries device pixels.
    void setDeviceBounds(const gdi::Rect &r) { applyBounds(r.left, r.top, r.width(), r.height()); }

    void printAt(RpReportRun &run, int ofsX, int ofsY) override;
    void paintSurface(Canvas &canvas) override;

private:
    RpShapeType m_shape = RpShapeType::rpsRectangle;
    float m_roundFactor = 0;
};

gdi::LogPen resolvedPen(const gdi::LogPen &p);
gdi::LogBrush resolvedBrush(const gdi::LogBrush &b);
