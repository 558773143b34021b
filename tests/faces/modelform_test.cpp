// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The model cell's form: the first stroke data whose form agrees with the
// tracing cell's Kai glyph is numbered, a mainland form over a Taiwan glyph
// never is, and a character nothing has leaves its cells empty. The numbers
// leave most of every stroke visible.
#include "painter_support.h"
#include "registeredfaces.h"

#include "faces/modelform.h"
#include "faces/strokepaths.h"
#include "faces/synthesis.h"
#include "platform/fonts.h"
#include "platform/paintercanvas.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace paintersupport;

namespace {

gdi::LogFont cellFont(const QString &family)
{
    gdi::LogFont f;
    f.faceName = family;
    f.height = -160;
    f.charSet = gdi::CHINESEBIG5_CHARSET;
    return f;
}

QImage drawn(const QString &family, const QString &text)
{
    QImage img = whiteImage(240, 240);
    PainterCanvas c(&img);
    c.setFont(cellFont(family));
    c.setTextColor(gdi::rgb(0, 0, 0));
    c.setBkMode(gdi::TRANSPARENT);
    c.textOut(40, 20, text);
    return img;
}

bool skipWithoutTwKai() { return fonts::resolve(cellFont(faces::strokeOrderFamily()))->family() != u"TW-Kai"; }

} // namespace

TEST(ModelForm, TaiwanFormsAgreeWithTheTracingGlyphAndMainlandFormsDoNot)
{
    if (skipWithoutTwKai())
        GTEST_SKIP() << "TW-Kai is not installed";
    // 艹 in four strokes or three, 阝 in three or two, 辶 in four or three.
    for (char32_t ch : {U'草', U'花', U'那', U'近', U'都', U'道'}) {
        const auto forms = faces::compareSourcesInCell(ch);
        ASSERT_EQ(forms.size(), 2u) << uint(ch);
        EXPECT_EQ(forms[0].source, faces::StrokeSource::AnimCJK);
        // The filled shapes are one Kai design in all three: only the
        // division into strokes tells the forms apart.
        EXPECT_TRUE(forms[0].agrees()) << uint(ch) << " " << forms[0].difference.patch();
        EXPECT_TRUE(forms[1].difference.agrees()) << uint(ch) << " " << forms[1].difference.patch();
        EXPECT_GT(forms[1].dividedOtherwise, 0) << uint(ch);
        EXPECT_FALSE(forms[1].agrees()) << uint(ch);
        const faces::ModelForm form = faces::modelFormInCell(ch);
        EXPECT_EQ(form.kind, faces::ModelForm::Kind::Numbered);
        EXPECT_EQ(form.source, faces::StrokeSource::AnimCJK);
    }
    // The same form in both: either agrees.
    for (char32_t ch : {U'口', U'日', U'學'})
        for (const faces::SourceForm &f : faces::compareSourcesInCell(ch))
            EXPECT_TRUE(f.agrees()) << uint(ch) << " " << faces::sourceName(f.source).toStdString();
    // Mainland data only: 芥 (艹) and 陳 (阝) have a stroke Taiwan divides
    // otherwise; the Kai glyph, unnumbered. 井 does not.
    for (char32_t ch : {U'芥', U'陳'})
        EXPECT_EQ(faces::modelFormInCell(ch).kind, faces::ModelForm::Kind::Kai) << uint(ch);
    EXPECT_EQ(faces::modelFormInCell(U'井').kind, faces::ModelForm::Kind::Numbered);
    // 芥 has the mainland form only: the Kai glyph, unnumbered.
    EXPECT_EQ(faces::modelFormInCell(U'芥').kind, faces::ModelForm::Kind::Kai);
    EXPECT_EQ(drawn(faces::strokeOrderFamily(), QStringLiteral("芥")), drawn(QStringLiteral("TW-Kai"), QStringLiteral("芥")));
}

TEST(ModelForm, WithoutAFaceTheStrokesAreNumberedAndWithoutEitherTheCellsStayEmpty)
{
    // No face to compare with: the tracing cell outlines the same strokes.
    const faces::ModelForm noFace = faces::modelForm(U'口', QRawFont(), 0);
    ASSERT_EQ(noFace.kind, faces::ModelForm::Kind::Numbered);
    EXPECT_EQ(noFace.source, faces::StrokeSource::AnimCJK);
    // U+0378 is not a character: no face, no data, nothing drawn (no
    // replacement mark) in either worksheet face.
    EXPECT_EQ(faces::modelFormInCell(U'\u0378').kind, faces::ModelForm::Kind::Blank);
    const QString odd(QChar(0x378));
    EXPECT_TRUE(inkBounds(drawn(faces::strokeOrderFamily(), odd)).isEmpty());
    EXPECT_TRUE(inkBounds(drawn(faces::tracingFamily(), odd)).isEmpty());
    // A character beyond the basic plane is drawn whole where a face has it.
    const QString wide = QString::fromUcs4(U"\U0002000B");
    if (fonts::resolve(cellFont(faces::strokeOrderFamily()))->layout(wide).runs.front().glyphs.front() == 0)
        GTEST_SKIP() << "no installed face has U+2000B";
    EXPECT_EQ(faces::modelFormInCell(U'\U0002000B').kind, faces::ModelForm::Kind::Kai);
    EXPECT_FALSE(inkBounds(drawn(faces::strokeOrderFamily(), wide)).isEmpty());
    EXPECT_FALSE(inkBounds(drawn(faces::tracingFamily(), wide)).isEmpty());
}

TEST(ModelForm, NumbersLeaveMostOfEveryStrokeVisible)
{
    // Dense characters, where numbers crowd the inner strokes (the 口 of 言).
    for (char32_t ch : {U'變', U'鬱', U'學', U'讓', U'纔', U'龜'}) {
        const auto data = faces::StrokeStore::global().find(ch);
        ASSERT_TRUE(data) << uint(ch);
        const std::vector<qreal> cover = faces::numberCover(*data, faces::buildStrokeOrderGlyph(*data));
        ASSERT_EQ(cover.size(), data->strokes.size());
        EXPECT_LE(*std::max_element(cover.begin(), cover.end()), 0.25) << uint(ch);
    }
}
