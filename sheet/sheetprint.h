// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Printing the sheets: the recorded pages played onto a printer queue.
#include <QString>
#include <QStringList>

#include <optional>

class RpPrinter;

struct SheetPrintOptions {
    QString queue; // empty: the default printer
    int copies = 1;
    bool duplex = false;
};

struct SheetPrintResult {
    QString queue;          // the queue printed on
    std::optional<int> jobId; // the job the print system made of it, when it tells
    QStringList warnings;   // a queue that cannot print both sides
};

// Prints every recorded page of `printer` (under its title) on the queue;
// without one, on the default printer, or on the only printer there is when
// no default is set. Throws BadInput when no printer is installed, when the
// queue does not exist (naming it and the queues that do) or when no queue
// is named, several are installed and none is the default.
SheetPrintResult printSheets(RpPrinter &printer, const SheetPrintOptions &options);
