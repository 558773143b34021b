// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "expr/numberpicture.h"

#include "expr/evresult.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

namespace {

QStringList splitSections(const QString &mask)
{
    QStringList sections;
    QString cur;
    QChar quote;
    for (QChar c : mask) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'\'' || c == u'"') {
            quote = c;
        } else if (c == u';') {
            sections.append(cur);
            cur.clear();
            continue;
        }
        cur.append(c);
    }
    sections.append(cur);
    return sections;
}

struct Picture {
    QString prefix, suffix;
    int intPlaces = 0;
    int firstIntZero = -1; // index of the leftmost integer "0"
    int fracPlaces = 0;
    int lastFracZero = 0; // places up to and including the last fraction "0"
    bool point = false;
    bool thousands = false;
    bool scientific = false;
    QChar expChar;
    bool expPlus = false;
    int expDigits = 0;
};

Picture parse(const QString &s)
{
    Picture p;
    bool seenDigit = false;
    auto literal = [&](QChar c) { (seenDigit || p.point ? p.suffix : p.prefix).append(c); };
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (c == u'\'' || c == u'"') {
            qsizetype j = i + 1;
            while (j < s.size() && s.at(j) != c)
                literal(s.at(j++));
            i = j;
        } else if (p.scientific) {
            literal(c);
        } else if (c == u'0' || c == u'#') {
            seenDigit = true;
            if (p.point) {
                ++p.fracPlaces;
                if (c == u'0')
                    p.lastFracZero = p.fracPlaces;
            } else {
                if (c == u'0' && p.firstIntZero < 0)
                    p.firstIntZero = p.intPlaces;
                ++p.intPlaces;
            }
        } else if (c == u'.') {
            p.point = true; // a second point is dropped
        } else if (c == u',') {
            p.thousands = true;
        } else if ((c == u'E' || c == u'e') && i + 1 < s.size() && (s.at(i + 1) == u'+' || s.at(i + 1) == u'-')) {
            p.scientific = true;
            p.expChar = c;
            p.expPlus = s.at(i + 1) == u'+';
            i += 2;
            while (i < s.size() && s.at(i) == u'0' && p.expDigits < 4) {
                ++p.expDigits;
                ++i;
            }
            --i;
        } else {
            literal(c);
        }
    }
    return p;
}

QString group(const QString &digits, QChar sep)
{
    QString out;
    const qsizetype n = digits.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out.append(sep);
        out.append(digits.at(i));
    }
    return out;
}

} // namespace

std::optional<QString> rpFormatNumberPicture(const QString &mask, double value, QChar decimalSeparator,
                                             QChar thousandSeparator)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const QStringList sections = splitSections(mask);
    QString section = sections.at(0);
    bool sign = value < 0;
    if (value < 0 && sections.size() >= 2 && !sections.at(1).isEmpty()) {
        section = sections.at(1);
        sign = false;
    } else if (value == 0 && sections.size() >= 3 && !sections.at(2).isEmpty()) {
        section = sections.at(2);
    }
    if (section.isEmpty()) {
        QString g = rpFormatFloat(value);
        g.replace(u'.', decimalSeparator);
        return g;
    }
    const Picture p = parse(section);
    if (p.intPlaces == 0 && p.fracPlaces == 0 && !p.point && !p.scientific)
        return p.prefix + p.suffix;

    const double a = std::fabs(value);
    const int decimals = p.fracPlaces;
    QString digits, exponent;
    if (p.scientific) {
        const int intDigits = std::max(1, p.intPlaces);
        int exp = 0;
        double mant = 0;
        if (a != 0) {
            exp = int(std::floor(std::log10(a))) - (intDigits - 1);
            mant = a / std::pow(10.0, exp);
            digits = QString::number(mant, 'f', decimals);
            if (digits.indexOf(u'.') > intDigits || (digits.indexOf(u'.') < 0 && digits.size() > intDigits)) {
                ++exp;
                mant = a / std::pow(10.0, exp);
            }
        }
        digits = QString::number(mant, 'f', decimals);
        QString e = QString::number(std::abs(exp)).rightJustified(p.expDigits, u'0');
        exponent = QString(p.expChar) + (exp < 0 ? QStringLiteral("-") : (p.expPlus ? QStringLiteral("+") : QString())) + e;
    } else {
        digits = QString::number(a, 'f', decimals); // never the locale's separator
    }
    const qsizetype dot = digits.indexOf(u'.');
    QString intPart = dot < 0 ? digits : digits.left(dot);
    QString fracPart = dot < 0 ? QString() : digits.mid(dot + 1);
    const int minInt = p.firstIntZero < 0 ? 0 : p.intPlaces - p.firstIntZero;
    if (intPart == u"0" && minInt == 0)
        intPart.clear();
    if (intPart.size() < minInt)
        intPart = intPart.rightJustified(minInt, u'0');
    if (p.thousands)
        intPart = group(intPart, thousandSeparator);
    while (fracPart.size() > p.lastFracZero && fracPart.endsWith(u'0'))
        fracPart.chop(1);
    QString number = intPart;
    if (!fracPart.isEmpty())
        number += decimalSeparator + fracPart;
    number += exponent;
    const bool nonZero = std::any_of(digits.begin(), digits.end(), [](QChar c) { return c >= u'1' && c <= u'9'; });
    return (sign && nonZero ? QStringLiteral("-") : QString()) + p.prefix + number + p.suffix;
}
