// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Parsing and evaluating expressions: levels, operators, mixing, literals
// and the messages of malformed text.
#include "exprtestutil.h"

#include "expr/evaluator.h"
#include "platform/rperror.h"
#include "platform/units.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    const char *expression;
    const char *expected; // kind and text
};

void checkAll(const std::vector<Case> &cases)
{
    for (const Case &c : cases)
        EXPECT_EQ(shownExpr(QString::fromUtf8(c.expression)), c.expected) << "expression: " << c.expression;
}

TEST(ExprEvaluation, LeftToRightThroughSignExchange)
{
    checkAll({
        {"10 - 4 + 2", "resInt 8"},
        {"24 / 4 * 2", "resDouble 12"},
        {"10 - 2 - 3", "resInt 5"},
        {"10 - (2 - 3)", "resInt 11"},
        {"2 - 3 + 4 - 5", "resInt -2"},
        {"1 - 2 - 3 - 4 + 10", "resInt 2"},
        {"100 / 10 / 5", "resDouble 2"},
        {"100 / 10 * 5", "resDouble 50"},
        {"2 * 3 / 4 * 5", "resDouble 7.5"},
        {"1 + 2 * 3", "resInt 7"},
        {"(1 + 2) * 3", "resInt 9"},
        {"2 * (10 - 4 + 2)", "resInt 16"},
        {"10 - (4 + 2) - 1", "resInt 3"},
    });
}

TEST(ExprEvaluation, DivisionAndIntegerDivision)
{
    checkAll({
        {"7 / 2", "resDouble 3.5"},
        {"DIV(7, 2)", "resInt 3"},
        {"7 / 0", "resError Cannot divide by 0"},
        {"7.5 / 0", "resError Cannot divide by 0"},
        {"8 / 2", "resDouble 4"},
    });
}

TEST(ExprEvaluation, OperatorTable)
{
    checkAll({
        {"3 < 5", "resBool True"},
        {"5 <= 5", "resBool True"},
        {"2 > 3", "resBool False"},
        {"3 >= 4", "resBool False"},
        {"3 = 3", "resBool True"},
        {"3 <> 3", "resBool False"},
        {"1.5 < 2.5", "resBool True"},
        {"2.5 <> 2.5", "resBool False"},
        {"'abc' < 'abd'", "resBool True"},
        {"'B' < 'a'", "resBool True"}, // ordinal, not by the locale's collation
        {"'a' = 'a'", "resBool True"},
        {"'a' >= 'b'", "resBool False"},
        {"TRUE = TRUE", "resBool True"},
        {"TRUE <> FALSE", "resBool True"},
        {"TRUE < FALSE", "resError Operator < is not compatible with boolean expressions"},
        {"TRUE >= FALSE", "resError Operator >= is not compatible with boolean expressions"},
        {"TRUE + TRUE", "resError Cannot add boolean expressions"},
        {"TRUE - FALSE", "resError Cannot subtract boolean expressions"},
        {"TRUE * TRUE", "resError Cannot multiply boolean expressions"},
        {"TRUE / TRUE", "resError Cannot divide boolean expressions"},
        {"'ab' - 'a'", "resError Cannot subtract string expressions"},
        {"'a' * 2", "resError Cannot multiply string expressions"},
        {"'a' / 'b'", "resError Cannot divide string expressions"},
        {"'ab' + 'cd'", "resString abcd"},
        {"6 or 3", "resInt 7"},
        {"6 and 3", "resInt 2"},
        {"1.5 or 2.5", "resError Operator OR is not compatible with numeric expressions"},
        {"1.5 and 2.5", "resError Operator AND is not compatible with numeric expressions"},
        {"'a' or 'b'", "resError Operator OR is not compatible with string expressions"},
        {"'a' and 'b'", "resError Operator AND is not compatible with string expressions"},
        {"TRUE or FALSE", "resBool True"},
        {"TRUE OR FALSE", "resBool True"},
        {"true Or false", "resBool True"},
        {"TRUE and FALSE", "resBool False"},
        {"FALSE AND FALSE or TRUE", "resBool True"},
    });
}

TEST(ExprEvaluation, KindsMixInOperations)
{
    checkAll({
        {"'ab' + 3", "resString ab3"},
        {"'ab' - 3", "resError Cannot subtract string expressions"},
        {"1 + 2.5", "resDouble 3.5"},
        {"1 = 1.0", "resBool True"},
        {"TRUE + 'x'", "resString Truex"},
        {"'x' + 1.25", "resString x1.25"},
        {"TRUE = 'True'", "resBool True"},
        {"1 = '1'", "resBool True"},
        {"TRUE = 1", "resBool False"},
        {"(1 / 0) + (TRUE + TRUE)", "resError Cannot divide by 0"},
        {"(TRUE + TRUE) + (1 / 0)", "resError Cannot add boolean expressions"},
        {"'a' + (1 / 0)", "resError Cannot divide by 0"},
    });
}

TEST(ExprEvaluation, Literals)
{
    checkAll({
        {"42", "resInt 42"},
        {"  42  ", "resInt 42"},
        {"1.5E3", "resDouble 1500"},
        {"2.5e2", "resDouble 250"},
        {"0.1 + 0.2", "resDouble 0.3"},
        {"2147483647", "resInt 2147483647"},
        {"2147483648", "resDouble 2147483648"},
        {"99999999999999999999", "resDouble 1e+20"},
        {"'it''s'", "resString it''s"}, // a doubled quote stays doubled
        {"'a+b' + 'c'", "resString a+bc"},
        {"'1<2'", "resString 1<2"},
        {"'(' + ')'", "resString ()"},
        {"''", "resString "},
        {"", "resString  "}, // an empty expression is a one-blank string
        {"-5", "resInt -5"},
        {"+4", "resInt 4"},
        {"-(2 + 3)", "resInt -5"},
        {"-2 * 3", "resInt -6"},
        {"-2 + 3", "resInt 1"},
        {"1--2", "resInt 3"}, // the sign after an operator is not exchanged
        {"10-2--3", "resInt 11"},
        {"10-2+-3", "resInt 5"},
        {"1 - -2", "resInt 3"},
        {"1 + -2", "resInt -1"},
        {"2 * -3", "resError Error in expression : "}, // a sign after * or / is cut at level 2
        {"IF(TRUE, -1, 1)", "resInt -1"},
        {"'😀' + 'a'", "resString 😀a"},
        {"'班別：' + '姓名：'", "resString 班別：姓名："},
    });
}

TEST(ExprEvaluation, MalformedTextGivesMessages)
{
    checkAll({
        {"'abc", "resError Missing '"},
        {"(1 + 2", "resError Missing )"},
        {"((1)", "resError Missing )"},
        {"[abc", "resError Missing ]"},
        {"FOO(1)", "resError Unknown function : FOO"},
        {"foo", "resError Unknown function : FOO"},
        {"SUM(1", "resError Missing )"},
        {"1 < 2 = TRUE", "resError Illegal character in numeric contant \"2 = TRUE\""},
        {"1 < 2 < 3", "resError Illegal character in numeric contant \"2 < 3\""},
        {"12abc", "resError Illegal character in numeric contant \"12abc\""},
        {"1.2.3", "resError Illegal character in numeric contant \"1.2.3\""},
        {"1E+3", "resError Illegal character in numeric contant \"1E\""},
        {"1)", "resError Illegal character in numeric contant \"1)\""},
        {"@", "resError Error in expression : @"},
        {"1 +", "resError Error in expression : "},
        {"* 2", "resError Error in expression : * 2"},
        {"１", "resError Error in expression : １"}, // a full-width digit is no digit here
        {"1 + FOO(2) + (1/0)", "resError Unknown function : FOO"},
        {"IF(TRUE, 1, 'x)", "resError Missing '"}, // parse errors are not hidden by functions
        {"TYPEOF(FOO)", "resError Unknown function : FOO"},
    });
}

TEST(ExprEvaluation, NegationNegatesAtEvaluation)
{
    checkAll({
        {"not TRUE", "resBool False"},
        {"NOT (1 = 2)", "resBool True"},
        {"not(1 < 2)", "resBool False"},
        {"not not TRUE", "resBool True"},
        {"not TRUE or TRUE", "resBool True"},
        {"not TRUE and TRUE", "resBool False"},
        {"not 5", "resError Invalid use of NOT"},
        {"not 'x'", "resError Invalid use of NOT"},
        {"not (1/0)", "resError Cannot divide by 0"},
        {"NOTE", "resError Unknown function : NOTE"}, // a name, not a negation
    });
}

TEST(ExprEvaluation, IntegerOverflowBecomesFloat)
{
    checkAll({
        {"2147483647 + 1", "resDouble 2147483648"},
        {"0 - 2147483647 - 2", "resDouble -2147483649"},
        {"65536 * 65536", "resDouble 4294967296"},
        {"2147483646 + 1", "resInt 2147483647"},
    });
}

TEST(ExprEvaluation, EveryDeepOrLongTextIsAnswered)
{
    const int limit = RpEvaluator::MaxNesting;
    auto nested = [](int depth) {
        return QString(depth, u'(') + QStringLiteral("1") + QString(depth, u')');
    };
    EXPECT_EQ(shown(evalExpr(nested(limit - 1))), "resInt 1");
    EXPECT_EQ(shown(evalExpr(nested(limit + 1))), "resError Expression nested too deeply");
    EXPECT_EQ(shown(evalExpr(nested(100000))), "resError Expression nested too deeply");
    EXPECT_EQ(shown(evalExpr(QString(50000, u'(') + QStringLiteral("1"))), "resError Missing )");

    QString notChain;
    for (int i = 0; i < 5000; ++i)
        notChain += QStringLiteral("not ");
    EXPECT_EQ(shown(evalExpr(notChain + QStringLiteral("TRUE"))), "resError Expression nested too deeply");
    EXPECT_EQ(shown(evalExpr(QString(5000, u'-') + QStringLiteral("1"))).substr(0, 8), "resError");

    // Long chains are evaluated without deep recursion.
    QStringList ones(100000, QStringLiteral("1"));
    EXPECT_EQ(shown(evalExpr(ones.join(u'+'))), "resInt 100000");
    EXPECT_EQ(shown(evalExpr(ones.join(u'-'))), "resInt -99998");
    EXPECT_EQ(shown(evalExpr(ones.join(QStringLiteral(" * ")))), "resInt 1");
    EXPECT_EQ(shown(evalExpr(QStringLiteral("MAX(") + ones.join(u',') + u')')),
              "resError Too many arguments");

    // Unbalanced quotes and brackets anywhere.
    for (const char *t : {"'", "''''", "[", "]", "(", ")", "[']", "'[", "(']", "[(]", "a[", "',", "[]", "()"}) {
        const RpEvResult r = evalExpr(QString::fromLatin1(t));
        EXPECT_TRUE(r.kind == resError || r.kind == resString) << t;
    }
}

TEST(ExprEvaluation, EvaluatorLifecycleAndConversions)
{
    RpEvaluator ev;
    EXPECT_FALSE(ev.prepared());
    try {
        ev.value();
        ADD_FAILURE() << "value() without prepare must raise";
    } catch (const RpError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Evaluator not prepared"));
    }
    ev.prepare(QStringLiteral("SUM(2) + 1"));
    EXPECT_TRUE(ev.prepared());
    EXPECT_TRUE(ev.isAggreg());
    ev.prepare(QStringLiteral("2.5"));
    EXPECT_FALSE(ev.isAggreg());
    EXPECT_EQ(ev.asInteger(), 2); // halves to the even neighbour
    EXPECT_EQ(ev.asString(), QStringLiteral("2.5"));
    EXPECT_DOUBLE_EQ(ev.asFloat(), 2.5);
    EXPECT_EQ(ev.asVariant(), QVariant(2.5));
    ev.unprepare();
    EXPECT_FALSE(ev.prepared());

    RpEvResult r;
    ev.calculate(QStringLiteral("3.5"), r);
    EXPECT_FALSE(ev.prepared());
    EXPECT_EQ(rpAsInteger(r), 4);

    EXPECT_EQ(rpAsString(RpEvResult::fromBool(true)), QStringLiteral("True"));
    EXPECT_EQ(rpAsString(RpEvResult::fromInt(-7)), QStringLiteral("-7"));
    EXPECT_TRUE(rpAsBoolean(RpEvResult::fromString(QStringLiteral("tRuE"))));
    EXPECT_FALSE(rpAsBoolean(RpEvResult::fromString(QStringLiteral("FALSE"))));
    EXPECT_EQ(rpAsVariant(RpEvResult::fromString(QStringLiteral("x"))), QVariant(QStringLiteral("x")));
    EXPECT_EQ(rpAsVariant(RpEvResult::fromInt(3)).typeId(), QMetaType::Int);
    EXPECT_EQ(rpAsVariant(RpEvResult::fromBool(false)), QVariant(false));

    auto raises = [](auto f, const char *message) {
        try {
            f();
            ADD_FAILURE() << "expected: " << message;
        } catch (const RpError &e) {
            EXPECT_EQ(e.message().toStdString(), message);
        }
    };
    const RpEvResult err = RpEvResult::error(QStringLiteral("Cannot divide by 0"));
    raises([&] { rpAsString(err); }, "Error in expression : Cannot divide by 0");
    raises([&] { rpAsVariant(err); }, "Error in expression : Cannot divide by 0");
    raises([&] { rpAsInteger(RpEvResult::fromString(QStringLiteral("1"))); }, "Not a numeric value");
    raises([&] { rpAsInteger(RpEvResult::fromDouble(1e12)); }, "Not a numeric value");
    raises([&] { rpAsFloat(RpEvResult::fromBool(true)); }, "Not a numeric value");
    raises([&] { rpAsBoolean(RpEvResult::fromString(QStringLiteral("yes"))); }, "Not a boolean value");
    raises([&] { rpAsBoolean(RpEvResult::fromInt(1)); }, "Not a boolean value");
}

TEST(ExprEvaluation, FloatsHaveOneDecimalForm)
{
    EXPECT_EQ(rpFormatFloat(3.5), QStringLiteral("3.5"));
    EXPECT_EQ(rpFormatFloat(12.0), QStringLiteral("12"));
    EXPECT_EQ(rpFormatFloat(-0.0), QStringLiteral("0"));
    EXPECT_EQ(rpFormatFloat(1.0 / 3), QStringLiteral("0.333333333333333"));
    EXPECT_EQ(rpFormatFloat(1e20), QStringLiteral("1e+20"));
    EXPECT_EQ(rpFormatFloat(0.00001), QStringLiteral("1e-05"));
    EXPECT_EQ(rpFormatFloat(123456789012345.0), QStringLiteral("123456789012345"));
    EXPECT_EQ(rpRoundFloat(2.5), 2);
    EXPECT_EQ(rpRoundFloat(-2.5), -2);
    EXPECT_EQ(rpRoundFloat(3.5), 4);
    EXPECT_EQ(rpRoundFloat(-3.6), -4);
}

} // namespace
