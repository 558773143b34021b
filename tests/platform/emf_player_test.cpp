// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The player: mapping modes, world transforms, saved states, paths, clipping,
// bitmaps and damaged records, on hand-made metafiles.
#include "emf_support.h"
#include "painter_support.h"

#include "platform/emf/emfdib.h"
#include "platform/metafilerecorder.h"
#include "platform/rperror.h"

#include <gtest/gtest.h>

using namespace emf;
using paintersupport::colorBounds;

namespace {

const gdi::ColorRef kRed = gdi::rgb(255, 0, 0);

// Red brush, no pen: figures show exactly their filled area.
std::vector<Record> redFill()
{
    return {EMR_CREATEBRUSHINDIRECT{1, gdi::BS_SOLID, kRed, 0}, EMR_SELECTOBJECT{1}, EMR_SELECTOBJECT{0x80000008}};
}

QImage play(const std::vector<Record> &body, int size = 96, int pixels = 96)
{
    return emfsupport::render(Metafile::fromBytes(emfsupport::build(body, pixels)), size, size);
}

QRect redArea(const QImage &img) { return colorBounds(img, Qt::red); }

} // namespace

TEST(EmfPlayer, AnisotropicWindowAndViewportScaleTheDrawing)
{
    const auto body = redFill() + std::vector<Record>{EMR_SETMAPMODE{8}, EMR_SETWINDOWEXTEX{{1000, 1000}},
                                                      EMR_SETVIEWPORTEXTEX{{96, 96}},
                                                      EMR_RECTANGLE{{250, 250, 750, 750}}};
    EXPECT_EQ(redArea(play(body)), QRect(24, 24, 48, 48));
    // The frame mapped onto a target twice the size.
    EXPECT_EQ(redArea(play(body, 192)), QRect(48, 48, 96, 96));
    // Origins: window origin 250 moves the figure to the corner.
    const auto moved = redFill() + std::vector<Record>{EMR_SETMAPMODE{8}, EMR_SETWINDOWEXTEX{{1000, 1000}},
                                                       EMR_SETVIEWPORTEXTEX{{96, 96}}, EMR_SETWINDOWORGEX{{250, 250}},
                                                       EMR_SETVIEWPORTORGEX{{10, 0}},
                                                       EMR_RECTANGLE{{250, 250, 750, 750}}};
    EXPECT_EQ(redArea(play(moved)), QRect(10, 0, 48, 48));
}

TEST(EmfPlayer, IsotropicKeepsTheAspectAndMetricModesFlipY)
{
    const auto iso = redFill() + std::vector<Record>{EMR_SETMAPMODE{7}, EMR_SETWINDOWEXTEX{{100, 100}},
                                                     EMR_SETVIEWPORTEXTEX{{96, 48}},
                                                     EMR_RECTANGLE{{0, 0, 100, 100}}};
    EXPECT_EQ(redArea(play(iso)), QRect(0, 0, 48, 48));
    // 0.01 mm units, y up from a viewport origin at the bottom: one inch is
    // 96 pixels of the reference device.
    const auto himetric = redFill() + std::vector<Record>{EMR_SETMAPMODE{3}, EMR_SETVIEWPORTORGEX{{0, 96}},
                                                          EMR_RECTANGLE{{0, 2540, 1270, 1270}}};
    EXPECT_EQ(redArea(play(himetric)), QRect(0, 0, 48, 48));
    const auto lometric = redFill() + std::vector<Record>{EMR_SETMAPMODE{2}, EMR_SETVIEWPORTORGEX{{0, 96}},
                                                          EMR_RECTANGLE{{127, 127, 254, 0}}};
    EXPECT_EQ(redArea(play(lometric)), QRect(48, 48, 48, 48));
}

TEST(EmfPlayer, WorldTransformsCompose)
{
    const XForm scale2{2, 0, 0, 2, 0, 0};
    const XForm shift10{1, 0, 0, 1, 10, 0};
    const auto set = redFill() + std::vector<Record>{EMR_SETWORLDTRANSFORM{{2, 0, 0, 2, 10, 0}},
                                                     EMR_RECTANGLE{{0, 0, 10, 10}}};
    EXPECT_EQ(redArea(play(set)), QRect(10, 0, 20, 20));
    // Left multiply: the new transform applies first (scale, then shift).
    const auto left = redFill() + std::vector<Record>{EMR_SETWORLDTRANSFORM{shift10},
                                                      EMR_MODIFYWORLDTRANSFORM{scale2, MWT_LEFTMULTIPLY},
                                                      EMR_RECTANGLE{{0, 0, 10, 10}}};
    EXPECT_EQ(redArea(play(left)), QRect(10, 0, 20, 20));
    // Right multiply: it applies last (shift, then scale).
    const auto right = redFill() + std::vector<Record>{EMR_SETWORLDTRANSFORM{shift10},
                                                       EMR_MODIFYWORLDTRANSFORM{scale2, MWT_RIGHTMULTIPLY},
                                                       EMR_RECTANGLE{{0, 0, 10, 10}}};
    EXPECT_EQ(redArea(play(right)), QRect(20, 0, 20, 20));
    // A transform that is not a number is ignored rather than drawn with.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const auto bad = redFill() + std::vector<Record>{EMR_SETWORLDTRANSFORM{{nan, 0, 0, 1, 0, 0}},
                                                     EMR_RECTANGLE{{0, 0, 10, 10}}};
    EXPECT_EQ(redArea(play(bad)), QRect(0, 0, 10, 10));
}

TEST(EmfPlayer, SavedStatesBringBackMappingAndObjects)
{
    const auto body = redFill() + std::vector<Record>{
                                      EMR_SETMAPMODE{8},
                                      EMR_SETWINDOWEXTEX{{1, 1}},
                                      EMR_SETVIEWPORTEXTEX{{2, 2}},
                                      EMR_SAVEDC{},
                                      EMR_SETVIEWPORTEXTEX{{4, 4}},
                                      EMR_SELECTOBJECT{0x80000004}, // black brush
                                      EMR_RESTOREDC{-1},
                                      EMR_RECTANGLE{{5, 5, 10, 10}},
                                      EMR_RESTOREDC{-5}, // nothing saved that deep: ignored
                                      EMR_RESTOREDC{1},
                                  };
    EXPECT_EQ(redArea(play(body)), QRect(10, 10, 10, 10));
}

TEST(EmfPlayer, CanvasStateIsGivenBackAfterPlayback)
{
    QImage img = paintersupport::whiteImage(96, 96);
    PainterCanvas c(&img);
    c.setTextColor(gdi::rgb(1, 2, 3));
    c.setPen({gdi::PS_DOT, 0, gdi::rgb(4, 5, 6)});
    c.setTransform(QTransform::fromTranslate(3, 4));
    c.moveTo(7, 8);
    const auto body = redFill() + std::vector<Record>{EMR_SETTEXTCOLOR{0xff}, EMR_SETMAPMODE{8},
                                                      EMR_SETVIEWPORTEXTEX{{5, 5}}, EMR_SAVEDC{},
                                                      EMR_MOVETOEX{{50, 50}}, EMR_RECTANGLE{{0, 0, 4, 4}}};
    Metafile::fromBytes(emfsupport::build(body)).play(c, {0, 0, 96, 96});
    EXPECT_EQ(c.textColor(), gdi::rgb(1, 2, 3));
    EXPECT_EQ(c.pen(), (gdi::LogPen{gdi::PS_DOT, 0, gdi::rgb(4, 5, 6)}));
    EXPECT_EQ(c.transform(), QTransform::fromTranslate(3, 4));
    EXPECT_EQ(c.currentPosition(), (gdi::Point{7, 8}));
    // The playback went through the canvas's own transform.
    EXPECT_EQ(redArea(img), QRect(3, 4, 20, 20));
}

TEST(EmfPlayer, PathsAndPolyPolygonsKeepTheirHoles)
{
    const auto path = redFill() + std::vector<Record>{
                                      EMR_BEGINPATH{},       EMR_MOVETOEX{{10, 10}}, EMR_LINETO{{80, 10}},
                                      EMR_LINETO{{80, 80}},  EMR_LINETO{{10, 80}},   EMR_CLOSEFIGURE{},
                                      EMR_MOVETOEX{{30, 30}}, EMR_LINETO{{60, 30}},  EMR_LINETO{{60, 60}},
                                      EMR_LINETO{{30, 60}},  EMR_CLOSEFIGURE{},      EMR_ENDPATH{},
                                      EMR_FILLPATH{{}},
                                  };
    // The outer square as the canvas fills a polygon itself.
    const std::vector<gdi::Point> square{{10, 10}, {80, 10}, {80, 80}, {10, 80}};
    const QImage direct = play(redFill() + std::vector<Record>{EMR_POLYGON16{{}, {square}}});
    const QRect outer = redArea(direct);
    EXPECT_NEAR(outer.width(), 70, 1);

    const QImage a = play(path);
    EXPECT_EQ(redArea(a), outer);
    EXPECT_TRUE(paintersupport::isColor(a, 15, 45, Qt::red));
    EXPECT_FALSE(paintersupport::isInk(a, 45, 45)); // the hole

    const std::vector<std::vector<gdi::Point>> polys{{{10, 10}, {80, 10}, {80, 80}, {10, 80}},
                                                     {{30, 30}, {60, 30}, {60, 60}, {30, 60}}};
    const QImage b = play(redFill() + std::vector<Record>{EMR_POLYPOLYGON16{{}, {polys}}});
    EXPECT_EQ(redArea(b), outer);
    EXPECT_FALSE(paintersupport::isInk(b, 45, 45));
    // Nothing drawn while the path is being built.
    const QImage c = play(redFill() + std::vector<Record>{EMR_BEGINPATH{}, EMR_RECTANGLE{{0, 0, 50, 50}}, EMR_ENDPATH{},
                                                          EMR_ABORTPATH{}});
    EXPECT_TRUE(redArea(c).isEmpty());
}

TEST(EmfPlayer, CurvesAndArcsAreDrawn)
{
    const auto pen = std::vector<Record>{EMR_CREATEPEN{2, gdi::PS_SOLID, {0, 0}, kRed}, EMR_SELECTOBJECT{2}};
    const QImage bez = play(pen + std::vector<Record>{EMR_POLYBEZIER16{{}, {{{10, 50}, {30, 0}, {60, 100}, {80, 50}}}}});
    const QRect r = redArea(bez);
    EXPECT_EQ(r.left(), 10);
    EXPECT_NEAR(r.right(), 80, 1);
    EXPECT_GT(r.height(), 20);
    // The upper half of a circle, counter-clockwise from the right.
    const QImage arc = play(pen + std::vector<Record>{EMR_ARC{{10, 10, 90, 90}, {90, 50}, {10, 50}}});
    const QRect ar = redArea(arc);
    EXPECT_NEAR(ar.top(), 10, 1);
    EXPECT_NEAR(ar.bottom(), 50, 1);
    const QImage pie = play(redFill() + std::vector<Record>{EMR_PIE{{10, 10, 90, 90}, {90, 50}, {50, 10}}});
    EXPECT_TRUE(paintersupport::isColor(pie, 65, 35, Qt::red));
    EXPECT_FALSE(paintersupport::isInk(pie, 35, 65));
}

TEST(EmfPlayer, RegionClipAndPatternCopy)
{
    QByteArray rgn(32 + 16, '\0');
    qToLittleEndian<quint32>(32, rgn.data());
    qToLittleEndian<quint32>(1, rgn.data() + 4);
    qToLittleEndian<quint32>(1, rgn.data() + 8);
    for (int i = 0; i < 4; ++i)
        qToLittleEndian<qint32>(std::array<int, 4>{0, 0, 48, 96}[i], rgn.data() + 32 + 4 * i);
    EMR_BITBLT fill;
    fill.cxDest = 96;
    fill.cyDest = 96;
    fill.rop = 0x00F00021; // PATCOPY with the selected brush
    const QImage clipped = play(redFill() + std::vector<Record>{EMR_EXTSELECTCLIPRGN{quint32(rgn.size()), 5, {rgn}}, fill});
    EXPECT_EQ(redArea(clipped), QRect(0, 0, 48, 96));
    const QImage released = play(redFill() + std::vector<Record>{EMR_EXTSELECTCLIPRGN{quint32(rgn.size()), 5, {rgn}},
                                                                 EMR_EXTSELECTCLIPRGN{0, 5, {}}, fill});
    EXPECT_EQ(redArea(released), QRect(0, 0, 96, 96));
}

TEST(EmfPlayer, BitmapsKeepTheirOrientation)
{
    QImage pic(2, 2, QImage::Format_RGB32);
    pic.setPixel(0, 0, qRgb(255, 0, 0));
    pic.setPixel(1, 0, qRgb(255, 0, 0));
    pic.setPixel(0, 1, qRgb(0, 0, 255));
    pic.setPixel(1, 1, qRgb(0, 0, 255));
    EMR_STRETCHDIBITS s;
    s.xDest = 0;
    s.yDest = 0;
    s.cxDest = 96;
    s.cyDest = 96;
    s.cxSrc = 2;
    s.cySrc = 2;
    s.dib = imageToDib(pic);
    const QImage img = play({s});
    EXPECT_EQ(redArea(img), QRect(0, 0, 96, 48));
    EXPECT_EQ(colorBounds(img, Qt::blue), QRect(0, 48, 96, 48));
    // A negative destination height mirrors the picture.
    s.yDest = 96;
    s.cyDest = -96;
    const QImage flipped = play({s});
    EXPECT_EQ(redArea(flipped), QRect(0, 48, 96, 48));
}

TEST(EmfPlayer, UpsideDownMappingStillDrawsUprightText)
{
    gdi::LogFont f;
    f.faceName = QStringLiteral("Arial");
    f.height = -20;
    EMR_EXTCREATEFONTINDIRECTW font;
    font.index = 1;
    font.font.font = f;
    auto text = [](gdi::Point ref) {
        EMR_EXTTEXTOUTW t;
        const QString s = QStringLiteral("Ag");
        t.text.reference = ref;
        t.text.chars = QByteArray(reinterpret_cast<const char *>(s.utf16()), 4);
        return t;
    };
    const QImage upright = play({font, EMR_SELECTOBJECT{1}, EMR_SETBKMODE{1}, text({10, 20})});
    const QImage flippedAxis = play({font, EMR_SELECTOBJECT{1}, EMR_SETBKMODE{1}, EMR_SETMAPMODE{8},
                                     EMR_SETWINDOWEXTEX{{1, -1}}, EMR_SETVIEWPORTEXTEX{{1, 1}}, text({10, -20})});
    EXPECT_FALSE(paintersupport::inkBounds(upright).isEmpty());
    EXPECT_EQ(emfsupport::differingPixels(upright, flippedAxis, 0), 0);
}

TEST(EmfPlayer, UnknownRecordsAreSkipped)
{
    QByteArray bytes = emfsupport::build(redFill() + std::vector<Record>{EMR_RECTANGLE{{0, 0, 10, 10}}});
    // An unknown record type before the rectangle.
    const quint32 at = emfsupport::recordOffset(bytes, 4);
    QByteArray unknown(12, '\0');
    qToLittleEndian<quint32>(250, unknown.data());
    qToLittleEndian<quint32>(12, unknown.data() + 4);
    bytes.insert(at, unknown);
    EXPECT_EQ(redArea(emfsupport::render(Metafile::fromBytes(bytes), 96, 96)), QRect(0, 0, 10, 10));
}

TEST(EmfPlayer, DamagedRecordEndsPlaybackAndKeepsWhatWasDrawn)
{
    QByteArray bytes = emfsupport::build(redFill() + std::vector<Record>{EMR_RECTANGLE{{0, 0, 10, 10}},
                                                                         EMR_POLYLINE16{{}, {{{1, 1}, {2, 2}}}},
                                                                         EMR_RECTANGLE{{50, 50, 60, 60}}});
    const quint32 at = emfsupport::recordOffset(bytes, 5);
    qToLittleEndian<quint32>(1000, bytes.data() + at + 24); // point count beyond the record
    const Metafile mf = Metafile::fromBytes(bytes);
    QImage img = paintersupport::whiteImage(96, 96);
    {
        PainterCanvas c(&img);
        try {
            mf.play(c, {0, 0, 96, 96});
            ADD_FAILURE() << "no error";
        } catch (const RpError &e) {
            EXPECT_EQ(e.message(), QStringLiteral("Damaged metafile record EMR_POLYLINE16 at offset %1: "
                                                  "count 1000 of points does not fit the record")
                                       .arg(at));
        }
        EXPECT_EQ(c.saveDC(), 1); // the playback's saved states were given back
    }
    EXPECT_EQ(redArea(img), QRect(0, 0, 10, 10));
}

TEST(EmfMetafile, FromBytesRejectsWhatIsNotAMetafile)
{
    EXPECT_THROW(Metafile::fromBytes(QByteArray()), RpError);
    EXPECT_THROW(Metafile::fromBytes(QByteArray(200, 'x')), RpError);
    QByteArray bytes = emfsupport::build({});
    QByteArray badSig = bytes;
    badSig[40] = 'X';
    EXPECT_THROW(Metafile::fromBytes(badSig), RpError);
    QByteArray shortHeader = bytes;
    qToLittleEndian<quint32>(40, shortHeader.data() + 4);
    EXPECT_THROW(Metafile::fromBytes(shortHeader), RpError);
    QByteArray longHeader = bytes;
    qToLittleEndian<quint32>(1 << 20, longHeader.data() + 4);
    EXPECT_THROW(Metafile::fromBytes(longHeader), RpError);
    const Metafile mf = Metafile::fromBytes(bytes);
    EXPECT_EQ(mf.width(), 96);
    EXPECT_EQ(mf.handleCount(), 8);
}

TEST(EmfMetafile, MetafileInsideAMetafileOnAnyCanvas)
{
    MetafileRecorder inner(50, 50);
    inner.setBrush({gdi::BS_SOLID, kRed, 0});
    inner.setPen({gdi::PS_NULL, 0, 0});
    inner.rectangle({0, 0, 25, 25});
    const Metafile picture = inner.finish();
    // Straight onto an image.
    QImage img = paintersupport::whiteImage(200, 200);
    {
        PainterCanvas c(&img);
        c.stretchDrawMetafile({100, 100, 200, 200}, picture);
    }
    EXPECT_EQ(redArea(img), QRect(100, 100, 50, 50));
    // Into another recording, twice nested.
    MetafileRecorder middle(100, 100);
    middle.stretchDrawMetafile({0, 0, 100, 100}, picture);
    MetafileRecorder outer(200, 200);
    outer.stretchDrawMetafile({100, 0, 200, 100}, middle.finish());
    EXPECT_EQ(redArea(emfsupport::render(outer.finish(), 200, 200)), QRect(100, 0, 50, 50));
}

TEST(EmfMetafile, DrawingOutsideItsFrameIsPlacedWhereItIs)
{
    // The writer's frame says (0, 0) but everything is drawn above it.
    const auto body = redFill() + std::vector<Record>{EMR_RECTANGLE{{0, -96, 96, 0}}};
    const Metafile mf = Metafile::fromBytes(emfsupport::build(body, 96, 8, gdi::Rect{0, -96, 95, -1}));
    EXPECT_EQ(mf.frameTopPixels(), -96);
    EXPECT_EQ(redArea(emfsupport::render(mf, 96, 96)), QRect(0, 0, 96, 96));
    // A drawing that overlaps its frame keeps the frame.
    const Metafile inside = Metafile::fromBytes(emfsupport::build(body, 96, 8, gdi::Rect{0, -10, 95, 50}));
    EXPECT_EQ(inside.frameTopPixels(), 0);
}

TEST(EmfMetafile, GlyphIndexTextIsListedWithoutText)
{
    EMR_EXTTEXTOUTW glyphs;
    glyphs.text.options = gdi::ETO_GLYPH_INDEX;
    glyphs.text.chars = QByteArray("\x24\x00\x25\x00", 4);
    EMR_EXTTEXTOUTA ansi;
    ansi.text.reference = {3, 4};
    ansi.text.chars = "caf\xe9";
    const Metafile mf = Metafile::fromBytes(emfsupport::build({glyphs, ansi}));
    const auto texts = mf.textRecords();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_TRUE(texts[0].text.isEmpty());
    EXPECT_EQ(texts[1].text, QStringLiteral("caf\u00e9"));
    EXPECT_EQ(texts[1].reference, (gdi::Point{3, 4}));
    EXPECT_EQ(texts[1].type, T_EXTTEXTOUTA);
}
