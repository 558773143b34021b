// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/rpframe.h"

#include "platform/units.h"
#include "platform/canvas.h"
#include "printer/exportfilter.h"
#include "report/customreport.h"
#include "report/rpband.h"
#include "report/reportrun.h"
#include "report/rpprintable.h"
#include "report/rpshape.h"

#include <QWidget>

void RpFrame::changed()
{
    if (m_parent)
        m_parent->update();
}

void RpFrame::setColor(quint32 c)
{
    m_color = c;
    changed();
}

void RpFrame::setDrawSide(int index, bool v)
{
    switch (index) {
    case 0: m_top = v; break;
    case 1: m_bottom = v; break;
    case 2: m_left = v; break;
    case 3: m_right = v; break;
    default: break;
    }
    changed();
}

void RpFrame::setStyle(quint32 s)
{
    m_penStyle = s;
    changed();
}

void RpFrame::setWidth(int w)
{
    m_width = w;
    changed();
}

void RpFrame::assign(const RpFrame &o)
{
    m_color = o.m_color;
    m_bottom = o.m_bottom;
    m_left = o.m_left;
    m_right = o.m_right;
    m_top = o.m_top;
    m_penStyle = o.m_penStyle;
    m_width = o.m_width;
    changed();
}

int RpFrame::thickness(double factor) const
{
    if (m_width == -1)
        return 1;
    int t = rpRound(factor * units::pointsToNative(m_width));
    if (t < 1 && m_width >= 1)
        t = 1;
    if (t < 0)
        t = 0;
    return t;
}

int RpFrame::verticalThickness(double xFactor) const { return thickness(xFactor); }
int RpFrame::horizontalThickness(double yFactor) const { return thickness(yFactor); }

void RpFrame::paintFrame(Canvas &canvas, const gdi::Rect &r, double xFactor, double yFactor,
                         const RpReportRun *run) const
{
    const int v = verticalThickness(xFactor);
    const int h = horizontalThickness(yFactor);
    const gdi::ColorRef color = rpcolor::resolve(m_color);
    canvas.setBrush(gdi::LogBrush{gdi::BS_SOLID, color, 0});
    canvas.setPen(gdi::LogPen{m_penStyle, 1, color});
    const gdi::Rect topR{r.left, r.top, r.right, r.top + h};
    const gdi::Rect bottomR{r.left, r.bottom - h, r.right, r.bottom};
    const gdi::Rect leftR{r.left, r.top, r.left + v, r.bottom};
    const gdi::Rect rightR{r.right - v, r.top, r.right, r.bottom};
    const gdi::LogBrush fill{gdi::BS_SOLID, color, 0};
    if (h > 0 && m_top)
        canvas.fillRect(topR, fill);
    if (h > 0 && m_bottom)
        canvas.fillRect(bottomR, fill);
    if (v > 0 && m_left)
        canvas.fillRect(leftR, fill);
    if (v > 0 && m_right)
        canvas.fillRect(rightR, fill);

    // Export: only the frames of printables, bands and reports, and only
    // while the run they print in is exporting.
    auto *printable = qobject_cast<RpPrintable *>(m_parent);
    if (!printable && !qobject_cast<RpCustomBand *>(m_parent) && !qobject_cast<CustomReport *>(m_parent))
        return;
    gdi::LogBrush clear = canvas.brush();
    clear.style = gdi::BS_NULL;
    canvas.setBrush(clear);
    if (!run || !run->exporting())
        return;
    RpExportFilter *filter = run->exportFilter();
    RpShape shape;
    auto hand = [&](RpShapeType kind, const gdi::Rect &b) {
        shape.setShape(kind);
        shape.setDeviceBounds(b);
        filter->acceptGraphic(b.left, b.top, &shape);
    };
    if (printable && !printable->transparentStyle()) {
        shape.setBrush({gdi::BS_SOLID, printable->color(), 0});
        shape.setPen({gdi::PS_NULL, 1, 0});
        hand(RpShapeType::rpsRectangle, r);
    }
    shape.setPen({gdi::PS_SOLID, v, m_color});
    shape.setBrush({gdi::BS_NULL, rpcolor::clWhite, 0});
    if (m_top && m_bottom && m_left && m_right) {
        hand(RpShapeType::rpsRectangle, r);
        return;
    }
    if (m_top)
        hand(RpShapeType::rpsHorLine, topR);
    if (m_bottom)
        hand(RpShapeType::rpsHorLine, bottomR);
    if (m_left)
        hand(RpShapeType::rpsVertLine, leftR);
    if (m_right)
        hand(RpShapeType::rpsVertLine, rightR);
}
