// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The four worksheet layouts as the program reads them from its resources,
// element by element against the layouts as designed (layouttables.h).
#include "app/layouts.h"
#include "controls/rplabel.h"
#include "layouttables.h"
#include "platform/description/parser.h"
#include "platform/rperror.h"
#include "report/customreport.h"
#include "report/rpband.h"
#include "report/rpshape.h"

#include <QWidget>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <span>
#include <variant>
#include <vector>

using namespace expected;

namespace {

// Values are designed to 0.001 mm: the stored native value (tenths of a
// millimetre) lies within half of that of the designed one.
constexpr double kTolMM = 0.0005 + 1e-9;

struct Layout {
    std::span<const ExpectedLabel> labels;
    std::span<const ExpectedShape> shapes;
    const char *band;
};

const Layout kLayouts[4] = {
    {kLabels1, kShapes1, "RpBand2"},
    {kLabels2, kShapes2, "BandTitle"},
    {kLabels3, kShapes3, "RpBand3"},
    {kLabels4, kShapes4, "RpBand1"},
};

using Element = std::variant<const ExpectedLabel *, const ExpectedShape *>;

// Labels and shapes merged back into their stored order.
std::vector<Element> storedOrder(const Layout &l)
{
    std::vector<Element> all(l.labels.size() + l.shapes.size(), Element{});
    std::vector<bool> seen(all.size(), false);
    auto put = [&](int no, Element e) {
        ASSERT_GE(no, 1);
        ASSERT_LE(size_t(no), all.size());
        ASSERT_FALSE(seen[size_t(no - 1)]) << "number " << no << " twice";
        seen[size_t(no - 1)] = true;
        all[size_t(no - 1)] = e;
    };
    for (const auto &x : l.labels)
        put(x.no, &x);
    for (const auto &x : l.shapes)
        put(x.no, &x);
    return all;
}

quint32 colorRef(std::uint32_t rgb)
{
    if (rgb == kWindowText)
        return rpcolor::clWindowText;
    return gdi::rgb(int(rgb >> 16) & 0xff, int(rgb >> 8) & 0xff, int(rgb & 0xff));
}

void expectGeometry(const RpPrintable *p, double left, double top, double width, double height)
{
    const RpPrintableSize *s = p->size();
    const std::string name = p->objectName().toStdString();
    EXPECT_NEAR(s->nativeValue(RpPrintableSize::LeftIdx) / 10, left, kTolMM) << name << " left";
    EXPECT_NEAR(s->nativeValue(RpPrintableSize::TopIdx) / 10, top, kTolMM) << name << " top";
    EXPECT_NEAR(s->nativeValue(RpPrintableSize::WidthIdx) / 10, width, kTolMM) << name << " width";
    EXPECT_NEAR(s->nativeValue(RpPrintableSize::HeightIdx) / 10, height, kTolMM) << name << " height";
}

void expectNoFrame(const RpFrame *f, const std::string &what)
{
    EXPECT_FALSE(f->drawTop() || f->drawBottom() || f->drawLeft() || f->drawRight()) << what;
    EXPECT_EQ(f->color(), rpcolor::clBlack) << what;
}

void expectLabel(const RpPrintable *p, const ExpectedLabel &e)
{
    const auto *l = qobject_cast<const RpLabel *>(p);
    ASSERT_NE(l, nullptr) << e.name << " is not a label";
    const std::string name = e.name;
    if (!e.autoSize) {
        expectGeometry(l, e.left, e.top, e.width, e.height);
    } else {
        // A label that sizes itself to its text is formatted as soon as it is
        // loaded: its width becomes the caption's measured width, re-centred
        // on the designed centre (or kept at the designed left edge), and it
        // grows to one line when that is taller. The top stays as designed.
        auto *lab = const_cast<RpLabel *>(l);
        const int w = lab->measureWidth(lab->caption());
        const int designLeft = int(std::lround(e.left * 96 / 25.4));
        const int designWidth = int(std::lround(e.width * 96 / 25.4));
        const int designHeight = int(std::lround(e.height * 96 / 25.4));
        const int left = e.align == Align::Centre ? designLeft + (designWidth - w) / 2 : designLeft;
        const int height = std::max(designHeight, lab->lineHeight() + 1);
        EXPECT_EQ(l->geometry(), QRect(left, int(std::lround(e.top * 96 / 25.4)), w, height)) << name;
        expectGeometry(l, left * 25.4 / 96, e.top, w * 25.4 / 96, height * 25.4 / 96);
    }
    const RpFont &f = l->font();
    switch (e.font) {
    case 'S':
        EXPECT_EQ(f.name, QStringLiteral("華康標楷筆順體")) << name;
        EXPECT_EQ(f.charset, gdi::CHINESEBIG5_CHARSET) << name;
        break;
    case 'D':
        EXPECT_EQ(f.name, QStringLiteral("華康標楷虛線體")) << name;
        EXPECT_EQ(f.charset, gdi::CHINESEBIG5_CHARSET) << name;
        break;
    default:
        EXPECT_EQ(f.name, QStringLiteral("標楷體")) << name;
        EXPECT_EQ(f.charset, gdi::ANSI_CHARSET) << name;
    }
    EXPECT_EQ(f.size(), e.fontSize) << name;
    EXPECT_EQ(f.height, e.fontHeight) << name;
    EXPECT_EQ(f.color, colorRef(e.rgb)) << name;
    EXPECT_FALSE(f.bold || f.italic || f.underline || f.strikeOut) << name;
    EXPECT_EQ(l->alignment(), e.align == Align::Centre ? Alignment::taCenter : Alignment::taLeftJustify) << name;
    EXPECT_EQ(l->autoSize(), e.autoSize) << name;
    EXPECT_EQ(l->wordWrap(), e.wordWrap) << name;
    EXPECT_EQ(l->caption(), QString::fromUtf8(e.caption)) << name;
    // Character cells are transparent, the heading texts opaque.
    EXPECT_EQ(l->transparent(), e.character != 0) << name;
    EXPECT_EQ(l->color(), rpcolor::clWhite) << name;
    EXPECT_FALSE(l->parentFont()) << name;
    EXPECT_FALSE(l->alignToBand()) << name;
    EXPECT_FALSE(l->autoStretch()) << name;
    EXPECT_EQ(l->exportAs(), ExportType::exptText) << name;
    EXPECT_EQ(l->wrapStyle(), WrapStyle::BreakOnSpaces) << name;
    EXPECT_EQ(l->xlColumn(), 0) << name;
    expectNoFrame(l->frame(), name);
}

void expectShape(const RpPrintable *p, const ExpectedShape &e)
{
    const auto *s = qobject_cast<const RpShape *>(p);
    ASSERT_NE(s, nullptr) << e.name << " is not a shape";
    const std::string name = e.name;
    expectGeometry(s, e.left, e.top, e.width, e.height);
    EXPECT_EQ(s->shape(), RpShapeType::rpsRectangle) << name;
    EXPECT_EQ(s->vertAdjust(), 0) << name;
    EXPECT_EQ(s->xlColumn(), 0) << name;
    expectNoFrame(s->frame(), name);
    // Default pen: solid black, width 1; grid lines grey, some dotted.
    EXPECT_EQ(s->pen().width, 1) << name;
    EXPECT_EQ(s->pen().color, e.pen == Pen::Default ? rpcolor::clBlack : rpcolor::clGray) << name;
    EXPECT_EQ(s->pen().style & gdi::PS_STYLE_MASK, e.pen == Pen::GrayDot ? gdi::PS_DOT : gdi::PS_SOLID) << name;
    if (e.brush == Brush::Clear) {
        EXPECT_EQ(s->brush().style, gdi::BS_NULL) << name;
    } else {
        EXPECT_EQ(s->brush().style, gdi::BS_SOLID) << name;
        EXPECT_EQ(s->brush().color, rpcolor::clWhite) << name;
    }
}

struct LayoutTest : ::testing::TestWithParam<int> {
    QWidget page;
    Report *report = nullptr;
    void SetUp() override
    {
        page.resize(938, 1090);
        report = layouts::load(GetParam(), &page);
        ASSERT_NE(report, nullptr);
    }
    const Layout &layout() const { return kLayouts[GetParam() - 1]; }
    RpCustomBand *band() const
    {
        return report->bandList().isEmpty() ? nullptr : report->bandList().first();
    }
};

TEST_P(LayoutTest, ReportCarriesTheCommonSettings)
{
    const int n = GetParam();
    EXPECT_EQ(report->objectName(), QStringLiteral("rpt%1").arg(n));
    EXPECT_EQ(report->parentWidget(), &page);
    const int top[] = {-24, 0, -30, 0};
    EXPECT_EQ(report->geometry(), QRect(0, top[n - 1], 794, 1123));

    const RpPage *pg = report->page();
    const double values[] = {100.0, 2970.0, 100.0, 2100.0, 100.0, 70.0, 0.0};
    ASSERT_EQ(pg->valueCount(), 7);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(pg->nativeValue(i), values[i]) << "Page.Values[" << i << "]";
    EXPECT_EQ(pg->paperSize(), RpPaperSize::A4);
    EXPECT_EQ(pg->orientation(), PrinterOrientation::poPortrait);
    EXPECT_EQ(pg->columns(), 1);
    EXPECT_FALSE(pg->continuous());
    EXPECT_TRUE(pg->ruler());
    EXPECT_EQ(report->units(), RpUnit::MM);
    EXPECT_EQ(report->zoom(), 100);
    EXPECT_EQ(report->options(), (1 << FirstPageHeader) | (1 << LastPageFooter));
    EXPECT_TRUE(report->printIfEmpty());
    EXPECT_TRUE(report->snapToGrid());

    const RpFont &f = report->font();
    EXPECT_EQ(f.name, QStringLiteral("Arial"));
    EXPECT_EQ(f.height, -13);
    EXPECT_EQ(f.charset, gdi::DEFAULT_CHARSET);
    EXPECT_EQ(f.color, rpcolor::clWindowText);
    EXPECT_FALSE(f.bold || f.italic || f.underline || f.strikeOut);
    expectNoFrame(report->frame(), "report frame");

    const QList<std::pair<QString, QString>> functions = {
        {QStringLiteral("PAGENUMBER"), QStringLiteral("0")},
        {QStringLiteral("COLUMNNUMBER"), QStringLiteral("0")},
        {QStringLiteral("REPORTTITLE"), QStringLiteral("''")}};
    EXPECT_EQ(report->functions(), functions);

    EXPECT_EQ(report->prevFormStyle(), FormStyle::fsNormal);
    EXPECT_EQ(report->previewInitialState(), WindowState::wsMaximized);
    EXPECT_EQ(report->prevInitialZoom(), RpZoomState::rpZoomToFit);
    EXPECT_EQ(report->previewDefaultSaveType(), PrevSaveType::stTRP);
    EXPECT_EQ(report->previewLeft(), 0);
    EXPECT_EQ(report->previewTop(), 0);
}

TEST_P(LayoutTest, OneTitleBandCoversThePrintableArea)
{
    ASSERT_EQ(report->bandList().size(), 1);
    RpCustomBand *b = band();
    ASSERT_NE(qobject_cast<RpBand *>(b), nullptr);
    EXPECT_EQ(b->objectName(), QString::fromLatin1(layout().band));
    EXPECT_EQ(b->bandType(), rbTitle);
    // The width follows the page (730 pixels): equal to the stored value
    // up to the last digits.
    EXPECT_NEAR(b->size()->nativeValue(RpBandSize::HeightIdx), 2759.604166666667, 1e-9);
    EXPECT_NEAR(b->size()->nativeValue(RpBandSize::WidthIdx), 1931.458333333333, 1e-9);
    // At the top and left margins, 730 x 1043 pixels at 96 dpi.
    EXPECT_EQ(b->geometry(), QRect(38, 38, 730, 1043));
    EXPECT_EQ(b->color(), rpcolor::clWhite);
    EXPECT_FALSE(b->transparentBand());
    EXPECT_FALSE(b->parentFont());
    EXPECT_EQ(b->font().name, QStringLiteral("Arial"));
    EXPECT_EQ(b->font().height, -13);
    expectNoFrame(b->frame(), "band frame");
    EXPECT_FALSE(b->alignToBottom());
    EXPECT_FALSE(b->forceNewColumn());
    EXPECT_FALSE(b->forceNewPage());
    EXPECT_FALSE(b->keepOnOnePage());
    EXPECT_FALSE(b->preCaluculateBandHeight());
    EXPECT_TRUE(b->bandEnabled());
    EXPECT_FALSE(b->hasChild());
    EXPECT_EQ(b->linkBand(), nullptr);
}

TEST_P(LayoutTest, EveryElementInStoredOrderAsDesigned)
{
    RpCustomBand *b = band();
    ASSERT_NE(b, nullptr);
    const QList<RpPrintable *> got = b->printables();
    const std::vector<Element> want = storedOrder(layout());
    ASSERT_EQ(size_t(got.size()), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        SCOPED_TRACE("element #" + std::to_string(i + 1));
        if (const auto *l = std::get_if<const ExpectedLabel *>(&want[i])) {
            EXPECT_EQ(got[qsizetype(i)]->objectName(), QString::fromUtf8((*l)->name));
            expectLabel(got[qsizetype(i)], **l);
        } else {
            const ExpectedShape *s = std::get<const ExpectedShape *>(want[i]);
            EXPECT_EQ(got[qsizetype(i)]->objectName(), QString::fromUtf8(s->name));
            expectShape(got[qsizetype(i)], *s);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Worksheets, LayoutTest, ::testing::Values(1, 2, 3, 4),
                         [](const auto &info) { return "rpt" + std::to_string(info.param); });

// Values that came from whole pixels at 96 dpi are stored exactly, not as
// the rounded millimetres: 80.433 mm is 304 pixels.
TEST(LayoutValues, PixelValuesAreStoredExactly)
{
    QWidget page;
    // D1d: 1.852 mm is 7 pixels, 165.894 mm 627, 47.890 mm 181.
    Report *r = layouts::load(4, &page);
    auto *d1d = r->findChild<RpLabel *>(QStringLiteral("D1d"));
    ASSERT_NE(d1d, nullptr);
    EXPECT_EQ(d1d->size()->nativeValue(RpPrintableSize::HeightIdx), 478.8958333333333);
    EXPECT_EQ(d1d->size()->nativeValue(RpPrintableSize::LeftIdx), 18.52083333333333);
    EXPECT_EQ(d1d->size()->nativeValue(RpPrintableSize::TopIdx), 1658.9375);
    EXPECT_EQ(d1d->size()->nativeValue(RpPrintableSize::WidthIdx), 478.8958333333333);
    // 47.5 mm is no whole number of pixels and is kept as designed.
    Report *r2 = layouts::load(2, &page);
    auto *b1b = r2->findChild<RpLabel *>(QStringLiteral("B1b"));
    ASSERT_NE(b1b, nullptr);
    EXPECT_EQ(b1b->size()->nativeValue(RpPrintableSize::WidthIdx), 475.0);
    EXPECT_EQ(b1b->size()->nativeValue(RpPrintableSize::TopIdx), 1075.0);
}

// The stored descriptions themselves, before any formatting: every element's
// Size.Values against the designed geometry, in stored order.
TEST(LayoutValues, StoredGeometryIsTheDesignedGeometry)
{
    for (int n = 1; n <= 4; ++n) {
        SCOPED_TRACE("rpt" + std::to_string(n));
        const auto root = desc::parseDescription(layouts::description(n));
        ASSERT_EQ(root->children.size(), 1u);
        const desc::ObjectNode &band = *root->children[0];
        const std::vector<Element> want = storedOrder(kLayouts[n - 1]);
        ASSERT_EQ(band.children.size(), want.size());
        for (size_t i = 0; i < want.size(); ++i) {
            const desc::ObjectNode &obj = *band.children[i];
            const char *name = nullptr;
            double l = 0, t = 0, w = 0, h = 0;
            if (const auto *lab = std::get_if<const ExpectedLabel *>(&want[i])) {
                name = (*lab)->name;
                l = (*lab)->left, t = (*lab)->top, w = (*lab)->width, h = (*lab)->height;
                EXPECT_EQ(obj.className, QStringLiteral("TRpLabel")) << name;
            } else {
                const ExpectedShape *sh = std::get<const ExpectedShape *>(want[i]);
                name = sh->name;
                l = sh->left, t = sh->top, w = sh->width, h = sh->height;
                EXPECT_EQ(obj.className, QStringLiteral("TRpShape")) << name;
            }
            EXPECT_EQ(obj.name, QString::fromUtf8(name));
            const desc::PropertyNode *values = nullptr;
            for (const auto &p : obj.properties)
                if (p.path == QStringList{QStringLiteral("Size"), QStringLiteral("Values")})
                    values = &p;
            ASSERT_NE(values, nullptr) << name;
            const auto &items = values->value.items();
            ASSERT_EQ(items.size(), 4u) << name;
            EXPECT_NEAR(items[0].floatValue() / 10, h, kTolMM) << name << " height";
            EXPECT_NEAR(items[1].floatValue() / 10, l, kTolMM) << name << " left";
            EXPECT_NEAR(items[2].floatValue() / 10, t, kTolMM) << name << " top";
            EXPECT_NEAR(items[3].floatValue() / 10, w, kTolMM) << name << " width";
        }
    }
}

TEST(LayoutValues, OnlyFourLayoutsExist)
{
    QWidget page;
    for (int bad : {0, 5, -1})
        EXPECT_THROW(layouts::load(bad, &page), RpError) << bad;
    for (int n = 1; n <= 4; ++n)
        EXPECT_TRUE(layouts::description(n).startsWith("object rpt" + QByteArray::number(n) + ": TReport"));
}

} // namespace
