// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Records other programs write that the player draws as the graphics
// interface does: blended and keyed bitmaps, gradients, regions, pattern
// brushes, short and glyph-index text, symbol faces and 8-bit code pages.
// Every picture is checked at 96 dpi and on a 600-dpi page.
#include "emf_support.h"
#include "painter_support.h"

#include "platform/emf/emfdib.h"
#include "platform/emf/emfregion.h"
#include "platform/fonts.h"
#include "platform/metafilerecorder.h"
#include "platform/symbolfonts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using namespace emf;
using paintersupport::colorBounds;
using paintersupport::inkBounds;

namespace {

constexpr QRgb kRedRgb = 0xffff0000;
const gdi::ColorRef kRed = gdi::rgb(255, 0, 0);
const gdi::ColorRef kGreen = gdi::rgb(0, 255, 0);

using emfsupport::atBothResolutions;
using emfsupport::metafile;

// The colour at the metafile's pixel (x, y).
QRgb at(const QImage &img, double s, double x, double y) { return img.pixel(int(x * s), int(y * s)) & 0xffffff; }

// Channels within `tolerance` of each other.
::testing::AssertionResult near(QRgb a, QRgb b, int tolerance = 2)
{
    if (std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
        std::abs(qBlue(a) - qBlue(b)) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << QColor(a).name().toStdString() << " is not " << QColor(b).name().toStdString();
}

bool in(double v, double lo, double hi) { return v >= lo && v < hi; }

EMR_EXTCREATEFONTINDIRECTW font(quint32 index, const QString &face, qint32 height, quint8 charSet = gdi::DEFAULT_CHARSET)
{
    EMR_EXTCREATEFONTINDIRECTW f;
    f.index = index;
    f.font.font.faceName = face;
    f.font.font.height = height;
    f.font.font.charSet = charSet;
    return f;
}

EMR_EXTTEXTOUTW wideText(gdi::Point at, const QString &s, quint32 options = 0)
{
    EMR_EXTTEXTOUTW t;
    t.text.reference = at;
    t.text.options = options;
    t.text.chars = QByteArray(reinterpret_cast<const char *>(s.utf16()), s.size() * 2);
    return t;
}

// Text records after a font and a transparent background.
QImage textPicture(const EMR_EXTCREATEFONTINDIRECTW &f, const std::vector<Record> &texts, int dpi = 96)
{
    return emfsupport::renderAt(metafile(std::vector<Record>{f, EMR_SELECTOBJECT{f.index}, EMR_SETBKMODE{1}} + texts),
                                dpi);
}

} // namespace

TEST(EmfGdiBitmaps, AlphaBlendMixesByThePicturesAlphaAndTheConstantAlpha)
{
    // Opaque red beside half-covering blue (premultiplied), over white.
    QImage pic(2, 1, QImage::Format_ARGB32_Premultiplied);
    pic.setPixel(0, 0, qRgba(255, 0, 0, 255));
    pic.setPixel(1, 0, qRgba(0, 0, 128, 128));
    EMR_ALPHABLEND perPixel;
    perPixel.cxDest = 96;
    perPixel.cyDest = 48;
    perPixel.cxSrc = 2;
    perPixel.cySrc = 1;
    perPixel.rop = (255u << 16) | (1u << 24); // constant 255, AC_SRC_ALPHA
    perPixel.dib = imageToAlphaDib(pic);
    // An opaque red picture at constant alpha 128.
    QImage red(1, 1, QImage::Format_RGB32);
    red.fill(Qt::red);
    EMR_ALPHABLEND constant;
    constant.yDest = 48;
    constant.cxDest = 96;
    constant.cyDest = 48;
    constant.cxSrc = 1;
    constant.cySrc = 1;
    constant.rop = 128u << 16;
    constant.dib = imageToDib(red);
    atBothResolutions(metafile({perPixel, constant}), [](const QImage &img, double s) {
        EXPECT_TRUE(near(at(img, s, 20, 20), qRgb(255, 0, 0)));
        // src + dst (1 - alpha): 128 blue + 127/255 of white.
        EXPECT_TRUE(near(at(img, s, 70, 20), qRgb(127, 127, 255)));
        // src * 128/255 + dst * 127/255.
        EXPECT_TRUE(near(at(img, s, 48, 70), qRgb(255, 127, 127)));
    });
    // The recorder writes the same blend.
    MetafileRecorder rec(96, 96);
    rec.alphaBlend({0, 0, 96, 48}, {0, 0, 2, 1}, pic, 255);
    rec.alphaBlend({0, 48, 96, 96}, {0, 0, 1, 1}, red, 128);
    atBothResolutions(rec.finish(), [](const QImage &img, double s) {
        EXPECT_TRUE(near(at(img, s, 70, 20), qRgb(127, 127, 255)));
        EXPECT_TRUE(near(at(img, s, 48, 70), qRgb(255, 127, 127)));
    });
}

TEST(EmfGdiBitmaps, BitFieldBitmapsKeepTheirAlphaWhereTheMasksLeaveTheTopByte)
{
    // An icon's corner: opaque red beside fully transparent pixels, as a
    // 32-bit bitmap with the masks 00FF0000, 0000FF00, 000000FF after a
    // 40-byte header, in a 52-byte header, and in a 124-byte header that
    // names its alpha mask; each blended by its own alpha over white, as
    // the same bitmap without masks is.
    QImage pic(2, 1, QImage::Format_ARGB32_Premultiplied);
    pic.setPixel(0, 0, qRgba(255, 0, 0, 255));
    pic.setPixel(1, 0, qRgba(0, 0, 0, 0));
    const Dib plain = imageToAlphaDib(pic);
    auto withMasks = [&](quint32 headerSize, bool masksAfter, quint32 alphaMask) {
        Dib d = plain;
        QByteArray bmi(int(headerSize), '\0');
        std::memcpy(bmi.data(), plain.bmi.constData(), 40);
        qToLittleEndian<quint32>(headerSize, bmi.data());
        qToLittleEndian<quint32>(3, bmi.data() + 16); // BI_BITFIELDS
        const quint32 masks[4] = {0x00ff0000, 0x0000ff00, 0x000000ff, alphaMask};
        QByteArray m(reinterpret_cast<const char *>(masks), masksAfter ? 12 : headerSize >= 56 ? 16 : 12);
        if (masksAfter)
            bmi.append(m);
        else
            bmi.replace(40, m.size(), m);
        d.bmi = bmi;
        return d;
    };
    const Dib forms[] = {plain, withMasks(40, true, 0), withMasks(52, false, 0), withMasks(124, false, 0xff000000)};
    std::vector<Record> body;
    for (int i = 0; i < 4; ++i) {
        EMR_ALPHABLEND b;
        b.yDest = 24 * i;
        b.cxDest = 96;
        b.cyDest = 24;
        b.cxSrc = 2;
        b.cySrc = 1;
        b.rop = (255u << 16) | (1u << 24); // constant 255, AC_SRC_ALPHA
        b.dib = forms[i];
        body.push_back(b);
    }
    atBothResolutions(metafile(body), [](const QImage &img, double s) {
        EXPECT_EQ(emfsupport::mismatches(img, s, kRedRgb, [](double x, double) { return x < 48; }), 0);
        EXPECT_EQ(paintersupport::countColor(img, Qt::white), img.width() * img.height() / 2);
    });
    // Copied rather than blended, the same bitmap is opaque: its transparent
    // pixels are the black their colour bytes hold.
    EMR_STRETCHDIBITS copy;
    copy.cxDest = 96;
    copy.cyDest = 96;
    copy.cxSrc = 2;
    copy.cySrc = 1;
    copy.dib = forms[2];
    atBothResolutions(metafile({copy}), [](const QImage &img, double s) {
        EXPECT_EQ(emfsupport::mismatches(img, s, qRgb(0, 0, 0), [](double x, double) { return x >= 48; }), 0);
    });
}

TEST(EmfGdiBitmaps, TransparentBltLeavesOutItsColourAndSetDIBitsToDeviceItsMissingRows)
{
    QImage pic(2, 1, QImage::Format_RGB32);
    pic.setPixel(0, 0, qRgb(255, 0, 0));
    pic.setPixel(1, 0, qRgb(0, 255, 0));
    EMR_TRANSPARENTBLT keyed;
    keyed.cxDest = 96;
    keyed.cyDest = 48;
    keyed.cxSrc = 2;
    keyed.cySrc = 1;
    keyed.rop = kGreen; // left out
    keyed.dib = imageToDib(pic);
    atBothResolutions(metafile({keyed}), [](const QImage &img, double s) {
        EXPECT_EQ(colorBounds(img, Qt::red), QRect(0, 0, int(48 * s), int(48 * s)));
        EXPECT_EQ(paintersupport::countColor(img, Qt::green), 0);
    });

    // Red over blue, 16 by 16, drawn at its size in logical units; then only
    // scan lines 8 to 15 (from the bottom: the red half) of the same bitmap.
    QImage halves(16, 16, QImage::Format_RGB32);
    halves.fill(Qt::blue);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x)
            halves.setPixel(x, y, qRgb(255, 0, 0));
    EMR_SETDIBITSTODEVICE whole;
    whole.xDest = 8;
    whole.yDest = 8;
    whole.cxSrc = 16;
    whole.cySrc = 16;
    whole.dib = imageToDib(halves);
    whole.scans = 16;
    EMR_SETDIBITSTODEVICE part = whole;
    part.xDest = 40;
    part.startScan = 8;
    part.scans = 8;
    part.dib.bits = part.dib.bits.mid(part.dib.bits.size() / 2); // the upper stored rows
    atBothResolutions(metafile({whole, part}), [](const QImage &img, double s) {
        EXPECT_EQ(emfsupport::mismatches(img, s, kRedRgb, [](double x, double y) {
                      return in(y, 8, 16) && (in(x, 8, 24) || in(x, 40, 56));
                  }),
                  0);
        EXPECT_EQ(emfsupport::mismatches(img, s, 0xff0000ff,
                                         [](double x, double y) { return in(y, 16, 24) && in(x, 8, 24); }),
                  0);
    });
}

TEST(EmfGdiGradients, RectanglesAndTrianglesAreShadedPixelByPixel)
{
    // Across from red at x 0 to blue at x 96 (top half), down from black at
    // y 48 to green at y 96 (bottom half): pixel x of a run from xa (ca) to xb
    // (cb) has ca + (cb - ca)(x - xa)/(xb - xa), in device pixels.
    EMR_GRADIENTFILL across;
    across.nVer = 2;
    across.nTri = 1;
    across.mode = gdi::GRADIENT_FILL_RECT_H;
    across.vertices = {{0, 0, 0xff00, 0, 0, 0}, {96, 48, 0, 0, 0xff00, 0}};
    across.mesh = {0, 1};
    EMR_GRADIENTFILL down = across;
    down.mode = gdi::GRADIENT_FILL_RECT_V;
    down.vertices = {{0, 48, 0, 0, 0, 0}, {96, 96, 0, 0xff00, 0, 0}};
    atBothResolutions(metafile({across, down}), [](const QImage &img, double s) {
        const int w = img.width(), half = int(48 * s);
        for (int x = 0; x < w; ++x) {
            const int r = (0xff00 * (w - x) / w) >> 8, b = (0xff00 * x / w) >> 8;
            ASSERT_TRUE(near(img.pixel(x, half / 2) & 0xffffff, qRgb(r, 0, b), 1)) << "x " << x;
        }
        for (int y = half; y < img.height(); ++y) {
            const int g = (0xff00 * (y - half) / (img.height() - half)) >> 8;
            ASSERT_TRUE(near(img.pixel(w / 3, y) & 0xffffff, qRgb(0, g, 0), 1)) << "y " << y;
        }
    });

    // A triangle: red (0, 0), green (96, 0), blue (0, 96), weighted by the
    // pixel's barycentric coordinates; nothing beyond the long edge.
    EMR_GRADIENTFILL tri;
    tri.nVer = 3;
    tri.nTri = 1;
    tri.mode = gdi::GRADIENT_FILL_TRIANGLE;
    tri.vertices = {{0, 0, 0xff00, 0, 0, 0}, {96, 0, 0, 0xff00, 0, 0}, {0, 96, 0, 0, 0xff00, 0}};
    tri.mesh = {0, 1, 2};
    atBothResolutions(metafile({tri}), [](const QImage &img, double s) {
        for (const auto &[x, y] : std::vector<std::pair<double, double>>{{10, 10}, {60, 20}, {20, 60}, {40, 40}}) {
            const double wg = x / 96, wb = y / 96, wr = 1 - wg - wb;
            EXPECT_TRUE(near(at(img, s, x, y), qRgb(int(255 * wr), int(255 * wg), int(255 * wb)), 3)) << x << "," << y;
        }
        EXPECT_EQ(at(img, s, 60, 60), 0xffffffu);
    });
}

TEST(EmfGdiRegions, FillFrameInvertAndPaintRegionsInLogicalUnits)
{
    const std::vector<gdi::Rect> two{{8, 8, 40, 40}, {56, 56, 88, 88}};
    const QByteArray twoData = regionData(two);
    const std::vector<gdi::Rect> one{{16, 16, 80, 64}};
    const QByteArray oneData = regionData(one);
    const auto greenBrush = std::vector<Record>{EMR_CREATEBRUSHINDIRECT{3, gdi::BS_SOLID, kGreen, 0}};

    // FILLRGN under a world transform of one half: the region is logical.
    const auto fill = greenBrush + std::vector<Record>{EMR_SETWORLDTRANSFORM{{0.5f, 0, 0, 0.5f, 0, 0}},
                                                      EMR_FILLRGN{{}, quint32(twoData.size()), 3, {}, {twoData}}};
    atBothResolutions(metafile(fill), [](const QImage &img, double s) {
        EXPECT_EQ(emfsupport::mismatches(img, s, 0xff00ff00, [](double x, double y) {
                      return (in(x, 4, 20) && in(y, 4, 20)) || (in(x, 28, 44) && in(y, 28, 44));
                  }),
                  0);
    });
    // FRAMERGN: 2 wide and 3 high inside the region's edge.
    const auto frame = greenBrush + std::vector<Record>{EMR_FRAMERGN{{}, quint32(oneData.size()), 3, {2, 3}, {oneData}}};
    atBothResolutions(metafile(frame), [](const QImage &img, double s) {
        // The frame's rectangles go to whole device pixels as any rectangle
        // does: each edge rounded.
        auto inRounded = [s](double v, double lo, double hi) {
            const double px = std::round(v * s);
            return px >= std::round(lo * s) && px < std::round(hi * s);
        };
        EXPECT_EQ(emfsupport::mismatches(img, s, 0xff00ff00, [&](double x, double y) {
                      const bool region = inRounded(x, 16, 80) && inRounded(y, 16, 64);
                      const bool inner = inRounded(x, 18, 78) && inRounded(y, 19, 61);
                      return region && !inner;
                  }),
                  0);
    });
    // INVERTRGN over red: cyan where inverted, twice is no change.
    EMR_BITBLT red;
    red.cxDest = 96;
    red.cyDest = 96;
    red.rop = gdi::PATCOPY;
    const auto invert = std::vector<Record>{EMR_CREATEBRUSHINDIRECT{1, gdi::BS_SOLID, kRed, 0}, EMR_SELECTOBJECT{1},
                                            red, EMR_INVERTRGN{{}, quint32(twoData.size()), 0, {}, {twoData}},
                                            EMR_INVERTRGN{{}, quint32(oneData.size()), 0, {}, {oneData}},
                                            EMR_INVERTRGN{{}, quint32(oneData.size()), 0, {}, {oneData}}};
    atBothResolutions(metafile(invert), [](const QImage &img, double s) {
        EXPECT_EQ(emfsupport::mismatches(img, s, 0xff00ffff, [](double x, double y) {
                      return (in(x, 8, 40) && in(y, 8, 40)) || (in(x, 56, 88) && in(y, 56, 88));
                  }),
                  0);
        EXPECT_EQ(at(img, s, 50, 50), 0xff0000u);
    });
    // PAINTRGN: the selected brush.
    const auto paint = greenBrush + std::vector<Record>{EMR_SELECTOBJECT{3},
                                                       EMR_PAINTRGN{{}, quint32(oneData.size()), 0, {}, {oneData}}};
    atBothResolutions(metafile(paint), [](const QImage &img, double s) {
        EXPECT_EQ(emfsupport::mismatches(img, s, 0xff00ff00,
                                         [](double x, double y) { return in(x, 16, 80) && in(y, 16, 64); }),
                  0);
    });
}

TEST(EmfGdiBrushes, PatternBrushesTileTheirPictureInDevicePixels)
{
    // 2 × 2 squares: red where (x/2 + y/2) is even, counted in device pixels
    // from the device's corner whatever the resolution.
    QImage tile(8, 8, QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            tile.setPixel(x, y, (x / 2 + y / 2) % 2 ? qRgb(255, 255, 255) : qRgb(255, 0, 0));
    const QImage mono = tile.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
    auto check = [](QRgb zero, QRgb one) {
        return [=](const QImage &img, double s) {
            const QRect area(int(8 * s), int(8 * s), int(80 * s), int(80 * s));
            ASSERT_EQ(inkBounds(img), area);
            for (int y = area.top(); y <= area.bottom(); ++y)
                for (int x = area.left(); x <= area.right(); ++x)
                    ASSERT_EQ(img.pixel(x, y) & 0xffffff, ((x / 2 + y / 2) % 2 ? one : zero) & 0xffffff)
                        << x << "," << y;
        };
    };
    EMR_BITBLT fill;
    fill.xDest = 8;
    fill.yDest = 8;
    fill.cxDest = 80;
    fill.cyDest = 80;
    fill.rop = gdi::PATCOPY;
    const auto dib = std::vector<Record>{EMR_CREATEDIBPATTERNBRUSHPT{1, 0, imageToDib(tile)}, EMR_SELECTOBJECT{1}, fill};
    atBothResolutions(metafile(dib), check(qRgb(255, 0, 0), qRgb(255, 255, 255)));
    // A monochrome brush: 0 bits in the text colour, 1 bits in the background's.
    const auto monoBrush = std::vector<Record>{EMR_SETTEXTCOLOR{gdi::rgb(0, 0, 255)},
                                               EMR_SETBKCOLOR{gdi::rgb(255, 255, 0)},
                                               EMR_CREATEMONOBRUSH{1, 0, monoImageToDib(mono)}, EMR_SELECTOBJECT{1},
                                               fill};
    atBothResolutions(metafile(monoBrush), check(qRgb(0, 0, 255), qRgb(255, 255, 0)));
    // Recorded from the canvas: the same tiles.
    MetafileRecorder rec(96, 96);
    rec.setPatternBrush(tile);
    rec.setPen({gdi::PS_NULL, 0, 0});
    rec.rectangle({8, 8, 88, 88});
    atBothResolutions(rec.finish(), check(qRgb(255, 0, 0), qRgb(255, 255, 255)));
}

TEST(EmfGdiText, SmallTextOutDrawsAsExtTextOut)
{
    const auto arial = font(1, QStringLiteral("Arial"), -20);
    const QString s = QStringLiteral("Tovrel");
    EMR_SMALLTEXTOUT small8;
    small8.reference = {10, 20};
    small8.nChars = quint32(s.size());
    small8.options = ETO_SMALL_CHARS | ETO_NO_RECT;
    small8.chars.data = s.toLatin1();
    EMR_SMALLTEXTOUT small16 = small8;
    small16.options = gdi::ETO_CLIPPED; // with a clip rectangle
    small16.clip = {10, 20, 40, 40};
    small16.chars.data = QByteArray(reinterpret_cast<const char *>(s.utf16()), s.size() * 2);
    // Listed for searching like the other text records.
    const auto texts = metafile({small8, small16}).textRecords();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, s);
    EXPECT_EQ(texts[1].text, s);
    EXPECT_EQ(texts[1].type, T_SMALLTEXTOUT);
    for (int dpi : {96, 600}) {
        SCOPED_TRACE(dpi);
        const QImage expected = textPicture(arial, {wideText({10, 20}, s)}, dpi);
        ASSERT_FALSE(inkBounds(expected).isEmpty());
        EXPECT_EQ(emfsupport::differingPixels(textPicture(arial, {small8}, dpi), expected, 0), 0);
        const QImage clipped = textPicture(arial, {small16}, dpi);
        EXPECT_FALSE(inkBounds(clipped).isEmpty());
        EXPECT_LE(inkBounds(clipped).right(), 40 * dpi / 96);
    }
}

TEST(EmfGdiText, GlyphIndexesAreReadBackWhereTheFaceIsHere)
{
    // DejaVu Sans is installed: its glyph numbers read back into characters.
    const auto dejavu = font(1, QStringLiteral("DejaVu Sans"), -20);
    const QString s = QStringLiteral("Tovrel 12");
    const QList<quint32> glyphs = fonts::resolve(dejavu.font.font)->rawFont().glyphIndexesForString(s);
    ASSERT_EQ(glyphs.size(), s.size());
    QString indexes;
    for (quint32 g : glyphs)
        indexes.append(QChar(char16_t(g)));
    for (int dpi : {96, 600}) {
        SCOPED_TRACE(dpi);
        const QImage expected = textPicture(dejavu, {wideText({10, 20}, s)}, dpi);
        ASSERT_FALSE(inkBounds(expected).isEmpty());
        const QImage fromGlyphs = textPicture(dejavu, {wideText({10, 20}, indexes, gdi::ETO_GLYPH_INDEX)}, dpi);
        EXPECT_EQ(emfsupport::differingPixels(fromGlyphs, expected, 0), 0);
    }
    // Played into a recorder, the text is recorded as characters.
    MetafileRecorder rec(96, 96);
    metafile({dejavu, EMR_SELECTOBJECT{1}, wideText({10, 20}, indexes, gdi::ETO_GLYPH_INDEX)}).play(rec, {0, 0, 96, 96});
    const auto texts = rec.finish().textRecords();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, s);

    // Arial is not: another face's glyph numbers would draw other letters,
    // so only the opaque box is drawn.
    const auto arial = font(1, QStringLiteral("Arial"), -20);
    ASSERT_FALSE(fonts::isFamilyInstalled(QStringLiteral("Arial")));
    EMR_EXTTEXTOUTW boxed = wideText({10, 20}, indexes, gdi::ETO_GLYPH_INDEX | gdi::ETO_OPAQUE);
    boxed.text.rect = {8, 16, 80, 48};
    atBothResolutions(metafile({arial, EMR_SELECTOBJECT{1}, EMR_SETBKCOLOR{gdi::rgb(0, 255, 0)}, boxed}),
                      [](const QImage &img, double s) {
                          EXPECT_EQ(inkBounds(img), QRect(int(8 * s), int(16 * s), int(72 * s), int(32 * s)));
                          EXPECT_EQ(paintersupport::countColor(img, Qt::green), int(72 * s) * int(32 * s));
                      });
}

TEST(EmfGdiText, SymbolFacesDrawTheCharactersTheirCodesStandFor)
{
    // The Symbol and Wingdings codes of the characters the issue names.
    const auto *symbol = fonts::symbolTable(QStringLiteral("Symbol"));
    const auto *wingdings = fonts::symbolTable(QStringLiteral("WINGDINGS"));
    ASSERT_TRUE(symbol && wingdings);
    EXPECT_EQ(fonts::symbolTable(QStringLiteral("Arial")), nullptr);
    EXPECT_EQ(fonts::symbolToUnicode(*symbol, U'a'), U'α');
    EXPECT_EQ(fonts::symbolToUnicode(*symbol, U'W'), U'Ω');
    EXPECT_EQ(fonts::symbolToUnicode(*symbol, 0xB9), U'≠');
    EXPECT_EQ(fonts::symbolToUnicode(*symbol, 0xA3), U'≤');
    EXPECT_EQ(fonts::symbolToUnicode(*symbol, 0xA5), U'∞');
    EXPECT_EQ(fonts::symbolToUnicode(*symbol, 0xF0D6), U'√'); // the private-use form
    EXPECT_EQ(fonts::symbolToUnicode(*symbol, 0x0D), char32_t(0x0D));
    EXPECT_EQ(fonts::symbolToUnicode(*wingdings, U'J'), U'☺');
    EXPECT_EQ(fonts::symbolToUnicode(*wingdings, 0xFC), U'✔');
    EXPECT_EQ(fonts::symbolToUnicode(*wingdings, U'('), U'🕿');

    // Drawn: the codes come out as the stand-in face draws those characters.
    const QString standIn = fonts::standInFamily(QStringLiteral("Symbol"), gdi::SYMBOL_CHARSET);
    const auto sym = font(1, QStringLiteral("Symbol"), -24, gdi::SYMBOL_CHARSET);
    const auto wing = font(1, QStringLiteral("Wingdings"), -24, gdi::SYMBOL_CHARSET);
    const auto plain = font(1, standIn, -24);
    for (int dpi : {96, 600}) {
        SCOPED_TRACE(dpi);
        const QImage greek = textPicture(plain, {wideText({4, 20}, QStringLiteral("αβπ≠≤∞"))}, dpi);
        ASSERT_FALSE(inkBounds(greek).isEmpty());
        const QString codes = QString::fromLatin1("abp\xb9\xa3\xa5");
        EXPECT_EQ(emfsupport::differingPixels(textPicture(sym, {wideText({4, 20}, codes)}, dpi), greek, 0), 0);
        EXPECT_EQ(emfsupport::differingPixels(
                      textPicture(sym, {wideText({4, 20}, QStringLiteral("\uf061\uf062\uf070\uf0b9\uf0a3\uf0a5"))}, dpi),
                      greek, 0),
                  0);
        EMR_EXTTEXTOUTA ansi;
        ansi.text.reference = {4, 20};
        ansi.text.chars = codes.toLatin1();
        EXPECT_EQ(emfsupport::differingPixels(textPicture(sym, {ansi}, dpi), greek, 0), 0);
        const QImage pictures = textPicture(plain, {wideText({4, 20}, QStringLiteral("☺✔✈"))}, dpi);
        EXPECT_EQ(emfsupport::differingPixels(textPicture(wing, {wideText({4, 20}, QStringLiteral("J\u00fcQ"))}, dpi),
                                              pictures, 0),
                  0);
    }

    // Recorded from the canvas: the record keeps the codes for other readers,
    // and plays back as drawn directly.
    MetafileRecorder rec(96, 48);
    rec.setFont(sym.font.font);
    rec.setBkMode(gdi::TRANSPARENT);
    rec.textOut(4, 10, QStringLiteral("abp"));
    const Metafile recorded = rec.finish();
    EXPECT_EQ(recorded.textRecords().at(0).text, QStringLiteral("abp"));
    QImage direct = paintersupport::whiteImage(96, 48);
    {
        PainterCanvas c(&direct);
        c.setFont(sym.font.font);
        c.setBkMode(gdi::TRANSPARENT);
        c.textOut(4, 10, QStringLiteral("abp"));
    }
    EXPECT_EQ(emfsupport::differingPixels(emfsupport::render(recorded, 96, 48), direct, 0), 0);
}

TEST(EmfGdiText, TheFacesAfterWingdingsDrawTheCharactersTheirCodesStandFor)
{
    // Wingdings 2's ballot boxes and circled one, Wingdings 3's triangles,
    // Webdings' check, cloud and wheelchair: where the faces are not here,
    // their codes draw as the stand-in draws those characters.
    const QString standIn = fonts::standInFamily(QStringLiteral("Wingdings 2"), gdi::SYMBOL_CHARSET);
    const auto plain = font(1, standIn, -24);
    const struct {
        const char *face;
        QString codes;
        QString chars;
    } cases[] = {{"Wingdings 2", QStringLiteral("RTj"), QStringLiteral("☑☒①")},
                 {"Wingdings 3", QStringLiteral("pqt"), QStringLiteral("▲▼◀")},
                 {"Webdings", QString::fromLatin1("a\xd9\xe9"), QStringLiteral("✔☁♿")}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.face);
        const auto *table = fonts::symbolTable(QString::fromLatin1(c.face).toUpper());
        ASSERT_TRUE(table);
        EXPECT_EQ(fonts::symbolToUnicode(*table, c.codes[0].unicode()), char32_t(c.chars[0].unicode()));
        const auto face = font(1, QString::fromLatin1(c.face), -24, gdi::SYMBOL_CHARSET);
        for (int dpi : {96, 600}) {
            SCOPED_TRACE(dpi);
            const QImage expected = textPicture(plain, {wideText({4, 20}, c.chars)}, dpi);
            ASSERT_FALSE(inkBounds(expected).isEmpty());
            EXPECT_EQ(emfsupport::differingPixels(textPicture(face, {wideText({4, 20}, c.codes)}, dpi), expected, 0), 0);
        }
    }
}

TEST(EmfGdiText, TextStretchedFarOneWayIsStillDrawn)
{
    // A mapping 32 times wider than high: the glyphs come out as filled
    // outlines spanning the stretched width.
    const auto arial = font(1, QStringLiteral("Arial"), -24);
    const auto body = std::vector<Record>{arial, EMR_SELECTOBJECT{1}, EMR_SETBKMODE{1}, EMR_SETMAPMODE{8},
                                          EMR_SETWINDOWEXTEX{{100, 3200}}, EMR_SETVIEWPORTEXTEX{{96, 96}},
                                          wideText({2, 200}, QStringLiteral("Tovrel"))};
    const auto plain = std::vector<Record>{arial, EMR_SELECTOBJECT{1}, EMR_SETBKMODE{1}, EMR_SETMAPMODE{8},
                                           EMR_SETWINDOWEXTEX{{100, 100}}, EMR_SETVIEWPORTEXTEX{{96, 96}},
                                           wideText({2, 6}, QStringLiteral("Tovrel"))};
    atBothResolutions(metafile(body), [&](const QImage &img, double s) {
        const QRect squashed = inkBounds(img);
        const QRect normal = inkBounds(emfsupport::renderAt(metafile(plain), int(96 * s)));
        ASSERT_FALSE(squashed.isEmpty());
        EXPECT_NEAR(squashed.width(), normal.width(), normal.width() / 8);
        EXPECT_LT(squashed.height() * 8, normal.height());
    });
}

TEST(EmfGdiText, EightBitTextFollowsItsCharacterSetsCodePage)
{
    const auto ansi = font(1, QStringLiteral("Arial"), -20, gdi::ANSI_CHARSET);
    const auto russian = font(1, QStringLiteral("Arial"), -20, 204);
    auto eight = [](const QByteArray &bytes) {
        EMR_EXTTEXTOUTA t;
        t.text.reference = {4, 20};
        t.text.chars = bytes;
        return t;
    };
    // Quotes and the euro of the Western code page; Cyrillic of the Russian.
    EXPECT_EQ(emfsupport::differingPixels(textPicture(ansi, {eight("\x93" "Tovrel\x94 \x80")}),
                                          textPicture(ansi, {wideText({4, 20}, QStringLiteral("“Tovrel” €"))}), 0),
              0);
    EXPECT_EQ(emfsupport::differingPixels(textPicture(russian, {eight("\xcf\xf0\xe8\xec\xe5\xf0")}),
                                          textPicture(russian, {wideText({4, 20}, QStringLiteral("Пример"))}), 0),
              0);
    EXPECT_GT(emfsupport::differingPixels(textPicture(ansi, {eight("\x93" "Tovrel\x94 \x80")}),
                                          textPicture(ansi, {wideText({4, 20}, QStringLiteral("\u0093Tovrel\u0094 \u0080"))}),
                                          0),
              0);
}

TEST(EmfGdiFigures, PolyDrawAndAngleArcDrawTheirLinesAndCurves)
{
    const auto pen = std::vector<Record>{EMR_CREATEPEN{2, gdi::PS_SOLID, {0, 0}, kRed}, EMR_SELECTOBJECT{2},
                                         EMR_SELECTOBJECT{0x80000005}};
    // A closed square by point types equals the outline of a polygon.
    const std::vector<gdi::Point> pts{{16, 16}, {80, 16}, {80, 80}, {16, 80}};
    const QByteArray types("\x06\x02\x02\x03", 4); // move, line, line, line and close
    const auto poly = pen + std::vector<Record>{EMR_POLYDRAW16{{}, {pts}, {types}}};
    const auto outline = pen + std::vector<Record>{EMR_POLYGON16{{}, {pts}}};
    for (int dpi : {96, 600}) {
        const QImage a = emfsupport::renderAt(metafile(poly), dpi), b = emfsupport::renderAt(metafile(outline), dpi);
        EXPECT_FALSE(inkBounds(b).isEmpty());
        EXPECT_EQ(emfsupport::differingPixels(a, b, 0), 0) << dpi;
    }
    // A Bézier point without its two companions: nothing is drawn.
    const auto broken = pen + std::vector<Record>{EMR_POLYDRAW16{{}, {pts}, {QByteArray("\x06\x04\x02\x02", 4)}}};
    EXPECT_TRUE(inkBounds(emfsupport::renderAt(metafile(broken), 96)).isEmpty());

    // From (16, 48) a line to the arc's start (80, 48), then a quarter circle
    // counter-clockwise to (48, 16); the position ends there.
    const auto arc = pen + std::vector<Record>{EMR_MOVETOEX{{16, 48}}, EMR_ANGLEARC{{48, 48}, 32, 0, 90},
                                               EMR_LINETO{{48, 8}}};
    atBothResolutions(metafile(arc), [](const QImage &img, double s) {
        const QRect r = colorBounds(img, Qt::red);
        EXPECT_NEAR(r.left(), 16 * s, 1);
        EXPECT_NEAR(r.right(), 80 * s, 1);
        EXPECT_NEAR(r.top(), 8 * s, 1);
        EXPECT_NEAR(r.bottom(), 48 * s, 1);
        EXPECT_TRUE(paintersupport::isColor(img, int(48 * s), int(12 * s), Qt::red)); // the line on from (48, 16)
    });
}
