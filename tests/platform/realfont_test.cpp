// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A face the program draws itself draws its family only while no real font
// of that family is installed, and an installed symbol face draws its own
// glyphs. The fonts are made for the test (fontTools: the Kai stand-in's
// glyphs under the family's name) and registered for this process only; the
// synthesised face fills each character's cell.
#include "emf_support.h"
#include "painter_support.h"
#include "platform/fonts.h"
#include "platform/paintercanvas.h"
#include "platform/synthesizedface.h"

#include <QFile>
#include <QFontDatabase>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace paintersupport;

namespace {

const QString kText = QStringLiteral("變學校從口入病");

gdi::LogFont face(const QString &family, qint32 height)
{
    gdi::LogFont f;
    f.faceName = family;
    f.height = height;
    f.charSet = gdi::CHINESEBIG5_CHARSET;
    return f;
}

QImage draw(const gdi::LogFont &font)
{
    QImage img = whiteImage(900, 160);
    PainterCanvas c(&img);
    c.setFont(font);
    c.setTextColor(gdi::rgb(0x9D, 0x9D, 0x9D));
    c.setBkMode(gdi::TRANSPARENT);
    c.textOut(10, 10, kText);
    return img;
}

// A font file of `family` holding TW-Kai's glyphs of kText; empty when it
// could not be made (the test fails with the reason).
QString makeFont(const QTemporaryDir &dir, const QString &family, QString *why)
{
    const QString python = QStringLiteral(TOVREL_FONTTOOLS_PYTHON);
    if (python.isEmpty()) {
        *why = QStringLiteral("no python3 with fontTools (python3-fonttools, scripts/install-deps)");
        return {};
    }
    const QByteArray source = fonts::fontProgram(face(QStringLiteral("TW-Kai"), -100));
    if (source.isEmpty()) {
        *why = QStringLiteral("TW-Kai's font file cannot be read");
        return {};
    }
    const QString src = dir.filePath(QStringLiteral("source.ttf"));
    QFile f(src);
    if (!f.open(QIODevice::WriteOnly) || f.write(source) != source.size()) {
        *why = QStringLiteral("cannot write %1").arg(src);
        return {};
    }
    f.close();
    const QString out = dir.filePath(family + QStringLiteral(".ttf"));
    QProcess p;
    p.start(python, {QStringLiteral(TOVREL_TEST_DIR "/make_named_font.py"), src, out, family, kText});
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        *why = QStringLiteral("make_named_font.py failed: ") + QString::fromUtf8(p.readAllStandardError());
        return {};
    }
    return out;
}

// Installs a font for the life of the object (this process only).
class InstalledFont {
public:
    explicit InstalledFont(const QString &file) : m_id(QFontDatabase::addApplicationFont(file))
    {
        fonts::refreshFamilies();
    }
    ~InstalledFont()
    {
        if (m_id >= 0)
            QFontDatabase::removeApplicationFont(m_id);
        fonts::refreshFamilies();
    }
    QStringList families() const { return QFontDatabase::applicationFontFamilies(m_id); }

private:
    int m_id;
};

} // namespace

// Fills the character's cell.
class BoxFace : public fonts::SynthesizedFace {
public:
    fonts::SynthesizedGlyph glyph(const fonts::GlyphRequest &r) const override
    {
        fonts::SynthesizedGlyph g;
        g.kind = fonts::SynthesizedGlyph::Kind::Shapes;
        auto box = std::make_shared<QPainterPath>();
        box->addRect(QRectF(0, -r.ascent, r.advance, r.ascent + r.descent));
        g.shapes.push_back({box, r.ink, 0, 0, 0, nullptr});
        g.identity = box;
        g.unitsPerEm = r.em;
        return g;
    }
};

TEST(RealWorksheetFonts, AnInstalledFontOfTheFamilyIsUsedAndNothingIsSynthesised)
{
    QTemporaryDir dir;
    const QImage kai = draw(face(QStringLiteral("TW-Kai"), -100));
    for (const QString family : {QStringLiteral("華康標楷筆順體"), QStringLiteral("華康標楷虛線體")}) {
        SCOPED_TRACE(family.toStdString());
        const gdi::LogFont lf = face(family, -100);
        // Without a registered face the stand-in draws it.
        ASSERT_EQ(fonts::resolve(lf)->synthesizedFace(), nullptr);
        EXPECT_EQ(draw(lf), kai);
        // Registered and not installed: the program's face draws.
        const auto box = std::make_shared<BoxFace>();
        fonts::registerSynthesizedFace(family, box);
        ASSERT_EQ(fonts::resolve(lf)->synthesizedFace(), box.get());
        const QImage synthesised = draw(lf);
        EXPECT_NE(synthesised, kai);

        QString why;
        const QString file = makeFont(dir, family, &why);
        ASSERT_FALSE(file.isEmpty()) << why.toStdString();
        {
            InstalledFont installed(file);
            ASSERT_TRUE(installed.families().contains(family)) << installed.families().join(u',').toStdString();
            EXPECT_TRUE(fonts::isFamilyInstalled(family));
            const auto rf = fonts::resolve(lf);
            EXPECT_EQ(rf->synthesizedFace(), nullptr);
            EXPECT_EQ(rf->family(), family);
            EXPECT_EQ(rf->rawFont().familyName(), family);
            // The real font's own glyphs: the renamed TW-Kai draws as TW-Kai.
            EXPECT_EQ(draw(lf), kai);
        }
        // Removed again: synthesised again.
        EXPECT_EQ(fonts::resolve(lf)->synthesizedFace(), box.get());
        EXPECT_EQ(draw(lf), synthesised);
        fonts::registerSynthesizedFace(family, nullptr);
        EXPECT_EQ(fonts::resolve(lf)->synthesizedFace(), nullptr);
    }
}

TEST(RealSymbolFonts, AnInstalledSymbolFaceDrawsItsCodesFromItsPrivateUseRange)
{
    // A symbol face of its own (made here: DejaVu Sans's "≠≤α" reachable
    // only as U+F0B9, U+F0A3 and U+F061): the codes B9, A3 and 61 of text
    // in it draw those glyphs, as written and in the private-use form,
    // from a metafile at 96 and at 600 dpi.
    const QString python = QStringLiteral(TOVREL_FONTTOOLS_PYTHON);
    ASSERT_FALSE(python.isEmpty()) << "no python3 with fontTools (python3-fonttools, scripts/install-deps)";
    gdi::LogFont dejavu;
    dejavu.faceName = QStringLiteral("DejaVu Sans");
    dejavu.height = -40;
    const QByteArray source = fonts::fontProgram(dejavu);
    ASSERT_FALSE(source.isEmpty());
    QTemporaryDir dir;
    const QString src = dir.filePath(QStringLiteral("source.ttf")), out = dir.filePath(QStringLiteral("symbol.ttf"));
    {
        QFile f(src);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(source);
    }
    const QString family = QStringLiteral("Tovrel Test Symbol");
    QProcess p;
    p.start(python, {QStringLiteral(TOVREL_TEST_DIR "/make_symbol_font.py"), src, out, family,
                     QStringLiteral("B9=2260"), QStringLiteral("A3=2264"), QStringLiteral("61=3B1")});
    ASSERT_TRUE(p.waitForFinished(120000) && p.exitCode() == 0) << p.readAllStandardError().toStdString();
    InstalledFont installed(out);
    ASSERT_TRUE(installed.families().contains(family)) << installed.families().join(u',').toStdString();

    gdi::LogFont symbol = dejavu;
    symbol.faceName = family;
    symbol.charSet = gdi::SYMBOL_CHARSET;
    auto picture = [](const gdi::LogFont &f, const QString &text, int dpi) {
        emf::EMR_EXTCREATEFONTINDIRECTW font;
        font.index = 1;
        font.font.font = f;
        emf::EMR_EXTTEXTOUTW t;
        t.text.reference = {4, 20};
        t.text.chars = QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
        return emfsupport::renderAt(
            emfsupport::metafile({font, emf::EMR_SELECTOBJECT{1}, emf::EMR_SETBKMODE{gdi::TRANSPARENT}, t}), dpi);
    };
    for (int dpi : {96, 600}) {
        SCOPED_TRACE(dpi);
        const QImage expected = picture(dejavu, QStringLiteral("≠≤α"), dpi);
        ASSERT_FALSE(inkBounds(expected).isEmpty());
        EXPECT_EQ(emfsupport::differingPixels(picture(symbol, QString::fromLatin1("\xb9\xa3" "a"), dpi), expected, 0), 0);
        EXPECT_EQ(emfsupport::differingPixels(picture(symbol, QStringLiteral("\uf0b9\uf0a3\uf061"), dpi), expected, 0),
                  0);
    }
}
