// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The enhanced-metafile records this program reads, writes and plays.
//
// Every record is a struct whose `io(v)` member lists its fields in file
// order; the same list drives the decoder (bounds-checked), the encoder and
// the dump. EMF_RECORDS is the one table of record types: it yields the
// `Record` variant, the type names and the type-to-struct dispatch, so a
// record added here and not handled by the player fails to compile.
#include "platform/gdi.h"

#include <QByteArray>
#include <QString>
#include <algorithm>
#include <variant>
#include <vector>

namespace emf {

// A 2x3 affine matrix: x' = m11 x + m21 y + dx, y' = m12 x + m22 y + dy.
struct XForm {
    float m11 = 1, m12 = 0, m21 = 0, m22 = 1, dx = 0, dy = 0;
    friend bool operator==(const XForm &, const XForm &) = default;
};

// --- field kinds beyond plain numbers -----------------------------------------
// A count followed by that many points (16- or 32-bit coordinates).
template <bool Short>
struct Points {
    std::vector<gdi::Point> pts;
    friend bool operator==(const Points &, const Points &) = default;
};
// nPolys, total point count, the count of every figure, then all points.
template <bool Short>
struct PolyPoints {
    std::vector<std::vector<gdi::Point>> polys;
    friend bool operator==(const PolyPoints &, const PolyPoints &) = default;
};
// offBmi, cbBmi, offBits, cbBits: a device-independent bitmap stored after
// the fixed part of the record.
struct Dib {
    QByteArray bmi;
    QByteArray bits;
    friend bool operator==(const Dib &, const Dib &) = default;
};
// The EMRTEXT structure of the text-output records.
struct Text {
    gdi::Point reference;
    QByteArray chars; // UTF-16LE for EXTTEXTOUTW, 8-bit for EXTTEXTOUTA
    quint32 options = 0;
    gdi::Rect rect;
    std::vector<qint32> dx; // one per character, two when ETO_PDY is set
    friend bool operator==(const Text &, const Text &) = default;
};
// LOGFONTW (92 bytes).
struct LogFontW {
    gdi::LogFont font;
    friend bool operator==(const LogFontW &, const LogFontW &) = default;
};
// Bytes whose count was stored earlier in the record.
struct Bytes {
    QByteArray data;
    friend bool operator==(const Bytes &, const Bytes &) = default;
};

enum : quint32 { ETO_NO_RECT = 0x0100, ETO_SMALL_CHARS = 0x0200, ETO_PDY = 0x2000 };

// --- the records -------------------------------------------------------------

struct EmrHeader {
    gdi::Rect bounds;  // inclusive, device pixels
    gdi::Rect frame;   // inclusive, 0.01 mm
    quint32 signature = 0x464D4520; // " EMF"
    quint32 version = 0x10000;
    quint32 bytes = 0;
    quint32 records = 0;
    quint16 handles = 0;
    quint16 reserved = 0;
    QString description; // stored as nDescription, offDescription
    quint32 palEntries = 0;
    gdi::Size device;      // pixels
    gdi::Size millimeters; // millimetres
    bool hasPixelFormat = true;
    quint32 cbPixelFormat = 0;
    quint32 offPixelFormat = 0;
    quint32 openGL = 0;
    bool hasMicrometers = true;
    gdi::Size micrometers;
    template <class V>
    void io(V &v)
    {
        v("bounds", bounds);
        v("frame", frame);
        v("signature", signature);
        v("version", version);
        v("bytes", bytes);
        v("records", records);
        v("handles", handles);
        v("reserved", reserved);
        v.description("description", description);
        v("palEntries", palEntries);
        v("device", device);
        v("millimeters", millimeters);
        if (!v.optional(12, hasPixelFormat)) {
            hasMicrometers = false;
            return;
        }
        v("cbPixelFormat", cbPixelFormat);
        v("offPixelFormat", offPixelFormat);
        v("openGL", openGL);
        if (!v.optional(8, hasMicrometers))
            return;
        v("micrometers", micrometers);
    }
};

struct EmrEof {
    quint32 palEntries = 0;
    quint32 offPalEntries = 16;
    quint32 sizeLast = 20;
    template <class V>
    void io(V &v)
    {
        v("palEntries", palEntries);
        v("offPalEntries", offPalEntries);
        // The palette, when present, would stand between here and sizeLast;
        // sizeLast is the last 32-bit word of the record.
        v.last("sizeLast", sizeLast);
    }
};

// Records without fields.
template <quint32 N>
struct Empty {
    template <class V>
    void io(V &)
    {
    }
};

// One 32-bit value (a mode, a colour, an object index).
template <quint32 N>
struct U32 {
    quint32 value = 0;
    template <class V>
    void io(V &v)
    {
        v("value", value);
    }
};

template <quint32 N>
struct I32 {
    qint32 value = 0;
    template <class V>
    void io(V &v)
    {
        v("value", value);
    }
};

template <quint32 N>
struct PointRec {
    gdi::Point pt;
    template <class V>
    void io(V &v)
    {
        v("point", pt);
    }
};

template <quint32 N>
struct SizeRec {
    gdi::Size size;
    template <class V>
    void io(V &v)
    {
        v("size", size);
    }
};

template <quint32 N>
struct RectRec {
    gdi::Rect rect;
    template <class V>
    void io(V &v)
    {
        v("rect", rect);
    }
};

template <quint32 N, bool Short>
struct PolyRec {
    gdi::Rect bounds;
    Points<Short> points;
    template <class V>
    void io(V &v)
    {
        v("bounds", bounds);
        v("points", points);
    }
};

template <quint32 N, bool Short>
struct PolyPolyRec {
    gdi::Rect bounds;
    PolyPoints<Short> points;
    template <class V>
    void io(V &v)
    {
        v("bounds", bounds);
        v("polys", points);
    }
};

template <quint32 N>
struct ArcRec {
    gdi::Rect box;
    gdi::Point start;
    gdi::Point end;
    template <class V>
    void io(V &v)
    {
        v("box", box);
        v("start", start);
        v("end", end);
    }
};

struct EmrRoundRect {
    gdi::Rect box;
    gdi::Size corner;
    template <class V>
    void io(V &v)
    {
        v("box", box);
        v("corner", corner);
    }
};

template <quint32 N>
struct ScaleExtRec {
    qint32 xNum = 1, xDenom = 1, yNum = 1, yDenom = 1;
    template <class V>
    void io(V &v)
    {
        v("xNum", xNum);
        v("xDenom", xDenom);
        v("yNum", yNum);
        v("yDenom", yDenom);
    }
};

struct EmrSetWorldTransform {
    XForm xform;
    template <class V>
    void io(V &v)
    {
        v("xform", xform);
    }
};

enum : quint32 { MWT_IDENTITY = 1, MWT_LEFTMULTIPLY = 2, MWT_RIGHTMULTIPLY = 3, MWT_SET = 4 };

struct EmrModifyWorldTransform {
    XForm xform;
    quint32 mode = MWT_IDENTITY;
    template <class V>
    void io(V &v)
    {
        v("xform", xform);
        v("mode", mode);
    }
};

struct EmrSetPixelV {
    gdi::Point pt;
    gdi::ColorRef color = 0;
    template <class V>
    void io(V &v)
    {
        v("point", pt);
        v("color", color);
    }
};

struct EmrCreatePen {
    quint32 index = 0;
    quint32 style = 0;
    gdi::Point width; // only x counts
    gdi::ColorRef color = 0;
    template <class V>
    void io(V &v)
    {
        v("index", index);
        v("style", style);
        v("width", width);
        v("color", color);
    }
};

struct EmrExtCreatePen {
    quint32 index = 0;
    Dib dib;
    quint32 style = 0;
    quint32 width = 0;
    quint32 brushStyle = 0;
    gdi::ColorRef color = 0;
    quint32 hatch = 0;
    std::vector<quint32> styleEntries;
    template <class V>
    void io(V &v)
    {
        v("index", index);
        v("dib", dib);
        v("style", style);
        v("width", width);
        v("brushStyle", brushStyle);
        v("color", color);
        v("hatch", hatch);
        v.array("styleEntries", styleEntries);
    }
};

struct EmrCreateBrushIndirect {
    quint32 index = 0;
    quint32 style = 0;
    gdi::ColorRef color = 0;
    quint32 hatch = 0;
    template <class V>
    void io(V &v)
    {
        v("index", index);
        v("style", style);
        v("color", color);
        v("hatch", hatch);
    }
};

template <quint32 N>
struct PatternBrushRec {
    quint32 index = 0;
    quint32 usage = 0;
    Dib dib;
    template <class V>
    void io(V &v)
    {
        v("index", index);
        v("usage", usage);
        v("dib", dib);
    }
};

struct EmrExtCreateFontIndirectW {
    quint32 index = 0;
    LogFontW font;
    template <class V>
    void io(V &v)
    {
        v("index", index);
        v("font", font);
        // The rest of ENUMLOGFONTEXDV (full name, style, script, design
        // vector) is written empty and not read.
        v.padTo(368);
    }
};

template <quint32 N>
struct TextOutRec {
    gdi::Rect bounds;
    quint32 graphicsMode = 1;
    float exScale = 0;
    float eyScale = 0;
    Text text;
    template <class V>
    void io(V &v)
    {
        v("bounds", bounds);
        v("graphicsMode", graphicsMode);
        v("exScale", exScale);
        v("eyScale", eyScale);
        v.text("text", text, N == 84);
    }
};

struct EmrExtSelectClipRgn {
    quint32 cbRgnData = 0;
    quint32 mode = 0;
    Bytes rgnData;
    template <class V>
    void io(V &v)
    {
        v("cbRgnData", cbRgnData);
        v("mode", mode);
        v.bytes("rgnData", rgnData, cbRgnData);
    }
};

struct EmrGdiComment {
    quint32 cbData = 0;
    Bytes data;
    template <class V>
    void io(V &v)
    {
        v("cbData", cbData);
        v.bytes("data", data, cbData);
    }
};

// BITBLT (76), and with the source size at the end STRETCHBLT (77),
// ALPHABLEND (114, `rop` holds the blend function) and TRANSPARENTBLT (116,
// `rop` holds the colour left out).
template <quint32 N>
struct BltRec {
    gdi::Rect bounds;
    qint32 xDest = 0, yDest = 0, cxDest = 0, cyDest = 0;
    quint32 rop = gdi::SRCCOPY;
    qint32 xSrc = 0, ySrc = 0;
    XForm xformSrc;
    gdi::ColorRef bkColorSrc = 0;
    quint32 usageSrc = 0;
    Dib dib;
    qint32 cxSrc = 0, cySrc = 0;
    template <class V>
    void io(V &v)
    {
        v("bounds", bounds);
        v("xDest", xDest);
        v("yDest", yDest);
        v("cxDest", cxDest);
        v("cyDest", cyDest);
        v("rop", rop);
        v("xSrc", xSrc);
        v("ySrc", ySrc);
        v("xformSrc", xformSrc);
        v("bkColorSrc", bkColorSrc);
        v("usageSrc", usageSrc);
        v("dib", dib);
        if constexpr (N == 77 || N == 114 || N == 116) {
            v("cxSrc", cxSrc);
            v("cySrc", cySrc);
        }
    }
};

struct EmrStretchDIBits {
    gdi::Rect bounds;
    qint32 xDest = 0, yDest = 0, xSrc = 0, ySrc = 0, cxSrc = 0, cySrc = 0;
    Dib dib;
    quint32 usage = 0;
    quint32 rop = gdi::SRCCOPY;
    qint32 cxDest = 0, cyDest = 0;
    template <class V>
    void io(V &v)
    {
        v("bounds", bounds);
        v("xDest", xDest);
        v("yDest", yDest);
        v("xSrc", xSrc);
        v("ySrc", ySrc);
        v("cxSrc", cxSrc);
        v("cySrc", cySrc);
        v("dib", dib);
        v("usage", usage);
        v("rop", rop);
        v("cxDest", cxDest);
        v("cyDest", cyDest);
    }
};

struct EmrSetDIBitsToDevice {
    gdi::Rect bounds;
    qint32 xDest = 0, yDest = 0, xSrc = 0, ySrc = 0, cxSrc = 0, cySrc = 0;
    Dib dib;
    quint32 usage = 0;
    quint32 startScan = 0; // the first scan line the bits hold (from the bottom)
    quint32 scans = 0;     // how many
    template <class V>
    void io(V &v)
    {
        v("bounds", bounds);
        v("xDest", xDest);
        v("yDest", yDest);
        v("xSrc", xSrc);
        v("ySrc", ySrc);
        v("cxSrc", cxSrc);
        v("cySrc", cySrc);
        v("dib", dib);
        v("usage", usage);
        v("startScan", startScan);
        v("scans", scans);
    }
};

// Regions drawn with a brush: FILLRGN (71, a brush object), FRAMERGN (72, a
// brush object and the frame's width and height), INVERTRGN (73) and
// PAINTRGN (74, the selected brush). The region is in logical units.
template <quint32 N>
struct RgnRec {
    gdi::Rect bounds;
    quint32 cbRgnData = 0;
    quint32 brush = 0;
    gdi::Size stroke;
    Bytes rgnData;
    template <class V>
    void io(V &v)
    {
        v("bounds", bounds);
        v("cbRgnData", cbRgnData);
        if constexpr (N == 71 || N == 72)
            v("brush", brush);
        if constexpr (N == 72)
            v("stroke", stroke);
        v.bytes("rgnData", rgnData, cbRgnData);
    }
};

// ANGLEARC: a line from the current position to the start of an arc of a
// circle, then the arc; angles in degrees, counter-clockwise.
struct EmrAngleArc {
    gdi::Point center;
    quint32 radius = 0;
    float start = 0;
    float sweep = 0;
    template <class V>
    void io(V &v)
    {
        v("center", center);
        v("radius", radius);
        v("start", start);
        v("sweep", sweep);
    }
};

// POLYDRAW (56) and POLYDRAW16 (92): points and one type byte for each.
enum : quint8 { PT_CLOSEFIGURE = 1, PT_LINETO = 2, PT_BEZIERTO = 4, PT_MOVETO = 6 };
template <quint32 N, bool Short>
struct PolyDrawRec {
    gdi::Rect bounds;
    Points<Short> points;
    Bytes types;
    template <class V>
    void io(V &v)
    {
        v("bounds", bounds);
        v("points", points);
        v.bytes("types", types, quint32(points.pts.size()));
    }
};

// SMALLTEXTOUT: text without advances; 8-bit characters with
// ETO_SMALL_CHARS, no clip rectangle with ETO_NO_RECT.
struct EmrSmallTextOut {
    gdi::Point reference;
    quint32 nChars = 0;
    quint32 options = 0;
    quint32 graphicsMode = 1;
    float exScale = 0;
    float eyScale = 0;
    gdi::Rect clip;
    Bytes chars;
    template <class V>
    void io(V &v)
    {
        v("reference", reference);
        v("nChars", nChars);
        v("options", options);
        v("graphicsMode", graphicsMode);
        v("exScale", exScale);
        v("eyScale", eyScale);
        if (!(options & ETO_NO_RECT))
            v("clip", clip);
        const quint64 count = quint64(nChars) * ((options & ETO_SMALL_CHARS) ? 1 : 2);
        v.bytes("chars", chars, quint32(std::min<quint64>(count, 0xffffffffu)));
    }
};

// GRADIENTFILL: vertices, then two (rectangles) or three (triangles) vertex
// indexes per gradient object.
struct EmrGradientFill {
    gdi::Rect bounds;
    quint32 nVer = 0;
    quint32 nTri = 0;
    quint32 mode = gdi::GRADIENT_FILL_RECT_H;
    std::vector<gdi::TriVertex> vertices;
    std::vector<quint32> mesh;
    template <class V>
    void io(V &v)
    {
        v("bounds", bounds);
        v("nVer", nVer);
        v("nTri", nTri);
        v("mode", mode);
        v.gradient("gradient", vertices, mesh, nVer, nTri, mode);
    }
};

// SETLINKEDUFIS: the fonts linked to the selected one, eight bytes each
// (a checksum and an index), then eight reserved bytes.
struct EmrSetLinkedUfis {
    quint32 count = 0;
    Bytes ufis;
    template <class V>
    void io(V &v)
    {
        v("count", count);
        v.bytes("ufis", ufis, quint32(std::min<quint64>(quint64(count) * 8, 0xffffffffu)));
    }
};

// A record of a type this program does not know: skipped on playback.
struct Unknown {
    quint32 type = 0;
    template <class V>
    void io(V &)
    {
    }
};

// The table: type number, name (without the EMR_ prefix), struct.
#define EMF_RECORDS(X)                                                  \
    X(1, HEADER, EmrHeader)                                             \
    X(2, POLYBEZIER, PolyRec<2, false>)                                 \
    X(3, POLYGON, PolyRec<3, false>)                                    \
    X(4, POLYLINE, PolyRec<4, false>)                                   \
    X(5, POLYBEZIERTO, PolyRec<5, false>)                               \
    X(6, POLYLINETO, PolyRec<6, false>)                                 \
    X(7, POLYPOLYLINE, PolyPolyRec<7, false>)                           \
    X(8, POLYPOLYGON, PolyPolyRec<8, false>)                            \
    X(9, SETWINDOWEXTEX, SizeRec<9>)                                    \
    X(10, SETWINDOWORGEX, PointRec<10>)                                 \
    X(11, SETVIEWPORTEXTEX, SizeRec<11>)                                \
    X(12, SETVIEWPORTORGEX, PointRec<12>)                               \
    X(13, SETBRUSHORGEX, PointRec<13>)                                  \
    X(14, EOF, EmrEof)                                                  \
    X(15, SETPIXELV, EmrSetPixelV)                                      \
    X(16, SETMAPPERFLAGS, U32<16>)                                      \
    X(17, SETMAPMODE, U32<17>)                                          \
    X(18, SETBKMODE, U32<18>)                                           \
    X(19, SETPOLYFILLMODE, U32<19>)                                     \
    X(20, SETROP2, U32<20>)                                             \
    X(21, SETSTRETCHBLTMODE, U32<21>)                                   \
    X(22, SETTEXTALIGN, U32<22>)                                        \
    X(24, SETTEXTCOLOR, U32<24>)                                        \
    X(25, SETBKCOLOR, U32<25>)                                          \
    X(26, OFFSETCLIPRGN, PointRec<26>)                                  \
    X(27, MOVETOEX, PointRec<27>)                                       \
    X(28, SETMETARGN, Empty<28>)                                        \
    X(29, EXCLUDECLIPRECT, RectRec<29>)                                 \
    X(30, INTERSECTCLIPRECT, RectRec<30>)                               \
    X(31, SCALEVIEWPORTEXTEX, ScaleExtRec<31>)                          \
    X(32, SCALEWINDOWEXTEX, ScaleExtRec<32>)                            \
    X(33, SAVEDC, Empty<33>)                                            \
    X(34, RESTOREDC, I32<34>)                                           \
    X(35, SETWORLDTRANSFORM, EmrSetWorldTransform)                      \
    X(36, MODIFYWORLDTRANSFORM, EmrModifyWorldTransform)                \
    X(37, SELECTOBJECT, U32<37>)                                        \
    X(38, CREATEPEN, EmrCreatePen)                                      \
    X(39, CREATEBRUSHINDIRECT, EmrCreateBrushIndirect)                  \
    X(40, DELETEOBJECT, U32<40>)                                        \
    X(41, ANGLEARC, EmrAngleArc)                                        \
    X(42, ELLIPSE, RectRec<42>)                                         \
    X(43, RECTANGLE, RectRec<43>)                                       \
    X(44, ROUNDRECT, EmrRoundRect)                                      \
    X(45, ARC, ArcRec<45>)                                              \
    X(46, CHORD, ArcRec<46>)                                            \
    X(47, PIE, ArcRec<47>)                                              \
    X(48, SELECTPALETTE, U32<48>)                                       \
    X(52, REALIZEPALETTE, Empty<52>)                                    \
    X(54, LINETO, PointRec<54>)                                         \
    X(55, ARCTO, ArcRec<55>)                                            \
    X(56, POLYDRAW, PolyDrawRec<56, false>)                             \
    X(57, SETARCDIRECTION, U32<57>)                                     \
    X(58, SETMITERLIMIT, U32<58>)                                       \
    X(59, BEGINPATH, Empty<59>)                                         \
    X(60, ENDPATH, Empty<60>)                                           \
    X(61, CLOSEFIGURE, Empty<61>)                                       \
    X(62, FILLPATH, RectRec<62>)                                        \
    X(63, STROKEANDFILLPATH, RectRec<63>)                               \
    X(64, STROKEPATH, RectRec<64>)                                      \
    X(65, FLATTENPATH, Empty<65>)                                       \
    X(66, WIDENPATH, Empty<66>)                                         \
    X(67, SELECTCLIPPATH, U32<67>)                                      \
    X(68, ABORTPATH, Empty<68>)                                         \
    X(70, GDICOMMENT, EmrGdiComment)                                    \
    X(71, FILLRGN, RgnRec<71>)                                          \
    X(72, FRAMERGN, RgnRec<72>)                                         \
    X(73, INVERTRGN, RgnRec<73>)                                        \
    X(74, PAINTRGN, RgnRec<74>)                                         \
    X(75, EXTSELECTCLIPRGN, EmrExtSelectClipRgn)                        \
    X(76, BITBLT, BltRec<76>)                                           \
    X(77, STRETCHBLT, BltRec<77>)                                       \
    X(80, SETDIBITSTODEVICE, EmrSetDIBitsToDevice)                      \
    X(81, STRETCHDIBITS, EmrStretchDIBits)                              \
    X(82, EXTCREATEFONTINDIRECTW, EmrExtCreateFontIndirectW)            \
    X(83, EXTTEXTOUTA, TextOutRec<83>)                                  \
    X(84, EXTTEXTOUTW, TextOutRec<84>)                                  \
    X(85, POLYBEZIER16, PolyRec<85, true>)                              \
    X(86, POLYGON16, PolyRec<86, true>)                                 \
    X(87, POLYLINE16, PolyRec<87, true>)                                \
    X(88, POLYBEZIERTO16, PolyRec<88, true>)                            \
    X(89, POLYLINETO16, PolyRec<89, true>)                              \
    X(90, POLYPOLYLINE16, PolyPolyRec<90, true>)                        \
    X(91, POLYPOLYGON16, PolyPolyRec<91, true>)                         \
    X(92, POLYDRAW16, PolyDrawRec<92, true>)                            \
    X(93, CREATEMONOBRUSH, PatternBrushRec<93>)                         \
    X(94, CREATEDIBPATTERNBRUSHPT, PatternBrushRec<94>)                 \
    X(95, EXTCREATEPEN, EmrExtCreatePen)                                \
    X(98, SETICMMODE, U32<98>)                                          \
    X(100, SETCOLORSPACE, U32<100>)                                     \
    X(108, SMALLTEXTOUT, EmrSmallTextOut)                               \
    X(114, ALPHABLEND, BltRec<114>)                                     \
    X(115, SETLAYOUT, U32<115>)                                         \
    X(116, TRANSPARENTBLT, BltRec<116>)                                 \
    X(118, GRADIENTFILL, EmrGradientFill)                               \
    X(119, SETLINKEDUFIS, EmrSetLinkedUfis)

// Named aliases, e.g. emf::EMR_LINETO is PointRec<54>.
#define EMF_ALIAS(num, name, ...) using EMR_##name = __VA_ARGS__;
EMF_RECORDS(EMF_ALIAS)
#undef EMF_ALIAS

#define EMF_TYPENUM(num, name, ...) constexpr quint32 T_##name = num;
EMF_RECORDS(EMF_TYPENUM)
#undef EMF_TYPENUM

#define EMF_VARIANT_ITEM(num, name, ...) __VA_ARGS__,
using Record = std::variant<EMF_RECORDS(EMF_VARIANT_ITEM) Unknown>;
#undef EMF_VARIANT_ITEM

// "EMR_LINETO" for 54; "EMR_UNKNOWN_<n>" for types not in the table.
QString typeName(quint32 type);
// The type number a record struct is written with.
quint32 typeOf(const Record &r);

} // namespace emf
