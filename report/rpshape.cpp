// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/rpshape.h"

#include "platform/canvas.h"
#include "report/customreport.h"
#include "report/pagedevice.h"
#include "report/reportrun.h"

gdi::LogPen resolvedPen(const gdi::LogPen &p) { return {p.style, p.width, rpcolor::resolve(p.color)}; }
gdi::LogBrush resolvedBrush(const gdi::LogBrush &b) { return {b.style, rpcolor::resolve(b.color), b.hatch}; }

void drawShapeFigure(Canvas &c, RpShapeType kind, int L, int T, int R, int B, int MX, int MY, double roundFactor)
{
    auto line = [&c](int x1, int y1, int x2, int y2) {
        c.moveTo(x1, y1);
        c.lineTo(x2, y2);
    };
    switch (kind) {
    case RpShapeType::rpsRectangle:
        c.rectangle({L, T, R, B});
        break;
    case RpShapeType::rpsCircle:
        c.ellipse({L, T, R, B});
        break;
    case RpShapeType::rpsVertLine:
        line(MX, T, MX, B);
        break;
    case RpShapeType::rpsHorLine:
        line(L, MY, R, MY);
        break;
    case RpShapeType::rpsTopAndBottom:
        line(L, T, R, T);
        line(L, B, R, B);
        break;
    case RpShapeType::rpsRightAndLeft:
        line(L, T, L, B);
        line(R, T, R, B);
        break;
    case RpShapeType::rpsRoundRect: {
        const int C = int((R - L) * roundFactor);
        c.roundRect({L, T, R, B}, C, C);
        break;
    }
    case RpShapeType::rpsLeftDiagonal:
        line(R, T, L, B);
        break;
    case RpShapeType::rpsRightDiagonal:
        line(L, T, R, B);
        break;
    }
}

RpShape::RpShape(QWidget *parent)
    : RpLineArt(nullptr)
{
    setBounds(0, 0, 65, 65);
    if (parent)
        setParentPanel(parent);
}

void RpShape::setShape(RpShapeType s)
{
    if (s == m_shape)
        return;
    m_shape = s;
    update();
}

void RpShape::setRoundFactor(float f)
{
    if (f == m_roundFactor)
        return;
    m_roundFactor = f;
    update();
}

void RpShape::printAt(RpReportRun &run, int ofsX, int ofsY)
{
    RpPageDevice &p = run.device();
    const auto [L, T, R, B, MX, MY] = pageRect(p, ofsX, ofsY);
    if (run.exporting() && isPrintable())
        run.exportFilter()->acceptGraphic(L, T, this);
    if (!run.finalPass() || !isPrintable())
        return;
    Canvas *c = p.canvas();
    if (!c)
        return;
    c->setBrush(resolvedBrush(m_brush));
    c->setPen(resolvedPen(m_pen));
    drawShapeFigure(*c, m_shape, L, T, R, B, MX, MY, m_roundFactor);
}

void RpShape::paintSurface(Canvas &c)
{
    if (m_isPrinting)
        return;
    paintBase(c);
    c.setPen(resolvedPen(m_pen));
    c.setBrush(resolvedBrush(m_brush));
    const int W = width();
    const int H = height();
    auto line = [&c](int x1, int y1, int x2, int y2) {
        c.moveTo(x1, y1);
        c.lineTo(x2, y2);
    };
    switch (m_shape) {
    case RpShapeType::rpsTopAndBottom:
        line(0, 0, W, 0);
        line(0, H - 1, W, H - 1);
        break;
    case RpShapeType::rpsRightAndLeft:
        line(0, 0, 0, H);
        line(W - 1, 0, W - 1, H);
        break;
    case RpShapeType::rpsRoundRect: {
        const int C = int(W * m_roundFactor);
        c.roundRect({0, 0, W, H}, C, C);
        break;
    }
    default:
        drawShapeFigure(c, m_shape, 0, 0, W, H, W / 2, H / 2, m_roundFactor);
        break;
    }
}
