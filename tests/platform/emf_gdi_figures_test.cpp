// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Metafiles drawn as the graphics interface draws them: paths fixed by the
// transform of their time, clipping to outlines and regions, fill modes, pen
// styles, caps and joins, and records the interface refuses. Every picture
// is checked at the 96 dpi it was made at and on a 600-dpi page, against
// pixel positions worked out here.
#include "emf_support.h"
#include "painter_support.h"

#include "platform/emf/emfregion.h"
#include "platform/metafilerecorder.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace emf;
using paintersupport::colorBounds;

namespace {

constexpr QRgb kRedRgb = 0xffff0000;
const gdi::ColorRef kRed = gdi::rgb(255, 0, 0);
constexpr quint32 kNullPen = 0x80000008;

// Red brush, no pen.
std::vector<Record> redFill()
{
    return {EMR_CREATEBRUSHINDIRECT{1, gdi::BS_SOLID, kRed, 0}, EMR_SELECTOBJECT{1}, EMR_SELECTOBJECT{kNullPen}};
}

// A red geometric pen of `style` and `width`.
std::vector<Record> redPen(quint32 style, quint32 width, std::vector<quint32> dashes = {})
{
    EMR_EXTCREATEPEN p;
    p.index = 2;
    p.style = style;
    p.width = width;
    p.color = kRed;
    p.styleEntries = std::move(dashes);
    return {p, EMR_SELECTOBJECT{2}, EMR_SELECTOBJECT{0x80000005}};
}

// The whole 96-pixel picture filled with the selected brush.
EMR_BITBLT fillAll()
{
    EMR_BITBLT b;
    b.cxDest = 96;
    b.cyDest = 96;
    b.rop = gdi::PATCOPY;
    return b;
}

using emfsupport::atBothResolutions;
using emfsupport::metafile;

// A rectangle of the metafile's pixels at `scale`.
QRect scaled(int x, int y, int w, int h, double s)
{
    return QRect(int(std::lround(x * s)), int(std::lround(y * s)), int(std::lround(w * s)), int(std::lround(h * s)));
}

bool in(double v, double lo, double hi) { return v >= lo && v < hi; }

} // namespace

TEST(EmfGdiPaths, PointsAreFixedByTheTransformInForceWhenAdded)
{
    // Two corners added under the identity, two after the transform moved
    // by (40, 40); the transform is reset before the path is filled.
    const auto moved = redFill() + std::vector<Record>{
                                       EMR_BEGINPATH{},
                                       EMR_MOVETOEX{{8, 8}},
                                       EMR_LINETO{{40, 8}},
                                       EMR_SETWORLDTRANSFORM{{1, 0, 0, 1, 40, 40}},
                                       EMR_LINETO{{0, 32}},
                                       EMR_LINETO{{-32, 32}},
                                       EMR_CLOSEFIGURE{},
                                       EMR_ENDPATH{},
                                       EMR_MODIFYWORLDTRANSFORM{{}, MWT_IDENTITY},
                                       EMR_FILLPATH{{}},
                                   };
    atBothResolutions(metafile(moved), [](const QImage &img, double s) {
        EXPECT_EQ(colorBounds(img, Qt::red), scaled(8, 8, 32, 64, s));
        EXPECT_EQ(emfsupport::mismatches(img, s, kRedRgb,
                                         [](double x, double y) { return in(x, 8, 40) && in(y, 8, 72); }),
                  0);
    });

    // Added under a scale of 2, filled after the scale is gone.
    const std::vector<gdi::Point> quad{{4, 4}, {20, 4}, {20, 36}};
    const auto shrunk = redFill() + std::vector<Record>{
                                        EMR_SETWORLDTRANSFORM{{2, 0, 0, 2, 0, 0}},
                                        EMR_BEGINPATH{},
                                        EMR_MOVETOEX{{4, 36}},
                                        EMR_POLYLINETO16{{}, {quad}},
                                        EMR_CLOSEFIGURE{},
                                        EMR_ENDPATH{},
                                        EMR_MODIFYWORLDTRANSFORM{{}, MWT_IDENTITY},
                                        EMR_FILLPATH{{}},
                                    };
    atBothResolutions(metafile(shrunk), [](const QImage &img, double s) {
        EXPECT_EQ(colorBounds(img, Qt::red), scaled(8, 8, 32, 64, s));
    });
}

TEST(EmfGdiPaths, ThePenIsScaledByTheTransformWhenThePathIsStroked)
{
    // A line added under the identity, stroked under a scale of 2 with a
    // geometric pen 4 units wide: 8 pixels wide, flat at its ends.
    const auto body = redPen(gdi::PS_GEOMETRIC | gdi::PS_ENDCAP_FLAT, 4) +
                      std::vector<Record>{EMR_BEGINPATH{}, EMR_MOVETOEX{{8, 48}}, EMR_LINETO{{88, 48}}, EMR_ENDPATH{},
                                          EMR_SETWORLDTRANSFORM{{2, 0, 0, 2, 0, 0}}, EMR_STROKEPATH{{}}};
    atBothResolutions(metafile(body), [](const QImage &img, double s) {
        EXPECT_EQ(colorBounds(img, Qt::red), scaled(8, 44, 80, 8, s));
    });
}

TEST(EmfGdiClip, SelectClipPathClipsToTheOutline)
{
    // A triangle below the line x + 2y = 96: its bounding box is the whole
    // top half, its outline only the part left of the diagonal.
    const std::vector<gdi::Point> rest{{96, 0}, {0, 48}};
    const auto body = redFill() + std::vector<Record>{EMR_BEGINPATH{},
                                                      EMR_MOVETOEX{{0, 0}},
                                                      EMR_POLYLINETO16{{}, {rest}},
                                                      EMR_CLOSEFIGURE{},
                                                      EMR_ENDPATH{},
                                                      EMR_SELECTCLIPPATH{gdi::RGN_COPY},
                                                      fillAll()};
    atBothResolutions(metafile(body), [](const QImage &img, double s) {
        EXPECT_EQ(emfsupport::mismatches(img, s, kRedRgb, [](double x, double y) { return x + 2 * y < 96; }), 0);
        EXPECT_FALSE(paintersupport::isInk(img, int(80 * s), int(20 * s))); // inside the box, outside the outline
    });

    // The recorder writes the same clip from a canvas path.
    MetafileRecorder rec(96, 96);
    QPainterPath triangle;
    triangle.moveTo(0, 0);
    triangle.lineTo(96, 0);
    triangle.lineTo(0, 48);
    triangle.closeSubpath();
    rec.selectClipPath(triangle, gdi::RGN_COPY);
    rec.fillRect({0, 0, 96, 96}, {gdi::BS_SOLID, kRed, 0});
    atBothResolutions(rec.finish(), [](const QImage &img, double s) {
        EXPECT_EQ(emfsupport::mismatches(img, s, kRedRgb, [](double x, double y) { return x + 2 * y < 96; }), 0);
    });
}

TEST(EmfGdiClip, RegionsOfSeveralRectanglesCombineByMode)
{
    // Two squares, a third joined to them, and a hole cut out of the first.
    const std::vector<gdi::Rect> two{{0, 0, 32, 32}, {64, 64, 96, 96}};
    const std::vector<gdi::Rect> third{{64, 0, 96, 32}};
    const QByteArray a = regionData(two), b = regionData(third);
    const auto body = redFill() + std::vector<Record>{EMR_EXTSELECTCLIPRGN{quint32(a.size()), gdi::RGN_COPY, {a}},
                                                      EMR_EXTSELECTCLIPRGN{quint32(b.size()), gdi::RGN_OR, {b}},
                                                      EMR_EXCLUDECLIPRECT{{8, 8, 24, 24}}, fillAll()};
    const auto inside = [](double x, double y) {
        const bool first = in(x, 0, 32) && in(y, 0, 32) && !(in(x, 8, 24) && in(y, 8, 24));
        return first || (in(x, 64, 96) && (in(y, 64, 96) || in(y, 0, 32)));
    };
    atBothResolutions(metafile(body), [&](const QImage &img, double s) {
        EXPECT_EQ(emfsupport::mismatches(img, s, kRedRgb, inside), 0);
    });
    // Intersecting with, and taking away, a region.
    const std::vector<gdi::Rect> band{{0, 16, 96, 80}};
    const QByteArray c = regionData(band);
    const auto andDiff = redFill() + std::vector<Record>{EMR_EXTSELECTCLIPRGN{quint32(a.size()), gdi::RGN_COPY, {a}},
                                                         EMR_EXTSELECTCLIPRGN{quint32(c.size()), gdi::RGN_AND, {c}},
                                                         fillAll(), EMR_EXTSELECTCLIPRGN{0, gdi::RGN_COPY, {}},
                                                         EMR_EXTSELECTCLIPRGN{quint32(c.size()), gdi::RGN_DIFF, {c}},
                                                         fillAll()};
    atBothResolutions(metafile(andDiff), [](const QImage &img, double s) {
        const auto inside = [](double x, double y) {
            const bool sq = (in(x, 0, 32) && in(y, 0, 32)) || (in(x, 64, 96) && in(y, 64, 96));
            return (sq && in(y, 16, 80)) || !in(y, 16, 80);
        };
        EXPECT_EQ(emfsupport::mismatches(img, s, kRedRgb, inside), 0);
    });
}

TEST(EmfGdiClip, APictureCannotClipItselfBeyondWhereItIsDrawn)
{
    // Playing into a clipped canvas: the picture's own clip is reset to
    // nothing and it fills everything, yet the canvas's clip holds.
    const Metafile mf = metafile(redFill() + std::vector<Record>{EMR_EXTSELECTCLIPRGN{0, gdi::RGN_COPY, {}}, fillAll()});
    QImage img = paintersupport::whiteImage(96, 96);
    {
        PainterCanvas c(&img);
        c.intersectClipRect({10, 10, 50, 50});
        mf.play(c, {0, 0, 96, 96});
    }
    EXPECT_EQ(colorBounds(img, Qt::red), QRect(10, 10, 40, 40));
}

TEST(EmfGdiFill, WindingFillsWhatTheOutlineWindsAround)
{
    // A pentagram: its centre is wound around twice.
    std::vector<gdi::Point> star;
    for (int k = 0; k < 5; ++k) {
        const double a = -M_PI / 2 + k * 4 * M_PI / 5;
        star.push_back({int(std::lround(48 + 44 * std::cos(a))), int(std::lround(48 + 44 * std::sin(a)))});
    }
    for (const quint32 mode : {quint32(gdi::ALTERNATE), quint32(gdi::WINDING)}) {
        SCOPED_TRACE(mode == gdi::WINDING ? "winding" : "alternate");
        const auto body = redFill() + std::vector<Record>{EMR_SETPOLYFILLMODE{mode}, EMR_POLYGON16{{}, {star}}};
        atBothResolutions(metafile(body), [&](const QImage &img, double s) {
            EXPECT_EQ(paintersupport::isColor(img, int(48 * s), int(50 * s), Qt::red), mode == gdi::WINDING);
            EXPECT_TRUE(paintersupport::isColor(img, int(48 * s), int(12 * s), Qt::red)); // a point of the star
        });
    }

    // Two squares wound the same way, as one poly-polygon and as a path:
    // the overlap is filled with WINDING and a hole with ALTERNATE.
    const std::vector<std::vector<gdi::Point>> squares{{{8, 8}, {56, 8}, {56, 56}, {8, 56}},
                                                       {{32, 32}, {88, 32}, {88, 88}, {32, 88}}};
    std::vector<Record> path{EMR_BEGINPATH{}};
    for (const auto &sq : squares) {
        path.push_back(EMR_MOVETOEX{sq[0]});
        path.push_back(EMR_POLYLINETO16{{}, {std::vector<gdi::Point>(sq.begin() + 1, sq.end())}});
        path.push_back(EMR_CLOSEFIGURE{});
    }
    path.push_back(EMR_ENDPATH{});
    path.push_back(EMR_FILLPATH{{}});
    for (const quint32 mode : {quint32(gdi::ALTERNATE), quint32(gdi::WINDING)}) {
        const auto inside = [&](double x, double y) {
            const bool a = in(x, 8, 56) && in(y, 8, 56), b = in(x, 32, 88) && in(y, 32, 88);
            return mode == gdi::WINDING ? a || b : a != b;
        };
        for (const auto &draw : {std::vector<Record>{EMR_POLYPOLYGON16{{}, {squares}}}, path}) {
            const auto body = redFill() + std::vector<Record>{EMR_SETPOLYFILLMODE{mode}} + draw;
            atBothResolutions(metafile(body), [&](const QImage &img, double s) {
                EXPECT_EQ(emfsupport::mismatches(img, s, kRedRgb, inside), 0) << "mode " << mode;
            });
        }
    }
}

TEST(EmfGdiPens, UserStylesDrawTheirOwnDashes)
{
    // A cosmetic pen counts its lengths in device pixels at any scale.
    const auto cosmetic = redPen(gdi::PS_COSMETIC | gdi::PS_USERSTYLE, 1, {3, 2, 1, 2}) +
                          std::vector<Record>{EMR_MOVETOEX{{0, 8}}, EMR_LINETO{{40, 8}}};
    atBothResolutions(metafile(cosmetic), [](const QImage &img, double s) {
        EXPECT_EQ(paintersupport::rowString(img, int(8 * s), 0, 23), QStringLiteral("###..#..###..#..###..#.."));
        EXPECT_EQ(colorBounds(img, Qt::red).height(), 1);
    });
    // A geometric pen counts them in logical units; flat caps end each dash
    // where its length ends.
    const auto geometric = redPen(gdi::PS_GEOMETRIC | gdi::PS_USERSTYLE | gdi::PS_ENDCAP_FLAT, 8, {16, 16}) +
                           std::vector<Record>{EMR_MOVETOEX{{0, 48}}, EMR_LINETO{{96, 48}}};
    atBothResolutions(metafile(geometric), [](const QImage &img, double s) {
        const int y = int(48 * s);
        for (int x = 0; x < img.width(); ++x) {
            const bool dash = int(std::floor(x / s / 16)) % 2 == 0;
            ASSERT_EQ(paintersupport::isColor(img, x, y, Qt::red), dash) << "x " << x;
        }
        EXPECT_EQ(colorBounds(img, Qt::red).height(), int(std::lround(8 * s)));
    });
    // Too many lengths: the pen is refused and the one before stays.
    const auto refused = redPen(gdi::PS_COSMETIC | gdi::PS_SOLID, 1) +
                         redPen(gdi::PS_COSMETIC | gdi::PS_USERSTYLE, 1, std::vector<quint32>(17, 1)) +
                         std::vector<Record>{EMR_MOVETOEX{{0, 8}}, EMR_LINETO{{40, 8}}};
    atBothResolutions(metafile(refused), [](const QImage &img, double s) {
        EXPECT_EQ(paintersupport::rowString(img, int(8 * s), 0, 9), QString(10, u'#'));
    });
}

TEST(EmfGdiPens, GeometricPensEndAndJoinAsTheyAreMade)
{
    // A line from (32, 48) to (64, 48), 16 units wide, with each end cap.
    for (const quint32 cap : {quint32(gdi::PS_ENDCAP_FLAT), quint32(gdi::PS_ENDCAP_SQUARE),
                              quint32(gdi::PS_ENDCAP_ROUND)}) {
        SCOPED_TRACE(cap);
        const auto body = redPen(gdi::PS_GEOMETRIC | cap, 16) +
                          std::vector<Record>{EMR_MOVETOEX{{32, 48}}, EMR_LINETO{{64, 48}}};
        atBothResolutions(metafile(body), [&](const QImage &img, double s) {
            const QRect r = colorBounds(img, Qt::red);
            const int reach = cap == gdi::PS_ENDCAP_FLAT ? 0 : 8;
            EXPECT_NEAR(r.left(), (32 - reach) * s, 1);
            EXPECT_NEAR(r.right() + 1, (64 + reach) * s, 1);
            EXPECT_NEAR(r.height(), 16 * s, 1);
            // Near the corner of a square cap: inked only when square.
            const int cx = int((32 - reach + 1.5) * s), cy = int((48 - 6.5) * s);
            if (cap != gdi::PS_ENDCAP_FLAT) {
                EXPECT_EQ(paintersupport::isColor(img, cx, cy, Qt::red), cap == gdi::PS_ENDCAP_SQUARE);
            }
        });
    }
    // A right-angled corner at (48, 80), its outside towards the lower right.
    for (const quint32 join : {quint32(gdi::PS_JOIN_MITER), quint32(gdi::PS_JOIN_BEVEL), quint32(gdi::PS_JOIN_ROUND)}) {
        SCOPED_TRACE(join);
        const std::vector<gdi::Point> corner{{16, 80}, {48, 80}, {48, 16}};
        const auto body = redPen(gdi::PS_GEOMETRIC | gdi::PS_ENDCAP_FLAT | join, 16) +
                          std::vector<Record>{EMR_POLYLINE16{{}, {corner}}};
        atBothResolutions(metafile(body), [&](const QImage &img, double s) {
            // Pixels 7 and 5 units out along the diagonal from the joint: the
            // first only in the mitre, the second in the mitre and the round.
            auto at = [&](double d) {
                return paintersupport::isColor(img, int((48 + d + 0.5) * s), int((80 + d + 0.5) * s), Qt::red);
            };
            EXPECT_EQ(at(7), join == gdi::PS_JOIN_MITER);
            EXPECT_EQ(at(5), join != gdi::PS_JOIN_BEVEL);
            EXPECT_TRUE(at(2)); // every join fills the inside of the corner
        });
    }
}

TEST(EmfGdiPens, AMitreReachesAsFarAsTheMitreLimitAllows)
{
    // Arms 19 degrees apart meeting at (48, 72): the mitre's length is 6 pen
    // widths. Within the default limit of 10 it is drawn, reaching 24 units
    // below the joint; with a limit of 4 the join is bevelled.
    const std::vector<gdi::Point> vee{{38, 13}, {48, 72}, {58, 13}};
    for (const quint32 limit : {0u, 4u}) {
        SCOPED_TRACE(limit);
        auto body = redPen(gdi::PS_GEOMETRIC | gdi::PS_ENDCAP_FLAT | gdi::PS_JOIN_MITER, 8);
        if (limit)
            body.push_back(EMR_SETMITERLIMIT{limit});
        body.push_back(EMR_POLYLINE16{{}, {vee}});
        atBothResolutions(metafile(body), [&](const QImage &img, double s) {
            EXPECT_EQ(paintersupport::isColor(img, int(48 * s), int(84 * s), Qt::red), limit == 0);
            EXPECT_TRUE(paintersupport::isColor(img, int(48 * s), int(72 * s), Qt::red)); // the joint
        });
    }
}

TEST(EmfGdiRefused, SingularTransformsAndZeroExtentsAreSkipped)
{
    // Each refused record leaves the mapping as it was: the square lands at
    // (8, 8)-(40, 40) either way.
    const auto square = std::vector<Record>{EMR_RECTANGLE{{8, 8, 40, 40}}};
    const auto world = redFill() + std::vector<Record>{EMR_SETWORLDTRANSFORM{{0, 0, 0, 0, 5, 5}},
                                                       EMR_MODIFYWORLDTRANSFORM{{1, 0, 2, 0, 0, 0}, MWT_LEFTMULTIPLY},
                                                       EMR_MODIFYWORLDTRANSFORM{{1, 1, 1, 1, 0, 0}, MWT_SET}} +
                       square;
    const auto extents = redFill() + std::vector<Record>{EMR_SETMAPMODE{8},
                                                         EMR_SETWINDOWEXTEX{{100, 100}},
                                                         EMR_SETVIEWPORTEXTEX{{50, 50}},
                                                         EMR_SETWINDOWEXTEX{{0, 100}},
                                                         EMR_SETVIEWPORTEXTEX{{50, 0}},
                                                         EMR_SCALEWINDOWEXTEX{0, 1, 1, 1},
                                                         EMR_RECTANGLE{{16, 16, 80, 80}}};
    for (const auto &body : {world, extents})
        atBothResolutions(metafile(body), [](const QImage &img, double s) {
            EXPECT_EQ(colorBounds(img, Qt::red), scaled(8, 8, 32, 32, s));
        });
}
