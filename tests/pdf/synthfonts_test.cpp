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
#include "platform/synthesizedface.h"

#include <QPainterPath>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

// A glyph of a synthesised face at an em of `em` logical units: `shape`
// (in units of 1/1024 of the em, y down, the baseline at 896) filled in
// `ink`, or stroked with a round pen of `pen` units. The shape is the
// glyph's identity, as a face gives the same character the same shapes.
fonts::SynthesizedGlyph glyph(const std::shared_ptr<const QPainterPath> &shape, qreal em, QColor ink = Qt::black,
                              qreal pen = 0)
{
    fonts::SynthesizedGlyph g;
    g.kind = fonts::SynthesizedGlyph::Kind::Shapes;
    g.shapes.push_back(fonts::GlyphShape{shape, ink, pen});
    g.toLogical = QTransform::fromTranslate(0, -896) * QTransform::fromScale(em / 1024, em / 1024);
    g.identity = shape;
    return g;
}

std::shared_ptr<const QPainterPath> box(qreal x, qreal y, qreal w, qreal h)
{
    auto p = std::make_shared<QPainterPath>();
    p->setFillRule(Qt::WindingFill); // as the faces' ink is filled
    p->addRect(x, y, w, h);
    return p;
}

std::shared_ptr<const QPainterPath> dots()
{
    auto p = std::make_shared<QPainterPath>();
    for (int i = 0; i < 5; ++i) {
        // A dot: a subpath next to no length, as the tracing face makes them.
        p->moveTo(100 + 150 * i, 500);
        p->lineTo(100.02 + 150 * i, 500);
    }
    return p;
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
    const auto yongShape = box(100, 100, 800, 800);
    const fonts::SynthesizedGlyph yong = glyph(yongShape, 160);
    PdfSynthFonts fonts;
    // Logical pixels of 0.75 points, y down, the pen at (100, 700) on the page.
    const QTransform pen(0.75, 0, 0, -0.75, 100, 700);
    EXPECT_EQ(fonts.show(yong, u"永", 160, 160, pen),
              (QList<QByteArray>{"/S00 1 Tf", "120 0 0 120 100 700 Tm", "<01> Tj"}));
    // Twice the size somewhere else: the same glyph in a larger em.
    EXPECT_EQ(fonts.show(glyph(yongShape, 320), u"永", 320, 320, QTransform(0.75, 0, 0, -0.75, 300, 400)),
              (QList<QByteArray>{"/S00 1 Tf", "240 0 0 240 300 400 Tm", "<01> Tj"}));
    EXPECT_EQ(fonts.glyphCount(), 1);
    // Another ink, a dotted glyph and another character are glyphs of their
    // own.
    EXPECT_EQ(fonts.show(glyph(yongShape, 160, QColor(0x99, 0x99, 0x99)), u"永", 160, 160, pen).value(2), "<02> Tj");
    EXPECT_EQ(fonts.show(glyph(dots(), 160, Qt::black, 40), u"永", 160, 160, pen).value(2), "<03> Tj");
    EXPECT_EQ(fonts.show(glyph(box(200, 50, 600, 850), 160), u"遠", 160, 150, pen).value(2), "<04> Tj");
    EXPECT_EQ(fonts.glyphCount(), 4);
    // A face's own glyph is drawn as text by the caller, a blank one not at all.
    EXPECT_TRUE(fonts.show(fonts::SynthesizedGlyph{}, u"永", 160, 160, pen).isEmpty());
    fonts::SynthesizedGlyph blank;
    blank.kind = fonts::SynthesizedGlyph::Kind::Blank;
    EXPECT_TRUE(fonts.show(blank, u"永", 160, 160, pen).isEmpty());
    EXPECT_EQ(fonts.glyphCount(), 4);

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
        EXPECT_TRUE(proc.contains(p == procs[2] ? "\nS\n" : "\nf\n")) << proc.constData();
    }
    EXPECT_TRUE(pdfdocs::decodedStreamOf(doc, procs[1]).contains("0.600 0.600 0.600 rg"));
    const QByteArray map = pdfdocs::decodedStreamOf(doc, fonts.resources()[0].object + 1);
    EXPECT_TRUE(map.contains("<00> <FF>"));
    EXPECT_TRUE(map.contains("<01> <6C38>\n<02> <6C38>\n<03> <6C38>\n<04> <9060>\n")) << map.constData();
}

TEST(PdfSynthFonts, AFullFontIsWrittenWithThePageThatFilledIt)
{
    const auto yongShape = box(100, 100, 800, 800);
    PdfSynthFonts fonts;
    const QTransform pen(0.75, 0, 0, -0.75, 100, 700);
    // 255 inks fill a font.
    for (int i = 0; i < PdfSynthFonts::kGlyphsPerFont; ++i)
        fonts.show(glyph(yongShape, 160, QColor(i, 0, 0)), u"永", 160, 160, pen);
    PdfFile file;
    file.line("%");
    fonts.writePending(file);
    EXPECT_TRUE(fonts.resources().empty()) << "a font written while it still takes glyphs";
    EXPECT_EQ(fonts.show(glyph(yongShape, 160, QColor(0, 0, 255)), u"永", 160, 160, pen),
              (QList<QByteArray>{"/S01 1 Tf", "120 0 0 120 100 700 Tm", "<01> Tj"}));
    // The last glyph of the first font again.
    EXPECT_EQ(fonts.show(glyph(yongShape, 160, QColor(254, 0, 0)), u"永", 160, 160, pen).value(2), "<FF> Tj");
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
