// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The printer settings a report stores with itself, as plain values. The
// printer-settings module gives them their meaning (device mode, bins); the
// report only carries them so that its description reads and writes whole.
class RpPrinter;

struct StoredPrinterSettings {
    int copies = 1;
    int outputBin = 7; // Auto
    bool duplex = false;
    int firstPage = 0;
    int lastPage = 0;
    bool useStandardprinter = false;
    bool useCustomBinCode = false;
    int customBinCode = 0;
    int extendedDuplex = 0;
    bool useCustomPaperCode = false;
    int customPaperCode = 0;
    bool printMetaFile = false;
    int printQuality = 0;
    int collate = 0;
    int colorOption = 0;
    int orientation = 0; // follows the page's orientation
    // The printer chosen in the printer setup; -1: the default one. Not stored.
    int printerIndex = -1;

    // Copies, the bin, the page range, duplex, the standard-printer and
    // metafile switches, the custom bin and paper codes, quality, collation
    // and colour into a report printer (the printer and the paper are the
    // caller's).
    void applyTo(RpPrinter &printer) const;
};
