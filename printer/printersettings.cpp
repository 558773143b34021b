// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/printersettings.h"

#include "platform/gdi.h"
#include "platform/messages.h"
#include "platform/units.h"
#include "printer/printerdevice.h"
#include "printer/rpprinter.h"

PrinterSettings::PrinterSettings() = default;

void PrinterSettings::setPrinter(PrinterDevice *printer)
{
    m_printer = printer;
    if (m_printer && !m_printer->printers().isEmpty())
        readDevice();
}

bool PrinterSettings::declares(quint32 field) const
{
    if (!m_printer)
        return false;
    const auto mode = m_printer->deviceMode();
    return mode && mode->declares(field);
}

void PrinterSettings::readDevice()
{
    if (!m_printer)
        return;
    const RpLifetime::Watch alive = m_lifetime.watch();
    processMessages();
    if (!alive.alive())
        return; // the settings' printer was freed while the messages ran
    std::optional<DevMode> got = m_printer->deviceMode();
    if (!got)
        got = m_printer->deviceMode(); // asked a second time, as an empty handle may fill
    if (!got)
        return;
    DevMode dm = *got;
    try {
        if (m_onGet) {
            bool cancel = false;
            m_onGet(this, cancel, dm);
            if (cancel)
                return;
        }
        m_device = m_printer->deviceName();
        m_port = m_device;
        m_pixelsPerX = m_printer->deviceCaps(gdi::LOGPIXELSX);
        m_pixelsPerY = m_printer->deviceCaps(gdi::LOGPIXELSY);
        m_copies = dm.declares(DevMode::DM_COPIES) ? dm.dmCopies : 1;
        m_outputBin = RpBin::First;
        if (dm.declares(DevMode::DM_DEFAULTSOURCE))
            m_outputBin = papers::binFromDeviceCode(dm.dmDefaultSource);
        if (dm.declares(DevMode::DM_DUPLEX)) {
            m_duplex = dm.dmDuplex != DevMode::DMDUP_SIMPLEX;
            m_extendedDuplex = dm.dmDuplex;
        }
        const int px = m_pixelsPerX > 0 ? m_pixelsPerX : 1;
        const int py = m_pixelsPerY > 0 ? m_pixelsPerY : 1;
        m_leftOffset = rpRound(units::deviceToNative(m_printer->deviceCaps(gdi::PHYSICALOFFSETX), px));
        m_topOffset = rpRound(units::deviceToNative(m_printer->deviceCaps(gdi::PHYSICALOFFSETY), py));
        m_paperSize = RpPaperSize::Default;
        if (dm.declares(DevMode::DM_PAPERSIZE))
            m_paperSize = papers::fromDeviceCode(dm.dmPaperSize);
        m_paperWidth = rpRound(units::deviceToNative(m_printer->deviceCaps(gdi::PHYSICALWIDTH), px));
        m_paperLength = rpRound(units::deviceToNative(m_printer->deviceCaps(gdi::PHYSICALHEIGHT), py));
        if (const auto codes = m_printer->paperCodes()) {
            m_paperSizes.fill(false);
            for (int code : *codes) {
                const RpPaperSize p = papers::fromDeviceCode(code);
                if (p != RpPaperSize::Default)
                    m_paperSizes[size_t(p)] = true;
            }
        }
        m_paperSizes[size_t(RpPaperSize::Custom)] = true;
        m_printQuality = dm.dmPrintQuality;
        m_collate = dm.dmCollate;
        m_colorOption = dm.dmColor;
        m_index = m_printer->printerIndex();
    } catch (...) {
        // A device that fails while being read is dropped: the defaults stand.
        m_printer = nullptr;
    }
}

void PrinterSettings::setCopies(int v)
{
    if (declares(DevMode::DM_COPIES))
        m_copies = v;
}

void PrinterSettings::setDuplex(bool v)
{
    // A duplex choice made here replaces the raw code read from the device;
    // otherwise that code (1, one-sided) would override every later choice.
    if (declares(DevMode::DM_DUPLEX)) {
        m_duplex = v;
        m_extendedDuplex = 0;
    }
}

void PrinterSettings::setOrientation(RpOrientation v)
{
    if (declares(DevMode::DM_ORIENTATION))
        m_orientation = v;
}

void PrinterSettings::setOutputBin(RpBin v)
{
    if (declares(DevMode::DM_DEFAULTSOURCE))
        m_outputBin = v;
}

bool PrinterSettings::offersPaperSize(RpPaperSize v) const
{
    const int i = int(v);
    return m_printer && i >= 1 && i < kPaperSizeCount && m_paperSizes[size_t(i)];
}

void PrinterSettings::setPaperSize(RpPaperSize v)
{
    if (v == RpPaperSize::Default || offersPaperSize(v))
        m_paperSize = v;
}

int PrinterSettings::paperWidth() const
{
    if (const auto s = papers::sizeNative(m_paperSize))
        return s->width();
    return m_paperWidth;
}

int PrinterSettings::paperLength() const
{
    if (const auto s = papers::sizeNative(m_paperSize))
        return s->height();
    return m_paperLength;
}

void PrinterSettings::applySettings()
{
    if (!m_printer)
        return;
    std::optional<DevMode> got = m_printer->deviceMode();
    if (!got)
        return;
    DevMode dm = *got;
    dm.dmFields |= DevMode::DM_PAPERLENGTH | DevMode::DM_PAPERWIDTH;
    dm.dmPaperLength = paperLength();
    dm.dmPaperWidth = paperWidth();
    if (dm.declares(DevMode::DM_PAPERSIZE) && m_paperSize != RpPaperSize::Default)
        dm.dmPaperSize = m_useCustomPaperCode ? m_customPaperCode : papers::deviceCode(m_paperSize);
    dm.dmFields |= DevMode::DM_COPIES;
    dm.dmCopies = m_copies;
    if (dm.declares(DevMode::DM_DUPLEX))
        dm.dmDuplex = m_extendedDuplex != 0 ? m_extendedDuplex
                      : m_duplex            ? int(DevMode::DMDUP_HORIZONTAL)
                                            : int(DevMode::DMDUP_SIMPLEX);
    dm.dmFields |= DevMode::DM_DEFAULTSOURCE;
    dm.dmDefaultSource = m_useCustomBinCode ? m_customBinCode : papers::binDeviceCode(m_outputBin);
    dm.dmFields |= DevMode::DM_ORIENTATION;
    dm.dmOrientation = m_orientation == RpOrientation::poLandscape ? int(DevMode::DMORIENT_LANDSCAPE)
                                                                   : int(DevMode::DMORIENT_PORTRAIT);
    if (dm.declares(DevMode::DM_COLLATE))
        dm.dmCollate = m_collate;
    bool cancel = false;
    if (m_onApply)
        m_onApply(this, cancel, dm);
    if (!cancel)
        m_printer->setDeviceMode(dm);
}

void RpPrinterSettings::applySettings(RpPrinter &printer) const
{
    if (printer.printerIndex() != printerIndex)
        printer.setPrinterIndex(printerIndex);
    printer.setPaperSize(paperSize);
    printer.setCopies(copies);
    printer.setDuplex(duplex);
    printer.setOrientation(orientation);
    printer.setOutputBin(outputBin);
    printer.setTitle(title);
}
