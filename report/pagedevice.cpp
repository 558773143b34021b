// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/pagedevice.h"

#include "platform/canvas.h"
#include "platform/units.h"
#include "report/customreport.h"
#include "report/rpprinterdevice.h"

RpCanvasPageDevice::RpCanvasPageDevice(Canvas *canvas)
    : RpCanvasPageDevice(canvas, units::devicePerNative(canvas->logPixelsX()),
                         units::devicePerNative(canvas->logPixelsY()))
{
}

double RpCanvasPageDevice::paperLength(const CustomReport &report) const
{
    if (m_paperLength)
        return *m_paperLength;
    return report.page()->nativeValue(RpPage::LengthIdx);
}

double RpPrinterPageDevice::paperLength(const CustomReport &report) const
{
    PrinterSettings &s = m_printer.settings();
    const bool landscape = m_printer.orientation() == RpOrientation::poLandscape;
    const double p = landscape && s.paperSize() != RpPaperSize::Custom ? s.paperWidth() : s.paperLength();
    return p > 0 ? p : report.page()->nativeValue(RpPage::LengthIdx);
}
