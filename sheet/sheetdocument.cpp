// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheet/sheetdocument.h"

#include "app/layouts.h"
#include "app/worksheetfill.h"
#include "pdf/pdfdocumentfilter.h"
#include "platform/rperror.h"
#include "printer/rpprinter.h"
#include "report/compositereport.h"
#include "report/customreport.h"
#include "trx/xdocumentfilter.h"

SheetDocument::SheetDocument() : m_composite(std::make_unique<RpCompositeReport>())
{
    m_composite->onAddReports = [this](RpCompositeReport *c) {
        for (CustomReport *r : m_sheets)
            c->reports().append(r);
    };
}

SheetDocument::~SheetDocument()
{
    // The composite lets go of its printer and the reports before they go.
    m_composite.reset();
}

CustomReport &SheetDocument::addSheet(const QString &word)
{
    const int layout = worksheet::wordLength(word);
    if (layout < 1 || layout > worksheet::kLongestWord)
        throw RpError(RpErrorKind::BadArgument, QStringLiteral("no worksheet takes a word of %1 characters").arg(layout));
    Report *report = layouts::load(layout, &m_holder);
    worksheet::fillLayout(*report, layout, word);
    report->setStartNewPageInComposite(true);
    m_sheets.push_back(report);
    return *report;
}

void SheetDocument::generate(const std::function<void(int)> &beforeSheet)
{
    if (beforeSheet)
        m_composite->onStartReport = [&beforeSheet](RpCompositeReport *, CustomReport *, int i) { beforeSheet(i); };
    struct Unhook {
        RpCompositeReport &c;
        ~Unhook() { c.onStartReport = nullptr; }
    } unhook{*m_composite};
    m_composite->prepare();
    RpPrinter *p = m_composite->reportPrinter();
    if (!p || p->status() != mpFinished)
        throw RpError(RpErrorKind::Internal, QStringLiteral("the document was not finished"));
    // Every layout fits its page: one page a sheet.
    if (p->pageCount() != sheetCount())
        throw RpError(RpErrorKind::Internal, QStringLiteral("%1 sheets made %2 pages").arg(sheetCount()).arg(p->pageCount()));
}

void SheetDocument::exportThrough(RpExportFilter &filter, const std::function<void(int)> &beforeSheet)
{
    if (beforeSheet)
        m_composite->onStartReport = [&beforeSheet](RpCompositeReport *, CustomReport *, int i) { beforeSheet(i); };
    struct Unhook {
        RpCompositeReport &c;
        ~Unhook() { c.onStartReport = nullptr; }
    } unhook{*m_composite};
    for (CustomReport *r : m_sheets)
        r->setShowProgress(false);
    m_composite->exportToFilter(&filter);
}

void SheetDocument::exportPdf(const QString &output, const std::function<void(int)> &beforeSheet)
{
    RpPDFDocumentFilter pdf(output);
    pdf.setDocumentInfo(QStringLiteral("Tovrel"), QString(), QString(), QString());
    exportThrough(pdf, beforeSheet);
    if (!pdf.written())
        throw RpError(RpErrorKind::Internal, QStringLiteral("the document was not finished"));
}

void SheetDocument::exportTrx(const QString &output, const std::function<void(int)> &beforeSheet)
{
    RpXDocumentFilter trx(output);
    exportThrough(trx, beforeSheet);
    if (!trx.written())
        throw RpError(RpErrorKind::Internal, QStringLiteral("the document was not finished"));
}

RpPrinter &SheetDocument::printer() const
{
    RpPrinter *p = m_composite->reportPrinter();
    if (!p)
        throw RpError(RpErrorKind::Internal, QStringLiteral("the document has not been made"));
    return *p;
}

int SheetDocument::pageCount() const
{
    RpPrinter *p = m_composite->reportPrinter();
    return p ? p->pageCount() : 0;
}
