// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The expression evaluator's strings table: every message and text it shows.
#include <QString>

namespace exprstrings {

enum Id {
    MissingFmt,               // "Missing %1"
    ErrorInExpressionFmt,     // "Error in expression : %1"
    IllegalNumericConstant,   // followed by the literal in double quotes
    UnknownFunctionFmt,       // "Unknown function : %1"
    OperatorNotCompatibleFmt, // operator, kind
    CannotFmt,                // verb, kind
    CannotDivideByZero,
    FieldUnknownTypeFmt,
    TooManyArguments,
    WrongArgumentsFmt,
    MissingArgumentFmt,
    ConversionError,
    DivisionByZero,
    InvalidSqrtArgument,
    InvalidFormatOrValue,
    RecursiveCalls,
    EvaluatorNotPrepared,
    NotAValueFmt,
    TrueText,
    FalseText,
    InvalidUseOfNot,
    NestedTooDeeply,
    // operands of the messages above
    VerbAdd,
    VerbSubtract,
    VerbMultiply,
    VerbDivide,
    KindBoolean,
    KindString,
    KindNumeric,
    NoneText,
    // function descriptions
    DescIf,
    DescStr,
    DescUpper,
    DescLower,
    DescPretty,
    DescTime,
    DescDate,
    DescCopy,
    DescSum,
    DescCount,
    DescMax,
    DescMin,
    DescAverage,
    DescBoolean,
    DescInt,
    DescFrac,
    DescSqrt,
    DescDiv,
    DescTypeOf,
    DescFormatNumeric,
    // function categories (first digit of an argument code)
    CategoryAll,
    CategoryDateTime,
    CategoryMath,
    CategoryStatistical,
    CategoryDatabase,
    CategoryLogical,
    CategoryInformation,
    CategoryOther,
    IdCount
};

QString text(Id id);

} // namespace exprstrings
