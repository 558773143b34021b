// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Two further line-art printables: a horizontal rule, and a shape that only
// the PDF document filter receives when exporting.
#include "report/rpshape.h"

class RpHRule : public RpLineArt {
    Q_OBJECT
public:
    explicit RpHRule(QWidget *parent = nullptr);

    void printAt(RpReportRun &run, int ofsX, int ofsY) override;
    void paintSurface(Canvas &canvas) override;
};

class RpPDFShape : public RpLineArt {
    Q_OBJECT
public:
    explicit RpPDFShape(QWidget *parent = nullptr);

    RpShapeType shapeType() const { return m_shapeType; }
    void setShapeType(RpShapeType t);

    void printAt(RpReportRun &run, int ofsX, int ofsY) override;
    void paintSurface(Canvas &canvas) override;

private:
    RpShapeType m_shapeType = RpShapeType::rpsRectangle;
};
