// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/surfacescheme.h"

#include "report/processwide.h"
#include "report/reportenv.h"

#include <optional>

SurfaceScheme richScheme()
{
    return SurfaceScheme{
        {gdi::PS_SOLID, 1, gdi::rgb(0xF9, 0xF9, 0xF9)},
        {gdi::PS_SOLID, 1, gdi::rgb(0xF0, 0xF0, 0xF0)},
        gdi::rgb(0x70, 0x70, 0x70),
        {gdi::PS_DOT, 1, gdi::rgb(0x80, 0x80, 0xFF)},
        {gdi::PS_DOT, 1, gdi::rgb(0x60, 0x60, 0x60)},
        true,
    };
}

SurfaceScheme paletteScheme()
{
    return SurfaceScheme{
        {gdi::PS_DOT, 1, gdi::rgb(0xC0, 0xC0, 0xC0)},
        {gdi::PS_SOLID, 1, gdi::rgb(0xC0, 0xC0, 0xC0)},
        gdi::rgb(0xC0, 0xC0, 0xC0),
        {gdi::PS_DASH, 1, gdi::rgb(0x80, 0x80, 0x80)},
        {gdi::PS_SOLID, 1, gdi::rgb(0x80, 0x80, 0x80)},
        false,
    };
}

const SurfaceScheme &surfaceScheme()
{
    std::optional<SurfaceScheme> &scheme = reportState().surfaceScheme;
    if (!scheme) {
        const long long colors = reportenv::screenColorCount();
        scheme = (colors == 0 || colors > 256) ? richScheme() : paletteScheme();
    }
    return *scheme;
}
