// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "reportfixture.h"

#include "platform/rperror.h"
#include "report/rpprintable.h"

#include <cstring>

namespace {

class UnitsTest : public ReportTest {};

TEST_F(UnitsTest, A4WidthReadsInEveryUnitWhileTheSurfaceIsWholePixels)
{
    RpPage *page = report->page();
    page->setPaperSize(RpPaperSize::A4);
    page->setUnits(RpUnit::MM);
    EXPECT_DOUBLE_EQ(page->width(), 210.0);
    EXPECT_DOUBLE_EQ(page->length(), 297.0);
    page->setUnits(RpUnit::Inches);
    EXPECT_NEAR(page->width(), 8.26771653, 1e-8);
    page->setUnits(RpUnit::Pixels);
    EXPECT_NEAR(page->width(), 793.700787, 1e-6);
    page->setUnits(RpUnit::Native);
    EXPECT_DOUBLE_EQ(page->width(), 2100.0);
    EXPECT_EQ(report->width(), 794);
    EXPECT_EQ(report->height(), 1123);
}

TEST_F(UnitsTest, PixelValuesRoundTripThroughNative)
{
    RpPrintableSize s;
    s.setUnits(RpUnit::Pixels);
    s.setHeight(214);
    EXPECT_NEAR(s.nativeValue(RpPrintableSize::HeightIdx), 566.2083333333333, 1e-9);
    EXPECT_NEAR(s.height(), 214.0, 1e-9);
    s.setUnits(RpUnit::Inches);
    s.setWidth(1);
    EXPECT_DOUBLE_EQ(s.nativeValue(RpPrintableSize::WidthIdx), 254.0);
}

TEST_F(UnitsTest, CharactersFollowTheReportFontAndSurviveSizeZero)
{
    RpBandSize s;
    s.setParentReport(report.get());
    ASSERT_EQ(report->font().size(), 10);
    s.setUnits(RpUnit::Native);
    s.setWidth(80.0 / 10 / 2.54 * 10); // one character wide
    s.setHeight(145.3 / 10 / 2.54 * 10); // one line high
    s.setUnits(RpUnit::Characters);
    EXPECT_NEAR(s.width(), 1.0, 1e-12);
    EXPECT_NEAR(s.height(), 1.0, 1e-12);
    s.setWidth(2);
    EXPECT_NEAR(s.nativeValue(RpBandSize::WidthIdx), 62.99212598, 1e-7);

    RpFont f = report->font();
    f.height = 0; // size 0: no character cell
    report->setFont(f);
    ASSERT_EQ(report->font().size(), 0);
    const double w = s.width();
    EXPECT_TRUE(std::isfinite(w));
    s.setWidth(3);
    EXPECT_TRUE(std::isfinite(s.nativeValue(RpBandSize::WidthIdx)));
}

TEST_F(UnitsTest, ZoomScalesPixelsOnceForBandsAndTwiceForTheirControls)
{
    auto *band = report->createBand(rbDetail);
    auto *control = new RpPrintable(band);
    report->setZoom(50);
    EXPECT_EQ(band->zoom(), 50);
    EXPECT_EQ(control->zoom(), 50);

    band->size()->readValueList({254, 254});
    band->size()->setUnits(RpUnit::Pixels);
    EXPECT_DOUBLE_EQ(band->size()->height(), 48.0);

    control->size()->readValueList({254, 254, 254, 254});
    control->size()->setUnits(RpUnit::Pixels);
    EXPECT_DOUBLE_EQ(control->size()->height(), 24.0);
    // The control's bounds on screen use the zoom once.
    control->size()->updateOwnerBounds();
    EXPECT_EQ(control->height(), 48);
}

TEST_F(UnitsTest, ValueListsReadBackBitIdenticalAndRefuseWrongCounts)
{
    RpPrintableSize s;
    const std::vector<double> values{566.2083333333333, 804.3333333333333, 0.1, -0.0};
    s.readValueList(values);
    const std::vector<double> back = s.writeValueList();
    ASSERT_EQ(back.size(), values.size());
    EXPECT_EQ(std::memcmp(back.data(), values.data(), sizeof(double) * values.size()), 0);
    EXPECT_THROW(s.readValueList({1, 2, 3}), RpError);
    EXPECT_THROW(s.readValueList({1, 2, 3, 4, 5}), RpError);
    EXPECT_EQ(s.writeValueList(), values); // a refused list leaves the values alone
}

TEST_F(UnitsTest, UsePixelsRemembersTheUnitWithoutSideEffects)
{
    RpPage *page = report->page();
    page->setUnits(RpUnit::Inches);
    page->usePixels();
    EXPECT_EQ(page->units(), RpUnit::Pixels);
    page->usePixels(); // calls do not nest
    page->restoreUnits();
    EXPECT_EQ(page->units(), RpUnit::Pixels);
}

TEST_F(UnitsTest, HalvesRoundToEven)
{
    EXPECT_EQ(rpRound(0.5), 0);
    EXPECT_EQ(rpRound(1.5), 2);
    EXPECT_EQ(rpRound(2.5), 2);
    EXPECT_EQ(rpRound(-2.5), -2);
    EXPECT_EQ(rpRound(37.795), 38);
}

TEST_F(UnitsTest, UsLocaleStartsInInchesOnLetter)
{
    testsupport::ScopedValue<std::optional<bool>> us_(reportState().usMeasurement, true);
    Report us;
    EXPECT_EQ(us.units(), RpUnit::Inches);
    EXPECT_DOUBLE_EQ(us.page()->leftMargin(), 0.5);
    us.page()->setUnits(RpUnit::MM);
    EXPECT_NEAR(us.page()->width(), 215.9, 1e-9);
    EXPECT_NEAR(us.page()->length(), 279.4, 1e-9);
}

} // namespace
