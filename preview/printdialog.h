// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The print dialog: the printer, the page range, the copies, collation and
// the device's own settings, chosen before a report prints. RpPrintDialog
// builds the platform's request from its fields and the printer object's
// device mode, runs the platform's dialog (PlatformPrintDialog; Qt's is in
// qtprintdialog.h, tests put their own in previewState().printDialog) and
// reads the choice back into its fields.
#include "printer/devmode.h"
#include "printer/printrange.h"

#include <QString>
#include <optional>

class QWidget;

// The request and answer of a platform print dialog, with the flag values
// of the platform's published print dialog structure.
struct PrintDlgData {
    enum : quint32 {
        PD_SELECTION = 0x1,
        PD_PAGENUMS = 0x2,
        PD_NOSELECTION = 0x4,
        PD_NOPAGENUMS = 0x8,
        PD_COLLATE = 0x10,
        PD_PRINTTOFILE = 0x20,
        PD_NOWARNING = 0x80,
        PD_SHOWHELP = 0x800,
        PD_ENABLEPRINTHOOK = 0x1000,
        PD_ENABLESETUPHOOK = 0x2000,
        PD_DISABLEPRINTTOFILE = 0x80000,
        PD_HIDEPRINTTOFILE = 0x100000,
    };
    quint32 flags = 0;
    quint16 fromPage = 0, toPage = 0, minPage = 0, maxPage = 0;
    int copies = 1;
    DevMode devMode;
    // The device the settings are for; on return, the chosen one.
    QString deviceName;
    // On return: the file the output goes to (a PDF file), or empty.
    QString outputFileName;
    // The dialog only sets up the printer: its choice is kept for the next
    // print, so it confirms with "OK" and its title says it is the printer
    // setup.
    bool setupOnly = false;
};

class PlatformPrintDialog {
public:
    virtual ~PlatformPrintDialog();
    // Shows the dialog modal to the application; the answer when the user
    // confirmed it, none when cancelled or when it could not be shown.
    virtual std::optional<PrintDlgData> run(QWidget *owner, const PrintDlgData &request) = 0;
};

// The stand-in of previewState() when one is set, else Qt's.
PlatformPrintDialog &platformPrintDialog();

enum PrintDialogOption {
    poPrintToFile = 0x1,
    poPageNums = 0x2,
    poSelection = 0x4,
    poWarning = 0x8,
    poHelp = 0x10,
    poDisablePrintToFile = 0x20,
};

class RpPrintDialog {
public:
    using Range = PrintRange;

    RpPrintDialog();

    // True when the user confirmed; the chosen device is then the printer
    // object's current one and the fields hold the choice. A cancelled or
    // failed dialog changes no field.
    bool execute();
    // The request execute() hands to the platform's dialog.
    PrintDlgData request() const;

    int fromPage = 0, toPage = 0;
    int collate = 0;
    int options = 0; // PrintDialogOption flags
    bool printToFile = false;
    Range printRange = Range::prAllPages;
    int minPage = 0, maxPage = 0;
    int copies() const { return m_copies; }
    // Also the printer object's copies (in its device mode).
    void setCopies(int v);
    int printQuality = 0;
    int colorOption = 0;
    int outputBin = 0;
    int paperSize = 0;
    bool duplex = false;
    double paperWidth = 0, paperLength = 0;
    quint32 dmFields = 0;
    qint16 orientation = 1;
    int duplexCode = 0;
    // The file chosen to print into, when printing to a file.
    QString outputFileName;
    // Printer setup: the choice is kept, nothing is printed now.
    bool setupOnly = false;

private:
    int m_copies = 1;
};
