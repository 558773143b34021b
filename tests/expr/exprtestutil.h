// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Helpers shared by the expression tests.
#include "expr/evaluator.h"
#include "expr/evresult.h"

#include <QString>
#include <gtest/gtest.h>
#include <ostream>

inline RpEvResult evalExpr(const QString &text)
{
    RpEvaluator ev;
    RpEvResult r;
    ev.calculate(text, r);
    return r;
}

inline const char *kindText(RpEvResultType k)
{
    static const char *const names[] = {"resInt", "resDouble", "resString", "resBool", "resError"};
    return names[k];
}

inline void PrintTo(const RpEvResult &r, std::ostream *os)
{
    *os << kindText(r.kind) << " " << rpResultText(r).toStdString();
}

// The kind and the text of a result, as one comparable string.
inline std::string shown(const RpEvResult &r)
{
    return std::string(kindText(r.kind)) + " " + rpResultText(r).toStdString();
}

inline std::string shownExpr(const QString &text) { return shown(evalExpr(text)); }
