// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// tovrel-sheet's command line: the words or the words file, the output and
// its resolution, and the help text that lists them.
#include <QString>
#include <QStringList>

enum class SheetOutput { ReportFile, Png, Pdf, Trx };

struct SheetOptions {
    QStringList words;  // given on the command line
    QString wordsFile;  // --words FILE
    QString output;     // -o OUT
    SheetOutput outputKind = SheetOutput::ReportFile;
    int dpi = 96;
    bool help = false;
    // --print [QUEUE] [--copies N] [--duplex]
    bool print = false;
    QString queue; // empty: the default printer
    int copies = 1;
    bool duplex = false;
};

// Reads the arguments after the program name (the stroke-data option taken
// out already). Throws BadInput for an unknown option, an option without its
// value, a missing output, an output of another kind than .trp, .png, .pdf
// or .trx, a resolution out of range, or words given both ways.
SheetOptions parseSheetOptions(const QStringList &args);

// What --help prints.
QString sheetHelp();

// The resolutions PNG pages may be played at.
constexpr int kMinDpi = 10;
constexpr int kMaxDpi = 1200;
// The copies --print may ask for.
constexpr int kMaxCopies = 999;
