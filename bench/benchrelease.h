// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Fixtures that benchmarks keep between runs, released before the
// application object goes (static destructors would run after it).
#include <functional>
#include <vector>

namespace bench {

inline std::vector<std::function<void()>> &releasers()
{
    static std::vector<std::function<void()>> list;
    return list;
}

inline void releaseAtEnd(std::function<void()> release) { releasers().push_back(std::move(release)); }

inline void releaseNow()
{
    for (auto it = releasers().rbegin(); it != releasers().rend(); ++it)
        (*it)();
    releasers().clear();
}

} // namespace bench
