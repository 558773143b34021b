// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "pdf/metafilewriter.h"

#include "pdf/pdfdocumentfilter.h"
#include "printer/processwide.h"

void registerPdfMetafileWriter()
{
    printerState().metafileFilter = [](const QString &filename) -> std::unique_ptr<RpPAbstractExportFilter> {
        return std::make_unique<RpPDFDocumentFilter>(filename);
    };
}
