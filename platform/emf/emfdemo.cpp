// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/emf/emfdemo.h"

#include "platform/canvas.h"
#include "platform/metafilerecorder.h"

#include <QImage>
#include <QPainterPath>
#include <QTransform>

namespace emf {

const char16_t *const kDemoTexts[] = {
    u"Left aligned",  u"Centred text", u"Right aligned", u"班別：", u"姓名：", u"永字八法",
    u"Opaque box",    u"Clipped text that runs past its box", u"Baseline", u"Bottom",
};
const int kDemoTextCount = int(sizeof(kDemoTexts) / sizeof(kDemoTexts[0]));

namespace {

QString demoText(int i) { return QString::fromUtf16(kDemoTexts[i]); }

gdi::LogFont face(const char16_t *name, qint32 height, qint32 weight = gdi::FW_NORMAL)
{
    gdi::LogFont f;
    f.faceName = QString::fromUtf16(name);
    f.height = height;
    f.weight = weight;
    f.charSet = name[0] > 0x7f ? gdi::CHINESEBIG5_CHARSET : gdi::ANSI_CHARSET;
    return f;
}

// A 24-bit picture: a colour ramp with a dark frame.
QImage demoBitmap()
{
    QImage img(48, 32, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, qRgb(x * 5, y * 7, 255 - x * 5));
    for (int x = 0; x < img.width(); ++x) {
        img.setPixel(x, 0, qRgb(0, 0, 0));
        img.setPixel(x, img.height() - 1, qRgb(0, 0, 0));
    }
    return img;
}

// An 8 × 8 tile of 2 × 2 squares, and the same as a monochrome picture.
QImage demoTile(bool mono)
{
    QImage img(8, 8, QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            img.setPixel(x, y, (x / 2 + y / 2) % 2 ? qRgb(255, 255, 255) : qRgb(0, 110, 200));
    return mono ? img.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither) : img;
}

// A picture whose alpha fades from left to right.
QImage demoAlphaBitmap()
{
    QImage img(40, 20, QImage::Format_ARGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, qRgba(200, 30, 30, x * 255 / 39));
    return img;
}

// Fills and outlines, clipping and pictures that foreign metafiles use.
void drawRegionsAndPaths(Canvas &c)
{
    using namespace gdi;
    // Two squares wound the same way: with WINDING their overlap is filled.
    c.setPen({PS_SOLID, 0, rgb(0, 0, 0)});
    c.setBrush({BS_SOLID, rgb(150, 220, 150), 0});
    c.setPolyFillMode(WINDING);
    const std::vector<std::vector<Point>> squares{{{20, 480}, {80, 480}, {80, 540}, {20, 540}},
                                                  {{50, 510}, {110, 510}, {110, 570}, {50, 570}}};
    c.polyPolygon(squares);
    c.setPolyFillMode(ALTERNATE);

    // A path of curves: filled, then outlined with a wide pen's round caps.
    QPainterPath path;
    path.moveTo(130, 560);
    path.cubicTo(140, 470, 200, 470, 220, 560);
    path.closeSubpath();
    path.moveTo(130, 585);
    path.lineTo(220, 585);
    c.setBrush({BS_SOLID, rgb(250, 230, 160), 0});
    c.setPen({PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_ROUND | PS_JOIN_BEVEL, 4, rgb(120, 60, 0)});
    c.drawPath(path, true, true);

    // Dash lengths of the pen's own: in pixels, then in logical units.
    const quint32 cosmetic[] = {6, 2, 1, 2};
    c.setExtPen({PS_COSMETIC | PS_USERSTYLE, 0, rgb(0, 0, 160)}, cosmetic);
    c.moveTo(240, 480);
    c.lineTo(330, 480);
    const quint32 geometric[] = {12, 6};
    c.setExtPen({PS_GEOMETRIC | PS_USERSTYLE | PS_ENDCAP_FLAT, 3, rgb(160, 0, 160)}, geometric);
    c.moveTo(240, 495);
    c.lineTo(330, 495);
    c.setPen({PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_SQUARE | PS_JOIN_MITER, 6, rgb(0, 120, 120)});
    const std::vector<Point> corner{{245, 580}, {245, 515}, {325, 580}};
    c.polyline(corner);

    // Clipped to a path's outline, to rectangles, and with a hole.
    c.saveDC();
    QPainterPath round;
    round.addEllipse(QRectF(340, 475, 80, 110));
    c.selectClipPath(round, RGN_COPY);
    c.fillRect({330, 470, 430, 595}, {BS_HATCHED, rgb(200, 0, 0), HS_CROSS});
    c.restoreDC(-1);
    c.saveDC();
    const Rect cells[] = {{435, 475, 465, 505}, {465, 505, 495, 535}, {435, 535, 465, 565}};
    c.extSelectClipRects(cells, RGN_COPY);
    c.excludeClipRect({445, 485, 455, 495});
    c.fillRect({430, 470, 500, 570}, {BS_SOLID, rgb(90, 90, 90), 0});
    c.restoreDC(-1);

    // Gradients across, down and between a triangle's corners.
    const TriVertex v[] = {{510, 475, 0xff00, 0, 0, 0},      {570, 505, 0, 0, 0xff00, 0},
                           {580, 475, 0xff00, 0xff00, 0, 0}, {630, 505, 0, 0x8000, 0x8000, 0},
                           {510, 515, 0, 0xff00, 0, 0},      {630, 515, 0xff00, 0, 0xff00, 0},
                           {570, 590, 0, 0, 0xff00, 0}};
    const quint32 across[] = {0, 1}, down[] = {2, 3}, triangle[] = {4, 5, 6};
    c.gradientFill(v, across, GRADIENT_FILL_RECT_H);
    c.gradientFill(v, down, GRADIENT_FILL_RECT_V);
    c.gradientFill(v, triangle, GRADIENT_FILL_TRIANGLE);

    // Pattern brushes, a picture blended by its alpha, and an inverted band.
    c.setPen({PS_NULL, 0, 0});
    c.setPatternBrush(demoTile(false));
    c.rectangle({20, 575, 60, 595});
    c.setTextColor(rgb(160, 0, 0));
    c.setBkColor(rgb(255, 255, 200));
    c.setPatternBrush(demoTile(true));
    c.rectangle({65, 575, 105, 595});
    c.setBrush({BS_SOLID, rgb(255, 255, 255), 0});
    const QImage fade = demoAlphaBitmap();
    c.alphaBlend({580, 540, 620, 560}, {0, 0, fade.width(), fade.height()}, fade, 255);
    c.alphaBlend({580, 565, 620, 585}, {0, 0, fade.width(), fade.height()}, fade, 128);
    c.patBlt({20, 590, 620, 596}, DSTINVERT);
}

// Pens with brushes of their own, binary raster operations, solid hatch
// styles and a pen stretched by the transform.
void drawPensAndRasterOps(Canvas &c)
{
    using namespace gdi;
    c.setBkMode(OPAQUE);
    c.setBkColor(rgb(255, 255, 200));
    c.setExtPen({PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT, 10, rgb(0, 0, 160)}, {});
    c.setPenBrush({BS_HATCHED, rgb(0, 0, 160), HS_BDIAGONAL});
    c.moveTo(310, 405);
    c.lineTo(400, 405);
    c.setPenBrush({BS_DIBPATTERN, 0, 0}, demoTile(false));
    c.moveTo(310, 425);
    c.lineTo(400, 425);
    c.setPenBrush({BS_PATTERN, 0, 0}, demoTile(true));
    c.moveTo(310, 445);
    c.lineTo(400, 445);

    // An ellipse inverted over a band, and one XORed over it.
    c.setPen({PS_NULL, 0, 0});
    c.fillRect({410, 415, 520, 435}, {BS_SOLID, rgb(0, 120, 200), 0});
    c.setBrush({BS_SOLID, rgb(255, 255, 255), 0});
    c.setRop2(R2_NOT);
    c.ellipse({415, 395, 465, 455});
    c.setPen({PS_SOLID, 4, rgb(255, 200, 0)});
    c.setBrush({BS_SOLID, rgb(200, 40, 40), 0});
    c.setRop2(R2_XORPEN);
    c.ellipse({465, 395, 515, 455});
    c.setRop2(R2_COPYPEN);

    // Hatch styles that fill in the text and the background colour.
    c.setPen({PS_SOLID, 0, rgb(0, 0, 0)});
    c.setTextColor(rgb(0, 140, 70));
    c.setBrush({BS_HATCHED, rgb(0, 0, 0), HS_SOLIDTEXTCLR});
    c.rectangle({525, 395, 560, 423});
    c.setBrush({BS_HATCHED, rgb(0, 0, 0), HS_SOLIDBKCLR});
    c.rectangle({525, 427, 560, 455});

    // A square outlined under a scale of 1.5 across and 0.5 down: its sides
    // are thicker than its top and bottom.
    const QTransform outer = c.transform();
    c.setTransform(QTransform(1.5, 0, 0, 0.5, 565, 395) * outer);
    c.setPen({PS_GEOMETRIC | PS_SOLID | PS_JOIN_MITER, 8, rgb(120, 0, 120)});
    c.setBrush({BS_NULL, 0, 0});
    c.rectangle({4, 8, 32, 112});
    c.setTransform(outer);
}

} // namespace

void drawDemoScene(Canvas &c)
{
    using namespace gdi;
    // Background of the page.
    c.fillRect({0, 0, kDemoWidth, kDemoHeight}, {BS_SOLID, rgb(255, 255, 255), 0});

    // Lines: a one-pixel pen, a dotted pen and a wide pen.
    c.setPen({PS_SOLID, 0, rgb(0, 0, 0)});
    c.moveTo(20, 20);
    c.lineTo(300, 20);
    c.lineTo(300, 60);
    c.setPen({PS_DOT, 0, rgb(0, 0, 255)});
    c.moveTo(20, 40);
    c.lineTo(280, 40);
    c.setPen({PS_SOLID, 5, rgb(200, 0, 0)});
    c.moveTo(20, 60);
    c.lineTo(280, 60);
    c.setPen({PS_DASH, 0, rgb(0, 128, 0)});
    c.moveTo(20, 75);
    c.lineTo(280, 75);

    // Filled and hollow rectangles, rounded rectangles, ellipses.
    c.setPen({PS_SOLID, 1, rgb(0, 0, 0)});
    c.setBrush({BS_SOLID, rgb(255, 220, 120), 0});
    c.rectangle({20, 90, 100, 150});
    c.setBrush({BS_NULL, 0, 0});
    c.rectangle({110, 90, 190, 150});
    c.setBrush({BS_SOLID, rgb(120, 200, 255), 0});
    c.roundRect({200, 90, 290, 150}, 20, 20);
    c.setPen({PS_SOLID, 3, rgb(90, 0, 120)});
    c.setBrush({BS_HATCHED, rgb(90, 0, 120), HS_DIAGCROSS});
    c.ellipse({20, 160, 120, 230});
    c.setPen({PS_NULL, 0, 0});
    c.setBrush({BS_SOLID, rgb(0, 160, 80), 0});
    c.ellipse({130, 160, 200, 230});

    // Polylines and polygons.
    c.setPen({PS_SOLID, 2, rgb(0, 0, 0)});
    const std::vector<Point> zigzag{{210, 230}, {230, 170}, {250, 230}, {270, 170}, {290, 230}};
    c.polyline(zigzag);
    c.setPen({PS_SOLID, 0, rgb(128, 0, 0)});
    c.setBrush({BS_SOLID, rgb(255, 160, 160), 0});
    const std::vector<Point> star{{360, 20}, {375, 60}, {415, 60}, {383, 85}, {395, 125}, {360, 100}, {325, 125}, {337, 85}, {305, 60}, {345, 60}};
    c.polygon(star);

    // Clipping with save and restore.
    const int depth = c.saveDC();
    c.intersectClipRect({430, 20, 520, 90});
    c.setBrush({BS_SOLID, rgb(255, 128, 0), 0});
    c.setPen({PS_SOLID, 0, rgb(0, 0, 0)});
    c.ellipse({400, 0, 560, 120});
    c.restoreDC(depth);
    c.setBrush({BS_NULL, 0, 0});
    c.rectangle({430, 20, 520, 90});
    c.saveDC();
    c.intersectClipRect({540, 20, 620, 90});
    c.fillRect({520, 0, 640, 120}, {BS_SOLID, rgb(60, 60, 200), 0});
    c.selectClipRgnNone();
    c.fillRect({540, 95, 620, 105}, {BS_SOLID, rgb(60, 200, 60), 0});
    c.restoreDC(-1);

    // A 24-bit bitmap, at its size and stretched.
    const QImage bmp = demoBitmap();
    c.stretchDraw({430, 130, 478, 162}, bmp);
    c.setStretchBltMode(COLORONCOLOR);
    c.stretchDIBits({490, 130, 586, 194}, {0, 0, 48, 32}, bmp);

    // Text in three alignments, with transparent and opaque backgrounds.
    c.setFont(face(u"Arial", -16));
    c.setTextColor(rgb(0, 0, 0));
    c.setBkMode(TRANSPARENT);
    c.setTextAlign(TA_LEFT | TA_TOP);
    c.textOut(20, 250, demoText(0));
    c.setTextAlign(TA_CENTER | TA_TOP);
    c.textOut(320, 250, demoText(1));
    c.setTextAlign(TA_RIGHT | TA_TOP);
    c.textOut(620, 250, demoText(2));
    c.setPen({PS_SOLID, 0, rgb(200, 200, 200)});
    c.moveTo(320, 245);
    c.lineTo(320, 275);

    // CJK text in the worksheet's Kai face, opaque.
    c.setFont(face(u"標楷體", -32));
    c.setBkMode(OPAQUE);
    c.setBkColor(rgb(255, 255, 200));
    c.setTextColor(rgb(0, 0, 128));
    c.setTextAlign(TA_LEFT | TA_TOP);
    c.textOut(20, 290, demoText(3));
    c.textOut(220, 290, demoText(4));
    c.setFont(face(u"標楷體", -48, FW_BOLD));
    c.setTextColor(rgb(160, 0, 0));
    c.setBkMode(TRANSPARENT);
    c.textOut(400, 280, demoText(5));

    // An opaque box and clipped text.
    c.setFont(face(u"Arial", -14));
    c.setTextColor(rgb(255, 255, 255));
    c.setBkColor(rgb(0, 90, 160));
    const Rect box{20, 350, 200, 380};
    c.extTextOut(30, 356, ETO_OPAQUE, &box, demoText(6));
    c.setTextColor(rgb(0, 0, 0));
    const Rect clip{220, 350, 400, 380};
    c.setBrush({BS_NULL, 0, 0});
    c.setPen({PS_SOLID, 0, rgb(0, 0, 0)});
    c.rectangle({clip.left - 1, clip.top - 1, clip.right + 1, clip.bottom + 1});
    c.extTextOut(225, 356, ETO_CLIPPED, &clip, demoText(7));
    c.setTextAlign(TA_LEFT | TA_BASELINE);
    c.textOut(420, 370, demoText(8));
    c.setTextAlign(TA_LEFT | TA_BOTTOM);
    c.textOut(520, 370, demoText(9));

    // A metafile picture stretched into a box (and its outline).
    MetafileRecorder sub(100, 60);
    sub.setPen({PS_SOLID, 2, rgb(0, 0, 160)});
    sub.setBrush({BS_SOLID, rgb(220, 240, 255), 0});
    sub.rectangle({0, 0, 100, 60});
    sub.setBrush({BS_SOLID, rgb(250, 200, 0), 0});
    sub.ellipse({25, 10, 75, 50});
    const Metafile picture = sub.finish();
    c.stretchDrawMetafile({20, 395, 220, 455}, picture);
    c.stretchDrawMetafile({240, 395, 290, 425}, picture);

    drawRegionsAndPaths(c);
    drawPensAndRasterOps(c);
}

} // namespace emf
