// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The check of the synthesised worksheet faces over a set of characters:
// every character is drawn in both faces, as the canvases draw labels, and
// the pictures, the model form and the glyphs' number layout are examined.
#include <QString>
#include <QStringList>

#include <map>
#include <vector>

namespace facecheck {

struct Counts {
    int characters = 0;
    // The model cell: numbered from each source, drawn unnumbered, empty.
    std::map<QString, int> numbered; // by source name
    int unnumbered = 0;
    int blank = 0;
    // Numbered glyphs whose form disagrees with the tracing glyph drawn
    // for the same character (must be none).
    int formsDisagreeing = 0;
    QStringList unnumberedCharacters;
    // Stroke-order face.
    int strokeBlank = 0;           // nothing drawn for a character a face has
    int strokeOutsideCell = 0;     // ink outside the stand-in's character cell
    int numberCountWrong = 0;      // numbers other than 1..strokes, once each
    int numbersOverlapping = 0;    // two number boxes overlap
    int numbersOutsideCell = 0;    // a number box leaves the cell
    int fallbackNotKai = 0;        // unnumbered, not the Kai glyph
    // The share of a stroke's ink that the numbers and their halos cover.
    double worstCover = 0;
    QString worstCoverCharacter;
    QStringList coverAboveLimit; // characters with a stroke covered more than kCoverLimit
    // Tracing face.
    int traceBlank = 0;
    int traceFilled = 0;    // ink inside the glyph's strokes, away from the outline
    int traceNotDotted = 0; // as much ink as a solid outline
    int traceNoInterior = 0; // glyphs too thin to tell fill from outline (not a failure)
    QStringList failures;   // one line per failing character

    int failed() const
    {
        return formsDisagreeing + strokeBlank + strokeOutsideCell + numberCountWrong + numbersOverlapping +
               numbersOutsideCell + fallbackNotKai + traceBlank + traceFilled + traceNotDotted;
    }
};

// The share of a stroke that numbers may cover and still leave it readable.
constexpr double kCoverLimit = 0.25;

// The 5,401 characters of Big5 level 1 (codes A440 to C67E), in code order.
std::vector<char32_t> big5Level1();

// A fixed sample of `n` characters spread evenly over `all`.
std::vector<char32_t> sample(const std::vector<char32_t> &all, int n);

// Checks each character, drawn at an em of `emPixels`. With `formsTable`
// set, one line a character and source goes there: the character, the
// source, its strokes and the form measures (formmatch.h), tab-separated.
Counts check(const std::vector<char32_t> &chars, int emPixels = 160, QStringList *formsTable = nullptr);

// The counts as the lines `tovrel-tool face --check` prints.
QStringList report(const Counts &c);

// The em of the smallest model (stroke-order) and tracing cell of the four
// layouts, logical pixels at 96 dpi, and what the tracing dots measure on
// paper at the smallest tracing cell.
struct CellSizes {
    qreal modelEm = 0;
    qreal tracingEm = 0;
    qreal dotMillimetres = 0;
    qreal dotSpacingMillimetres = 0;
};
CellSizes smallestCells();
QString describe(const CellSizes &s);

} // namespace facecheck
