// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The record table: every kind of record written and read back, and damaged
// records rejected with the record's name and offset.
#include "emf_support.h"

#include "platform/emf/emfcodec.h"
#include "platform/emf/emfdib.h"
#include "platform/emf/emfregion.h"
#include "platform/rperror.h"

#include <gtest/gtest.h>

using namespace emf;

namespace {

RecordRef refOf(const QByteArray &bytes, quint32 offset = 0)
{
    return RecordRef{offset, qFromLittleEndian<quint32>(bytes.constData() + offset),
                     qFromLittleEndian<quint32>(bytes.constData() + offset + 4),
                     reinterpret_cast<const uchar *>(bytes.constData()) + offset};
}

Record roundTrip(const Record &r)
{
    const QByteArray bytes = encode(r);
    EXPECT_EQ(bytes.size() % 4, 0) << typeName(typeOf(r)).toStdString();
    EXPECT_EQ(qFromLittleEndian<quint32>(bytes.constData() + 4), quint32(bytes.size()));
    EXPECT_EQ(qFromLittleEndian<quint32>(bytes.constData()), typeOf(r));
    return decode(refOf(bytes));
}

// Every field a record has, written and read back: the bytes of the record
// read back equal the bytes written, and the decoded value is the original.
template <class T>
void expectRoundTrip(const T &rec, std::function<void(const T &, const T &)> same)
{
    const Record back = roundTrip(rec);
    ASSERT_TRUE(std::holds_alternative<T>(back)) << typeName(typeOf(rec)).toStdString();
    same(rec, std::get<T>(back));
    EXPECT_EQ(encode(back), encode(rec));
}

std::string errorOf(const QByteArray &bytes, quint32 offset = 0)
{
    try {
        decode(refOf(bytes, offset));
    } catch (const RpError &e) {
        return e.message().toStdString();
    }
    return "no error";
}

} // namespace

TEST(EmfCodec, TypeNamesComeFromTheTable)
{
    EXPECT_EQ(typeName(1), QStringLiteral("EMR_HEADER"));
    EXPECT_EQ(typeName(84), QStringLiteral("EMR_EXTTEXTOUTW"));
    EXPECT_EQ(typeName(81), QStringLiteral("EMR_STRETCHDIBITS"));
    EXPECT_EQ(typeName(70), QStringLiteral("EMR_GDICOMMENT"));
    EXPECT_EQ(typeName(9999), QStringLiteral("EMR_UNKNOWN_9999"));
    EXPECT_EQ(typeOf(EMR_LINETO{}), 54u);
    EXPECT_EQ(typeOf(EMR_POLYGON16{}), 86u);
    EXPECT_EQ(typeOf(Unknown{123}), 123u);
}

TEST(EmfCodec, SimpleRecordsRoundTrip)
{
    expectRoundTrip<EMR_LINETO>({{-5, 70000}}, [](auto &a, auto &b) { EXPECT_EQ(a.pt, b.pt); });
    expectRoundTrip<EMR_SETWINDOWEXTEX>({{1000, -2000}}, [](auto &a, auto &b) { EXPECT_EQ(a.size, b.size); });
    expectRoundTrip<EMR_SETTEXTCOLOR>({0x00123456}, [](auto &a, auto &b) { EXPECT_EQ(a.value, b.value); });
    expectRoundTrip<EMR_RESTOREDC>({-3}, [](auto &a, auto &b) { EXPECT_EQ(a.value, b.value); });
    expectRoundTrip<EMR_RECTANGLE>({{1, 2, 300, 400}}, [](auto &a, auto &b) { EXPECT_EQ(a.rect, b.rect); });
    expectRoundTrip<EMR_ROUNDRECT>({{1, 2, 3, 4}, {10, 20}}, [](auto &a, auto &b) {
        EXPECT_EQ(a.box, b.box);
        EXPECT_EQ(a.corner, b.corner);
    });
    expectRoundTrip<EMR_PIE>({{0, 0, 100, 50}, {100, 25}, {50, 0}}, [](auto &a, auto &b) {
        EXPECT_EQ(a.start, b.start);
        EXPECT_EQ(a.end, b.end);
    });
    expectRoundTrip<EMR_MODIFYWORLDTRANSFORM>({{2.5f, 0.5f, -0.5f, 3, 10.25f, -7}, MWT_LEFTMULTIPLY},
                                              [](auto &a, auto &b) {
                                                  EXPECT_EQ(a.xform, b.xform);
                                                  EXPECT_EQ(a.mode, b.mode);
                                              });
    expectRoundTrip<EMR_CREATEPEN>({3, gdi::PS_DOT, {7, 0}, 0xff}, [](auto &a, auto &b) {
        EXPECT_EQ(a.index, b.index);
        EXPECT_EQ(a.style, b.style);
        EXPECT_EQ(a.width, b.width);
        EXPECT_EQ(a.color, b.color);
    });
    expectRoundTrip<EMR_CREATEBRUSHINDIRECT>({2, gdi::BS_HATCHED, 0xff00, gdi::HS_CROSS}, [](auto &a, auto &b) {
        EXPECT_EQ(a.style, b.style);
        EXPECT_EQ(a.hatch, b.hatch);
    });
    EXPECT_EQ(encode(EMR_SAVEDC{}).size(), 8);
}

TEST(EmfCodec, PointListsRoundTripIn16And32BitForms)
{
    const std::vector<gdi::Point> pts{{0, 0}, {-32768, 32767}, {5, -6}};
    expectRoundTrip<EMR_POLYLINE16>({{0, 0, 9, 9}, {pts}}, [&](auto &, auto &b) { EXPECT_EQ(b.points.pts, pts); });
    EXPECT_EQ(encode(EMR_POLYLINE16{{}, {pts}}).size(), 8 + 16 + 4 + 3 * 4);
    const std::vector<gdi::Point> big{{100000, -100000}, {1, 2}};
    expectRoundTrip<EMR_POLYGON>({{}, {big}}, [&](auto &, auto &b) { EXPECT_EQ(b.points.pts, big); });

    const std::vector<std::vector<gdi::Point>> polys{{{0, 0}, {10, 0}, {10, 10}}, {{2, 2}, {3, 3}}};
    expectRoundTrip<EMR_POLYPOLYGON16>({{}, {polys}}, [&](auto &, auto &b) { EXPECT_EQ(b.points.polys, polys); });
    expectRoundTrip<EMR_POLYPOLYLINE>({{}, {polys}}, [&](auto &, auto &b) { EXPECT_EQ(b.points.polys, polys); });
}

TEST(EmfCodec, FontRecordIs368BytesAndKeepsTheLogicalFont)
{
    EMR_EXTCREATEFONTINDIRECTW r;
    r.index = 4;
    r.font.font.height = -32;
    r.font.font.weight = gdi::FW_BOLD;
    r.font.font.italic = 1;
    r.font.font.charSet = gdi::CHINESEBIG5_CHARSET;
    r.font.font.faceName = QStringLiteral("華康標楷筆順體");
    EXPECT_EQ(encode(r).size(), 368);
    expectRoundTrip<EMR_EXTCREATEFONTINDIRECTW>(r, [](auto &a, auto &b) {
        EXPECT_EQ(a.index, b.index);
        EXPECT_EQ(a.font.font, b.font.font);
    });
    // A face name longer than LOGFONTW holds keeps its first 31 units.
    r.font.font.faceName = QString(40, u'x');
    const Record back = roundTrip(r);
    EXPECT_EQ(std::get<EMR_EXTCREATEFONTINDIRECTW>(back).font.font.faceName, QString(31, u'x'));
}

TEST(EmfCodec, TextRecordsKeepTextRectangleAndAdvances)
{
    EMR_EXTTEXTOUTW w;
    w.bounds = {1, 2, 3, 4};
    w.text.reference = {10, 20};
    const QString s = QStringLiteral("班別：x");
    w.text.chars = QByteArray(reinterpret_cast<const char *>(s.utf16()), s.size() * 2);
    w.text.options = gdi::ETO_CLIPPED;
    w.text.rect = {5, 6, 70, 80};
    w.text.dx = {16, 16, 16, 7};
    expectRoundTrip<EMR_EXTTEXTOUTW>(w, [](auto &a, auto &b) { EXPECT_EQ(a.text, b.text); });
    // Fixed part 76 bytes, then the string (padded) and the advances.
    EXPECT_EQ(encode(w).size(), 76 + 8 + 16);

    EMR_EXTTEXTOUTA a;
    a.text.chars = "abc";
    a.text.dx = {1, 2, 3};
    expectRoundTrip<EMR_EXTTEXTOUTA>(a, [](auto &x, auto &y) { EXPECT_EQ(x.text, y.text); });
}

TEST(EmfCodec, BitmapRecordsCarryTheirPicture)
{
    QImage img(5, 3, QImage::Format_RGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            img.setPixel(x, y, qRgb(x * 50, y * 100, 7));
    EMR_STRETCHDIBITS r;
    r.xDest = 10;
    r.cxDest = 50;
    r.cyDest = 30;
    r.cxSrc = 5;
    r.cySrc = 3;
    r.dib = imageToDib(img);
    expectRoundTrip<EMR_STRETCHDIBITS>(r, [](auto &a, auto &b) {
        EXPECT_EQ(a.dib, b.dib);
        EXPECT_EQ(a.cxDest, b.cxDest);
        EXPECT_EQ(a.rop, b.rop);
    });
    bool bottomUp = false;
    const QImage back = dibToImage(r.dib.bmi, r.dib.bits, &bottomUp);
    EXPECT_TRUE(bottomUp);
    EXPECT_EQ(back, img.convertToFormat(QImage::Format_RGB32));

    EMR_STRETCHBLT s;
    s.cxSrc = 4;
    s.cySrc = 9;
    s.dib = r.dib;
    expectRoundTrip<EMR_STRETCHBLT>(s, [](auto &a, auto &b) {
        EXPECT_EQ(a.cxSrc, b.cxSrc);
        EXPECT_EQ(a.cySrc, b.cySrc);
        EXPECT_EQ(a.dib, b.dib);
    });
    // A pattern copy has no bitmap at all.
    expectRoundTrip<EMR_BITBLT>({}, [](auto &, auto &b) { EXPECT_TRUE(b.dib.bmi.isEmpty()); });
}

TEST(EmfCodec, HeaderWithDescriptionAndComment)
{
    EMR_HEADER h;
    h.bounds = {0, 0, 99, 49};
    h.frame = {0, 0, 2646, 1323};
    h.description = QStringLiteral("Tovrel") + QChar(0) + QStringLiteral("page 1");
    h.device = {100, 50};
    h.millimeters = {26, 13};
    h.micrometers = {26458, 13229};
    h.handles = 3;
    const QByteArray bytes = encode(h);
    EXPECT_GE(bytes.size(), 108);
    EXPECT_EQ(qFromLittleEndian<quint32>(bytes.constData() + 64), 108u); // offDescription after the full header
    expectRoundTrip<EMR_HEADER>(h, [](auto &a, auto &b) {
        EXPECT_EQ(a.description, b.description);
        EXPECT_EQ(a.micrometers, b.micrometers);
        EXPECT_TRUE(b.hasPixelFormat);
        EXPECT_TRUE(b.hasMicrometers);
        EXPECT_EQ(a.frame, b.frame);
    });

    EMR_GDICOMMENT c;
    c.data.data = "EMF+ or private data";
    c.cbData = quint32(c.data.data.size());
    expectRoundTrip<EMR_GDICOMMENT>(c, [](auto &a, auto &b) { EXPECT_EQ(a.data, b.data); });
}

TEST(EmfCodec, OlderShortHeadersAreRead)
{
    // An 88-byte header (no pixel format, no micrometres).
    EMR_HEADER h;
    h.hasPixelFormat = false;
    h.device = {640, 480};
    const QByteArray bytes = encode(h);
    EXPECT_EQ(bytes.size(), 88);
    const auto back = std::get<EMR_HEADER>(decode(refOf(bytes)));
    EXPECT_FALSE(back.hasPixelFormat);
    EXPECT_FALSE(back.hasMicrometers);
    EXPECT_EQ(back.device, h.device);
}

TEST(EmfCodec, UnknownRecordsAreKeptAsUnknown)
{
    QByteArray bytes(16, '\0');
    qToLittleEndian<quint32>(4242, bytes.data());
    qToLittleEndian<quint32>(16, bytes.data() + 4);
    const Record r = decode(refOf(bytes));
    ASSERT_TRUE(std::holds_alternative<Unknown>(r));
    EXPECT_EQ(std::get<Unknown>(r).type, 4242u);
}

TEST(EmfCodec, DamagedRecordsNameTheRecordAndOffset)
{
    // A count of points larger than the record.
    QByteArray poly = encode(EMR_POLYLINE16{{}, {{{1, 1}, {2, 2}}}});
    qToLittleEndian<quint32>(0x40000000, poly.data() + 24);
    QByteArray file = QByteArray(40, '\0') + poly;
    EXPECT_EQ(errorOf(file, 40),
              "Damaged metafile record EMR_POLYLINE16 at offset 40: count 1073741824 of points does not fit the record");

    // A string offset outside the record.
    EMR_EXTTEXTOUTW w;
    w.text.chars = QByteArray("a\0b\0", 4);
    QByteArray text = encode(w);
    qToLittleEndian<quint32>(0x7ffffff0, text.data() + 48);
    EXPECT_EQ(errorOf(text), "Damaged metafile record EMR_EXTTEXTOUTW at offset 0: offString lies outside the record");

    // A record shorter than its fixed fields.
    QByteArray rect = encode(EMR_RECTANGLE{{1, 2, 3, 4}});
    qToLittleEndian<quint32>(16, rect.data() + 4);
    EXPECT_EQ(errorOf(rect), "Damaged metafile record EMR_RECTANGLE at offset 0: record is shorter than its fields");

    // Figure counts that do not add up to the total.
    QByteArray pp = encode(EMR_POLYPOLYGON16{{}, {{{{0, 0}, {1, 1}}}}});
    qToLittleEndian<quint32>(5, pp.data() + 28);
    EXPECT_NE(errorOf(pp).find("EMR_POLYPOLYGON16 at offset 0"), std::string::npos);

    // Bitmap data beyond the record.
    EMR_STRETCHDIBITS s;
    s.dib = imageToDib(QImage(2, 2, QImage::Format_RGB32));
    QByteArray dib = encode(s);
    qToLittleEndian<quint32>(quint32(dib.size()), dib.data() + 60); // cbBits past the end
    EXPECT_EQ(errorOf(dib), "Damaged metafile record EMR_STRETCHDIBITS at offset 0: offBits lies outside the record");
}

TEST(EmfCodec, ScannerChecksSizesAgainstTheData)
{
    const QByteArray good = emfsupport::build({EMR_MOVETOEX{{1, 2}}, EMR_LINETO{{3, 4}}});
    {
        RecordScanner s{QByteArrayView(good)};
        RecordRef r;
        int n = 0;
        while (s.next(r))
            ++n;
        EXPECT_EQ(n, 4); // header, two records, EOF
    }
    auto scanError = [](const QByteArray &bytes) -> std::string {
        try {
            RecordScanner s{QByteArrayView(bytes)};
            RecordRef r;
            while (s.next(r)) {
            }
        } catch (const RpError &e) {
            return e.message().toStdString();
        }
        return "no error";
    };
    const quint32 lineTo = emfsupport::recordOffset(good, 2);
    const std::string at = " at offset " + std::to_string(lineTo) + ": ";

    QByteArray truncated = good.left(lineTo + 12);
    EXPECT_EQ(scanError(truncated), "Damaged metafile record EMR_LINETO" + at + "record of 16 bytes runs past the end of the data (12 bytes)");

    QByteArray oversized = good;
    qToLittleEndian<quint32>(0xfffffff0, oversized.data() + lineTo + 4);
    EXPECT_NE(scanError(oversized).find("EMR_LINETO" + at + "record of 4294967280 bytes runs past"), std::string::npos);

    // A size of 0 would never move on: rejected, not looped over.
    QByteArray looping = good;
    qToLittleEndian<quint32>(0, looping.data() + lineTo + 4);
    EXPECT_EQ(scanError(looping), "Damaged metafile record EMR_LINETO" + at + "record size 0 is invalid");

    QByteArray unaligned = good;
    qToLittleEndian<quint32>(14, unaligned.data() + lineTo + 4);
    EXPECT_EQ(scanError(unaligned), "Damaged metafile record EMR_LINETO" + at + "record size 14 is invalid");

    QByteArray noEof = good.left(int(emfsupport::recordOffset(good, 3)));
    EXPECT_NE(scanError(noEof).find("ends without an end-of-file record"), std::string::npos);

    QByteArray brokenHeader = good.left(lineTo + 5);
    EXPECT_NE(scanError(brokenHeader).find("ends inside a record header"), std::string::npos);
}

TEST(EmfDib, DecodesPalettesMasksAndRejectsShortData)
{
    // 1-bit, two-colour palette, bottom-up, 3 x 2.
    QByteArray bmi(40 + 8, '\0');
    qToLittleEndian<quint32>(40, bmi.data());
    qToLittleEndian<qint32>(3, bmi.data() + 4);
    qToLittleEndian<qint32>(2, bmi.data() + 8);
    qToLittleEndian<quint16>(1, bmi.data() + 12);
    qToLittleEndian<quint16>(1, bmi.data() + 14);
    bmi[40 + 4 + 0] = char(255); // entry 1: blue
    QByteArray bits(8, '\0');
    bits[0] = char(0xA0); // bottom row: 1 0 1
    const QImage img = dibToImage(bmi, bits);
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(img.pixel(0, 1), qRgb(0, 0, 255));
    EXPECT_EQ(img.pixel(1, 1), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(2, 1), qRgb(0, 0, 255));

    // Too few bits for the declared size: nothing is decoded.
    EXPECT_TRUE(dibToImage(bmi, bits.left(4)).isNull());
    // Absurd dimensions are refused before any allocation.
    QByteArray huge = bmi;
    qToLittleEndian<qint32>(1 << 30, huge.data() + 4);
    qToLittleEndian<qint32>(1 << 30, huge.data() + 8);
    EXPECT_TRUE(dibToImage(huge, bits).isNull());

    // 16 bits, 5-5-5.
    QByteArray b16(40, '\0');
    qToLittleEndian<quint32>(40, b16.data());
    qToLittleEndian<qint32>(1, b16.data() + 4);
    qToLittleEndian<qint32>(-1, b16.data() + 8); // top-down
    qToLittleEndian<quint16>(16, b16.data() + 14);
    QByteArray px(4, '\0');
    qToLittleEndian<quint16>(0x7c00, px.data()); // pure red
    bool bottomUp = true;
    const QImage red = dibToImage(b16, px, &bottomUp);
    EXPECT_FALSE(bottomUp);
    EXPECT_EQ(red.pixel(0, 0), qRgb(255, 0, 0));
}

TEST(EmfCodec, RegionGradientAndShortTextRecordsRoundTrip)
{
    const std::vector<gdi::Rect> rects{{0, 0, 10, 10}, {20, 5, 30, 15}};
    const QByteArray rgn = regionData(rects);
    expectRoundTrip<EMR_FRAMERGN>({{1, 2, 3, 4}, quint32(rgn.size()), 7, {2, 3}, {rgn}}, [&](auto &a, auto &b) {
        EXPECT_EQ(b.brush, 7u);
        EXPECT_EQ(b.stroke, (gdi::Size{2, 3}));
        EXPECT_EQ(regionRects(b.rgnData.data), rects);
        EXPECT_EQ(a.bounds, b.bounds);
    });
    // INVERTRGN has neither brush nor stroke: the region follows the count.
    EXPECT_EQ(encode(EMR_INVERTRGN{{}, quint32(rgn.size()), 0, {}, {rgn}}).size(), 8 + 16 + 4 + rgn.size());
    // Rectangles listed as a region's header counts them, or nothing.
    QByteArray lying = rgn;
    qToLittleEndian<quint32>(3, lying.data() + 8);
    EXPECT_FALSE(regionRects(lying).has_value());
    EXPECT_TRUE(regionRects(QByteArray(8, '\0'))->empty());

    EMR_GRADIENTFILL g;
    g.nVer = 3;
    g.nTri = 1;
    g.mode = gdi::GRADIENT_FILL_TRIANGLE;
    g.vertices = {{0, 0, 0xff00, 0, 0, 0}, {10, 0, 0, 0xff00, 0, 0}, {0, 10, 0, 0, 0xff00, 0x8000}};
    g.mesh = {0, 1, 2};
    expectRoundTrip<EMR_GRADIENTFILL>(g, [](auto &a, auto &b) {
        EXPECT_EQ(a.vertices, b.vertices);
        EXPECT_EQ(a.mesh, b.mesh);
    });
    // Rectangles are two indexes, also when a writer pads them to twelve
    // bytes as for a triangle.
    g.mode = gdi::GRADIENT_FILL_RECT_H;
    g.nTri = 2;
    g.mesh = {0, 1, 1, 2};
    QByteArray rects8 = encode(g);
    EXPECT_EQ(rects8.size(), 36 + 3 * 16 + 2 * 8);
    QByteArray rects12 = rects8.left(36 + 48);
    for (quint32 i : {0u, 1u, 0u, 1u, 2u, 0u}) {
        char b[4];
        qToLittleEndian<quint32>(i, b);
        rects12.append(b, 4);
    }
    qToLittleEndian<quint32>(quint32(rects12.size()), rects12.data() + 4);
    const auto padded = std::get<EMR_GRADIENTFILL>(decode(refOf(rects12)));
    EXPECT_EQ(padded.mesh, (std::vector<quint32>{0, 1, 1, 2}));
    // More vertices than the record holds.
    qToLittleEndian<quint32>(1000, rects8.data() + 24);
    EXPECT_EQ(errorOf(rects8), "Damaged metafile record EMR_GRADIENTFILL at offset 0: count 1000 of nVer does not fit the record");

    // SMALLTEXTOUT: 8-bit characters without a rectangle, or 16-bit with one.
    EMR_SMALLTEXTOUT t;
    t.reference = {5, 6};
    t.nChars = 3;
    t.options = ETO_SMALL_CHARS | ETO_NO_RECT;
    t.chars.data = "abc";
    EXPECT_EQ(encode(t).size(), 36 + 4);
    expectRoundTrip<EMR_SMALLTEXTOUT>(t, [](auto &a, auto &b) { EXPECT_EQ(a.chars, b.chars); });
    t.options = gdi::ETO_CLIPPED;
    t.clip = {1, 2, 3, 4};
    t.chars.data = QByteArray("a\0b\0c\0", 6);
    expectRoundTrip<EMR_SMALLTEXTOUT>(t, [](auto &a, auto &b) {
        EXPECT_EQ(a.clip, b.clip);
        EXPECT_EQ(a.chars, b.chars);
    });
    QByteArray tooMany = encode(t);
    qToLittleEndian<quint32>(0x80000000, tooMany.data() + 16);
    EXPECT_NE(errorOf(tooMany).find("EMR_SMALLTEXTOUT at offset 0: count"), std::string::npos);

    // POLYDRAW: a type byte per point.
    EMR_POLYDRAW16 pd{{}, {{{1, 2}, {3, 4}}}, {QByteArray("\x06\x02", 2)}};
    expectRoundTrip<EMR_POLYDRAW16>(pd, [](auto &a, auto &b) {
        EXPECT_EQ(a.points.pts, b.points.pts);
        EXPECT_EQ(a.types, b.types);
    });
}

TEST(EmfDib, AlphaAndMonochromeBitmaps)
{
    // Premultiplied alpha survives a 32-bit DIB; a colour above its alpha
    // (not premultiplied) is held to it.
    QImage pic(2, 1, QImage::Format_ARGB32_Premultiplied);
    pic.setPixel(0, 0, qRgba(10, 20, 30, 40));
    pic.setPixel(1, 0, qRgba(0, 0, 0, 0));
    Dib d = imageToAlphaDib(pic);
    EXPECT_EQ(dibToAlphaImage(d.bmi, d.bits).pixel(0, 0), qRgba(10, 20, 30, 40));
    EXPECT_EQ(dibToImage(d.bmi, d.bits).pixel(0, 0), qRgb(10, 20, 30)); // opaque when alpha is not asked for
    qToLittleEndian<quint32>(0x10ff0000, d.bits.data() + 4);              // red 255 at alpha 16
    EXPECT_EQ(dibToAlphaImage(d.bmi, d.bits).pixel(1, 0), qRgba(16, 0, 0, 16));

    // Monochrome: black is bit 0 whatever the image's own colour table.
    QImage mono(3, 1, QImage::Format_Mono);
    mono.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)}); // 0 white, 1 black
    mono.setPixel(0, 0, 1);
    mono.setPixel(1, 0, 0);
    mono.setPixel(2, 0, 1);
    const Dib md = monoImageToDib(mono);
    EXPECT_EQ(quint8(md.bits[0]) >> 5, 0b010u);
    const QImage back = dibToMonoImage(md.bmi, md.bits);
    ASSERT_EQ(back.format(), QImage::Format_Mono);
    EXPECT_EQ(back.pixelIndex(0, 0), 0);
    EXPECT_EQ(back.pixelIndex(1, 0), 1);
    EXPECT_EQ(back.pixel(0, 0), qRgb(0, 0, 0));
}
