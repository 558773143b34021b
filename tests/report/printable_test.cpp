// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "reportfixture.h"

#include "../controls/recordingcanvas.h"
#include "report/pagedevice.h"
#include "report/reportrun.h"
#include "report/rpprintable.h"

namespace {

class FrameTest : public ReportTest {};

TEST_F(FrameTest, ThicknessFollowsTheDeviceResolution)
{
    RpFrame f;
    EXPECT_EQ(f.verticalThickness(600 / 254.0), 8);
    EXPECT_EQ(f.horizontalThickness(96 / 254.0), 1);
    f.setWidth(-1);
    EXPECT_EQ(f.verticalThickness(600 / 254.0), 1);
    EXPECT_EQ(f.verticalThickness(2400 / 254.0), 1);
    f.setWidth(3);
    EXPECT_EQ(f.verticalThickness(600 / 254.0), 25);
    f.setWidth(0);
    EXPECT_EQ(f.verticalThickness(600 / 254.0), 0);
}

TEST_F(FrameTest, EachSetSideIsAFilledRectangle)
{
    RpFrame f;
    f.setColor(gdi::rgb(1, 2, 3));
    RecordingCanvas c(600);
    const gdi::Rect r{100, 200, 300, 400};
    f.paintFrame(c, r, 600 / 254.0, 600 / 254.0);
    EXPECT_TRUE(c.ops.empty());
    EXPECT_FALSE(f.anyFrame());
    f.setDrawTop(true);
    f.setDrawRight(true);
    f.paintFrame(c, r, 600 / 254.0, 600 / 254.0);
    const auto fills = c.of(DrawOp::FillRect);
    ASSERT_EQ(fills.size(), 2u);
    EXPECT_EQ(fills[0].r, (gdi::Rect{100, 200, 300, 208}));
    EXPECT_EQ(fills[1].r, (gdi::Rect{292, 200, 300, 400}));
    EXPECT_EQ(fills[0].brush.color, gdi::rgb(1, 2, 3));
    f.setWidth(0);
    RecordingCanvas none(600);
    f.paintFrame(none, r, 600 / 254.0, 600 / 254.0);
    EXPECT_TRUE(none.of(DrawOp::FillRect).empty());
}

class PrintFrameTest : public ReportTest {
protected:
    void SetUp() override
    {
        ReportTest::SetUp();
        band = worksheetPage();
        control = new RpPrintable(band);
        control->size()->readValueList({100, 200, 300, 400}); // H L T W
        control->size()->updateOwnerBounds();
    }
    RpBand *band = nullptr;
    RpPrintable *control = nullptr;
};

TEST_F(PrintFrameTest, AnExporterGetsOneRectangleForFourSidesAndLinesOtherwise)
{
    RecordingCanvas canvas;
    RpCanvasPageDevice device(&canvas, 96 / 254.0, 96 / 254.0);
    RecordingFilter filter;
    RpReportRun run(*report, device, &filter);
    run.setFinalPass(false);

    control->printAt(run, 0, 0); // no side: nothing at all
    EXPECT_TRUE(filter.graphics.empty());
    run.setFinalPass(true);
    RpFrame *f = control->frame();
    for (int i = 0; i < 4; ++i)
        f->setDrawSide(i, true);
    control->printAt(run, 0, 0);
    ASSERT_EQ(filter.graphics.size(), 1u); // the control is transparent
    EXPECT_EQ(filter.graphics[0].shape, RpShapeType::rpsRectangle);
    EXPECT_EQ(filter.graphics[0].brush.style, gdi::BS_NULL);
    EXPECT_EQ(filter.graphics[0].bounds, (gdi::Rect{76, 113, 227, 151}));

    filter.graphics.clear();
    control->setOpaqueStyle(true);
    f->setDrawLeft(false);
    f->setDrawRight(false);
    control->printAt(run, 0, 0);
    ASSERT_EQ(filter.graphics.size(), 3u);
    EXPECT_EQ(filter.graphics[0].brush.style, gdi::BS_SOLID); // the opaque background
    EXPECT_EQ(filter.graphics[0].pen.style, gdi::PS_NULL);
    EXPECT_EQ(filter.graphics[1].shape, RpShapeType::rpsHorLine);
    EXPECT_EQ(filter.graphics[1].bounds, (gdi::Rect{76, 113, 227, 114}));
    EXPECT_EQ(filter.graphics[2].bounds, (gdi::Rect{76, 150, 227, 151}));
}

TEST_F(PrintFrameTest, PrintedFrameUsesThePrinterConversions)
{
    RecordingCanvas canvas(600);
    RpCanvasPageDevice device(&canvas, 600 / 254.0, 600 / 254.0, 50, 20);
    RpReportRun run(*report, device);
    control->frame()->setDrawBottom(true);
    control->printAt(run, 100, 100);
    const auto fills = canvas.of(DrawOp::FillRect);
    ASSERT_EQ(fills.size(), 1u);
    // XPos(300) = Round(250 * 600 / 254) = 591, XPos(700) = 1535, YPos(500) = 1134
    EXPECT_EQ(fills[0].r, (gdi::Rect{591, 1134 - 8, 1535, 1134}));
}

class AlignTest : public ReportTest {};

TEST_F(AlignTest, CentredOnTheBandAndReCentredWhenTheBandResizes)
{
    RpBand *band = worksheetPage();
    auto *p = new RpPrintable(band);
    p->setBounds(10, 10, 215, 214);
    p->setAlignment(Alignment::taCenter);
    p->setAlignToBand(true);
    EXPECT_EQ(p->left(), 257);
    report->page()->setRightMargin(17);
    EXPECT_EQ(band->width(), 692);
    EXPECT_EQ(p->left(), (692 - 215) / 2);
    p->setAlignment(Alignment::taRightJustify);
    EXPECT_EQ(p->left(), 692 - 215);
    p->setAlignment(Alignment::taLeftJustify);
    EXPECT_EQ(p->left(), 0);
}

TEST_F(AlignTest, SameBoundsAgainKeepTheStoredValues)
{
    RpBand *band = worksheetPage();
    auto *p = new RpPrintable(band);
    const std::vector<double> v{566.2083333333333, 804.3333333333333, 2182.8125, 568.8541666666667};
    p->size()->readValueList(v);
    p->size()->updateOwnerBounds();
    EXPECT_EQ(p->geometry(), QRect(304, 825, 215, 214));
    p->setBounds(304, 825, 215, 214);
    EXPECT_EQ(p->size()->writeValueList(), v);
    report->setZoom(50);
    p->setBounds(p->left(), p->top(), p->width(), p->height());
    EXPECT_EQ(p->size()->writeValueList(), v);
}

TEST_F(AlignTest, TopInMillimetresMovesTheControlToItsPixelRow)
{
    RpBand *band = worksheetPage();
    auto *p = new RpPrintable(band);
    p->size()->setUnits(RpUnit::MM);
    p->size()->setTop(10);
    EXPECT_DOUBLE_EQ(p->size()->nativeValue(RpPrintableSize::TopIdx), 100);
    EXPECT_EQ(p->top(), 38);
}

TEST_F(AlignTest, LoadedBoundsFillWhatTheValuesLeftAtZero)
{
    RpBand *band = worksheetPage();
    auto *p = new RpPrintable(nullptr);
    p->setLoading(true);
    p->setParentPanel(band);
    p->setBounds(5, 6, 70, 80);
    p->size()->readValueList({0, 0, 264.5833333333333, 264.5833333333333});
    p->loaded();
    EXPECT_EQ(p->geometry(), QRect(5, 100, 100, 80));
}

TEST_F(AlignTest, PaintShowsCornerMarksAndSkipsWhilePrinting)
{
    RpBand *band = worksheetPage();
    auto *p = new RpPrintable(band);
    p->setBounds(0, 0, 20, 10);
    RecordingCanvas c;
    p->paintSurface(c);
    const auto marks = c.of(DrawOp::Polyline);
    ASSERT_EQ(marks.size(), 4u);
    EXPECT_EQ(marks[3].r, (gdi::Rect{16, 9, 19, 6}));
    RecordingCanvas page;
    RpCanvasPageDevice device(&page);
    RpReportRun run(*report, device);
    p->beginPrinting(run);
    RecordingCanvas none;
    p->paintSurface(none);
    EXPECT_TRUE(none.ops.empty());
    p->endPrinting();
}

} // namespace
