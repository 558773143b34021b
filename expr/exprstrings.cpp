// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "expr/exprstrings.h"

namespace exprstrings {

namespace {
// One entry per Id, in the order of the enumeration.
const char *const kTexts[IdCount] = {
    "Missing %1",
    "Error in expression : %1",
    "Illegal character in numeric contant ",
    "Unknown function : %1",
    "Operator %1 is not compatible with %2 expressions",
    "Cannot %1 %2 expressions",
    "Cannot divide by 0",
    "Field %1 is of unknown type",
    "Too many arguments",
    "Wrong arguments for %1",
    "Missing argument for %1",
    "Conversion error",
    "Division by Zero",
    "Invalid argument to SQRT function",
    "Invalid format or value specified",
    "Recursive calls not allowed",
    "Evaluator not prepared",
    "Not a %1 value",
    "True",
    "False",
    "Invalid use of NOT",
    "Expression nested too deeply",
    "add",
    "subtract",
    "multiply",
    "divide",
    "boolean",
    "string",
    "numeric",
    "none",
    "Returns <X> or <Y> depending on the boolean expression <Exp>",
    "Convert a numeric <X> to a string",
    "Converts a string to upper case letters",
    "Converts a string to lower case letters",
    "Makes the first character upper case and the rest lower case",
    "Return current time as a string",
    "Return current date as a string",
    "Returns a substring of string X",
    "Sums the numeric <X>",
    "Increments for each iteration",
    "Returns the highest <X>",
    "Returns the lowest <X>",
    "Returns the average of numeric <X>",
    "boolean value",
    "Returns the integer part of <X>",
    "Returns the fractional part of <X>",
    "Returns square root of <X>",
    "Integer division of <X> by <Y>",
    "Returns the data type of <Exp>",
    "Formats numeric <N> using the mask in <F>",
    "All",
    "Date & time",
    "Math & trig",
    "Statistical",
    "Database",
    "Logical",
    "Information",
    "Other",
};
} // namespace

QString text(Id id)
{
    if (id < 0 || id >= IdCount)
        return QString();
    return QString::fromUtf8(kTexts[id]);
}

} // namespace exprstrings
