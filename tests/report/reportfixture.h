#pragma once
// Reports in these tests are built in a metric locale at 96 pixels per inch.
#include "../printer/fakeprinter.h"
#include "report/customreport.h"
#include "report/reportenv.h"
#include "report/rpband.h"
#include "report/surfacescheme.h"

#include <gtest/gtest.h>
#include <memory>

class ReportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        reportenv::overrideUsMeasurement(false);
        forceSurfaceScheme(true);
        noPrinter.names.clear(); // no default printer: the page starts as Default
        report = std::make_unique<Report>();
    }
    void TearDown() override
    {
        report.reset();
        reportenv::overrideUsMeasurement(std::nullopt);
    }
    // The worksheet page: margins 10, 10, 10 and 7 mm, one title band.
    RpBand *worksheetPage()
    {
        report->setUnits(RpUnit::MM);
        report->page()->setPaperSize(RpPaperSize::A4);
        report->page()->setRightMargin(7);
        report->bands()->setHasTitle(true);
        auto *band = static_cast<RpBand *>(report->bands()->titleBand());
        band->size()->readValueList({2759.604166666667, 1931.458333333333});
        band->size()->updateOwnerBounds();
        return band;
    }
    FakePrinterDevice noPrinter;
    UseDevice useNoPrinter{&noPrinter};
    std::unique_ptr<Report> report;
};
