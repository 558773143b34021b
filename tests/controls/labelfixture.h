#pragma once
#include "controls/rplabel.h"
#include "recordingcanvas.h"
#include "report/customreport.h"
#include "report/pagedevice.h"
#include "report/reportenv.h"
#include "report/rpband.h"
#include "report/surfacescheme.h"

#include <gtest/gtest.h>
#include <memory>

// A worksheet-like report: A4, margins 10/10/10/7 mm, one title band.
class ControlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        reportenv::overrideUsMeasurement(false);
        forceSurfaceScheme(true);
        report = std::make_unique<Report>();
        report->setUnits(RpUnit::MM);
        report->page()->setPaperSize(RpPaperSize::A4);
        report->page()->setRightMargin(7);
        report->bands()->setHasTitle(true);
        band = static_cast<RpBand *>(report->bands()->titleBand());
        band->size()->readValueList({2759.604166666667, 1931.458333333333});
        band->size()->updateOwnerBounds();
    }
    void TearDown() override
    {
        report->setReportPrinter(nullptr);
        report->setExportFilter(nullptr);
        report.reset();
        reportenv::overrideUsMeasurement(std::nullopt);
    }
    RpLabel *label(const QString &caption, int w = 200, int h = 30, bool autoSize = false)
    {
        auto *l = new RpLabel(band);
        l->setAutoSize(autoSize);
        l->setBounds(10, 10, w, h);
        l->setCaption(caption);
        return l;
    }
    static RpFont arial(int points)
    {
        RpFont f;
        f.name = QStringLiteral("Arial");
        f.setSize(points);
        return f;
    }
    std::unique_ptr<Report> report;
    RpBand *band = nullptr;
};
