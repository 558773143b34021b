// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The printer setup of a report (CustomReport::printerSetup) and of a
// composite report (RpCompositeReport::printerSetup).
#include "report/printersetup.h"

#include "printer/printerdevice.h"
#include "printer/rpprinter.h"
#include "report/compositereport.h"
#include "report/customreport.h"
#include "report/processwide.h"

namespace printersetup {

std::optional<RpBin> binOfRawCode(int raw)
{
    if (raw > 255)
        raw -= 256;
    for (int i = 0; i < kBinCount; ++i)
        if (papers::binDeviceCode(RpBin(i)) == raw)
            return RpBin(i);
    return std::nullopt;
}

std::optional<PrintDialogChoice> runDialog(const PrintDialogPreset &preset)
{
    const PrintDialogRunner &run = reportState().printDialog;
    if (!run)
        return std::nullopt;
    return run(preset);
}

} // namespace printersetup

namespace {

// The page limits: 1 to the page count of a finished document, else 0 to 9999.
void presetPages(PrintDialogPreset &p, RpPrinter *printer)
{
    if (printer && printer->status() == mpFinished) {
        p.minPage = 1;
        p.maxPage = printer->pageCount();
        p.fromPage = 1;
        p.toPage = printer->pageCount();
    }
}

} // namespace

void CustomReport::printerSetup()
{
    systemPrinter().refresh();
    PrintDialogPreset preset;
    preset.printerIndex = m_printerSettings.printerIndex;
    presetPages(preset, reportPrinter());
    preset.orientation = m_page->orientation() == PrinterOrientation::poLandscape ? 2 : 1;
    preset.copies = m_printerSettings.copies;
    const std::optional<PrintDialogChoice> c = printersetup::runDialog(preset);
    if (!c) {
        setTag(1);
        return;
    }
    StoredPrinterSettings &s = m_printerSettings;
    s.copies = c->copies;
    s.printerIndex = c->printerIndex;
    m_page->setOrientation(c->orientation == 2 ? PrinterOrientation::poLandscape : PrinterOrientation::poPortrait);
    const bool pages = c->printRange == PrintRange::prPageNums;
    UserPrinterSettings &u = m_userPrinterSettings;
    u.printerIndex = c->printerIndex;
    u.copies = c->copies;
    u.orientation = c->orientation;
    u.firstPage = pages ? c->fromPage : 0;
    u.lastPage = pages ? c->toPage : 0;
    u.collate = c->collate;
    u.colorOption = c->colorOption;
    u.printQuality = c->printQuality;
    u.duplex = c->duplex;
    u.extendedDuplex = c->duplexCode;
    u.rawBin = c->outputBin;
    if (const auto bin = printersetup::binOfRawCode(c->outputBin))
        u.outputBin = *bin;
    u.paperCode = c->paperSize;
    s.firstPage = u.firstPage;
    s.lastPage = u.lastPage;
    setTag(0);
}

void RpCompositeReport::printerSetup()
{
    PrintDialogPreset preset;
    preset.printerIndex = m_settings.printerIndex;
    presetPages(preset, m_reportPrinter.get());
    preset.orientation = m_settings.orientation == int(PrinterOrientation::poLandscape) ? 2 : 1;
    preset.copies = m_settings.copies;
    const std::optional<PrintDialogChoice> c = printersetup::runDialog(preset);
    if (!c) {
        m_tag = 1;
        return;
    }
    m_settings.copies = c->copies;
    m_settings.printerIndex = systemPrinter().printerIndex();
    m_settings.customBinCode = c->outputBin;
    m_settings.extendedDuplex = c->duplexCode;
    if (const auto bin = printersetup::binOfRawCode(c->outputBin))
        m_settings.outputBin = int(*bin);
    const bool pages = c->printRange == PrintRange::prPageNums;
    m_settings.firstPage = pages ? c->fromPage : 0;
    m_settings.lastPage = pages ? c->toPage : 0;
    m_tag = 0;
}
