// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Text on the drawing surface: where the character cell goes for each
// alignment, what the background does, clipping, character spacing and
// measurement.
#include "painter_support.h"
#include "platform/paintercanvas.h"

#include <gtest/gtest.h>

using namespace paintersupport;

namespace {

constexpr gdi::ColorRef kBlack = gdi::rgb(0, 0, 0);
constexpr gdi::ColorRef kRed = gdi::rgb(255, 0, 0);
constexpr gdi::ColorRef kBlue = gdi::rgb(0, 0, 255);

gdi::LogFont kai(qint32 height)
{
    gdi::LogFont f;
    f.faceName = QStringLiteral("華康標楷筆順體");
    f.height = height;
    f.charSet = gdi::CHINESEBIG5_CHARSET;
    return f;
}

gdi::LogFont sans(qint32 height)
{
    gdi::LogFont f;
    f.faceName = QStringLiteral("Arial");
    f.height = height;
    return f;
}

// Draws `text` at (x, y) on a white image with an opaque red background and
// returns the image; `setup` adjusts the canvas first.
template <typename Setup>
QImage drawText(QSize size, const gdi::LogFont &font, qint32 x, qint32 y, const QString &text, Setup setup)
{
    QImage img = whiteImage(size.width(), size.height());
    {
        PainterCanvas c(&img);
        c.setFont(font);
        c.setTextColor(kBlack);
        c.setBkColor(kRed);
        c.setBkMode(gdi::OPAQUE);
        setup(c);
        c.textOut(x, y, text);
    }
    return img;
}

QRect redCell(const QImage &img)
{
    // The cell is red where no glyph covers it; its bounds are the bounds of
    // everything not white (the glyph lies inside the cell).
    return inkBounds(img);
}

} // namespace

TEST(PainterText, TopAlignmentPutsTheCellTopAtY)
{
    QImage probe = whiteImage(10, 10);
    PainterCanvas m(&probe);
    m.setFont(kai(-40));
    const gdi::TextMetric tm = m.textMetrics();
    const gdi::Size ext = m.textExtent(QStringLiteral("國"));

    const QImage img = drawText(QSize(120, 120), kai(-40), 10, 20, QStringLiteral("國"), [](PainterCanvas &) {});
    savePng(img, "canvas_text_top");
    const QRect cell = redCell(img);
    EXPECT_EQ(cell.top(), 20);
    EXPECT_EQ(cell.height(), tm.height);
    EXPECT_EQ(cell.left(), 10);
    EXPECT_NEAR(cell.width(), ext.cx, 1);

    // The glyph's ink lies inside the cell, below its top and above the
    // baseline plus the descent.
    const QRect glyph = boundsOf(img, [](QRgb c) { return qRed(c) < 128; });
    ASSERT_FALSE(glyph.isEmpty());
    EXPECT_GE(glyph.top(), 20);
    EXPECT_LE(glyph.bottom(), 20 + tm.height - 1);
    EXPECT_GT(glyph.height(), 40 / 2) << "a full Chinese character fills most of the em";
}

TEST(PainterText, BaselineAndBottomAlignment)
{
    QImage probe = whiteImage(10, 10);
    PainterCanvas m(&probe);
    m.setFont(kai(-40));
    const gdi::TextMetric tm = m.textMetrics();

    const QImage base = drawText(QSize(120, 120), kai(-40), 10, 70, QStringLiteral("國"),
                                 [](PainterCanvas &c) { c.setTextAlign(gdi::TA_BASELINE | gdi::TA_LEFT); });
    EXPECT_EQ(redCell(base).top(), 70 - tm.ascent);
    EXPECT_EQ(redCell(base).bottom(), 70 + tm.descent - 1);

    const QImage bottom = drawText(QSize(120, 120), kai(-40), 10, 90, QStringLiteral("國"),
                                   [](PainterCanvas &c) { c.setTextAlign(gdi::TA_BOTTOM | gdi::TA_LEFT); });
    EXPECT_EQ(redCell(bottom).bottom(), 89);
    EXPECT_EQ(redCell(bottom).top(), 90 - tm.height);
}

TEST(PainterText, HorizontalAlignmentAndCurrentPosition)
{
    const QString text = QStringLiteral("Tovrel");
    QImage probe = whiteImage(10, 10);
    PainterCanvas m(&probe);
    m.setFont(sans(-20));
    const int w = m.textWidth(text);
    ASSERT_GT(w, 20);

    const QImage right = drawText(QSize(200, 60), sans(-20), 150, 10, text,
                                  [](PainterCanvas &c) { c.setTextAlign(gdi::TA_RIGHT); });
    EXPECT_NEAR(redCell(right).right(), 149, 1);
    EXPECT_NEAR(redCell(right).left(), 150 - w, 1);

    const QImage centre = drawText(QSize(200, 60), sans(-20), 100, 10, text,
                                   [](PainterCanvas &c) { c.setTextAlign(gdi::TA_CENTER); });
    EXPECT_NEAR(redCell(centre).center().x(), 100, 1);

    QImage img = whiteImage(300, 60);
    PainterCanvas c(&img);
    c.setFont(sans(-20));
    c.setTextAlign(gdi::TA_UPDATECP);
    c.moveTo(10, 5);
    c.textOut(999, 999, text); // the position given is ignored
    EXPECT_EQ(c.currentPosition(), (gdi::Point{10 + w, 5}));
    c.textOut(0, 0, text);
    EXPECT_EQ(c.currentPosition(), (gdi::Point{10 + 2 * w, 5}));
    c.setTextAlign(gdi::TA_UPDATECP | gdi::TA_RIGHT);
    c.textOut(0, 0, text);
    EXPECT_EQ(c.currentPosition(), (gdi::Point{10 + w, 5}));
}

TEST(PainterText, ExtentHeightIsTheCellHeight)
{
    QImage probe = whiteImage(10, 10);
    PainterCanvas c(&probe);
    for (const gdi::LogFont &f : {kai(-213), kai(-21), sans(-13), sans(16), kai(40)}) {
        c.setFont(f);
        const gdi::TextMetric tm = c.textMetrics();
        const gdi::Size ext = c.textExtent(QStringLiteral("班別：Ab"));
        EXPECT_EQ(ext.cy, tm.height);
        EXPECT_EQ(tm.height, tm.ascent + tm.descent);
        if (f.height > 0) {
            EXPECT_EQ(tm.height, f.height);
        }
        EXPECT_EQ(c.textExtent(QString()).cx, 0);
        EXPECT_EQ(c.textExtent(QString()).cy, tm.height);
    }
    // 160 points at 96 dpi: the worksheet's large cells.
    c.setFont(kai(-213));
    EXPECT_NEAR(c.textWidth(QStringLiteral("變")), 213, 2);
}

TEST(PainterText, TransparentBackgroundLeavesTheCell)
{
    const QImage img = drawText(QSize(120, 80), kai(-40), 10, 10, QStringLiteral("國"),
                                [](PainterCanvas &c) { c.setBkMode(gdi::TRANSPARENT); });
    EXPECT_EQ(countColor(img, Qt::red), 0);
    EXPECT_FALSE(inkBounds(img).isEmpty());
}

TEST(PainterText, OpaqueBoxAndClipRectangle)
{
    QImage img = whiteImage(200, 80);
    {
        PainterCanvas c(&img);
        c.setFont(kai(-40));
        c.setBkMode(gdi::TRANSPARENT);
        c.setBkColor(kBlue);
        c.setTextColor(kBlack);
        const gdi::Rect box{5, 5, 60, 50};
        // ETO_OPAQUE fills the box whatever the background mode; ETO_CLIPPED
        // keeps the text inside it.
        c.extTextOut(10, 10, gdi::ETO_OPAQUE | gdi::ETO_CLIPPED, &box, QStringLiteral("國國國國"));
        const gdi::Rect box2{100, 5, 190, 50};
        c.extTextOut(100, 10, gdi::ETO_OPAQUE, &box2, QString()); // an empty text still fills
    }
    savePng(img, "canvas_text_clipped");
    const QRect all = inkBounds(img.copy(0, 0, 95, 80));
    EXPECT_EQ(all, QRect(QPoint(5, 5), QPoint(59, 49)));
    EXPECT_EQ(colorBounds(img.copy(95, 0, 105, 80), Qt::blue).translated(95, 0), QRect(QPoint(100, 5), QPoint(189, 49)));
    EXPECT_TRUE(isColor(img, 70, 30, Qt::white)) << "text beyond the clip rectangle";
}

TEST(PainterText, CharacterSpacingFromTheDxArray)
{
    const std::vector<qint32> dx{50, 50, 50};
    QImage img = whiteImage(200, 60);
    {
        PainterCanvas c(&img);
        c.setFont(sans(-20));
        c.setBkMode(gdi::TRANSPARENT);
        c.extTextOut(10, 10, 0, nullptr, QStringLiteral("III"), &dx);
    }
    // Three narrow strokes, each starting within its 50-unit cell.
    int strokes = 0;
    bool inStroke = false;
    for (int x = 0; x < 200; ++x) {
        bool ink = false;
        for (int y = 0; y < 60 && !ink; ++y)
            ink = isInk(img, x, y);
        if (ink && !inStroke) {
            ++strokes;
            const int cell = (x - 10) / 50;
            EXPECT_EQ(x - 10 - cell * 50 < 10, true) << "stroke at " << x;
        }
        inStroke = ink;
    }
    EXPECT_EQ(strokes, 3);

    // With dx the opaque cell is as wide as the sum of the advances.
    QImage bg = whiteImage(220, 60);
    {
        PainterCanvas c(&bg);
        c.setFont(sans(-20));
        c.setBkColor(kRed);
        c.extTextOut(10, 10, 0, nullptr, QStringLiteral("III"), &dx);
    }
    EXPECT_EQ(redCell(bg).left(), 10);
    EXPECT_EQ(redCell(bg).right(), 159);
}

TEST(PainterText, EscapementRotatesCounterClockwise)
{
    gdi::LogFont f = sans(-20);
    f.escapement = 900; // 90 degrees: the text runs upwards
    const QImage img = drawText(QSize(100, 200), f, 50, 180, QStringLiteral("Tovrel Tovrel"), [](PainterCanvas &) {});
    savePng(img, "canvas_text_rotated");
    const QRect cell = redCell(img);
    EXPECT_GT(cell.height(), 3 * cell.width());
    EXPECT_NEAR(cell.bottom(), 179, 1) << "the text starts at y and goes up";
    EXPECT_NEAR(cell.left(), 50, 1) << "the top of the cell is on the left";
}

TEST(PainterText, UnderlineAndStrikeOut)
{
    auto rows = [](quint8 underline, quint8 strike) {
        gdi::LogFont f = sans(-30);
        f.underline = underline;
        f.strikeOut = strike;
        QImage img = drawText(QSize(200, 60), f, 10, 5, QStringLiteral("ooo"),
                              [](PainterCanvas &c) { c.setBkMode(gdi::TRANSPARENT); });
        return img;
    };
    const QImage plain = rows(0, 0);
    const QImage under = rows(1, 0);
    const QImage strike = rows(0, 1);
    const QRect p = inkBounds(plain);
    EXPECT_GT(inkBounds(under).bottom(), p.bottom()) << "the underline is below the letters";
    // The strike-out crosses the gap between the letters.
    const int gapX = p.left() + p.width() / 3;
    int plainInk = 0, strikeInk = 0;
    for (int x = gapX - 3; x <= gapX + 3; ++x)
        for (int y = p.top(); y <= p.bottom(); ++y) {
            plainInk += isInk(plain, x, y);
            strikeInk += isInk(strike, x, y);
        }
    EXPECT_GT(strikeInk, plainInk);
}

TEST(PainterText, ScaledTextKeepsItsLogicalCell)
{
    const qreal s = 600.0 / 96.0;
    QImage probe = whiteImage(10, 10);
    PainterCanvas m(&probe);
    m.setFont(kai(-21));
    const gdi::TextMetric tm = m.textMetrics();
    const int w = m.textWidth(QStringLiteral("班別"));

    const QImage img = drawText(QSize(400, 300), kai(-21), 4, 8, QStringLiteral("班別"),
                                [s](PainterCanvas &c) { c.setTransform(QTransform::fromScale(s, s)); });
    savePng(img, "canvas_text_600dpi");
    const QRect cell = redCell(img);
    EXPECT_NEAR(cell.top(), 8 * s, 1);
    EXPECT_NEAR(cell.height(), tm.height * s, 2);
    EXPECT_NEAR(cell.width(), w * s, 4);
}

TEST(PainterText, RightToLeftReadingPutsTheFirstCharacterRight)
{
    // Width of the leftmost stretch of inked columns: a W is wide, an I narrow.
    auto leftmostGlyphWidth = [](quint32 align) {
        QImage img = whiteImage(200, 60);
        {
            PainterCanvas c(&img);
            c.setFont(sans(-30));
            c.setBkMode(gdi::TRANSPARENT);
            c.setTextAlign(align);
            c.textOut(10, 5, QStringLiteral("W I"));
        }
        int x = 0;
        auto columnInked = [&](int col) {
            for (int y = 0; y < 60; ++y)
                if (isInk(img, col, y))
                    return true;
            return false;
        };
        while (x < 200 && !columnInked(x))
            ++x;
        int w = 0;
        while (x + w < 200 && columnInked(x + w))
            ++w;
        return w;
    };
    EXPECT_GT(leftmostGlyphWidth(gdi::TA_LEFT), leftmostGlyphWidth(gdi::TA_LEFT | gdi::TA_RTLREADING));
}

TEST(PainterText, GlyphIndexesDrawTheSameAsCharacters)
{
    // The window's Kai face: glyph numbers name glyphs of the face that draws,
    // so in a synthesised worksheet face they draw that face's glyphs, not
    // the synthesised ones.
    auto windowKai = [](qint32 height) {
        gdi::LogFont f = kai(height);
        f.faceName = QStringLiteral("標楷體");
        return f;
    };
    const QString text = QStringLiteral("國字 Ab");
    QImage probe = whiteImage(10, 10);
    PainterCanvas m(&probe);
    m.setFont(windowKai(-30));
    QString glyphs;
    for (quint32 g : m.resolvedFont().rawFont().glyphIndexesForString(text))
        glyphs += QChar(char16_t(g));
    ASSERT_EQ(glyphs.size(), text.size());

    auto draw = [&](const QString &s, quint32 options) {
        QImage img = whiteImage(260, 60);
        PainterCanvas c(&img);
        c.setFont(windowKai(-30));
        c.extTextOut(5, 5, options, nullptr, s);
        c.painter()->end();
        return img;
    };
    const QImage byChar = draw(text, 0);
    EXPECT_FALSE(inkBounds(byChar).isEmpty());
    EXPECT_EQ(draw(glyphs, gdi::ETO_GLYPH_INDEX), byChar);
    // Glyph numbers the face does not have draw nothing and do not fail.
    EXPECT_TRUE(inkBounds(draw(QString(3, QChar(char16_t(0xFFF0))), gdi::ETO_GLYPH_INDEX)).isEmpty());
}
