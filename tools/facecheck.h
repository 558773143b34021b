// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The check of the synthesised worksheet faces over a set of characters:
// every character is drawn in both faces, as the canvases draw labels, and
// the pictures and the glyphs' number layout are examined.
#include <QString>
#include <QStringList>

#include <vector>

namespace facecheck {

struct Counts {
    int characters = 0;
    int withData = 0;    // the stroke data has the character
    int withoutData = 0;
    // Stroke-order face.
    int strokeBlank = 0;           // nothing drawn
    int strokeOutsideCell = 0;     // ink outside the stand-in's character cell
    int numberCountWrong = 0;      // numbers other than 1..strokes, once each
    int numbersOverlapping = 0;    // two number boxes overlap
    int numbersOutsideCell = 0;    // a number box leaves the cell
    int fallbackNotKai = 0;        // without data, not the Kai glyph
    // Tracing face.
    int traceBlank = 0;
    int traceFilled = 0;    // ink inside the glyph's strokes, away from the outline
    int traceNotDotted = 0; // as much ink as a solid outline
    int traceNoInterior = 0; // glyphs too thin to tell fill from outline (not a failure)
    QStringList failures;   // one line per failing character

    int failed() const
    {
        return strokeBlank + strokeOutsideCell + numberCountWrong + numbersOverlapping + numbersOutsideCell +
               fallbackNotKai + traceBlank + traceFilled + traceNotDotted;
    }
};

// The 5,401 characters of Big5 level 1 (codes A440 to C67E), in code order.
std::vector<char32_t> big5Level1();

// A fixed sample of `n` characters spread evenly over `all`.
std::vector<char32_t> sample(const std::vector<char32_t> &all, int n);

// Checks each character, drawn at an em of `emPixels`.
Counts check(const std::vector<char32_t> &chars, int emPixels = 160);

// The counts as the lines `tovrel-tool face --check` prints.
QStringList report(const Counts &c);

} // namespace facecheck
