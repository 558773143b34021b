// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The platform's print dialog on Linux: Qt's, which lists the CUPS printers
// and offers printing into a PDF file. The request's device settings preset
// it; the device, range, copies and settings chosen come back in the form
// of the request.
#include "preview/printdialog.h"

class QPrinter;

class QtPlatformPrintDialog : public PlatformPrintDialog {
public:
    std::optional<PrintDlgData> run(QWidget *owner, const PrintDlgData &request) override;

    // The request as settings of a QPrinter, and a QPrinter's settings read
    // back as an answer to `request`.
    static void preset(QPrinter &printer, const PrintDlgData &request);
    static PrintDlgData answer(const QPrinter &printer, const PrintDlgData &request);
};
