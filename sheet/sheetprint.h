// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Printing the sheets: the recorded pages played onto a printer queue.
#include <QString>
#include <QStringList>

class RpPrinter;

struct SheetPrintOptions {
    QString queue; // empty: the default printer
    int copies = 1;
    bool duplex = false;
};

// Prints every recorded page of `printer` on the queue. Throws BadInput when
// no printer is installed, when the queue does not exist (naming it and the
// queues that do) or when no queue is named and there is no default one.
// Returns warnings (a queue that cannot print both sides).
QStringList printSheets(RpPrinter &printer, const SheetPrintOptions &options);
