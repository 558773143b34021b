// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/locale.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace {

// Sets environment variables for one test and puts them back afterwards.
class EnvGuard {
public:
    explicit EnvGuard(std::initializer_list<const char *> names)
    {
        for (const char *n : names) {
            const char *v = std::getenv(n);
            m_saved.emplace_back(n, v ? std::optional<std::string>(v) : std::nullopt);
            unsetenv(n);
        }
    }
    ~EnvGuard()
    {
        for (const auto &[n, v] : m_saved) {
            if (v)
                setenv(n.c_str(), v->c_str(), 1);
            else
                unsetenv(n.c_str());
        }
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

using rplocale::MeasurementSystem;

TEST(Locale, MeasurementSystemFollowsLcMeasurementWithLcAllFirst)
{
    EnvGuard env({"LC_ALL", "LC_MEASUREMENT", "LANG"});
    EXPECT_EQ(rplocale::measurementSystem(), MeasurementSystem::Metric); // nothing set: C

    setenv("LANG", "en_US.UTF-8", 1);
    EXPECT_EQ(rplocale::measurementSystem(), MeasurementSystem::US);
    EXPECT_EQ(rplocale::measurementEntry(), "1");

    setenv("LC_MEASUREMENT", "de_DE.UTF-8", 1); // beats LANG
    EXPECT_EQ(rplocale::measurementSystem(), MeasurementSystem::Metric);
    EXPECT_EQ(rplocale::measurementEntry(), "0");

    setenv("LC_ALL", "en_US.UTF-8", 1); // beats both
    EXPECT_EQ(rplocale::measurementSystem(), MeasurementSystem::US);

    setenv("LC_ALL", "", 1); // empty counts as unset
    EXPECT_EQ(rplocale::measurementSystem(), MeasurementSystem::Metric);
}

TEST(Locale, MeasurementSystemOfLocaleNames)
{
    // Installed or not, with or without codeset and modifier.
    EXPECT_EQ(rplocale::measurementSystemOf("en_US"), MeasurementSystem::US);
    EXPECT_EQ(rplocale::measurementSystemOf("es_US.UTF-8"), MeasurementSystem::US);
    EXPECT_EQ(rplocale::measurementSystemOf("en_GB.UTF-8"), MeasurementSystem::Metric);
    EXPECT_EQ(rplocale::measurementSystemOf("zh_TW.UTF-8"), MeasurementSystem::Metric);
    EXPECT_EQ(rplocale::measurementSystemOf("de_DE.UTF-8@euro"), MeasurementSystem::Metric);
    EXPECT_EQ(rplocale::measurementSystemOf("C.UTF-8"), MeasurementSystem::Metric);
    EXPECT_EQ(rplocale::measurementSystemOf("POSIX"), MeasurementSystem::Metric);
    EXPECT_EQ(rplocale::measurementSystemOf("garbage"), MeasurementSystem::Metric);
}

TEST(Locale, PrimaryLanguageAsWindowsIdentifier)
{
    EXPECT_EQ(rplocale::primaryLanguageOf("ja_JP.UTF-8"), rplocale::LANG_JAPANESE);
    EXPECT_EQ(rplocale::primaryLanguageOf("zh_TW.UTF-8"), rplocale::LANG_CHINESE);
    EXPECT_EQ(rplocale::primaryLanguageOf("en_US"), rplocale::LANG_ENGLISH);
    EXPECT_EQ(rplocale::primaryLanguageOf("C"), rplocale::LANG_NEUTRAL);

    EnvGuard env({"LC_ALL", "LC_MESSAGES", "LANG"});
    setenv("LANG", "de_DE.UTF-8", 1);
    setenv("LC_MESSAGES", "ja_JP.UTF-8", 1);
    EXPECT_EQ(rplocale::primaryLanguage(), rplocale::LANG_JAPANESE);
    setenv("LC_ALL", "fr_FR.UTF-8", 1);
    EXPECT_EQ(rplocale::primaryLanguage(), rplocale::LANG_FRENCH);
}

TEST(Locale, FormatsAndSeparatorFollowTheDefaultLocale)
{
    const QLocale old;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(rplocale::decimalSeparator(), QLatin1Char(','));
    EXPECT_EQ(rplocale::thousandSeparator(), QLatin1Char('.'));
    EXPECT_EQ(rplocale::shortDateFormat(), QLocale().dateFormat(QLocale::ShortFormat));
    EXPECT_TRUE(rplocale::shortDateFormat().contains("MM"));
    EXPECT_TRUE(rplocale::longTimeFormat().contains("ss"));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(rplocale::decimalSeparator(), QLatin1Char('.'));
    EXPECT_EQ(rplocale::thousandSeparator(), QLatin1Char(','));
    EXPECT_NE(rplocale::shortDateFormat().indexOf('M'), -1);
    QLocale::setDefault(old);
}

} // namespace
