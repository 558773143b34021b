// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Runs that meet a fault: the page store cannot spill (no temporary folder, a
// full disk part-way through), or the user cancels at any page. Every one ends
// the document cleanly, says what went wrong, leaves no temporary file behind
// and lets the report run again.
#include "../report/reportfixture.h"

#include "../filesizelimit.h"

#include "controls/rplabel.h"
#include "data/memorytable.h"
#include "platform/messages.h"
#include "platform/rperror.h"
#include "printer/processwide.h"
#include "printer/rppagelist.h"
#include "printer/rpprinter.h"
#include "printer/rpstream.h"
#include "report/reportrun.h"
#include "report/rpsubdetail.h"

#include <QDir>
#include <QTemporaryDir>

#include <optional>


namespace {

class Faults : public ReportTest {
protected:
    void SetUp() override
    {
        ReportTest::SetUp();
        ASSERT_TRUE(tmp.isValid());
        report->setUnits(RpUnit::Native);
        report->page()->setPaperSize(RpPaperSize::A4); // 2790 between header and footer
        report->bands()->setHasTitle(false);
        table.addField(QStringLiteral("N"), RpFieldType::Integer);
        table.setActive(true);
        report->setFormDataSets({&table});
        for (auto [type, h] : {std::pair{rbPageHeader, 100.0}, std::pair{rbDetail, 300.0}, std::pair{rbPageFooter, 80.0}}) {
            RpBand *b = report->createBand(type);
            b->size()->setUnits(RpUnit::Native);
            b->size()->setHeight(h);
            // Text on every band, so the pages have some weight: a few
            // pages fill the store's memory and it spills.
            for (int i = 0; i < 4; ++i) {
                auto *l = new RpLabel(b);
                l->setAutoSize(false);
                l->setBounds(10, 5 + 15 * i, 500, 14);
                l->setCaption(QStringLiteral("Line %1 of the practice sheet, written out in full").arg(i));
            }
        }
        report->setDataSetName(QStringLiteral("T"));
        report->onStartPage = [this](CustomReport *r) {
            if (r->pageNumber() == cancelAtPage)
                r->cancel();
            if (r->pageNumber() == closeAtPage)
                sendMessage(r, CM_PREVIEWCLOSED, 0, 0);
        };
    }
    // Eight details of 300 fill a page: 8 * n records make n pages.
    void pagesOfRecords(int n)
    {
        for (int i = 0; i < 8 * n; ++i)
            table.appendRecord({i + 1});
    }
    int pages() const { return report->reportPrinter() ? report->reportPrinter()->pageCount() : 0; }
    // A store that failed is given up whole: no pages are served from it
    // and its temporary file is gone at once.
    void expectStoreDropped()
    {
        RpPrinter *printer = report->reportPrinter();
        EXPECT_EQ(printer->status(), mpReady);
        EXPECT_EQ(printer->pageList()->pageCount(), 0);
        EXPECT_FALSE(printer->getPage(1).has_value());
        EXPECT_EQ(trpFiles(), 0);
    }
    int trpFiles() const { return int(QDir(tmp.path()).entryList({"TRP*"}, QDir::Files).size()); }

    QTemporaryDir tmp;
    testsupport::ScopedValue<QString> tempDir{printerState().tempDirectory, tmp.path()};
    RpMemoryTable table{QStringLiteral("T")};
    int cancelAtPage = -1, closeAtPage = -1;
};

TEST_F(Faults, CancellingAtAnyPageOfAFiftyPageRunKeepsThePagesBeforeIt)
{
    pagesOfRecords(50);
    report->prepare();
    ASSERT_EQ(pages(), 50);
    ASSERT_FALSE(report->cancelled());
    for (int k = 1; k <= 50; ++k) {
        cancelAtPage = k;
        report->prepare();
        ASSERT_TRUE(report->cancelled()) << "page " << k;
        EXPECT_TRUE(report->available()) << "page " << k;
        EXPECT_EQ(report->reportPrinter()->status(), mpFinished) << "page " << k;
        // The page started when the user cancelled is the last one.
        EXPECT_EQ(pages(), k);
        EXPECT_EQ(report->reportPrinter()->pageList()->pageCount(), k);
        // Every page kept reads back.
        for (int p : {1, k})
            EXPECT_TRUE(report->reportPrinter()->pageList()->getPage(p).has_value()) << "page " << p << " of " << k;
    }
    cancelAtPage = -1;
    report->prepare();
    EXPECT_FALSE(report->cancelled());
    EXPECT_EQ(pages(), 50);
}

TEST_F(Faults, ClosingThePreviewAtAnyPageEndsTheRun)
{
    pagesOfRecords(12);
    for (int k : {1, 2, 7, 12}) {
        closeAtPage = k;
        report->prepare();
        EXPECT_TRUE(report->cancelled()) << "page " << k;
        EXPECT_TRUE(report->available());
        EXPECT_EQ(pages(), k);
    }
}

TEST_F(Faults, ASpilledRunThatIsCancelledLeavesNoTemporaryFile)
{
    pagesOfRecords(30);
    {
        // A store of 250 kB spills after a few pages.
        cancelAtPage = 25;
        report->prepare();
        ASSERT_TRUE(report->cancelled());
        ASSERT_FALSE(report->reportPrinter()->pageList()->stream()->inMemory());
        EXPECT_EQ(trpFiles(), 1);
        EXPECT_EQ(pages(), 25);
    }
    report.reset();
    EXPECT_EQ(trpFiles(), 0);
}

TEST_F(Faults, NoTemporaryFolderToSpillIntoEndsTheRunWithAClearError)
{
    pagesOfRecords(40);
    const QString nowhere = tmp.filePath("gone/away");
    {
        testsupport::ScopedValue<QString> missing{printerState().tempDirectory, nowhere};
        try {
            report->prepare();
            ADD_FAILURE() << "the run did not fail; " << pages() << " pages";
        } catch (const RpError &e) {
            EXPECT_TRUE(e.message().contains(nowhere)) << e.message().toStdString();
            EXPECT_EQ(e.kind(), RpErrorKind::InputOutput);
            EXPECT_EQ(e.where().file, nowhere);
        }
        EXPECT_TRUE(report->available());
        expectStoreDropped();
    }
    EXPECT_FALSE(QDir(tmp.filePath("gone")).exists());
    // With the folder back the same report runs to the end.
    report->prepare();
    EXPECT_EQ(pages(), 40);
}

TEST_F(Faults, ADiskThatFillsWhileTheStoreSpillsEndsTheRunWithAClearError)
{
    pagesOfRecords(200);
    report->prepare();
    const qint64 whole = report->reportPrinter()->pageList()->stream()->size();
    ASSERT_GT(whole, 4 * RpStream::kDefaultMemoryLimit) << "the run should spill well before its end";
    for (rlim_t room : {rlim_t(0), rlim_t(4096), rlim_t(whole / 2)}) {
        {
            testsupport::FileSizeLimit full(room);
            ASSERT_TRUE(full.set());
            try {
                report->prepare();
                ADD_FAILURE() << "the run did not fail with room for " << room << " bytes";
            } catch (const RpError &e) {
                EXPECT_EQ(e.kind(), RpErrorKind::DiskFull) << e.message().toStdString();
            }
        }
        EXPECT_TRUE(report->available()) << room;
        expectStoreDropped();
    }
    report->prepare();
    EXPECT_EQ(pages(), 200);
    EXPECT_EQ(report->reportPrinter()->pageList()->stream()->size(), whole);
}

TEST_F(Faults, ADocumentEndThatCannotBeWrittenLeavesTheReportAvailable)
{
    // The last page goes into the store when the document ends: the disk
    // fills just then.
    pagesOfRecords(30);
    std::optional<testsupport::FileSizeLimit> full;
    report->onEndPage = [&](CustomReport *r) {
        if (!r->currentRun()->lastPage || full)
            return;
        const QFileInfoList spilled = QDir(tmp.path()).entryInfoList({"TRP*"}, QDir::Files);
        ASSERT_EQ(spilled.size(), 1);
        full.emplace(rlim_t(spilled.first().size()));
        ASSERT_TRUE(full->set());
    };
    try {
        report->prepare();
        ADD_FAILURE() << "the document ended with no room for its last page";
    } catch (const RpError &e) {
        EXPECT_EQ(e.kind(), RpErrorKind::DiskFull) << e.message().toStdString();
    }
    full.reset();
    EXPECT_TRUE(report->available());
    expectStoreDropped();
    // The report runs again: Preview, Print and export are not lost to it.
    report->onEndPage = nullptr;
    report->prepare();
    EXPECT_EQ(pages(), 30);
}

// A label whose next line is taller than an empty column can never place
// it: the run ends with an error naming the label instead of making pages
// for ever, also where a sub-detail always has more records.
TEST_F(Faults, APieceThatAnEmptyColumnCannotTakeEndsTheRunNamingItsControl)
{
    // Between margins of 1000 the page has 970; the line of a 300 point
    // font is about 1060 (the band, its header and its footer leave less).
    // A label of lines, not of a caption, keeps its small height: its line
    // goes below it, as far as the band can grow.
    auto tallLabel = [](RpCustomBand *band) {
        auto *l = new RpLabel(band);
        l->setObjectName(QStringLiteral("Tall"));
        l->setAutoSize(false);
        l->setCaptionBased(false);
        l->setBounds(0, 0, 200, 20);
        RpFont f = l->font();
        f.setSize(300);
        l->setFont(f);
        l->setLines({QStringLiteral("W")});
        l->setAutoStretch(true);
    };
    // What would otherwise make pages for ever stops at 30.
    report->onStartPage = [](CustomReport *r) {
        if (r->pageNumber() > 30)
            throw RpError(RpErrorKind::Internal, QStringLiteral("pages for ever"));
    };
    auto expectRefused = [&](const char *what) {
        try {
            report->prepare();
            ADD_FAILURE() << what << ": the run ended";
        } catch (const RpError &e) {
            EXPECT_EQ(e.kind(), RpErrorKind::BadArgument) << what << ": " << e.message().toStdString();
            EXPECT_EQ(e.where().control, QStringLiteral("Tall")) << what << ": " << e.message().toStdString();
            EXPECT_TRUE(e.message().contains(QStringLiteral("Tall"))) << e.message().toStdString();
        }
        EXPECT_TRUE(report->available()) << what;
        EXPECT_LE(pages(), 3) << what;
    };

    report->page()->setTopMargin(1000);
    report->page()->setBottomMargin(1000);
    pagesOfRecords(1);
    RpCustomBand *detail = report->bands()->detailBand();
    tallLabel(detail);
    expectRefused("a detail band");
    delete detail->findChild<RpLabel *>(QStringLiteral("Tall"));

    auto *sub = new RpSubDetail(report.get());
    sub->size()->setUnits(RpUnit::Native);
    sub->size()->setHeight(300);
    sub->setMaster(report.get());
    sub->onNeedData() = [](QObject *, bool &more) { more = true; };
    tallLabel(sub);
    expectRefused("a sub-detail that always has more");
}

} // namespace
