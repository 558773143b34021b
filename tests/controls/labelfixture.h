// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "controls/rplabel.h"
#include "recordingcanvas.h"
#include "report/customreport.h"
#include "../printer/fakeprinter.h"
#include "report/pagedevice.h"
#include "report/processwide.h"
#include "report/reportenv.h"
#include "testsupport.h"
#include "report/reportrun.h"
#include "report/rpband.h"
#include "report/surfacescheme.h"

#include <gtest/gtest.h>
#include <memory>

// A worksheet-like report: A4, margins 10/10/10/7 mm, one title band.
class ControlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        noPrinter.names.clear(); // no default printer: the page starts as Default
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
        report.reset();
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
    // Prints `p` onto `canvas` at its resolution as one run does, with the
    // band at native (ofsX, ofsY): the run exports to `exportTo` when set, draws
    // when `finalPass`, and has `spaceLeft` native units left on its page
    // (the band's top at 0) when set.
    void print(RpPrintable *p, RecordingCanvas &canvas, int ofsX = 0, int ofsY = 0)
    {
        RpCanvasPageDevice device(&canvas);
        RpReportRun run(*report, device, exportTo);
        run.setFinalPass(finalPass);
        if (spaceLeft) {
            run.currentY = 0;
            device.setPaperLength(*spaceLeft + report->page()->nativeValue(RpPage::BottomMarginIdx));
        }
        p->beginPrinting(run);
        p->printAt(run, ofsX, ofsY);
        p->endPrinting();
    }
    // A metric locale, the rich colours, and no printer.
    testsupport::ScopedValue<std::optional<bool>> metric{reportState().usMeasurement, false};
    testsupport::ScopedValue<std::optional<SurfaceScheme>> rich{reportState().surfaceScheme, richScheme()};
    FakePrinterDevice noPrinter;
    UseDevice useNoPrinter{&noPrinter};
    std::unique_ptr<Report> report;
    RpBand *band = nullptr;
    RpExportFilter *exportTo = nullptr;
    bool finalPass = true;
    std::optional<int> spaceLeft;
};
