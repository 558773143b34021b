// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The PDF document as the filter lays it out: objects and their numbers,
// the byte offsets of the cross-reference table, fonts, page content, and
// numbers that never follow the user's locale.
#include "pdfdocs.h"
#include "../printer/fakeprinter.h"

#include "pdf/ascii85.h"
#include "pdf/pdfdocumentfilter.h"
#include "platform/rperror.h"
#include "printer/rpprinter.h"
#include "report/customreport.h"
#include "report/rpshape.h"

#include "testsupport.h"

#include <QDir>
#include <QLocale>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <clocale>
#include <stdexcept>

using pdfdocs::lengthOf;
using pdfdocs::object;
using pdfdocs::streamOf;

namespace {

PDFItemRec textItem(const QString &text, const QString &font = QStringLiteral("Arial"), bool bold = false)
{
    PDFItemRec i;
    i.itemType = IT_TEXT;
    i.xPos = 20;
    i.yPos = 40;
    i.fontName = font;
    i.fontSize = 10;
    i.text = text;
    i.bold = bold;
    return i;
}

PDFItemRec graphic(PDFShapeType shape, double x, double y, double w, double h)
{
    PDFItemRec i;
    i.itemType = IT_GRAPHIC;
    i.shape = shape;
    i.xPos = x;
    i.yPos = y;
    i.width = w;
    i.height = h;
    i.thickness = 1;
    return i;
}

QByteArray finished(RpPDFDocumentFilter &f)
{
    f.finish();
    return f.documentBytes();
}

// Every cross-reference offset points at its "N 0 obj" line and startxref
// at "xref"; returns the number of objects.
int checkCrossReferences(const QByteArray &doc)
{
    const qsizetype startxref = doc.lastIndexOf("startxref\r\n");
    EXPECT_GT(startxref, 0);
    const qint64 xref = doc.mid(startxref + 11, doc.indexOf("\r\n", startxref + 11) - startxref - 11).toLongLong();
    EXPECT_TRUE(doc.mid(xref).startsWith("xref\r\n0 ")) << xref;
    const QList<QByteArray> lines = doc.mid(xref).split('\n');
    const int size = lines.value(1).trimmed().split(' ').value(1).toInt();
    EXPECT_EQ(lines.value(2), "0000000000 65535 f\r");
    for (int n = 1; n < size; ++n) {
        const QByteArray entry = lines.value(2 + n);
        EXPECT_EQ(entry.size(), 19) << entry.constData();
        const qint64 offset = entry.left(10).toLongLong();
        EXPECT_TRUE(doc.mid(offset).startsWith(QByteArray::number(n) + " 0 obj\r\n")) << "object " << n;
    }
    EXPECT_TRUE(doc.contains("/Size " + QByteArray::number(size) + "\r\n"));
    EXPECT_TRUE(doc.endsWith("%%EOF\r\n"));
    return size - 1;
}

} // namespace

TEST(PdfDocument, FinishWithoutItemsIsOneEmptyA4Page)
{
    RpPDFDocumentFilter f;
    const QByteArray doc = finished(f);
    EXPECT_TRUE(doc.startsWith("%PDF-1.3\r\n"));
    EXPECT_EQ(checkCrossReferences(doc), 7);
    EXPECT_TRUE(object(doc, 1).contains("/Type /Catalog\r\n/Pages 3 0 R\r\n/Outlines 2 0 R"));
    EXPECT_TRUE(object(doc, 3).contains("/Count 1\r\n/Kids [4 0 R]\r\n/MediaBox [0 0 595 842]"));
    EXPECT_TRUE(object(doc, 3).contains("/ProcSet 7 0 R"));
    EXPECT_TRUE(object(doc, 4).contains("/Contents 5 0 R\r\n/MediaBox [0 0 595 842]"));
    EXPECT_EQ(streamOf(doc, 5), "BT\r\nET\r\n");
    EXPECT_EQ(lengthOf(doc, 5), 8);
    EXPECT_TRUE(object(doc, 6).contains("/Producer (Tovrel PDF Export)"));
    EXPECT_TRUE(object(doc, 7).contains("[/PDF /Text]"));
    EXPECT_TRUE(doc.contains("/Root 1 0 R\r\n/Info 6 0 R"));
    EXPECT_TRUE(f.written());
    // One document a filter.
    f.finish();
    EXPECT_EQ(f.documentBytes(), doc);
}

TEST(PdfDocument, ObjectNumbersOfTwoPagesWithEachKindOfFont)
{
    struct Case {
        FontHandling handling;
        bool embedArial;
        int fontObjects;
    };
    for (const Case c : {Case{FontHandling::fhSubstitute, false, 1}, Case{FontHandling::fhNoEmbedding, false, 2},
                         Case{FontHandling::fhNoEmbedding, true, 4}}) {
        RpPDFDocumentFilter f;
        f.setFontHandling(c.handling);
        if (c.embedArial)
            f.addTTFont(QStringLiteral("Arial"));
        f.newPage(); // the first only notes that pages begin
        f.addItem(textItem(QStringLiteral("one")));
        f.newPage();
        f.addItem(textItem(QStringLiteral("two")));
        const QByteArray doc = finished(f);
        SCOPED_TRACE(c.fontObjects);
        EXPECT_EQ(f.pageCount(), 2);
        EXPECT_EQ(checkCrossReferences(doc), 7 + 2 + c.fontObjects);
        EXPECT_TRUE(object(doc, 3).contains("/Kids [4 0 R 6 0 R]"));
        EXPECT_TRUE(object(doc, 3).contains("/F00 8 0 R"));
        EXPECT_TRUE(object(doc, 6).contains("/Contents 7 0 R"));
        EXPECT_TRUE(streamOf(doc, 5).contains("(one) Tj"));
        EXPECT_TRUE(streamOf(doc, 7).contains("(two) Tj"));
        const QByteArray font = object(doc, 8);
        const int info = 8 + c.fontObjects;
        EXPECT_TRUE(object(doc, info).contains("/Producer")) << info;
        EXPECT_TRUE(doc.contains("/Info " + QByteArray::number(info) + " 0 R"));
        if (c.handling == FontHandling::fhSubstitute) {
            EXPECT_TRUE(font.contains("/Subtype /Type1\r\n/Name /F00\r\n/BaseFont /Helvetica\r\n"
                                      "/Encoding /WinAnsiEncoding")) << font.constData();
        } else {
            EXPECT_TRUE(font.contains("/Subtype /TrueType") || (c.embedArial && font.contains("/Subtype /Type1")))
                << font.constData();
            EXPECT_TRUE(font.contains("/BaseFont /Arial"));
            EXPECT_TRUE(font.contains("/FontDescriptor 9 0 R"));
            // Code page 1252: the differences begin at code 2; 65 is A.
            EXPECT_TRUE(font.contains("/Differences [ 2 "));
            const QByteArray d = font.mid(font.indexOf("/Differences [ 2 ") + 17);
            const QList<QByteArray> names = d.left(d.indexOf(']')).split('/');
            ASSERT_GE(names.size(), 255);
            EXPECT_EQ(names[65 - 2 + 1].trimmed(), "A");
            EXPECT_EQ(names[32 - 2 + 1].trimmed(), "space");
            // The program (TrueType or OpenType outlines, whichever the
            // machine has for Arial) with its length in object 11.
            EXPECT_EQ(QRegularExpression(QStringLiteral("/FontFile[23] 10 0 R"))
                          .match(QString::fromLatin1(object(doc, 9)))
                          .hasMatch(),
                      c.embedArial)
                << object(doc, 9).constData();
            if (c.embedArial) {
                EXPECT_TRUE(object(doc, 10).contains("/Length 11 0 R"));
                // A program of PostScript outlines needs version 1.6.
                EXPECT_EQ(doc.startsWith("%PDF-1.6\r\n"), object(doc, 9).contains("/FontFile3"));
                EXPECT_EQ(object(doc, 11).trimmed().split('\n').last().trimmed().toInt(),
                          streamOf(doc, 10).size() - 2);
            }
        }
    }
}

TEST(PdfDocument, StandardFontsAndTheFontMap)
{
    const QStringList map{QStringLiteral("Arial:Helvetica"), QStringLiteral("Times New Roman:Times"),
                          QStringLiteral("Courier New:Courier")};
    using pdffonts::FontKey;
    using pdffonts::standardFontName;
    EXPECT_EQ(standardFontName(FontKey::of("Arial", false, false, 0), map), "Helvetica");
    EXPECT_EQ(standardFontName(FontKey::of("Arial", true, true, 0), map), "Helvetica-BoldOblique");
    EXPECT_EQ(standardFontName(FontKey::of("Times New Roman", false, false, 0), map), "Times");
    EXPECT_EQ(standardFontName(FontKey::of("Times New Roman", true, false, 0), map), "Times-Bold");
    EXPECT_EQ(standardFontName(FontKey::of("Times New Roman", false, true, 0), map), "Times-Italic");
    EXPECT_EQ(standardFontName(FontKey::of("Courier New", true, false, 0), map), "Courier-Bold");
    EXPECT_EQ(standardFontName(FontKey::of("Garamond", false, false, 0), map), "Courier");

    RpPDFDocumentFilter f;
    f.addFontMap(QStringLiteral("  Garamond :  Times "));
    f.addFontMap(QStringLiteral("Arial:Courier")); // Arial keeps Helvetica: the first entry wins
    f.addFontMap(QStringLiteral("ARIAL:HELVETICA")); // the same entry: re-spelt in place
    EXPECT_EQ(f.substitutedFonts(),
              (QStringList{"ARIAL:HELVETICA", "Times New Roman:Times", "Courier New:Courier", "Garamond:Times",
                           "Arial:Courier"}));
    EXPECT_EQ(standardFontName(FontKey::of("Garamond", true, false, 0), f.substitutedFonts()), "Times-Bold");
    EXPECT_EQ(standardFontName(FontKey::of("Arial", false, true, 0), f.substitutedFonts()), "Helvetica-Oblique");
}

TEST(PdfDocument, CustomWidths)
{
    auto numbers = [](int n) {
        QStringList l;
        for (int i = 0; i < n; ++i)
            l << QString::number(500 + i);
        return l.join(u' ');
    };
    {
        RpPDFDocumentFilter f;
        f.addCustomWidths(QStringLiteral("Arial"), numbers(255));
        f.addItem(textItem(QStringLiteral("x")));
        try {
            f.finish();
            FAIL() << "255 widths were taken";
        } catch (const RpError &e) {
            EXPECT_EQ(e.kind(), RpErrorKind::BadArgument);
            EXPECT_STREQ(e.what(), "Not enough Custom widths (255 < 256) for font \"Arial\t\t0\tArial\"  ");
        }
    }
    RpPDFDocumentFilter f;
    f.addCustomWidths(QStringLiteral("Arial"), numbers(300));
    f.addItem(textItem(QStringLiteral("x")));
    const QByteArray doc = finished(f);
    const QByteArray font = object(doc, 6);
    EXPECT_TRUE(font.contains("/Widths [ \r\n500 501 502 ")) << font.left(300).constData();
    EXPECT_TRUE(font.contains(" 754 755  ]")); // the first 256
    EXPECT_FALSE(font.contains(" 756 "));
}

TEST(PdfDocument, TextEscapedInCodePage1252WithAFontPerStyle)
{
    RpPDFDocumentFilter f;
    f.setFontHandling(FontHandling::fhSubstitute);
    f.addItem(textItem(QStringLiteral("a(b)c\\d")));
    f.addItem(textItem(QStringLiteral("caf\u00e9 \u20ac5")));
    f.addItem(textItem(QStringLiteral("bold"), QStringLiteral("Arial"), true));
    PDFItemRec red = textItem(QStringLiteral("red"), QStringLiteral("Times New Roman"));
    red.fillColor = RGBColor{255, 0, 0};
    red.xPos = 100.4;
    red.yPos = 200.6;
    f.addItem(red);
    const QByteArray doc = finished(f);
    const QByteArray content = streamOf(doc, 5);
    EXPECT_TRUE(content.contains("/F00 10 Tf\r\n 1 0 0 1 20 802 Tm (a\\(b\\)c\\\\d) Tj\r\n")) << content.constData();
    EXPECT_TRUE(content.contains("/F00 10 Tf\r\n 1 0 0 1 20 802 Tm (caf\xE9 \x80" "5) Tj"));
    EXPECT_TRUE(content.contains("/F01 10 Tf\r\n 1 0 0 1 20 802 Tm (bold) Tj"));
    EXPECT_TRUE(content.contains("1.00 0.00 0.00 rg\r\n/F02 10 Tf\r\n 1 0 0 1 100 641 Tm (red) Tj"));
    EXPECT_EQ(lengthOf(doc, 5), streamOf(doc, 5).size());
    EXPECT_TRUE(object(doc, 7).contains("/BaseFont /Helvetica-Bold"));
    EXPECT_TRUE(object(doc, 8).contains("/BaseFont /Times\r\n"));
}

TEST(PdfDocument, RightToLeftTextIsReversed)
{
    RpPDFDocumentFilter f;
    f.setFontHandling(FontHandling::fhSubstitute);
    f.setBiDiMode(BiDiMode::bdRightToLeft);
    f.addItem(textItem(QStringLiteral("abc")));
    f.addItem(textItem(QStringLiteral("xyz")), false);
    const QByteArray content = streamOf(finished(f), 5);
    EXPECT_TRUE(content.contains("(cba) Tj"));
    EXPECT_TRUE(content.contains("(xyz) Tj"));
}

TEST(PdfDocument, ShapesAsPaths)
{
    RpPDFDocumentFilter f;
    f.addItem(graphic(S_HLINE, 10, 100, 50, 20));
    f.addItem(graphic(S_OBLIQUE, 10, 100, 50, 20)); // a rounded rectangle: nothing
    f.addItem(graphic(S_LEFTRIGHT, 10, 100, 50, 20));
    const QByteArray content = streamOf(finished(f), 5);
    // Half-way down the 20 points of height: 842 - 100 - 10.
    EXPECT_TRUE(content.startsWith(" 1 w\r\n0.00 0.00 0.00 RG\r\n10 732 m 60 732 l s\r\n 1 w\r\n0.00 0.00 0.00 RG\r\n"
                                   "10 722 m 10 742 l s\r\n60 722 m 60 742 l s\r\nBT\r\n"))
        << content.constData();

    // A shape control: its inside first, then its outline.
    RpPDFDocumentFilter g;
    RpShape box;
    box.setShape(RpShapeType::rpsRectangle);
    box.setBrush({gdi::BS_SOLID, gdi::rgb(0, 0, 255), 0});
    box.setPen({gdi::PS_SOLID, 2, gdi::rgb(255, 0, 0)});
    box.setDeviceBounds(gdi::Rect{96, 96, 192, 192});
    g.acceptGraphic(96, 96, &box);
    RpShape round;
    round.setShape(RpShapeType::rpsRoundRect);
    round.setDeviceBounds(gdi::Rect{0, 0, 50, 50});
    g.acceptGraphic(0, 0, &round);
    const QByteArray boxes = streamOf(finished(g), 5);
    EXPECT_EQ(boxes, "1.50 w\r\n0.00 0.00 1.00 rg\r\n72 698 72 72 re f\r\n"
                     "1.50 w\r\n1.00 0.00 0.00 RG\r\n72 698 72 72 re s\r\nBT\r\nET\r\n");
}

TEST(PdfDocument, NumbersIgnoreADecimalCommaLocale)
{
    const QByteArray savedC = std::setlocale(LC_NUMERIC, nullptr);
    const QLocale savedQt;
    if (!std::setlocale(LC_NUMERIC, "de_DE.utf8"))
        GTEST_SKIP() << "no German locale on this machine";
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.2f", 0.5);
    EXPECT_STREQ(probe, "0,50"); // the C library does follow the locale

    RpPDFDocumentFilter f;
    PDFItemRec circle = graphic(S_CIRCLE, 10.25, 100.5, 50.5, 20.25);
    circle.thickness = 0.75;
    f.addItem(circle);
    PDFItemRec box = graphic(S_BOX, 10.25, 222, 50.5, 20.25);
    box.thickness = 0.75;
    box.filled = true;
    box.fillColor = RGBColor{128, 64, 32};
    f.addItem(box);
    PDFItemRec t = textItem(QStringLiteral("x"));
    t.fillColor = RGBColor{128, 64, 32};
    f.addItem(t);
    const QByteArray doc = finished(f);
    std::setlocale(LC_NUMERIC, savedC.constData());
    QLocale::setDefault(savedQt);

    const QByteArray content = streamOf(doc, 5);
    EXPECT_TRUE(content.startsWith(" 1 w\r\n0.00 0.00 0.00 RG\r\n  35.5  741.4 m\r\n49.4   741.4    60.8   736.9 "))
        << content.constData();
    EXPECT_TRUE(content.contains("0.75 w\r\n0.50 0.25 0.13 rg\r\n10 600 50 20 re f")) << content.constData();
    EXPECT_TRUE(content.contains("0.50 0.25 0.13 rg"));
    EXPECT_FALSE(QRegularExpression(QStringLiteral("\\d,\\d")).match(QString::fromLatin1(content)).hasMatch());
}

TEST(PdfDocument, ConcatenatedReportsMakeOneDocument)
{
    RpPDFDocumentFilter f;
    f.setFontHandling(FontHandling::fhSubstitute);
    f.setConcatenating(true);
    f.newPage();
    f.addItem(textItem(QStringLiteral("first")));
    f.finish(); // the first report ends: nothing is written yet
    EXPECT_FALSE(f.written());
    EXPECT_TRUE(f.documentBytes().isEmpty());
    f.newPage();
    f.addItem(textItem(QStringLiteral("second")));
    f.finish();
    f.endConcat();
    const QByteArray doc = f.documentBytes();
    EXPECT_EQ(checkCrossReferences(doc), 10);
    EXPECT_TRUE(object(doc, 3).contains("/Count 2"));
    EXPECT_TRUE(streamOf(doc, 5).contains("(first) Tj"));
    EXPECT_TRUE(streamOf(doc, 7).contains("(second) Tj"));
}

// Pages go into the file as they end, under a temporary name beside it; the
// file takes its name once the document is whole, and a document that is
// never finished leaves the folder as it was.
TEST(PdfDocument, PagesAreWrittenAsTheyEndAndTheFileIsNamedAtTheEnd)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("doc.pdf"));
    auto files = [&dir] { return QDir(dir.path()).entryInfoList(QDir::Files); };
    {
        RpPDFDocumentFilter f(target);
        f.setFontHandling(FontHandling::fhSubstitute);
        f.newPage();
        for (int i = 0; i < 2000; ++i) {
            f.addItem(textItem(QStringLiteral("page %1").arg(i + 1)));
            f.newPage();
        }
        ASSERT_EQ(files().size(), 1);
        EXPECT_NE(files().first().absoluteFilePath(), target);
        EXPECT_GT(files().first().size(), 100000) << "the pages that ended are not in the file";
        f.finish();
        EXPECT_EQ(f.pageCount(), 2001);
    }
    ASSERT_EQ(files().size(), 1);
    EXPECT_EQ(files().first().absoluteFilePath(), target);
    const QByteArray doc = testsupport::readFile(target);
    // 2001 pages and their contents, a font, information and procedure set.
    EXPECT_EQ(checkCrossReferences(doc), 3 + 2 * 2001 + 3);
    EXPECT_TRUE(streamOf(doc, 4003).contains("(page 2000) Tj"));
    EXPECT_TRUE(object(doc, 3).contains("/Count 2001\r\n/Kids [4 0 R 6 0 R 8 0 R "));
    EXPECT_TRUE(object(doc, 3).contains("/F00 4006 0 R"));

    {
        RpPDFDocumentFilter f(dir.filePath(QStringLiteral("never.pdf")));
        for (int i = 0; i < 2000; ++i) {
            f.addItem(textItem(QStringLiteral("page %1").arg(i + 1)));
            f.newPage();
        }
    }
    ASSERT_EQ(files().size(), 1);
    EXPECT_EQ(files().first().absoluteFilePath(), target);
}

// A report exported in turn with others that hands the filter nothing: the
// document ends as one blank page of the report's paper, read with the
// report's own printer (the one the run used is gone by then).
TEST(PdfDocument, AConcatenatedExportInWhichNothingArrivedEndsOnTheReportsPrinter)
{
    FakePrinterDevice noPrinter;
    noPrinter.names.clear();
    UseDevice use(&noPrinter);
    Report report;
    report.setShowProgress(false);
    report.page()->setPaperSize(RpPaperSize::A4);
    report.prepare();
    RpPDFDocumentFilter f;
    f.setConcatenating(true);
    report.exportToFilter(&f);
    EXPECT_EQ(f.originalReportPrinter(), report.reportPrinter());
    f.endConcat();
    const QByteArray doc = f.documentBytes();
    EXPECT_EQ(checkCrossReferences(doc), 7) << doc.left(400).constData();
    EXPECT_TRUE(object(doc, 4).contains("/MediaBox [0 0 595 842]")) << object(doc, 4).constData();
}

TEST(PdfDocument, AnItemOfNoKindIsAnInternalError)
{
    RpPDFDocumentFilter f;
    try {
        f.addItem(PDFItemRec{});
        FAIL() << "an invalid item was taken";
    } catch (const RpError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Internal error: IT_INVALID"));
    }
}

TEST(Ascii85, ZeroGroupsEndMarkerAndShortTails)
{
    EXPECT_EQ(ascii85::encode(QByteArray()), "~>");
    EXPECT_EQ(ascii85::encode(QByteArray(4, '\0')), "z~>");
    EXPECT_EQ(ascii85::encode(QByteArray(5, '\0')), "z!!~>");
    EXPECT_EQ(ascii85::encode("Man "), "9jqo^~>");
    EXPECT_EQ(ascii85::encode("sure."), "F*2M7/c~>");
}

TEST(PdfFonts, AMeasuredFontHasItsVerticalMetricsAndWidths)
{
    const pdffonts::TrueTypeMetrics m =
        pdffonts::measureTrueType(pdffonts::FontKey::of(QStringLiteral("Arial"), false, false, 0), {}, {});
    EXPECT_GT(m.ascent, 500);
    EXPECT_LT(m.descent, -100);
    EXPECT_GT(m.bbox[2], m.bbox[0]);
    ASSERT_EQ(m.widths.size(), 256u);
    EXPECT_GT(m.widths['W'], m.widths['i']);
    EXPECT_FALSE(m.program.isEmpty());
}
