// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheet/sheetprint.h"

#include "platform/rperror.h"
#include "printer/cupsjobs.h"
#include "printer/devmode.h"
#include "printer/printerdevice.h"
#include "printer/rpprinter.h"
#include "sheet/badinput.h"

SheetPrintResult printSheets(RpPrinter &printer, const SheetPrintOptions &o)
{
    PrinterDevice &dev = systemPrinter();
    dev.refresh();
    const QStringList queues = dev.printers();
    if (queues.isEmpty())
        throw BadInput{{QStringLiteral("no printer is installed")}};
    const QString known = QStringLiteral(" (printers: %1)").arg(queues.join(QStringLiteral(", ")));
    try {
        if (o.queue.isEmpty()) {
            try {
                dev.setPrinterIndex(-1);
            } catch (const RpError &) {
                // No default printer: the only one there is, as the window
                // takes it.
                if (queues.size() != 1)
                    throw;
                dev.setPrinterIndex(0);
            }
        } else {
            const int index = int(queues.indexOf(o.queue));
            if (index < 0)
                throw BadInput{{QStringLiteral("no printer named '%1'").arg(o.queue) + known}};
            dev.setPrinterIndex(index);
        }
    } catch (const RpError &e) {
        throw BadInput{{e.message() + known}};
    }
    printer.settings().setPrinter(&dev);
    printer.setCopies(o.copies);
    SheetPrintResult result;
    result.queue = dev.deviceName();
    if (o.duplex) {
        const std::optional<DevMode> mode = dev.deviceMode();
        if (mode && mode->declares(DevMode::DM_DUPLEX)) {
            printer.setDuplex(true);
            // Portrait sheets turn over their long edge.
            printer.settings().setExtendedDuplex(DevMode::DMDUP_VERTICAL);
        } else {
            result.warnings << QStringLiteral("%1 prints on one side only: --duplex is ignored").arg(dev.deviceName());
        }
    }
    printer.setFirstPage(0);
    printer.setLastPage(0);
    const std::optional<int> before = cupsjobs::latestJob(result.queue);
    printer.print();
    if (before)
        result.jobId = cupsjobs::jobAfter(result.queue, printer.title(), *before);
    return result;
}
