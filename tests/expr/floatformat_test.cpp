// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A format string with one number: the item types that take it, in two
// locales; every way of asking for more or another argument is refused.
#include "expr/floatformat.h"

#include <QLocale>
#include <gtest/gtest.h>

namespace {

const QLocale kUs(QLocale::English, QLocale::UnitedStates);
const QLocale kGerman(QLocale::German, QLocale::Germany);

std::string fmt(const char *format, double v, const QLocale &locale = kUs)
{
    const std::optional<QString> s = rpFormatFloatString(QString::fromUtf8(format), v, locale);
    return s ? s->toStdString() : std::string("<refused>");
}

TEST(FloatFormat, ItemsWidthsAndLocales)
{
    EXPECT_EQ(fmt("%f", 1234.5), "1234.50");
    EXPECT_EQ(fmt("%.0f", 2.5), "3"); // halves away from zero, as in number pictures
    EXPECT_EQ(fmt("%.2f", -0.001), "0.00");
    EXPECT_EQ(fmt("%.1n", -1234.56), "-1,234.6");
    EXPECT_EQ(fmt("%e", 1234.5), "1.23450000000000E+003");
    EXPECT_EQ(fmt("%.3g", 3.14159), "3.14");
    EXPECT_EQ(fmt("Total: %M.", 7), "Total: $7.00.");
    EXPECT_EQ(fmt("%-8.1f|%0:8.1f", 2.25), "2.3     |     2.3");
    EXPECT_EQ(fmt("100%% of %.0m", 1234.5), "100% of $1,235");
    EXPECT_EQ(fmt("%.40f", 0.5), "0.500000000000000000"); // capped at 18
    EXPECT_EQ(fmt("%n|%0:e", 1234.5, kGerman), "1.234,50|1,23450000000000E+003");
    EXPECT_EQ(fmt("%m", 1234.5, kGerman), kGerman.toCurrencyString(1234.5).toStdString());
    EXPECT_NE(fmt("%m|%0:f|%0:e|%0:g", std::numeric_limits<double>::infinity()), "<refused>");
}

TEST(FloatFormat, AnythingButTheOneNumberIsRefused)
{
    for (const char *format : {"%d", "%u", "%x", "%s", "%p", "%q", "%m %m", "%m %d", "%1:m", "%0:m %f", "%*m",
                               "%.*f", "%m %", "%5", "%2000m", "%m%0:s", "%99999999999999999999m"})
        EXPECT_EQ(fmt(format, 1.5), "<refused>") << format;
}

} // namespace
