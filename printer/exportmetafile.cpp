// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A document through an export filter: the report that made the pages runs
// again into the filter (exportToFilter), or the recorded pages themselves
// are written into a PDF document (exportMetafile).
#include "printer/rpprinter.h"

#include "platform/rperror.h"
#include "printer/printerstrings.h"
#include "printer/processwide.h"

#include <algorithm>

void RpPrinter::exportToFilter(RpExportFilter *filter)
{
    if (onExportToFilter)
        onExportToFilter(filter);
}

void RpPrinter::exportMetafile(const QString &fileName, int fromPage, int toPage)
{
    if (m_status != mpFinished)
        return;
    // The pages' own drawing goes in, text as text and lines as lines: a
    // page handed over as one picture would lose its text and be only as
    // sharp as the resolution it was drawn at.
    const RpRecordedPagesWriter &writer = printerState().recordedPagesWriter;
    if (!writer)
        throw RpError(RpErrorKind::NotAvailable, QString::fromLatin1(printerstrings::kNoMetafileFilter));
    writer(*this, fileName, std::max(fromPage, 1), std::min(toPage, m_pageCount));
}
