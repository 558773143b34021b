// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reports in these tests are built in a metric locale at 96 pixels per inch.
#include "../printer/fakeprinter.h"
#include "report/customreport.h"
#include "report/processwide.h"
#include "report/reportenv.h"
#include "testsupport.h"
#include "report/rpband.h"
#include "report/surfacescheme.h"

#include <gtest/gtest.h>
#include <memory>

class ReportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        noPrinter.names.clear(); // no default printer: the page starts as Default
        report = std::make_unique<Report>();
    }
    void TearDown() override
    {
        report.reset();
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
    // A metric locale, the rich colours, and no printer.
    testsupport::ScopedValue<std::optional<bool>> metric{reportState().usMeasurement, false};
    testsupport::ScopedValue<std::optional<SurfaceScheme>> rich{reportState().surfaceScheme, richScheme()};
    FakePrinterDevice noPrinter;
    UseDevice useNoPrinter{&noPrinter};
    std::unique_ptr<Report> report;
};
