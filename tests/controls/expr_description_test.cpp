// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Stored descriptions of groups, sub-details, the report's data set and
// the expression label: written in their order, read back to the same text
// and run; masters that go round in a circle are refused.
#include "controls/reportclasses.h"
#include "controls/rpexpr.h"
#include "data/memorytable.h"
#include "labelfixture.h"
#include "platform/description/description.h"
#include "platform/metafile.h"
#include "printer/rpprinter.h"
#include "report/rpgroup.h"
#include "report/rpsubdetail.h"

#include <QRegularExpression>

namespace {

class ExprDescriptionTest : public ControlTest {
protected:
    template <class B> B *newBand(const char *name, RpBandType type)
    {
        auto *b = new B(report.get());
        b->setObjectName(QString::fromLatin1(name));
        b->setBandType(type);
        b->size()->setNativeValue(RpBandSize::HeightIdx, 60);
        b->size()->updateOwnerBounds();
        return b;
    }
    RpExpr *newExpr(QWidget *band, const char *name, const char *expression)
    {
        auto *e = new RpExpr(band);
        e->setObjectName(QString::fromLatin1(name));
        e->setExpression(QString::fromLatin1(expression));
        return e;
    }
    // The names of the properties written in the block of `object`, in
    // order, keeping those in `of`.
    static QStringList written(const QByteArray &text, const QString &object, const QStringList &of)
    {
        QStringList out;
        const QString s = QString::fromUtf8(text);
        const qsizetype start = s.indexOf(QStringLiteral("object %1:").arg(object));
        static const QRegularExpression line(QStringLiteral("\\n\\s*(object |end\\n|([A-Za-z.]+) = )"));
        for (QRegularExpressionMatchIterator it = line.globalMatch(s, start); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            if (m.captured(2).isEmpty())
                break;
            if (of.contains(m.captured(2)))
                out << m.captured(2);
        }
        return out;
    }
};

TEST_F(ExprDescriptionTest, GroupsSubDetailsAndExpressionLabelsReadBackAndRun)
{
    desc::Registry &reg = reportRegistry();
    report->setObjectName(QStringLiteral("rpt"));
    report->setDataSetName(QStringLiteral("PEOPLE"));
    newExpr(newBand<RpBand>("Detail", rbDetail), "Name", "NAME");
    auto *group = newBand<RpGroup>("Grp", rbGroupHeader);
    group->setExpression(QStringLiteral("GRP"));
    group->setReprintOnNewPage(true);
    group->setMaster(report.get());
    group->setFooterBand(newBand<RpBand>("GrpFoot", rbDetail));
    auto *pets = newBand<RpSubDetail>("Pets", rbSubDetail);
    pets->setDataSetName(QStringLiteral("PETS"));
    pets->setPrintIfEmpty(false);
    pets->setHeaderBand(newBand<RpBand>("PetHead", rbGroupHeader));
    pets->setFooterBand(newBand<RpBand>("PetFoot", rbGroupFooter));
    newExpr(pets, "Pet", "PET");
    auto *toys = newBand<RpSubDetail>("Toys", rbSubDetail);
    ASSERT_TRUE(toys->setMaster(pets));
    toys->setPrintBefore(true);
    RpExpr *total = newExpr(group->footerBand(), "Total", "COUNT");
    total->setMask(QStringLiteral("0 'people'"));
    total->setResetAfterPrint(true);
    total->setAlignment(Alignment::taRightJustify);
    total->setAutoSize(false);
    total->setBounds(0, 0, 300, 30);
    total->setFont(arial(12));
    RpExpr *petCount = newExpr(pets->footerBand(), "PetCount", "COUNT");
    petCount->setMaster(pets);
    petCount->setResetAfterPrint(true);

    const QByteArray text = desc::write(reg, reg.ref(report.get()));
    EXPECT_EQ(written(text, QStringLiteral("rpt"), {QStringLiteral("DataSet")}).size(), 1) << text.constData();
    EXPECT_EQ(written(text, QStringLiteral("Total"),
                      {"Alignment", "AutoSize", "Font.Name", "Master", "ResetAfterPrint", "Expression", "Mask",
                       "Caption"}),
              (QStringList{"Alignment", "AutoSize", "Font.Name", "ResetAfterPrint", "Expression", "Mask"}));
    EXPECT_EQ(written(text, QStringLiteral("PetCount"), {"Master"}), QStringList{"Master"});
    EXPECT_EQ(written(text, QStringLiteral("Grp"), {"Size.Values", "Expression", "FooterBand", "Master",
                                                    "ReprintOnNewPage"}),
              (QStringList{"Size.Values", "Expression", "FooterBand", "Master", "ReprintOnNewPage"}));
    EXPECT_EQ(written(text, QStringLiteral("Pets"), {"DataSet", "PrintIfEmpty", "HeaderBand", "FooterBand"}),
              (QStringList{"DataSet", "PrintIfEmpty", "HeaderBand", "FooterBand"}));
    EXPECT_EQ(written(text, QStringLiteral("Toys"), {"Master", "PrintBefore"}),
              (QStringList{"Master", "PrintBefore"}));

    // Every value written comes back: the text written again is the same.
    std::unique_ptr<Report> back(desc::readAs<Report>(reg, text));
    ASSERT_TRUE(back);
    EXPECT_EQ(desc::write(reg, reg.ref(back.get())), text);
    EXPECT_EQ(back->findChild<RpExpr *>(QStringLiteral("Total"))->caption(), QStringLiteral("COUNT"));

    // And the report read back runs over the form's data sets by their names.
    RpMemoryTable people{QStringLiteral("People")}, petTable{QStringLiteral("Pets")};
    people.loadCsv(QStringLiteral("name,grp:integer\nAnn,1\nBob,1\nCid,2\n"));
    petTable.loadCsv(QStringLiteral("pet\ncat\n"));
    back->setFormDataSets({&people, &petTable});
    back->prepare();
    QStringList texts; // the worksheet's title band fills page 1
    for (int n = 1; const std::optional<Metafile> page = back->reportPrinter()->getPage(n); ++n)
        for (const Metafile::TextRecord &t : page->textRecords())
            texts << t.text;
    EXPECT_EQ(texts.join(QLatin1Char('|')).toStdString(), "Ann|cat|1|Bob|cat|1|2 people|Cid|cat|1|1 people");
}

TEST_F(ExprDescriptionTest, MastersThatGoRoundOrAreNoControllerAreRefused)
{
    auto read = [](const char *body) -> std::string {
        const QByteArray text = QByteArray("object r: TReport\n") + body + "end\n";
        try {
            std::unique_ptr<Report> r(desc::readAs<Report>(reportRegistry(), text));
            return "read";
        } catch (const desc::DescriptionError &e) {
            return e.reason().toStdString();
        }
    };
    const char *a = "  object A: TRpSubDetail\n    BandType = rbSubDetail\n    Master = B\n  end\n";
    const char *b = "  object B: TRpSubDetail\n    BandType = rbSubDetail\n    Master = A\n  end\n";
    EXPECT_EQ(read((std::string(a) + b).c_str()), "Circular linking not allowed");
    EXPECT_EQ(read("  object A: TRpSubDetail\n    BandType = rbSubDetail\n    Master = A\n  end\n"),
              "Circular linking not allowed");
    EXPECT_EQ(read("  object G: TRpGroup\n    BandType = rbGroupHeader\n    Master = D\n  end\n"
                   "  object D: TRpBand\n    BandType = rbDetail\n  end\n"),
              "a master is the report or a sub-detail band");
    // A chain that ends at the report reads; a label's master may be any band.
    EXPECT_EQ(read("  object A: TRpSubDetail\n    BandType = rbSubDetail\n    Master = r\n  end\n"
                   "  object B: TRpSubDetail\n    BandType = rbSubDetail\n    Master = A\n  end\n"
                   "  object D: TRpBand\n    BandType = rbDetail\n"
                   "    object E: TRpExpr\n      Master = D\n    end\n  end\n"),
              "read");
    // The caption follows the expression and is not stored.
    EXPECT_NE(read("  object D: TRpBand\n    BandType = rbDetail\n"
                   "    object E: TRpExpr\n      Caption = 'x'\n    end\n  end\n")
                  .find("Caption"),
              std::string::npos);
}

} // namespace
