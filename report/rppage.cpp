// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/rppage.h"

#include "platform/guithread.h"
#include "report/customreport.h"

RpPage::RpPage(CustomReport *parent)
    : m_parent(parent)
{
    if (defaultReportUnit() == RpUnit::Inches) // Letter, half-inch margins
        initValues({127, 2794, 127, 2159, 127, 127, 0}, {false, false, false, true, true, true, true});
    else // A4, 10 mm margins
        initValues({100, 2970, 100, 2100, 100, 100, 0}, {false, false, false, true, true, true, true});
}

// The surface follows the page on the user-interface thread.
void RpPage::layOutBands()
{
    if (m_parent)
        runOnGuiThread(m_parent, [p = m_parent] { p->setBandValues(); });
}

void RpPage::repaint()
{
    if (m_parent)
        runOnGuiThread(m_parent, [p = m_parent] { p->update(); });
}

void RpPage::setUnits(RpUnit u)
{
    RpUnitBase::setUnits(u);
    repaint();
}

void RpPage::setIndexedValue(int index, double value)
{
    auto store = [&] { storeNative(index, toNative(units(), isHorizontal(index), value)); };
    switch (index) {
    case BottomMarginIdx:
        store();
        updateOwnerBounds();
        layOutBands();
        break;
    case LengthIdx:
    case WidthIdx:
        if (m_paperSize == RpPaperSize::Custom)
            store();
        updateOwnerBounds();
        layOutBands();
        break;
    case TopMarginIdx:
    case LeftMarginIdx:
    case RightMarginIdx:
    case ColumnSpaceIdx:
        store();
        layOutBands();
        repaint();
        break;
    default:
        break;
    }
}

void RpPage::updateOwnerBounds()
{
    if (m_parentUpdating || !m_parent)
        return;
    const int w = pixelValue(WidthIdx), h = pixelValue(LengthIdx);
    runOnGuiThread(m_parent, [p = m_parent, w, h] {
        RpPage &page = *p->page();
        if (page.m_parentUpdating)
            return;
        page.m_parentUpdating = true;
        p->setBounds(p->left(), p->top(), w, h);
        page.m_parentUpdating = false;
    });
}

void RpPage::readValueList(const std::vector<double> &values)
{
    RpUnitBase::readValueList(values);
    updateOwnerBounds();
}

void RpPage::setPaperSize(RpPaperSize v)
{
    if (v != RpPaperSize::Default && v != RpPaperSize::Custom) {
        const auto mm = papers::sizeMM(v);
        usePixels();
        setUnits(RpUnit::MM);
        m_paperSize = RpPaperSize::Custom;
        if (mm) {
            const bool landscape = m_orientation == PrinterOrientation::poLandscape;
            setWidth(landscape ? mm->height() : mm->width());
            setLength(landscape ? mm->width() : mm->height());
        }
        restoreUnits();
        layOutBands();
    }
    m_paperSize = v;
}

void RpPage::setOrientation(PrinterOrientation v)
{
    if (m_paperSize == RpPaperSize::Custom && v != m_orientation) {
        std::swap(m_values[WidthIdx], m_values[LengthIdx]);
        updateOwnerBounds();
    }
    m_orientation = v;
    if (m_parent)
        m_parent->pageOrientationChanged(v);
    setPaperSize(m_paperSize);
}

void RpPage::setColumns(int v)
{
    if (v <= 0 || v == m_columns)
        return;
    m_columns = v;
    layOutBands();
    repaint();
}

void RpPage::setRuler(bool v)
{
    if (v == m_ruler)
        return;
    m_ruler = v;
    repaint();
    if (m_parent)
        m_parent->setUnits(m_parent->units());
}
