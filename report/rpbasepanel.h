// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The base of reports and bands: a panel with a font size for the character
// ruler, a zoom, a border and a background colour.
#include "report/rpfont.h"
#include "report/rpframe.h"
#include "report/rpunits.h"

#include <QWidget>
#include <memory>

class Canvas;

class RpBasePanel : public QWidget {
    Q_OBJECT
public:
    explicit RpBasePanel(QWidget *parent = nullptr);
    ~RpBasePanel() override;

    int fontSize() const { return m_fontSize; }
    void setFontSize(int s) { m_fontSize = s; }
    int zoom() const { return m_zoom; }
    virtual void setZoom(int z);
    RpFrame *frame() const { return m_frame.get(); }

    quint32 color() const { return m_color; }
    void setColor(quint32 c);

    int left() const { return x(); }
    int top() const { return y(); }
    // Moves or resizes the panel; reports and bands add their own rules.
    virtual void setBounds(int left, int top, int width, int height);
    void applyBounds(int left, int top, int width, int height);

    // Paints the panel onto any canvas in its own pixel coordinates.
    virtual void paintSurface(Canvas &canvas);
    virtual void drawRuler(Canvas &canvas, RpUnit units);

    // Description reading: while set, bounds are remembered, not applied.
    bool isLoading() const { return m_loading; }
    void setLoading(bool b) { m_loading = b; }
    // The step run once the panel and its children have been read.
    virtual void loaded() { m_loading = false; }

protected:
    void paintEvent(QPaintEvent *event) override;
    // Panel base of the paint: fill with the colour (silver when disabled),
    // then leave the brush clear.
    void paintBackground(Canvas &canvas);
    virtual bool isReportPanel() const { return false; }

    int m_fontSize = 12;
    int m_zoom = 100;
    std::unique_ptr<RpFrame> m_frame;
    quint32 m_color = rpcolor::clBtnFace;
    bool m_loading = false;
};
