// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Generation on a thread of its own while the user-interface thread takes
// the pages as their notices arrive, reading them through the page list.
// (Also run under ThreadSanitizer by scripts/test.)
#include "../printer/fakeprinter.h"
#include "data/memorytable.h"
#include "platform/messages.h"
#include "platform/metafile.h"
#include "platform/rperror.h"
#include "printer/rppagelist.h"
#include "printer/rpprinter.h"
#include "report/customreport.h"
#include "report/rpband.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <map>

namespace {

// Takes the page-available notices and reads each page as it is announced.
class PageReader : public QObject {
public:
    RpPrinter *printer = nullptr;
    std::map<int, QByteArray> pages;
    bool event(QEvent *e) override
    {
        const RpMessageEvent *m = RpMessageEvent::from(e);
        if (!m)
            return QObject::event(e);
        if (m->message() == CM_PAGEAVAILABLE)
            for (int n = 1; n <= int(m->wParam()); ++n)
                if (!pages.count(n))
                    if (const auto bytes = printer->pageList()->getPage(n))
                        pages[n] = *bytes;
        return true;
    }
};

std::unique_ptr<Report> listReport(RpMemoryTable &table)
{
    auto r = std::make_unique<Report>();
    r->setUnits(RpUnit::Native);
    r->page()->setPaperSize(RpPaperSize::A4);
    r->bands()->setHasDetail(true);
    r->bands()->detailBand()->size()->setHeight(250);
    r->setFormDataSets({&table});
    r->setDataSetName(table.name());
    return r;
}

TEST(BackgroundThread, PagesAreReadAsTheyComeWhileTheReportGeneratesOnItsThread)
{
    FakePrinterDevice noPrinter;
    noPrinter.names.clear();
    UseDevice use(&noPrinter);
    RpMemoryTable table(QStringLiteral("T"));
    table.addField(QStringLiteral("N"), RpFieldType::Integer);
    for (int i = 0; i < 200; ++i)
        table.appendRecord({i});
    table.setActive(true);

    // The same report generated on this thread, for comparison.
    auto here = listReport(table);
    here->prepare();
    const int pages = here->reportPrinter()->pageCount();
    ASSERT_GT(pages, 10);

    auto report = listReport(table);
    report->setCreateInBGThread(true);
    PageReader reader;
    report->onPreview = [&](RpPrinter *p) {
        reader.printer = p;
        p->setClient(&reader);
    };
    report->preview(); // returns at once; the run goes on
    QElapsedTimer clock;
    clock.start();
    while ((!report->available() || int(reader.pages.size()) < pages) && clock.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    ASSERT_TRUE(report->available());
    ASSERT_EQ(int(reader.pages.size()), pages);
    for (int n = 1; n <= pages; ++n)
        EXPECT_TRUE(reader.pages[n] == *here->reportPrinter()->pageList()->getPage(n)) << "page " << n;
}

// Waits for the report's run on its thread to end.
bool waitForRun(CustomReport &report)
{
    QElapsedTimer clock;
    clock.start();
    while ((!report.available() || report.backgroundRunning()) && clock.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QCoreApplication::processEvents();
    return report.available() && !report.backgroundRunning();
}

RpMemoryTable &manyRecords()
{
    static RpMemoryTable table(QStringLiteral("T"));
    if (table.fieldCount() == 0) {
        table.addField(QStringLiteral("N"), RpFieldType::Integer);
        for (int i = 0; i < 3000; ++i)
            table.appendRecord({i});
        table.setActive(true);
    }
    return table;
}

TEST(BackgroundThread, AFailedRunInTheBackgroundAbortsItsDocumentAndSaysWhy)
{
    FakePrinterDevice printer;
    UseDevice use(&printer);
    auto report = listReport(manyRecords());
    report->setShowProgress(false);
    report->onStartPage = [](CustomReport *r) {
        if (r->pageNumber() == 3)
            throw RpError(RpErrorKind::DamagedInput, QStringLiteral("page 3 cannot be made"));
    };
    std::vector<RpError> told;
    report->onBackgroundError = [&](CustomReport *, const RpError &e) { told.push_back(e); };
    report->printBackground();
    ASSERT_TRUE(waitForRun(*report));
    // Half a job is not sent: the printer's document is aborted, not ended.
    EXPECT_TRUE(printer.log.contains(QStringLiteral("AbortDoc"))) << printer.log.join(u' ').toStdString();
    EXPECT_FALSE(printer.log.contains(QStringLiteral("EndDoc"))) << printer.log.join(u' ').toStdString();
    // The caller is told, on its own thread.
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0].kind(), RpErrorKind::DamagedInput);
    EXPECT_EQ(told[0].message(), QStringLiteral("page 3 cannot be made"));

    // A preview in the background: its printer holds the error to show, and
    // its client hears of it.
    report->setCreateInBGThread(true);
    PageReader reader;
    RpPrinter *shown = nullptr;
    report->onPreview = [&](RpPrinter *p) {
        shown = p;
        reader.printer = p;
        p->setClient(&reader);
    };
    report->preview();
    ASSERT_TRUE(waitForRun(*report));
    ASSERT_EQ(report->reportPrinter(), shown);
    EXPECT_EQ(shown->runError(), QStringLiteral("page 3 cannot be made"));
    EXPECT_EQ(shown->status(), mpFinished);
    EXPECT_EQ(told.size(), 2u);
}

TEST(BackgroundThread, CancellingFromTheWindowWhileTheRunGoesStopsIt)
{
    FakePrinterDevice noPrinter;
    noPrinter.names.clear();
    UseDevice use(&noPrinter);
    auto report = listReport(manyRecords());
    report->setCreateInBGThread(true);
    PageReader reader;
    report->onPreview = [&](RpPrinter *p) {
        reader.printer = p;
        p->setClient(&reader);
    };
    report->preview();
    // Cancel as soon as a page or two exist, from this thread.
    QElapsedTimer clock;
    clock.start();
    while (!report->available() && reader.pages.size() < 2 && clock.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    ASSERT_FALSE(report->available()) << "the run ended before it could be cancelled";
    report->cancel();
    ASSERT_TRUE(waitForRun(*report));
    EXPECT_TRUE(report->cancelled());
}

} // namespace
