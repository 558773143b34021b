// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How a word goes onto a worksheet: the layout of its length and the cells
// of that layout that take each of its characters. The window fills its
// layouts with it on every change of the word, and tovrel-sheet fills a
// fresh copy of the layout for each word it is given.
#include <QString>
#include <QStringList>

#include <vector>

class CustomReport;

namespace worksheet {

// The longest word a worksheet takes, in characters as wordLength counts.
constexpr int kLongestWord = 4;

// A character is one Unicode code point: a character outside the Basic
// Multilingual Plane (𠀋, two UTF-16 code units) is one character in one cell.
// (A lone half of such a pair, which no text should hold, counts as one.)
int wordLength(const QString &word);

// The characters of `word`, one string each.
QStringList wordCharacters(const QString &word);

// The cells of layout 1..4 in the order they are written, each with the
// (1-based) position of the character it takes. Empty for another number.
struct Cell {
    const char *name;
    int character;
};
const std::vector<Cell> &cellsOf(int layout);

// The name of the sheets of `words`, as their print jobs take it when the
// report has no title of its own: "Tovrel 學校", "Tovrel 變 從"; after five
// words the rest are counted.
QString sheetName(const QStringList &words);

// Writes the first characters of `word` into the cells of `report`, which
// holds layout `layout`: each cell gets the character of its position.
// A cell whose position lies past the end of the word keeps its caption.
void fillLayout(CustomReport &report, int layout, const QString &word);

} // namespace worksheet
