// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The colours of the report surface on screen. The rich scheme is used when
// the screen shows more than 256 colours (or reports no count); otherwise
// the palette scheme.
#include "platform/gdi.h"

struct SurfaceScheme {
    gdi::LogPen rulerMinor;
    gdi::LogPen rulerMajor;
    gdi::ColorRef textColor;
    gdi::LogPen margins;
    gdi::LogPen bandOutline;
    bool rich;
};

SurfaceScheme richScheme();
SurfaceScheme paletteScheme();
// The scheme chosen from the screen's colour count the first time it is
// asked for (kept in reportState(), where tests may set one).
const SurfaceScheme &surfaceScheme();
