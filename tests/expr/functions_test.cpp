// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The function library: every function with good and wrong arguments, the
// aggregates, and the texts the expression builder lists.
#include "exprtestutil.h"

#include "expr/functions.h"
#include "data/memorytable.h"

#include <QLocale>
#include <gtest/gtest.h>

namespace {

struct Case {
    const char *expression;
    const char *expected;
};

void checkAll(const std::vector<Case> &cases)
{
    for (const Case &c : cases)
        EXPECT_EQ(shownExpr(QString::fromUtf8(c.expression)), c.expected) << "expression: " << c.expression;
}

TEST(ExprFunctions, ScalarFunctionsWithGoodAndWrongArguments)
{
    checkAll({
        {"IF(1 < 2, 'yes', 'no')", "resString yes"},
        {"IF(FALSE, 1, 2.5)", "resDouble 2.5"},
        {"IF(TRUE, 1, 1/0)", "resInt 1"}, // both are evaluated, the chosen one counts
        {"IF(1, 2, 3)", "resError Wrong arguments for IF"},
        {"IF(TRUE, 2)", "resError Wrong arguments for IF"},
        {"IF(1/0, 2, 3)", "resError Wrong arguments for IF"},

        {"STR(42)", "resString 42"},
        {"STR(2.5)", "resString 2.5"},
        {"STR(1 = 1)", "resString True"},
        {"STR('a')", "resError Conversion error"},
        {"STR(1, 2)", "resError Conversion error"},
        {"STR()", "resError Conversion error"},

        {"UPPER('abc 班')", "resString ABC 班"},
        {"UPPER('straße')", "resString STRASSE"},
        {"LOWER('ÄBC')", "resString äbc"},
        {"UPPER(1)", "resError Wrong arguments for UPPER"},
        {"LOWER(TRUE)", "resError Wrong arguments for LOWER"},
        {"UPPER()", "resError Missing argument for UPPER"},
        {"LOWER('a', 'b')", "resError Missing argument for LOWER"},

        {"PRETTY('hELLO wORLD')", "resString Hello world"},
        {"PRETTY('')", "resString "},
        {"PRETTY('𐐨𐐨')", "resString 𐐀𐐨"}, // the first character is a whole code point
        {"PRETTY(5)", "resError Wrong arguments for PRETTY"},
        {"PRETTY()", "resError Missing argument for PRETTY"},

        {"COPY('abcdef', 2, 3)", "resString bcd"},
        {"COPY('abcdef', 0, 2)", "resString ab"},
        {"COPY('abcdef', -4, 2)", "resString ab"},
        {"COPY('abcdef', 5, 100)", "resString ef"},
        {"COPY('abcdef', 7, 1)", "resString "},
        {"COPY('abcdef', 2, 0)", "resString "},
        {"COPY('abcdef', 2, -1)", "resString "},
        {"COPY('a😀b', 3, 2)", "resString b"},   // the start moves past a low surrogate
        {"COPY('a😀b', 1, 2)", "resString a"},   // a high surrogate at the end is dropped
        {"COPY('a😀b', 2, 2)", "resString 😀"},
        {"COPY('abc', 1.5, 2)", "resError Wrong arguments for COPY"},
        {"COPY(12345, 1, 2)", "resError Wrong arguments for COPY"},
        {"COPY('abc', 1)", "resError Wrong arguments for COPY"},

        {"TRUE", "resBool True"},
        {"FALSE", "resBool False"},
        {"true()", "resBool True"},
        {"TRUE(1)", "resError Too many arguments"},
        {"FALSE(1)", "resError Too many arguments"},

        {"INT(7)", "resInt 7"},
        {"INT(7.9)", "resInt 7"},
        {"INT(-7.9)", "resInt -7"},
        {"INT(1E12)", "resDouble 1000000000000"},
        {"INT('7')", "resError Wrong arguments for INT"},
        {"INT(1, 2)", "resError Wrong arguments for INT"},

        {"FRAC(7.25)", "resDouble 0.25"},
        {"FRAC(-7.25)", "resDouble -0.25"},
        {"FRAC(7)", "resDouble 0"},
        {"FRAC('x')", "resError Wrong arguments for FRAC"},
        {"FRAC()", "resError Wrong arguments for FRAC"},

        {"SQRT(16)", "resDouble 4"},
        {"SQRT(2.25)", "resDouble 1.5"},
        {"SQRT(0)", "resDouble 0"},
        {"SQRT(0 - 1)", "resError Invalid argument to SQRT function"},
        {"SQRT('4')", "resError Invalid argument to SQRT function"},
        {"SQRT(4, 9)", "resError Invalid argument to SQRT function"},

        {"DIV(7, 2)", "resInt 3"},
        {"DIV(0 - 7, 2)", "resInt -3"},
        {"DIV(7.6, 2)", "resInt 4"},   // 7.6 rounds to 8
        {"DIV(6.5, 2.5)", "resInt 3"}, // 6 div 2, halves to even
        {"DIV(7, 0)", "resError Division by Zero"},
        {"DIV(7, 0.4)", "resError Division by Zero"},
        {"DIV(0-2147483647-1, 0-1)", "resDouble 2147483648"},
        {"DIV('7', 2)", "resError Wrong arguments for DIV"},
        {"DIV(7)", "resError Wrong arguments for DIV"},
        {"DIV(1E300, 2)", "resError Wrong arguments for DIV"},

        {"TYPEOF(1)", "resString INTEGER"},
        {"TYPEOF(1.5)", "resString FLOAT"},
        {"TYPEOF('a')", "resString STRING"},
        {"TYPEOF(TRUE)", "resString BOOLEAN"},
        {"TYPEOF(1/0)", "resString ERROR"},
        {"TYPEOF(1, 2)", "resError Wrong arguments for TypeOf"},
        {"TYPEOF()", "resError Wrong arguments for TypeOf"},

        {"FORMATNUMERIC('#,##0.00', 1234.5)", "resString 1,234.50"},
        {"FORMATNUMERIC('0.00', 7)", "resString 7.00"},
        {"FORMATNUMERIC('', 1234.5)", "resString 1234.5"},
        {"FORMATNUMERIC('000', 7)", "resString 007"},
        {"FORMATNUMERIC('#.##', 0.5)", "resString .5"},
        {"FORMATNUMERIC('0.0#', 1.5)", "resString 1.5"},
        {"FORMATNUMERIC('0.0#', 1.256)", "resString 1.26"},
        {"FORMATNUMERIC('0.00', 0-1.5)", "resString -1.50"},
        {"FORMATNUMERIC('0.00;(0.00)', 0-1.5)", "resString (1.50)"},
        {"FORMATNUMERIC('0.00;(0.00);''zero''', 0)", "resString zero"},
        {"FORMATNUMERIC('\"$\"#,##0', 1234567)", "resString $1,234,567"},
        {"FORMATNUMERIC('0.00E+00', 12345)", "resString 1.23E+04"},
        {"FORMATNUMERIC('0.0e-0', 0.0016)", "resString 1.6e-3"},
        {"FORMATNUMERIC('0', SQRT(0-1))", "resError Wrong arguments for FORMATNUMERIC"},
        {"FORMATNUMERIC(1, 2)", "resError Wrong arguments for FORMATNUMERIC"},
        {"FORMATNUMERIC('0', 'x')", "resError Wrong arguments for FORMATNUMERIC"},
        {"FORMATNUMERIC('0')", "resError Wrong arguments for FORMATNUMERIC"},
    });
}

TEST(ExprFunctions, FormatFailsOnValuesThatAreNoNumber)
{
    // 1E308 * 10 overflows to infinity, which no mask can show.
    EXPECT_EQ(shownExpr(QStringLiteral("FORMATNUMERIC('0', 1E308 * 10)")),
              "resError Invalid format or value specified");
}

TEST(ExprFunctions, TimeAndDateFollowTheClockAndLocale)
{
    const QDateTime fixed(QDate(2026, 3, 4), QTime(13, 5, 9));
    rpSetExpressionClock([fixed] { return fixed; });
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(shownExpr(QStringLiteral("DATE")), "resString 3/4/26");
    EXPECT_EQ(shownExpr(QStringLiteral("TIME")), "resString 1:05:09 PM");
    EXPECT_EQ(shownExpr(QStringLiteral("TIME(1)")), "resError Too many arguments");
    EXPECT_EQ(shownExpr(QStringLiteral("DATE(1)")), "resError Too many arguments");
    QLocale::setDefault(saved);
    rpSetExpressionClock({});
}

// One evaluator per expression, aggregated once per value of the field X.
struct Aggregation {
    explicit Aggregation(RpFieldType type, const QVariantList &values) : table(QStringLiteral("T"))
    {
        table.addField(QStringLiteral("X"), type);
        for (const QVariant &v : values)
            table.appendRecord({v});
    }
    RpEvResult run(const QString &expression)
    {
        RpEvaluator ev;
        ev.dataSets().append(&table);
        ev.prepare(expression);
        for (table.first(); !table.eof(); table.next())
            ev.doAggregate();
        return ev.value();
    }
    RpMemoryTable table;
};

TEST(ExprFunctions, AggregatesOverRecords)
{
    Aggregation ints(RpFieldType::Integer, {3, 1, 2});
    EXPECT_EQ(shown(ints.run(QStringLiteral("SUM(X)"))), "resInt 6");
    EXPECT_EQ(shown(ints.run(QStringLiteral("SUM(X * 1.5)"))), "resDouble 9");
    EXPECT_EQ(shown(ints.run(QStringLiteral("MAX(X)"))), "resInt 3");
    EXPECT_EQ(shown(ints.run(QStringLiteral("MIN(X)"))), "resInt 1");
    EXPECT_EQ(shown(ints.run(QStringLiteral("AVERAGE(X)"))), "resDouble 2");
    EXPECT_EQ(shown(ints.run(QStringLiteral("COUNT"))), "resInt 3");
    EXPECT_EQ(shown(ints.run(QStringLiteral("COUNT + SUM(X) * 10"))), "resInt 63");
    EXPECT_EQ(shown(ints.run(QStringLiteral("COUNT(X)"))), "resError COUNT - Too many arguments");
    EXPECT_EQ(shown(ints.run(QStringLiteral("SUM()"))), "resError Missing argument for SUM");
    EXPECT_EQ(shown(ints.run(QStringLiteral("SUM(X, X)"))), "resError Too many arguments");
    EXPECT_EQ(shown(ints.run(QStringLiteral("MAX()"))), "resError Missing argument for MAX");
    EXPECT_EQ(shown(ints.run(QStringLiteral("AVERAGE(X, 1)"))), "resError Too many arguments");

    Aggregation bools(RpFieldType::Boolean, {true, false});
    EXPECT_EQ(shown(bools.run(QStringLiteral("MIN(X)"))), "resBool False");
    EXPECT_EQ(shown(bools.run(QStringLiteral("MAX(X)"))), "resBool True");
    EXPECT_EQ(shown(bools.run(QStringLiteral("SUM(X)"))), "resError Wrong arguments for SUM");

    Aggregation strings(RpFieldType::String, {QStringLiteral("pear"), QStringLiteral("Apple"), QStringLiteral("fig")});
    EXPECT_EQ(shown(strings.run(QStringLiteral("MAX(X)"))), "resString pear");
    EXPECT_EQ(shown(strings.run(QStringLiteral("MIN(X)"))), "resString Apple");
    EXPECT_EQ(shown(strings.run(QStringLiteral("AVERAGE(X)"))), "resError Wrong arguments for AVERAGE");

    Aggregation floats(RpFieldType::Float, {1.5, -2.25, 4.0});
    EXPECT_EQ(shown(floats.run(QStringLiteral("SUM(X)"))), "resDouble 3.25");
    EXPECT_EQ(shown(floats.run(QStringLiteral("MIN(X)"))), "resDouble -2.25");
    EXPECT_EQ(shown(floats.run(QStringLiteral("MAX(X) + 1"))), "resDouble 5");
}

TEST(ExprFunctions, MixedTotalsKeepEveryValue)
{
    // Whatever kind comes first, integers and floats both count: the total
    // of a mix is a float of all of them.
    auto passes = [](const char *expression, int n) {
        RpEvaluator ev;
        ev.prepare(QString::fromLatin1(expression));
        for (int i = 0; i < n; ++i)
            ev.doAggregate();
        return shown(ev.value());
    };
    EXPECT_EQ(passes("SUM(IF(COUNT < 3, 1, 0.5))", 3), "resDouble 2.5");
    EXPECT_EQ(passes("SUM(IF(COUNT = 1, 0.5, 1))", 3), "resDouble 2.5");
    EXPECT_EQ(passes("AVERAGE(IF(COUNT = 1, 0.5, 1))", 3), "resDouble 0.833333333333333");
    EXPECT_EQ(passes("SUM(IF(COUNT = 1, 2147483647, 1))", 2), "resDouble 2147483648");
    EXPECT_EQ(passes("MAX(IF(COUNT = 1, 2, 2.5))", 2), "resDouble 2.5");
    EXPECT_EQ(passes("MIN(IF(COUNT = 1, 2, 2.5))", 2), "resInt 2");
    EXPECT_EQ(passes("MAX(IF(COUNT = 1, 'a', 1))", 2), "resError Wrong arguments for MAX");
    EXPECT_EQ(passes("MIN(1/0)", 1), "resError Cannot divide by 0");
}

TEST(ExprFunctions, AggregatesStartAtZeroAndReset)
{
    RpEvaluator ev;
    ev.prepare(QStringLiteral("COUNT"));
    EXPECT_EQ(shown(ev.value()), "resInt 0");
    ev.doAggregate();
    ev.doAggregate();
    ev.doAggregate();
    EXPECT_EQ(shown(ev.value()), "resInt 3");
    EXPECT_EQ(shown(ev.value()), "resInt 3"); // evaluating does not aggregate
    ev.reset();
    EXPECT_EQ(shown(ev.value()), "resInt 0");

    for (const char *e : {"SUM(1)", "MAX(1)", "MIN(1)"}) {
        ev.prepare(QString::fromLatin1(e));
        EXPECT_EQ(shown(ev.value()), "resInt 0") << e;
    }
    ev.prepare(QStringLiteral("AVERAGE(5)"));
    EXPECT_EQ(shown(ev.value()), "resDouble 0");
    ev.doAggregate();
    EXPECT_EQ(shown(ev.value()), "resDouble 5");

    // An error taken in stays until Reset.
    ev.prepare(QStringLiteral("SUM(IF(COUNT = 1, 'x', 1))"));
    ev.doAggregate();
    ev.doAggregate();
    EXPECT_EQ(shown(ev.value()), "resError Wrong arguments for SUM");
    ev.reset();
    EXPECT_EQ(shown(ev.value()), "resInt 0");
}

TEST(ExprFunctions, LibraryTexts)
{
    struct Entry {
        const char *name, *signature, *code, *description, *category;
    };
    const Entry expected[] = {
        {"IF", "IF(<Exp>, <X>, <Y>)", "5BVV", "Returns <X> or <Y> depending on the boolean expression <Exp>", "Logical"},
        {"STR", "STR(<X>)", "7N", "Convert a numeric <X> to a string", "Other"},
        {"UPPER", "UPPER(<X>)", "7S", "Converts a string to upper case letters", "Other"},
        {"LOWER", "LOWER(<X>)", "7S", "Converts a string to lower case letters", "Other"},
        {"PRETTY", "PRETTY(<X>)", "7S", "Makes the first character upper case and the rest lower case", "Other"},
        {"TIME", "TIME", "1", "Return current time as a string", "Date & time"},
        {"DATE", "DATE", "1", "Return current date as a string", "Date & time"},
        {"COPY", "COPY(<X>, <St>,<Len>)", "7SNN", "Returns a substring of string X", "Other"},
        {"SUM", "SUM(<X>)", "3N", "Sums the numeric <X>", "Statistical"},
        {"COUNT", "COUNT", "3", "Increments for each iteration", "Statistical"},
        {"MAX", "MAX(<X>)", "3V", "Returns the highest <X>", "Statistical"},
        {"MIN", "MIN(<X>)", "3V", "Returns the lowest <X>", "Statistical"},
        {"AVERAGE", "AVERAGE(<X>)", "3N", "Returns the average of numeric <X>", "Statistical"},
        {"TRUE", "TRUE", "5", "boolean value", "Logical"},
        {"FALSE", "FALSE", "5", "boolean value", "Logical"},
        {"INT", "INT(<X>)", "2N", "Returns the integer part of <X>", "Math & trig"},
        {"FRAC", "FRAC(<X>)", "2N", "Returns the fractional part of <X>", "Math & trig"},
        {"SQRT", "SQRT(<X>)", "2N", "Returns square root of <X>", "Math & trig"},
        {"DIV", "DIV(<X>, <Y>)", "2NN", "Integer division of <X> by <Y>", "Math & trig"},
        {"TYPEOF", "TYPEOF(<Exp>)", "6N", "Returns the data type of <Exp>", "Information"},
        {"FORMATNUMERIC", "FORMATNUMERIC(<F>,<N>)", "7SN", "Formats numeric <N> using the mask in <F>", "Other"},
    };
    const RpFunctionLibrary &lib = RpFunctionLibrary::instance();
    EXPECT_EQ(lib.entries().size(), qsizetype(std::size(expected)));
    for (const Entry &e : expected) {
        const RpLibraryEntry *entry = lib.find(QString::fromLatin1(e.name));
        ASSERT_NE(entry, nullptr) << e.name;
        EXPECT_EQ(entry->signature(), QString::fromLatin1(e.signature));
        EXPECT_EQ(entry->description(), QString::fromLatin1(e.description));
        EXPECT_EQ(entry->argCode, QString::fromLatin1(e.code));
        EXPECT_EQ(entry->category(), QString::fromLatin1(e.category)) << e.name;
        EXPECT_FALSE(entry->vendor.isEmpty());
        const QString sep = QString::fromLatin1(e.name) == u"DIV" ? QStringLiteral(" | ") : QStringLiteral("|");
        EXPECT_EQ(entry->data, QString::fromLatin1(e.signature) + sep + QString::fromLatin1(e.description));
    }
    EXPECT_EQ(RpFunctionLibrary::categoryName(0), QStringLiteral("All"));
    EXPECT_EQ(RpFunctionLibrary::categoryName(4), QStringLiteral("Database"));
    EXPECT_EQ(RpFunctionLibrary::categoryName(9), QString());
}

} // namespace
