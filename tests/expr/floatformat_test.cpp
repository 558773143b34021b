// A format string with one number: every item type that takes a float, with
// widths and precisions, in two locales; every way of asking for more or
// another argument is refused.
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

TEST(FloatFormat, ItemsThatTakeANumber)
{
    EXPECT_EQ(fmt("%f", 1234.5), "1234.50");
    // Halves round away from zero, as in number pictures.
    EXPECT_EQ(fmt("%.0f", 2.5), "3");
    EXPECT_EQ(fmt("%.1f", -0.25), "-0.3");
    EXPECT_EQ(fmt("%.2f", -0.001), "0.00"); // no sign for a zero shown
    EXPECT_EQ(fmt("%n", 1234567.891), "1,234,567.89");
    EXPECT_EQ(fmt("%.1n", -1234.56), "-1,234.6");
    EXPECT_EQ(fmt("%e", 1234.5), "1.23450000000000E+003");
    EXPECT_EQ(fmt("%.3e", 0.000123), "1.23E-004");
    EXPECT_EQ(fmt("%g", 1234.5), "1234.5");
    EXPECT_EQ(fmt("%g", 1e20), "1E+20");
    EXPECT_EQ(fmt("%.3g", 3.14159), "3.14");
    EXPECT_EQ(fmt("%m", 1234.5), "$1,234.50");
    EXPECT_EQ(fmt("%.0m", 1234.5), "$1,235");
    EXPECT_EQ(fmt("%M", 7), "$7.00");
    EXPECT_EQ(fmt("%m", -2), kUs.toCurrencyString(-2.0).toStdString());
}

TEST(FloatFormat, TextWidthsIndexesAndThePercentSign)
{
    EXPECT_EQ(fmt("Total: %m.", 3), "Total: $3.00.");
    EXPECT_EQ(fmt("%8.1f|", 2.25), "     2.3|");
    EXPECT_EQ(fmt("%-8.1f|", 2.25), "2.3     |");
    EXPECT_EQ(fmt("%0:m = %0:.1f", 1.5), "$1.50 = 1.5");
    EXPECT_EQ(fmt("%0:-6.1f|", 1.5), "1.5   |");
    EXPECT_EQ(fmt("100%% of %m", 4), "100% of $4.00");
    EXPECT_EQ(fmt("no item", 4), "no item");
    EXPECT_EQ(fmt("", 4), "");
    // Precisions beyond what a double holds are capped.
    EXPECT_EQ(fmt("%.40f", 0.5), "0.500000000000000000");
}

TEST(FloatFormat, SeparatorsAndCurrencyFollowTheLocale)
{
    EXPECT_EQ(fmt("%f", 1234.5, kGerman), "1234,50");
    EXPECT_EQ(fmt("%n", 1234.5, kGerman), "1.234,50");
    EXPECT_EQ(fmt("%e", 1.5, kGerman), "1,50000000000000E+000");
    EXPECT_EQ(fmt("%g", 0.25, kGerman), "0,25");
    EXPECT_EQ(fmt("%m", 1234.5, kGerman), kGerman.toCurrencyString(1234.5).toStdString());
    EXPECT_NE(fmt("%m", 1234.5, kGerman).find("1.234,50"), std::string::npos);
}

TEST(FloatFormat, AnythingButTheOneNumberIsRefused)
{
    for (const char *format : {"%d", "%u", "%x", "%s", "%p", "%q", "%m %m", "%m %d", "%1:m", "%0:m %f", "%*m",
                               "%.*f", "%m %", "%", "%5", "%-", "%2000m", "%m%0:s"})
        EXPECT_EQ(fmt(format, 1.5), "<refused>") << format;
    // A huge width or precision costs nothing before it is refused or capped.
    EXPECT_EQ(fmt("%99999999999999999999m", 1), "<refused>");
    EXPECT_EQ(fmt("%.99999999999999999999f", 1), "1.000000000000000000");
}

TEST(FloatFormat, NonFiniteNumbersDoNotBreakTheFormatting)
{
    const double inf = std::numeric_limits<double>::infinity();
    for (const char *format : {"%f", "%n", "%e", "%g", "%m"}) {
        const std::optional<QString> s = rpFormatFloatString(QString::fromLatin1(format), inf, kUs);
        ASSERT_TRUE(s) << format;
        EXPECT_FALSE(s->isEmpty()) << format;
    }
}

} // namespace
