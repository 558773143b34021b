// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "pdf/glyphnames.h"

#include <algorithm>
#include <iterator>

namespace glyphnames {

namespace {
struct Entry {
    char32_t ch;
    const char *name;
};
// In ascending order of character.
constexpr Entry kNames[] = {
#include "pdf/glyphnames.inc"
};
} // namespace

const char *nameOf(char32_t ch)
{
    const auto it = std::lower_bound(std::begin(kNames), std::end(kNames), ch,
                                     [](const Entry &e, char32_t c) { return e.ch < c; });
    return it != std::end(kNames) && it->ch == ch ? it->name : nullptr;
}

} // namespace glyphnames
