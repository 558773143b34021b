// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The worksheet window's own texts.
#include <QString>

namespace appstrings {

QString windowCaption();      // "Tovrel"
QString fontNote();           // Label1: which font package the sheets need
QString label2();             // "Label2"
QString wordLimitNote();      // Label3
QString initialWord();        // "變"
QString printButton();        // "Print"
QString pageCaption(int index); // "Page1" .. "Page4"
QString wordTooLong();        // the message for a fifth character
// One line of the font notice: `wanted` is drawn by `standIn`.
QString fontStandsIn(const QString &wanted, const QString &standIn);
// The notice's lines for the worksheet faces the program draws itself, with
// the metrics (stroke order) or the outlines (tracing) of `standIn`.
QString strokeFaceSynthesised(const QString &standIn);
QString tracingFaceSynthesised(const QString &standIn);
// Where the stroke data comes from and which forms it follows.
QString strokeOrderConvention();
// A stroke data file that cannot be read.
QString strokeDataMissing(const QString &path);
// The characters of the word drawn without stroke numbers, and those no
// installed face has (their cells stay empty).
QString drawnWithoutStrokeNumbers(const QString &characters);
QString noFaceHas(const QString &characters);

} // namespace appstrings
