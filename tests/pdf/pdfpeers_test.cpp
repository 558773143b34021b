// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What others make of our documents: qpdf checks their structure, Poppler
// and MuPDF draw them without a complaint, qpdf, MuPDF and Ghostscript
// decode our LZW data to the bytes we gave, and a worksheet written by
// tovrel-sheet keeps its Chinese text and looks like its recorded page.
#include "pdfdocs.h"
#include "testsupport.h"

#include "pdf/pdfdocumentfilter.h"
#include "printer/exportpicture.h"
#include "printer/lzw.h"
#include "report/rpfont.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QImage>
#include <QRawFont>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

using pdfdocs::run;

namespace {

const QString kSheet = QStringLiteral(TOVREL_BINARY_DIR "/sheet/tovrel-sheet");

// A picture control handing the filter a fixed bitmap.
class Picture : public QWidget, public RpExportPicture {
public:
    explicit Picture(QImage image) : m_image(std::move(image)) {}
    ExportPictureRec exportPicture(double, double) const override
    {
        return {m_image, 0, 0, double(m_image.width()), double(m_image.height())};
    }

private:
    QImage m_image;
};

QImage quadrants()
{
    QImage img(40, 40, QImage::Format_RGB32);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            img.setPixel(x, y, x < 20 ? (y < 20 ? qRgb(255, 0, 0) : qRgb(0, 0, 255)) : (y < 20 ? qRgb(0, 160, 0) : qRgb(250, 250, 250)));
    return img;
}

bool write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// qpdf finds nothing wrong, pdftoppm and mutool draw it saying nothing.
void expectPeersAccept(const QString &pdf, const QTemporaryDir &dir)
{
    const auto check = run(QStringLiteral("qpdf"), {"--check", pdf});
    EXPECT_EQ(check.code, 0) << check.out.constData() << check.err.constData();
    const auto poppler = run(QStringLiteral("pdftoppm"), {"-r", "30", "-png", pdf, dir.filePath("poppler")});
    EXPECT_EQ(poppler.code, 0);
    EXPECT_EQ(poppler.err, QByteArray()) << poppler.err.constData();
    const auto mupdf = run(QStringLiteral("mutool"), {"draw", "-r", "30", "-o", dir.filePath("mupdf-%d.png"), pdf});
    EXPECT_EQ(mupdf.code, 0);
    EXPECT_EQ(pdfdocs::complaints(mupdf.err), QByteArray()) << mupdf.err.constData();
}

// A font file of PostScript outlines holding the glyphs of `text`, under a
// family of its own made from the installed Nimbus Sans (the font maker of
// the platform tests renames it); empty with the reason when it cannot be.
QString makeCffFace(const QTemporaryDir &dir, const QString &family, const QString &text, QString *why)
{
    const QString python = QStringLiteral(TOVREL_FONTTOOLS_PYTHON);
    if (python.isEmpty()) {
        *why = QStringLiteral("no python3 with fontTools (python3-fonttools, scripts/install-deps)");
        return {};
    }
    const auto list = run(QStringLiteral("fc-list"), {":family=Nimbus Sans:style=Regular:fontformat=CFF", "file"});
    const QString source = QString::fromUtf8(list.out).section(u'\n', 0, 0).section(u':', 0, 0).trimmed();
    if (!source.endsWith(QLatin1String(".otf"))) {
        *why = QStringLiteral("Nimbus Sans in PostScript outlines (fonts-urw-base35) is not installed");
        return {};
    }
    const QString out = dir.filePath(QStringLiteral("cff.otf"));
    const auto made = run(python, {TOVREL_SOURCE_DIR "/tests/platform/make_named_font.py", source, out, family, text});
    if (made.code != 0) {
        *why = QStringLiteral("make_named_font.py failed: ") + QString::fromUtf8(made.err);
        return {};
    }
    return out;
}

// One line of `text` in 48-point `family`.
QByteArray textDocument(const QString &family, const QString &text, FontHandling handling)
{
    RpPDFDocumentFilter f;
    f.setFontHandling(handling);
    RpFont font;
    font.name = family;
    font.setSize(48);
    font.color = rpcolor::clBlack;
    f.textOut(100, 300, font, 0, Alignment::taLeftJustify, text);
    f.finish();
    return f.documentBytes();
}

QImage popplerPage(const QString &pdf, const QTemporaryDir &dir)
{
    const QString base = dir.filePath(QStringLiteral("poppler-page"));
    if (run(QStringLiteral("pdftoppm"), {"-r", "50", "-png", "-singlefile", pdf, base}).code != 0)
        return {};
    return QImage(base + QStringLiteral(".png"));
}

QImage mupdfPage(const QString &pdf, const QTemporaryDir &dir)
{
    const QString png = dir.filePath(QStringLiteral("mupdf-page.png"));
    if (run(QStringLiteral("mutool"), {"draw", "-r", "50", "-o", png, pdf}).code != 0)
        return {};
    return QImage(png);
}

bool dark(const QImage &img, int x, int y) { return qGray(img.pixel(x, y)) < 128; }

int ink(const QImage &img)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += dark(img, x, y);
    return n;
}

// Dark pixels of either image with no dark pixel within a pixel of them in
// the other: the renderers smooth edges their own ways, glyphs that differ
// leave ink apart. Every pixel when the sizes differ.
int inkApart(const QImage &a, const QImage &b)
{
    if (a.size() != b.size() || a.isNull())
        return a.width() * a.height() + b.width() * b.height();
    auto near = [](const QImage &img, int x, int y) {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (img.rect().contains(x + dx, y + dy) && dark(img, x + dx, y + dy))
                    return true;
        return false;
    };
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            n += (dark(a, x, y) && !near(b, x, y)) + (dark(b, x, y) && !near(a, x, y));
    return n;
}

} // namespace

TEST(PdfPeers, DocumentsOfEveryKindOfItemAreAccepted)
{
    QTemporaryDir dir;
    for (bool compressed : {true, false}) {
        for (FontHandling fh : {FontHandling::fhSubstitute, FontHandling::fhNoEmbedding, FontHandling::fhAutoEmbed}) {
            RpPDFDocumentFilter f;
            f.setCompressionOn(compressed);
            f.setFontHandling(fh);
            PDFItemRec t;
            t.itemType = IT_TEXT;
            t.xPos = 50;
            t.yPos = 60;
            t.fontName = QStringLiteral("Arial");
            t.fontSize = 12;
            t.text = QStringLiteral("Caf\u00e9 (cr\u00e8me) \u20ac 3\\4");
            f.addItem(t);
            for (PDFShapeType s : {S_BOX, S_CIRCLE, S_HLINE, S_VLINE, S_TOPBOTTOM, S_LEFTRIGHT, S_RIGHTDIAG, S_LEFTDIAG}) {
                PDFItemRec g;
                g.itemType = IT_GRAPHIC;
                g.shape = s;
                g.xPos = 40 + 60 * int(s);
                g.yPos = 300;
                g.width = 50;
                g.height = 30;
                g.thickness = 1;
                g.filled = s == S_BOX;
                f.addItem(g);
            }
            Picture picture(quadrants());
            f.acceptGraphic(100, 600, &picture);
            f.newPage();
            f.newPage();
            f.finish();
            const QString pdf = dir.filePath(QStringLiteral("items-%1-%2.pdf").arg(compressed).arg(int(fh)));
            ASSERT_TRUE(write(pdf, f.documentBytes()));
            SCOPED_TRACE(pdf.toStdString());
            expectPeersAccept(pdf, dir);
            const auto text = run(QStringLiteral("pdftotext"), {pdf, "-"});
            EXPECT_TRUE(QString::fromUtf8(text.out).contains(QStringLiteral("Caf\u00e9 (cr\u00e8me) \u20ac 3\\4")))
                << text.out.constData();
        }
    }
}

// Text code page 1252 carries keeps its own font and bytes; Chinese text, in
// a Chinese face or mixed into a Latin line, goes through an embedded
// Unicode font and comes back out of the document as the same characters.
TEST(PdfPeers, ChineseTextGoesThroughAnEmbeddedUnicodeFontBesideLatinText)
{
    QTemporaryDir dir;
    RpPDFDocumentFilter f;
    f.setFontHandling(FontHandling::fhSubstitute);
    RpFont arial;
    arial.name = QStringLiteral("Arial");
    arial.setSize(12);
    arial.color = rpcolor::clBlack;
    RpFont kai = arial;
    kai.name = QStringLiteral("TW-Kai");
    f.textOut(100, 100, arial, 0, Alignment::taLeftJustify, QStringLiteral("Total (12)"));
    f.textOut(100, 400, kai, 0, Alignment::taLeftJustify, QStringLiteral("\u59d3\u540d\uff1a\u738b\u5c0f\u660e"));
    f.textOut(100, 700, arial, 0, Alignment::taLeftJustify, QStringLiteral("Class: \u4e09\u5e74\u7532\u73ed"));
    f.finish();
    const QByteArray doc = f.documentBytes();
    const QByteArray content = pdfdocs::streamOf(doc, 5);
    EXPECT_TRUE(content.contains("/F00 12 Tf")) << content.constData();
    EXPECT_TRUE(content.contains("(Total \\(12\\)) Tj")) << content.constData();
    EXPECT_TRUE(content.contains("/U00 ")) << content.constData();
    EXPECT_FALSE(content.contains('?')) << content.constData();

    const QString pdf = dir.filePath(QStringLiteral("mixed.pdf"));
    ASSERT_TRUE(write(pdf, doc));
    expectPeersAccept(pdf, dir);
    const QString text = QString::fromUtf8(run(QStringLiteral("pdftotext"), {pdf, "-"}).out);
    EXPECT_TRUE(text.contains(QStringLiteral("Total (12)"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("\u59d3\u540d\uff1a\u738b\u5c0f\u660e"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("\u4e09\u5e74\u7532\u73ed"))) << text.toStdString();

    const QString fonts = QString::fromUtf8(run(QStringLiteral("pdffonts"), {pdf}).out);
    EXPECT_TRUE(fonts.contains(QStringLiteral("Helvetica"))) << fonts.toStdString();
    const QStringList unicode = fonts.split(u'\n').filter(QStringLiteral("CID TrueType"));
    ASSERT_FALSE(unicode.isEmpty()) << fonts.toStdString();
    for (const QString &row : unicode) {
        EXPECT_TRUE(row.contains(QStringLiteral("Identity-H"))) << row.toStdString();
        EXPECT_TRUE(row.simplified().contains(QStringLiteral("yes yes yes"))) << row.toStdString();
    }
}

// Faces of PostScript outlines, a CID-keyed CJK face and a name-keyed Latin
// face drawing Greek, and a Type 1 face (Nimbus Sans as Qt finds it, whose
// family is installed in PostScript outlines too) are embedded so that both
// readers draw their glyphs from the document and copy the same characters
// back out.
TEST(PdfPeers, FacesOfPostScriptOutlinesAreEmbeddedSoReadersDrawThem)
{
    QTemporaryDir dir;
    const QString greek = QStringLiteral("\u03a9\u03bc\u03ad\u03b3\u03b1 \u0100\u0101");
    QString why;
    const QString file = makeCffFace(dir, QStringLiteral("Tovrel CFF Sans"), greek, &why);
    ASSERT_FALSE(file.isEmpty()) << why.toStdString();
    const int id = QFontDatabase::addApplicationFont(file);
    ASSERT_GE(id, 0);
    const auto removeFont = qScopeGuard([id] { QFontDatabase::removeApplicationFont(id); });

    struct Case {
        QString family, text;
        bool cff;
    };
    const Case cases[] = {{QStringLiteral("Noto Sans CJK TC"), QStringLiteral("\u59d3\u540d\uff1a\u738b\u5c0f\u660e"), true},
                          {QStringLiteral("Tovrel CFF Sans"), greek, true},
                          {QStringLiteral("Nimbus Sans"), greek, false}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.family.toStdString());
        const QRawFont probe = QRawFont::fromFont(QFont(c.family));
        ASSERT_TRUE(probe.familyName().startsWith(c.family)) << probe.familyName().toStdString();
        EXPECT_EQ(probe.fontTable("CFF ").isEmpty(), !c.cff);
        const QString pdf = dir.filePath(c.family + QStringLiteral(".pdf"));
        ASSERT_TRUE(write(pdf, textDocument(c.family, c.text, FontHandling::fhSubstitute)));
        expectPeersAccept(pdf, dir);
        const QString text = QString::fromUtf8(run(QStringLiteral("pdftotext"), {pdf, "-"}).out);
        EXPECT_TRUE(text.contains(c.text)) << text.toStdString();
        const QString fonts = QString::fromUtf8(run(QStringLiteral("pdffonts"), {pdf}).out);
        const QStringList rows = fonts.split(u'\n').filter(QStringLiteral("Identity-H"));
        ASSERT_EQ(rows.size(), 1) << fonts.toStdString();
        EXPECT_TRUE(rows.first().simplified().contains(QStringLiteral("yes yes yes"))) << rows.first().toStdString();
        const QImage poppler = popplerPage(pdf, dir), mupdf = mupdfPage(pdf, dir);
        EXPECT_GT(ink(poppler), 200);
        EXPECT_LT(inkApart(poppler, mupdf), ink(poppler) / 50);
    }

    // Latin text embedded in its own font takes the family's file of tables
    // as well, where the Type 1 file alone has no program to give.
    const QString latin = dir.filePath(QStringLiteral("latin.pdf"));
    ASSERT_TRUE(write(latin, textDocument(QStringLiteral("Nimbus Sans"), QStringLiteral("Caf\u00e9 cr\u00e8me"),
                                          FontHandling::fhAutoEmbed)));
    expectPeersAccept(latin, dir);
    const QString fonts = QString::fromUtf8(run(QStringLiteral("pdffonts"), {latin}).out);
    EXPECT_TRUE(fonts.contains(QStringLiteral("Type 1C (OT)"))) << fonts.toStdString();
    EXPECT_TRUE(QString::fromUtf8(run(QStringLiteral("pdftotext"), {latin, "-"}).out).contains(QStringLiteral("Caf\u00e9 cr\u00e8me")));
}

// A Type 1 face whose family no file of tables holds has nothing a document
// can embed: its glyphs go in as their outlines, and look as the same
// glyphs do from an embedded font.
TEST(PdfPeers, AFaceWithNothingToEmbedIsWrittenAsItsOutlines)
{
    QTemporaryDir dir;
    const auto list = run(QStringLiteral("fc-list"), {":family=Nimbus Sans:style=Regular:fontformat=Type 1", "file"});
    const QString source = QString::fromUtf8(list.out).section(u'\n', 0, 0).section(u':', 0, 0).trimmed();
    QFile in(source);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly)) << "Nimbus Sans in Type 1 (fonts-urw-base35) is not installed";
    // The same glyphs under a family name of the same length.
    QByteArray type1 = in.readAll();
    type1.replace("Nimbus Sans", "Tovrel Type").replace("NimbusSans-", "TovrelType-");
    const QString file = dir.filePath(QStringLiteral("tovrel-type") + QFileInfo(source).suffix().prepend(u'.'));
    ASSERT_TRUE(write(file, type1));
    const int id = QFontDatabase::addApplicationFont(file);
    ASSERT_GE(id, 0);
    const auto removeFont = qScopeGuard([id] { QFontDatabase::removeApplicationFont(id); });
    ASSERT_TRUE(QRawFont::fromFont(QFont(QStringLiteral("Tovrel Type"))).familyName().startsWith(u"Tovrel Type"));

    const QString greek = QStringLiteral("\u03a9\u03bc\u03ad\u03b3\u03b1 \u0100\u0101");
    const QString outlines = dir.filePath(QStringLiteral("outlines.pdf")), embedded = dir.filePath(QStringLiteral("embedded.pdf"));
    const QByteArray doc = textDocument(QStringLiteral("Tovrel Type"), greek, FontHandling::fhSubstitute);
    ASSERT_TRUE(write(outlines, doc));
    ASSERT_TRUE(write(embedded, textDocument(QStringLiteral("Nimbus Sans"), greek, FontHandling::fhSubstitute)));
    expectPeersAccept(outlines, dir);
    const QByteArray content = pdfdocs::decodedStreamOf(doc, 5);
    EXPECT_FALSE(content.contains("Tj")) << content.constData();
    EXPECT_TRUE(QString::fromLatin1(content).contains(QRegularExpression(QStringLiteral("\\d c\\s")))) << content.constData();
    const QImage shapes = popplerPage(outlines, dir), glyphs = popplerPage(embedded, dir);
    EXPECT_GT(ink(shapes), 200);
    EXPECT_LT(inkApart(shapes, glyphs), ink(glyphs) / 50);
    EXPECT_LT(inkApart(shapes, mupdfPage(outlines, dir)), ink(shapes) / 50);
}

TEST(PdfPeers, PicturesLandWhereTheyArePlacedInTheirColours)
{
    QTemporaryDir dir;
    for (bool compressed : {true, false}) {
        RpPDFDocumentFilter f;
        f.setCompressionOn(compressed);
        Picture picture(quadrants());
        // 96 device pixels from each edge: an inch, 72 points.
        f.acceptGraphic(96, 96, &picture);
        f.finish();
        const QByteArray doc = f.documentBytes();
        EXPECT_TRUE(doc.contains(compressed ? "/Filter [/ASCII85Decode /LZWDecode]" : "/Filter [/ASCII85Decode]"));
        const QString pdf = dir.filePath(QStringLiteral("picture.pdf"));
        ASSERT_TRUE(write(pdf, doc));
        ASSERT_EQ(run(QStringLiteral("pdftoppm"), {"-r", "72", "-png", "-singlefile", pdf, dir.filePath("p")}).code, 0);
        const QImage page(dir.filePath(QStringLiteral("p.png")));
        ASSERT_FALSE(page.isNull());
        // The picture is 30 points a side from (72, 72).
        EXPECT_EQ(page.pixel(79, 79), qRgb(255, 0, 0));
        EXPECT_EQ(page.pixel(79, 94), qRgb(0, 0, 255));
        EXPECT_EQ(page.pixel(94, 79), qRgb(0, 160, 0));
        EXPECT_EQ(page.pixel(60, 60), qRgb(255, 255, 255));
        EXPECT_EQ(page.pixel(110, 110), qRgb(255, 255, 255));
    }
}

TEST(PdfPeers, LzwDataDecodesToTheSameBytesInQpdfMupdfAndGhostscript)
{
    QTemporaryDir dir;
    QByteArray data;
    for (int i = 0; i < 70000; ++i)
        data.append(char((i % 7 == 0) ? (i * 31) >> 3 : (i % 13) * 19));
    data.append(QByteArray(5000, 'z'));
    const QByteArray packed = lzw::compress(data);

    // A document whose one stream is the LZW data.
    QByteArray doc = "%PDF-1.3\n";
    QList<qsizetype> offsets;
    auto obj = [&](const QByteArray &body) {
        offsets << doc.size();
        doc += QByteArray::number(offsets.size()) + " 0 obj\n" + body + "\nendobj\n";
    };
    obj("<< /Type /Catalog /Pages 2 0 R >>");
    obj("<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
    obj("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 100 100] /Contents 4 0 R >>");
    obj("<< /Length " + QByteArray::number(packed.size()) + " /Filter /LZWDecode >>\nstream\n" + packed + "\nendstream");
    const qsizetype xref = doc.size();
    doc += "xref\n0 5\n0000000000 65535 f \n";
    for (qsizetype o : offsets)
        doc += QByteArray::number(o).rightJustified(10, '0') + " 00000 n \n";
    doc += "trailer\n<< /Size 5 /Root 1 0 R >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    const QString pdf = dir.filePath(QStringLiteral("lzw.pdf"));
    ASSERT_TRUE(write(pdf, doc));

    const auto qpdf = run(QStringLiteral("qpdf"), {"--show-object=4", "--filtered-stream-data", pdf});
    EXPECT_EQ(qpdf.code, 0) << qpdf.err.constData();
    EXPECT_TRUE(qpdf.out == data) << qpdf.out.size() << " bytes from qpdf";

    const auto mupdf = run(QStringLiteral("mutool"), {"show", "-b", pdf, "4"});
    EXPECT_EQ(mupdf.code, 0) << mupdf.err.constData();
    EXPECT_TRUE(mupdf.out == data) << mupdf.out.size() << " bytes from mutool";

    const QString in = dir.filePath(QStringLiteral("data.lzw")), out = dir.filePath(QStringLiteral("data.out"));
    ASSERT_TRUE(write(in, packed));
    const QString ps = QStringLiteral("/o (%1) (w) file def /i (%2) (r) file /LZWDecode filter def "
                                      "/b 4096 string def { i b readstring exch o exch writestring not { exit } if } loop "
                                      "o closefile quit")
                           .arg(out, in);
    const auto gs = run(QStringLiteral("gs"), {"-q", "-dNOSAFER", "-dBATCH", "-dNOPAUSE", "-dNODISPLAY", "-c", ps});
    EXPECT_EQ(gs.code, 0) << gs.err.constData();
    EXPECT_TRUE(testsupport::readFile(out) == data) << testsupport::readFile(out).size() << " bytes from Ghostscript";
}

namespace {

// The page of `pdf` (its first) drawn at 96 dpi in grey by Poppler, MuPDF or
// Ghostscript; a null image when the program failed.
QImage drawnAt96(const QString &renderer, const QString &pdf, const QTemporaryDir &dir)
{
    const QString png = dir.filePath(renderer + QStringLiteral(".png"));
    pdfdocs::Run r;
    if (renderer == QLatin1String("poppler"))
        r = run(QStringLiteral("pdftoppm"), {"-r", "96", "-png", "-singlefile", "-f", "1", "-l", "1", pdf, png.chopped(4)});
    else if (renderer == QLatin1String("mupdf"))
        r = run(QStringLiteral("mutool"), {"draw", "-r", "96", "-o", png, pdf, "1"});
    else
        r = run(QStringLiteral("gs"), {"-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-sDEVICE=pnggray", "-r96",
                                       "-dTextAlphaBits=4", "-dGraphicsAlphaBits=4", "-dFirstPage=1", "-dLastPage=1",
                                       "-sOutputFile=" + png, pdf});
    EXPECT_EQ(r.code, 0) << renderer.toStdString() << ": " << r.err.constData();
    EXPECT_EQ(pdfdocs::complaints(r.err), QByteArray()) << renderer.toStdString();
    return r.code == 0 ? QImage(png).convertToFormat(QImage::Format_Grayscale8) : QImage();
}

// Pixels of `a` with no pixel next to them in `b` close in grey: lines may
// fall a pixel apart (a PDF reader smooths a line that sits between two
// pixel rows). Over the part both cover: readers round the page's size
// their own ways.
int unmatched(const QImage &a, const QImage &b)
{
    const int w = std::min(a.width(), b.width()), h = std::min(a.height(), b.height());
    int n = 0;
    for (int y = 1; y + 1 < h; ++y)
        for (int x = 1; x + 1 < w; ++x) {
            const int v = a.constScanLine(y)[x];
            int best = 255;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    best = std::min(best, std::abs(v - b.constScanLine(y + dy)[x + dx]));
            n += best > 64;
        }
    return n;
}

// The glyphs of the synthesised faces' fonts in a document: the sum of
// their fonts' last codes.
int synthesisedGlyphs(const QByteArray &doc)
{
    int n = 0;
    for (qsizetype at = doc.indexOf("/Subtype /Type3\r\n"); at >= 0; at = doc.indexOf("/Subtype /Type3\r\n", at + 1)) {
        const qsizetype last = doc.indexOf("/LastChar ", at);
        n += doc.mid(last + 10, doc.indexOf("\r\n", last) - last - 10).toInt();
    }
    return n;
}

} // namespace

TEST(PdfPeers, AWorksheetKeepsItsChineseTextAndLooksLikeItsRecordedPage)
{
    ASSERT_TRUE(QFile::exists(kSheet));
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("w.pdf")), png = dir.filePath(QStringLiteral("w.png"));
    const auto made = run(kSheet, {QStringLiteral("永遠"), "-o", pdf});
    ASSERT_EQ(made.code, 0) << made.err.constData();
    ASSERT_EQ(run(kSheet, {QStringLiteral("永遠"), "-o", png}).code, 0);
    expectPeersAccept(pdf, dir);

    const QString text = QString::fromUtf8(run(QStringLiteral("pdftotext"), {pdf, "-"}).out);
    EXPECT_TRUE(text.contains(QStringLiteral("班別："))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("姓名：")));
    EXPECT_TRUE(text.contains(QStringLiteral("永遠")));

    // The Unicode font: embedded, a subset, with a ToUnicode map; the fonts
    // of the synthesised glyphs carry one too.
    const QString fonts = QString::fromUtf8(run(QStringLiteral("pdffonts"), {pdf}).out);
    const QStringList rows = fonts.split(u'\n').filter(QStringLiteral("CID TrueType"));
    ASSERT_FALSE(rows.isEmpty()) << fonts.toStdString();
    for (const QString &row : rows) {
        EXPECT_TRUE(row.contains(QStringLiteral("Identity-H"))) << row.toStdString();
        EXPECT_TRUE(row.simplified().contains(QStringLiteral("yes yes yes"))) << row.toStdString();
    }
    const QStringList type3 = fonts.split(u'\n').filter(QStringLiteral("Type 3"));
    ASSERT_FALSE(type3.isEmpty()) << fonts.toStdString();
    for (const QString &row : type3)
        EXPECT_TRUE(row.simplified().contains(QStringLiteral("yes no yes"))) << row.toStdString();

    // Drawn by Poppler, MuPDF and Ghostscript at the recorded page's
    // resolution, the page matches the one our player draws.
    const QImage mine = QImage(png).convertToFormat(QImage::Format_Grayscale8);
    ASSERT_FALSE(mine.isNull());
    int inked = 0;
    for (int y = 0; y < mine.height(); ++y)
        for (int x = 0; x < mine.width(); ++x)
            inked += mine.constScanLine(y)[x] < 200;
    EXPECT_GT(inked, 10000);
    const int area = mine.width() * mine.height();
    for (const QString &renderer : {QStringLiteral("poppler"), QStringLiteral("mupdf"), QStringLiteral("ghostscript")}) {
        SCOPED_TRACE(renderer.toStdString());
        const QImage theirs = drawnAt96(renderer, pdf, dir);
        ASSERT_FALSE(theirs.isNull());
        EXPECT_LE(std::abs(mine.width() - theirs.width()) + std::abs(mine.height() - theirs.height()), 2)
            << theirs.width() << " x " << theirs.height();
        const int missing = unmatched(mine, theirs), extra = unmatched(theirs, mine);
        EXPECT_LT(missing, area / 500) << missing << " of our pixels unmatched";
        EXPECT_LT(extra, area / 500) << extra << " of the reader's pixels unmatched";
    }
}

// A glyph of the synthesised faces goes into the document once however many
// cells and sheets show it: more sheets of the same characters add their
// pages and no glyph. Every reader takes the document and pdftotext gives
// each sheet's word back.
TEST(PdfPeers, EachSynthesisedGlyphIsWrittenOnceHoweverManyCellsShowIt)
{
    ASSERT_TRUE(QFile::exists(kSheet));
    QTemporaryDir dir;
    const QStringList few{QStringLiteral("永遠"), QStringLiteral("永")};
    const QStringList many{QStringLiteral("永遠"), QStringLiteral("永"), QStringLiteral("遠永"), QStringLiteral("永"),
                           QStringLiteral("永遠")};
    auto sheets = [&](const QStringList &words, const QString &name) {
        const QString list = dir.filePath(name + QStringLiteral(".txt")), pdf = dir.filePath(name + QStringLiteral(".pdf"));
        EXPECT_TRUE(write(list, words.join(u'\n').toUtf8()));
        const auto made = run(kSheet, {"--words", list, "-o", pdf});
        EXPECT_EQ(made.code, 0) << made.err.constData();
        return pdf;
    };
    const QString fewPdf = sheets(few, QStringLiteral("few")), manyPdf = sheets(many, QStringLiteral("many"));
    const QByteArray fewDoc = testsupport::readFile(fewPdf), manyDoc = testsupport::readFile(manyPdf);
    // Two characters in the stroke-order and the tracing face.
    EXPECT_GE(synthesisedGlyphs(fewDoc), 4);
    EXPECT_EQ(synthesisedGlyphs(manyDoc), synthesisedGlyphs(fewDoc));

    expectPeersAccept(manyPdf, dir);
    const auto gs = run(QStringLiteral("gs"), {"-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-sDEVICE=nullpage", manyPdf});
    EXPECT_EQ(gs.code, 0) << gs.err.constData();
    EXPECT_EQ(gs.err, QByteArray()) << gs.err.constData();
    const QStringList pages = QString::fromUtf8(run(QStringLiteral("pdftotext"), {manyPdf, "-"}).out).split(u'\f');
    ASSERT_GE(pages.size(), many.size());
    for (qsizetype i = 0; i < many.size(); ++i)
        EXPECT_TRUE(pages[i].contains(many[i])) << i << ": " << pages[i].toStdString();
}
