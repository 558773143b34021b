// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a filled worksheet cannot show as it should, for warnings: a
// character that no installed face can draw in a cell (neither the cell's
// face, nor a face of its substitution chain, nor, for a worksheet face the
// program draws itself, the stroke data), a character outside the Basic
// Multilingual Plane, whose halves go into two cells as the window puts them
// there, and a character the stroke-order face shows without its strokes
// because the stroke data lacks it.
#include <QString>
#include <QStringList>

class CustomReport;

// One warning a character, in the order of the word; empty when the sheet
// shows every character. `report` holds layout `layout` (the faces of its
// cells count, not what they are filled with).
QStringList faceWarnings(const CustomReport &report, int layout, const QString &word);
