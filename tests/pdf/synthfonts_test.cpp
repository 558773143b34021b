// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The glyphs of the faces this program draws itself, written once a
// document as the glyphs of Type 3 fonts: a glyph shown again where it sits
// the same way in its cell and in the same ink is the same glyph, a font
// holds 255 glyphs before the next begins, and the fonts carry their widths,
// their procedures and the characters each glyph stands for.
#include "pdfdocs.h"

#include "pdf/pdffile.h"
#include "pdf/synthfonts.h"
#include "platform/faces/synthglyph.h"

#include <QRawFont>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

// The stroke-order glyph of `ch` for an em of `em` pixels and a cell as
// the stand-in face has it (ascent and descent in the same proportions at
// any size).
faces::SynthGlyph strokeOrder(char32_t ch, qreal em)
{
    return faces::synthesizedGlyph(faces::Synthesis::StrokeOrder, ch, QRawFont(), 0, em, em * 0.875, em * 0.125, em);
}

int lastChar(const QByteArray &font)
{
    const auto m = QRegularExpression(QStringLiteral("/LastChar (\\d+)")).match(QString::fromLatin1(font));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// The object numbers of a font's glyph procedures.
QList<int> procedures(const QByteArray &font)
{
    QList<int> out;
    const QByteArray procs = font.mid(font.indexOf("/CharProcs <<"));
    auto it = QRegularExpression(QStringLiteral("/g\\d+ (\\d+) 0 R"))
                  .globalMatch(QString::fromLatin1(procs.left(procs.indexOf(">>"))));
    while (it.hasNext())
        out << it.next().captured(1).toInt();
    return out;
}

} // namespace

TEST(PdfSynthFonts, AGlyphShownAgainTheSameWayIsWrittenOnce)
{
    const faces::SynthGlyph yong = strokeOrder(U'永', 160);
    ASSERT_EQ(yong.kind, faces::SynthGlyph::Kind::StrokeOrder) << "no stroke data for 永";
    PdfSynthFonts fonts;
    // Logical pixels of 0.75 points, y down, the pen at (100, 700) on the page.
    const QTransform pen(0.75, 0, 0, -0.75, 100, 700);
    EXPECT_EQ(fonts.show(yong, Qt::black, u"永", 160, 160, pen),
              (QList<QByteArray>{"/S00 1 Tf", "120 0 0 120 100 700 Tm", "<01> Tj"}));
    // Twice the size somewhere else: the same glyph in a larger em.
    EXPECT_EQ(fonts.show(strokeOrder(U'永', 320), Qt::black, u"永", 320, 320, QTransform(0.75, 0, 0, -0.75, 300, 400)),
              (QList<QByteArray>{"/S00 1 Tf", "240 0 0 240 300 400 Tm", "<01> Tj"}));
    EXPECT_EQ(fonts.glyphCount(), 1);
    // Another ink, the tracing face's glyph and another character are glyphs
    // of their own.
    EXPECT_EQ(fonts.show(yong, QColor(0x99, 0x99, 0x99), u"永", 160, 160, pen).value(2), "<02> Tj");
    const faces::SynthGlyph dotted =
        faces::synthesizedGlyph(faces::Synthesis::Tracing, U'永', QRawFont(), 0, 160, 140, 20, 160);
    ASSERT_EQ(dotted.kind, faces::SynthGlyph::Kind::Tracing);
    EXPECT_EQ(fonts.show(dotted, Qt::black, u"永", 160, 160, pen).value(2), "<03> Tj");
    EXPECT_EQ(fonts.show(strokeOrder(U'遠', 160), Qt::black, u"遠", 160, 150, pen).value(2), "<04> Tj");
    EXPECT_EQ(fonts.glyphCount(), 4);
    // A face's own glyph is drawn as text by the caller.
    EXPECT_TRUE(fonts.show(faces::SynthGlyph{}, Qt::black, u"永", 160, 160, pen).isEmpty());

    PdfFile file;
    file.line("%");
    fonts.writeRest(file);
    const QByteArray doc = file.bytes();
    ASSERT_EQ(fonts.resources().size(), 1u);
    EXPECT_EQ(fonts.resources()[0].name, "S00");
    const QByteArray font = pdfdocs::object(doc, fonts.resources()[0].object);
    EXPECT_TRUE(font.contains("/Subtype /Type3\r\n")) << font.constData();
    EXPECT_TRUE(font.contains("/FontMatrix [0.001 0 0 0.001 0 0]"));
    EXPECT_TRUE(font.contains("/Encoding << /Type /Encoding /Differences [1 /g1 /g2 /g3 /g4] >>"));
    EXPECT_TRUE(font.contains("/FirstChar 1\r\n/LastChar 4\r\n/Widths [1000 1000 1000 937.5]")) << font.constData();
    const QList<int> procs = procedures(font);
    ASSERT_EQ(procs.size(), 4);
    for (int p : procs) {
        const QByteArray proc = pdfdocs::decodedStreamOf(doc, p);
        // The width first, then the glyph in its own colours.
        EXPECT_TRUE(proc.startsWith(p == procs[3] ? "937.5 0 d0\n" : "1000 0 d0\n")) << proc.left(40).constData();
        EXPECT_TRUE(proc.contains(p == procs[2] ? "\nS\n" : "\nf\n"));
    }
    EXPECT_TRUE(pdfdocs::decodedStreamOf(doc, procs[1]).contains("0.600 0.600 0.600 rg"));
    const QByteArray map = pdfdocs::decodedStreamOf(doc, fonts.resources()[0].object + 1);
    EXPECT_TRUE(map.contains("<00> <FF>"));
    EXPECT_TRUE(map.contains("<01> <6C38>\n<02> <6C38>\n<03> <6C38>\n<04> <9060>\n")) << map.constData();
}

TEST(PdfSynthFonts, AFullFontIsWrittenWithThePageThatFilledIt)
{
    const faces::SynthGlyph yong = strokeOrder(U'永', 160);
    ASSERT_EQ(yong.kind, faces::SynthGlyph::Kind::StrokeOrder) << "no stroke data for 永";
    PdfSynthFonts fonts;
    const QTransform pen(0.75, 0, 0, -0.75, 100, 700);
    // 255 inks fill a font.
    for (int i = 0; i < PdfSynthFonts::kGlyphsPerFont; ++i)
        fonts.show(yong, QColor(i, 0, 0), u"永", 160, 160, pen);
    PdfFile file;
    file.line("%");
    fonts.writePending(file);
    EXPECT_TRUE(fonts.resources().empty()) << "a font written while it still takes glyphs";
    EXPECT_EQ(fonts.show(yong, QColor(0, 0, 255), u"永", 160, 160, pen),
              (QList<QByteArray>{"/S01 1 Tf", "120 0 0 120 100 700 Tm", "<01> Tj"}));
    // The last glyph of the first font again.
    EXPECT_EQ(fonts.show(yong, QColor(254, 0, 0), u"永", 160, 160, pen).value(2), "<FF> Tj");
    fonts.writePending(file);
    ASSERT_EQ(fonts.resources().size(), 1u);
    const QByteArray first = pdfdocs::object(file.bytes(), fonts.resources()[0].object);
    EXPECT_EQ(lastChar(first), 255);
    EXPECT_EQ(procedures(first).size(), 255);
    fonts.writeRest(file);
    ASSERT_EQ(fonts.resources().size(), 2u);
    EXPECT_EQ(fonts.resources()[1].name, "S01");
    EXPECT_EQ(lastChar(pdfdocs::object(file.bytes(), fonts.resources()[1].object)), 1);
    EXPECT_EQ(fonts.glyphCount(), 256);
}
