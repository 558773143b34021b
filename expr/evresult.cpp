// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "expr/evresult.h"

#include "expr/exprstrings.h"

#include <charconv>
#include <cmath>
#include <limits>

RpEvResult RpEvResult::fromInt(int32_t v)
{
    RpEvResult r;
    r.kind = resInt;
    r.intResult = v;
    return r;
}

RpEvResult RpEvResult::fromDouble(double v)
{
    RpEvResult r;
    r.kind = resDouble;
    r.dblResult = v;
    return r;
}

RpEvResult RpEvResult::fromString(const QString &v)
{
    RpEvResult r;
    r.kind = resString;
    r.stringVal = v;
    return r;
}

RpEvResult RpEvResult::fromBool(bool v)
{
    RpEvResult r;
    r.kind = resBool;
    r.booResult = v;
    return r;
}

RpEvResult RpEvResult::error(const QString &message)
{
    RpEvResult r;
    r.kind = resError;
    r.stringVal = message;
    return r;
}

RpEvResult RpEvResult::fromInt64(int64_t v)
{
    if (v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max())
        return fromInt(int32_t(v));
    return fromDouble(double(v));
}

QString rpFormatFloat(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (value == 0)
        return QStringLiteral("0"); // also for -0
    char buf[64];
    // to_chars never looks at the locale.
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    return QString::fromLatin1(buf, res.ptr - buf);
}

QString rpResultText(const RpEvResult &r)
{
    switch (r.kind) {
    case resInt:
        return QString::number(r.intResult);
    case resDouble:
        return rpFormatFloat(r.dblResult);
    case resString:
    case resError:
        return r.stringVal;
    case resBool:
        return exprstrings::text(r.booResult ? exprstrings::TrueText : exprstrings::FalseText);
    }
    return QString();
}

QString rpOperatorText(RpEvOperator op)
{
    switch (op) {
    case opLess: return QStringLiteral("<");
    case opLessOrEqual: return QStringLiteral("<=");
    case opGreater: return QStringLiteral(">");
    case opGreaterOrEqual: return QStringLiteral(">=");
    case opEqual: return QStringLiteral("=");
    case opUnequal: return QStringLiteral("<>");
    case opPlus: return QStringLiteral("+");
    case opMinus: return QStringLiteral("-");
    case opOr: return QStringLiteral("OR");
    case opMul: return QStringLiteral("*");
    case opDiv: return QStringLiteral("/");
    case opAnd: return QStringLiteral("AND");
    }
    return QString();
}
