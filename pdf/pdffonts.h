// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The fonts of the page text of a PDF document (written with code page
// 1252): the key a text registers its font under, the standard Type 1 font
// that stands in for it when fonts are substituted, and the measurements
// and objects of a TrueType font.
#include "pdf/pdfdictionary.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

class PdfFile;

namespace pdffonts {

enum class FontHandling { fhSubstitute, fhAutoEmbed, fhNoEmbedding };

// A font as the page text uses it. Its key has four fields separated by
// tabs: the name (trimmed), the style letters ("B", "I", both or none),
// the character set, and the base-font name (the name without blanks and,
// for a styled font, "," and "Bold", "Italic" or both).
struct FontKey {
    QString name;
    bool bold = false;
    bool italic = false;
    int charset = 0;

    QString baseFont() const;
    QString key() const;
    static FontKey of(const QString &name, bool bold, bool italic, int charset);
    static FontKey parse(const QString &key);
};

// The resource name of font n: "F" and at least two digits.
QByteArray resourceName(int n);

// The standard font that stands in for `font`: the family the first entry
// of `substitutedFonts` ("windows-name:standard-name") beginning with the
// font's name gives (Courier when none does or the family is not one of
// the five), with its bold and italic suffixes.
QString standardFontName(const FontKey &font, const QStringList &substitutedFonts);

// What a TrueType font object needs of the font.
struct TrueTypeMetrics {
    int firstChar = 0, lastChar = 255;
    int italicAngle = 0; // tenths of a degree
    int flags = 0;
    int ascent = 0, descent = 0; // an em of 1024
    int bbox[4] = {0, 0, 0, 0};  // font units, from the head table
    std::vector<int> widths;     // codes 0 to 255
    QByteArray program;          // the whole font file
    QByteArray encoding;         // the /Encoding value
};

// Measures a font (an em of 1024): its file, ascent, descent, italic angle,
// flags from the OS/2 family class, bounding box, the widths of codes 0 to
// 255 (or the custom widths stored for its base-font name) and its
// encoding. Throws RpError: "GetFontData error" (not available) when the
// font file cannot be read, a bad argument when the custom widths are too
// few or not numbers.
TrueTypeMetrics measureTrueType(const FontKey &font, const PdfDictionary &customWidths,
                                const PdfDictionary &customEncodings);

// The /Encoding value for a font: the stored differences for its base-font
// name, else the glyph names of codes 2 to 255 in the code page of its
// character set, else (a code page that cannot be read) WinAnsiEncoding.
QByteArray encodingFor(const FontKey &font, const PdfDictionary &customEncodings);

// Writes the objects of one font of the document: one for a standard font,
// two for a TrueType font and four when its program is embedded. `n` is
// the font's resource number. Returns true when the program embedded is
// one of PostScript outlines (an OpenType program, which documents carry
// from version 1.6 on).
int objectCount(FontHandling handling, const FontKey &font, const QStringList &embedFonts);
bool writeFontObjects(PdfFile &file, int n, const FontKey &font, FontHandling handling,
                      const QStringList &substitutedFonts, const QStringList &embedFonts,
                      const PdfDictionary &customWidths, const PdfDictionary &customEncodings);

} // namespace pdffonts
