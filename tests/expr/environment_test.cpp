// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Environments (named expressions, constants, recursion) and data fields
// read from data sets.
#include "exprtestutil.h"

#include "expr/environment.h"
#include "platform/rperror.h"
#include "data/memorytable.h"

#include <QDate>
#include <QDateTime>
#include <gtest/gtest.h>

namespace {

RpEvResult evalIn(RpEvEnvironment &env, const QString &text)
{
    RpEvaluator ev;
    ev.setEnvironment(&env);
    ev.prepare(text);
    return ev.value();
}

// The report functions every report carries.
struct ReportFunctions : ::testing::Test {
    void SetUp() override
    {
        env.addFunction(QStringLiteral("PageNumber"), QStringLiteral("0"));
        env.addFunction(QStringLiteral("COLUMNNUMBER"), QStringLiteral("0"));
        env.addFunction(QStringLiteral("REPORTTITLE"), QStringLiteral("''"));
        env.prepare();
    }
    void TearDown() override { env.unprepare(); }
    RpEvEnvironment env;
};

TEST_F(ReportFunctions, ConstantsAreSetCheaplyAndSeenByPreparedExpressions)
{
    EXPECT_EQ(env.names(), QStringList({"PAGENUMBER", "COLUMNNUMBER", "REPORTTITLE"}));
    EXPECT_EQ(env.expressions(), QStringList({"0", "0", "''"}));

    RpEvaluator ev;
    ev.setEnvironment(&env);
    ev.prepare(QStringLiteral("'Page ' + STR(PAGENUMBER + 1) + ' of ' + REPORTTITLE"));
    EXPECT_EQ(shown(ev.value()), "resString Page 1 of ");
    env.setIntegerConstant(QStringLiteral("pagenumber"), 4);
    env.setStringConstant(QStringLiteral("REPORTTITLE"), QStringLiteral("練習"));
    EXPECT_EQ(shown(ev.value()), "resString Page 5 of 練習");

    env.setFloatConstant(QStringLiteral("COLUMNNUMBER"), 1.5);
    EXPECT_EQ(shown(env.value(QStringLiteral("COLUMNNUMBER"))), "resDouble 1.5");
    env.setBooleanConstant(QStringLiteral("COLUMNNUMBER"), true);
    EXPECT_EQ(shown(env.value(QStringLiteral("COLUMNNUMBER"))), "resBool True");
    env.updateConstant(QStringLiteral("COLUMNNUMBER"), QVariant(7));
    EXPECT_EQ(shown(env.value(QStringLiteral("COLUMNNUMBER"))), "resInt 7");
    env.setConstant(QStringLiteral("COLUMNNUMBER"), RpEvResult::fromString(QStringLiteral("x")));
    EXPECT_EQ(shown(env.value(QStringLiteral("COLUMNNUMBER"))), "resString x");

    // A string element takes only strings.
    env.setIntegerConstant(QStringLiteral("REPORTTITLE"), 3);
    EXPECT_EQ(shown(env.value(QStringLiteral("REPORTTITLE"))), "resString 練習");

    // Not a plain literal: nothing to replace.
    env.addFunction(QStringLiteral("TWO"), QStringLiteral("1 + 1"));
    env.setIntegerConstant(QStringLiteral("TWO"), 9);
    EXPECT_EQ(shown(env.value(QStringLiteral("TWO"))), "resInt 2");
    EXPECT_NE(dynamic_cast<RpEvElementOperator *>(env.getConstant(QStringLiteral("TWO"))), nullptr);
    EXPECT_EQ(env.getConstant(QStringLiteral("NOSUCH")), nullptr);
    env.setIntegerConstant(QStringLiteral("NOSUCH"), 1); // ignored
}

TEST_F(ReportFunctions, AddingAndDeletingEntries)
{
    env.addFunction(QStringLiteral("pagenumber"), QStringLiteral("99")); // kept: already present
    EXPECT_EQ(env.expression(QStringLiteral("PAGENUMBER")), QStringLiteral("0"));
    EXPECT_EQ(env.count(), 3);

    env.addFunction(QStringLiteral("Later"), QStringLiteral("PAGENUMBER + 10")); // prepared at once
    EXPECT_EQ(shown(env.value(QStringLiteral("LATER"))), "resInt 10");

    RpEvaluator ev;
    ev.setEnvironment(&env);
    ev.prepare(QStringLiteral("LATER"));
    env.deleteFunction(QStringLiteral("later"));
    EXPECT_FALSE(env.contains(QStringLiteral("LATER")));
    EXPECT_EQ(shown(ev.value()), "resError Unknown function : LATER"); // no dangling entry
    EXPECT_EQ(shown(env.value(QStringLiteral("LATER"))), "resError Unknown function : LATER");
    EXPECT_EQ(shown(evalIn(env, QStringLiteral("LATER"))), "resError Unknown function : LATER");

    std::unique_ptr<RpEvElement> unknown = env.element(QStringLiteral("nope"));
    RpEvResult r;
    unknown->value(nullptr, 0, false, r);
    EXPECT_EQ(shown(r), "resError Unknown function : NOPE");

    env.clear();
    EXPECT_EQ(env.count(), 0);
    EXPECT_EQ(shown(ev.value()), "resError Unknown function : LATER");
}

TEST(ExprEnvironment, PreparationIsCounted)
{
    RpEvEnvironment env;
    env.addFunction(QStringLiteral("A"), QStringLiteral("2 * 3"));
    EXPECT_EQ(shown(env.value(QStringLiteral("A"))), "resError Evaluator not prepared");
    env.prepare();
    env.prepare();
    EXPECT_TRUE(env.prepared());
    env.unprepare();
    EXPECT_TRUE(env.prepared());
    EXPECT_EQ(shown(env.value(QStringLiteral("A"))), "resInt 6");
    env.unprepare();
    EXPECT_FALSE(env.prepared());
    EXPECT_EQ(shown(env.value(QStringLiteral("A"))), "resError Evaluator not prepared");
    env.unprepare(); // one too many: ignored
    EXPECT_FALSE(env.prepared());
}

TEST(ExprEnvironment, RecursionIsRefused)
{
    RpEvEnvironment env;
    env.addFunction(QStringLiteral("A"), QStringLiteral("B + 1"));
    env.addFunction(QStringLiteral("B"), QStringLiteral("A * 2"));
    env.addFunction(QStringLiteral("SELF"), QStringLiteral("SELF"));
    env.addFunction(QStringLiteral("C"), QStringLiteral("D + D"));
    env.addFunction(QStringLiteral("D"), QStringLiteral("5"));
    env.prepare();
    EXPECT_EQ(shown(evalIn(env, QStringLiteral("A"))), "resError Recursive calls not allowed");
    EXPECT_EQ(shown(evalIn(env, QStringLiteral("SELF"))), "resError Recursive calls not allowed");
    // The same name twice side by side is no recursion.
    EXPECT_EQ(shown(evalIn(env, QStringLiteral("C + D"))), "resInt 15");
    // After a refusal the entries work again.
    EXPECT_EQ(shown(evalIn(env, QStringLiteral("C"))), "resInt 10");
    env.unprepare();
}

TEST(ExprEnvironment, LongChainsOfNamesAreCut)
{
    RpEvEnvironment env;
    const int n = 200;
    for (int i = 0; i < n; ++i)
        env.addFunction(QStringLiteral("E%1").arg(i), i + 1 < n ? QStringLiteral("E%1").arg(i + 1) : QStringLiteral("1"));
    env.prepare();
    EXPECT_EQ(shown(evalIn(env, QStringLiteral("E190"))), "resInt 1");
    EXPECT_EQ(shown(evalIn(env, QStringLiteral("E0"))), "resError Expression nested too deeply");
    env.unprepare();
}

TEST(ExprEnvironment, GlobalEnvironment)
{
    RpEvEnvironment *global = rpGlobalEnvironment();
    EXPECT_TRUE(global->contains(QStringLiteral("AppStartTime")));
    EXPECT_TRUE(global->contains(QStringLiteral("APPSTARTDATE")));
    EXPECT_TRUE(global->contains(QStringLiteral("AppName")));
    {
        RpEvaluator ev;
        ev.prepare(QStringLiteral("TYPEOF(APPSTARTDATE) + TYPEOF(AppName)"));
        EXPECT_TRUE(global->prepared());
        EXPECT_EQ(shown(ev.value()), "resString STRINGSTRING");
        RpEvEnvironment local;
        local.addFunction(QStringLiteral("APPNAME"), QStringLiteral("'local'"));
        local.prepare();
        EXPECT_EQ(shown(evalIn(local, QStringLiteral("APPNAME"))), "resString local"); // searched first
        local.unprepare();
    }
    EXPECT_FALSE(global->prepared()); // every evaluator gave its preparation back
}

struct DataFields : ::testing::Test {
    void SetUp() override
    {
        people.addField(QStringLiteral("Name"), RpFieldType::WideString);
        people.addField(QStringLiteral("Age"), RpFieldType::Integer);
        people.addField(QStringLiteral("Height"), RpFieldType::Float);
        people.addField(QStringLiteral("Fee"), RpFieldType::Currency);
        people.addField(QStringLiteral("Member"), RpFieldType::Boolean);
        people.addField(QStringLiteral("Joined"), RpFieldType::DateTime);
        people.addField(QStringLiteral("Photo"), RpFieldType::Unknown);
        people.addField(QStringLiteral("First Name"), RpFieldType::String);
        people.addField(QStringLiteral("Note"), RpFieldType::String);
        people.addField(QStringLiteral("Count"), RpFieldType::Integer);
        people.addField(QStringLiteral("Big"), RpFieldType::LargeInt);
        people.appendRecord({QStringLiteral("Lin"), 9, 1.25, 12.5, true,
                             QDateTime(QDate(2026, 3, 4), QTime(13, 5, 9)), QByteArray("x"), QStringLiteral("Mei"),
                             QStringLiteral("n1"), 11, qlonglong(5000000000)});
        people.appendRecord({QStringLiteral("Wu"), 10});
        pets.addField(QStringLiteral("Name"), RpFieldType::String);
        pets.appendRecord({QStringLiteral("Cat")});
    }
    std::string eval(const QString &text)
    {
        RpEvaluator ev;
        ev.setDataSets({&people, &pets});
        ev.prepare(text);
        return shown(ev.value());
    }
    RpMemoryTable people{QStringLiteral("People")};
    RpMemoryTable pets{QStringLiteral("Pets")};
};

TEST_F(DataFields, FieldKindsBecomeResultKinds)
{
    EXPECT_EQ(eval(QStringLiteral("NAME")), "resString Lin");
    EXPECT_EQ(eval(QStringLiteral("age + 1")), "resInt 10");
    EXPECT_EQ(eval(QStringLiteral("Height")), "resDouble 1.25");
    EXPECT_EQ(eval(QStringLiteral("FEE * 2")), "resDouble 25");
    EXPECT_EQ(eval(QStringLiteral("MEMBER")), "resBool True");
    EXPECT_EQ(eval(QStringLiteral("JOINED")), "resString 2026-03-04 13:05:09");
    EXPECT_EQ(eval(QStringLiteral("PHOTO")), "resError Field Photo is of unknown type");
    EXPECT_EQ(eval(QStringLiteral("[First Name] + '!'")), "resString Mei!");
    EXPECT_EQ(eval(QStringLiteral("NOTE")), "resString n1");
    EXPECT_EQ(eval(QStringLiteral("BIG")), "resDouble 5000000000");
}

TEST_F(DataFields, NamesAreLookedUpInOrder)
{
    EXPECT_EQ(eval(QStringLiteral("Pets.Name")), "resString Cat");
    EXPECT_EQ(eval(QStringLiteral("PEOPLE.NAME")), "resString Lin");
    EXPECT_EQ(eval(QStringLiteral("[Pets.Name]")), "resString Cat");
    EXPECT_EQ(eval(QStringLiteral("Nobody.Name")), "resError Unknown function : NOBODY.NAME");
    EXPECT_EQ(eval(QStringLiteral("Wings")), "resError Unknown function : WINGS");
    // A plain name is a function first, a bracketed one a field first.
    EXPECT_EQ(eval(QStringLiteral("COUNT")), "resInt 0");
    EXPECT_EQ(eval(QStringLiteral("[COUNT]")), "resInt 11");
}

TEST_F(DataFields, ValuesFollowTheCurrentRecord)
{
    RpEvaluator ev;
    ev.dataSets().append(&people);
    ev.prepare(QStringLiteral("NAME + STR(AGE)"));
    EXPECT_EQ(shown(ev.value()), "resString Lin9");
    people.next();
    EXPECT_EQ(shown(ev.value()), "resString Wu10");
    ev.prepare(QStringLiteral("HEIGHT + FEE"));
    EXPECT_EQ(shown(ev.value()), "resDouble 0"); // null values read as zero
    people.first();

    // An environment hands its data sets to its entries.
    RpEvEnvironment env;
    env.setDataSets({&pets});
    env.addFunction(QStringLiteral("PET"), QStringLiteral("UPPER(NAME)"));
    env.prepare();
    EXPECT_EQ(shown(env.value(QStringLiteral("PET"))), "resString CAT");
    env.unprepare();
}

TEST_F(DataFields, SumOfAFieldOverRecords)
{
    RpEvaluator ev;
    ev.dataSets().append(&people);
    ev.prepare(QStringLiteral("SUM(AGE)"));
    for (people.first(); !people.eof(); people.next())
        ev.doAggregate();
    EXPECT_EQ(shown(ev.value()), "resInt 19");
}

TEST(ExprMemoryTable, NavigationAndCsv)
{
    RpMemoryTable t(QStringLiteral("T"));
    EXPECT_TRUE(t.eof());
    t.loadCsv(QStringLiteral("name,n:integer,x:float,ok:boolean,d:date,when:datetime,c:currency\n"
                             "\"Lin, \"\"Mei\"\"\",7,2.5,yes,2026-03-04,2026-03-04T13:05:09,1.25\r\n"
                             "\"two\nlines\",,,false,,,\n"));
    ASSERT_EQ(t.fieldCount(), 7);
    ASSERT_EQ(t.recordCount(), 2);
    EXPECT_EQ(t.fieldType(1), RpFieldType::Integer);
    EXPECT_EQ(t.fieldType(6), RpFieldType::Currency);
    EXPECT_EQ(t.fieldValue(0).toString(), QStringLiteral("Lin, \"Mei\""));
    EXPECT_EQ(t.fieldValue(1), QVariant(7));
    EXPECT_EQ(t.fieldValue(2), QVariant(2.5));
    EXPECT_EQ(t.fieldValue(3), QVariant(true));
    EXPECT_EQ(t.fieldText(4), QStringLiteral("2026-03-04"));
    EXPECT_EQ(t.fieldText(5), QStringLiteral("2026-03-04 13:05:09"));
    EXPECT_FALSE(t.eof());
    t.next();
    EXPECT_EQ(t.fieldValue(0).toString(), QStringLiteral("two\nlines"));
    EXPECT_TRUE(t.fieldValue(1).isNull());
    t.next();
    EXPECT_TRUE(t.eof());
    EXPECT_EQ(t.currentRecord(), 1);
    t.prior();
    t.prior();
    EXPECT_TRUE(t.bof());
    EXPECT_EQ(t.currentRecord(), 0);
    EXPECT_EQ(t.findField(QStringLiteral("WHEN")), 5);
    EXPECT_EQ(t.findField(QStringLiteral("nope")), -1);
    EXPECT_TRUE(t.fieldValue(99).isNull());

    for (const char *bad : {"a\n\"open", "a:integer\nx", "a:blob\n1", "a\n1,2", "a,\n1", "\"a\"x\n", "", "a:smallint\n40000"}) {
        EXPECT_THROW(t.loadCsv(QString::fromLatin1(bad)), RpError) << bad;
        EXPECT_EQ(t.recordCount(), 2) << "a failed load leaves the table as it was";
    }
}

} // namespace
