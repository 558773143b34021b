#include "report/reportenv.h"

#include "platform/locale.h"
#include "platform/screen.h"

namespace reportenv {

namespace {
std::optional<bool> g_us;
std::optional<long long> g_colors;
} // namespace

long long screenColorCount()
{
    if (g_colors)
        return *g_colors;
    const int depth = screenColorDepth();
    if (depth >= 24 || depth <= 0)
        return 0; // true colour: no count
    return 1LL << depth;
}

bool usMeasurement()
{
    if (g_us)
        return *g_us;
    return rplocale::measurementSystem() == rplocale::MeasurementSystem::US;
}

bool japaneseLanguage() { return rplocale::primaryLanguage() == rplocale::LANG_JAPANESE; }

void overrideUsMeasurement(std::optional<bool> us) { g_us = us; }
void overrideScreenColorCount(std::optional<long long> count) { g_colors = count; }

} // namespace reportenv
