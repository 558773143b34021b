// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The common part of the printables drawn with a pen and a brush (shapes,
// rules): both tools, and the vertical adjustment stored with them. Colours
// may be system colours; they are resolved when drawing.
#include "report/rpprintable.h"

class RpLineArt : public RpPrintable {
    Q_OBJECT
public:
    explicit RpLineArt(QWidget *parent = nullptr) : RpPrintable(parent) {}

    const gdi::LogBrush &brush() const { return m_brush; }
    void setBrush(const gdi::LogBrush &b);
    const gdi::LogPen &pen() const { return m_pen; }
    void setPen(const gdi::LogPen &p);
    gdi::LogPen &penRef() { return m_pen; }
    gdi::LogBrush &brushRef() { return m_brush; }
    int vertAdjust() const { return m_vertAdjust; }
    void setVertAdjust(int v) { m_vertAdjust = v; }

protected:
    gdi::LogBrush m_brush{gdi::BS_SOLID, rpcolor::clWhite, 0};
    gdi::LogPen m_pen{gdi::PS_SOLID, 1, rpcolor::clBlack};
    int m_vertAdjust = 0;
};
