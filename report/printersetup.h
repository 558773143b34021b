// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The printer setup of a report and of a composite report: the print dialog
// is preset from the report, run, and its choice kept in the report's
// settings. The dialog is a window and lives above the report model: the
// preview module registers how it is run (reportState().printDialog).
#include "printer/papersizes.h"
#include "printer/printrange.h"

#include <functional>
#include <optional>

// What the print dialog is preset with.
struct PrintDialogPreset {
    // Selected on the printer object before the dialog opens; -1: leave it.
    int printerIndex = -1;
    int minPage = 0, maxPage = 9999;
    int fromPage = 0, toPage = 0;
    // 1 portrait, 2 landscape: the printer object's orientation.
    int orientation = 1;
    int copies = 1;
};

// What a confirmed print dialog answers (the device settings it returned).
struct PrintDialogChoice {
    int printerIndex = -1; // the printer object's index after the dialog
    PrintRange printRange = PrintRange::prAllPages;
    int fromPage = 0, toPage = 0;
    int copies = 1;
    int collate = 0;
    int printQuality = 0;
    int colorOption = 0;
    int outputBin = 0;  // raw bin code
    int paperSize = 0;  // device paper code
    double paperWidth = 0, paperLength = 0; // 0.1 mm
    int orientation = 1;
    int duplexCode = 1; // 1 simplex, 2 vertical, 3 horizontal
    bool duplex = false;
    bool printToFile = false;
};

// Runs the dialog; none when it was cancelled or could not be shown.
using PrintDialogRunner = std::function<std::optional<PrintDialogChoice>(const PrintDialogPreset &)>;

// The whole choice of the last confirmed printer setup; the preview applies
// it to the printer it shows.
struct UserPrinterSettings {
    int printerIndex = -1;
    int copies = 1;
    int orientation = 1;
    int firstPage = 0, lastPage = 0; // 0, 0: every page
    int collate = 0;
    int colorOption = 0;
    int printQuality = 0;
    bool duplex = false;
    int extendedDuplex = 0;
    bool useExtendedDuplex = false;
    int rawBin = 0;
    RpBin outputBin = RpBin::Auto;
    int paperCode = 0;
};

namespace printersetup {

// The first bin whose device code is `raw` (less 256 when above 255); none
// when no bin has it.
std::optional<RpBin> binOfRawCode(int raw);

// Runs the registered dialog; none when cancelled or when none is registered.
std::optional<PrintDialogChoice> runDialog(const PrintDialogPreset &preset);

} // namespace printersetup
