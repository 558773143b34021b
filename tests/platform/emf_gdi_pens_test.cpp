// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Pens whose stroke is filled with a hatch or a picture, the hatch styles
// that fill solid, and geometric pens under transforms that stretch one way
// more than another; at 96 dpi and on a 600-dpi page, against pixel
// positions worked out here.
#include "emf_support.h"
#include "painter_support.h"

#include "platform/emf/emfdib.h"
#include "platform/metafilerecorder.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace emf;
using emfsupport::atBothResolutions;
using emfsupport::metafile;
using emfsupport::qrgb;
using emfsupport::wrongPixels;

namespace {

const gdi::ColorRef kRed = gdi::rgb(255, 0, 0);
const gdi::ColorRef kGreen = gdi::rgb(0, 255, 0);
const gdi::ColorRef kBlue = gdi::rgb(0, 0, 255);
constexpr QRgb kRedRgb = 0xffff0000;

// The first device row or column of a stroke edge at `v` metafile pixels:
// edges run through pixel centres, a centre on the near edge is inside.
int edge(double v, double s) { return int(std::ceil(v * s - 1.0 / 64)); }

EMR_EXTCREATEPEN geometricPen(quint32 width, quint32 brushStyle = gdi::BS_SOLID, quint32 hatch = 0)
{
    EMR_EXTCREATEPEN p;
    p.index = 2;
    p.style = gdi::PS_GEOMETRIC | gdi::PS_ENDCAP_FLAT;
    p.width = width;
    p.brushStyle = brushStyle;
    p.color = kRed;
    p.hatch = hatch;
    return p;
}

// A stroke 16 units wide from (8, 48) to (88, 48): it covers x 8 to 88 and
// y 40 to 56.
std::vector<Record> wideLine(const EMR_EXTCREATEPEN &pen)
{
    return {pen, EMR_SELECTOBJECT{2}, EMR_MOVETOEX{{8, 48}}, EMR_LINETO{{88, 48}}};
}

// Red squares on one diagonal of 2 x 2 pixels, blue on the other.
QImage checker()
{
    QImage img(2, 2, QImage::Format_RGB32);
    img.fill(Qt::blue);
    img.setPixel(0, 0, qRgb(255, 0, 0));
    img.setPixel(1, 1, qRgb(255, 0, 0));
    return img;
}

bool inStroke(int x, int y, double s) { return x >= edge(8, s) && x < edge(88, s) && y >= edge(40, s) && y < edge(56, s); }

} // namespace

TEST(EmfGdiPens, AHatchedPenFillsItsStrokeWithTheHatch)
{
    // Vertical hatch lines every 8 device pixels from the device's origin in
    // the pen's colour; between them the background colour when the
    // background mode is opaque, the page when it is transparent.
    const auto hatched = wideLine(geometricPen(16, gdi::BS_HATCHED, gdi::HS_VERTICAL));
    for (qint32 mode : {gdi::OPAQUE, gdi::TRANSPARENT}) {
        SCOPED_TRACE(mode);
        const auto body = std::vector<Record>{EMR_SETBKCOLOR{kGreen}, EMR_SETBKMODE{quint32(mode)}} + hatched;
        atBothResolutions(metafile(body), [mode](const QImage &img, double s) {
            EXPECT_EQ(wrongPixels(img,
                                  [&](int x, int y) -> QRgb {
                                      if (!inStroke(x, y, s))
                                          return 0xffffff;
                                      if (x % 8 == 3)
                                          return kRedRgb;
                                      return mode == gdi::OPAQUE ? qrgb(kGreen) : 0xffffff;
                                  }),
                      0);
        });
    }
}

TEST(EmfGdiPens, PatternPensTileTheirPictureOverTheStroke)
{
    // A DIB pattern of 2 x 2 pixels (red and blue squares on the diagonals)
    // and a monochrome pattern of one black and one white column (the text
    // and the background colour): tiled from the device's origin.
    EMR_EXTCREATEPEN dibPen = geometricPen(16, 6); // BS_DIBPATTERNPT
    dibPen.color = 0;                             // DIB_RGB_COLORS
    dibPen.dib = imageToDib(checker());
    QImage columns(2, 1, QImage::Format_Mono);
    columns.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    columns.setPixel(0, 0, 0);
    columns.setPixel(1, 0, 1);
    EMR_EXTCREATEPEN monoPen = geometricPen(16, gdi::BS_PATTERN);
    monoPen.dib = monoImageToDib(columns);
    atBothResolutions(metafile(wideLine(dibPen)), [](const QImage &img, double s) {
        EXPECT_EQ(wrongPixels(img,
                              [&](int x, int y) -> QRgb {
                                  return !inStroke(x, y, s) ? 0xffffff : (x + y) % 2 ? qrgb(kBlue) : kRedRgb;
                              }),
                  0);
    });
    const auto mono = std::vector<Record>{EMR_SETTEXTCOLOR{kBlue}, EMR_SETBKCOLOR{kGreen}} + wideLine(monoPen);
    atBothResolutions(metafile(mono), [](const QImage &img, double s) {
        EXPECT_EQ(wrongPixels(img,
                              [&](int x, int y) -> QRgb {
                                  return !inStroke(x, y, s) ? 0xffffff : x % 2 ? qrgb(kGreen) : qrgb(kBlue);
                              }),
                  0);
    });
    // A cosmetic pen takes no brush: it strokes in its colour.
    EMR_EXTCREATEPEN cosmetic = geometricPen(1, gdi::BS_HATCHED, gdi::HS_CROSS);
    cosmetic.style = gdi::PS_COSMETIC;
    atBothResolutions(metafile(wideLine(cosmetic)), [](const QImage &img, double) {
        EXPECT_EQ(paintersupport::countColor(img, Qt::red), paintersupport::colorBounds(img, Qt::red).width());
    });
}

TEST(EmfGdiPens, TheRecorderWritesThePensBrush)
{
    // Recorded from the canvas, a hatched and a picture pen come back as
    // they were drawn directly.
    auto draw = [&](Canvas &c) {
        c.setBkColor(kGreen);
        c.setExtPen({gdi::PS_GEOMETRIC | gdi::PS_ENDCAP_FLAT, 12, kRed}, {});
        c.setPenBrush({gdi::BS_HATCHED, kRed, gdi::HS_DIAGCROSS});
        c.moveTo(8, 20);
        c.lineTo(88, 20);
        c.setPenBrush({gdi::BS_DIBPATTERN, 0, 0}, checker());
        c.moveTo(8, 50);
        c.lineTo(88, 50);
        c.setPen({gdi::PS_SOLID, 12, kBlue}); // a plain pen strokes solid again
        c.moveTo(8, 80);
        c.lineTo(88, 80);
    };
    QImage direct = paintersupport::whiteImage(96, 96);
    {
        PainterCanvas c(&direct);
        draw(c);
    }
    MetafileRecorder rec(96, 96);
    draw(rec);
    const Metafile mf = rec.finish();
    std::vector<quint32> brushStyles;
    RecordScanner scanner{QByteArrayView(mf.bytes())};
    RecordRef ref;
    while (scanner.next(ref))
        if (ref.type == T_EXTCREATEPEN)
            brushStyles.push_back(std::get<EMR_EXTCREATEPEN>(decode(ref)).brushStyle);
    // The pen is written as selected, then with each brush.
    EXPECT_EQ(brushStyles, (std::vector<quint32>{gdi::BS_SOLID, gdi::BS_HATCHED, 6}));
    EXPECT_EQ(emfsupport::differingPixels(emfsupport::render(mf, 96, 96), direct, 0), 0);
    EXPECT_GT(paintersupport::countColor(direct, Qt::green), 300); // the hatch's background
    EXPECT_EQ(paintersupport::colorBounds(direct, Qt::blue).bottom(), 85);
}

TEST(EmfGdiBrushes, HatchStylesPastTheFiveFillSolid)
{
    // Styles 6 and 7 fill in the brush's colour, 8 and 9 in the text
    // colour, 10 and 11 in the background colour of the time they draw.
    std::vector<Record> body{EMR_SELECTOBJECT{0x80000008}};
    for (quint32 h = 6; h <= 11; ++h)
        body.push_back(EMR_CREATEBRUSHINDIRECT{h - 5, gdi::BS_HATCHED, kRed, h});
    body = body + std::vector<Record>{EMR_SETTEXTCOLOR{kBlue}, EMR_SETBKCOLOR{kGreen}};
    for (quint32 h = 6; h <= 11; ++h) {
        const qint32 y = qint32(16 * (h - 6));
        body = body + std::vector<Record>{EMR_SELECTOBJECT{h - 5}, EMR_RECTANGLE{{0, y, 96, y + 16}}};
    }
    atBothResolutions(metafile(body), [](const QImage &img, double s) {
        EXPECT_EQ(wrongPixels(img,
                              [&](int, int y) -> QRgb {
                                  const int band = int(std::floor(y / (16 * s)));
                                  return band < 2 ? kRedRgb : band < 4 ? qrgb(kBlue) : qrgb(kGreen);
                              }),
                  0);
    });
}

TEST(EmfGdiPens, AGeometricPenIsStretchedWithTheFigure)
{
    // Under a scale of 2 across and 0.5 down, a pen 8 units wide is 4
    // pixels high along a horizontal line and 16 pixels wide along a
    // vertical one; a cosmetic pen stays one pixel.
    const auto stretched = std::vector<Record>{
        geometricPen(8),
        EMR_SELECTOBJECT{2},
        EMR_SETWORLDTRANSFORM{{2, 0, 0, 0.5f, 0, 0}},
        EMR_MOVETOEX{{4, 40}},
        EMR_LINETO{{44, 40}},
        EMR_MOVETOEX{{8, 60}},
        EMR_LINETO{{8, 180}},
        EMR_SELECTOBJECT{0x80000007}, // the black cosmetic pen
        EMR_MOVETOEX{{20, 160}},
        EMR_LINETO{{44, 160}},
    };
    atBothResolutions(metafile(stretched), [](const QImage &img, double s) {
        EXPECT_EQ(emfsupport::mismatches(img, 1, kRedRgb,
                                         [s](double x, double y) {
                                             const bool across = x >= edge(8, s) && x < edge(88, s) &&
                                                                 y >= edge(18, s) && y < edge(22, s);
                                             const bool down = x >= edge(8, s) && x < edge(24, s) &&
                                                               y >= edge(30, s) && y < edge(90, s);
                                             return across || down;
                                         }),
                  0);
        const QRect hairline = paintersupport::colorBounds(img, Qt::black);
        EXPECT_EQ(hairline.height(), 1);
        EXPECT_EQ(paintersupport::countColor(img, Qt::black), hairline.width());
    });

    // A shear that slants vertical lines: the stroke of a pen 16 units wide
    // is 16 pixels across each row (a stroke of one width all round would
    // be 16 times the square root of 1.25, almost 18). Widened into a path
    // under the same shear, it is the same.
    const auto sheared = [](bool widened) {
        std::vector<Record> body{geometricPen(16), EMR_SELECTOBJECT{2},
                                 EMR_CREATEBRUSHINDIRECT{3, gdi::BS_SOLID, kRed, 0}, EMR_SELECTOBJECT{3},
                                 EMR_SETWORLDTRANSFORM{{1, 0, 0.5f, 1, 0, 0}}};
        const std::vector<Record> line{EMR_MOVETOEX{{30, 8}}, EMR_LINETO{{30, 88}}};
        if (!widened)
            return body + line;
        return body + std::vector<Record>{EMR_BEGINPATH{}} + line +
               std::vector<Record>{EMR_ENDPATH{}, EMR_WIDENPATH{}, EMR_FILLPATH{{}}};
    };
    for (bool widened : {false, true}) {
        SCOPED_TRACE(widened);
        atBothResolutions(metafile(sheared(widened)), [](const QImage &img, double s) {
            for (double y : {30.0, 48.0, 70.0}) {
                const int row = int(y * s);
                int n = 0;
                for (int x = 0; x < img.width(); ++x)
                    n += (img.pixel(x, row) & 0xffffff) == 0xff0000;
                EXPECT_NEAR(n, 16 * s, 1) << y;
            }
        });
    }
}
