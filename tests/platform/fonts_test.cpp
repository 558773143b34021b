// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Font resolution on this machine: substitution chains, GDI heights and
// metrics, linear layout and the data a document writer takes from a face.
#include "painter_support.h"
#include "platform/fonts.h"
#include "platform/screen.h"
#include "platform/units.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>

#include <gtest/gtest.h>

namespace {

gdi::LogFont logFont(const QString &face, qint32 height)
{
    gdi::LogFont f;
    f.faceName = face;
    f.height = height;
    return f;
}

const QString kTwKai = QStringLiteral("TW-Kai");

} // namespace

TEST(FontFamilies, WorksheetFacesFallBackToTwKai)
{
    for (const QString face : {QStringLiteral("標楷體"), QStringLiteral("華康標楷筆順體"), QStringLiteral("華康標楷虛線體")}) {
        SCOPED_TRACE(face.toStdString());
        EXPECT_FALSE(fonts::isFamilyInstalled(face));
        EXPECT_TRUE(fonts::isSubstituted(face));
        EXPECT_EQ(fonts::standInFamily(face), kTwKai);
        const QStringList chain = fonts::substitutionChain(face);
        ASSERT_GE(chain.size(), 4);
        EXPECT_EQ(chain[0], kTwKai);
        // TW-Kai's faces for the characters beyond the basic plane, then
        // the next Kai face.
        EXPECT_EQ(chain.mid(1, 3), QStringList({QStringLiteral("TW-Kai-Ext-B"), QStringLiteral("TW-Kai-Plus"),
                                                QStringLiteral("AR PL UKai TW")}));
        // Whatever comes later is still a Chinese face.
        for (const QString &f : chain.mid(3))
            EXPECT_TRUE(QFontDatabase::writingSystems(f).contains(QFontDatabase::TraditionalChinese) ||
                        QFontDatabase::writingSystems(f).contains(QFontDatabase::SimplifiedChinese))
                << f.toStdString();
        // And the face that draws is really that one, not a silent stand-in.
        EXPECT_EQ(fonts::resolve(logFont(face, -40))->rawFont().familyName(), kTwKai);
    }
}

TEST(FontFamilies, InstalledFamilyStandsForItself)
{
    EXPECT_TRUE(fonts::isFamilyInstalled(QStringLiteral("DejaVu Sans")));
    EXPECT_TRUE(fonts::isFamilyInstalled(QStringLiteral("dejavu sans")));
    EXPECT_EQ(fonts::standInFamily(QStringLiteral("DejaVu Serif")), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(fonts::standInFamily(kTwKai), kTwKai);
    EXPECT_FALSE(fonts::isSubstituted(kTwKai));
}

TEST(FontFamilies, WindowsFacesGoToSansSerifAndMonospace)
{
    auto fixedPitch = [](const QString &face) {
        // An 'i' and an 'M' take the same advance in a monospaced face.
        const auto rf = fonts::resolve(logFont(face, -100));
        return qAbs(rf->advanceWidth(QStringLiteral("i")) - rf->advanceWidth(QStringLiteral("M"))) < 0.01;
    };
    const QString arial = fonts::standInFamily(QStringLiteral("Arial"));
    const QString times = fonts::standInFamily(QStringLiteral("Times New Roman"));
    const QString courier = fonts::standInFamily(QStringLiteral("Courier New"));
    EXPECT_TRUE(fonts::isFamilyInstalled(arial));
    EXPECT_NE(arial, times);
    EXPECT_NE(arial, courier);
    EXPECT_FALSE(fixedPitch(QStringLiteral("Arial")));
    EXPECT_TRUE(fixedPitch(QStringLiteral("Courier New")));
    EXPECT_EQ(fonts::standInFamily(QStringLiteral("Tahoma")), fonts::standInFamily(QStringLiteral("MS Sans Serif")));
    EXPECT_FALSE(QFontDatabase::writingSystems(arial).isEmpty());
}

TEST(FontFamilies, UnknownFaceFollowsCharSetAndPitch)
{
    const QString unknown = QStringLiteral("No Such Face 123");
    EXPECT_FALSE(fonts::isFamilyInstalled(unknown));
    const QString chinese = fonts::standInFamily(unknown, gdi::CHINESEBIG5_CHARSET);
    EXPECT_TRUE(QFontDatabase::writingSystems(chinese).contains(QFontDatabase::TraditionalChinese)) << chinese.toStdString();
    EXPECT_EQ(fonts::standInFamily(unknown, gdi::ANSI_CHARSET, 0x31 /* fixed pitch, modern */),
              fonts::standInFamily(QStringLiteral("Courier New")));
    EXPECT_FALSE(fonts::standInFamily(unknown).isEmpty());
    EXPECT_FALSE(fonts::standInFamily(QString()).isEmpty());
    EXPECT_TRUE(fonts::standInFamily(QStringLiteral("某個楷書")).contains(QStringLiteral("Kai")));
}

TEST(FontHeights, NegativeIsTheEmPositiveIsTheCell)
{
    const auto em = fonts::resolve(logFont(kTwKai, -100));
    EXPECT_DOUBLE_EQ(em->emSize(), 100.0);
    const gdi::TextMetric &tm = em->textMetric();
    EXPECT_EQ(tm.height, tm.ascent + tm.descent);
    EXPECT_EQ(tm.internalLeading, tm.height - 100);
    EXPECT_GE(tm.height, 100) << "the cell is at least the em";

    const auto cell = fonts::resolve(logFont(kTwKai, tm.height));
    EXPECT_EQ(cell->textMetric().height, tm.height);
    EXPECT_NEAR(cell->emSize(), 100.0, 0.5) << "the same font asked by its cell height";
    EXPECT_EQ(cell->textMetric().ascent, tm.ascent);

    const auto small = fonts::resolve(logFont(QStringLiteral("DejaVu Sans"), 30));
    EXPECT_EQ(small->textMetric().height, 30);
    EXPECT_EQ(small->textMetric().ascent + small->textMetric().descent, 30);
    EXPECT_LT(small->emSize(), 30.0);

    const auto deflt = fonts::resolve(logFont(kTwKai, 0));
    EXPECT_DOUBLE_EQ(deflt->emSize(), fonts::kDefaultEmHeight);
    EXPECT_DOUBLE_EQ(fonts::emHeight(logFont(kTwKai, -21)), 21.0);
}

TEST(FontHeights, AscentAndDescentAreTheWindowsMetricsOfTheFace)
{
    // DejaVu Sans: usWinAscent 1901, usWinDescent 483 at 2048 units per em.
    const auto rf = fonts::resolve(logFont(QStringLiteral("DejaVu Sans"), -2048));
    ASSERT_EQ(rf->family(), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(rf->faceMetrics().unitsPerEm, 2048);
    EXPECT_EQ(rf->textMetric().ascent, rf->faceMetrics().winAscent);
    EXPECT_EQ(rf->textMetric().descent, rf->faceMetrics().winDescent);
    EXPECT_GT(rf->faceMetrics().winAscent, rf->faceMetrics().typoAscender) << "win metrics, not typographic";
}

TEST(FontLayout, AdvancesScaleLinearlyWithTheEm)
{
    const QString text = QStringLiteral("Hamburgefonstiv 0123 國字");
    for (const QString face : {QStringLiteral("DejaVu Sans"), kTwKai}) {
        const qreal w10 = fonts::resolve(logFont(face, -10))->advanceWidth(text);
        const qreal w13 = fonts::resolve(logFont(face, -13))->advanceWidth(text);
        const qreal w1000 = fonts::resolve(logFont(face, -1000))->advanceWidth(text);
        EXPECT_GT(w10, 0);
        EXPECT_NEAR(w1000 / w10, 100.0, 1e-6) << face.toStdString();
        EXPECT_NEAR(w1000 / w13, 1000.0 / 13.0, 1e-6) << face.toStdString();
    }
}

TEST(FontLayout, AdvancesPerCodeUnitAndFallbackFaces)
{
    const auto rf = fonts::resolve(logFont(QStringLiteral("DejaVu Sans"), -40));
    // DejaVu Sans has no Chinese: the character comes from a Chinese face.
    const QString text = QStringLiteral("A國") + QString::fromUcs4(U"\U00020000");
    const fonts::TextLayout lay = rf->layout(text);
    ASSERT_EQ(lay.advances.size(), size_t(text.size()));
    EXPECT_GT(lay.advances[0], 0);
    EXPECT_NEAR(lay.advances[1], 40.0, 2.0) << "a full-width character is about one em";
    EXPECT_EQ(lay.advances[3], 0.0) << "the low half of a surrogate pair";
    qreal sum = 0;
    for (qreal a : lay.advances)
        sum += a;
    EXPECT_DOUBLE_EQ(sum, lay.width);
    ASSERT_GE(lay.runs.size(), 2u);
    EXPECT_EQ(lay.runs[0].rawFont.familyName(), QStringLiteral("DejaVu Sans"));
    EXPECT_NE(lay.runs[1].rawFont.familyName(), QStringLiteral("DejaVu Sans"));
    EXPECT_NE(lay.runs[1].glyphs[0], 0u) << "the fallback face has the glyph";
}

TEST(FontLayout, RightToLeftStartsAtTheRightEnd)
{
    const auto rf = fonts::resolve(logFont(QStringLiteral("DejaVu Sans"), -20));
    const fonts::TextLayout ltr = rf->layout(QStringLiteral("ab"));
    const fonts::TextLayout rtl = rf->layout(QStringLiteral("ab"), true);
    ASSERT_EQ(rtl.runs.size(), 1u);
    EXPECT_DOUBLE_EQ(ltr.runs[0].positions[0].x(), 0);
    EXPECT_DOUBLE_EQ(rtl.runs[0].positions[0].x(), rtl.width - rtl.advances[0]);
    EXPECT_DOUBLE_EQ(rtl.runs[0].positions[1].x(), 0);
}

TEST(FontLayout, LogicalWidthNarrowsOrWidensTheText)
{
    gdi::LogFont f = logFont(QStringLiteral("DejaVu Sans"), -40);
    const auto plain = fonts::resolve(f);
    f.width = plain->textMetric().aveCharWidth * 2;
    const auto wide = fonts::resolve(f);
    EXPECT_NEAR(wide->horizontalScale(), 2.0, 0.1);
    EXPECT_NEAR(wide->advanceWidth(QStringLiteral("abc")),
                wide->horizontalScale() * plain->advanceWidth(QStringLiteral("abc")), 1e-9);
    EXPECT_EQ(wide->textMetric().height, plain->textMetric().height);
}

TEST(FontWidgets, QFontForAWidgetUsesTheStandInAtDeviceSize)
{
    gdi::LogFont f = logFont(QStringLiteral("標楷體"), -64);
    f.weight = gdi::FW_BOLD;
    f.underline = 1;
    const QFont q = fonts::toQFont(f, 1.5);
    EXPECT_EQ(q.pixelSize(), 96);
    EXPECT_EQ(q.weight(), QFont::Bold);
    EXPECT_TRUE(q.underline());
    EXPECT_EQ(QFontInfo(q).family(), kTwKai);
    // Chinese text in a widget font still finds its glyphs.
    EXPECT_NE(q.styleStrategy() & QFont::NoFontMerging, QFont::NoFontMerging);
}

TEST(FontCache, SameLogicalFontIsResolvedOnce)
{
    const auto a = fonts::resolve(logFont(kTwKai, -32));
    const auto b = fonts::resolve(logFont(kTwKai, -32));
    EXPECT_EQ(a.get(), b.get());
    gdi::LogFont bold = logFont(kTwKai, -32);
    bold.weight = gdi::FW_BOLD;
    EXPECT_NE(fonts::resolve(bold).get(), a.get());
}

TEST(FontDocument, ProgramTablesAndMetrics)
{
    const gdi::LogFont kai = logFont(QStringLiteral("華康標楷筆順體"), -12);
    const QByteArray program = fonts::fontProgram(kai);
    ASSERT_GT(program.size(), 1000);
    // A self-contained font file that loads as the same face.
    const QRawFont loaded(program, 20);
    ASSERT_TRUE(loaded.isValid());
    EXPECT_EQ(loaded.familyName(), kTwKai);

    const QByteArray os2 = fonts::fontTable(kai, "OS/2");
    const QByteArray head = fonts::fontTable(kai, "head");
    ASSERT_GE(os2.size(), 78);
    ASSERT_GE(head.size(), 54);
    EXPECT_EQ(quint32(quint8(head[12])) << 24 | quint32(quint8(head[13])) << 16 | quint32(quint8(head[14])) << 8 |
                  quint8(head[15]),
              0x5F0F3CF5u)
        << "the head table's magic number";
    EXPECT_TRUE(fonts::fontTable(kai, "zzzz").isEmpty());
    EXPECT_TRUE(fonts::fontTable(kai, "toolong").isEmpty());

    const fonts::OutlineMetrics om = fonts::outlineMetrics(kai);
    EXPECT_GT(om.ascent, 500);
    EXPECT_LT(om.descent, 0);
    EXPECT_GT(om.xMax, om.xMin);
    EXPECT_GT(om.unitsPerEm, 0);

    const std::vector<int> w =
        fonts::advanceWidths(logFont(QStringLiteral("DejaVu Sans Mono"), -10), {U'i', U'M', U' ', U'\U0010FFFD'});
    ASSERT_EQ(w.size(), 4u);
    EXPECT_EQ(w[0], w[1]);
    EXPECT_NEAR(w[0], 1233 * 1024 / 2048, 1) << "DejaVu Sans Mono advances are 1233 units of 2048";
    EXPECT_EQ(w[3], 0) << "a character the face lacks";
}

TEST(FontDocument, FaceOutOfACollection)
{
    // Noto's Chinese faces come as a collection.
    const QString path = QStringLiteral("/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc");
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        GTEST_SKIP() << "no font collection on this machine";
    const QByteArray ttc = f.readAll();
    const QByteArray face = fonts::extractFace(ttc, 1);
    ASSERT_FALSE(face.isEmpty());
    EXPECT_NE(face.left(4), QByteArray("ttcf"));
    const QRawFont raw(face, 20);
    ASSERT_TRUE(raw.isValid());
    EXPECT_TRUE(raw.familyName().startsWith(QStringLiteral("Noto Sans CJK")));
    EXPECT_TRUE(raw.supportsCharacter(U'國'));

    // Damaged input gives nothing, never a read past the end.
    EXPECT_TRUE(fonts::extractFace(ttc, 1000).isEmpty());
    EXPECT_TRUE(fonts::extractFace(ttc.left(200), 1).isEmpty());
    EXPECT_TRUE(fonts::extractFace(QByteArray("ttcf\0\1\0\0\xff\xff\xff\xff", 12), 0).isEmpty());
    EXPECT_TRUE(fonts::extractFace(QByteArray(40, 'x'), 0).isEmpty());
    EXPECT_TRUE(fonts::extractFace(face, 1).isEmpty()) << "a plain font has only face 0";
    EXPECT_EQ(fonts::extractFace(face, 0), face);
    QByteArray cut = face;
    cut.truncate(face.size() / 2);
    EXPECT_TRUE(fonts::extractFace(cut, 0).isEmpty()) << "a table past the end of the file";
}

TEST(FontScreen, ReferenceSurfaceIs96Dpi)
{
    EXPECT_EQ(units::screenPixelsPerInch(), 96);
    EXPECT_GE(screenColorDepth(), 1);
}
