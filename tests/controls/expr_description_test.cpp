// Stored descriptions of the classes that drive records: groups,
// sub-details, the report's data set, and the expression label; masters
// that would go round in a circle are refused.
#include "controls/reportclasses.h"
#include "controls/rpexpr.h"
#include "data/memorytable.h"
#include "labelfixture.h"
#include "platform/description/description.h"
#include "platform/metafile.h"
#include "printer/rpprinter.h"
#include "report/rpgroup.h"
#include "report/rpsubdetail.h"

#include <QLocale>
#include <QRegularExpression>

namespace {

class ExprDescriptionTest : public ControlTest {
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    void TearDown() override
    {
        QLocale::setDefault(savedLocale);
        ControlTest::TearDown();
    }
    template <class B> B *newBand(const QString &name, RpBandType type)
    {
        auto *b = new B(report.get());
        b->setObjectName(name);
        b->setBandType(type);
        b->size()->setNativeValue(RpBandSize::HeightIdx, 60);
        b->size()->updateOwnerBounds();
        return b;
    }
    // The names of the properties written in the block of `object`, in order.
    static QStringList propertiesOf(const QByteArray &text, const QString &object)
    {
        QStringList out;
        const QStringList lines = QString::fromUtf8(text).split(QLatin1Char('\n'));
        qsizetype i = lines.indexOf(QRegularExpression(QStringLiteral("^\\s*object %1: .*").arg(object)));
        if (i < 0)
            return out;
        const QRegularExpression property(QStringLiteral("^\\s*([A-Za-z.]+) = "));
        for (++i; i < lines.size() && !lines[i].trimmed().startsWith(QLatin1String("object ")) &&
                  lines[i].trimmed() != QLatin1String("end");
             ++i) {
            const QRegularExpressionMatch m = property.match(lines[i]);
            if (m.hasMatch())
                out << m.captured(1);
        }
        return out;
    }
    std::string printedTexts(CustomReport &r)
    {
        QStringList out;
        for (int n = 1; r.reportPrinter(); ++n) {
            const std::optional<Metafile> page = r.reportPrinter()->getPage(n);
            if (!page)
                break;
            for (const Metafile::TextRecord &t : page->textRecords())
                out << t.text;
        }
        return out.join(QLatin1Char('|')).toStdString();
    }
    QLocale savedLocale;
};

TEST_F(ExprDescriptionTest, GroupsSubDetailsAndExpressionLabelsReadBackAndRun)
{
    desc::Registry &reg = reportRegistry();
    report->setObjectName(QStringLiteral("rpt"));
    report->setDataSetName(QStringLiteral("PEOPLE"));
    auto *detail = newBand<RpBand>(QStringLiteral("Detail"), rbDetail);
    auto *name = new RpExpr(detail);
    name->setObjectName(QStringLiteral("Name"));
    name->setExpression(QStringLiteral("NAME"));
    auto *group = newBand<RpGroup>(QStringLiteral("Grp"), rbGroupHeader);
    group->setExpression(QStringLiteral("GRP"));
    group->setReprintOnNewPage(true);
    group->setMaster(report.get());
    auto *groupFooter = newBand<RpBand>(QStringLiteral("GrpFoot"), rbDetail);
    group->setFooterBand(groupFooter);
    EXPECT_EQ(groupFooter->bandType(), rbGroupFooter);
    auto *pets = newBand<RpSubDetail>(QStringLiteral("Pets"), rbSubDetail);
    pets->setDataSetName(QStringLiteral("PETS"));
    pets->setPrintIfEmpty(false);
    auto *petFoot = newBand<RpBand>(QStringLiteral("PetFoot"), rbGroupFooter);
    pets->setFooterBand(petFoot);
    auto *petHead = newBand<RpBand>(QStringLiteral("PetHead"), rbGroupHeader);
    pets->setHeaderBand(petHead);
    auto *pet = new RpExpr(pets);
    pet->setObjectName(QStringLiteral("Pet"));
    pet->setExpression(QStringLiteral("PET"));
    auto *toys = newBand<RpSubDetail>(QStringLiteral("Toys"), rbSubDetail);
    ASSERT_TRUE(toys->setMaster(pets));
    toys->setPrintBefore(true);
    auto *total = new RpExpr(groupFooter);
    total->setObjectName(QStringLiteral("Total"));
    total->setExpression(QStringLiteral("COUNT"));
    total->setMask(QStringLiteral("0 'people'"));
    total->setResetAfterPrint(true);
    total->setAlignment(Alignment::taRightJustify);
    total->setAutoSize(false);
    total->setBounds(0, 0, 300, 30);
    total->setFont(arial(12));
    auto *petCount = new RpExpr(petFoot);
    petCount->setObjectName(QStringLiteral("PetCount"));
    petCount->setExpression(QStringLiteral("COUNT"));
    petCount->setMaster(pets);
    petCount->setResetAfterPrint(true);

    const QByteArray text = desc::write(reg, reg.ref(report.get()));
    EXPECT_EQ(propertiesOf(text, QStringLiteral("rpt")).filter(QStringLiteral("DataSet")),
              QStringList{QStringLiteral("DataSet")});
    // The expression label's own order; its caption follows the expression
    // and is not written.
    const QStringList written = propertiesOf(text, QStringLiteral("Total"));
    const QStringList own{QStringLiteral("Alignment"), QStringLiteral("AutoSize"), QStringLiteral("Font.Name"),
                          QStringLiteral("ResetAfterPrint"), QStringLiteral("Expression"), QStringLiteral("Mask")};
    QStringList inOrder;
    for (const QString &p : written)
        if (own.contains(p))
            inOrder << p;
    EXPECT_EQ(inOrder, own) << text.constData();
    EXPECT_FALSE(written.contains(QStringLiteral("Caption")));
    EXPECT_EQ(propertiesOf(text, QStringLiteral("Grp")).mid(propertiesOf(text, QStringLiteral("Grp")).size() - 4),
              (QStringList{QStringLiteral("Expression"), QStringLiteral("FooterBand"), QStringLiteral("Master"),
                           QStringLiteral("ReprintOnNewPage")}));
    EXPECT_TRUE(text.contains("Master = Pets")) << text.constData();

    std::unique_ptr<Report> back(desc::readAs<Report>(reg, text));
    ASSERT_TRUE(back);
    EXPECT_EQ(desc::write(reg, reg.ref(back.get())), text);
    EXPECT_EQ(back->dataSetName(), QStringLiteral("PEOPLE"));
    auto *g = back->findChild<RpGroup *>(QStringLiteral("Grp"));
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->expression(), QStringLiteral("GRP"));
    EXPECT_TRUE(g->reprintOnNewPage());
    EXPECT_EQ(g->master(), back.get());
    EXPECT_EQ(g->footerBand(), back->findChild<RpCustomBand *>(QStringLiteral("GrpFoot")));
    auto *p = back->findChild<RpSubDetail *>(QStringLiteral("Pets"));
    auto *t = back->findChild<RpSubDetail *>(QStringLiteral("Toys"));
    ASSERT_TRUE(p && t);
    EXPECT_EQ(p->dataSetName(), QStringLiteral("PETS"));
    EXPECT_FALSE(p->printIfEmpty());
    EXPECT_FALSE(p->printBefore());
    EXPECT_EQ(p->master(), nullptr);
    EXPECT_EQ(p->headerBand(), back->findChild<RpCustomBand *>(QStringLiteral("PetHead")));
    EXPECT_EQ(p->footerBand(), back->findChild<RpCustomBand *>(QStringLiteral("PetFoot")));
    EXPECT_EQ(t->master(), p);
    EXPECT_TRUE(t->printBefore());
    auto *e = back->findChild<RpExpr *>(QStringLiteral("Total"));
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->expression(), QStringLiteral("COUNT"));
    EXPECT_EQ(e->caption(), QStringLiteral("COUNT"));
    EXPECT_EQ(e->mask(), QStringLiteral("0 'people'"));
    EXPECT_TRUE(e->resetAfterPrint());
    EXPECT_EQ(e->alignment(), Alignment::taRightJustify);
    EXPECT_EQ(e->font().size(), 12);
    EXPECT_EQ(back->findChild<RpExpr *>(QStringLiteral("PetCount"))->master(), p);

    // The report read back runs over the form's data sets by their names.
    RpMemoryTable people{QStringLiteral("People")}, petTable{QStringLiteral("Pets")};
    people.loadCsv(QStringLiteral("name,grp:integer\nAnn,1\nBob,1\nCid,2\n"));
    petTable.loadCsv(QStringLiteral("pet\ncat\n"));
    back->setFormDataSets({&people, &petTable});
    back->prepare();
    EXPECT_EQ(printedTexts(*back), "Ann|cat|1|Bob|cat|1|2 people|Cid|cat|1|1 people");
}

TEST_F(ExprDescriptionTest, MastersThatGoRoundOrAreNoControllerAreRefused)
{
    desc::Registry &reg = reportRegistry();
    auto read = [&reg](const char *body) -> QString {
        const QByteArray text = QByteArray("object r: TReport\n") + body + "end\n";
        try {
            std::unique_ptr<Report> r(desc::readAs<Report>(reg, text));
            return QString();
        } catch (const desc::DescriptionError &e) {
            return e.reason();
        }
    };
    EXPECT_EQ(read("  object A: TRpSubDetail\n    BandType = rbSubDetail\n    Master = B\n  end\n"
                   "  object B: TRpSubDetail\n    BandType = rbSubDetail\n    Master = A\n  end\n"),
              QStringLiteral("Circular linking not allowed"));
    EXPECT_EQ(read("  object A: TRpSubDetail\n    BandType = rbSubDetail\n    Master = A\n  end\n"),
              QStringLiteral("Circular linking not allowed"));
    EXPECT_EQ(read("  object G: TRpGroup\n    BandType = rbGroupHeader\n    Master = D\n  end\n"
                   "  object D: TRpBand\n    BandType = rbDetail\n  end\n"),
              QStringLiteral("a master is the report or a sub-detail band"));
    // A chain that ends at the report is fine; so is a label's master of any kind.
    EXPECT_EQ(read("  object A: TRpSubDetail\n    BandType = rbSubDetail\n    Master = r\n  end\n"
                   "  object B: TRpSubDetail\n    BandType = rbSubDetail\n    Master = A\n  end\n"
                   "  object D: TRpBand\n    BandType = rbDetail\n"
                   "    object E: TRpExpr\n      Master = D\n      Expression = 'COUNT'\n    end\n  end\n"),
              QString());
    // The caption of an expression label is not a stored property.
    EXPECT_TRUE(read("  object D: TRpBand\n    BandType = rbDetail\n"
                     "    object E: TRpExpr\n      Caption = 'x'\n    end\n  end\n")
                    .contains(QStringLiteral("Caption")));
}

} // namespace
