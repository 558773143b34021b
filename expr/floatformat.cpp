// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "expr/floatformat.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kMaxPrecision = 18;
constexpr int kMaxWidth = 1024;

QChar firstOf(const QString &s, QChar fallback) { return s.isEmpty() ? fallback : s.at(0); }

QString grouped(const QString &digits, QChar separator)
{
    QString out;
    const qsizetype n = digits.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out.append(separator);
        out.append(digits.at(i));
    }
    return out;
}

bool anyNonZeroDigit(const QString &s)
{
    return std::any_of(s.begin(), s.end(), [](QChar c) { return c >= u'1' && c <= u'9'; });
}

// Fixed notation with `decimals` places, with or without thousands separators.
QString fixed(double value, int decimals, bool thousands, const QLocale &locale)
{
    if (!std::isfinite(value))
        return QString::number(value);
    const QString digits = QString::number(std::fabs(value), 'f', decimals);
    const qsizetype dot = digits.indexOf(u'.');
    QString out = dot < 0 ? digits : digits.left(dot);
    if (thousands)
        out = grouped(out, firstOf(locale.groupSeparator(), u','));
    if (dot >= 0)
        out += firstOf(locale.decimalPoint(), u'.') + digits.mid(dot + 1);
    return (value < 0 && anyNonZeroDigit(digits) ? QStringLiteral("-") : QString()) + out;
}

// Scientific notation with `significant` digits and an exponent of at least
// three digits.
QString scientific(double value, int significant, const QLocale &locale)
{
    const QString s = QString::number(value, 'e', significant - 1); // "-1.2345e+03"
    const qsizetype e = s.indexOf(u'e');
    if (e < 0 || e + 2 > s.size())
        return s; // inf, nan
    QString mantissa = s.left(e);
    mantissa.replace(u'.', firstOf(locale.decimalPoint(), u'.'));
    return mantissa + u'E' + s.at(e + 1) + s.mid(e + 2).rightJustified(3, u'0');
}

QString general(double value, int significant, const QLocale &locale)
{
    QString s = QString::number(value, 'g', significant); // "1234.5", "1e+20"
    s.replace(u'.', firstOf(locale.decimalPoint(), u'.'));
    s.replace(u'e', u'E');
    return s;
}

bool isAsciiDigit(QChar c) { return c >= u'0' && c <= u'9'; }

} // namespace

std::optional<QString> rpFormatFloatString(const QString &format, double value, const QLocale &locale)
{
    QString out;
    int nextArgument = 0;
    const qsizetype n = format.size();
    qsizetype i = 0;
    // A number at i, or none; false for "*" (a value taken from the
    // argument list, which holds the one number only).
    auto number = [&](std::optional<int> &v) -> bool {
        if (i < n && format.at(i) == u'*')
            return false;
        if (i >= n || !isAsciiDigit(format.at(i)))
            return true;
        qint64 x = 0;
        while (i < n && isAsciiDigit(format.at(i))) {
            x = std::min<qint64>(x * 10 + (format.at(i).unicode() - u'0'), qint64(1) << 30);
            ++i;
        }
        v = int(x);
        return true;
    };
    while (i < n) {
        const QChar c = format.at(i++);
        if (c != u'%') {
            out.append(c);
            continue;
        }
        if (i < n && format.at(i) == u'%') {
            out.append(u'%');
            ++i;
            continue;
        }
        std::optional<int> first, width, precision;
        int argument = nextArgument;
        if (!number(first))
            return std::nullopt;
        if (first && i < n && format.at(i) == u':') {
            argument = *first;
            first.reset();
            ++i;
        }
        bool leftAligned = false;
        if (!first && i < n && format.at(i) == u'-') {
            leftAligned = true;
            ++i;
        }
        if (first)
            width = first;
        else if (!number(width))
            return std::nullopt;
        if (i < n && format.at(i) == u'.') {
            ++i;
            if (!number(precision))
                return std::nullopt;
            precision = std::min(precision.value_or(0), kMaxPrecision);
        }
        if (i >= n)
            return std::nullopt; // the item has no type
        const QChar type = format.at(i++).toLower();
        nextArgument = argument + 1;
        if (argument != 0)
            return std::nullopt; // there is one argument only
        if (width && *width > kMaxWidth)
            return std::nullopt;
        QString item;
        switch (type.unicode()) {
        case u'f':
            item = fixed(value, precision.value_or(2), false, locale);
            break;
        case u'n':
            item = fixed(value, precision.value_or(2), true, locale);
            break;
        case u'e':
            item = scientific(value, std::max(1, precision.value_or(15)), locale);
            break;
        case u'g':
            item = general(value, std::max(1, precision.value_or(15)), locale);
            break;
        case u'm':
            item = locale.toCurrencyString(value, QString(), precision.value_or(-1));
            break;
        default:
            return std::nullopt; // an integer, string or pointer item
        }
        if (width && item.size() < *width)
            item = leftAligned ? item.leftJustified(*width) : item.rightJustified(*width);
        out += item;
    }
    return out;
}
