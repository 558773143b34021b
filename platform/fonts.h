// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Fonts: from a logical font (face name, height, weight, ...) to the face that
// draws it, its metrics the way the Windows graphics interface reports them,
// and a simple text layout that the canvases draw and measure with.
//
// Heights follow the logical-font rules: a negative height is the em height
// (character height), a positive height the cell height (ascent + descent),
// 0 a default size, all in logical units. Ascent and descent are the font's
// usWinAscent/usWinDescent (OS/2 table), or the hhea values when the font has
// no OS/2 table, scaled to the em.
//
// Layout is linear: advances are the font's unhinted design advances scaled to
// the em, so text measured at one resolution and drawn at another lines up.
//
// Text in the symbol faces of symbolfonts.h, where a stand-in draws them, is
// laid out as the characters their codes stand for; a symbol-charset face
// that is installed draws codes 0x20 to 0xFF from its own U+F0xx range.
//
// Family names go through fontconfig first. When the asked family is not
// installed (fontconfig would silently hand out some other face) our own
// substitution chains pick the stand-in: Kai faces (a family named Kai or 楷)
// fall back to TW-Kai, then AR PL UKai TW, then any Chinese Kai face, then any
// Chinese face; the common Windows faces to the installed sans, serif and
// monospace faces. A family can be drawn by a face the program draws itself
// (synthesizedface.h); the stand-in still gives it its metrics.
#include "platform/gdi.h"

#include <QByteArray>
#include <QFont>
#include <QHash>
#include <QList>
#include <QRawFont>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

namespace fonts {

struct SymbolTable;
class SynthesizedFace;

// --- family resolution -------------------------------------------------------

// True when fontconfig has a face of exactly this family (any letter case).
bool isFamilyInstalled(const QString &family);

// The candidates tried for a requested family, in order (the family itself
// first). Only installed entries are returned.
QStringList substitutionChain(const QString &family, quint8 charSet = gdi::DEFAULT_CHARSET,
                              quint8 pitchAndFamily = 0);

// The face that actually stands in for `family` (the family itself when it is
// installed). Never empty: in the worst case the application's default face.
QString standInFamily(const QString &family, quint8 charSet = gdi::DEFAULT_CHARSET,
                      quint8 pitchAndFamily = 0);

// True when `family` is drawn by another face (the worksheet window tells the
// user once).
inline bool isSubstituted(const QString &family) { return !isFamilyInstalled(family); }

// Forgets what was found out about installed families, for fonts added while
// the program runs (application fonts). Fonts resolved afterwards see them.
void refreshFamilies();

// --- a resolved font -----------------------------------------------------------

// Metrics of a face in its own design units (from the OS/2, hhea, head and post
// tables; the hhea values stand in where the face has no OS/2 table).
struct FaceMetrics {
    int unitsPerEm = 2048;
    int winAscent = 0;      // usWinAscent, or hhea ascender
    int winDescent = 0;     // usWinDescent, or -hhea descender (positive)
    int typoAscender = 0;   // sTypoAscender, or hhea ascender
    int typoDescender = 0;  // sTypoDescender, or hhea descender (negative)
    int typoLineGap = 0;
    int hheaAscender = 0;
    int hheaDescender = 0;  // negative
    int hheaLineGap = 0;
    int avgCharWidth = 0;   // xAvgCharWidth (0 when absent)
    int maxAdvance = 0;     // hhea advanceWidthMax
    int capHeight = 0;      // sCapHeight (0 when absent)
    int xHeight = 0;
    int familyClass = 0;    // sFamilyClass >> 8
    qreal italicAngle = 0;  // post table, degrees, counter-clockwise
    int xMin = 0, yMin = 0, xMax = 0, yMax = 0; // head table
    int underlinePosition = 0;  // post table (negative: below the baseline)
    int underlineThickness = 0;
    int strikeoutPosition = 0;  // OS/2 yStrikeoutPosition
    int strikeoutSize = 0;
};

// One run of text in one face, placed on the baseline. Positions are
// relative to the start of the text, in logical units before the font's
// horizontal scale (draw through scale(horizontalScale(), 1)).
struct GlyphRun {
    QRawFont rawFont;            // at the em size of the font
    QList<quint32> glyphs;
    QList<QPointF> positions;    // pen positions, x along the baseline
    std::vector<qsizetype> units; // first UTF-16 code unit of each glyph
};

// The laid-out text of one string.
struct TextLayout {
    std::vector<GlyphRun> runs;
    // Advance of each UTF-16 code unit (the second half of a surrogate pair
    // has advance 0), in logical units.
    std::vector<qreal> advances;
    qreal width = 0;
};

class ResolvedFont {
public:
    // The logical font this was resolved from.
    const gdi::LogFont &logFont() const { return m_logFont; }
    // The installed family that draws it (the stand-in, for a synthesised
    // face: its metrics and the glyphs it leaves to the stand-in).
    const QString &family() const { return m_family; }
    // The face the program draws itself for the logical font's family, when
    // one is registered and no font of the family is installed
    // (synthesizedface.h); null otherwise.
    const SynthesizedFace *synthesizedFace() const { return m_synthesized.get(); }
    // The em height in logical units.
    qreal emSize() const { return m_em; }
    // Horizontal scale for a logical font with a width other than 0 (1 else).
    qreal horizontalScale() const { return m_hscale; }
    // The GDI cell: ascent above and descent below the baseline, logical units.
    qreal ascent() const { return m_ascent; }
    qreal descent() const { return m_descent; }
    // GetTextMetrics, in whole logical units; height = ascent + descent.
    const gdi::TextMetric &textMetric() const { return m_tm; }
    const FaceMetrics &faceMetrics() const { return m_face; }
    // The face at the em size.
    const QRawFont &rawFont() const { return m_raw; }
    // The font as a QFont, for widgets: pixel size = em × `scale`.
    QFont qfont(qreal scale = 1.0) const;

    // Lays out `text` left to right (right to left when `rightToLeft`), with
    // characters the face does not have drawn by a fallback face. Advances and
    // width include the horizontal scale; glyph positions do not.
    TextLayout layout(const QString &text, bool rightToLeft = false) const;
    // Lays out glyph indexes of the face itself, one per UTF-16 code unit
    // (text output that names glyphs instead of characters).
    TextLayout layoutGlyphs(const QString &glyphIndexes, bool rightToLeft = false) const;
    // Width of `text` in logical units, as drawn (not rounded).
    qreal advanceWidth(const QString &text) const;

    // Underline and strike-out lines: offset below the baseline (negative:
    // above) and thickness, in logical units.
    qreal underlineOffset() const;
    qreal strikeOutOffset() const;
    qreal lineThickness() const;

private:
    friend std::shared_ptr<const ResolvedFont> resolve(const gdi::LogFont &font);
    ResolvedFont() = default;
    // A face that draws: at the em size for drawing, and at its own units per
    // em for exact advances (scaled down linearly).
    struct Face {
        QRawFont draw;
        QRawFont measure;
        qreal unitScale = 1; // em / measuring size
    };
    struct CharInfo {
        int face = 0;
        quint32 glyph = 0;
        qreal advance = 0; // logical units, without the horizontal scale
    };
    Face makeFace(const QString &family) const;
    const CharInfo &charInfo(char32_t ch) const;
    // The character that draws `ch`: what a symbol face's code stands for.
    char32_t drawnChar(char32_t ch) const;

    gdi::LogFont m_logFont;
    QString m_family;
    std::shared_ptr<const SynthesizedFace> m_synthesized;
    qreal m_em = 16;
    qreal m_hscale = 1;
    qreal m_ascent = 0;
    qreal m_descent = 0;
    gdi::TextMetric m_tm;
    FaceMetrics m_face;
    QRawFont m_raw;
    QStringList m_fallbackFamilies;
    const SymbolTable *m_symbols = nullptr; // a symbol face's codes, when a stand-in draws it
    bool m_symbolCodes = false;             // a symbol face of its own: codes in its U+F0xx range
    // Faces and characters are filled in on first use; a resolved font is
    // used on the thread that resolved it.
    mutable std::vector<Face> m_faces; // [0] is the face itself
    mutable bool m_fallbacksBuilt = false;
    mutable QHash<char32_t, CharInfo> m_chars;
};

// The font to draw `font` with. Results are cached per thread (a second call
// with an equal logical font is a hash look-up); use a result on the thread
// that asked for it.
std::shared_ptr<const ResolvedFont> resolve(const gdi::LogFont &font);

// A QFont for a logical font whose logical units are `scale` device pixels.
QFont toQFont(const gdi::LogFont &font, qreal scale = 1.0);

// The em height of a logical font in logical units (default size for 0).
qreal emHeight(const gdi::LogFont &font);

// The em of a logical font with height 0.
constexpr qint32 kDefaultEmHeight = 16;
// Heights are held within +-kMaxHeight logical units.
constexpr qint32 kMaxHeight = 32768;

// --- for writing documents ---------------------------------------------------

// The face's program as a self-contained font file (a face from a collection
// is taken out of it). A face fontconfig finds in a file of another kind
// (Type 1) gives way to the same family's face in a file of tables, when
// one is installed. Empty when there is no such file or it cannot be read.
QByteArray fontProgram(const gdi::LogFont &font);
// True when the face comes from a font file of tables (TrueType or
// PostScript outlines), which a document can embed.
bool hasTableOutlines(const QRawFont &face);
// `face` itself when it has such tables; else the installed face of its
// family, weight and style that has them, at the same pixel size; an
// invalid font when the family has none.
QRawFont tableFace(const QRawFont &face);
// One table of the face (tag like "OS/2", "head"); empty when absent.
QByteArray fontTable(const gdi::LogFont &font, const char *tag);
// The installed file `face` was read from and the face's index in it, found
// by family and style and checked by the face's header table; nothing when
// no installed file is that face (a face made from bytes in memory).
struct FaceFile {
    QString path;
    int index = 0;
};
std::optional<FaceFile> faceFile(const QRawFont &face);

// Outline metrics at an em of `em` units.
struct OutlineMetrics {
    int ascent = 0;     // typographic ascender
    int descent = 0;    // typographic descender (negative)
    int capHeight = 0;
    qreal italicAngle = 0;
    int xMin = 0, yMin = 0, xMax = 0, yMax = 0; // font bounding box
    int unitsPerEm = 0; // of the face itself
};
OutlineMetrics outlineMetrics(const gdi::LogFont &font, int em = 1024);

// Advance widths of the characters at an em of `em` units (0 for a character
// the face lacks).
std::vector<int> advanceWidths(const gdi::LogFont &font, const QList<char32_t> &chars, int em = 1024);

// --- low level, for tests and tools -----------------------------------------

// Metrics read from a face's tables; nullopt when the tables are unusable.
std::optional<FaceMetrics> readFaceMetrics(const QRawFont &face);
// Extracts face `index` of a font collection as a standalone font file; a
// plain font file is returned unchanged (index 0). Empty when malformed.
QByteArray extractFace(const QByteArray &file, int index);

} // namespace fonts
