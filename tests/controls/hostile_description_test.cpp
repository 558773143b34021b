// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Report descriptions from outside (a user may run any file): wrong ones end
// in an error naming their line, and odd ones that do read (references in a
// circle, references to the band itself) run to an end.
#include "controls/reportclasses.h"
#include "../printer/fakeprinter.h"
#include "data/memorytable.h"
#include "platform/description/description.h"
#include "printer/rpprinter.h"
#include "report/customreport.h"
#include "report/processwide.h"
#include "report/rpgroup.h"
#include "testsupport.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

// A report with one band of each given body, the band named B<i>; the first
// band starts on line 4.
QByteArray reportWith(const QList<QByteArray> &bands)
{
    QByteArray text = "object R: TReport\n  Units = MM\n  DataSet = 'T'\n";
    int i = 0;
    for (const QByteArray &body : bands)
        text += "  object B" + QByteArray::number(i++) + ": " + body + "\n  end\n";
    return text + "end\n";
}

class HostileDescription : public ::testing::Test {
protected:
    std::unique_ptr<Report> read(const QByteArray &text)
    {
        return std::unique_ptr<Report>(desc::readAs<Report>(reportRegistry(), text));
    }
    // Reading fails on `line` with `fragment` in the message.
    void expectError(const QByteArray &text, int line, const char *fragment)
    {
        try {
            read(text);
            ADD_FAILURE() << "read: " << text.left(200).toStdString();
        } catch (const desc::DescriptionError &e) {
            EXPECT_EQ(e.line(), line) << e.what();
            EXPECT_TRUE(e.message().startsWith(QStringLiteral("Line %1").arg(line))) << e.what();
            EXPECT_TRUE(e.message().contains(QLatin1String(fragment))) << e.what();
        }
    }
    // Runs the report over five records; it must end, one way or another.
    int run(Report &r)
    {
        table.setActive(true);
        r.setFormDataSets({&table});
        r.prepare();
        return r.reportPrinter()->pageCount();
    }
    void SetUp() override
    {
        table.addField(QStringLiteral("N"), RpFieldType::Integer);
        for (int i = 0; i < 5; ++i)
            table.appendRecord({i / 2});
    }

    testsupport::ScopedValue<std::optional<bool>> metric{reportState().usMeasurement, false};
    FakePrinterDevice noPrinter;
    UseDevice useNoPrinter{&noPrinter};
    RpMemoryTable table{QStringLiteral("T")};
};

TEST_F(HostileDescription, UnknownClassesPropertiesAndWrongKindsNameTheirLine)
{
    expectError(reportWith({"TRpBand", "TRpNoSuchBand"}), 6, "unknown class 'TRpNoSuchBand'");
    expectError(reportWith({"TRpBand\n    object L: TRpLabel\n      Captoin = 'x'\n    end"}), 6,
                "unknown property 'Captoin'");
    expectError(reportWith({"TRpBand\n    BandType = 3"}), 5, "expected a name");
    expectError(reportWith({"TRpBand\n    BandType = rbNothing"}), 5, "is not a value");
    expectError(reportWith({"TRpBand\n    Size.Values = 'tall'"}), 5, "expected a list");
    expectError(reportWith({"TRpBand\n    object L: TRpLabel\n      Font.Style = fsBold\n    end"}), 6,
                "expected");
    expectError(reportWith({"TRpBand\n    ForceNewPage = 1"}), 5, "True or False");
    expectError("object R: TReport\n  Page.Columns = 'two'\nend\n", 2, "expected an integer");
    // A band inside a label, a report inside a band.
    expectError(reportWith({"TRpBand\n    object L: TRpLabel\n      object M: TRpBand\n      end\n    end"}), 6,
                "cannot hold objects");
    expectError(reportWith({"TRpBand\n    object S: TReport\n    end"}), 5, "a band holds printable controls");
}

TEST_F(HostileDescription, HugeListsAndDeepNestingAreRefusedOnTheirLine)
{
    QByteArray many;
    for (int i = 0; i < 1000000; ++i)
        many += "1.5 ";
    expectError("object R: TReport\n  Page.Values = (" + many + ")\nend\n", 2,
                "expected a list of 7 numbers, found 1000000");
    expectError(reportWith({"TRpBand\n    Size.Values = (" + many + ")"}), 5,
                "expected a list of 2 numbers, found 1000000");

    QByteArray deep = "object R: TReport\n";
    for (int i = 0; i < 5000; ++i)
        deep += "object B" + QByteArray::number(i) + ": TRpBand\n";
    expectError(deep, desc::MaxNesting + 1, "nesting too deep");
}

TEST_F(HostileDescription, LinksInACircleAreRefusedOnTheLineThatClosesIt)
{
    // A child band of itself, two bands linked to each other, and two sub
    // details that are each other's master.
    expectError(reportWith({"TRpChildBand\n    ParentBand = B0"}), 5, "Circular linking not allowed");
    expectError(reportWith({"TRpBand\n    LinkBand = B1", "TRpBand\n    LinkBand = B0"}), 8,
                "Circular linking not allowed");
    expectError(reportWith({"TRpSubDetail\n    BandType = rbSubDetail\n    Master = B1",
                            "TRpSubDetail\n    BandType = rbSubDetail\n    Master = B0"}),
                10, "ircular");
}

TEST_F(HostileDescription, GroupsThatPointAtThemselvesStillRunToAnEnd)
{
    // A group that is its own footer and its own master; two groups that are
    // each other's master and footer.
    const QList<QList<QByteArray>> cases = {
        {"TRpGroup\n    BandType = rbGroupHeader\n    Expression = 'T.N'\n    FooterBand = B0\n    Master = B0",
         "TRpBand\n    BandType = rbDetail"},
        {"TRpGroup\n    BandType = rbGroupHeader\n    Expression = 'T.N'\n    FooterBand = B1\n    Master = B1",
         "TRpGroup\n    BandType = rbGroupHeader\n    Expression = 'T.N'\n    FooterBand = B0\n    Master = B0",
         "TRpBand\n    BandType = rbDetail"},
    };
    for (const auto &bands : cases) {
        std::unique_ptr<Report> r;
        try {
            r = read(reportWith(bands));
        } catch (const desc::DescriptionError &) {
            continue; // refused on reading: as good
        }
        try {
            EXPECT_GE(run(*r), 1);
        } catch (const RpError &e) {
            EXPECT_FALSE(e.message().isEmpty());
        }
    }
}

} // namespace
