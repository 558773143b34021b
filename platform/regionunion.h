// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The union of many regions, merged pairwise: n regions cost about
// n log n rectangle merges, where adding them one at a time costs n squared
// (a region of thousands of rectangles read from a file must not stall).
#include <QRegion>

#include <vector>

inline QRegion unitedRegion(std::vector<QRegion> parts)
{
    if (parts.empty())
        return {};
    while (parts.size() > 1) {
        std::vector<QRegion> next;
        next.reserve((parts.size() + 1) / 2);
        for (size_t i = 0; i + 1 < parts.size(); i += 2)
            next.push_back(parts[i].united(parts[i + 1]));
        if (parts.size() % 2)
            next.push_back(parts.back());
        parts = std::move(next);
    }
    return parts.front();
}
