// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Metafiles made by other programs: the well-formed ones play and draw, the
// damaged ones end in an error or a partial picture, never a crash.
#include "emf_support.h"
#include "painter_support.h"

#include "platform/fonts.h"
#include "platform/metafile.h"
#include "platform/metafilerecorder.h"
#include "platform/rperror.h"
#include "platform/symbolfonts.h"
#include "testsupport.h"

#include <QDir>
#include <gtest/gtest.h>

#include <set>

namespace {

QStringList corpus(const QString &folder)
{
    const QDir dir(testsupport::testdata(QStringLiteral("emf-corpus/") + folder));
    QStringList files;
    for (const QString &f : dir.entryList({QStringLiteral("*.emf")}, QDir::Files, QDir::Name))
        files << dir.filePath(f);
    return files;
}

// Files that draw nothing a canvas can show: no drawing records at all, only
// EMF+ records without the EMF fallback, or only glyph-index text.
const std::set<QString> kDrawsNothing = {QStringLiteral("test-030.emf"), QStringLiteral("test-038.emf"),
                                         QStringLiteral("test-185.emf")};

// Plays a file onto an image 200 pixels wide; returns the error, if any.
QString playFile(const QString &path, QImage *out)
{
    try {
        const Metafile mf = Metafile::fromBytes(testsupport::readFile(path));
        const int w = 200;
        const int h = std::clamp(int(qint64(w) * std::max(mf.height(), 1) / std::max(mf.width(), 1)), 1, 2000);
        *out = paintersupport::whiteImage(w, h);
        PainterCanvas canvas(out);
        mf.play(canvas, {0, 0, w, h});
        mf.textRecords();
    } catch (const RpError &e) {
        return e.message();
    }
    return {};
}

void expectAllPlay(const QString &folder)
{
    const QStringList files = corpus(folder);
    ASSERT_FALSE(files.isEmpty()) << "no corpus in " << folder.toStdString();
    for (const QString &path : files) {
        const QString name = QFileInfo(path).fileName();
        QImage img;
        const QString error = playFile(path, &img);
        EXPECT_TRUE(error.isEmpty()) << name.toStdString() << ": " << error.toStdString();
        if (!kDrawsNothing.count(name)) {
            EXPECT_FALSE(paintersupport::inkBounds(img).isEmpty()) << name.toStdString() << " drew nothing";
        }
    }
}

} // namespace

TEST(EmfCorpus, WellFormedFilesPlayAndDraw) { expectAllPlay(QStringLiteral("emf")); }

TEST(EmfCorpus, FurtherWellFormedFilesPlayAndDraw) { expectAllPlay(QStringLiteral("emf-ea")); }

TEST(EmfCorpus, DamagedFilesEndInAnErrorOrAPartialPicture)
{
    const QStringList files = corpus(QStringLiteral("emf-corrupted"));
    ASSERT_FALSE(files.isEmpty());
    int errors = 0;
    for (const QString &path : files) {
        QImage img;
        const QString error = playFile(path, &img);
        if (!error.isEmpty()) {
            ++errors;
            // The message names a record and where it stands.
            EXPECT_TRUE(error.contains(QStringLiteral("EMR_")) || error.startsWith(QStringLiteral("Not an enhanced")))
                << error.toStdString();
        }
    }
    EXPECT_GT(errors, 0);
}

TEST(EmfCorpus, EveryTruncationOfAFileIsHandled)
{
    // Cut a real file at many lengths: each cut is an error or a picture.
    const QByteArray bytes = testsupport::readFile(corpus(QStringLiteral("emf")).value(1));
    ASSERT_FALSE(bytes.isEmpty());
    int errors = 0;
    for (qsizetype len = 0; len < bytes.size(); len += std::max<qsizetype>(1, bytes.size() / 97)) {
        try {
            const Metafile mf = Metafile::fromBytes(bytes.left(len));
            QImage img = paintersupport::whiteImage(50, 50);
            PainterCanvas c(&img);
            mf.play(c, {0, 0, 50, 50});
        } catch (const RpError &) {
            ++errors;
        }
    }
    EXPECT_GT(errors, 90);
}

TEST(EmfCorpus, FuzzFindsPlayWithoutFault)
{
    // Inputs the fuzzer once broke the player with (see emf_regressions):
    // each plays to a picture or an error, at the reference size and on a
    // 600-dpi page, and gives the canvas its saved states back; recorded
    // again, it is a metafile that plays without error.
    const QDir dir(QStringLiteral(TOVREL_TEST_DIR "/emf_regressions"));
    const QStringList files = dir.entryList({QStringLiteral("*.emf")}, QDir::Files, QDir::Name);
    ASSERT_FALSE(files.isEmpty());
    for (const QString &name : files) {
        SCOPED_TRACE(name.toStdString());
        Metafile mf;
        try {
            mf = Metafile::fromBytes(testsupport::readFile(dir.filePath(name)));
        } catch (const RpError &) {
            continue;
        }
        for (int dpi : {96, 600}) {
            QImage img = paintersupport::whiteImage(64 * dpi / 96, 48 * dpi / 96);
            PainterCanvas c(&img, dpi);
            try {
                mf.play(c, {0, 0, img.width(), img.height()});
            } catch (const RpError &) {
            }
            EXPECT_EQ(c.saveDC(), 1) << dpi;
        }
        MetafileRecorder rec(64, 48);
        try {
            rec.stretchDrawMetafile({0, 0, 64, 48}, mf);
        } catch (const RpError &) {
        }
        QImage again = paintersupport::whiteImage(64, 48);
        PainterCanvas c(&again);
        EXPECT_NO_THROW(rec.finish().play(c, {0, 0, 64, 48}));
    }
}

namespace {

// A file made by another program, with some of its records changed, played
// as a page `pageWidth` pixels wide at `dpi`; only `part` of the page is
// kept (the whole page when it is empty).
QImage playPart(const QByteArray &bytes, int pageWidth, int dpi, QRect part = {})
{
    const Metafile mf = Metafile::fromBytes(bytes);
    const int pageHeight = int(std::lround(double(pageWidth) * mf.height() / std::max(mf.width(), 1)));
    if (part.isEmpty())
        part = QRect(0, 0, pageWidth, pageHeight);
    QImage img = paintersupport::whiteImage(part.width(), part.height());
    PainterCanvas c(&img, dpi);
    mf.play(c, {-part.x(), -part.y(), pageWidth - part.x(), pageHeight - part.y()});
    return img;
}

// Offsets of the records of `type`.
std::vector<quint32> recordsOf(const QByteArray &bytes, quint32 type)
{
    std::vector<quint32> out;
    emf::RecordScanner scanner{QByteArrayView(bytes)};
    emf::RecordRef ref;
    while (scanner.next(ref))
        if (ref.type == type)
            out.push_back(ref.offset);
    return out;
}

void put32(QByteArray &bytes, quint32 offset, quint32 value) { qToLittleEndian<quint32>(value, bytes.data() + offset); }
quint32 get32(const QByteArray &bytes, quint32 offset) { return qFromLittleEndian<quint32>(bytes.constData() + offset); }

// Where two pictures differ, grown by a margin and scaled.
QRect differenceBox(const QImage &a, const QImage &b, double scale)
{
    int l = a.width(), t = a.height(), r = -1, bt = -1;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y)) {
                l = std::min(l, x), r = std::max(r, x), t = std::min(t, y), bt = std::max(bt, y);
            }
    if (r < 0)
        return {};
    return QRect(QPoint(int((l - 2) * scale), int((t - 2) * scale)), QPoint(int((r + 3) * scale), int((bt + 3) * scale)));
}

constexpr int kPageWidth = 1123; // an A4 page across at 96 dpi

} // namespace

TEST(EmfCorpus, ForeignRasterOperationsCombineWithWhatIsOnThePage)
{
    // test-039 draws sixteen rectangles and two sets of sixteen lines, each
    // in its own binary raster operation, over what it drew before. With
    // those modes set to one mode M in turn, each pixel is M's result of the
    // colour it gets under R2_COPYPEN and the colour it has under R2_NOP,
    // where R2_BLACK and R2_WHITE tell that the figures cover it (and else
    // what R2_NOP leaves). At 96 dpi the figures lie half a pixel apart, and
    // where two cover a pixel the second combines with the first: there
    // only every second rectangle and every fourth line is drawn (the others
    // in R2_NOP).
    const QByteArray bytes = testsupport::readFile(testsupport::testdata(QStringLiteral("emf-corpus/emf/test-039.emf")));
    ASSERT_FALSE(bytes.isEmpty());
    std::vector<quint32> modes = recordsOf(bytes, emf::T_SETROP2);
    ASSERT_EQ(modes.size(), 49u);
    ASSERT_EQ(get32(bytes, modes.back() + 8), quint32(gdi::R2_COPYPEN)); // the file sets it back at the end
    modes.pop_back();
    bool apart = false; // every figure drawn
    auto allIn = [&](qint32 mode) {
        QByteArray b = bytes;
        for (size_t i = 0; i < modes.size(); ++i) {
            const bool drawn = !apart || (i < 16 ? i % 2 == 0 : (i - 16) % 4 == 0);
            put32(b, modes[i] + 8, drawn ? quint32(mode) : quint32(gdi::R2_NOP));
        }
        return b;
    };
    QRect part, closeUp; // the whole page at 96 dpi, the figures' part of it at 600
    for (int dpi : {96, 600}) {
        SCOPED_TRACE(dpi);
        apart = dpi == 96;
        const int width = int(std::lround(kPageWidth * dpi / 96.0));
        const QImage black = playPart(allIn(gdi::R2_BLACK), width, dpi, part);
        const QImage white = playPart(allIn(gdi::R2_WHITE), width, dpi, part);
        if (dpi == 96) {
            closeUp = differenceBox(black, white, 600.0 / 96);
            ASSERT_FALSE(closeUp.isEmpty());
        }
        const QImage copy = playPart(allIn(gdi::R2_COPYPEN), width, dpi, part);
        const QImage page = playPart(allIn(gdi::R2_NOP), width, dpi, part);
        qint64 covered = 0;
        for (int y = 0; y < black.height(); ++y)
            for (int x = 0; x < black.width(); ++x)
                covered += black.pixel(x, y) != white.pixel(x, y);
        EXPECT_GT(covered, 100);
        for (int mode = gdi::R2_BLACK; mode <= gdi::R2_WHITE; ++mode) {
            SCOPED_TRACE(mode);
            const QImage img = playPart(allIn(mode), width, dpi, part);
            qint64 wrong = 0;
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x) {
                    const QRgb d = page.pixel(x, y) & 0xffffff;
                    const QRgb p = copy.pixel(x, y) & 0xffffff;
                    const QRgb want = black.pixel(x, y) != white.pixel(x, y) ? gdi::rop2Color(mode, p, d) : d;
                    const QRgb got = img.pixel(x, y) & 0xffffff;
                    if (got != want && wrong++ == 0)
                        ADD_FAILURE() << "(" << x << ", " << y << ") is " << std::hex << got << ", not " << want;
                }
            EXPECT_EQ(wrong, 0);
        }
        part = closeUp;
    }
}

TEST(EmfCorpus, ForeignHatchStylesAndHatchedPensDrawAsDocumented)
{
    // test-039 fills two rows of rectangles with the twelve hatch styles (in
    // other text and background colours the second time) and strokes lines
    // with pens of those hatches. Styles 6 to 11 come out exactly as solid
    // brushes and pens of the brush's, the text's and the background's
    // colour at the time; the hatches 0 to 5 fill the strokes of their pens
    // with hatch lines (the file's background mode is transparent).
    const QByteArray bytes = testsupport::readFile(testsupport::testdata(QStringLiteral("emf-corpus/emf/test-039.emf")));
    ASSERT_FALSE(bytes.isEmpty());
    QByteArray solid = bytes, noHatches = bytes;
    gdi::ColorRef text = 0, bk = 0xffffff;
    int brushes = 0, pens = 0;
    std::vector<quint32> hatchedPens;
    emf::RecordScanner scanner{QByteArrayView(bytes)};
    emf::RecordRef ref;
    while (scanner.next(ref)) {
        const quint32 off = ref.offset;
        if (ref.type == emf::T_SETTEXTCOLOR)
            text = get32(bytes, off + 8);
        else if (ref.type == emf::T_SETBKCOLOR)
            bk = get32(bytes, off + 8);
        const bool brush = ref.type == emf::T_CREATEBRUSHINDIRECT && get32(bytes, off + 12) == gdi::BS_HATCHED;
        const bool pen = ref.type == emf::T_EXTCREATEPEN && get32(bytes, off + 36) == gdi::BS_HATCHED;
        if (!brush && !pen)
            continue;
        // The brush's style, colour and hatch, in the two records' places.
        const quint32 style = brush ? off + 12 : off + 36, color = style + 4, hatch = style + 8;
        const quint32 h = get32(bytes, hatch);
        if (pen && h <= gdi::HS_DIAGCROSS)
            hatchedPens.push_back(off);
        if (h < gdi::HS_SOLIDCLR || h > gdi::HS_DITHEREDBKCLR)
            continue;
        // Drawn after the colours read so far (the file selects each one
        // right after it creates it).
        put32(solid, style, gdi::BS_SOLID);
        put32(solid, color, h <= gdi::HS_DITHEREDCLR ? get32(bytes, color) : h <= gdi::HS_DITHEREDTEXTCLR ? text : bk);
        put32(noHatches, style, gdi::BS_NULL);
        ++(brush ? brushes : pens);
    }
    EXPECT_EQ(brushes, 12); // two rows of them
    EXPECT_EQ(pens, 6);
    QRect part; // the whole page at 96 dpi, the hatches' part of it at 600
    for (int dpi : {96, 600}) {
        SCOPED_TRACE(dpi);
        const int width = int(std::lround(kPageWidth * dpi / 96.0));
        const QImage original = playPart(bytes, width, dpi, part);
        EXPECT_EQ(emfsupport::differingPixels(original, playPart(solid, width, dpi, part), 0), 0);
        part = differenceBox(original, playPart(noHatches, width, dpi), 600.0 / 96);
        ASSERT_FALSE(part.isEmpty());
    }
    // Each hatched pen, made solid, covers a band; hatched, it leaves part of
    // that band as the page under it.
    ASSERT_GE(hatchedPens.size(), 6u);
    QByteArray solidPens = bytes;
    for (quint32 off : hatchedPens)
        put32(solidPens, off + 36, gdi::BS_SOLID);
    const QImage hatched = playPart(bytes, kPageWidth, 96), plain = playPart(solidPens, kPageWidth, 96);
    const gdi::ColorRef penColor = get32(bytes, hatchedPens[0] + 40);
    const QColor ink(gdi::redOf(penColor), gdi::greenOf(penColor), gdi::blueOf(penColor));
    const int solidInk = paintersupport::countColor(plain, ink), hatchInk = paintersupport::countColor(hatched, ink);
    EXPECT_GT(hatchInk, solidInk / 10);
    EXPECT_LT(hatchInk, solidInk * 2 / 3);
}

TEST(EmfCorpus, ForeignSymbolTextDrawsTheCharactersItsCodesStandFor)
{
    // test-109 writes an equation's "χ" and "=" as the Symbol codes U+F063
    // and U+F03D in a Symbol font, which is not installed here. Drawn, they
    // are exactly the same file with those texts written as the characters
    // (in the same font); without them the equation is blank there.
    const QByteArray bytes = testsupport::readFile(testsupport::testdata(QStringLiteral("emf-corpus/emf/test-109.emf")));
    ASSERT_FALSE(bytes.isEmpty());
    ASSERT_FALSE(fonts::isFamilyInstalled(QStringLiteral("Symbol")));
    const fonts::SymbolTable *table = fonts::symbolTable(QStringLiteral("Symbol"));
    ASSERT_TRUE(table);
    QByteArray unicode = bytes, blank = bytes;
    int texts = 0;
    for (quint32 off : recordsOf(bytes, emf::T_EXTTEXTOUTW)) {
        const quint32 n = get32(bytes, off + 44), at = off + get32(bytes, off + 48);
        bool codes = n > 0;
        for (quint32 i = 0; i < n; ++i)
            codes = codes && (qFromLittleEndian<quint16>(bytes.constData() + at + 2 * i) & 0xff00) == 0xf000;
        if (!codes)
            continue;
        for (quint32 i = 0; i < n; ++i) {
            const char32_t ch = fonts::symbolToUnicode(*table, qFromLittleEndian<quint16>(bytes.constData() + at + 2 * i));
            ASSERT_LT(ch, 0x10000u);
            qToLittleEndian<quint16>(quint16(ch), unicode.data() + at + 2 * i);
            qToLittleEndian<quint16>(u' ', blank.data() + at + 2 * i);
        }
        ++texts;
    }
    EXPECT_EQ(texts, 2);
    const int pageWidth = 960; // the frame's 253.9 mm at 96 dpi
    const QImage original = playPart(bytes, pageWidth, 96);
    const QImage blanked = playPart(blank, pageWidth, 96);
    ASSERT_FALSE(differenceBox(original, blanked, 1).isEmpty());
    EXPECT_EQ(emfsupport::differingPixels(original, playPart(unicode, pageWidth, 96), 0), 0);
    const QRect closeUp = differenceBox(original, blanked, 600.0 / 96);
    EXPECT_EQ(emfsupport::differingPixels(playPart(bytes, pageWidth * 600 / 96, 600, closeUp),
                                          playPart(unicode, pageWidth * 600 / 96, 600, closeUp), 0),
              0);
}
