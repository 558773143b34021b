// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// RpEvResult: the value of an expression or of one of its parts.
#include <QString>
#include <QVariant>
#include <cstdint>

enum RpEvResultType { resInt, resDouble, resString, resBool, resError };

enum RpEvOperator {
    opLess,
    opLessOrEqual,
    opGreater,
    opGreaterOrEqual,
    opEqual,
    opUnequal,
    opPlus,
    opMinus,
    opOr,
    opMul,
    opDiv,
    opAnd
};

struct RpEvResult {
    RpEvResultType kind = resInt;
    int32_t intResult = 0;
    double dblResult = 0.0;
    QString stringVal; // for resError: the message
    bool booResult = false;
    uint16_t codePage = 0; // code page of a string value; 0: UTF-16 text

    static RpEvResult fromInt(int32_t v);
    static RpEvResult fromDouble(double v);
    static RpEvResult fromString(const QString &v);
    static RpEvResult fromBool(bool v);
    static RpEvResult error(const QString &message);
    // An integer that does not fit 32 bits becomes a float.
    static RpEvResult fromInt64(int64_t v);

    bool isError() const { return kind == resError; }
    bool isNumeric() const { return kind == resInt || kind == resDouble; }
    // The numeric value as a double (integers widened).
    double number() const { return kind == resInt ? double(intResult) : dblResult; }
};

// A double in its usual decimal form, the same in every locale: up to 15
// significant digits, scientific notation only for very large or small
// values ("3.5", "12", "1e+20", "1e-05").
QString rpFormatFloat(double value);
// An integer, float, string or boolean as text ("True"/"False"); an error
// gives its message.
QString rpResultText(const RpEvResult &r);
// The operator's own text ("<", "<=", ..., "OR", "AND").
QString rpOperatorText(RpEvOperator op);
