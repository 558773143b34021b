// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The pixel rules of the drawing surface, pinned on images: pens, lines,
// closed figures, brushes, clipping and bitmaps.
#include "painter_support.h"
#include "platform/paintercanvas.h"

#include <gtest/gtest.h>

#include <QPicture>

#include <limits>

using namespace paintersupport;

namespace {

constexpr gdi::ColorRef kBlack = gdi::rgb(0, 0, 0);
constexpr gdi::ColorRef kRed = gdi::rgb(255, 0, 0);
constexpr gdi::ColorRef kGreen = gdi::rgb(0, 255, 0);
constexpr gdi::ColorRef kBlue = gdi::rgb(0, 0, 255);

// Thickness in device pixels of a horizontal line drawn at logical y = 10
// from x = 2 to 30 with the given pen under a uniform scale.
int lineThickness(qreal scale, qint32 penWidth, QImage *out = nullptr)
{
    QImage img = whiteImage(int(40 * scale) + 10, int(20 * scale) + 10);
    {
        PainterCanvas c(&img);
        c.setTransform(QTransform::fromScale(scale, scale));
        c.setPen({gdi::PS_SOLID, penWidth, kBlack});
        c.moveTo(2, 10);
        c.lineTo(30, 10);
    }
    if (out)
        *out = img;
    // Thickness measured in the middle of the line.
    const int x = int(16 * scale);
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        n += isInk(img, x, y);
    return n;
}

} // namespace

TEST(PainterPen, WidthZeroIsOneDevicePixelAtAnyScale)
{
    EXPECT_EQ(lineThickness(1.0, 0), 1);
    EXPECT_EQ(lineThickness(2.0, 0), 1);
    EXPECT_EQ(lineThickness(600.0 / 96.0, 0), 1);
}

TEST(PainterPen, WidthOneOrMoreScalesWithTheTransform)
{
    EXPECT_EQ(lineThickness(1.0, 1), 1);
    EXPECT_EQ(lineThickness(2.0, 1), 2);
    EXPECT_EQ(lineThickness(600.0 / 96.0, 1), 6); // 6.25 device pixels, rounded
    EXPECT_EQ(lineThickness(1.0, 3), 3);
    EXPECT_EQ(lineThickness(2.0, 3), 6);
    QImage img;
    EXPECT_EQ(lineThickness(600.0 / 96.0, 3, &img), 19); // 18.75
    savePng(img, "canvas_wide_pen_600dpi");
}

TEST(PainterPen, NullPenDrawsNothing)
{
    QImage img = whiteImage(30, 30);
    {
        PainterCanvas c(&img);
        c.setPen({gdi::PS_NULL, 5, kBlack});
        c.setBrush({gdi::BS_NULL, 0, 0});
        c.moveTo(0, 0);
        c.lineTo(29, 29);
        c.rectangle({2, 2, 20, 20});
        c.ellipse({2, 2, 20, 20});
        const gdi::Point pts[] = {{1, 1}, {25, 3}, {10, 25}};
        c.polyline(pts);
        c.polygon(pts);
    }
    EXPECT_TRUE(inkBounds(img).isEmpty());
}

TEST(PainterPen, DottedOnePixelPenAlternatesOnAndOff)
{
    for (qreal scale : {1.0, 2.0}) {
        QImage img = whiteImage(60, 30);
        {
            PainterCanvas c(&img);
            c.setTransform(QTransform::fromScale(scale, scale));
            c.setPen({gdi::PS_DOT, 0, kBlack});
            c.moveTo(0, 5);
            c.lineTo(20, 5);
        }
        const int y = int(5 * scale);
        const int end = int(20 * scale); // exclusive end point
        QString expected;
        for (int x = 0; x < end; ++x)
            expected += x % 2 == 0 ? u'#' : u'.';
        EXPECT_EQ(rowString(img, y, 0, end - 1), expected) << "scale " << scale;
        EXPECT_FALSE(isInk(img, end, y));
    }
}

TEST(PainterPen, DottedPenPatternRunsOnAroundARectangle)
{
    QImage img = whiteImage(20, 20);
    {
        PainterCanvas c(&img);
        c.setPen({gdi::PS_DOT, 0, kBlack});
        c.setBrush({gdi::BS_NULL, 0, 0});
        c.rectangle({0, 0, 10, 10});
    }
    // 36 outline pixels, every second one inked.
    int inked = 0;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            inked += isInk(img, x, y);
    EXPECT_EQ(inked, 18);
    EXPECT_EQ(rowString(img, 0, 0, 9), QStringLiteral("#.#.#.#.#."));
    EXPECT_TRUE(inkBounds(img).right() <= 9 && inkBounds(img).bottom() <= 9);
}

TEST(PainterPen, StyledPenWiderThanOneIsDrawnSolid)
{
    QImage img = whiteImage(40, 20);
    {
        PainterCanvas c(&img);
        c.setPen({gdi::PS_DOT, 3, kBlack});
        c.moveTo(2, 10);
        c.lineTo(30, 10);
    }
    EXPECT_EQ(rowString(img, 10, 6, 26), QString(21, u'#'));
}

TEST(PainterLine, EndPointIsNotDrawnAndPositionMoves)
{
    QImage img = whiteImage(20, 20);
    PainterCanvas c(&img);
    c.setPen({gdi::PS_SOLID, 0, kBlack});
    c.moveTo(2, 2);
    c.lineTo(8, 2);
    EXPECT_EQ(c.currentPosition(), (gdi::Point{8, 2}));
    c.lineTo(8, 8); // goes on from the end of the first line
    c.moveTo(10, 10);
    c.lineTo(15, 15);
    c.painter()->end();

    // The corner pixel (8, 2) is left out by the first line and is the start
    // of the second.
    EXPECT_EQ(rowString(img, 2, 0, 9), QStringLiteral("..#######."));
    EXPECT_EQ(columnString(img, 8, 0, 9), QStringLiteral("..######.."));
    EXPECT_TRUE(isInk(img, 14, 14));
    EXPECT_FALSE(isInk(img, 15, 15));
    EXPECT_TRUE(isInk(img, 10, 10));
}

TEST(PainterLine, PolylineLeavesOutItsLastPointOnly)
{
    QImage img = whiteImage(20, 20);
    {
        PainterCanvas c(&img);
        c.setPen({gdi::PS_SOLID, 0, kBlack});
        const gdi::Point pts[] = {{1, 1}, {6, 1}, {6, 6}, {1, 6}};
        c.polyline(pts);
        EXPECT_EQ(c.currentPosition(), (gdi::Point{0, 0})) << "polyline does not move the position";
    }
    EXPECT_EQ(rowString(img, 1, 0, 7), QStringLiteral(".######."));
    EXPECT_EQ(rowString(img, 6, 0, 7), QStringLiteral("..#####."));
    EXPECT_FALSE(isInk(img, 1, 6));
}

TEST(PainterFigure, RectangleRightAndBottomAreExclusive)
{
    QImage img = whiteImage(20, 20);
    {
        PainterCanvas c(&img);
        c.setPen({gdi::PS_SOLID, 0, kBlack});
        c.setBrush({gdi::BS_SOLID, kRed, 0});
        c.rectangle({0, 0, 10, 10});
    }
    EXPECT_EQ(rowString(img, 0, 0, 11), QStringLiteral("##########.."));
    EXPECT_EQ(columnString(img, 9, 0, 11), QStringLiteral("##########.."));
    EXPECT_TRUE(isColor(img, 0, 5, Qt::black));
    EXPECT_TRUE(isColor(img, 9, 5, Qt::black));
    EXPECT_EQ(colorBounds(img, Qt::red), QRect(QPoint(1, 1), QPoint(8, 8)));
    EXPECT_EQ(countColor(img, Qt::black), 36);
}

TEST(PainterFigure, RectangleUnderScaleKeepsExclusiveEdges)
{
    QImage img = whiteImage(40, 40);
    {
        PainterCanvas c(&img);
        c.setTransform(QTransform::fromScale(2, 2));
        c.setPen({gdi::PS_SOLID, 0, kBlack});
        c.setBrush({gdi::BS_NULL, 0, 0});
        c.rectangle({1, 1, 11, 11});
    }
    EXPECT_EQ(inkBounds(img), QRect(QPoint(2, 2), QPoint(21, 21)));
    EXPECT_FALSE(isInk(img, 10, 10)) << "a hollow brush leaves the inside";
}

TEST(PainterFigure, InsideFramePenStaysInsideTheFigure)
{
    auto bounds = [](quint32 style) {
        QImage img = whiteImage(60, 60);
        {
            PainterCanvas c(&img);
            c.setPen({style, 6, kBlack});
            c.setBrush({gdi::BS_NULL, 0, 0});
            c.rectangle({20, 20, 40, 40});
            c.ellipse({20, 20, 40, 40});
        }
        return inkBounds(img);
    };
    EXPECT_EQ(bounds(gdi::PS_INSIDEFRAME), QRect(QPoint(20, 20), QPoint(39, 39)));
    const QRect centred = bounds(gdi::PS_SOLID);
    EXPECT_LT(centred.left(), 20);
    EXPECT_GT(centred.right(), 39);
}

TEST(PainterFigure, EllipseAndRoundRectStayInTheirBounds)
{
    QImage img = whiteImage(60, 60);
    {
        PainterCanvas c(&img);
        c.setPen({gdi::PS_SOLID, 0, kBlack});
        c.setBrush({gdi::BS_SOLID, kRed, 0});
        c.ellipse({10, 10, 30, 40});
        c.roundRect({35, 5, 55, 25}, 8, 8);
    }
    savePng(img, "canvas_ellipse");
    EXPECT_EQ(inkBounds(img.copy(0, 0, 32, 60)), QRect(QPoint(10, 10), QPoint(29, 39)));
    EXPECT_TRUE(isColor(img, 20, 25, Qt::red));
    EXPECT_FALSE(isInk(img, 10, 10)) << "the corner of the bounds is outside the ellipse";
    EXPECT_EQ(inkBounds(img.copy(33, 0, 27, 60)).translated(33, 0), QRect(QPoint(35, 5), QPoint(54, 24)));
    EXPECT_FALSE(isInk(img, 35, 5)) << "rounded corner";
    EXPECT_TRUE(isInk(img, 45, 5));
}

TEST(PainterFigure, PolygonFillsAndOutlinesEveryEdge)
{
    QImage img = whiteImage(30, 30);
    {
        PainterCanvas c(&img);
        c.setPen({gdi::PS_SOLID, 0, kBlack});
        c.setBrush({gdi::BS_SOLID, kRed, 0});
        const gdi::Point pts[] = {{2, 2}, {20, 2}, {20, 20}, {2, 20}};
        c.polygon(pts);
    }
    EXPECT_EQ(inkBounds(img), QRect(QPoint(2, 2), QPoint(20, 20)));
    EXPECT_TRUE(isColor(img, 2, 20, Qt::black)) << "the closing edge is drawn";
    EXPECT_TRUE(isColor(img, 10, 10, Qt::red));
}

TEST(PainterFigure, PolygonFillWithoutOutlineExcludesRightAndBottomEdges)
{
    for (qreal scale : {1.0, 2.0}) {
        QImage img = whiteImage(200, 200);
        {
            PainterCanvas c(&img);
            c.setTransform(QTransform::fromScale(scale, scale));
            c.setPen({gdi::PS_NULL, 0, kBlack});
            c.setBrush({gdi::BS_SOLID, kRed, 0});
            const gdi::Point pts[] = {{10, 10}, {80, 10}, {80, 80}, {10, 80}};
            c.polygon(pts);
        }
        const int lo = int(10 * scale), hi = int(80 * scale) - 1;
        EXPECT_EQ(inkBounds(img), QRect(QPoint(lo, lo), QPoint(hi, hi))) << "scale " << scale;
    }
}

TEST(PainterBrush, FillRectUsesTheBrushOnlyWithExclusiveEdges)
{
    QImage img = whiteImage(20, 20);
    {
        PainterCanvas c(&img);
        c.setPen({gdi::PS_SOLID, 3, kBlack}); // not used by FillRect
        c.fillRect({2, 3, 7, 9}, {gdi::BS_SOLID, kBlue, 0});
        c.fillRect({10, 10, 15, 15}, {gdi::BS_NULL, kBlue, 0});
        c.fillRect({15, 15, 10, 10}, {gdi::BS_SOLID, kBlue, 0}); // upside down: still the same pixels
    }
    EXPECT_EQ(colorBounds(img, Qt::blue), QRect(QPoint(2, 3), QPoint(14, 14)));
    EXPECT_EQ(countColor(img, Qt::blue), 5 * 6 + 5 * 5);
    EXPECT_EQ(countColor(img, Qt::black), 0);
}

TEST(PainterBrush, HatchShowsBackgroundColourOnlyWhenOpaque)
{
    auto draw = [](qint32 bkMode) {
        QImage img = whiteImage(16, 16);
        PainterCanvas c(&img);
        c.setPen({gdi::PS_NULL, 0, 0});
        c.setBkMode(bkMode);
        c.setBkColor(kGreen);
        c.setBrush({gdi::BS_HATCHED, kRed, gdi::HS_CROSS});
        c.rectangle({0, 0, 16, 16});
        c.painter()->end();
        return img;
    };
    const QImage opaque = draw(gdi::OPAQUE);
    const QImage transparent = draw(gdi::TRANSPARENT);
    const int hatched = countColor(opaque, Qt::red);
    EXPECT_GT(hatched, 0);
    EXPECT_EQ(countColor(opaque, Qt::red) + countColor(opaque, Qt::green), 256);
    EXPECT_EQ(countColor(transparent, Qt::red), hatched);
    EXPECT_EQ(countColor(transparent, Qt::green), 0);
    EXPECT_EQ(countColor(transparent, Qt::white), 256 - hatched);
}

TEST(PainterClip, IntersectSaveRestoreAndRelease)
{
    QImage img = whiteImage(30, 30);
    PainterCanvas c(&img);
    const gdi::LogBrush red{gdi::BS_SOLID, kRed, 0}, blue{gdi::BS_SOLID, kBlue, 0}, green{gdi::BS_SOLID, kGreen, 0};
    c.intersectClipRect({0, 0, 20, 20});
    EXPECT_EQ(c.saveDC(), 1);
    c.intersectClipRect({10, 10, 30, 30});
    c.fillRect({0, 0, 30, 30}, red);
    EXPECT_EQ(colorBounds(img, Qt::red), QRect(QPoint(10, 10), QPoint(19, 19)));

    ASSERT_TRUE(c.restoreDC(-1));
    c.fillRect({0, 0, 5, 30}, blue);
    EXPECT_EQ(colorBounds(img, Qt::blue), QRect(QPoint(0, 0), QPoint(4, 19))) << "the outer clip is back";

    c.selectClipRgnNone();
    c.fillRect({25, 0, 30, 30}, green);
    EXPECT_EQ(colorBounds(img, Qt::green), QRect(QPoint(25, 0), QPoint(29, 29)));
    EXPECT_FALSE(c.restoreDC(-1));
}

TEST(PainterClip, ClipRectGoesThroughTheTransform)
{
    QImage img = whiteImage(40, 40);
    {
        PainterCanvas c(&img);
        c.setTransform(QTransform::fromScale(2, 2));
        c.intersectClipRect({5, 5, 10, 10});
        c.setTransform(QTransform()); // the clip stays where it was set
        c.fillRect({0, 0, 40, 40}, {gdi::BS_SOLID, kRed, 0});
    }
    EXPECT_EQ(colorBounds(img, Qt::red), QRect(QPoint(10, 10), QPoint(19, 19)));
}

TEST(PainterBitmap, StretchAndMirror)
{
    QImage src(2, 1, QImage::Format_RGB32);
    src.setPixel(0, 0, qRgb(255, 0, 0));
    src.setPixel(1, 0, qRgb(0, 0, 255));
    QImage img = whiteImage(40, 20);
    {
        PainterCanvas c(&img);
        c.stretchDIBits({0, 0, 10, 10}, {0, 0, 2, 1}, src);
        c.stretchDIBits({30, 0, 20, 10}, {0, 0, 2, 1}, src); // negative width: mirrored
        c.stretchDIBits({0, 10, 40, 20}, {1, 0, 2, 1}, src); // the right pixel only
        c.stretchDIBits({0, 0, 10, 10}, {-100, -100, -50, -50}, src); // outside the bitmap: nothing
    }
    EXPECT_EQ(colorBounds(img.copy(0, 0, 40, 10), Qt::red), QRect(QPoint(0, 0), QPoint(29, 9)));
    EXPECT_TRUE(isColor(img, 2, 5, Qt::red));
    EXPECT_TRUE(isColor(img, 7, 5, Qt::blue));
    EXPECT_TRUE(isColor(img, 22, 5, Qt::blue));
    EXPECT_TRUE(isColor(img, 27, 5, Qt::red));
    EXPECT_EQ(colorBounds(img.copy(0, 10, 40, 10), Qt::blue), QRect(QPoint(0, 0), QPoint(39, 9)));
}

TEST(PainterBitmap, SourcePartlyOutsideIsCut)
{
    QImage src(4, 4, QImage::Format_RGB32);
    src.fill(qRgb(0, 0, 255));
    QImage img = whiteImage(20, 20);
    {
        PainterCanvas c(&img);
        // Source 8 wide from x = -4: only its right half exists, so only the
        // right half of the destination is drawn.
        c.stretchDIBits({0, 0, 16, 4}, {-4, 0, 4, 4}, src);
    }
    EXPECT_EQ(colorBounds(img, Qt::blue), QRect(QPoint(8, 0), QPoint(15, 3)));
}

TEST(PainterDevice, CapsOfAnImageAndAPrinterPage)
{
    QImage img = whiteImage(794, 1123);
    PainterCanvas c(&img);
    EXPECT_EQ(c.logPixelsX(), 96);
    EXPECT_EQ(c.logPixelsY(), 96);
    EXPECT_EQ(c.deviceCaps(gdi::HORZRES), 794);
    EXPECT_EQ(c.deviceCaps(gdi::VERTRES), 1123);
    EXPECT_EQ(c.deviceCaps(gdi::HORZSIZE), 210);
    EXPECT_EQ(c.deviceCaps(gdi::PHYSICALOFFSETX), 0);
    EXPECT_EQ(c.deviceCaps(gdi::PHYSICALWIDTH), 794);

    QImage page = whiteImage(100, 100);
    PainterCanvas p(&page, 600);
    p.setPhysicalOffsets(100, 120);
    p.setPhysicalSize(4960, 7016);
    EXPECT_EQ(p.logPixelsX(), 600);
    EXPECT_EQ(p.deviceCaps(gdi::PHYSICALOFFSETX), 100);
    EXPECT_EQ(p.deviceCaps(gdi::PHYSICALOFFSETY), 120);
    EXPECT_EQ(p.deviceCaps(gdi::PHYSICALHEIGHT), 7016);
}

TEST(PainterDevice, PainterTransformOnArrivalIsTheBase)
{
    QImage img = whiteImage(40, 40);
    {
        QPainter painter(&img);
        painter.translate(10, 10);
        PainterCanvas c(&painter, 96, 96);
        c.fillRect({0, 0, 5, 5}, {gdi::BS_SOLID, kRed, 0});
    }
    EXPECT_EQ(colorBounds(img, Qt::red), QRect(QPoint(10, 10), QPoint(14, 14)));
}

TEST(PainterDamagedInput, FarAwayLineEndsAreCutNotWalked)
{
    QImage img = whiteImage(50, 50);
    {
        PainterCanvas c(&img);
        c.setPen({gdi::PS_SOLID, 0, kBlack});
        // A line across the whole coordinate range shows as the row it crosses.
        c.moveTo(-2147483647, 10);
        c.lineTo(2147483647, 10);
        // The dots keep their phase from the line's real start (an odd
        // number of steps above row 0).
        c.setPen({gdi::PS_DOT, 0, kBlack});
        c.moveTo(20, -1000001);
        c.lineTo(20, 2147483647);
    }
    EXPECT_EQ(rowString(img, 10, 0, 19), QString(20, u'#'));
    EXPECT_EQ(columnString(img, 20, 0, 7), QStringLiteral(".#.#.#.#"));
}

TEST(PainterDamagedInput, ExtremeFiguresTextAndBitmapsAreSurvived)
{
    QImage img = whiteImage(50, 50);
    PainterCanvas c(&img);
    c.setTransform(QTransform::fromScale(1000, 1000));
    c.setPen({gdi::PS_SOLID, 2147483647, kBlack});
    c.setBrush({gdi::BS_SOLID, kRed, 0});
    c.ellipse({-2147483647, -2147483647, 2147483647, 2147483647});
    c.roundRect({0, 0, 2147483647, 2147483647}, -2147483647, 2147483647);
    const gdi::Point far[] = {{-2147483647, 0}, {2147483647, 2147483647}, {0, -2147483647}};
    c.polygon(far);
    c.setTransform(QTransform().rotate(30).scale(1e6, 1e6));
    c.rectangle({-2147483647, -2147483647, 2147483647, 2147483647});
    c.polyline(far);

    gdi::LogFont huge;
    huge.faceName = QStringLiteral("TW-Kai");
    huge.height = std::numeric_limits<qint32>::min();
    huge.width = std::numeric_limits<qint32>::max();
    c.setFont(huge);
    c.textOut(2147483647, -2147483647, QStringLiteral("國"));
    const std::vector<qint32> dx{2147483647, -2147483647};
    c.extTextOut(0, 0, gdi::ETO_CLIPPED | gdi::ETO_OPAQUE, nullptr, QStringLiteral("國字"), &dx);
    EXPECT_EQ(c.textExtent(QStringLiteral("國")).cy, c.textMetrics().height);
    EXPECT_GT(c.textMetrics().height, 0);
    c.stretchDIBits({-2147483647, -2147483647, 2147483647, 2147483647}, {0, 0, 2147483647, 2147483647},
                    whiteImage(4, 4));

    // The canvas still draws normally afterwards.
    c.setTransform(QTransform());
    img.fill(Qt::white);
    c.fillRect({3, 4, 6, 8}, {gdi::BS_SOLID, kBlue, 0});
    c.painter()->end();
    EXPECT_EQ(colorBounds(img, Qt::blue), QRect(QPoint(3, 4), QPoint(5, 7)));
}

TEST(PainterDevice, VectorDevicesGetLinesWithTheSamePixels)
{
    // A picture records drawing commands, as a printer or a document does;
    // played back onto an image the one-pixel lines land where they would
    // have been drawn directly.
    QPicture picture;
    {
        QPainter p(&picture);
        PainterCanvas c(&p, 96, 96, QSize(30, 30));
        c.setPen({gdi::PS_SOLID, 0, kBlack});
        c.moveTo(2, 2);
        c.lineTo(12, 2);
        c.setPen({gdi::PS_DOT, 0, kBlack});
        c.moveTo(2, 5);
        c.lineTo(12, 5);
    }
    QImage img = whiteImage(30, 30);
    {
        QPainter p(&img);
        p.drawPicture(0, 0, picture);
    }
    EXPECT_EQ(rowString(img, 2, 0, 13), QStringLiteral("..##########.."));
    EXPECT_EQ(rowString(img, 5, 0, 13), QStringLiteral("..#.#.#.#.#..."));
    EXPECT_EQ(rowString(img, 3, 0, 13), QString(14, u'.'));
}

TEST(PainterFigure, OnePixelEllipseOutlineIsThinSymmetricAndClosed)
{
    for (const gdi::Rect r : {gdi::Rect{0, 0, 41, 41}, gdi::Rect{0, 0, 60, 24}, gdi::Rect{0, 0, 23, 50}}) {
        QImage img = whiteImage(r.right, r.bottom);
        {
            PainterCanvas c(&img);
            c.setPen({gdi::PS_SOLID, 0, kBlack});
            c.setBrush({gdi::BS_SOLID, kRed, 0});
            c.ellipse(r);
        }
        SCOPED_TRACE(testing::Message() << r.right << "x" << r.bottom);
        EXPECT_EQ(colorBounds(img, Qt::black), QRect(0, 0, r.right, r.bottom));
        EXPECT_TRUE(img.mirrored(true, false) == img) << "left and right halves mirror each other";
        EXPECT_TRUE(img.mirrored(false, true) == img) << "top and bottom halves mirror each other";
        // Thin: no 2 x 2 block of outline pixels, and no stray brush outside
        // the outline on any row.
        int blocks = 0;
        for (int y = 0; y + 1 < img.height(); ++y)
            for (int x = 0; x + 1 < img.width(); ++x)
                blocks += isColor(img, x, y, Qt::black) && isColor(img, x + 1, y, Qt::black) &&
                          isColor(img, x, y + 1, Qt::black) && isColor(img, x + 1, y + 1, Qt::black);
        EXPECT_EQ(blocks, 0);
        for (int y = 0; y < img.height(); ++y) {
            const QRect row = colorBounds(img.copy(0, y, img.width(), 1), Qt::black);
            const QRect fill = colorBounds(img.copy(0, y, img.width(), 1), Qt::red);
            if (!fill.isEmpty()) {
                EXPECT_GT(fill.left(), row.left());
                EXPECT_LT(fill.right(), row.right());
            }
        }
    }
}
