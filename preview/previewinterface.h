// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The standard preview interface: a report printer's Preview opens the
// standard preview window on it. startPreviewModule() registers it, and the
// print dialog for the reports' printer setup, at start-up.
#include "printer/rpprinter.h"
#include "report/printersetup.h"

class RpStandardPreviewInterface : public RpPreviewInterface {
public:
    QWidget *show(RpPrinter *printer) override;
    QWidget *showModal(RpPrinter *printer) override;
};

// The print dialog preset as a report's printer setup presets it; the
// choice, or none when it was cancelled.
std::optional<PrintDialogChoice> runPrintDialog(const PrintDialogPreset &preset);

// Registers the standard preview interface and the print dialog.
void startPreviewModule();
