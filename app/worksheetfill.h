// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How a word goes onto a worksheet: the layout of its length and the cells
// of that layout that take each of its characters. The window fills its
// layouts with it on every change of the word, and tovrel-sheet fills a
// fresh copy of the layout for each word it is given.
#include <QString>

#include <vector>

class CustomReport;

namespace worksheet {

// The longest word a worksheet takes, in characters as wordLength counts.
constexpr int kLongestWord = 4;

// A character is one UTF-16 code unit: a character outside the Basic
// Multilingual Plane counts twice, and its halves go into two cells.
inline int wordLength(const QString &word) { return int(word.size()); }

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
// holds layout `layout`: each cell gets the one code unit of its position.
// A cell whose position lies past the end of the word keeps its caption.
void fillLayout(CustomReport &report, int layout, const QString &word);

} // namespace worksheet
