// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A face the program draws itself draws its family only while no real font
// of that family is installed. The font is made for the test: the Kai
// stand-in's glyphs under the family's name (fontTools), registered for this
// process only; the synthesised face fills each character's cell.
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
