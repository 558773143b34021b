// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "labelfixture.h"

namespace {

class LabelFormatTest : public ControlTest {};

TEST_F(LabelFormatTest, BreakOnSpacesKeepsTheSpaceWithTheFirstWord)
{
    RpLabel *l = label(QString());
    l->setFont(arial(10));
    const int first = l->measureWidth(QStringLiteral("alpha "));
    const int both = l->measureWidth(QStringLiteral("alpha beta"));
    ASSERT_LT(first, both);
    l->setWidth(first + 1);
    l->setCaption(QStringLiteral("alpha beta"));
    EXPECT_EQ(l->formattedLines(), (QStringList{QStringLiteral("alpha "), QStringLiteral("beta")}));
    l->setWidth(both);
    l->setCaption(QStringLiteral("alpha beta"));
    EXPECT_EQ(l->formattedLines(), QStringList{QStringLiteral("alpha beta")});
}

TEST_F(LabelFormatTest, HyphensBreakAndTheNextWordJoinsTheNewLine)
{
    RpLabel *l = label(QString());
    l->setFont(arial(10));
    l->setWidth(l->measureWidth(QStringLiteral("well-")) + 2);
    l->setCaption(QStringLiteral("well-known aa bb"));
    ASSERT_GE(l->formattedLines().size(), 2);
    EXPECT_EQ(l->formattedLines().front(), QStringLiteral("well-"));
}

TEST_F(LabelFormatTest, CarriageReturnsSplitAndLineFeedsVanish)
{
    RpLabel *l = label(QString(), 400);
    l->setCaption(QStringLiteral("one\r\ntwo\rthree\nfour"));
    EXPECT_EQ(l->formattedLines(),
              (QStringList{QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("threefour")}));
}

TEST_F(LabelFormatTest, WordsWiderThanTheLabelAreCutToWhatFits)
{
    RpLabel *l = label(QString(), 40);
    l->setCaption(QStringLiteral("abcdefghijklmnop"));
    // The cut word is a line of its own; the empty line being built at the
    // end follows it (it prints nothing).
    ASSERT_EQ(l->formattedLines().size(), 2);
    EXPECT_EQ(l->formattedLines().at(1), QString());
    const QString kept = l->formattedLines().front();
    EXPECT_FALSE(kept.isEmpty());
    EXPECT_TRUE(QStringLiteral("abcdefghijklmnop").startsWith(kept));
    EXPECT_LT(l->measureWidth(kept), 40);
    EXPECT_GE(l->measureWidth(kept + QStringLiteral("abcdefghijklmnop").at(kept.size())), 40);

    l->setCaption(QStringLiteral("ab abcdefghijklmnop"));
    ASSERT_GE(l->formattedLines().size(), 2);
    EXPECT_EQ(l->formattedLines().at(0), QStringLiteral("ab "));
    EXPECT_LE(l->measureWidth(l->formattedLines().at(1)), 40);
    l->setWidth(0);
    l->setCaption(QStringLiteral("ab abcdefghijklmnop"));
    for (const QString &s : l->formattedLines())
        EXPECT_TRUE(s.isEmpty());
}

TEST_F(LabelFormatTest, WithoutWordWrapOverflowingWordsAndTheLastLineAreDropped)
{
    RpLabel *l = label(QString());
    l->setWordWrap(false);
    l->setFont(arial(10));
    l->setWidth(l->measureWidth(QStringLiteral("alpha ")) + 1);
    ASSERT_LE(l->measureWidth(QStringLiteral("al")), l->width());
    l->setCaption(QStringLiteral("alpha beta al"));
    EXPECT_EQ(l->formattedLines(), QStringList{QStringLiteral("alpha ")});
    l->setWordWrap(true);
    l->setCaption(QStringLiteral("alpha beta al"));
    EXPECT_EQ(l->formattedLines(),
              (QStringList{QStringLiteral("alpha "), QStringLiteral("beta "), QStringLiteral("al")}));
}

TEST_F(LabelFormatTest, BreakAnywhereFillsEachLine)
{
    RpLabel *l = label(QString());
    l->setWrapStyle(WrapStyle::BreakAnywhere);
    l->setFont(arial(10));
    l->setWidth(l->measureWidth(QStringLiteral("abc")));
    l->setCaption(QStringLiteral("abcdefgh"));
    EXPECT_EQ(l->formattedLines(),
              (QStringList{QStringLiteral("abc"), QStringLiteral("def"), QStringLiteral("gh")}));
    l->setCaption(QStringLiteral("   "));
    EXPECT_TRUE(l->formattedLines().isEmpty()); // a blank rest is not a line
}

TEST_F(LabelFormatTest, AutoSizeWidensToOneLineAndKeepsTheCentre)
{
    RpLabel *l = label(QString(), 200, 40, true);
    l->setAlignment(Alignment::taCenter);
    l->setBounds(100, 10, 200, 40);
    const int centre = l->left() + l->width() / 2;
    const QString text = QStringLiteral("a rather long caption that would wrap");
    l->setCaption(text);
    ASSERT_EQ(l->formattedLines().size(), 1);
    EXPECT_EQ(l->width(), l->measureWidth(text));
    EXPECT_NEAR(l->left() + l->width() / 2, centre, 1);
    l->setAlignment(Alignment::taRightJustify);
    const int right = l->left() + l->width();
    l->setCaption(QStringLiteral("short"));
    EXPECT_EQ(l->left() + l->width(), right);
}

TEST_F(LabelFormatTest, EmptyAutoSizeCaptionIsOnePixelPlusTheFrame)
{
    RpLabel *l = label(QStringLiteral("x"), 50, 2, true);
    l->setCaption(QString());
    EXPECT_EQ(l->formattedLines(), QStringList{QString()});
    EXPECT_EQ(l->width(), 1);
    EXPECT_GE(l->height(), l->lineHeight() + 1);
    l->frame()->setDrawLeft(true);
    l->frame()->setDrawRight(true);
    l->frame()->setWidth(2);
    l->setCaption(QString());
    EXPECT_EQ(l->width(), 5);
}

TEST_F(LabelFormatTest, ZoomScalesMeasurement)
{
    RpLabel *l = label(QString(), 200, 40, true);
    l->setCaption(QStringLiteral("Zoomed"));
    const int at100 = l->width();
    report->setZoom(50);
    l->setCaption(QStringLiteral("Zoomed"));
    EXPECT_NEAR(l->width(), at100 / 2.0, 1.0);
}

TEST_F(LabelFormatTest, AGlyphFitsItsCellExactlyAndOnePixelLessDropsIt)
{
    RpLabel *l = label(QString(), 181, 181);
    RpFont f;
    f.name = QStringLiteral("TW-Kai");
    f.charset = 136;
    f.setSize(135);
    l->setFont(f);
    const QString glyph = QString::fromUtf8("儲");
    const int w = l->measureWidth(glyph);
    ASSERT_GT(w, 100);
    l->setWidth(w);
    l->setCaption(glyph);
    EXPECT_EQ(l->formattedLines(), QStringList{glyph});
    l->setWidth(w - 1);
    l->setCaption(glyph);
    EXPECT_FALSE(l->formattedLines().isEmpty());
    for (const QString &s : l->formattedLines())
        EXPECT_TRUE(s.isEmpty()); // the glyph is dropped entirely
}

TEST_F(LabelFormatTest, RightToLeftSwapsLeftAndRight)
{
    RpLabel *l = label(QStringLiteral("x"));
    l->setAlignment(Alignment::taLeftJustify);
    EXPECT_EQ(l->effectiveAlignment(), Alignment::taLeftJustify);
    l->setBiDiMode(BiDiMode::bdRightToLeft);
    EXPECT_EQ(l->effectiveAlignment(), Alignment::taRightJustify);
    l->setAlignment(Alignment::taCenter);
    EXPECT_EQ(l->effectiveAlignment(), Alignment::taCenter);
}

TEST_F(LabelFormatTest, RenamingFollowsAnEmptyOrNameCaption)
{
    auto *l = new RpLabel(band);
    l->setName(QStringLiteral("Label1"));
    EXPECT_EQ(l->caption(), QStringLiteral("Label1"));
    l->setName(QStringLiteral("Label2"));
    EXPECT_EQ(l->caption(), QStringLiteral("Label2"));
    l->setCaption(QStringLiteral("Own"));
    l->setName(QStringLiteral("Label3"));
    EXPECT_EQ(l->caption(), QStringLiteral("Own"));
}

TEST_F(LabelFormatTest, ACaptionSetBeforePlacingIsFormattedOnPlacing)
{
    auto *l = new RpLabel(nullptr);
    l->setAutoSize(false);
    l->setCaption(QStringLiteral("later"));
    EXPECT_TRUE(l->formattedLines().isEmpty());
    EXPECT_TRUE(l->doneFormat());
    l->setBounds(0, 0, 100, 20);
    l->setParentPanel(band);
    EXPECT_EQ(l->formattedLines(), QStringList{QStringLiteral("later")});
}

} // namespace

namespace {

class LabelPaintTest : public ControlTest {};

TEST_F(LabelPaintTest, ScreenLinesAreScaledByZoomAndPlacedByAlignment)
{
    RpLabel *l = label(QStringLiteral("one\rtwo"), 200, 60);
    l->setFont(arial(10));
    l->setAlignment(Alignment::taCenter);
    RecordingCanvas c;
    l->paintSurface(c);
    auto texts = c.of(DrawOp::Text);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].r.left, 100);
    EXPECT_EQ(texts[0].r.top, 0);
    EXPECT_EQ(texts[0].fontHeight, -13);
    const int lh = texts[1].r.top;
    EXPECT_GT(lh, 10);
    const auto fills = c.of(DrawOp::FillRect);
    ASSERT_GE(fills.size(), 2u); // the base's white, then the label's colour
    EXPECT_EQ(fills[1].r, (gdi::Rect{0, 0, 200, 60}));

    report->setZoom(50);
    RecordingCanvas half;
    l->paintSurface(half);
    texts = half.of(DrawOp::Text);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].fontHeight, -mulDiv(5, 96, 72));
    EXPECT_EQ(texts[0].r.left, l->width() / 2);

    l->setTransparent(true);
    l->frame()->setDrawLeft(true);
    l->frame()->setDrawTop(true);
    l->setAlignment(Alignment::taLeftJustify);
    RecordingCanvas framed;
    l->paintSurface(framed);
    EXPECT_TRUE(framed.of(DrawOp::FillRect).size() == 2u); // the two frame sides only
    EXPECT_EQ(framed.of(DrawOp::Text)[0].r.left, rpRound(50 * (96 / 72.0) / 100));
}

TEST_F(LabelPaintTest, UnitsReachEveryBandAndControl)
{
    RpLabel *l = label(QStringLiteral("u"));
    report->setUnits(RpUnit::Inches);
    EXPECT_EQ(report->page()->units(), RpUnit::Inches);
    EXPECT_EQ(band->size()->units(), RpUnit::Inches);
    EXPECT_EQ(l->size()->units(), RpUnit::Inches);
    auto *onReport = new RpShape(report.get());
    report->setUnits(RpUnit::Characters);
    EXPECT_EQ(onReport->size()->units(), RpUnit::Characters);
    EXPECT_EQ(onReport->parentReport(), report.get());
}

} // namespace
