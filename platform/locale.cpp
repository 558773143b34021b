// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/locale.h"

#include <QByteArray>
#include <QLocale>

#include <clocale>
#include <langinfo.h>
#include <locale.h>

namespace rplocale {
namespace {

// The first of the variables that is set and not empty, as POSIX orders them.
QString envLocale(std::initializer_list<const char *> vars)
{
    for (const char *v : vars) {
        const QByteArray value = qgetenv(v);
        if (!value.isEmpty())
            return QString::fromLocal8Bit(value);
    }
    return QStringLiteral("C");
}

bool isPosixDefault(const QString &name)
{
    return name.isEmpty() || name == QLatin1String("C") || name == QLatin1String("POSIX")
        || name.startsWith(QLatin1String("C."));
}

} // namespace

MeasurementSystem measurementSystemOf(const QString &localeName)
{
    if (isPosixDefault(localeName))
        return MeasurementSystem::Metric;
#ifdef _NL_MEASUREMENT_MEASUREMENT
    // An installed locale says it itself (1 metric, 2 U.S.).
    if (locale_t loc = newlocale(LC_MEASUREMENT_MASK, localeName.toLocal8Bit().constData(), locale_t(nullptr))) {
        const char *m = nl_langinfo_l(_NL_MEASUREMENT_MEASUREMENT, loc);
        const int value = m ? int(static_cast<unsigned char>(m[0])) : 0;
        freelocale(loc);
        if (value == 1)
            return MeasurementSystem::Metric;
        if (value == 2)
            return MeasurementSystem::US;
    }
#endif
    // Otherwise the territory in the name decides (U.S., Liberia, Myanmar).
    QString name = localeName;
    name = name.section(QLatin1Char('.'), 0, 0).section(QLatin1Char('@'), 0, 0);
    const QLocale q(name);
    if (q.language() == QLocale::C)
        return MeasurementSystem::Metric;
    return q.measurementSystem() == QLocale::ImperialUSSystem ? MeasurementSystem::US : MeasurementSystem::Metric;
}

MeasurementSystem measurementSystem()
{
    return measurementSystemOf(envLocale({"LC_ALL", "LC_MEASUREMENT", "LANG"}));
}

quint16 primaryLanguageOf(const QString &localeName)
{
    if (isPosixDefault(localeName))
        return LANG_NEUTRAL;
    const QString name = localeName.section(QLatin1Char('.'), 0, 0).section(QLatin1Char('@'), 0, 0);
    switch (QLocale(name).language()) {
    case QLocale::Chinese:
        return LANG_CHINESE;
    case QLocale::German:
        return LANG_GERMAN;
    case QLocale::English:
        return LANG_ENGLISH;
    case QLocale::Spanish:
        return LANG_SPANISH;
    case QLocale::French:
        return LANG_FRENCH;
    case QLocale::Italian:
        return LANG_ITALIAN;
    case QLocale::Japanese:
        return LANG_JAPANESE;
    case QLocale::Korean:
        return LANG_KOREAN;
    case QLocale::Dutch:
        return LANG_DUTCH;
    case QLocale::Portuguese:
        return LANG_PORTUGUESE;
    case QLocale::Russian:
        return LANG_RUSSIAN;
    default:
        return LANG_NEUTRAL;
    }
}

quint16 primaryLanguage()
{
    return primaryLanguageOf(envLocale({"LC_ALL", "LC_MESSAGES", "LANG"}));
}

QString shortDateFormat()
{
    return QLocale().dateFormat(QLocale::ShortFormat);
}

QString longTimeFormat()
{
    return QLocale().timeFormat(QLocale::LongFormat);
}

QChar decimalSeparator()
{
    const QString d = QLocale().decimalPoint();
    return d.isEmpty() ? QLatin1Char('.') : d.at(0);
}

QChar thousandSeparator()
{
    const QString g = QLocale().groupSeparator();
    return g.isEmpty() ? QLatin1Char(',') : g.at(0);
}

} // namespace rplocale
