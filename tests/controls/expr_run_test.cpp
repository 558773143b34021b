// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Expression labels in whole report runs over an in-memory table: aggregates
// driven by the report's records, by a group, by a sub-detail, and by a
// master that drives nothing; the caption after a run, also on a worker
// thread (run under ThreadSanitizer as well).
#include "controls/rpexpr.h"
#include "data/memorytable.h"
#include "labelfixture.h"
#include "platform/metafile.h"
#include "platform/processwide.h"
#include "printer/rpprinter.h"
#include "report/rpgroup.h"
#include "report/rpsubdetail.h"

#include <QCoreApplication>
#include <QImage>
#include <QLocale>
#include <atomic>
#include <mutex>
#include <thread>

namespace {

class ExprRunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        noPrinter.names.clear();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        people.loadCsv(QStringLiteral("name,grp:integer,fee:float\nAnn,1,1.5\nBob,1,2\nCid,1,3\nDee,2,10\nEve,2,20\n"));
        report = std::make_unique<Report>();
        report->setUnits(RpUnit::MM);
        report->page()->setPaperSize(RpPaperSize::A4);
        report->setFormDataSets({&people});
        report->setDataSetName(QStringLiteral("people"));
        report->bands()->setHasDetail(true);
        detail = report->bands()->detailBand();
        setHeight(detail);
    }
    void TearDown() override
    {
        report.reset();
        QLocale::setDefault(savedLocale);
    }
    static void setHeight(RpCustomBand *band)
    {
        band->size()->setNativeValue(RpBandSize::HeightIdx, 60);
        band->size()->updateOwnerBounds();
    }
    RpCustomBand *summary()
    {
        report->bands()->setHasSummary(true);
        setHeight(report->bands()->summaryBand());
        return report->bands()->summaryBand();
    }
    RpExpr *expr(RpCustomBand *band, const QString &expression, int left = 10)
    {
        auto *e = new RpExpr(band);
        e->setBounds(left, 2, 150, 18);
        e->setExpression(expression);
        return e;
    }
    // The texts of every page of the last run in the order drawn, joined by "|".
    std::string printedTexts()
    {
        QStringList out;
        for (int n = 1; report->reportPrinter(); ++n) {
            const std::optional<Metafile> page = report->reportPrinter()->getPage(n);
            if (!page)
                break;
            for (const Metafile::TextRecord &t : page->textRecords())
                out << t.text;
        }
        return out.join(QLatin1Char('|')).toStdString();
    }

    QLocale savedLocale;
    testsupport::ScopedValue<std::optional<bool>> metric{reportState().usMeasurement, false};
    FakePrinterDevice noPrinter;
    UseDevice useNoPrinter{&noPrinter};
    RpMemoryTable people{QStringLiteral("PEOPLE")};
    std::unique_ptr<Report> report;
    RpCustomBand *detail = nullptr;
};

TEST_F(ExprRunTest, CountOnTheSummaryCountsTheRecordsAndTheCaptionComesBack)
{
    RpExpr *name = expr(detail, QStringLiteral("NAME + ' ' + NAME"));
    expr(detail, QStringLiteral("PEOPLE.FEE"), 200)->setMask(QStringLiteral("0.00"));
    expr(summary(), QStringLiteral("COUNT"));
    expr(report->bands()->summaryBand(), QStringLiteral("SUM(FEE)"), 200)->setMask(QStringLiteral("#,##0.00"));
    // Sized to its text: the names printed are narrower than the expression.
    const double width = name->size()->nativeValue(RpPrintableSize::WidthIdx);
    for (int run = 0; run < 2; ++run) { // the aggregates start again each run
        report->prepare();
        EXPECT_EQ(printedTexts(), "Ann Ann|1.50|Bob Bob|2.00|Cid Cid|3.00|Dee Dee|10.00|Eve Eve|20.00|5|36.50");
        EXPECT_EQ(name->caption(), QStringLiteral("NAME + ' ' + NAME"));
        EXPECT_EQ(name->size()->nativeValue(RpPrintableSize::WidthIdx), width);
    }
}

TEST_F(ExprRunTest, AGroupFooterThatResetsAfterPrintShowsItsOwnGroupsCount)
{
    expr(detail, QStringLiteral("NAME"));
    auto *group = new RpGroup(report.get());
    group->setExpression(QStringLiteral("GRP"));
    setHeight(group);
    expr(group, QStringLiteral("'Group ' + STR(GRP)"));
    RpCustomBand *footer = report->createBand(rbGroupFooter);
    setHeight(footer);
    group->setFooterBand(footer);
    expr(footer, QStringLiteral("COUNT"))->setResetAfterPrint(true);
    expr(footer, QStringLiteral("SUM(FEE)"), 200); // not reset: it runs on
    report->prepare();
    EXPECT_EQ(printedTexts(), "Group 1|Ann|Bob|Cid|3|6.5|Group 2|Dee|Eve|2|36.5");
}

TEST_F(ExprRunTest, ASubDetailMasterCountsItsOwnRecordsAndAnyOtherMasterNone)
{
    RpMemoryTable pets{QStringLiteral("PETS")};
    pets.loadCsv(QStringLiteral("pet\ncat\ndog\n"));
    report->setFormDataSets({&people, &pets});
    people.loadCsv(QStringLiteral("name\nAnn\nBob\n"));
    expr(detail, QStringLiteral("NAME"));
    // Each person's pets, with their count after them.
    auto *sub = new RpSubDetail(report.get());
    sub->setDataSetName(QStringLiteral("Pets"));
    setHeight(sub);
    expr(sub, QStringLiteral("PET"));
    RpCustomBand *subFooter = report->createBand(rbGroupFooter);
    setHeight(subFooter);
    sub->setFooterBand(subFooter);
    RpExpr *petCount = expr(subFooter, QStringLiteral("COUNT"));
    petCount->setMaster(sub);
    petCount->setResetAfterPrint(true);
    // The report as master; a band is neither report nor sub-detail.
    expr(summary(), QStringLiteral("COUNT"))->setMaster(report.get());
    expr(report->bands()->summaryBand(), QStringLiteral("COUNT + 100"), 200)->setMaster(detail);
    report->prepare();
    EXPECT_EQ(printedTexts(), "Ann|cat|dog|2|Bob|cat|dog|2|2|100");
}

TEST_F(ExprRunTest, ARunOnAWorkerThreadLeavesTheSurfaceToItsOwnThread)
{
    // Fixed sizes: a label sized to its text writes its new width from the
    // run's thread while painting reads it, a race of the label's own.
    RpExpr *name = expr(detail, QStringLiteral("NAME"));
    RpExpr *count = expr(summary(), QStringLiteral("COUNT"));
    for (RpExpr *e : {name, count}) {
        e->setAutoSize(false);
        e->setBounds(10, 2, 150, 30);
    }
    std::mutex lock;
    std::vector<std::string> caught;
    testsupport::ScopedValue<GuiThreadViolationHandler> recording(
        platformState().guiThreadViolation, [&](const char *what) {
            std::lock_guard<std::mutex> guard(lock);
            caught.emplace_back(what);
        });
    ASSERT_TRUE(report->createReportPrinter());
    std::atomic<bool> done = false;
    std::thread worker([&] {
        report->generateReport();
        done = true;
    });
    // The label paints meanwhile, the expression's text on it.
    QImage surface(name->width(), name->height(), QImage::Format_ARGB32_Premultiplied);
    do {
        name->render(&surface);
        QCoreApplication::processEvents();
    } while (!done);
    worker.join();
    QCoreApplication::processEvents();
    EXPECT_TRUE(caught.empty()) << caught.front();
    EXPECT_EQ(printedTexts(), "Ann|Bob|Cid|Dee|Eve|5");
    EXPECT_EQ(name->caption(), QStringLiteral("NAME"));
}

} // namespace
