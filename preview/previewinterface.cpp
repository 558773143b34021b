// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/previewinterface.h"

#include "preview/printdialog.h"
#include "preview/standardpreview.h"
#include "printer/printerdevice.h"
#include "printer/processwide.h"
#include "report/processwide.h"

QWidget *RpStandardPreviewInterface::show(RpPrinter *printer)
{
    auto *w = new RpStandardPreview(nullptr, printer);
    w->showPreview();
    return w;
}

QWidget *RpStandardPreviewInterface::showModal(RpPrinter *printer)
{
    QPointer<RpStandardPreview> w = new RpStandardPreview(nullptr, printer);
    w->showPreviewModal();
    return w; // gone once closed
}

std::optional<PrintDialogChoice> runPrintDialog(const PrintDialogPreset &preset)
{
    PrinterDevice &dev = systemPrinter();
    // Every report runs its print dialog as its printer setup.
    RpPrintDialog dlg;
    dlg.setupOnly = true;
    if (preset.printerIndex >= 0 && preset.printerIndex < dev.printers().size() && preset.printerIndex != dev.printerIndex()) {
        try {
            dev.setPrinterIndex(preset.printerIndex);
        } catch (const std::exception &) {
        }
    }
    dlg.minPage = preset.minPage;
    dlg.maxPage = preset.maxPage;
    dlg.fromPage = preset.fromPage;
    dlg.toPage = preset.toPage;
    dlg.options = poPageNums | poWarning;
    if (std::optional<DevMode> mode = dev.deviceMode()) {
        mode->dmOrientation = preset.orientation;
        dev.setDeviceMode(*mode);
    }
    dlg.setCopies(preset.copies);
    if (!dlg.execute())
        return std::nullopt;
    PrintDialogChoice c;
    c.printerIndex = dev.printerIndex();
    c.printRange = dlg.printRange;
    c.fromPage = dlg.fromPage;
    c.toPage = dlg.toPage;
    c.copies = dlg.copies();
    c.collate = dlg.collate;
    c.printQuality = dlg.printQuality;
    c.colorOption = dlg.colorOption;
    c.outputBin = dlg.outputBin;
    c.paperSize = dlg.paperSize;
    c.paperWidth = dlg.paperWidth;
    c.paperLength = dlg.paperLength;
    c.orientation = dlg.orientation;
    c.duplexCode = dlg.duplexCode;
    c.duplex = dlg.duplex;
    c.printToFile = dlg.printToFile;
    return c;
}

void startPreviewModule()
{
    printerState().previewInterface = [] { return std::make_unique<RpStandardPreviewInterface>(); };
    reportState().printDialog = runPrintDialog;
}
