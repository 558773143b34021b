#pragma once
// Two further line-art printables: a horizontal rule, and a shape that only
// the PDF document filter receives when exporting.
#include "report/rpshape.h"

class RpHRule : public RpPrintable {
    Q_OBJECT
public:
    explicit RpHRule(QWidget *parent = nullptr);

    const gdi::LogBrush &brush() const { return m_brush; }
    void setBrush(const gdi::LogBrush &b);
    const gdi::LogPen &pen() const { return m_pen; }
    void setPen(const gdi::LogPen &p);
    gdi::LogPen &penRef() { return m_pen; }
    gdi::LogBrush &brushRef() { return m_brush; }
    int vertAdjust() const { return m_vertAdjust; }
    void setVertAdjust(int v) { m_vertAdjust = v; }

    void printAt(int ofsX, int ofsY) override;
    void paintSurface(Canvas &canvas) override;

private:
    gdi::LogBrush m_brush{gdi::BS_SOLID, rpcolor::clWhite, 0};
    gdi::LogPen m_pen{gdi::PS_SOLID, 1, rpcolor::clBlack};
    int m_vertAdjust = 0;
};

class RpPDFShape : public RpPrintable {
    Q_OBJECT
public:
    explicit RpPDFShape(QWidget *parent = nullptr);

    const gdi::LogBrush &brush() const { return m_brush; }
    void setBrush(const gdi::LogBrush &b);
    const gdi::LogPen &pen() const { return m_pen; }
    void setPen(const gdi::LogPen &p);
    gdi::LogPen &penRef() { return m_pen; }
    gdi::LogBrush &brushRef() { return m_brush; }
    RpShapeType shapeType() const { return m_shapeType; }
    void setShapeType(RpShapeType t);
    int vertAdjust() const { return m_vertAdjust; }
    void setVertAdjust(int v) { m_vertAdjust = v; }

    void printAt(int ofsX, int ofsY) override;
    void paintSurface(Canvas &canvas) override;

private:
    gdi::LogBrush m_brush{gdi::BS_SOLID, rpcolor::clWhite, 0};
    gdi::LogPen m_pen{gdi::PS_SOLID, 1, rpcolor::clBlack};
    int m_vertAdjust = 0;
    RpShapeType m_shapeType = RpShapeType::rpsRectangle;
};
