// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a printing control needs of the report printer: the page canvas and
// the conversion of page positions in tenths of a millimetre to device
// pixels. XPos(v) = Round((v - LeftWaste) x XFactor), halves to even.
#include "report/rpunits.h"

#include <optional>

class Canvas;
class CustomReport;
class RpPrinter;

class RpPageDevice {
public:
    virtual ~RpPageDevice() = default;

    virtual Canvas *canvas() = 0;
    // Device pixels per tenth of a millimetre.
    virtual double xFactor() const = 0;
    virtual double yFactor() const = 0;
    // The unprintable strip at the left and top of the device page, native.
    virtual double leftWaste() const { return 0; }
    virtual double topWaste() const { return 0; }

    // The length of the paper the pages are on, native units: what generation
    // fills before it breaks to a new page.
    virtual double paperLength(const CustomReport &report) const = 0;
    // Starts the next page (the canvas is that page's afterwards).
    virtual void newPage() {}
    // The report printer behind the device, if any.
    virtual RpPrinter *printer() { return nullptr; }

    int xPos(double v) const { return rpRound((v - leftWaste()) * xFactor()); }
    int yPos(double v) const { return rpRound((v - topWaste()) * yFactor()); }
    int xSize(double v) const { return rpRound(v * xFactor()); }
    int ySize(double v) const { return rpRound(v * yFactor()); }
};

// A page device over any canvas with fixed factors (device pixels per native
// unit), no waste unless given, and paper as long as the report's page unless
// given.
class RpCanvasPageDevice : public RpPageDevice {
public:
    explicit RpCanvasPageDevice(Canvas *canvas, double xFactor, double yFactor,
                                double leftWaste = 0, double topWaste = 0)
        : m_canvas(canvas), m_xFactor(xFactor), m_yFactor(yFactor),
          m_leftWaste(leftWaste), m_topWaste(topWaste) {}
    // At the canvas's own resolution: its pixels per inch / 254.
    explicit RpCanvasPageDevice(Canvas *canvas);

    Canvas *canvas() override { return m_canvas; }
    double xFactor() const override { return m_xFactor; }
    double yFactor() const override { return m_yFactor; }
    double leftWaste() const override { return m_leftWaste; }
    double topWaste() const override { return m_topWaste; }
    double paperLength(const CustomReport &report) const override;
    void setPaperLength(double native) { m_paperLength = native; }

private:
    Canvas *m_canvas;
    double m_xFactor, m_yFactor, m_leftWaste, m_topWaste;
    std::optional<double> m_paperLength;
};
