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

namespace {
// Sheets made before the run reaches them: the composite knows the last
// sheet as the last of its list.
constexpr int kAhead = 2;
} // namespace

SheetDocument::SheetDocument() : m_composite(std::make_unique<RpCompositeReport>())
{
    m_composite->onAddReports = [this](RpCompositeReport *c) {
        releaseSheets();
        for (int i = 0; i < std::min<int>(kAhead, sheetCount()); ++i)
            c->reports().append(makeSheet(i));
    };
    // After each sheet: the next one but one is made, the one before is let
    // go (its place in the list, which the run does not visit again, is
    // given the first sheet).
    m_composite->onFinished = [this](QObject *sender) {
        if (sender == m_composite.get() || m_running < 0)
            return;
        QList<CustomReport *> &list = m_composite->reports();
        const int next = m_running + kAhead;
        if (next < sheetCount() && list.size() == next)
            list.append(makeSheet(next));
        const int behind = m_running - 1;
        if (behind > 0 && behind < list.size()) {
            list[behind] = list.first();
            m_sheets.erase(behind);
        }
    };
}

SheetDocument::~SheetDocument()
{
    // The composite lets go of its printer and the reports before they go.
    m_composite.reset();
}

const CustomReport &SheetDocument::layout(int length)
{
    auto it = m_layouts.find(length);
    if (it == m_layouts.end())
        it = m_layouts.emplace(length, std::unique_ptr<Report>(layouts::load(length, &m_holder))).first;
    return *it->second;
}

void SheetDocument::addSheet(const QString &word)
{
    const int length = worksheet::wordLength(word);
    if (length < 1 || length > worksheet::kLongestWord)
        throw RpError(RpErrorKind::BadArgument, QStringLiteral("no worksheet takes a word of %1 characters").arg(length));
    layout(length);
    m_words.append(word);
}

CustomReport *SheetDocument::makeSheet(int index)
{
    const QString &word = m_words.at(index);
    const int length = worksheet::wordLength(word);
    std::unique_ptr<Report> report(layouts::load(length, &m_holder));
    worksheet::fillLayout(*report, length, word);
    report->setStartNewPageInComposite(true);
    report->setShowProgress(false);
    CustomReport *r = report.get();
    m_sheets[index] = std::move(report);
    return r;
}

void SheetDocument::releaseSheets()
{
    m_composite->reports().clear();
    m_sheets.clear();
    m_running = -1;
}

void SheetDocument::follow(const std::function<void(int)> &beforeSheet)
{
    m_composite->onStartReport = [this, beforeSheet](RpCompositeReport *, CustomReport *, int i) {
        m_running = i;
        if (beforeSheet)
            beforeSheet(i);
    };
}

void SheetDocument::generate(const std::function<void(int)> &beforeSheet)
{
    follow(beforeSheet);
    struct Unhook {
        SheetDocument &d;
        ~Unhook()
        {
            d.m_composite->onStartReport = nullptr;
            d.m_running = -1;
        }
    } unhook{*this};
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
    follow(beforeSheet);
    struct Unhook {
        SheetDocument &d;
        ~Unhook()
        {
            d.m_composite->onStartReport = nullptr;
            d.m_running = -1;
        }
    } unhook{*this};
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
