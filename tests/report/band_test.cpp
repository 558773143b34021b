// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "reportfixture.h"

#include "../controls/recordingcanvas.h"
#include "report/pagedevice.h"
#include "report/reportrun.h"
#include "report/rpprintable.h"

namespace {

class BandTest : public ReportTest {};

TEST_F(BandTest, WorksheetTitleBandHeightFromItsValuesWidthFromThePage)
{
    RpBand *band = worksheetPage();
    EXPECT_EQ(band->height(), 1043);
    EXPECT_EQ(band->width(), 730);
    band->size()->setUnits(RpUnit::MM);
    EXPECT_NEAR(band->size()->width(), 193.146, 1e-3);
}

TEST_F(BandTest, DraggingTheBottomEdgeStoresTheHeightInReportUnits)
{
    report->setUnits(RpUnit::MM);
    RpBand *band = report->createBand(rbDetail);
    band->setBounds(band->left(), band->top(), band->width(), 60);
    EXPECT_DOUBLE_EQ(band->size()->height(), 15.875);
    EXPECT_EQ(band->height(), 60);
    EXPECT_EQ(band->size()->units(), RpUnit::MM);
    EXPECT_TRUE(report->modified());
}

TEST_F(BandTest, WidthAndPositionComeFromTheLayout)
{
    RpBand *band = worksheetPage();
    band->setBounds(0, 500, 100, band->height());
    EXPECT_EQ(band->pos(), QPoint(38, 38));
    EXPECT_EQ(band->width(), 730);
}

TEST_F(BandTest, ABandPlacedOnABandLandsOnItsReport)
{
    RpBand *title = report->createBand(rbTitle);
    auto *detail = new RpBand(title);
    detail->setBandType(rbDetail);
    EXPECT_EQ(detail->parentWidget(), report.get());
    EXPECT_EQ(detail->parentReport(), report.get());
    ASSERT_EQ(report->bandList().size(), 2);
    EXPECT_EQ(report->bandList().at(1), detail);
    EXPECT_EQ(detail->top(), title->top() + title->height());
}

TEST_F(BandTest, HasChildMakesOneChildAndClosingUpRelinksTheGrandchild)
{
    RpBand *band = report->createBand(rbDetail);
    band->setHasChild(true);
    band->setHasChild(true);
    ASSERT_EQ(report->bandList().size(), 2);
    RpChildBand *child = band->childBand();
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(child->bandType(), rbChild);
    EXPECT_EQ(child->printOrder(), CBPrintOrder::cboAfterParent);
    EXPECT_EQ(report->bandList().at(1), child);
    child->setHasChild(true);
    RpChildBand *grandchild = child->childBand();
    ASSERT_NE(grandchild, nullptr);
    band->setHasChild(false);
    EXPECT_EQ(report->bandList().size(), 2);
    EXPECT_EQ(band->childBand(), grandchild);
    EXPECT_EQ(grandchild->parentBand(), band);
}

TEST_F(BandTest, CircularLinksAreRefused)
{
    RpBand *a = report->createBand(rbDetail);
    RpBand *b = report->createBand(rbDetail);
    EXPECT_TRUE(a->setLinkBand(b));
    EXPECT_FALSE(b->setLinkBand(a));
    EXPECT_EQ(b->linkBand(), nullptr);
    EXPECT_FALSE(a->setLinkBand(a));
    EXPECT_EQ(a->linkBand(), b);

    a->setHasChild(true);
    RpChildBand *c1 = a->childBand();
    c1->setHasChild(true);
    RpChildBand *c2 = c1->childBand();
    EXPECT_FALSE(c1->setParentBand(c2));
    EXPECT_EQ(c1->parentBand(), a);
    RpChildBand loose;
    EXPECT_FALSE(loose.setParentBand(a)); // on no report: nothing happens
    EXPECT_EQ(loose.parentBand(), nullptr);
}

TEST_F(BandTest, RemovedLinkTargetsClearTheReference)
{
    RpBand *a = report->createBand(rbDetail);
    RpBand *b = report->createBand(rbDetail);
    a->setLinkBand(b);
    delete b;
    EXPECT_EQ(a->linkBand(), nullptr);
}

TEST_F(BandTest, ExpandBandGrowsOnlyWhenTheRequestExceedsWhatWasGained)
{
    RpBand *band = report->createBand(rbDetail);
    band->size()->setUnits(RpUnit::Native);
    band->size()->setHeight(100);
    // A run with 1000 native units left above the bottom margin.
    RecordingCanvas canvas;
    RpCanvasPageDevice device(&canvas);
    RpReportRun run(*report, device);
    run.currentY = 0;
    device.setPaperLength(1000 + report->page()->nativeValue(RpPage::BottomMarginIdx));
    band->setExpanded(50);
    double got = 0;
    bool has = false;
    EXPECT_TRUE(band->expandBand(30, got, has));
    EXPECT_DOUBLE_EQ(got, 50);
    EXPECT_TRUE(has);
    EXPECT_DOUBLE_EQ(band->expanded(), 50);
    EXPECT_FALSE(band->expandBand(30, got, has));
    EXPECT_DOUBLE_EQ(band->expanded(), 80);
    EXPECT_DOUBLE_EQ(got, 80);
    // No room: nothing changes.
    EXPECT_FALSE(band->canExpand(821));
    EXPECT_TRUE(band->canExpand(820));
    EXPECT_FALSE(band->expandBand(900, got, has));
    EXPECT_DOUBLE_EQ(band->expanded(), 80);
    double h = 0;
    band->expandedHeight(h);
    EXPECT_DOUBLE_EQ(h, 100);
}

TEST_F(BandTest, LoadedHeightAppliesWhenTheValuesLeftTheBandAtForty)
{
    RpBand band;
    band.setLoading(true);
    band.setBounds(0, 0, 100, 77);
    EXPECT_EQ(band.height(), 40);
    EXPECT_EQ(band.loadedHeight(), 77);
    band.size()->readValueList({40 * 254.0 / 96, 100});
    band.loaded();
    EXPECT_EQ(band.height(), 77);
}

TEST_F(BandTest, AddPrintablePlacesEachNewControlRightOfTheOthers)
{
    RpBand *band = report->createBand(rbDetail);
    auto *a = band->addPrintable<RpPrintable>();
    EXPECT_EQ(a->left(), 1);
    auto *b = band->addPrintable<RpPrintable>();
    EXPECT_EQ(b->left(), a->left() + a->width() + 10);
}

TEST_F(BandTest, PaintsOutlineFrameAndCaption)
{
    RpBand *band = worksheetPage();
    RecordingCanvas c;
    band->paintSurface(c);
    const auto fills = c.of(DrawOp::FillRect);
    ASSERT_FALSE(fills.empty());
    EXPECT_EQ(fills[0].r, (gdi::Rect{0, 0, 730, 1043}));
    EXPECT_EQ(fills[0].brush.color, gdi::rgb(255, 255, 255));
    int outline = 0;
    for (const DrawOp &o : c.of(DrawOp::Line))
        if (o.pen.color == surfaceScheme().bandOutline.color && o.pen.style == gdi::PS_DOT)
            ++outline;
    EXPECT_EQ(outline, 4);
    const auto texts = c.of(DrawOp::Text);
    ASSERT_EQ(texts.size(), 1u); // band rulers carry no labels
    EXPECT_EQ(texts[0].text, QStringLiteral("Title"));
    EXPECT_EQ(texts[0].r.left, 2);
    RecordingCanvas m;
    gdi::LogFont lf;
    lf.height = -8;
    lf.faceName = QStringLiteral("Small Fonts");
    m.setFont(lf);
    EXPECT_EQ(texts[0].r.top, 1043 - m.textHeight(QStringLiteral("W")) - 4);
    band->setBandEnabled(false);
    RecordingCanvas d;
    band->paintSurface(d);
    EXPECT_EQ(d.of(DrawOp::FillRect)[0].brush.color, gdi::rgb(0xC0, 0xC0, 0xC0));
}

} // namespace

// A control whose height depends on its content, as a database picture's does.
class GrowingPrintable : public RpPrintable {
public:
    using RpPrintable::RpPrintable;
    bool stretchesBand() const override { return true; }
    void getExpandedHeight(double &h) override { h = 200; }
};

TEST_F(BandTest, ExpandedHeightAsksTheControlsOwnEnabledNotTheWidgets)
{
    RpBand *band = report->createBand(rbDetail);
    band->setBounds(0, 0, 700, 100);
    auto *p = new GrowingPrintable(band);
    p->setBounds(0, 10, 50, 20);
    band->size()->setUnits(RpUnit::Native);
    double h = 0;
    band->expandedHeight(h);
    // Top 10 + 200 pixels, and the room below the control: 100 - 10 - 20 + 1.
    EXPECT_NEAR(h, (10 + 200) / 0.37795 + 71 / 0.37795, 1e-9);

    p->setPrintableEnabled(false); // the widget stays enabled
    band->expandedHeight(h);
    EXPECT_DOUBLE_EQ(h, band->size()->height());

    p->setPrintableEnabled(true);
    band->setBandEnabled(false); // disables the widgets, not the control
    band->expandedHeight(h);
    EXPECT_NEAR(h, (10 + 200) / 0.37795 + 71 / 0.37795, 1e-9);
}
