// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "description_testclasses.h"

#include "platform/description/description.h"
#include "platform/description/parser.h"
#include "platform/description/textform.h"

#include <QDir>
#include <QFile>
#include <map>
#include <algorithm>
#include <QLocale>

#include <gtest/gtest.h>

#include <bit>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>

using namespace desctest;

namespace {

// A description in the writer's own form: reading and writing it again must
// give the same bytes.
const char *const kCanonical = R"(object rpt1: TReport
  Top = -24
  Frame.DrawTop = True
  Font.Height = -13
  Font.Name = 'Arial'
  Page.Values = (
    100.0
    2970.0
    100.0
    2100.0
    100.0
    70.0
    0.0)
  Page.Ruler = False
  Options = [FirstPageHeader, Compression]
  ReportTitle = 'It''s'#13#10'two lines'
  object RpBand2: TRpBand
    BandType = rbPageHeader
    Color = clWhite
    Size.Values = (
      2759.604166666667
      1931.458333333333)
    object A8: TRpLabel
      Size.Values = (
        566.2083333333333
        804.3333333333333
        2182.8125
        568.8541666666667)
      Caption = '儲'
      Lines = (
        'one'
        'two')
      Alignment = taCenter
      AutoSize = True
      Font.Color = 12566463
      Font.Height = -213
      Font.Name = '華康標楷虛線體'
      Font.Style = [fsBold, fsUnderline]
      Transparent = False
      Picture = {
        00FF10AB}
      FontSize = 160
    end
  end
  object RpBand3: TRpBand
    Color = clWhite
    Size.Values = (
      20.0
      40.0)
    LinkBand = RpBand2
  end
end
)";

Report *readReport(const QByteArray &text)
{
    return desc::readAs<Report>(registry(), text);
}

QByteArray writeReport(Report *r)
{
    return desc::write(registry(), registry().ref(r));
}

class DescriptionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        liveCount() = 0;
        loadedLog().clear();
    }
};

TEST_F(DescriptionTest, CanonicalTextRoundTripsAndBuildsTheTree)
{
    std::unique_ptr<Report> r(readReport(kCanonical));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->objectName(), "rpt1");
    EXPECT_EQ(r->y(), -24);
    EXPECT_TRUE(r->frame.drawTop);
    EXPECT_FALSE(r->page.ruler);
    EXPECT_EQ(r->page.values, (std::vector<double>{100, 2970, 100, 2100, 100, 70, 0}));
    EXPECT_EQ(r->options, (1u << FirstPageHeader) | (1u << Compression));
    EXPECT_EQ(r->title, QStringLiteral("It's\r\ntwo lines"));
    ASSERT_EQ(r->bands.size(), 2u);

    Band *b = r->bands[0];
    EXPECT_EQ(b->objectName(), "RpBand2");
    EXPECT_EQ(b->parentWidget(), r.get());
    EXPECT_EQ(b->bandType, rbPageHeader);
    EXPECT_EQ(b->color, 0xFFFFFF);
    EXPECT_EQ(r->bands[1]->linkBand, b);
    // The band's colour at creation (white) differs from its declared
    // default, so it is written although it was never changed.
    EXPECT_EQ(r->bands[1]->color, 0xFFFFFF);
    ASSERT_EQ(b->printables.size(), 1u);

    auto *l = dynamic_cast<Label *>(b->printables[0]);
    ASSERT_TRUE(l);
    EXPECT_EQ(l->caption, QStringLiteral("儲"));
    EXPECT_EQ(l->lines, (QStringList{"one", "two"}));
    EXPECT_EQ(l->alignment, taCenter);
    EXPECT_EQ(l->font.name, QStringLiteral("華康標楷虛線體"));
    EXPECT_EQ(l->font.color, 12566463);
    EXPECT_EQ(l->font.style, 0b101u);
    EXPECT_FALSE(l->transparent);
    EXPECT_EQ(l->picture, QByteArray::fromHex("00FF10AB"));
    EXPECT_EQ(l->fontSize, 160);
    EXPECT_EQ(l->size.values[1], 804.3333333333333);

    EXPECT_EQ(writeReport(r.get()).toStdString(), std::string(kCanonical));
}

TEST_F(DescriptionTest, WriteReadWriteIsStableForATreeBuiltInCode)
{
    Report r;
    r.setObjectName("rpt9");
    r.zoom = 55;
    r.bigNumber = std::numeric_limits<qint64>::min();
    r.title = QStringLiteral("tab\there, quote ' and #, 中文, \U0001F600");
    r.font.name = QString(QChar(0)) + QChar(0xFEFF) + QStringLiteral("x"); // a NUL, then a U+FEFF that starts a piece
    auto *band = new Band(&r);
    band->setObjectName("B1");
    band->bandType = rbPageFooter;
    band->expandBy = -0.0;
    r.bands.push_back(band);
    auto *label = new Label(band);
    label->setObjectName("L1");
    label->caption = QStringLiteral("\x01\x1f");
    label->lines = {QString(), QStringLiteral("''")};
    band->printables.push_back(label);

    const QByteArray first = writeReport(&r);
    std::unique_ptr<Report> back(readReport(first));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->zoom, 55);
    EXPECT_EQ(back->bigNumber, std::numeric_limits<qint64>::min());
    EXPECT_EQ(back->title, r.title);
    EXPECT_EQ(back->font.name, r.font.name);
    ASSERT_EQ(back->bands.size(), 1u);
    EXPECT_TRUE(std::signbit(back->bands[0]->expandBy)); // -0.0 differs from the default 0.0
    auto *l = dynamic_cast<Label *>(back->bands[0]->printables.at(0));
    ASSERT_TRUE(l);
    EXPECT_EQ(l->caption, label->caption);
    EXPECT_EQ(l->lines, label->lines);
    EXPECT_EQ(writeReport(back.get()), first);
}

TEST_F(DescriptionTest, PropertiesEqualToTheirDefaultAreNotWritten)
{
    Report r;
    r.setObjectName("r");
    const QByteArray text = writeReport(&r);
    // Only what has no declared default: the font's name and height, and the
    // page's Values, which are always written.
    EXPECT_EQ(text, QByteArray("object r: TReport\n"
                               "  Font.Height = -13\n"
                               "  Font.Name = 'Arial'\n"
                               "  Page.Values = (\n"
                               "    100.0\n    2970.0\n    100.0\n    2100.0\n    100.0\n    100.0\n    0.0)\n"
                               "end\n"));
    // A label's FontSize is left out while it is 0.
    auto *band = new Band(&r);
    r.bands.push_back(band);
    auto *label = new Label(band);
    band->printables.push_back(label);
    EXPECT_FALSE(writeReport(&r).contains("FontSize"));
    label->fontSize = 12;
    EXPECT_TRUE(writeReport(&r).contains("      FontSize = 12\n"));

    // A whole sub-object can depend on another property: a band's own font
    // is written only when it does not take its parent's.
    band->font.name = QStringLiteral("Kai");
    EXPECT_FALSE(writeReport(&r).contains("Kai"));
    band->parentFont = false;
    const QByteArray withFont = writeReport(&r);
    EXPECT_TRUE(withFont.contains("    Font.Name = 'Kai'\n    ParentFont = False\n")) << withFont.constData();
}

// Values that are easy to get wrong: long fractions, values that print
// differently in float and double, the smallest numbers and negative zero.
const double kTricky[] = {804.3333333333333,
                          2759.604166666667,
                          0.1,
                          1e-300,
                          std::numeric_limits<double>::denorm_min(),
                          -std::numeric_limits<double>::denorm_min() * 12345,
                          std::numeric_limits<double>::min(),
                          std::numeric_limits<double>::max(),
                          -0.0,
                          1.0 / 3.0,
                          123456789012345680.0,
                          2.5e-5};

void expectValuesRoundTrip()
{
    Report r;
    r.setObjectName("r");
    auto *band = new Band(&r);
    r.bands.push_back(band);
    constexpr std::size_t n = std::size(kTricky);
    static_assert(n % 4 == 0);
    for (std::size_t i = 0; i < n; i += 4) {
        auto *p = new Label(band);
        p->size.values.assign(kTricky + i, kTricky + i + 4);
        band->printables.push_back(p);
    }
    const QByteArray text = writeReport(&r);
    EXPECT_FALSE(text.contains(",")) << text.constData(); // no decimal commas anywhere
    std::unique_ptr<Report> back(readReport(text));
    ASSERT_TRUE(back);
    const auto &ps = back->bands.at(0)->printables;
    ASSERT_EQ(ps.size(), n / 4);
    for (std::size_t i = 0; i < n; ++i) {
        const double got = ps[i / 4]->size.values[i % 4];
        EXPECT_EQ(std::bit_cast<std::uint64_t>(got), std::bit_cast<std::uint64_t>(kTricky[i]))
            << "value " << i << " read back as " << got;
    }
    EXPECT_EQ(writeReport(back.get()), text);
}

TEST_F(DescriptionTest, ValuesListsReadBackBitIdentical)
{
    expectValuesRoundTrip();
}

TEST_F(DescriptionTest, ValuesListsReadBackBitIdenticalUnderADecimalCommaLocale)
{
    const std::string oldC = std::setlocale(LC_ALL, nullptr);
    const QLocale oldQ;
    const bool haveGerman = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    ASSERT_EQ(QLocale().decimalPoint(), QStringLiteral(","));
    if (haveGerman) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.1f", 0.5);
        EXPECT_STREQ(buf, "0,5"); // the C library does use the comma now
    }
    expectValuesRoundTrip();
    EXPECT_EQ(desc::formatFloat(2970.0), QStringLiteral("2970.0"));
    std::setlocale(LC_ALL, oldC.c_str());
    QLocale::setDefault(oldQ);
}

TEST(DescriptionText, FloatsAreShortestAndStayFloats)
{
    EXPECT_EQ(desc::formatFloat(100), "100.0");
    EXPECT_EQ(desc::formatFloat(-0.0), "-0.0");
    EXPECT_EQ(desc::formatFloat(0.1), "0.1");
    EXPECT_EQ(desc::formatFloat(1e-300), "1e-300");
    EXPECT_EQ(desc::formatFloat(1e300), "1e+300");
    EXPECT_THROW(desc::formatFloat(std::nan("")), RpError);
    EXPECT_THROW(desc::formatFloat(HUGE_VAL), RpError);
}

TEST(DescriptionText, StringsQuoteAndEscapeControlCharacters)
{
    EXPECT_EQ(desc::formatString(""), "''");
    EXPECT_EQ(desc::formatString("it's"), "'it''s'");
    EXPECT_EQ(desc::formatString("ab\r\ncd"), "'ab'#13#10'cd'");
    EXPECT_EQ(desc::formatString("\n"), "#10");
    EXPECT_EQ(desc::formatString("\tx\t"), "#9'x'#9");
}

TEST(DescriptionParser, StringFormsNumbersAndListsAreDecoded)
{
    const auto tree = desc::parseDescription("object a: T\n"
                                             "  S = 'ab'#13#10'cd' +\n    'ef'#$263A\n"
                                             "  H = $FF\n"
                                             "  N = -12\n"
                                             "  F = 1E3\n"
                                             "  Tiny = 1e-999\n"
                                             "  L = (1 2.5, 'x' (3 4) [a, b] {0102})\n"
                                             "  E = []\n"
                                             "  Dotted = Form1.Table1\n"
                                             "end\n");
    ASSERT_EQ(tree->properties.size(), 8u);
    EXPECT_EQ(tree->properties[0].value.text(), QString::fromUtf8("ab\r\ncdef\u263A"));
    EXPECT_EQ(tree->properties[1].value.intValue(), 255);
    EXPECT_EQ(tree->properties[2].value.intValue(), -12);
    EXPECT_EQ(tree->properties[3].value.kind(), desc::Value::Kind::Float);
    EXPECT_EQ(tree->properties[3].value.floatValue(), 1000.0);
    EXPECT_EQ(tree->properties[4].value.floatValue(), 0.0);
    const auto &items = tree->properties[5].value.items();
    ASSERT_EQ(items.size(), 6u);
    EXPECT_EQ(items[0].kind(), desc::Value::Kind::Int);
    EXPECT_EQ(items[1].kind(), desc::Value::Kind::Float);
    EXPECT_EQ(items[2].text(), "x");
    EXPECT_EQ(items[3].items().size(), 2u);
    EXPECT_EQ(items[4].names(), (QStringList{"a", "b"}));
    EXPECT_EQ(items[5].bytes(), QByteArray("\x01\x02", 2));
    EXPECT_TRUE(tree->properties[6].value.names().isEmpty());
    EXPECT_EQ(tree->properties[7].value.text(), "Form1.Table1");
    EXPECT_EQ(tree->properties[7].line, 10);
}

// The four worksheet layouts the program carries are in this form.
TEST(DescriptionParser, WorksheetLayoutsParse)
{
    const std::pair<const char *, std::size_t> layouts[] = {
        {"rpt1.txt", 30}, {"rpt2.txt", 42}, {"rpt3.txt", 47}, {"rpt4.txt", 57}};
    for (const auto &[file, elements] : layouts) {
        QFile f(QStringLiteral(TOVREL_SOURCE_DIR "/app/layouts/") + QLatin1String(file));
        if (!f.open(QIODevice::ReadOnly))
            GTEST_SKIP() << "layout files not present";
        const auto tree = desc::parseDescription(f.readAll());
        EXPECT_EQ(tree->className, "TReport") << file;
        ASSERT_EQ(tree->children.size(), 1u) << file;
        EXPECT_EQ(tree->children[0]->className, "TRpBand") << file;
        EXPECT_EQ(tree->children[0]->children.size(), elements) << file;
    }
}

TEST_F(DescriptionTest, LoadedRunsOncePerObjectAfterTheWholeTreeIsBuilt)
{
    std::unique_ptr<Report> r(readReport("object r: TReport\n"
                                         "  object b1: TRpBand\n"
                                         "    object l1: TRpLabel\n    end\n"
                                         "    object l2: TRpLabel\n    end\n"
                                         "  end\n"
                                         "  object b2: TRpBand\n"
                                         "    LinkBand = b1\n"
                                         "  end\n"
                                         "end\n"));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->loadedCalls, 1);
    EXPECT_EQ(r->bandsAtLoaded, 2u); // both bands were there already
    ASSERT_EQ(r->bands.size(), 2u);
    Band *b1 = r->bands[0];
    EXPECT_EQ(b1->loadedCalls, 1);
    EXPECT_EQ(b1->printablesAtLoaded, 2u);
    for (Printable *p : b1->printables) {
        EXPECT_EQ(p->loadedCalls, 1);
        EXPECT_EQ(p->siblingsAtLoaded, 2u);
    }
    EXPECT_EQ(r->bands[1]->linkBand, b1); // resolved before Loaded ran
    // Parents before children, in the order read.
    const std::vector<QObject *> order{r.get(), b1, b1->printables[0], b1->printables[1], r->bands[1]};
    EXPECT_EQ(loadedLog(), order);
}

TEST_F(DescriptionTest, ReadIntoAnExistingObjectAddsChildrenAndKeepsItsName)
{
    Report r;
    r.setObjectName("mine");
    desc::readInto(registry(), "object other: TReport\n  Zoom = 80\n  object b: TRpBand\n  end\nend\n",
                   registry().ref(&r));
    EXPECT_EQ(r.objectName(), "mine");
    EXPECT_EQ(r.zoom, 80);
    ASSERT_EQ(r.bands.size(), 1u);
    EXPECT_EQ(r.loadedCalls, 1);
    EXPECT_EQ(r.bands[0]->loadedCalls, 1);
}

TEST_F(DescriptionTest, RefOfABasePointerFindsTheMostDerivedClass)
{
    Label l;
    Printable *p = &l;
    const desc::ObjectRef ref = registry().ref(p);
    ASSERT_TRUE(ref);
    EXPECT_EQ(ref.cls->name(), "TRpLabel");
    EXPECT_EQ(ref.as<Label>(), &l);
    EXPECT_EQ(ref.as<Printable>(), p);
    EXPECT_EQ(ref.as<QWidget>(), static_cast<QWidget *>(&l));
    EXPECT_EQ(ref.as<Band>(), nullptr);
}

} // namespace

// The worksheet layouts read and write back without loss: writing what was
// read and reading that again gives the same text, and every value of the
// file is still there.
#include "description_bagregistry.h"

namespace {

// Every assignment of a tree, keyed by object name and property path.
void flatten(const desc::ObjectNode &n, std::map<QString, desc::Value> &out)
{
    for (const auto &p : n.properties)
        out[n.name + '/' + p.path.join('.')] = p.value;
    for (const auto &c : n.children)
        flatten(*c, out);
}

TEST(DescriptionLayouts, WorksheetLayoutsRoundTrip)
{
    using descbag::bagRegistry;
    for (const char *file : {"rpt1.txt", "rpt2.txt", "rpt3.txt", "rpt4.txt"}) {
        QFile f(QStringLiteral(TOVREL_SOURCE_DIR "/app/layouts/") + QLatin1String(file));
        if (!f.open(QIODevice::ReadOnly))
            GTEST_SKIP() << "layout files not present";
        const QByteArray original = f.readAll();
        std::unique_ptr<descbag::Report> r(desc::readAs<descbag::Report>(bagRegistry(), original));
        ASSERT_TRUE(r) << file;
        const QByteArray once = desc::write(bagRegistry(), bagRegistry().ref(r.get()));
        std::unique_ptr<descbag::Report> again(desc::readAs<descbag::Report>(bagRegistry(), once));
        EXPECT_EQ(desc::write(bagRegistry(), bagRegistry().ref(again.get())), once) << file;

        // Same assignments with the same values; only the typed properties
        // drop what equals their declared default.
        std::map<QString, desc::Value> a, b;
        flatten(*desc::parseDescription(original), a);
        flatten(*desc::parseDescription(once), b);
        const std::map<QString, desc::Value> defaults{
            {"Zoom", desc::Value::fromInt(100)},
            {"Units", desc::Value::fromIdent("MM")},
            {"Options", desc::Value::fromSet({"FirstPageHeader", "LastPageFooter"})},
            {"BandType", desc::Value::fromIdent("rbTitle")},
            {"Caption", desc::Value::fromString("")},
            {"AutoSize", desc::Value::fromBool(false)}};
        for (const auto &[key, value] : a) {
            auto it = b.find(key);
            auto def = defaults.find(key.section('/', 1));
            if (it == b.end())
                EXPECT_TRUE(def != defaults.end() && def->second == value) << file << ": lost " << key.toStdString();
            else
                EXPECT_EQ(it->second, value) << file << ": changed " << key.toStdString();
        }
        for (const auto &[key, value] : b)
            EXPECT_TRUE(a.count(key)) << file << ": gained " << key.toStdString();
        EXPECT_GT(b.size(), 500u) << file;
    }
}

} // namespace

namespace {

// Inputs the fuzzer once tripped over: whatever reads must write and read
// back to the same text.
TEST(DescriptionLayouts, FuzzRegressionsRoundTrip)
{
    using descbag::bagRegistry;
    QDir dir(QStringLiteral(TOVREL_TEST_DIR "/description_regressions"));
    const QStringList files = dir.entryList(QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    for (const QString &name : files) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        std::unique_ptr<descbag::Component> r;
        try {
            r.reset(desc::read(bagRegistry(), f.readAll()).as<descbag::Component>());
        } catch (const desc::DescriptionError &) {
            continue; // refusing is fine
        }
        const QByteArray once = desc::write(bagRegistry(), bagRegistry().ref(r.get()));
        std::unique_ptr<descbag::Component> again(desc::read(bagRegistry(), once).as<descbag::Component>());
        EXPECT_EQ(desc::write(bagRegistry(), bagRegistry().ref(again.get())), once) << name.toStdString();
    }
}

} // namespace
