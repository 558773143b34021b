// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The printer object of the process: the list of printers, the selected one,
// its device mode and capabilities, and documents with pages drawn on its
// canvas. QtPrinterDevice reaches the system's printers (CUPS) through
// QPrinter; tests put a device of their own in its place.
#include "printer/devmode.h"
#include "printer/papersizes.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

class Canvas;

class PrinterDevice {
public:
    virtual ~PrinterDevice();

    virtual QStringList printers() = 0;
    // Re-reads the list of installed printers.
    virtual void refresh() {}
    // The selected printer's index in printers(), or -1 when none is.
    virtual int printerIndex() const = 0;
    // Selects a printer; -1 selects the default one. Raises RpError with
    // "Printer index out of range", "There is no default printer currently
    // selected" or "Printing in progress".
    virtual void setPrinterIndex(int index) = 0;
    virtual QString deviceName() const = 0;

    // The selected printer's device mode, or none when it has none.
    virtual std::optional<DevMode> deviceMode() = 0;
    // Makes the printer use `mode` for the next document.
    virtual void setDeviceMode(const DevMode &mode) = 0;
    // The paper codes the device offers, or none when it does not say.
    virtual std::optional<std::vector<int>> paperCodes() = 0;
    // The default paper (a device paper code) of the system's default
    // printer, which need not be the selected one; none without a default
    // printer.
    virtual std::optional<int> defaultPaperCode() { return std::nullopt; }
    // LOGPIXELSX/Y, HORZRES/VERTRES (printable area in device pixels),
    // PHYSICALWIDTH/HEIGHT and PHYSICALOFFSETX/Y.
    virtual int deviceCaps(int index) = 0;

    virtual void setTitle(const QString &title) = 0;
    // StartDoc and the first StartPage. Raises RpError "Printing in
    // progress" when a document runs, "Printer selected is not valid" when
    // the device cannot be opened.
    virtual void beginDoc() = 0;
    // EndPage, StartPage. Raises "Printer is not currently printing".
    virtual void newPage() = 0;
    virtual void endDoc() = 0;
    virtual void abortDoc() = 0;
    virtual bool printing() const = 0;
    // The canvas of the current device page, while printing.
    virtual Canvas *canvas() = 0;
};

// The process's printer object: the stand-in of printerState() when one is
// set, else the system's own.
PrinterDevice &systemPrinter();

// The default printer's paper as a paper size, or none when there is no
// default printer (a new report's page starts on it).
std::optional<RpPaperSize> defaultPrinterPaper();
