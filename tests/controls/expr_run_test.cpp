// Expression labels in whole report runs over an in-memory table: aggregates
// driven by the report's records, by a group, by a sub-detail, and by a
// master that drives nothing; the caption after the run.
#include "controls/rpexpr.h"
#include "data/memorytable.h"
#include "platform/metafile.h"
#include "platform/processwide.h"
#include "printer/rpprinter.h"
#include "report/rpgroup.h"
#include "report/rpsubdetail.h"
#include "labelfixture.h"

#include <QCoreApplication>
#include <QImage>
#include <QLocale>
#include <atomic>
#include <mutex>
#include <thread>

namespace {

// A table of people in groups (records in group order).
const char kPeople[] = "name,grp:integer,fee:float\n"
                       "Ann,1,1.5\n"
                       "Bob,1,2\n"
                       "Cid,1,3\n"
                       "Dee,2,10\n"
                       "Eve,2,20\n";

class ExprRunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        noPrinter.names.clear();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        people.loadCsv(QString::fromLatin1(kPeople));
        report = std::make_unique<Report>();
        report->setUnits(RpUnit::MM);
        report->page()->setPaperSize(RpPaperSize::A4);
        report->setFormDataSets({&people});
        report->setDataSetName(QStringLiteral("people"));
        report->bands()->setHasDetail(true);
        detail = report->bands()->detailBand();
        setHeight(detail, 60);
    }
    void TearDown() override
    {
        report.reset();
        QLocale::setDefault(savedLocale);
    }
    static void setHeight(RpCustomBand *band, double native)
    {
        band->size()->setNativeValue(RpBandSize::HeightIdx, native);
        band->size()->updateOwnerBounds();
    }
    RpExpr *expr(RpCustomBand *band, const QString &expression, int left = 10)
    {
        auto *e = new RpExpr(band);
        e->setBounds(left, 2, 150, 18);
        e->setExpression(expression);
        return e;
    }
    // The texts of every page of the last run, in the order they were drawn.
    QStringList printedTextList()
    {
        QStringList out;
        RpPrinter *p = report->reportPrinter();
        if (!p)
            return out;
        for (int n = 1;; ++n) {
            const std::optional<Metafile> page = p->getPage(n);
            if (!page)
                break;
            for (const Metafile::TextRecord &t : page->textRecords())
                out << t.text;
        }
        return out;
    }
    std::string printedTexts() { return printedTextList().join(QLatin1Char('|')).toStdString(); }

    QLocale savedLocale;
    testsupport::ScopedValue<std::optional<bool>> metric{reportState().usMeasurement, false};
    FakePrinterDevice noPrinter;
    UseDevice useNoPrinter{&noPrinter};
    RpMemoryTable people{QStringLiteral("PEOPLE")};
    std::unique_ptr<Report> report;
    RpCustomBand *detail = nullptr;
};

TEST_F(ExprRunTest, FieldsPrintPerRecordAndCountOnTheSummaryCountsTheRecords)
{
    expr(detail, QStringLiteral("NAME"));
    RpExpr *fee = expr(detail, QStringLiteral("PEOPLE.FEE"), 200);
    fee->setMask(QStringLiteral("0.00"));
    report->bands()->setHasSummary(true);
    RpCustomBand *summary = report->bands()->summaryBand();
    setHeight(summary, 60);
    expr(summary, QStringLiteral("COUNT"));
    RpExpr *sum = expr(summary, QStringLiteral("SUM(FEE)"), 200);
    sum->setMask(QStringLiteral("#,##0.00"));

    report->prepare();
    EXPECT_EQ(printedTexts(), "Ann|1.50|Bob|2.00|Cid|3.00|Dee|10.00|Eve|20.00|5|36.50");
    // Aggregates start again with every run.
    report->prepare();
    EXPECT_EQ(printedTexts(), "Ann|1.50|Bob|2.00|Cid|3.00|Dee|10.00|Eve|20.00|5|36.50");
}

TEST_F(ExprRunTest, AGroupFooterThatResetsAfterPrintShowsItsOwnGroupsCount)
{
    expr(detail, QStringLiteral("NAME"));
    auto *group = new RpGroup(report.get());
    group->setExpression(QStringLiteral("GRP"));
    setHeight(group, 60);
    expr(group, QStringLiteral("'Group ' + STR(GRP)"));
    RpCustomBand *footer = report->createBand(rbGroupFooter);
    setHeight(footer, 60);
    group->setFooterBand(footer);
    RpExpr *perGroup = expr(footer, QStringLiteral("COUNT"));
    perGroup->setResetAfterPrint(true);
    expr(footer, QStringLiteral("SUM(FEE)"), 200); // not reset: it runs on

    report->prepare();
    EXPECT_EQ(printedTexts(), "Group 1|Ann|Bob|Cid|3|6.5|Group 2|Dee|Eve|2|36.5");
}

TEST_F(ExprRunTest, ASubDetailMasterCountsItsOwnRecordsAndAnyOtherMasterNone)
{
    // Each person's pets: a sub-detail printed after each person.
    RpMemoryTable pets{QStringLiteral("PETS")};
    pets.loadCsv(QStringLiteral("pet\ncat\ndog\n"));
    report->setFormDataSets({&people, &pets});
    people.loadCsv(QStringLiteral("name\nAnn\nBob\n"));

    expr(detail, QStringLiteral("NAME"));
    auto *sub = new RpSubDetail(report.get());
    sub->setObjectName(QStringLiteral("PetBand"));
    sub->setDataSetName(QStringLiteral("Pets"));
    setHeight(sub, 60);
    expr(sub, QStringLiteral("PET"));
    RpCustomBand *subFooter = report->createBand(rbGroupFooter);
    setHeight(subFooter, 60);
    sub->setFooterBand(subFooter);
    RpExpr *petCount = expr(subFooter, QStringLiteral("COUNT"));
    petCount->setMaster(sub);
    petCount->setResetAfterPrint(true);

    report->bands()->setHasSummary(true);
    RpCustomBand *summary = report->bands()->summaryBand();
    setHeight(summary, 60);
    RpExpr *people = expr(summary, QStringLiteral("COUNT"));
    people->setMaster(report.get());
    // A band is neither the report nor a sub-detail: nothing drives it.
    RpExpr *none = expr(summary, QStringLiteral("COUNT + 100"), 200);
    none->setMaster(summary);

    report->prepare();
    EXPECT_EQ(printedTexts(), "Ann|cat|dog|2|Bob|cat|dog|2|2|100");
}

TEST_F(ExprRunTest, AfterARunTheCaptionIsTheExpressionAgain)
{
    // Sized to its text: the printed names make it narrower, the run's end
    // gives it back the width of its expression.
    people.loadCsv(QStringLiteral("name\nAnn\nEve\n"));
    RpExpr *e = expr(detail, QStringLiteral("NAME + ' ' + NAME + ' ' + NAME"));
    e->setAutoSize(true);
    RpExpr *empty = expr(detail, QString(), 300);
    const QString caption = e->caption();
    const double width = e->size()->nativeValue(RpPrintableSize::WidthIdx);
    report->prepare();
    EXPECT_EQ(printedTexts(), "Ann Ann Ann| |Eve Eve Eve| ");
    EXPECT_EQ(e->caption(), caption);
    EXPECT_EQ(e->size()->nativeValue(RpPrintableSize::WidthIdx), width);
    EXPECT_EQ(empty->caption(), QStringLiteral("(none)"));
    // Outside the run there is no value.
    EXPECT_EQ(e->value().kind, resError);
}

TEST_F(ExprRunTest, ARunOnAWorkerThreadLeavesTheSurfaceToItsOwnThread)
{
    // Fixed sizes: a label sized to its text writes its new width from the
    // run's thread while painting reads it, a race of the label's own.
    RpExpr *name = expr(detail, QStringLiteral("NAME"));
    report->bands()->setHasSummary(true);
    RpCustomBand *summary = report->bands()->summaryBand();
    setHeight(summary, 60);
    RpExpr *count = expr(summary, QStringLiteral("COUNT"));
    for (RpExpr *e : {name, count}) {
        e->setAutoSize(false);
        e->setBounds(10, 2, 150, 30);
    }
    report->prepare();
    const std::string onGui = printedTexts();
    ASSERT_EQ(onGui, "Ann|Bob|Cid|Dee|Eve|5");

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
        report->generateReport(false);
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
    EXPECT_EQ(printedTexts(), onGui);
    EXPECT_EQ(name->caption(), QStringLiteral("NAME"));
}

} // namespace
