// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Value types of the drawing surface, with the numbers of the Windows
// graphics device interface (they are written into metafiles as they stand).
#include <QString>
#include <QtGlobal>

namespace gdi {

// A colour as 0x00BBGGRR.
using ColorRef = quint32;
constexpr ColorRef rgb(int r, int g, int b)
{
    return ColorRef(r & 0xff) | (ColorRef(g & 0xff) << 8) | (ColorRef(b & 0xff) << 16);
}
constexpr int redOf(ColorRef c) { return int(c & 0xff); }
constexpr int greenOf(ColorRef c) { return int((c >> 8) & 0xff); }
constexpr int blueOf(ColorRef c) { return int((c >> 16) & 0xff); }

struct Point {
    qint32 x = 0;
    qint32 y = 0;
    friend bool operator==(const Point &, const Point &) = default;
};

struct Size {
    qint32 cx = 0;
    qint32 cy = 0;
    friend bool operator==(const Size &, const Size &) = default;
};

// Right and bottom are exclusive, as everywhere in GDI.
struct Rect {
    qint32 left = 0;
    qint32 top = 0;
    qint32 right = 0;
    qint32 bottom = 0;
    // Held within the 32-bit range when the edges are far apart.
    qint32 width() const { return saturate(qint64(right) - left); }
    qint32 height() const { return saturate(qint64(bottom) - top); }
    bool isEmpty() const { return right <= left || bottom <= top; }
    friend bool operator==(const Rect &, const Rect &) = default;

private:
    static qint32 saturate(qint64 v)
    {
        return qint32(v > 2147483647 ? 2147483647 : v < -2147483647 - 1 ? -2147483647 - 1 : v);
    }
};

// Pen styles (low byte) and, for geometric pens, end caps and joins.
enum : quint32 {
    PS_SOLID = 0,
    PS_DASH = 1,
    PS_DOT = 2,
    PS_DASHDOT = 3,
    PS_DASHDOTDOT = 4,
    PS_NULL = 5,
    PS_INSIDEFRAME = 6,
    PS_USERSTYLE = 7,
    PS_ALTERNATE = 8,
    PS_STYLE_MASK = 0x0000000F,
    PS_ENDCAP_ROUND = 0x00000000,
    PS_ENDCAP_SQUARE = 0x00000100,
    PS_ENDCAP_FLAT = 0x00000200,
    PS_ENDCAP_MASK = 0x00000F00,
    PS_JOIN_ROUND = 0x00000000,
    PS_JOIN_BEVEL = 0x00001000,
    PS_JOIN_MITER = 0x00002000,
    PS_JOIN_MASK = 0x0000F000,
    PS_COSMETIC = 0x00000000,
    PS_GEOMETRIC = 0x00010000,
    PS_TYPE_MASK = 0x000F0000,
};

// Width 0 is one device pixel at any scale; a width of 1 or more is in
// logical units and scales with the mapping.
struct LogPen {
    quint32 style = PS_SOLID;
    qint32 width = 0;
    ColorRef color = 0;
    friend bool operator==(const LogPen &, const LogPen &) = default;
};

enum : quint32 { BS_SOLID = 0, BS_NULL = 1, BS_HATCHED = 2, BS_PATTERN = 3, BS_DIBPATTERN = 5 };
enum : quint32 { HS_HORIZONTAL = 0, HS_VERTICAL = 1, HS_FDIAGONAL = 2, HS_BDIAGONAL = 3, HS_CROSS = 4, HS_DIAGCROSS = 5 };
// Hatch styles that are no pattern but a solid fill: in the brush's colour,
// the text colour or the background colour of the time it draws (the
// dithered ones are drawn solid too).
enum : quint32 {
    HS_SOLIDCLR = 6,
    HS_DITHEREDCLR = 7,
    HS_SOLIDTEXTCLR = 8,
    HS_DITHEREDTEXTCLR = 9,
    HS_SOLIDBKCLR = 10,
    HS_DITHEREDBKCLR = 11,
};

struct LogBrush {
    quint32 style = BS_SOLID;
    ColorRef color = rgb(255, 255, 255);
    quint32 hatch = 0;
    friend bool operator==(const LogBrush &, const LogBrush &) = default;
};

enum : quint8 { ANSI_CHARSET = 0, DEFAULT_CHARSET = 1, SYMBOL_CHARSET = 2, CHINESEBIG5_CHARSET = 136, GB2312_CHARSET = 134 };
enum : qint32 { FW_NORMAL = 400, FW_BOLD = 700 };

// A logical font. Height < 0 is the character height (em size), height > 0
// the cell height (ascent + descent), 0 a default size; all in logical units.
struct LogFont {
    qint32 height = 0;
    qint32 width = 0;
    qint32 escapement = 0;
    qint32 orientation = 0;
    qint32 weight = FW_NORMAL;
    quint8 italic = 0;
    quint8 underline = 0;
    quint8 strikeOut = 0;
    quint8 charSet = DEFAULT_CHARSET;
    quint8 outPrecision = 0;
    quint8 clipPrecision = 0;
    quint8 quality = 0;
    quint8 pitchAndFamily = 0;
    QString faceName; // at most 31 UTF-16 code units are stored in a metafile
    friend bool operator==(const LogFont &, const LogFont &) = default;
};

// Text alignment.
enum : quint32 {
    TA_NOUPDATECP = 0,
    TA_UPDATECP = 1,
    TA_LEFT = 0,
    TA_RIGHT = 2,
    TA_CENTER = 6,
    TA_HORZ_MASK = 6,
    TA_TOP = 0,
    TA_BOTTOM = 8,
    TA_BASELINE = 24,
    TA_VERT_MASK = 24,
    TA_RTLREADING = 256,
};

// Background modes.
enum : qint32 { TRANSPARENT = 1, OPAQUE = 2 };

// ExtTextOut options.
enum : quint32 { ETO_OPAQUE = 0x0002, ETO_CLIPPED = 0x0004, ETO_GLYPH_INDEX = 0x0010, ETO_RTLREADING = 0x0080 };

// Stretch modes and raster operations: SRCCOPY for bitmaps, the others for
// filling with the selected brush (PatBlt).
enum : qint32 { BLACKONWHITE = 1, WHITEONBLACK = 2, COLORONCOLOR = 3, HALFTONE = 4 };
enum : quint32 {
    SRCCOPY = 0x00CC0020,
    PATCOPY = 0x00F00021,
    PATINVERT = 0x005A0049,
    DSTINVERT = 0x00550009,
    BLACKNESS = 0x00000042,
    WHITENESS = 0x00FF0062,
};

// Binary raster operations (SetROP2): how the colour of a pen or brush (P)
// is combined with the colour already on the page (D). The mode less one is
// the operation's truth table: bit (2 P + D) is the result for those bits.
enum : qint32 {
    R2_BLACK = 1,
    R2_NOTMERGEPEN = 2,
    R2_MASKNOTPEN = 3,
    R2_NOTCOPYPEN = 4,
    R2_MASKPENNOT = 5,
    R2_NOT = 6,
    R2_XORPEN = 7,
    R2_NOTMASKPEN = 8,
    R2_MASKPEN = 9,
    R2_NOTXORPEN = 10,
    R2_NOP = 11,
    R2_MERGENOTPEN = 12,
    R2_COPYPEN = 13,
    R2_MERGEPENNOT = 14,
    R2_MERGEPEN = 15,
    R2_WHITE = 16,
};
// The colour `mode` makes of pen colour `p` over page colour `d`.
constexpr ColorRef rop2Color(qint32 mode, ColorRef p, ColorRef d)
{
    const quint32 t = quint32(mode - 1);
    ColorRef r = 0;
    if (t & 1)
        r |= ~p & ~d;
    if (t & 2)
        r |= ~p & d;
    if (t & 4)
        r |= p & ~d;
    if (t & 8)
        r |= p & d;
    return r & 0xffffff;
}
// Whether the result of `mode` depends on what is on the page.
constexpr bool rop2ReadsPage(qint32 mode)
{
    const quint32 t = quint32(mode - 1);
    return ((t >> 1) & 5) != (t & 5);
}

// Polygon fill modes: ALTERNATE fills between odd and even edge crossings,
// WINDING every point the outline winds around.
enum : qint32 { ALTERNATE = 1, WINDING = 2 };

// How a new clip region is combined with the current one.
enum : quint32 { RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5 };

// A corner of a gradient: position in logical units and a 16-bit colour.
struct TriVertex {
    qint32 x = 0;
    qint32 y = 0;
    quint16 red = 0;
    quint16 green = 0;
    quint16 blue = 0;
    quint16 alpha = 0;
    friend bool operator==(const TriVertex &, const TriVertex &) = default;
};
enum : quint32 { GRADIENT_FILL_RECT_H = 0, GRADIENT_FILL_RECT_V = 1, GRADIENT_FILL_TRIANGLE = 2 };

// Device capability indexes.
enum : int { HORZSIZE = 4, VERTSIZE = 6, HORZRES = 8, VERTRES = 10, BITSPIXEL = 12, PLANES = 14, LOGPIXELSX = 88, LOGPIXELSY = 90, PHYSICALWIDTH = 110, PHYSICALHEIGHT = 111, PHYSICALOFFSETX = 112, PHYSICALOFFSETY = 113 };

struct TextMetric {
    qint32 height = 0; // cell height: ascent + descent
    qint32 ascent = 0;
    qint32 descent = 0;
    qint32 internalLeading = 0;
    qint32 externalLeading = 0;
    qint32 aveCharWidth = 0;
    qint32 maxCharWidth = 0;
};

} // namespace gdi
