// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The page setup of a report: paper, orientation, margins and columns.
#include "printer/orientation.h"
#include "printer/papersizes.h"
#include "report/rpunits.h"

// A page is set the way up its printer is.
using PrinterOrientation = RpOrientation;
enum class RpPrintOrder { ColByCol = 0, RowByRow = 1 };

class RpPage : public RpUnitBase {
public:
    enum Index {
        BottomMarginIdx = 0, LengthIdx = 1, TopMarginIdx = 2, WidthIdx = 3,
        LeftMarginIdx = 4, RightMarginIdx = 5, ColumnSpaceIdx = 6
    };
    explicit RpPage(CustomReport *parent = nullptr);

    CustomReport *parent() const { return m_parent; }

    double bottomMargin() const { return getIndexedValue(BottomMarginIdx); }
    double length() const { return getIndexedValue(LengthIdx); }
    double topMargin() const { return getIndexedValue(TopMarginIdx); }
    double width() const { return getIndexedValue(WidthIdx); }
    double leftMargin() const { return getIndexedValue(LeftMarginIdx); }
    double rightMargin() const { return getIndexedValue(RightMarginIdx); }
    double columnSpace() const { return getIndexedValue(ColumnSpaceIdx); }
    void setBottomMargin(double v) { setIndexedValue(BottomMarginIdx, v); }
    void setLength(double v) { setIndexedValue(LengthIdx, v); }
    void setTopMargin(double v) { setIndexedValue(TopMarginIdx, v); }
    void setWidth(double v) { setIndexedValue(WidthIdx, v); }
    void setLeftMargin(double v) { setIndexedValue(LeftMarginIdx, v); }
    void setRightMargin(double v) { setIndexedValue(RightMarginIdx, v); }
    void setColumnSpace(double v) { setIndexedValue(ColumnSpaceIdx, v); }

    RpPaperSize paperSize() const { return m_paperSize; }
    void setPaperSize(RpPaperSize v);
    PrinterOrientation orientation() const { return m_orientation; }
    void setOrientation(PrinterOrientation v);
    int columns() const { return m_columns; }
    void setColumns(int v);
    bool ruler() const { return m_ruler; }
    void setRuler(bool v);
    bool continuous() const { return m_continuous; }
    void setContinuous(bool v) { m_continuous = v; }
    RpPrintOrder printOrder() const { return m_printOrder; }
    void setPrintOrder(RpPrintOrder v) { m_printOrder = v; }

    void setUnits(RpUnit u) override;
    void setIndexedValue(int index, double value) override;
    void updateOwnerBounds() override;
    void readValueList(const std::vector<double> &values) override;

private:
    void layOutBands();
    void repaint();

    CustomReport *m_parent;
    int m_columns = 1;
    PrinterOrientation m_orientation = PrinterOrientation::poPortrait;
    RpPaperSize m_paperSize = RpPaperSize::Default;
    RpPrintOrder m_printOrder = RpPrintOrder::ColByCol;
    bool m_ruler = true;
    bool m_continuous = false;
};
