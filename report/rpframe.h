// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The border settings of printables, bands and reports, and how a border is
// drawn into a device rectangle.
#include "platform/gdi.h"
#include "report/rpfont.h"

class Canvas;
class RpReportRun;
class QWidget;

class RpFrame {
public:
    explicit RpFrame(QWidget *parent = nullptr) : m_parent(parent) {}

    QWidget *parent() const { return m_parent; }
    void setParent(QWidget *p) { m_parent = p; }

    quint32 color() const { return m_color; }
    void setColor(quint32 c);
    bool drawTop() const { return m_top; }
    bool drawBottom() const { return m_bottom; }
    bool drawLeft() const { return m_left; }
    bool drawRight() const { return m_right; }
    // Indices 0..3: top, bottom, left, right.
    void setDrawSide(int index, bool value);
    void setDrawTop(bool v) { setDrawSide(0, v); }
    void setDrawBottom(bool v) { setDrawSide(1, v); }
    void setDrawLeft(bool v) { setDrawSide(2, v); }
    void setDrawRight(bool v) { setDrawSide(3, v); }
    quint32 style() const { return m_penStyle; }
    void setStyle(quint32 s);
    // Thickness in points; -1 is one device pixel.
    int width() const { return m_width; }
    void setWidth(int w);

    bool anyFrame() const { return m_top || m_bottom || m_left || m_right; }
    void assign(const RpFrame &other);

    // Side thicknesses in device pixels for the given device pixels per
    // native unit: V for the left and right sides, H for top and bottom.
    int verticalThickness(double xFactor) const;
    int horizontalThickness(double yFactor) const;

    // Draws the frame into `r` (device pixels of `canvas`) and, while `run`
    // is exporting, hands it to the run's export filter as shapes. On screen
    // there is no run.
    void paintFrame(Canvas &canvas, const gdi::Rect &r, double xFactor, double yFactor,
                    const RpReportRun *run = nullptr) const;

private:
    void changed();
    int thickness(double factor) const;

    quint32 m_color = rpcolor::clBlack;
    bool m_bottom = false;
    bool m_left = false;
    QWidget *m_parent = nullptr;
    quint32 m_penStyle = gdi::PS_SOLID;
    bool m_right = false;
    bool m_top = false;
    int m_width = 1;
};
