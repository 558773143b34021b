// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Single-byte code pages as the PDF document meets them: code page 1252
// (Windows Latin 1), which the document's text and names are written in,
// and the code page a font's character set stands for.
#include <QByteArray>
#include <QString>
#include <QStringView>

namespace codepage {

// The byte of code page 1252 for `ch`, or -1 when it has none.
int toCp1252(char32_t ch);
// True when every character of `text` has a byte in code page 1252.
bool inCp1252(QStringView text);
// `text` in code page 1252; a character without a byte becomes its base
// letter when that has one (é of another script's accents, say), else "?".
QByteArray toCp1252Text(QStringView text);

// The code page of a font character set: 128 → 932, 134 → 936, 136 → 950,
// 161 → 1253, 162 → 1254, 163 → 1258, 177 → 1255, 178 → 1256, 186 → 1257,
// 204 → 1251, 222 → 874, 238 → 1250, 255 → the OEM code page (437), any
// other → 1252.
int forCharset(int charset);
// True for the code pages of Chinese, Japanese and Korean, whose bytes
// from 0x80 on lead two-byte characters.
bool isDoubleByte(int codePage);
// The character byte `b` stands for on its own in `codePage`; 0 when it
// stands for none (a lead byte, an unassigned byte). Nullopt-like false in
// `ok` when the code page cannot be read at all.
char32_t decodeByte(int codePage, quint8 b, bool *ok = nullptr);

} // namespace codepage
