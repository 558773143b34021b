// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading one character's stroke data from its JSON file, the per-character
// form of the open stroke data ("X.json" for the character X):
//
//   {"strokes": ["M 496 802 Q 529 766 560 757 ... Z", ...],
//    "medians": [[[488, 827], [544, 797], [562, 777]], ...]}
//
// one outline (SVG path data) and one median per stroke, in writing order, in
// the design units of strokecodec.h. Path data may use M, L, H, V, Q, C and Z,
// absolute or relative, with the usual implicit repetition.
#include "faces/strokecodec.h"

#include <QByteArray>
#include <QString>

#include <variant>

namespace strokes {

// The character a file name stands for ("變.json" gives U+8B8A); 0 when the
// name is not one character followed by ".json".
char32_t characterOfFileName(const QString &fileName);

// The character's strokes, or a message saying what is wrong with the file.
std::variant<CharStrokes, QString> parseCharJson(const QByteArray &json);

// Reads and parses the file at `path` (files larger than a character's data
// are refused unread), or says what is wrong with it.
std::variant<CharStrokes, QString> readCharFile(const QString &path);

// SVG path data of one outline; nullopt when it is not well formed.
std::optional<Outline> parsePathData(const QString &d);

} // namespace strokes
