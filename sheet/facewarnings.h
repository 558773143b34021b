// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a filled worksheet cannot show as it should, for warnings: a
// character that no installed face can draw in a cell (neither the cell's
// face, nor a face of its substitution chain, nor, for a worksheet face the
// program draws itself, the stroke data), whose cells stay empty; and the
// characters the stroke-order cells draw without stroke numbers, because no
// stroke data of the tracing glyph's form has them.
#include <QString>
#include <QStringList>

class CustomReport;

struct FaceWarnings {
    QStringList lines;    // one a character no face draws, in the order of the word
    QString unnumbered;   // the characters drawn without stroke numbers, each once
};

// What `report`, holding layout `layout` filled with `word`, cannot show.
FaceWarnings faceWarnings(const CustomReport &report, int layout, const QString &word);

// The line naming characters drawn without stroke numbers.
QString unnumberedWarning(const QString &characters);
