// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The fonts of text that code page 1252 cannot carry: each face the text
// is drawn in becomes a Type0 font (Identity-H) whose descendant CID font
// numbers glyphs as the face does, with only the glyphs drawn embedded
// (HarfBuzz's subsetter keeps their numbers) and a ToUnicode map built from
// the characters they were drawn for, so the text shows and can be copied.
// A face of TrueType outlines is a CIDFontType2 with its program in
// /FontFile2; a face of PostScript (CFF) outlines a CIDFontType0 with an
// OpenType program in /FontFile3. A face of another kind (Type 1) goes in
// through its family's face of either kind when one is installed.
#include <QByteArray>
#include <QHash>
#include <QMap>
#include <QRawFont>
#include <QString>

#include <vector>

class PdfFile;

class PdfUnicodeFonts {
public:
    static constexpr int kObjectsPerFont = 5;

    // The font of `face` (any pixel size), made on first use; -1 when the
    // face has no outline tables a document can embed and its family is not
    // installed with them either.
    int fontFor(const QRawFont &face);
    // True when the font's program is another file of the face's family than
    // the one it was laid out in (a Type 1 face): its glyphs are numbered
    // differently and are found with glyphFor.
    bool renumbered(int font) const { return m_fonts.at(size_t(font)).renumbered; }
    // The font's glyph for the first character of `cluster`; 0 when none.
    quint32 glyphFor(int font, QStringView cluster) const;
    // Glyph `glyph` of font `font` is drawn for `text` (the characters of
    // its cluster; the first text given for a glyph is kept).
    void use(int font, quint32 glyph, QStringView text);
    // The glyph's advance in thousandths of the em.
    double advance(int font, quint32 glyph);

    int count() const { return int(m_fonts.size()); }
    // "U00", "U01", ...
    static QByteArray resourceName(int font);
    // True when a font has PostScript outlines (an OpenType program, which
    // documents carry from version 1.6 on).
    bool hasOpenTypeProgram() const;

    // Writes the five objects of font `font`: the Type0 font, its CID font,
    // the descriptor, the program and the ToUnicode map. Throws RpError when
    // the face cannot be subset.
    void writeObjects(PdfFile &file, int font) const;

    // The subset program of a font as written (uncompressed), for tests.
    QByteArray subsetProgram(int font) const;

private:
    struct Font {
        QRawFont face;    // at an em of 1000 pixels
        QString key;
        bool cff = false;
        bool renumbered = false;
        QMap<quint32, QString> text;     // glyph -> the characters it stands for
        QHash<quint32, double> advances; // thousandths of the em
    };
    std::vector<Font> m_fonts;
    QHash<QString, int> m_byKey;
};
