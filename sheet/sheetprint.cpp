// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheet/sheetprint.h"

#include "platform/rperror.h"
#include "printer/devmode.h"
#include "printer/printerdevice.h"
#include "printer/rpprinter.h"
#include "sheet/badinput.h"

QStringList printSheets(RpPrinter &printer, const SheetPrintOptions &o)
{
    PrinterDevice &dev = systemPrinter();
    dev.refresh();
    const QStringList queues = dev.printers();
    if (queues.isEmpty())
        throw BadInput{{QStringLiteral("no printer is installed")}};
    const QString known = QStringLiteral(" (printers: %1)").arg(queues.join(QStringLiteral(", ")));
    try {
        if (o.queue.isEmpty()) {
            dev.setPrinterIndex(-1);
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
    QStringList warnings;
    if (o.duplex) {
        const std::optional<DevMode> mode = dev.deviceMode();
        if (mode && mode->declares(DevMode::DM_DUPLEX)) {
            printer.setDuplex(true);
            // Portrait sheets turn over their long edge.
            printer.settings().setExtendedDuplex(DevMode::DMDUP_VERTICAL);
        } else {
            warnings << QStringLiteral("%1 prints on one side only: --duplex is ignored").arg(dev.deviceName());
        }
    }
    printer.setFirstPage(0);
    printer.setLastPage(0);
    printer.print();
    return warnings;
}
