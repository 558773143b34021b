// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/reportclasses.h"
#include "controls/rphrule.h"
#include "labelfixture.h"
#include "platform/description/description.h"
#include "testsupport.h"

namespace {

class DescriptionTest : public ControlTest {};

// Everything about a report tree that the description carries, as text.
QString dump(CustomReport *r)
{
    QStringList out;
    auto vals = [](const RpUnitBase *s) {
        QStringList v;
        for (double d : s->writeValueList())
            v << QString::number(d, 'g', 17);
        return v.join(QLatin1Char(' '));
    };
    out << QStringLiteral("report %1 %2 units=%3 zoom=%4 opts=%5 title=%6 paper=%7 cols=%8")
               .arg(r->width()).arg(r->height()).arg(int(r->units())).arg(r->zoom()).arg(r->options())
               .arg(r->reportTitle()).arg(int(r->page()->paperSize())).arg(r->page()->columns());
    out << vals(r->page());
    for (RpCustomBand *b : r->bandList()) {
        out << QStringLiteral("band %1 type=%2 geo=%3,%4,%5,%6 color=%7 link=%8 font=%9/%10")
                   .arg(b->objectName()).arg(int(b->bandType())).arg(b->left()).arg(b->top())
                   .arg(b->width()).arg(b->height()).arg(b->color())
                   .arg(b->linkBand() ? b->linkBand()->objectName() : QString())
                   .arg(b->font().name).arg(b->font().height)
            << vals(b->size());
        if (auto *c = qobject_cast<RpChildBand *>(b))
            out << QStringLiteral("parent=%1 order=%2").arg(c->parentBand()->objectName()).arg(int(c->printOrder()));
        for (RpPrintable *p : b->printables()) {
            out << QStringLiteral("  %1 %2 geo=%3,%4,%5,%6 frame=%7%8%9%10/%11/%12")
                       .arg(QString::fromLatin1(p->metaObject()->className()), p->objectName())
                       .arg(p->left()).arg(p->top()).arg(p->width()).arg(p->height())
                       .arg(p->frame()->drawTop()).arg(p->frame()->drawBottom()).arg(p->frame()->drawLeft())
                       .arg(p->frame()->drawRight()).arg(p->frame()->width()).arg(p->frame()->color())
                << vals(p->size());
            if (auto *l = qobject_cast<RpLabel *>(p))
                out << QStringLiteral("  label '%1' align=%2 auto=%3 wrap=%4 transparent=%5 font=%6/%7/%8/%9")
                           .arg(l->caption()).arg(int(l->alignment())).arg(l->autoSize()).arg(int(l->wrapStyle()))
                           .arg(l->transparent()).arg(l->font().name).arg(l->font().height).arg(l->font().size())
                           .arg(l->font().charset);
            if (auto *s = qobject_cast<RpShape *>(p))
                out << QStringLiteral("  shape %1 pen=%2/%3/%4 brush=%5/%6 round=%7")
                           .arg(int(s->shape())).arg(s->pen().style).arg(s->pen().width).arg(s->pen().color)
                           .arg(s->brush().style).arg(s->brush().color).arg(s->roundFactor());
        }
    }
    return out.join(QLatin1Char('\n'));
}

TEST_F(DescriptionTest, AReportWithBandsAndControlsReadsBackTheSame)
{
    desc::Registry &reg = reportRegistry();
    report->setObjectName(QStringLiteral("rpt"));
    report->setReportTitle(QStringLiteral("It's a title"));
    report->setPreviewInitialState(WindowState::wsMaximized);
    report->page()->setColumns(2);
    report->page()->setColumnSpace(5);
    band->setObjectName(QStringLiteral("TitleBand1"));
    RpBand *detail = report->createBand(rbDetail);
    detail->setHasChild(true);
    detail->childBand()->setObjectName(QStringLiteral("Child1"));
    detail->childBand()->setPrintOrder(CBPrintOrder::cboBeforeAndAfter);
    detail->setLinkBand(band);
    RpFont bf = arial(12);
    bf.bold = true;
    detail->setFont(bf);

    RpLabel *big = label(QString::fromUtf8("儲"), 215, 214, true);
    big->setObjectName(QStringLiteral("A8"));
    RpFont kai;
    kai.name = QString::fromUtf8("華康標楷虛線體");
    kai.charset = 136;
    kai.color = 12566463;
    kai.setSize(160);
    big->setFont(kai);
    big->setAlignment(Alignment::taCenter);
    big->setTransparent(true);
    RpLabel *head = label(QString::fromUtf8("姓名：\r\n第二行"), 120, 30);
    head->setObjectName(QStringLiteral("Head"));
    head->frame()->setDrawBottom(true);
    head->frame()->setWidth(2);
    auto *box = new RpShape(band);
    box->setObjectName(QStringLiteral("Box"));
    box->setBounds(40, 300, 181, 181);
    box->setPen({gdi::PS_DOT, 1, rpcolor::clGray});
    box->setBrush({gdi::BS_NULL, rpcolor::clWhite, 0});
    auto *rr = new RpShape(detail);
    rr->setObjectName(QStringLiteral("Round"));
    rr->setShape(RpShapeType::rpsRoundRect);
    rr->setRoundFactor(0.125f);
    rr->setTag(1000);
    report->setTag(999);
    report->setPrintIfEmpty(false);

    const QByteArray text = desc::write(reg, reg.ref(report.get()));
    ASSERT_FALSE(text.isEmpty());
    EXPECT_TRUE(text.contains("FontSize = 160")) << text.constData();
    EXPECT_TRUE(text.contains("Pen.Style = psDot"));
    EXPECT_FALSE(text.contains("ShowProgress")); // equal to its default
    EXPECT_TRUE(text.contains("LinkBand = TitleBand1"));
    EXPECT_TRUE(text.contains("Tag = 999"));
    EXPECT_TRUE(text.contains("Tag = 1000"));
    EXPECT_TRUE(text.contains("PrintIfEmpty = False")); // true is the default

    std::unique_ptr<Report> back(desc::readAs<Report>(reg, text));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->tag(), 999);
    EXPECT_FALSE(back->printIfEmpty());
    EXPECT_EQ(back->findChild<RpShape *>(QStringLiteral("Round"))->tag(), 1000);
    EXPECT_EQ(dump(back.get()), dump(report.get()));
    const QByteArray again = desc::write(reg, reg.ref(back.get()));
    if (again != text) {
        QFile a(QStringLiteral("/tmp/tovrel_desc_a.txt")), b(QStringLiteral("/tmp/tovrel_desc_b.txt"));
        a.open(QIODevice::WriteOnly), a.write(text), b.open(QIODevice::WriteOnly), b.write(again);
    }
    EXPECT_EQ(again, text);
}

TEST_F(DescriptionTest, TheFirstWorksheetLayoutLoadsWithItsGeometry)
{
    const QByteArray text = testsupport::readFile(QStringLiteral(TOVREL_SOURCE_DIR "/app/layouts/rpt1.txt"));
    if (text.isEmpty())
        GTEST_SKIP() << "layout file not present";
    desc::Registry &reg = reportRegistry();
    std::unique_ptr<Report> rpt(desc::readAs<Report>(reg, text));
    ASSERT_TRUE(rpt);
    EXPECT_EQ(rpt->size(), QSize(794, 1123));
    EXPECT_EQ(rpt->units(), RpUnit::MM);
    ASSERT_EQ(rpt->bandList().size(), 1);
    RpCustomBand *b = rpt->bandList().front();
    EXPECT_EQ(b->geometry(), QRect(38, 38, 730, 1043));
    auto *a8 = rpt->findChild<RpLabel *>(QStringLiteral("A8"));
    ASSERT_NE(a8, nullptr);
    EXPECT_EQ(a8->font().size(), 160);
    EXPECT_EQ(a8->font().height, -213);
    EXPECT_EQ(a8->top(), 825);
    // Auto-sized to the glyph and re-centred on the designed centre (304 + 215 / 2).
    EXPECT_NEAR(a8->left() + a8->width() / 2.0, 304 + 107, 1.0);
    EXPECT_EQ(a8->width(), a8->measureWidth(a8->caption()));
    const QByteArray again = desc::write(reg, reg.ref(rpt.get()));
    std::unique_ptr<Report> twice(desc::readAs<Report>(reg, again));
    ASSERT_TRUE(twice);
    EXPECT_EQ(dump(twice.get()), dump(rpt.get()));
}

TEST_F(DescriptionTest, BadValuesListsFailToLoad)
{
    desc::Registry &reg = reportRegistry();
    const QByteArray bad = "object r: TReport\n  object b: TRpBand\n    Size.Values = (1.0 2.0 3.0)\n  end\nend\n";
    EXPECT_THROW(desc::read(reg, bad), desc::DescriptionError);
    const QByteArray circular = "object r: TReport\n  object a: TRpBand\n    LinkBand = b\n  end\n"
                                "  object b: TRpBand\n    LinkBand = a\n  end\nend\n";
    EXPECT_THROW(desc::read(reg, circular), desc::DescriptionError);
}

} // namespace

// A new report takes the default printer's paper, unless its description
// names a paper: then the printer is not asked at all (at start-up that
// would load the printing system for nothing).
TEST_F(DescriptionTest, AReportDescribedWithAPaperDoesNotAskThePrinterForItsOwn)
{
    struct CountingPrinter : FakePrinterDevice {
        int asked = 0;
        std::optional<int> defaultPaperCode() override
        {
            ++asked;
            return FakePrinterDevice::defaultPaperCode();
        }
    } letter;
    DevMode m;
    m.dmPaperSize = 1; // Letter
    letter.mode = m;
    UseDevice use(&letter);
    desc::Registry &reg = reportRegistry();
    auto read = [&](const char *paperLine) {
        const QByteArray text = QByteArray("object R: TReport\n") + paperLine + "end\n";
        return std::unique_ptr<Report>(desc::readAs<Report>(reg, text));
    };

    const auto a4 = read("  Page.PaperSize = A4\n");
    EXPECT_EQ(letter.asked, 0);
    EXPECT_EQ(a4->page()->paperSize(), RpPaperSize::A4);
    a4->page()->setUnits(RpUnit::MM);
    EXPECT_NEAR(a4->page()->width(), 210, 0.1);

    for (const char *line : {"", "  Page.PaperSize = Default\n"}) {
        letter.asked = 0;
        const auto r = read(line);
        EXPECT_EQ(letter.asked, 1) << line;
        // Letter is 215.9 mm wide.
        r->page()->setUnits(RpUnit::MM);
        EXPECT_NEAR(r->page()->width(), 215.9, 0.1) << line;
    }
}
