// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "description_testclasses.h"

#include "platform/description/description.h"

#include <gtest/gtest.h>

using namespace desctest;

namespace {

struct BadCase {
    const char *what;
    QByteArray text;
    int line;
    const char *message; // a part of the error text
};

// Each description is wrong in one place; reading must fail there, naming
// the line, and leave no object behind.
const BadCase kBad[] = {
    {"unterminated string", "object r: TReport\n  ReportTitle = 'abc\nend\n", 2, "unterminated string"},
    {"missing end", "object r: TReport\n  object b: TRpBand\n  end\n", 4, "missing 'end' of object 'r'"},
    {"missing end of child", "object r: TReport\n  object b: TRpBand\nend\n", 4, "missing 'end' of object 'r'"},
    {"unknown class", "object r: TReport\n  object b: TNoSuchBand\n  end\nend\n", 2, "unknown class 'TNoSuchBand'"},
    {"unknown root class", "object r: TNothing\nend\n", 1, "unknown class 'TNothing'"},
    {"unknown property", "object r: TReport\n  Zoom = 3\n  Zooom = 3\nend\n", 3, "unknown property 'Zooom'"},
    {"unknown sub-property", "object r: TReport\n  Page.Colour = 3\nend\n", 2, "unknown property 'Page.Colour'"},
    {"property of a plain value", "object r: TReport\n  Zoom.X = 3\nend\n", 2, "'Zoom' has no properties"},
    {"sub-object assigned", "object r: TReport\n  Page = 3\nend\n", 2, "unknown property 'Page'"},
    {"bad enum name", "object r: TReport\n  object b: TRpBand\n    BandType = rbTitel\n  end\nend\n", 3,
     "'rbTitel' is not a value of TRpBandType"},
    {"bad set member", "object r: TReport\n  Options = [FirstPageHeader, Zip]\nend\n", 2, "'Zip' is not a value"},
    {"enum given a number", "object r: TReport\n  object b: TRpBand\n    BandType = 0\n  end\nend\n", 3,
     "expected a name"},
    {"boolean misspelt", "object r: TReport\n  Page.Ruler = Yes\nend\n", 2, "'Yes' is not True or False"},
    {"string for integer", "object r: TReport\n  Zoom = '100'\nend\n", 2, "expected an integer, found a string"},
    {"float for integer", "object r: TReport\n  Zoom = 1.5\nend\n", 2, "expected an integer"},
    {"integer too large for the property", "object r: TReport\n  Zoom = 4294967296\nend\n", 2, "out of range"},
    {"integer beyond 64 bits", "object r: TReport\n  BigNumber = 99999999999999999999\nend\n", 2,
     "number out of range"},
    {"float overflow", "object r: TReport\n  Page.Values = (1 2 3 4 5 6 1e999)\nend\n", 2, "number out of range"},
    {"too few values", "object r: TReport\n  Page.Values = (\n    100.0\n    2970.0)\nend\n", 2,
     "expected a list of 7 numbers, found 2"},
    {"too many values",
     "object r: TReport\n  object b: TRpBand\n    Size.Values = (1 2 3)\n  end\nend\n", 3,
     "expected a list of 2 numbers, found 3"},
    {"values not a list", "object r: TReport\n  Page.Values = 100.0\nend\n", 2, "expected a list"},
    {"string in values", "object r: TReport\n  Page.Values = (1 2 3 4 5 6 '7')\nend\n", 2, "expected a number"},
    {"unclosed list", "object r: TReport\n  Page.Values = (1 2 3\nend\n", 2, "expected ')'"},
    {"garbage", "object r: TReport\n  Zoom = 1\n  %%%\nend\n", 3, "unexpected character '%'"},
    {"no equals", "object r: TReport\n  Zoom 1\nend\n", 2, "expected '='"},
    {"two values", "object r: TReport\n  ReportTitle = 'a' 'b'\nend\n", 2, "expected a property name"},
    {"text after the end", "object r: TReport\nend\nobject s: TReport\nend\n", 3, "text after the end"},
    {"not a description", "hello", 1, "expected 'object'"},
    {"empty", "", 1, "expected 'object'"},
    {"bad hex", "object r: TReport\n  object l: TRpBand\n    object x: TRpLabel\n      Picture = {0G}\n"
                "    end\n  end\nend\n", 4, "bad binary data"},
    {"odd hex", "object r: TReport\n  object l: TRpBand\n    object x: TRpLabel\n      Picture = {012}\n"
                "    end\n  end\nend\n", 4, "bad binary data"},
    {"bad character code", "object r: TReport\n  ReportTitle = 'a'#55296\nend\n", 2, "bad character code"},
    {"huge character code", "object r: TReport\n  ReportTitle = #99999999999999\nend\n", 2, "bad character code"},
    {"invalid UTF-8", "object r: TReport\n  ReportTitle = '\xff'\nend\n", 2, "not valid UTF-8"},
    {"label on a report", "object r: TReport\n  object l: TRpLabel\n  end\nend\n", 2, "holds bands only"},
    {"children of a label", "object r: TReport\n  object b: TRpBand\n    object l: TRpLabel\n"
                            "      object m: TRpLabel\n      end\n    end\n  end\nend\n", 4,
     "cannot hold objects"},
    {"unknown reference", "object r: TReport\n  object b: TRpBand\n    LinkBand = Nowhere\n  end\nend\n", 3,
     "unknown component 'Nowhere'"},
    {"reference of the wrong class",
     "object r: TReport\n  object b: TRpBand\n    LinkBand = l\n    object l: TRpLabel\n    end\n  end\nend\n", 3,
     "component 'l' has the wrong class"},
    {"setter refuses", "object r: TReport\n  object b: TRpBand\n  end\n  Page.Columns = 0\nend\n", 4,
     "columns must be at least 1"},
    {"number glued to a name", "object r: TReport\n  Zoom = 12abc\nend\n", 2, "bad number"},
};

void PrintTo(const BadCase &c, std::ostream *os)
{
    *os << c.what;
}

class BadDescription : public ::testing::TestWithParam<BadCase> {};

TEST_P(BadDescription, FailsNamingTheLineAndLeavesNothing)
{
    const BadCase &c = GetParam();
    liveCount() = 0;
    try {
        desc::read(registry(), c.text);
        ADD_FAILURE() << c.what << ": read succeeded";
    } catch (const desc::DescriptionError &e) {
        EXPECT_EQ(e.line(), c.line) << c.what << ": " << e.what();
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Line %1").arg(c.line))) << e.what();
        EXPECT_TRUE(e.message().contains(QLatin1String(c.message))) << c.what << ": " << e.what();
        EXPECT_TRUE(e.reason().contains(QLatin1String(c.message))) << c.what;
        EXPECT_FALSE(e.reason().startsWith(QLatin1String("Line"))) << c.what;
    }
    EXPECT_EQ(liveCount(), 0) << c.what << ": objects left behind";
}

INSTANTIATE_TEST_SUITE_P(Descriptions, BadDescription, ::testing::ValuesIn(kBad));

TEST(DescriptionErrors, DeepNestingIsRefusedWithoutExhaustingTheStack)
{
    QByteArray objects;
    for (int i = 0; i < 100000; ++i)
        objects += "object b: TRpBand\n";
    try {
        desc::read(registry(), objects);
        ADD_FAILURE() << "deep nesting accepted";
    } catch (const desc::DescriptionError &e) {
        EXPECT_EQ(e.line(), desc::MaxNesting + 1);
        EXPECT_TRUE(e.message().contains("nesting too deep"));
    }

    QByteArray lists = "object r: TReport\n  Lines = " + QByteArray(100000, '(');
    EXPECT_THROW(desc::read(registry(), lists), desc::DescriptionError);
}

TEST(DescriptionErrors, AFailedReadIntoLeavesTheObjectAsItWas)
{
    Report r;
    r.zoom = 42;
    auto *band = new Band(&r);
    r.bands.push_back(band);
    liveCount() = 2;
    // The wrong list count sits after assignments and children that would
    // otherwise have been applied.
    const QByteArray text = "object r: TReport\n"
                            "  Zoom = 90\n"
                            "  object n: TRpBand\n"
                            "    Size.Values = (1 2)\n"
                            "  end\n"
                            "  Page.Values = (1 2 3)\n"
                            "end\n";
    EXPECT_THROW(desc::readInto(registry(), text, registry().ref(&r)), desc::DescriptionError);
    EXPECT_EQ(r.zoom, 42);
    EXPECT_EQ(r.page.values.size(), 7u);
    ASSERT_EQ(r.bands.size(), 1u);
    EXPECT_EQ(r.bands[0], band);
    EXPECT_EQ(r.loadedCalls, 0);
    EXPECT_EQ(liveCount(), 2);

    // A setter that refuses only when applied: the children made before it
    // are destroyed and taken off the report again.
    const QByteArray late = "object r: TReport\n"
                            "  object n: TRpBand\n"
                            "    object l: TRpLabel\n    end\n"
                            "  end\n"
                            "  Page.Columns = -1\n"
                            "end\n";
    try {
        desc::readInto(registry(), late, registry().ref(&r));
        ADD_FAILURE() << "read succeeded";
    } catch (const desc::DescriptionError &e) {
        EXPECT_EQ(e.line(), 6);
    }
    ASSERT_EQ(r.bands.size(), 1u);
    EXPECT_EQ(r.bands[0], band);
    EXPECT_EQ(r.findChildren<Band *>().size(), 1);
    EXPECT_EQ(liveCount(), 2);
}

TEST(DescriptionErrors, ReadAsRefusesAnotherClassBeforeMakingAnything)
{
    liveCount() = 0;
    try {
        desc::readAs<Band>(registry(), "object r: TReport\n  object b: TRpBand\n  end\nend\n");
        ADD_FAILURE() << "read succeeded";
    } catch (const desc::DescriptionError &e) {
        EXPECT_EQ(e.line(), 1);
        EXPECT_TRUE(e.message().contains("'TReport' where 'TRpBand' is expected")) << e.what();
    }
    EXPECT_EQ(liveCount(), 0);
}

TEST(DescriptionErrors, NonFiniteNumbersAreNotWritten)
{
    Report r;
    r.page.values[0] = std::numeric_limits<double>::quiet_NaN();
    try {
        desc::write(registry(), registry().ref(&r));
        ADD_FAILURE() << "a NaN was written";
    } catch (const RpError &e) {
        EXPECT_TRUE(e.message().contains("Page.Values")) << e.what();
    }
}

} // namespace

namespace {

TEST(DescriptionErrors, ColumnsCountCharactersFromOne)
{
    const std::pair<QByteArray, int> cases[] = {
        {"object r: TReport\n  %\nend\n", 3},
        {"object r: TReport\n  object b: TRpBand\n    BandType = rbTitel\n  end\nend\n", 16},
        // Each Chinese character is one column although it takes three bytes.
        {"object r: TReport\n  ReportTitle = '儲儲' %\nend\n", 22},
    };
    for (const auto &[text, column] : cases) {
        try {
            desc::read(registry(), text);
            ADD_FAILURE() << "read succeeded: " << text.constData();
        } catch (const desc::DescriptionError &e) {
            EXPECT_EQ(e.column(), column) << e.what();
            EXPECT_TRUE(e.message().contains(QStringLiteral("column %1").arg(column))) << e.what();
        }
    }
}

} // namespace
