// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The glyphs of the faces this program draws itself (a stroke-order glyph
// with its numbers, a dotted tracing glyph), each written once in a
// document however many cells show it: they become the glyphs of Type 3
// fonts whose glyph procedures are the shapes the face draws, in their
// colours, and every cell shows its glyph as text in that font. A ToUnicode
// map gives each glyph the characters it stands for, so the text is found
// and copied as the characters themselves.
//
// Any writer of page content draws with show(): the procedures made since
// the last call go into the file with writePending(), the fonts once they
// are full (255 glyphs each) or with writeRest() at the end. Their resource
// names ("S00", "S01", ...) go in the document's font resources.
//
// A glyph is the same glyph again when it has the same identity (a face
// gives the same shapes the same one), placed the same way in its cell, in
// the same colours and pens; the fonts keep no shape alive.
#include <QByteArray>
#include <QColor>
#include <QHash>
#include <QList>
#include <QRectF>
#include <QString>
#include <QTransform>

#include <memory>
#include <vector>

class PdfFile;
namespace fonts {
struct SynthesizedGlyph;
}

class PdfSynthFonts {
public:
    static constexpr int kGlyphsPerFont = 255; // codes 1 to 255

    // The operators, one a line, that draw `glyph` (of kind Shapes; nothing
    // for another kind), for the characters `text`. `em` and `advance` are the font's em and the glyph's advance
    // in logical units; `penToPage` maps logical units relative to the pen
    // position on the baseline (y down) onto page points. The lines belong
    // inside a text object (BT ... ET) with the fill rendering mode; they
    // set the text font and matrix.
    QList<QByteArray> show(const fonts::SynthesizedGlyph &glyph, QStringView text, qreal em, qreal advance,
                           const QTransform &penToPage);

    // Writes the glyph procedures made since the last call, and the fonts
    // that are full.
    void writePending(PdfFile &file);
    // Writes what is left: the end of the document.
    void writeRest(PdfFile &file);

    struct Resource {
        QByteArray name; // "S00", ...
        int object = 0;
    };
    // The fonts written so far.
    const std::vector<Resource> &resources() const { return m_written; }
    // Distinct glyphs shown so far.
    int glyphCount() const { return m_glyphCount; }
    static QByteArray resourceName(int font);

private:
    struct Glyph {
        QByteArray procedure; // deflated, until written
        int object = 0;
        double width = 0; // thousandths of the em
        QString text;
    };
    struct Font {
        int index = 0;
        std::vector<Glyph> glyphs; // code k + 1
        QRectF box;                // glyph space
        int written = 0;           // procedures written
    };
    struct Shape {
        std::weak_ptr<const void> alive;
        quint64 generation = 0;
    };
    struct Slot {
        int font = 0;
        int code = 0;
    };
    Font &openFont();
    void writeProcedures(PdfFile &file, Font &font);
    void writeFont(PdfFile &file, Font &font);

    std::vector<Font> m_full; // full, not yet written
    std::unique_ptr<Font> m_open;
    int m_fonts = 0;
    int m_glyphCount = 0;
    quint64 m_generation = 0;
    QHash<const void *, Shape> m_shapes;
    QHash<QByteArray, Slot> m_slots;
    std::vector<Resource> m_written;
};
