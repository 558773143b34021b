// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Generation of reports built in code: where every band lands, page by page,
// worked out by hand from the placement rules (A4, 10 mm margins, heights in
// tenths of a millimetre), and how runs end when cancelled or failing.
#include "reportfixture.h"

#include "../controls/recordingcanvas.h"

#include "data/memorytable.h"
#include "platform/messages.h"
#include "platform/rperror.h"
#include "printer/rpprinter.h"
#include "report/compositereport.h"
#include "report/rpgroup.h"
#include "report/rpsubdetail.h"

#include <QStringList>

namespace {

struct Placed {
    QString band;
    int page;
    int top;
    bool operator==(const Placed &o) const { return band == o.band && page == o.page && top == o.top; }
};
std::ostream &operator<<(std::ostream &os, const Placed &p)
{
    return os << p.band.toStdString() << "@" << p.page << ":" << p.top;
}

class Generation : public ReportTest {
protected:
    void SetUp() override
    {
        ReportTest::SetUp();
        report->setUnits(RpUnit::Native);
        report->page()->setPaperSize(RpPaperSize::A4); // 2970 long, margins 100
        report->bands()->setHasTitle(false);
        table.addField(QStringLiteral("G"), RpFieldType::String);
        table.addField(QStringLiteral("N"), RpFieldType::Integer);
        table.setActive(true);
        report->setFormDataSets({&table});
    }
    // A band of `type` and height (native), logging where it prints.
    template <class B = RpBand> B *band(RpBandType type, double height, const QString &name)
    {
        auto *b = new B(report.get());
        if (type != b->bandType())
            b->setBandType(type);
        b->setObjectName(name);
        b->size()->setUnits(RpUnit::Native);
        b->size()->setHeight(height);
        log(b);
        return b;
    }
    void log(RpCustomBand *b)
    {
        b->afterPrint = [this](RpCustomBand *band, bool printed) {
            if (!printed)
                return;
            const double h = band->size()->nativeValue(RpBandSize::HeightIdx) + band->expanded();
            placed.push_back({band->objectName(), report->pageNumber(), report->currentY() - rpRound(h)});
        };
    }
    void records(int n, const QString &group = QStringLiteral("A"))
    {
        for (int i = 0; i < n; ++i)
            table.appendRecord({group, i + 1});
    }
    // The standard page: header 100, column header 50, detail 300 over the
    // table, summary 150, page footer 80; the title 200 when asked for.
    void standardBands(bool title = true)
    {
        band(rbPageHeader, 100, QStringLiteral("PH"));
        if (title)
            band(rbTitle, 200, QStringLiteral("T"));
        band(rbColumnHeader, 50, QStringLiteral("CH"));
        band(rbDetail, 300, QStringLiteral("D"));
        band(rbSummary, 150, QStringLiteral("S"));
        band(rbPageFooter, 80, QStringLiteral("PF"));
        report->setDataSetName(QStringLiteral("T"));
    }
    std::vector<Placed> only(const QString &name) const
    {
        std::vector<Placed> out;
        for (const Placed &p : placed)
            if (p.band == name)
                out.push_back(p);
        return out;
    }
    int pages() const { return report->reportPrinter() ? report->reportPrinter()->pageCount() : 0; }

    RpMemoryTable table{QStringLiteral("T")};
    std::vector<Placed> placed;
};

// Details of 300 below a page header of 100 on every page; page 1 has the
// title (200) and the column header (50) under it, later pages the column
// header at the top of the column. The space ends above the page footer:
// 2970 - 100 - 80 = 2790.
TEST_F(Generation, BandsFillPagesAndBreakAboveThePageFooter)
{
    standardBands();
    records(20);
    report->prepare();
    EXPECT_EQ(pages(), 3);
    const std::vector<Placed> head{{"PH", 1, 100}, {"T", 1, 200}, {"CH", 1, 400}};
    EXPECT_EQ(std::vector<Placed>(placed.begin(), placed.begin() + 3), head);
    std::vector<Placed> details;
    for (int y = 450; y + 300 <= 2790; y += 300)
        details.push_back({"D", 1, y}); // 7 on page 1
    for (int page = 2; page <= 3; ++page)
        for (int y = 250; y + 300 <= 2790 && details.size() < 20; y += 300)
            details.push_back({"D", page, y}); // 8 on page 2, 5 on page 3
    EXPECT_EQ(only("D"), details);
    EXPECT_EQ(only("CH"), (std::vector<Placed>{{"CH", 1, 400}, {"CH", 2, 200}, {"CH", 3, 200}}));
    EXPECT_EQ(only("PH"), (std::vector<Placed>{{"PH", 1, 100}, {"PH", 2, 100}, {"PH", 3, 100}}));
    EXPECT_EQ(only("S"), (std::vector<Placed>{{"S", 3, 1750}}));
    EXPECT_EQ(only("PF"), (std::vector<Placed>{{"PF", 1, 2790}, {"PF", 2, 2790}, {"PF", 3, 2790}}));
    EXPECT_TRUE(report->available());
}

TEST_F(Generation, FirstPageHeaderAndLastPageFooterOptions)
{
    standardBands();
    records(10);
    report->setOptions(0); // neither
    report->prepare();
    EXPECT_EQ(pages(), 2);
    EXPECT_EQ(only("PH"), (std::vector<Placed>{{"PH", 2, 100}}));
    EXPECT_EQ(only("T"), (std::vector<Placed>{{"T", 1, 100}}));
    EXPECT_EQ(only("CH").front(), (Placed{"CH", 1, 300}));
    EXPECT_EQ(only("PF"), (std::vector<Placed>{{"PF", 1, 2790}}));
}

TEST_F(Generation, AnAlignedSummarySitsOnTheBottomMarginWithoutALastPageFooter)
{
    standardBands();
    report->bands()->summaryBand()->setAlignToBottom(true);
    records(2);
    report->setOptions(1 << FirstPageHeader);
    report->prepare();
    // 2970 - 150 - 100: the page footer's room is given up on the last page.
    EXPECT_EQ(only("S"), (std::vector<Placed>{{"S", 1, 2720}}));
    EXPECT_TRUE(only("PF").empty());
}

TEST_F(Generation, ForcingANewPageRightAfterTheTitleAddsNoEmptyPage)
{
    standardBands();
    report->bands()->detailBand()->setForceNewPage(true);
    records(3);
    report->prepare();
    EXPECT_EQ(only("D"), (std::vector<Placed>{{"D", 1, 450}, {"D", 2, 250}, {"D", 3, 250}}));
    EXPECT_EQ(pages(), 3);
}

TEST_F(Generation, ABandTallerThanThePagePrintsWhereItIsUnlessKeptOnOnePage)
{
    band(rbTitle, 200, QStringLiteral("T"));
    RpBand *tall = band(rbDetail, 3000, QStringLiteral("D"));
    report->setDataSetName(QStringLiteral("T"));
    records(2);
    report->prepare();
    // Taller than an empty page (2770): no break, so no endless pages.
    EXPECT_EQ(only("D"), (std::vector<Placed>{{"D", 1, 300}, {"D", 1, 3300}}));
    EXPECT_EQ(pages(), 1);

    placed.clear();
    tall->setKeepOnOnePage(true);
    report->prepare();
    EXPECT_EQ(only("D"), (std::vector<Placed>{{"D", 2, 100}, {"D", 3, 100}}));
}

TEST_F(Generation, GroupsOpenAndCloseWithTheirValueAndRepeatOnNewPages)
{
    standardBands();
    auto *group = band<RpGroup>(rbGroupHeader, 100, QStringLiteral("GH"));
    group->setExpression(QStringLiteral("T.G"));
    group->setFooterBand(band(rbGroupFooter, 60, QStringLiteral("GF")));
    records(2, QStringLiteral("A"));
    records(1, QStringLiteral("B"));
    report->prepare();
    QStringList order;
    for (const Placed &p : placed)
        if (p.band == "GH" || p.band == "GF" || p.band == "D")
            order << p.band;
    EXPECT_EQ(order.join(' '), QStringLiteral("GH D D GF GH D GF"));

    // A group that goes on to a new page shows its header there again.
    placed.clear();
    table.clear();
    records(9, QStringLiteral("A"));
    group->setReprintOnNewPage(true);
    report->prepare();
    const std::vector<Placed> headers = only("GH");
    ASSERT_EQ(headers.size(), 2u);
    EXPECT_EQ(headers[0], (Placed{"GH", 1, 450}));
    EXPECT_EQ(headers[1], (Placed{"GH", 2, 250})); // after the column header
    EXPECT_EQ(only("GF").size(), 1u);
}

TEST_F(Generation, SubDetailsPrintTheirRecordsForEveryRecordOfTheirMaster)
{
    band(rbTitle, 200, QStringLiteral("T"));
    band(rbDetail, 100, QStringLiteral("D"));
    report->setDataSetName(QStringLiteral("T"));
    records(2);
    RpMemoryTable lines(QStringLiteral("L"));
    lines.addField(QStringLiteral("X"), RpFieldType::Integer);
    lines.appendRecord({1});
    lines.appendRecord({2});
    lines.appendRecord({3});
    lines.setActive(true);
    report->setFormDataSets({&table, &lines});
    auto *sub = band<RpSubDetail>(rbSubDetail, 40, QStringLiteral("SD"));
    sub->setDataSetName(QStringLiteral("L"));
    sub->setHeaderBand(band(rbGroupHeader, 20, QStringLiteral("SH")));
    report->prepare();
    QStringList order;
    for (const Placed &p : placed)
        order << p.band;
    // After each detail: the sub-detail's header and its three records.
    EXPECT_EQ(order.join(' '), QStringLiteral("T D SH SD SD SD D SH SD SD SD"));

    // Its own master chain may not come back to it.
    auto *other = new RpSubDetail(report.get());
    EXPECT_TRUE(other->setMaster(sub));
    EXPECT_FALSE(sub->setMaster(other));
}

TEST_F(Generation, ChildBandsPrintBeforeOrAfterTheirParent)
{
    band(rbTitle, 200, QStringLiteral("T"));
    RpBand *detail = band(rbDetail, 100, QStringLiteral("D"));
    report->setDataSetName(QStringLiteral("T"));
    records(1);
    detail->setHasChild(true);
    detail->childBand()->setObjectName(QStringLiteral("C"));
    detail->childBand()->size()->setUnits(RpUnit::Native);
    detail->childBand()->size()->setHeight(30);
    log(detail->childBand());
    for (auto [order, expected] : {std::pair{CBPrintOrder::cboAfterParent, "T D C"},
                                   std::pair{CBPrintOrder::cboBeforeParent, "T C D"},
                                   std::pair{CBPrintOrder::cboBeforeAndAfter, "T C D C"}}) {
        placed.clear();
        detail->childBand()->setPrintOrder(order);
        report->prepare();
        QStringList names;
        for (const Placed &p : placed)
            names << p.band;
        EXPECT_EQ(names.join(' '), QString::fromLatin1(expected));
    }
}

TEST_F(Generation, TwoColumnsFillTheLeftOneFirst)
{
    report->page()->setColumns(2);
    report->page()->setColumnSpace(100);
    band(rbTitle, 200, QStringLiteral("T"));
    RpBand *detail = band(rbDetail, 1000, QStringLiteral("D"));
    report->setDataSetName(QStringLiteral("T"));
    records(5);
    std::vector<int> xs;
    detail->afterPrint = [&](RpCustomBand *, bool) { xs.push_back(report->currentX()); };
    report->prepare();
    // Column width: the detail band's width, (1900 - 100) / 2 = 900; the
    // second column starts at 100 + 100 + 900. Columns start below the title
    // on page 1 (300) and at the top margin after.
    const int second = 100 + 100 + rpRound(detail->size()->nativeValue(RpBandSize::WidthIdx));
    EXPECT_EQ(xs, (std::vector<int>{100, 100, second, second, 100}));
    EXPECT_EQ(pages(), 2);
}

TEST_F(Generation, AWorksheetLikeReportWithoutDataPrintsItsTitleOnce)
{
    band(rbTitle, 2759, QStringLiteral("T"));
    report->prepare();
    EXPECT_EQ(pages(), 1);
    EXPECT_EQ(only("T"), (std::vector<Placed>{{"T", 1, 100}}));

    // Not when empty reports are not to print: no page at all.
    placed.clear();
    report->setPrintIfEmpty(false);
    report->prepare();
    EXPECT_EQ(pages(), 0);
    EXPECT_TRUE(report->available());
    EXPECT_EQ(report->reportPrinter()->status(), mpFinished);
}

TEST_F(Generation, MarginsThatLeaveNoRoomAreDropped)
{
    band(rbTitle, 200, QStringLiteral("T"));
    report->page()->setLeftMargin(1500);
    report->page()->setRightMargin(1500);
    report->prepare();
    EXPECT_EQ(report->page()->nativeValue(RpPage::LeftMarginIdx), 0);
    EXPECT_EQ(report->page()->nativeValue(RpPage::RightMarginIdx), 0);
    EXPECT_EQ(report->page()->nativeValue(RpPage::TopMarginIdx), 100);
}

TEST_F(Generation, CancellingOrClosingThePreviewEndsTheRunAndFailuresEndTheDocument)
{
    standardBands();
    records(30);
    RpCustomBand *detail = report->bands()->detailBand();
    detail->afterPrint = [&](RpCustomBand *, bool) {
        if (report->recordNumber() == 3)
            report->cancel();
    };
    report->prepare();
    EXPECT_TRUE(report->cancelled());
    EXPECT_TRUE(report->available());
    EXPECT_EQ(report->recordNumber(), 3);
    EXPECT_EQ(report->reportPrinter()->status(), mpFinished); // aborted

    // The preview closing while the run goes on cancels it.
    detail->afterPrint = [&](RpCustomBand *, bool) {
        if (report->recordNumber() == 5)
            sendMessage(report.get(), CM_PREVIEWCLOSED, 0, 0);
    };
    report->prepare();
    EXPECT_TRUE(report->cancelled());
    EXPECT_EQ(report->recordNumber(), 5);
    EXPECT_TRUE(report->available());

    // An error part-way reaches the caller; the document is ended and the
    // report can run again.
    detail->afterPrint = [&](RpCustomBand *, bool) {
        if (report->recordNumber() == 2)
            throw RpError(RpErrorKind::Internal, QStringLiteral("boom"));
    };
    EXPECT_THROW(report->prepare(), RpError);
    EXPECT_TRUE(report->available());
    EXPECT_EQ(report->reportPrinter()->status(), mpFinished);
    detail->afterPrint = nullptr;
    report->prepare();
    EXPECT_FALSE(report->cancelled());
    EXPECT_EQ(pages(), 4);
}

} // namespace

namespace {

// Two reports as one document: the first is two details of 300 under a
// title of 200; the second a title of 400 and one detail of 300.
class Composite : public Generation {
protected:
    void SetUp() override
    {
        Generation::SetUp();
        band(rbTitle, 200, QStringLiteral("T1"));
        band(rbDetail, 300, QStringLiteral("D1"));
        report->setDataSetName(QStringLiteral("T"));
        records(2);
        second = std::make_unique<Report>();
        second->setUnits(RpUnit::Native);
        second->page()->setPaperSize(RpPaperSize::A4);
        for (auto [type, h, name] : {std::tuple{rbTitle, 400.0, "T2"}, std::tuple{rbDetail, 300.0, "D2"}}) {
            RpBand *b = second->createBand(type);
            b->setObjectName(QString::fromLatin1(name));
            b->size()->setUnits(RpUnit::Native);
            b->size()->setHeight(h);
            b->afterPrint = [this](RpCustomBand *band, bool) {
                const double bh = band->size()->nativeValue(RpBandSize::HeightIdx);
                placed.push_back({band->objectName(), second->pageNumber(), second->currentY() - rpRound(bh)});
            };
        }
        composite.onAddReports = [this](RpCompositeReport *c) { c->reports() = {report.get(), second.get()}; };
    }
    std::unique_ptr<Report> second;
    RpCompositeReport composite;
};

TEST_F(Composite, TheSecondReportGoesOnWhereTheFirstStopped)
{
    std::vector<int> tags;
    second->setTag(5);
    composite.onStartReport = [&](RpCompositeReport *, CustomReport *r, int) { tags.push_back(r->tag()); };
    composite.prepare();
    EXPECT_EQ(placed, (std::vector<Placed>{{"T1", 1, 100}, {"D1", 1, 300}, {"D1", 1, 600},
                                           {"T2", 1, 900}, {"D2", 1, 1300}}));
    EXPECT_EQ(composite.pageCount(), 1);
    EXPECT_EQ(composite.reportPrinter()->pageCount(), 1);
    // The last part is marked while it generates, and only then.
    EXPECT_EQ(tags, (std::vector<int>{0, 999}));
    EXPECT_EQ(second->tag(), 5);
    // The first report shows its own units again.
    report->setUnits(RpUnit::MM);
    composite.prepare();
    EXPECT_EQ(report->units(), RpUnit::MM);
}

// Cancelling the report that runs as a part cancels the composite's
// printer, the one the part runs on, and leaves the report's own alone.
TEST_F(Composite, CancellingAPartCancelsTheCompositesPrinter)
{
    report->prepare(); // the report's own printer, with its pages
    RpPrinter *own = report->reportPrinter();
    ASSERT_TRUE(own);
    bool compositeCancelled = false;
    report->onStartPage = [&](CustomReport *r) {
        r->cancel();
        compositeCancelled = composite.reportPrinter() && composite.reportPrinter()->cancelled();
    };
    composite.prepare();
    EXPECT_TRUE(compositeCancelled);
    EXPECT_TRUE(report->cancelled());
    EXPECT_FALSE(own->cancelled());
    EXPECT_EQ(report->reportPrinter(), own);
}

TEST_F(Composite, APartThatAsksForANewPageStartsOne)
{
    second->setStartNewPageInComposite(true);
    composite.prepare();
    EXPECT_EQ(placed.back(), (Placed{"D2", 2, 500}));
    EXPECT_EQ(composite.pageCount(), 2);
    EXPECT_EQ(composite.reportPrinter()->pageCount(), 2);
}

} // namespace

namespace {

class GenerationOutput : public Generation {};

// Print regenerates straight onto the printer, page by page, and leaves the
// preview's recorded pages where they were.
TEST_F(GenerationOutput, PrintRegeneratesOntoThePrinterAndKeepsThePreviewsPages)
{
    standardBands();
    records(20);
    report->setShowProgress(false);
    report->prepare(); // the preview's pages
    RpPrinter *preview = report->reportPrinter();
    ASSERT_EQ(preview->pageCount(), 3);

    FakePrinterDevice device;
    UseDevice use(&device);
    report->print();
    EXPECT_EQ(device.pages.size(), 3u);
    EXPECT_EQ(device.log.first(), "StartDoc");
    EXPECT_EQ(device.log.last(), "EndDoc");
    EXPECT_EQ(report->reportPrinter(), preview);
    EXPECT_EQ(preview->pageCount(), 3);
    EXPECT_TRUE(report->available());

    // Without a printer installed Print does nothing.
    device.names.clear();
    device.log.clear();
    report->print();
    EXPECT_TRUE(device.log.isEmpty());
}

// An export run starts the filter, feeds it every band and page, finishes
// it, and leaves the report as it was.
TEST_F(GenerationOutput, ExportFeedsTheFilterEveryBandAndPage)
{
    standardBands();
    records(20);
    report->setShowProgress(false);
    struct Filter : RecordingFilter {
        int bands = 0, pages = 0, started = 0, finished = 0;
        void acceptBand(QWidget *, double, double, double) override { ++bands; }
        void newPage() override { ++pages; }
        void start(qint32 w, qint32 h, const RpFont *f) override
        {
            RecordingFilter::start(w, h, f);
            ++started;
        }
        void finish() override
        {
            RecordingFilter::finish();
            ++finished;
        }
    } filter;
    report->exportToFilter(&filter);
    EXPECT_EQ(filter.started, 1);
    EXPECT_EQ(filter.finished, 1);
    EXPECT_EQ(filter.pages, 3);
    EXPECT_EQ(filter.bands, int(placed.size()));
    EXPECT_TRUE(report->available());
    EXPECT_FALSE(report->exporting());
}

// The filter's OriginalReportPrinter is the printer the report had when the
// export began (the preview's), not the one the run used and freed.
TEST_F(GenerationOutput, TheFiltersOriginalPrinterIsTheReportsOwn)
{
    standardBands();
    records(5);
    report->setShowProgress(false);
    RecordingFilter filter;
    report->exportToFilter(&filter);
    EXPECT_EQ(filter.originalReportPrinter(), nullptr); // there was none
    report->prepare();
    RpPrinter *preview = report->reportPrinter();
    RecordingFilter again;
    report->exportToFilter(&again);
    EXPECT_EQ(again.originalReportPrinter(), preview);
    EXPECT_EQ(report->reportPrinter(), preview);
}

} // namespace
