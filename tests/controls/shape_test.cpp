// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/rphrule.h"
#include "labelfixture.h"

namespace {

class ShapeTest : public ControlTest {
protected:
    RpShape *shape(RpShapeType kind, double l, double t, double w, double h)
    {
        auto *s = new RpShape(band);
        s->setShape(kind);
        s->size()->readValueList({h, l, t, w});
        s->size()->updateOwnerBounds();
        return s;
    }
};

TEST_F(ShapeTest, EveryKindDrawsItsFigureInDevicePixels)
{
    struct Case {
        RpShapeType kind;
        DrawOp::Kind op;
        std::vector<gdi::Rect> want; // at 600 dpi for (100, 200)-(1100, 700) native
    };
    // L = 236, T = 472, R = 2598, B = 1654, MX = 1417, MY = 1063
    const std::vector<Case> cases{
        {RpShapeType::rpsRectangle, DrawOp::Rectangle, {{236, 472, 2598, 1654}}},
        {RpShapeType::rpsCircle, DrawOp::Ellipse, {{236, 472, 2598, 1654}}},
        {RpShapeType::rpsVertLine, DrawOp::Line, {{1417, 472, 1417, 1654}}},
        {RpShapeType::rpsHorLine, DrawOp::Line, {{236, 1063, 2598, 1063}}},
        {RpShapeType::rpsTopAndBottom, DrawOp::Line, {{236, 472, 2598, 472}, {236, 1654, 2598, 1654}}},
        {RpShapeType::rpsRightAndLeft, DrawOp::Line, {{236, 472, 236, 1654}, {2598, 472, 2598, 1654}}},
        {RpShapeType::rpsRoundRect, DrawOp::RoundRect, {{236, 472, 2598, 1654}}},
        {RpShapeType::rpsLeftDiagonal, DrawOp::Line, {{2598, 472, 236, 1654}}},
        {RpShapeType::rpsRightDiagonal, DrawOp::Line, {{236, 472, 2598, 1654}}},
    };
    for (const Case &k : cases) {
        RpShape *s = shape(k.kind, 100, 200, 1000, 500);
        RecordingCanvas c(600);
        print(s, c);
        const auto ops = c.of(k.op);
        ASSERT_EQ(ops.size(), k.want.size()) << int(k.kind);
        for (size_t i = 0; i < ops.size(); ++i)
            EXPECT_EQ(ops[i].r, k.want[i]) << int(k.kind) << " #" << i;
        delete s;
    }
}

TEST_F(ShapeTest, GridBoxPrintsAGreyOnePixelOutlineWithNothingFilled)
{
    RpShape *s = shape(RpShapeType::rpsRectangle, 0, 0, 500, 500);
    s->setPen({gdi::PS_SOLID, 1, rpcolor::clGray});
    s->setBrush({gdi::BS_NULL, rpcolor::clWhite, 0});
    RecordingCanvas c(600);
    print(s, c);
    const auto r = c.of(DrawOp::Rectangle);
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].pen.width, 1);
    EXPECT_EQ(r[0].pen.color, gdi::rgb(0x80, 0x80, 0x80));
    EXPECT_EQ(r[0].brush.style, gdi::BS_NULL);
}

TEST_F(ShapeTest, AOnePixelRuleIsSixDevicePixelsHighAt600Dpi)
{
    RpShape *s = shape(RpShapeType::rpsRectangle, 0, 1000, 500, 2.645833333333333);
    RecordingCanvas c96(96);
    print(s, c96);
    EXPECT_EQ(c96.of(DrawOp::Rectangle)[0].r.height(), 1);
    RecordingCanvas c600(600);
    print(s, c600);
    EXPECT_EQ(c600.of(DrawOp::Rectangle)[0].r.height(), 6);
}

TEST_F(ShapeTest, RoundRectCornersFollowTheRoundFactor)
{
    RpShape *s = shape(RpShapeType::rpsRoundRect, 0, 0, 1000, 500);
    RecordingCanvas c(600);
    print(s, c);
    EXPECT_EQ(c.of(DrawOp::RoundRect)[0].align, 0u); // factor 0: square corners
    s->setRoundFactor(0.25f);
    RecordingCanvas c2(600);
    print(s, c2);
    EXPECT_EQ(c2.of(DrawOp::RoundRect)[0].align, quint32((2362) * 0.25));
}

TEST_F(ShapeTest, ExportingHandsTheShapeOverAtItsTopLeftAndSkipsDisabledOnes)
{
    RpShape *s = shape(RpShapeType::rpsHorLine, 100, 200, 1000, 500);
    RecordingFilter filter;
    exportTo = &filter;
    finalPass = false;
    RecordingCanvas c(96);
    print(s, c, 50, 60);
    ASSERT_EQ(filter.graphics.size(), 1u);
    EXPECT_EQ(filter.graphics[0].x, rpRound(150 * 96 / 254.0));
    EXPECT_EQ(filter.graphics[0].y, rpRound(260 * 96 / 254.0));
    EXPECT_EQ(filter.graphics[0].shape, RpShapeType::rpsHorLine);
    EXPECT_TRUE(c.ops.empty()); // not the final pass: nothing drawn
    s->setPrintableEnabled(false);
    finalPass = true;
    RecordingCanvas d(96);
    print(s, d);
    EXPECT_EQ(filter.graphics.size(), 1u);
    EXPECT_TRUE(d.ops.empty());
}

TEST_F(ShapeTest, ScreenFiguresStayInsideTheControl)
{
    RpShape *s = shape(RpShapeType::rpsTopAndBottom, 0, 0, 100, 100);
    s->setBounds(0, 0, 40, 20);
    RecordingCanvas c;
    s->paintSurface(c);
    std::vector<gdi::Rect> lines;
    for (const DrawOp &o : c.of(DrawOp::Line))
        lines.push_back(o.r);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], (gdi::Rect{0, 0, 40, 0}));
    EXPECT_EQ(lines.back(), (gdi::Rect{0, 19, 40, 19}));
    s->setShape(RpShapeType::rpsRectangle);
    RecordingCanvas r;
    s->paintSurface(r);
    EXPECT_EQ(r.of(DrawOp::Rectangle).back().r, (gdi::Rect{0, 0, 40, 20}));
}

class PdfFilter : public RecordingFilter {
public:
    bool isPdfDocumentFilter() const override { return true; }
};

TEST_F(ShapeTest, RulesAndPdfShapesGoOnlyToThePdfFilter)
{
    auto *rule = new RpHRule(band);
    EXPECT_EQ(rule->width(), 100);
    EXPECT_EQ(rule->height(), 10);
    auto *pdf = new RpPDFShape(band);
    pdf->setShapeType(RpShapeType::rpsRoundRect);
    RecordingFilter other;
    exportTo = &other;
    RecordingCanvas c(96);
    print(rule, c);
    print(pdf, c);
    EXPECT_TRUE(other.graphics.empty());
    ASSERT_EQ(c.of(DrawOp::Line).size(), 1u);       // the rule's line
    EXPECT_TRUE(c.of(DrawOp::RoundRect).empty());   // kinds after 5 are not drawn
    PdfFilter pdfFilter;
    exportTo = &pdfFilter;
    RecordingCanvas c2(96);
    print(rule, c2);
    print(pdf, c2);
    EXPECT_EQ(pdfFilter.graphics.size(), 2u);
}

} // namespace
