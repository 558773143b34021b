// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The report printer as the page device printing controls draw through.
#include "printer/rpprinter.h"
#include "report/pagedevice.h"

class RpPrinterPageDevice : public RpPageDevice {
public:
    explicit RpPrinterPageDevice(RpPrinter &printer) : m_printer(printer) {}
    Canvas *canvas() override { return m_printer.canvas(); }
    double xFactor() const override { return m_printer.xFactor(); }
    double yFactor() const override { return m_printer.yFactor(); }
    double leftWaste() const override { return m_printer.leftWaste(); }
    double topWaste() const override { return m_printer.topWaste(); }
    // The printer's paper length, or its width for a landscape page unless
    // the paper is Custom; the report page's when the printer has none.
    double paperLength(const CustomReport &report) const override;
    void newPage() override { m_printer.newPage(); }
    RpPrinter *printer() override { return &m_printer; }
    RpPrinter &printer() const { return m_printer; }

private:
    RpPrinter &m_printer;
};
