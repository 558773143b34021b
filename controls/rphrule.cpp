// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/rphrule.h"

#include "platform/canvas.h"
#include "printer/exportfilter.h"
#include "report/customreport.h"
#include "report/pagedevice.h"
#include "report/reportrun.h"

namespace {

bool kindDrawnByPdfShape(RpShapeType t) { return int(t) <= int(RpShapeType::rpsRightAndLeft); }

} // namespace

RpHRule::RpHRule(QWidget *parent)
    : RpLineArt(nullptr)
{
    setBounds(0, 0, 100, 10);
    if (parent)
        setParentPanel(parent);
}

void RpHRule::printAt(RpReportRun &run, int ofsX, int ofsY)
{
    const PageRect r = pageRect(run.device(), ofsX, ofsY);
    if (run.exporting() && run.exportFilter()->isPdfDocumentFilter())
        run.exportFilter()->acceptGraphic(r.L, r.T, this);
    if (!run.finalPass() || !isPrintable())
        return;
    if (Canvas *c = run.canvas()) {
        c->setBrush(resolvedBrush(m_brush));
        c->setPen(resolvedPen(m_pen));
        c->moveTo(r.L, r.MY);
        c->lineTo(r.R, r.MY);
    }
}

void RpHRule::paintSurface(Canvas &c)
{
    if (m_isPrinting)
        return;
    paintBase(c);
    c.setPen(resolvedPen(m_pen));
    c.setBrush(resolvedBrush(m_brush));
    c.moveTo(0, height() / 2);
    c.lineTo(width(), height() / 2);
}

RpPDFShape::RpPDFShape(QWidget *parent)
    : RpLineArt(nullptr)
{
    setBounds(0, 0, 100, 10);
    if (parent)
        setParentPanel(parent);
}

void RpPDFShape::setShapeType(RpShapeType t)
{
    m_shapeType = t;
    update();
}

void RpPDFShape::printAt(RpReportRun &run, int ofsX, int ofsY)
{
    const PageRect r = pageRect(run.device(), ofsX, ofsY);
    if (run.exporting() && isPrintable() && run.exportFilter()->isPdfDocumentFilter())
        run.exportFilter()->acceptGraphic(r.L, r.T, this);
    if (!run.finalPass() || !isPrintable() || !kindDrawnByPdfShape(m_shapeType))
        return;
    if (Canvas *c = run.canvas()) {
        c->setBrush(resolvedBrush(m_brush));
        c->setPen(resolvedPen(m_pen));
        drawShapeFigure(*c, m_shapeType, r.L, r.T, r.R, r.B, r.MX, r.MY, 0);
    }
}

void RpPDFShape::paintSurface(Canvas &c)
{
    if (m_isPrinting)
        return;
    paintBase(c);
    if (!kindDrawnByPdfShape(m_shapeType))
        return;
    c.setPen(resolvedPen(m_pen));
    c.setBrush(resolvedBrush(m_brush));
    const int o = m_pen.width;
    const int W = width();
    const int H = height();
    auto line = [&c](int x1, int y1, int x2, int y2) {
        c.moveTo(x1, y1);
        c.lineTo(x2, y2);
    };
    switch (m_shapeType) {
    case RpShapeType::rpsTopAndBottom:
        line(o, o, W, o);
        line(o, H - 1, W, H - 1);
        break;
    case RpShapeType::rpsRightAndLeft:
        line(o, o, o, H);
        line(W - 1, o, W - 1, H);
        break;
    default:
        drawShapeFigure(c, m_shapeType, o, o, W, H, (o + W) / 2, (o + H) / 2, 0);
        break;
    }
}
