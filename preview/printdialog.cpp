// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/printdialog.h"

#include "preview/processwide.h"
#include "preview/qtprintdialog.h"
#include "printer/printerdevice.h"
#include "printer/qtprinterdevice.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

#include <exception>

PlatformPrintDialog::~PlatformPrintDialog() = default;

PlatformPrintDialog &platformPrintDialog()
{
    if (PlatformPrintDialog *standIn = previewState().printDialog)
        return *standIn;
    static QtPlatformPrintDialog dialog;
    return dialog;
}

RpPrintDialog::RpPrintDialog() = default;

void RpPrintDialog::setCopies(int v)
{
    m_copies = v;
    PrinterDevice &dev = systemPrinter();
    if (std::optional<DevMode> mode = dev.deviceMode()) {
        mode->dmCopies = v;
        dev.setDeviceMode(*mode);
    }
}

PrintDlgData RpPrintDialog::request() const
{
    using D = PrintDlgData;
    D d;
    d.flags = quint32(printRange) | D::PD_ENABLEPRINTHOOK | D::PD_ENABLESETUPHOOK;
    if (collate != 0)
        d.flags |= D::PD_COLLATE;
    if (!(options & poPrintToFile))
        d.flags |= D::PD_HIDEPRINTTOFILE;
    if (!(options & poPageNums))
        d.flags |= D::PD_NOPAGENUMS;
    if (!(options & poSelection))
        d.flags |= D::PD_NOSELECTION;
    if (options & poDisablePrintToFile)
        d.flags |= D::PD_DISABLEPRINTTOFILE;
    if (printToFile)
        d.flags |= D::PD_PRINTTOFILE;
    if (options & poHelp)
        d.flags |= D::PD_SHOWHELP;
    if (!(options & poWarning))
        d.flags |= D::PD_NOWARNING;
    d.fromPage = quint16(fromPage);
    d.toPage = quint16(toPage);
    d.minPage = quint16(minPage);
    d.maxPage = quint16(maxPage);
    d.copies = m_copies;
    d.setupOnly = setupOnly;
    PrinterDevice &dev = systemPrinter();
    d.devMode = dev.deviceMode().value_or(DevMode{});
    d.deviceName = dev.deviceName();
    return d;
}

bool RpPrintDialog::execute()
{
    const PrintDlgData req = request();
    // Modal to the whole application; the window active before is active
    // again afterwards, also when the dialog fails.
    QPointer<QWidget> active = QApplication::activeWindow();
    std::optional<PrintDlgData> got;
    try {
        got = platformPrintDialog().run(active, req);
    } catch (const std::exception &) {
        // A dialog that cannot open (no print system) is as one cancelled:
        // nothing is printed, and the window before is active again.
        got.reset();
    }
    if (active)
        active->activateWindow();
    if (!got)
        return false;

    // The chosen device becomes the printer object's current one.
    PrinterDevice &dev = systemPrinter();
    dev.refresh();
    const int index = int(dev.printers().indexOf(got->deviceName));
    if (index >= 0 && index != dev.printerIndex())
        dev.setPrinterIndex(index);
    dev.setDeviceMode(got->devMode);
    if (auto *qt = dynamic_cast<QtPrinterDevice *>(&dev))
        qt->setOutputFileName(got->outputFileName);
    outputFileName = got->outputFileName;

    using D = PrintDlgData;
    printToFile = got->flags & D::PD_PRINTTOFILE;
    printRange = (got->flags & D::PD_SELECTION)  ? Range::prSelection
                 : (got->flags & D::PD_PAGENUMS) ? Range::prPageNums
                                                 : Range::prAllPages;
    fromPage = got->fromPage;
    toPage = got->toPage;
    // A driver may keep the count in its device settings and answer 1.
    m_copies = got->copies == 1 ? dev.deviceMode().value_or(got->devMode).dmCopies : got->copies;
    const DevMode &m = got->devMode;
    dmFields = m.dmFields;
    outputBin = m.dmDefaultSource;
    paperSize = m.dmPaperSize;
    paperWidth = m.dmPaperWidth;
    paperLength = m.dmPaperLength;
    orientation = qint16(m.dmOrientation);
    printQuality = m.dmPrintQuality;
    colorOption = m.dmColor;
    duplexCode = m.dmDuplex;
    duplex = m.dmDuplex != DevMode::DMDUP_SIMPLEX;
    collate = m.dmCollate;
    return true;
}
