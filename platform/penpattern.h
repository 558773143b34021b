// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The dashes of the built-in pen styles, as every canvas draws them.
#include "platform/gdi.h"

#include <vector>

namespace gdi {

// On and off lengths of a built-in style (PS_DASH ... PS_DASHDOTDOT,
// PS_ALTERNATE), in pixels for a one-pixel pen and in pen widths for a wider
// one; empty for a solid style.
inline std::vector<double> builtInPenPattern(quint32 style)
{
    switch (style & PS_STYLE_MASK) {
    case PS_DASH:
        return {18, 6};
    case PS_DOT:
    case PS_ALTERNATE:
        return {1, 1};
    case PS_DASHDOT:
        return {9, 6, 3, 6};
    case PS_DASHDOTDOT:
        return {9, 3, 3, 3, 3, 3};
    default:
        return {};
    }
}

} // namespace gdi
