// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The two worksheet faces this program draws itself when no font of their
// family is installed: "華康標楷筆順體" (stroke order: each stroke filled and
// numbered) and "華康標楷虛線體" (tracing: dotted outlines). Installed fonts of
// those families are always used as they are.
#include <QString>
#include <QtGlobal>

namespace faces {

enum class Synthesis : quint8 {
    None,        // the family's own font, or a plain stand-in
    StrokeOrder, // the synthesised stroke-order face
    Tracing,     // the synthesised tracing face
};

QString strokeOrderFamily(); // "華康標楷筆順體"
QString tracingFamily();     // "華康標楷虛線體"

// Which synthesised face draws `family` (any letter case): None for other
// families and when a font of the family is installed.
Synthesis synthesisFor(const QString &family);

} // namespace faces
