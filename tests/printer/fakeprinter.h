// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A printer device for the tests: a configurable device mode and paper list,
// pages drawn onto images at a low resolution, and a log of calls.
#include "platform/gdi.h"
#include "platform/paintercanvas.h"
#include "platform/rperror.h"
#include "printer/printerdevice.h"
#include "printer/processwide.h"

#include <QImage>
#include <memory>

class FakePrinterDevice : public PrinterDevice {
public:
    QStringList names{"fake"};
    int index = 0;
    std::optional<DevMode> mode;
    std::optional<std::vector<int>> papers;
    int dpi = 60;
    int physW = 496, physH = 702;   // A4 at 60 dpi
    int offX = 12, offY = 12;       // 5.08 mm margins
    QString title;
    QStringList log;
    std::vector<QImage> pages;
    std::vector<DevMode> applied;
    bool docRunning = false;

    FakePrinterDevice()
    {
        DevMode m;
        m.dmFields = DevMode::DM_ORIENTATION | DevMode::DM_PAPERSIZE | DevMode::DM_COPIES |
                     DevMode::DM_DEFAULTSOURCE | DevMode::DM_DUPLEX | DevMode::DM_COLLATE;
        m.dmPaperSize = 9;
        m.dmCopies = 1;
        m.dmDefaultSource = 7;
        m.dmDuplex = 1;
        m.dmPrintQuality = 600;
        m.dmColor = 2;
        mode = m;
        papers = std::vector<int>{9, 256};
    }

    QStringList printers() override { return names; }
    int printerIndex() const override { return index; }
    void setPrinterIndex(int i) override
    {
        if (i < -1 || i >= names.size())
            throw RpError(RpErrorKind::Printer, QStringLiteral("Printer index out of range"));
        index = i < 0 ? 0 : i;
    }
    QString deviceName() const override { return names.value(index); }
    std::optional<DevMode> deviceMode() override { return mode; }
    void setDeviceMode(const DevMode &m) override
    {
        mode = m;
        applied.push_back(m);
    }
    std::optional<std::vector<int>> paperCodes() override { return papers; }
    std::optional<int> defaultPaperCode() override
    {
        if (names.isEmpty() || !mode)
            return std::nullopt;
        return mode->dmPaperSize;
    }
    int deviceCaps(int i) override
    {
        switch (i) {
        case gdi::LOGPIXELSX:
        case gdi::LOGPIXELSY: return dpi;
        case gdi::HORZRES: return physW - 2 * offX;
        case gdi::VERTRES: return physH - 2 * offY;
        case gdi::PHYSICALWIDTH: return physW;
        case gdi::PHYSICALHEIGHT: return physH;
        case gdi::PHYSICALOFFSETX: return offX;
        case gdi::PHYSICALOFFSETY: return offY;
        default: return 0;
        }
    }
    void setTitle(const QString &t) override { title = t; }
    void beginDoc() override
    {
        if (docRunning)
            throw RpError(RpErrorKind::Printer, QStringLiteral("Printing in progress"));
        log << "StartDoc";
        docRunning = true;
        startPage();
    }
    void newPage() override
    {
        if (!docRunning)
            throw RpError(RpErrorKind::Printer, QStringLiteral("Printer is not currently printing"));
        log << "EndPage";
        canvasPtr.reset();
        startPage();
    }
    void endDoc() override
    {
        if (!docRunning)
            throw RpError(RpErrorKind::Printer, QStringLiteral("Printer is not currently printing"));
        log << "EndPage" << "EndDoc";
        canvasPtr.reset();
        docRunning = false;
    }
    void abortDoc() override
    {
        log << "AbortDoc";
        canvasPtr.reset();
        docRunning = false;
    }
    bool printing() const override { return docRunning; }
    Canvas *canvas() override { return canvasPtr.get(); }

private:
    void startPage()
    {
        log << "StartPage";
        pages.emplace_back(physW - 2 * offX, physH - 2 * offY, QImage::Format_RGB32);
        pages.back().fill(Qt::white);
        canvasPtr = std::make_unique<PainterCanvas>(&pages.back(), dpi);
    }
    std::unique_ptr<PainterCanvas> canvasPtr;
};

// Installs a device as the process's printer for one test (the one before
// comes back afterwards).
struct UseDevice {
    explicit UseDevice(PrinterDevice *d) : previous(std::exchange(printerState().systemPrinter, d)) {}
    ~UseDevice() { printerState().systemPrinter = previous; }
    PrinterDevice *previous;
};
