// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Generation on a thread of its own while the user-interface thread takes
// the pages as their notices arrive, reading them through the page list.
// (Also run under ThreadSanitizer by scripts/test.)
#include "../printer/fakeprinter.h"
#include "data/memorytable.h"
#include "platform/messages.h"
#include "platform/metafile.h"
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

} // namespace
