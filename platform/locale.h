// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the report engine asks of the system locale: the measurement system
// (which picks the default report unit), the primary language, the user's
// short date and long time formats, and the decimal and thousands separators.
//
// The measurement system follows the POSIX environment each time it is
// asked: LC_ALL, else LC_MEASUREMENT, else LANG. The rest comes from the
// default QLocale (the system's unless QLocale::setDefault changed it).
// Numbers the engine writes into files never use any of this.
#include <QChar>
#include <QString>
#include <QtGlobal>

namespace rplocale {

enum class MeasurementSystem { Metric, US };

// Windows primary language identifiers of the languages the engine asks about.
enum : quint16 {
    LANG_NEUTRAL = 0x00,
    LANG_CHINESE = 0x04,
    LANG_GERMAN = 0x07,
    LANG_ENGLISH = 0x09,
    LANG_SPANISH = 0x0A,
    LANG_FRENCH = 0x0C,
    LANG_ITALIAN = 0x10,
    LANG_JAPANESE = 0x11,
    LANG_KOREAN = 0x12,
    LANG_DUTCH = 0x13,
    LANG_PORTUGUESE = 0x16,
    LANG_RUSSIAN = 0x19,
};

MeasurementSystem measurementSystem();
// The system's measurement entry as the engine stores it: "1" for U.S.,
// "0" for metric.
inline QString measurementEntry() { return measurementSystem() == MeasurementSystem::US ? QStringLiteral("1") : QStringLiteral("0"); }

// The measurement system of a POSIX locale name ("en_US.UTF-8", "C").
MeasurementSystem measurementSystemOf(const QString &localeName);

// The primary language (LC_ALL, else LC_MESSAGES, else LANG) as a Windows
// primary language id; LANG_NEUTRAL for C/POSIX or an unknown language.
quint16 primaryLanguage();
quint16 primaryLanguageOf(const QString &localeName);

// Date and time formats in QLocale's pattern form ("dd.MM.yy", "HH:mm:ss t").
QString shortDateFormat();
QString longTimeFormat();
QChar decimalSeparator();
// The thousands separator of numbers (the first character of the locale's).
QChar thousandSeparator();

} // namespace rplocale
