// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// PrinterSettings: what the report printer reads from the printer device
// (resolution, offsets, paper, bins, copies, duplex) and writes back into
// its device mode before a document. RpPrinterSettings / ReportPrinterSettings:
// the settings a report stores and copies into its printer before a run.
#include "platform/messages.h"
#include "printer/devmode.h"
#include "printer/orientation.h"
#include "printer/papersizes.h"

#include <QString>
#include <array>
#include <functional>

class PrinterDevice;
class RpPrinter;


class PrinterSettings {
public:
    // Hooks around reading and applying: (settings, cancel, device mode).
    using Event = std::function<void(PrinterSettings *, bool &, DevMode &)>;

    PrinterSettings();

    // Binds the settings to a printer and reads its device (none unbinds).
    void setPrinter(PrinterDevice *printer);
    PrinterDevice *printer() const { return m_printer; }
    // Reads the bound printer's device again (after a new printer index).
    void readDevice();
    // Writes the settings into the device mode before a document.
    void applySettings();

    int copies() const { return m_copies; }
    void setCopies(int v);
    bool duplex() const { return m_duplex; }
    void setDuplex(bool v);
    RpOrientation orientation() const { return m_orientation; }
    void setOrientation(RpOrientation v);
    RpBin outputBin() const { return m_outputBin; }
    void setOutputBin(RpBin v);
    RpPaperSize paperSize() const { return m_paperSize; }
    void setPaperSize(RpPaperSize v);
    bool offersPaperSize(RpPaperSize v) const;

    // The table size for a named paper; the device's or custom size for
    // Default and Custom (0.1 mm).
    int paperWidth() const;
    int paperLength() const;
    void setPaperWidth(int v) { m_paperWidth = v; }
    void setPaperLength(int v) { m_paperLength = v; }

    bool printMetafile() const { return m_printMetafile; }
    void setPrintMetafile(bool v) { m_printMetafile = v; }
    bool useStandardPrinter() const { return m_useStandardPrinter; }
    void setUseStandardPrinter(bool v) { m_useStandardPrinter = v; }
    bool useExtendedDuplex() const { return m_useExtendedDuplex; }
    void setUseExtendedDuplex(bool v) { m_useExtendedDuplex = v; }
    int extendedDuplex() const { return m_extendedDuplex; }
    void setExtendedDuplex(int v) { m_extendedDuplex = v; }
    bool useCustomBinCode() const { return m_useCustomBinCode; }
    void setUseCustomBinCode(bool v) { m_useCustomBinCode = v; }
    int customBinCode() const { return m_customBinCode; }
    void setCustomBinCode(int v) { m_customBinCode = v; }
    bool useCustomPaperCode() const { return m_useCustomPaperCode; }
    void setUseCustomPaperCode(bool v) { m_useCustomPaperCode = v; }
    int customPaperCode() const { return m_customPaperCode; }
    void setCustomPaperCode(int v) { m_customPaperCode = v; }
    int printQuality() const { return m_printQuality; }
    void setPrintQuality(int v) { m_printQuality = v; }
    int collate() const { return m_collate; }
    void setCollate(int v) { m_collate = v; }
    int colorOption() const { return m_colorOption; }
    void setColorOption(int v) { m_colorOption = v; }
    int memoryLimit() const { return m_memoryLimit; }
    void setMemoryLimit(int v) { m_memoryLimit = v; }
    const QString &title() const { return m_title; }
    void setTitle(const QString &v) { m_title = v; }

    int pixelsPerX() const { return m_pixelsPerX; }
    int pixelsPerY() const { return m_pixelsPerY; }
    int leftOffset() const { return m_leftOffset; }
    int topOffset() const { return m_topOffset; }
    int index() const { return m_index; }
    QString port() const { return m_port; }

    void setOnGetPrinterSettings(Event e) { m_onGet = std::move(e); }
    void setOnApplyPrinterSettings(Event e) { m_onApply = std::move(e); }

private:
    bool declares(quint32 field) const;

    PrinterDevice *m_printer = nullptr;
    int m_index = -1;
    QString m_device, m_port;
    int m_copies = 1;
    bool m_duplex = false;
    bool m_printMetafile = false;
    bool m_useStandardPrinter = false;
    bool m_useExtendedDuplex = false;
    int m_extendedDuplex = 0;
    bool m_useCustomBinCode = false;
    int m_customBinCode = 0;
    int m_printQuality = 0;
    int m_collate = 0;
    int m_colorOption = 0;
    int m_memoryLimit = 250000;
    bool m_useCustomPaperCode = false;
    int m_customPaperCode = 0;
    RpOrientation m_orientation = RpOrientation::poPortrait;
    RpBin m_outputBin = RpBin::Auto;
    RpPaperSize m_paperSize = RpPaperSize::A4;
    std::array<bool, kPaperSizeCount> m_paperSizes{}; // index = ordinal; 1..69 used
    int m_paperWidth = 0;
    int m_paperLength = 0;
    int m_pixelsPerX = 0;
    int m_pixelsPerY = 0;
    int m_topOffset = 0;
    int m_leftOffset = 0;
    QString m_title;
    Event m_onGet, m_onApply;
    RpLifetime m_lifetime; // reading the device lets messages run
};

// The print settings a report stores (published as its PrinterSettings).
class RpPrinterSettings {
public:
    int copies = 1;
    bool duplex = false;
    RpOrientation orientation = RpOrientation::poPortrait;
    RpBin outputBin = RpBin::Auto;
    RpPaperSize paperSize = RpPaperSize::Letter;
    int printerIndex = -1;
    QString title;
    int firstPage = 0;
    int lastPage = 0;
    bool printMetafile = false;
    bool useStandardPrinter = false;
    bool useExtendedDuplex = false;
    int extendedDuplex = 0;
    int memoryLimit = 250000;
    int printQuality = 0;
    int collate = 0;
    int colorOption = 0;
    bool useCustomBinCode = false;
    int customBinCode = 0;
    bool useCustomPaperCode = false;
    int customPaperCode = 0;

    virtual ~RpPrinterSettings() = default;
    // Copies, in this order, printer index (only when it differs), paper
    // size, copies, duplex, orientation, output bin and title into a printer.
    void applySettings(RpPrinter &printer) const;
};

// The published form; PrintMetaFile is its own flag.
class ReportPrinterSettings : public RpPrinterSettings {
public:
    bool printMetaFile = false;
};
