// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the report model reads from its surroundings: the screen's colour
// depth and the locale's measurement system. Each may be pinned in
// reportState() (report/processwide.h); otherwise the platform answers. (The
// screen's pixels per inch are the reference surface's, platform/units.h.)
#include <optional>

namespace reportenv {

// Colours the screen can show, or 0 for true colour (no count).
long long screenColorCount();
bool usMeasurement();
// The system's primary language is Japanese (the report then keeps the
// platform's default font).
bool japaneseLanguage();

} // namespace reportenv
