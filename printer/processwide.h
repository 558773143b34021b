// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The printer layer's process-wide state, in one place, each item with the
// threads that may touch it (see platform/processwide.h for the platform's
// and the caches that guard themselves).
#include "printer/abstractexportfilter.h"
#include "printer/exportfilterlibrary.h"

#include <QString>
#include <functional>
#include <memory>

class PrinterDevice;
class RpPreviewInterface;

// How a preview window is opened for a report printer.
using RpPreviewInterfaceFactory = std::function<std::unique_ptr<RpPreviewInterface>()>;
class RpPrinter;
// What RpPrinter::exportMetafile writes recorded pages `fromPage` to
// `toPage` (a range within the document) with: the PDF document writer,
// which plays them in as vectors. Throws RpError when the file cannot be
// written.
using RpRecordedPagesWriter =
    std::function<void(RpPrinter &printer, const QString &filename, int fromPage, int toPage)>;

struct PrinterProcessState {
    // The printer object standing in for the system's (tests); null: the
    // system's own, over CUPS. Set on the user-interface thread before any
    // run starts; read by runs on any thread.
    PrinterDevice *systemPrinter = nullptr;
    // The preview interface class (the preview module registers its own at
    // start-up); empty: previews open no window. User-interface thread.
    RpPreviewInterfaceFactory previewInterface;
    // A report file was loaded into a preview, whose Print then plays the
    // recorded pages. User-interface thread.
    bool reportFileLoaded = false;
    // Where a page store spills its pages; empty: the system's temporary
    // directory. Set before runs start; read by runs on any thread.
    QString tempDirectory;
    // The export filter library, empty at start-up: the filters the
    // preview's Save offers. User-interface thread.
    RpExportFilterLibrary filterLibrary;
    // The text encoding of the document-writing filters. User-interface
    // thread (exports run there).
    TextEncoding textEncoding = TextEncoding::AnsiEncoding;
    // What exportMetafile writes with (registered at start-up by the
    // program; empty: exportMetafile writes nothing). User-interface thread.
    RpRecordedPagesWriter recordedPagesWriter;
};

PrinterProcessState &printerState();
