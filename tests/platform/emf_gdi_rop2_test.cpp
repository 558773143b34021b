// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The sixteen binary raster operations: lines, outlines and the insides of
// figures combine the pen's or brush's colour with what is on the page, at
// 96 dpi and on a 600-dpi page; the recorder writes the mode, and a device
// whose page cannot be read back draws as over white paper.
#include "emf_support.h"
#include "painter_support.h"

#include "platform/emf/emfcodec.h"
#include "platform/metafilerecorder.h"
#include "testsupport.h"

#include <QPdfWriter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>

using namespace emf;
using emfsupport::atBothResolutions;
using emfsupport::metafile;
using emfsupport::qrgb;
using emfsupport::wrongPixels;

namespace {

const gdi::ColorRef kWhite = gdi::rgb(255, 255, 255);
const gdi::ColorRef kStripe = gdi::rgb(0x30, 0xA0, 0x5C); // the right half of the page
const gdi::ColorRef kPen = gdi::rgb(0xC8, 0x28, 0x0F);
const gdi::ColorRef kBrush = gdi::rgb(0x1E, 0x5A, 0xF0);

int dev(double v, double s) { return int(std::lround(v * s)); }

// The page: white on the left, the stripe colour from x = 48 on, painted
// with a pattern copy (which no binary raster operation touches).
std::vector<Record> stripedPage()
{
    EMR_BITBLT stripe;
    stripe.xDest = 48;
    stripe.cxDest = 48;
    stripe.cyDest = 96;
    stripe.rop = gdi::PATCOPY;
    return {EMR_CREATEBRUSHINDIRECT{1, gdi::BS_SOLID, kStripe, 0}, EMR_SELECTOBJECT{1}, stripe};
}

// A one-pixel pen and a solid brush of their own colours.
std::vector<Record> penAndBrush(quint32 penStyle = gdi::PS_SOLID, quint32 width = 0)
{
    EMR_EXTCREATEPEN pen;
    pen.index = 2;
    pen.style = penStyle;
    pen.width = width;
    pen.color = kPen;
    return {EMR_CREATEBRUSHINDIRECT{3, gdi::BS_SOLID, kBrush, 0}, EMR_SELECTOBJECT{3},
            width ? Record(pen) : Record(EMR_CREATEPEN{2, gdi::PS_SOLID, {0, 0}, kPen}), EMR_SELECTOBJECT{2}};
}

} // namespace

TEST(EmfGdiRop2, EveryModeCombinesPenAndBrushWithThePage)
{
    // One row per mode: a rectangle 5 units high outlined with a one-pixel
    // pen and filled with the brush, and under it a line, both across the
    // white half and the striped half of the page.
    std::vector<Record> body = stripedPage() + penAndBrush();
    for (int mode = gdi::R2_BLACK; mode <= gdi::R2_WHITE; ++mode) {
        const qint32 y0 = 6 * (mode - 1);
        body = body + std::vector<Record>{EMR_SETROP2{quint32(mode)}, EMR_RECTANGLE{{4, y0, 92, y0 + 5}},
                                          EMR_MOVETOEX{{4, y0 + 5}}, EMR_LINETO{{92, y0 + 5}}};
    }
    // Text and bitmaps are not combined: the last mode (R2_WHITE) leaves a
    // pattern copy as it is.
    EMR_BITBLT black;
    black.xDest = 94;
    black.cxDest = 2;
    black.cyDest = 2;
    black.rop = gdi::BLACKNESS;
    body.push_back(black);
    atBothResolutions(metafile(body), [](const QImage &img, double s) {
        const auto expected = [s](int x, int y) -> QRgb {
            const gdi::ColorRef page = x < dev(48, s) ? kWhite : kStripe;
            if (x >= dev(94, s) && y < dev(2, s))
                return qRgb(0, 0, 0);
            const int row = std::min(15, int(y / s) / 6);
            const int mode = row + 1, y0 = 6 * row;
            const int l = dev(4, s), r = dev(92, s), t = dev(y0, s), b = dev(y0 + 5, s);
            if (x < l || x >= r || y < t || y > b)
                return qrgb(page);
            // The outline on the edge pixels, the brush inside, the line
            // on the row under the rectangle.
            const bool outline = y == t || y == b - 1 || x == l || x == r - 1;
            const gdi::ColorRef ink = y == b ? kPen : outline ? kPen : kBrush;
            return qrgb(gdi::rop2Color(mode, ink, page));
        };
        EXPECT_EQ(wrongPixels(img, expected), 0);
        // Spot checks of the table itself: XOR, NOT, MERGE and MASK.
        EXPECT_EQ(gdi::rop2Color(gdi::R2_XORPEN, kPen, kStripe), (kPen ^ kStripe) & 0xffffff);
        EXPECT_EQ(gdi::rop2Color(gdi::R2_NOT, kPen, kStripe), ~kStripe & 0xffffff);
        EXPECT_EQ(gdi::rop2Color(gdi::R2_MERGEPEN, kPen, kStripe), kPen | kStripe);
        EXPECT_EQ(gdi::rop2Color(gdi::R2_MASKNOTPEN, kPen, kStripe), ~kPen & kStripe & 0xffffff);
        EXPECT_EQ(gdi::rop2Color(gdi::R2_NOP, kPen, kStripe), kStripe);
    });
}

TEST(EmfGdiRop2, WideOutlinesAndCurvesCombineEachPixelOnce)
{
    // Ellipses, round rectangles, polygons, pies and stroked and filled paths
    // with a pen 6 units wide over a hatched brush: drawn with R2_COPYPEN
    // over white they show which pixels the pen and which the brush covers;
    // under every other mode each of those pixels is the mode's result of
    // that one colour and the page (an outline over the inside counts once).
    // The figures lie apart: where two overlap, the second combines with the
    // first.
    const auto figures = std::vector<Record>{
        EMR_ELLIPSE{{6, 6, 42, 30}},
        EMR_ROUNDRECT{{54, 6, 90, 30}, {12, 12}},
        EMR_POLYGON16{{}, {{{8, 40}, {40, 44}, {20, 60}, {44, 64}}}},
        EMR_PIE{{54, 40, 90, 66}, {90, 53}, {72, 40}},
        EMR_BEGINPATH{},
        EMR_MOVETOEX{{8, 78}},
        EMR_POLYBEZIERTO16{{}, {{{30, 66}, {60, 98}, {88, 80}}}},
        EMR_LINETO{{88, 92}},
        EMR_CLOSEFIGURE{},
        EMR_ENDPATH{},
        EMR_STROKEANDFILLPATH{{}},
    };
    EMR_EXTCREATEPEN pen;
    pen.index = 2;
    pen.style = gdi::PS_GEOMETRIC | gdi::PS_ENDCAP_FLAT | gdi::PS_JOIN_BEVEL;
    pen.width = 6;
    pen.color = kPen;
    const auto brushAndPen =
        std::vector<Record>{EMR_CREATEBRUSHINDIRECT{3, gdi::BS_HATCHED, kBrush, gdi::HS_DIAGCROSS}, EMR_SELECTOBJECT{3},
                            EMR_SETBKMODE{gdi::TRANSPARENT}, pen, EMR_SELECTOBJECT{2}};
    for (int dpi : {96, 600}) {
        SCOPED_TRACE(dpi);
        const double s = dpi / 96.0;
        const QImage copy = emfsupport::renderAt(metafile(brushAndPen + figures), dpi);
        ASSERT_GT(paintersupport::countColor(copy, QColor(qrgb(kPen))), 100);
        ASSERT_GT(paintersupport::countColor(copy, QColor(qrgb(kBrush))), 100);
        for (int mode : {gdi::R2_BLACK, gdi::R2_NOTMERGEPEN, gdi::R2_NOTCOPYPEN, gdi::R2_NOT, gdi::R2_XORPEN,
                         gdi::R2_MASKPEN, gdi::R2_NOTXORPEN, gdi::R2_NOP, gdi::R2_MERGEPENNOT, gdi::R2_WHITE}) {
            SCOPED_TRACE(mode);
            const QImage img = emfsupport::renderAt(
                metafile(stripedPage() + brushAndPen + std::vector<Record>{EMR_SETROP2{quint32(mode)}} + figures), dpi);
            const qint64 wrong = wrongPixels(img, [&](int x, int y) -> QRgb {
                const gdi::ColorRef page = x < dev(48, s) ? kWhite : kStripe;
                const QRgb c = copy.pixel(x, y) & 0xffffff;
                if (c == (qrgb(kPen) & 0xffffff))
                    return qrgb(gdi::rop2Color(mode, kPen, page));
                if (c == (qrgb(kBrush) & 0xffffff))
                    return qrgb(gdi::rop2Color(mode, kBrush, page));
                return qrgb(page);
            });
            EXPECT_EQ(wrong, 0);
        }
    }
}

TEST(EmfGdiRop2, TheRecorderWritesTheModeAndSavedStatesKeepIt)
{
    // Drawn directly and recorded: the same pixels, and the recording holds
    // the modes it was given, not repeated, and restored with the state.
    auto draw = [](Canvas &c) {
        c.setBrush({gdi::BS_SOLID, kBrush, 0});
        c.fillRect({0, 0, 48, 96}, {gdi::BS_SOLID, kStripe, 0});
        c.setPen({gdi::PS_SOLID, 4, kPen});
        c.setRop2(gdi::R2_XORPEN);
        c.setRop2(gdi::R2_XORPEN);
        c.ellipse({10, 10, 86, 50});
        c.saveDC();
        c.setRop2(gdi::R2_NOT);
        c.rectangle({10, 60, 86, 90});
        c.restoreDC(-1);
        c.setRop2(99); // refused: the mode stays
        c.moveTo(0, 94);
        c.lineTo(96, 94);
    };
    QImage direct = paintersupport::whiteImage(96, 96);
    {
        PainterCanvas c(&direct);
        draw(c);
        EXPECT_EQ(c.rop2(), gdi::R2_XORPEN);
    }
    MetafileRecorder rec(96, 96);
    draw(rec);
    const Metafile mf = rec.finish();
    std::vector<quint32> modes;
    RecordScanner scanner{QByteArrayView(mf.bytes())};
    RecordRef ref;
    while (scanner.next(ref))
        if (ref.type == T_SETROP2)
            modes.push_back(std::get<EMR_SETROP2>(decode(ref)).value);
    EXPECT_EQ(modes, (std::vector<quint32>{gdi::R2_XORPEN, gdi::R2_NOT}));
    EXPECT_EQ(emfsupport::differingPixels(emfsupport::render(mf, 96, 96), direct, 0), 0);
    // The line after the restore is XORed over white: the pen's inverse.
    EXPECT_TRUE(paintersupport::isColor(direct, 50, 94, QColor(qrgb(~kPen & 0xffffff))));
}

TEST(EmfGdiRop2, APageThatCannotBeReadBackIsTakenForWhitePaper)
{
    // A PDF page: R2_NOT makes black, R2_XORPEN the inverse of the brush,
    // R2_MERGEPEN (white over white) leaves what is under it, R2_NOP draws
    // nothing.
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (pdftoppm.isEmpty())
        GTEST_SKIP() << "pdftoppm is not installed";
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("rop2.pdf"));
    {
        QPdfWriter writer(pdf);
        writer.setResolution(96);
        writer.setPageSize(QPageSize(QSizeF(96, 96), QPageSize::Point));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter(&writer);
        PainterCanvas c(&painter, 96, 96, QSize(128, 128));
        c.setPen({gdi::PS_NULL, 0, 0});
        c.fillRect({0, 60, 128, 128}, {gdi::BS_SOLID, kStripe, 0});
        const struct {
            qint32 mode;
            gdi::Rect box;
        } figures[] = {{gdi::R2_NOT, {8, 8, 40, 40}},
                       {gdi::R2_XORPEN, {48, 8, 80, 40}},
                       {gdi::R2_MERGEPEN, {8, 70, 40, 100}},
                       {gdi::R2_NOP, {48, 70, 80, 100}}};
        for (const auto &f : figures) {
            c.setBrush({gdi::BS_SOLID, f.mode == gdi::R2_MERGEPEN ? kWhite : kBrush, 0});
            c.setRop2(f.mode);
            c.rectangle(f.box);
        }
    }
    QProcess p;
    p.start(pdftoppm, {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("72"), QStringLiteral("-singlefile"),
                       pdf, dir.filePath(QStringLiteral("page"))});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QImage page(dir.filePath(QStringLiteral("page.png")));
    ASSERT_FALSE(page.isNull()) << p.readAllStandardError().toStdString();
    paintersupport::savePng(page, QStringLiteral("emf_rop2_pdf"));
    const double k = page.width() / 128.0; // page pixels per canvas pixel
    auto near = [&](int x, int y, gdi::ColorRef c) {
        const QRgb got = page.pixel(int(x * k), int(y * k));
        return std::abs(qRed(got) - gdi::redOf(c)) < 8 && std::abs(qGreen(got) - gdi::greenOf(c)) < 8 &&
               std::abs(qBlue(got) - gdi::blueOf(c)) < 8;
    };
    EXPECT_TRUE(near(24, 24, gdi::rgb(0, 0, 0)));
    EXPECT_TRUE(near(64, 24, ~kBrush & 0xffffff));
    EXPECT_TRUE(near(24, 85, kStripe));
    EXPECT_TRUE(near(64, 85, kStripe));
}
