// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "labelfixture.h"

namespace {

class LabelPrintTest : public ControlTest {};

TEST_F(LabelPrintTest, LinesGoToTheTopOfTheLabelAtDeviceResolution)
{
    for (int dpi : {96, 600}) {
        RpLabel *l = label(QStringLiteral("Hello"), 200, 40);
        l->setTransparent(true);
        l->setFont(arial(12));
        RecordingCanvas c(dpi);
        print(l, c, 100, 200);
        const auto texts = c.of(DrawOp::Text);
        ASSERT_EQ(texts.size(), 1u) << dpi;
        const double left = l->size()->nativeValue(RpPrintableSize::LeftIdx) + 100;
        const double top = l->size()->nativeValue(RpPrintableSize::TopIdx) + 200;
        EXPECT_EQ(texts[0].r.left, rpRound(left * dpi / 254.0)) << dpi;
        EXPECT_EQ(texts[0].r.top, rpRound(top * dpi / 254.0)) << dpi;
        EXPECT_EQ(texts[0].align, gdi::TA_LEFT | gdi::TA_TOP);
        EXPECT_EQ(texts[0].fontHeight, -mulDiv(12, dpi, 72)) << dpi;
        EXPECT_TRUE(c.of(DrawOp::FillRect).empty()); // transparent: no background
        delete l;
    }
}

TEST_F(LabelPrintTest, CentredTextIsAnchoredOnTheMiddle)
{
    RpLabel *l = label(QStringLiteral("Mid"), 200, 40);
    l->setAlignment(Alignment::taCenter);
    RecordingCanvas c(600);
    print(l, c);
    const auto texts = c.of(DrawOp::Text);
    ASSERT_EQ(texts.size(), 1u);
    const double L = l->size()->nativeValue(RpPrintableSize::LeftIdx);
    const double W = l->size()->nativeValue(RpPrintableSize::WidthIdx);
    EXPECT_EQ(texts[0].r.left, rpRound((L + W / 2) * 600 / 254.0));
    EXPECT_EQ(texts[0].align & gdi::TA_CENTER, gdi::TA_CENTER);
}

TEST_F(LabelPrintTest, AnOpaqueWhiteLabelIsFilledButNeverExportedAsBackground)
{
    RpLabel *l = label(QString::fromUtf8("班別："), 120, 30);
    RecordingCanvas c;
    RecordingFilter filter;
    exportTo = &filter;
    print(l, c);
    const auto fills = c.of(DrawOp::FillRect);
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].brush.color, gdi::rgb(255, 255, 255));
    EXPECT_TRUE(filter.graphics.empty());
    ASSERT_EQ(filter.texts.size(), 1u);
    EXPECT_EQ(filter.texts[0].text, QString::fromUtf8("班別："));
    EXPECT_DOUBLE_EQ(filter.texts[0].x, l->size()->nativeValue(RpPrintableSize::LeftIdx));
    EXPECT_DOUBLE_EQ(filter.texts[0].y, l->size()->nativeValue(RpPrintableSize::TopIdx));

    l->setColor(rpcolor::clSilver);
    filter.texts.clear();
    RecordingCanvas c2;
    print(l, c2);
    ASSERT_EQ(filter.graphics.size(), 1u);
    EXPECT_EQ(filter.graphics[0].brush.color, rpcolor::clSilver);
    EXPECT_EQ(filter.graphics[0].pen.style, gdi::PS_NULL);
}

TEST_F(LabelPrintTest, ALineThatDoesNotFitIsNotPrintedUnlessTheBandStretches)
{
    // A caption label grows to one line while formatting; lines from Lines
    // keep the designed height.
    RpLabel *l = label(QString(), 200, 10);
    l->setFont(arial(10));
    l->setCaptionBased(false);
    l->setLines({QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")});
    l->setBounds(10, 10, 200, 10); // shorter than one line
    RecordingCanvas c;
    print(l, c);
    EXPECT_TRUE(c.of(DrawOp::Text).empty());
    EXPECT_TRUE(l->printFinished());

    // Stretching: the band gives room one line at a time.
    band->size()->setUnits(RpUnit::Native);
    spaceLeft = 100000;
    l->setAutoStretch(true);
    RecordingCanvas c2;
    print(l, c2);
    EXPECT_EQ(c2.of(DrawOp::Text).size(), 3u);
    EXPECT_TRUE(l->printFinished());
    EXPECT_GT(band->expanded(), 0);

    // No room left: printing stops and resumes at the same line.
    band->setExpanded(0);
    spaceLeft = rpRound(band->size()->height());
    RecordingCanvas c3;
    print(l, c3);
    EXPECT_TRUE(c3.of(DrawOp::Text).empty());
    EXPECT_FALSE(l->printFinished());
    EXPECT_EQ(l->currentLine(), 0);
}

TEST_F(LabelPrintTest, OneLineFitsWhenTheLabelIsAtLeastALineHighLessATenthMillimetre)
{
    RpLabel *l = label(QString(), 200, 40);
    l->setFont(arial(10));
    l->setCaptionBased(false);
    l->setLines({QStringLiteral("W")});
    RecordingCanvas c;
    c.setFont(l->font().toLogFont(96));
    const double lh = c.textHeight(QStringLiteral("W")) / (96 / 254.0);
    l->size()->setUnits(RpUnit::Native);
    l->size()->setHeight(lh - 1); // limit T + H + 1 equals T + LH
    RecordingCanvas ok;
    print(l, ok);
    EXPECT_EQ(ok.of(DrawOp::Text).size(), 1u);
    l->size()->setHeight(lh - 1.01);
    RecordingCanvas none;
    print(l, none);
    EXPECT_TRUE(none.of(DrawOp::Text).empty());
}

TEST_F(LabelPrintTest, OnPrintChangesOnlyThatPrint)
{
    RpLabel *l = label(QStringLiteral("stored"), 300, 40);
    int calls = 0;
    l->onPrint = [&calls](RpCustomLabel *, QString &v) {
        if (++calls == 1)
            v = QStringLiteral("changed");
    };
    RecordingCanvas c;
    print(l, c);
    ASSERT_EQ(c.of(DrawOp::Text).size(), 1u);
    EXPECT_EQ(c.of(DrawOp::Text)[0].text, QStringLiteral("changed"));
    EXPECT_EQ(l->caption(), QStringLiteral("stored"));
    RecordingCanvas c2;
    print(l, c2);
    EXPECT_EQ(c2.of(DrawOp::Text)[0].text, QStringLiteral("stored"));
}

TEST_F(LabelPrintTest, NothingIsDrawnOutsideTheFinalPassButLinesAreCounted)
{
    RpLabel *l = label(QStringLiteral("a\rb"), 300, 100);
    finalPass = false;
    RecordingCanvas c;
    print(l, c);
    EXPECT_TRUE(c.ops.empty());
    EXPECT_EQ(l->currentLine(), 2);
    finalPass = true;
    l->setPrintableEnabled(false);
    RecordingCanvas d;
    print(l, d);
    EXPECT_TRUE(d.ops.empty());
}

TEST_F(LabelPrintTest, FramedLabelsInsetTheTextAndFrameTheirOwnRectangle)
{
    RpLabel *l = label(QStringLiteral("framed"), 200, 40);
    l->setTransparent(true);
    l->frame()->setDrawBottom(true);
    RecordingCanvas c(600);
    print(l, c);
    const double L = l->size()->nativeValue(RpPrintableSize::LeftIdx);
    const double T = l->size()->nativeValue(RpPrintableSize::TopIdx);
    const double W = l->size()->nativeValue(RpPrintableSize::WidthIdx);
    const double H = l->size()->nativeValue(RpPrintableSize::HeightIdx);
    const auto fills = c.of(DrawOp::FillRect);
    ASSERT_EQ(fills.size(), 1u);
    const int f = 1 * 600 / 72; // 8.33 pixels rounds to 8
    EXPECT_EQ(fills[0].r, (gdi::Rect{rpRound(L * 600 / 254), rpRound((T + H) * 600 / 254) - 8,
                                     rpRound((L + W) * 600 / 254), rpRound((T + H) * 600 / 254)}));
    EXPECT_EQ(f, 8);
    ASSERT_EQ(c.of(DrawOp::Text).size(), 1u);
    EXPECT_EQ(c.of(DrawOp::Text)[0].r.left, rpRound(L * 600 / 254)); // no left side: no inset

    l->frame()->setDrawLeft(true);
    l->frame()->setDrawTop(true);
    RecordingCanvas c2(600);
    print(l, c2);
    const int inset = rpRound(254 / 72.0); // 4 native units
    EXPECT_EQ(c2.of(DrawOp::Text)[0].r.left, rpRound((L + inset) * 600 / 254));
    EXPECT_EQ(c2.of(DrawOp::Text)[0].r.top, rpRound((T + inset) * 600 / 254));
    EXPECT_EQ(c2.of(DrawOp::FillRect)[0].r.left, rpRound(L * 600 / 254));
    EXPECT_EQ(c2.of(DrawOp::FillRect)[0].r.top, rpRound(T * 600 / 254));
}

TEST_F(LabelPrintTest, FullJustifyWidensGapsOnlyUpToMaxBreakChars)
{
    RpLabel *l = label(QStringLiteral("aa bb cc"), 400, 40);
    l->setFullJustify(true);
    RecordingCanvas c;
    print(l, c);
    auto words = c.of(DrawOp::Text);
    ASSERT_EQ(words.size(), 3u);
    const int space = c.textWidth(QStringLiteral(" "));
    EXPECT_EQ(words[1].r.left - words[0].r.left, c.textWidth(QStringLiteral("aa")) + space);
    l->setMaxBreakChars(1000);
    RecordingCanvas c2;
    print(l, c2);
    words = c2.of(DrawOp::Text);
    ASSERT_EQ(words.size(), 3u);
    EXPECT_NEAR(words[2].r.left + c2.textWidth(QStringLiteral("cc")), words[0].r.left + 400, 2);
}

TEST_F(LabelPrintTest, RightToLeftReadingFlagsTheTextAlignment)
{
    RpLabel *l = label(QStringLiteral("rtl"), 200, 40);
    l->setBiDiMode(BiDiMode::bdRightToLeft);
    RecordingCanvas c;
    print(l, c);
    ASSERT_EQ(c.of(DrawOp::Text).size(), 1u);
    const quint32 a = c.of(DrawOp::Text)[0].align;
    EXPECT_EQ(a & gdi::TA_RTLREADING, gdi::TA_RTLREADING);
    EXPECT_EQ(a & gdi::TA_HORZ_MASK, gdi::TA_RIGHT); // left swapped to right
}

} // namespace
