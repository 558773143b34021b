// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/reportenv.h"

#include "platform/locale.h"
#include "platform/screen.h"
#include "report/processwide.h"

namespace reportenv {

long long screenColorCount()
{
    if (const auto &pinned = reportState().screenColorCount)
        return *pinned;
    const int depth = screenColorDepth();
    if (depth >= 24 || depth <= 0)
        return 0; // true colour: no count
    return 1LL << depth;
}

bool usMeasurement()
{
    if (const auto &pinned = reportState().usMeasurement)
        return *pinned;
    return rplocale::measurementSystem() == rplocale::MeasurementSystem::US;
}

bool japaneseLanguage() { return rplocale::primaryLanguage() == rplocale::LANG_JAPANESE; }

} // namespace reportenv
