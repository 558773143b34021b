// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The code pages of the symbol faces documents use, "Symbol", "Wingdings",
// "Wingdings 2", "Wingdings 3" and "Webdings": which Unicode character each
// of their codes stands for. Text in these faces is written as codes 0x20 to
// 0xFF (or the same codes in the private-use form U+F020 to U+F0FF); where
// the face itself is not installed the characters the codes stand for are
// drawn instead.
#include <QString>

namespace fonts {

// Codes 0x20 to 0xFF of a symbol face.
struct SymbolTable {
    char32_t chars[224];
};

// The table of a face (one of those above, any letter case); null for other
// faces.
const SymbolTable *symbolTable(const QString &faceName);

// The character `code` stands for in `table` (codes below 0x20 and characters
// that are not codes stay as they are; a code the face leaves empty is a
// space).
char32_t symbolToUnicode(const SymbolTable &table, char32_t code);

} // namespace fonts
