// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The XML report document as the filter writes it: the definition and the
// header, pages, every kind of item, escaping, colours, image data
// (BMP, LZW-compressed or not, in lines of hexadecimal digits), image
// references, concatenated reports, files and streams, and numbers that
// never follow the user's locale.
#include "trxdocs.h"

#include "platform/rperror.h"
#include "printer/exportpicture.h"
#include "printer/exportfilterlibrary.h"
#include "printer/lzw.h"
#include "report/rpshape.h"
#include "trx/xdocumentfilter.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QLocale>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

#include <clocale>

using trxdocs::attribute;
using trxdocs::find;

namespace {

// A picture control handing the filter a fixed bitmap over its whole size.
class Picture : public QWidget, public RpExportPicture {
public:
    explicit Picture(QImage image) : m_image(std::move(image)) { resize(m_image.size()); }
    ExportPictureRec exportPicture(double, double) const override
    {
        return {m_image, 0, 0, double(m_image.width()), double(m_image.height())};
    }

private:
    QImage m_image;
};

QImage quadrants(int size = 40)
{
    QImage img(size, size, QImage::Format_RGB32);
    const int h = size / 2;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            img.setPixel(x, y, x < h ? (y < h ? qRgb(255, 0, 0) : qRgb(0, 0, 255)) : (y < h ? qRgb(0, 160, 0) : qRgb(250, 250, 250)));
    return img;
}

RpFont arial(int points = 10)
{
    RpFont f;
    f.name = QStringLiteral("Arial");
    f.setSize(points);
    return f;
}

// A filter that writes to its own stream, with a fixed date.
struct Doc {
    RpXDocumentFilter f;
    RpFont font = arial();
    Doc() { f.setDocDate(QStringLiteral("09/12/2026")); }
    void start() { f.start(2100, 2970, &font); }
    void page()
    {
        f.endPage();
        f.newPage();
    }
    void text(const QString &t, double x = 100, double y = 200) { f.textOut(x, y, font, 0xFFFFFF, Alignment::taLeftJustify, t); }
    QStringList finish()
    {
        f.endPage();
        f.finish();
        return trxdocs::lines(f.documentBytes());
    }
};

std::unique_ptr<RpShape> shape(RpShapeType kind, gdi::Rect bounds, quint32 brushStyle = gdi::BS_SOLID)
{
    auto s = std::make_unique<RpShape>();
    s->setShape(kind);
    s->setDeviceBounds(bounds);
    s->setBrush(gdi::LogBrush{brushStyle, 0x00FF00, 0});
    s->setPen(gdi::LogPen{gdi::PS_SOLID, 1, 0x0000FF});
    return s;
}

// The hexadecimal data lines of the item whose start tag is line `tag`.
QByteArray dataOf(const QStringList &l, int tag, int *lineCount = nullptr)
{
    QByteArray hex;
    int n = 0;
    for (int i = tag + 1; i < l.size() && l[i] != u"</Item>"; ++i, ++n)
        hex += l[i].toLatin1();
    if (lineCount)
        *lineCount = n;
    return QByteArray::fromHex(hex);
}

struct KeepEncoding {
    TextEncoding saved = RpXAbstractExportFilter::textEncoding();
    ~KeepEncoding() { RpXAbstractExportFilter::setTextEncoding(saved); }
};

} // namespace

TEST(TrxDocument, OnePageOneLineDocument)
{
    Doc d;
    d.start();
    d.page();
    d.text(QStringLiteral("Hello"));
    const QStringList l = d.finish();
    EXPECT_TRUE(d.f.written());
    EXPECT_FALSE(d.f.active());
    ASSERT_GE(l.size(), 60);
    EXPECT_EQ(l[0], u"<?xml version=\"1.0\"?>");
    EXPECT_EQ(l[1], u"<?xml-stylesheet type=\"text/xsl\" href=\"TXDStylesheet.xsl\"?>");
    EXPECT_EQ(l[2], u"<!DOCTYPE TXDocument [");
    const int header = find(l, QStringLiteral("<Header "));
    ASSERT_GT(header, 0);
    EXPECT_EQ(l[header - 2], u"]>");
    EXPECT_EQ(l[header - 1], u"<TXDocument>");
    const QStringList expected{
        QStringLiteral("<Header Pagewidth=\"2100.00\" Pageheight=\"2970.00\" PaperName=\"A4\" Units=\"mm\">"),
        QStringLiteral("   <Title></Title>"),
        QStringLiteral("   <DocType></DocType>"),
        QStringLiteral("   <Creator>TRXDocumentFilter</Creator>"),
        QStringLiteral("   <Author></Author>"),
        QStringLiteral("   <Date>09/12/2026</Date>"),
        QStringLiteral("   <Copyright></Copyright>"),
        QStringLiteral("   <Orientation>Portrait</Orientation>"),
        QStringLiteral("</Header>"),
        // The blank line after the header is never written.
        QStringLiteral("<Page Number=\"1\">"),
        QStringLiteral("<Item Type=\"Text\" LY=\"0\" Font=\"Arial\" X=\"10.00\" Y=\"20.00\" Height=\"10\" "
                       "Color=\"#000000\" FR=\"  0\" FW=\"normal\" Dec=\"none none \" CID=\"\" DBR=\"0\">"),
        QStringLiteral("Hello"),
        QStringLiteral("</Item>"),
        QStringLiteral("</Page>"),
        QStringLiteral("</TXDocument>"),
    };
    EXPECT_EQ(l.mid(header), expected);
    // Every line ends with CR LF, none is empty.
    const QByteArray bytes = d.f.documentBytes();
    EXPECT_TRUE(bytes.endsWith("</TXDocument>\r\n"));
    EXPECT_FALSE(bytes.contains("\r\n\r\n"));
    EXPECT_EQ(bytes.count('\n'), bytes.count("\r\n"));
}

TEST(TrxDocument, TextAndHeaderTextsAreEscapedAndStayWellFormed)
{
    Doc d;
    d.f.setDocumentProperties(QStringLiteral("Li & Wong"), QStringLiteral("<Marks>"), QStringLiteral("\"ours\""));
    d.start();
    d.page();
    d.text(QStringLiteral("a<b & \"c\" 'd' >e &lt;"));
    d.text(QStringLiteral("bell\x07tab\tend"));
    const QStringList l = d.finish();
    EXPECT_GE(find(l, QStringLiteral("   <Title>&lt;Marks&gt;</Title>")), 0);
    EXPECT_GE(find(l, QStringLiteral("   <Author>Li &amp; Wong</Author>")), 0);
    EXPECT_GE(find(l, QStringLiteral("   <Copyright>&quot;ours&quot;</Copyright>")), 0);
    const int item = find(l, QStringLiteral("<Item Type=\"Text\""));
    ASSERT_GT(item, 0);
    EXPECT_EQ(l[item + 1], u"a&lt;b &amp; &quot;c&quot; &apos;d&apos; &gt;e &amp;lt;");
    // A control character XML does not allow would make the document unreadable.
    EXPECT_EQ(l[item + 4], QStringLiteral("bell\uFFFDtab\tend"));
}

TEST(TrxDocument, FontAttributes)
{
    Doc d;
    d.start();
    d.page();
    RpFont red = arial(14);
    red.color = 0x0000FF; // pure red
    red.bold = true;
    red.italic = true;
    red.strikeOut = true;
    d.f.textOut(155, 305, red, 0xFFFFFF, Alignment::taLeftJustify, QStringLiteral("x"));
    RpFont blue = arial(8);
    blue.color = 0xFF0000;
    blue.underline = true;
    d.f.textOut(0, 0, blue, 0xFFFFFF, Alignment::taLeftJustify, QStringLiteral("y"));
    const QStringList l = d.finish();
    const int first = find(l, QStringLiteral("<Item Type=\"Text\""));
    ASSERT_GT(first, 0);
    EXPECT_EQ(attribute(l[first], QStringLiteral("Color")), u"#FF0000");
    EXPECT_EQ(attribute(l[first], QStringLiteral("FW")), u"Bold");
    EXPECT_EQ(attribute(l[first], QStringLiteral("Dec")), u"Italic none Strike");
    EXPECT_EQ(attribute(l[first], QStringLiteral("Height")), u"14");
    EXPECT_EQ(attribute(l[first], QStringLiteral("X")), u"15.50");
    EXPECT_EQ(attribute(l[first], QStringLiteral("Y")), u"30.50");
    const int second = find(l, QStringLiteral("<Item Type=\"Text\""), first + 1);
    EXPECT_EQ(attribute(l[second], QStringLiteral("Color")), u"#0000FF");
    EXPECT_EQ(attribute(l[second], QStringLiteral("FW")), u"normal");
    EXPECT_EQ(attribute(l[second], QStringLiteral("Dec")), u"none Underline ");
    EXPECT_EQ(attribute(l[second], QStringLiteral("X")), u"0.00");
}

// Right-aligned and centred lines are anchored at their right edge or
// centre: the item's X is the left edge, the text's width back from it.
TEST(TrxDocument, AlignedTextStartsAtItsLeftEdge)
{
    Doc d;
    d.start();
    d.page();
    const QString t = QStringLiteral("WWWWWWWWWW");
    d.f.leftMarginAdjust = 5;
    d.f.textOut(1000, 0, d.font, 0xFFFFFF, Alignment::taLeftJustify, t);
    d.f.textOut(1000, 0, d.font, 0xFFFFFF, Alignment::taRightJustify, t);
    d.f.textOut(1000, 0, d.font, 0xFFFFFF, Alignment::taCenter, t + QStringLiteral("   "));
    const QStringList l = d.finish();
    const int left = find(l, QStringLiteral("<Item Type=\"Text\""));
    const int right = find(l, QStringLiteral("<Item Type=\"Text\""), left + 1);
    const int centre = find(l, QStringLiteral("<Item Type=\"Text\""), right + 1);
    ASSERT_GT(centre, 0);
    EXPECT_EQ(attribute(l[left], QStringLiteral("X")), u"105.00"); // with the margin adjustment
    const double xr = attribute(l[right], QStringLiteral("X")).toDouble();
    const double xc = attribute(l[centre], QStringLiteral("X")).toDouble();
    // Ten W of 10 points are some 3 cm wide; the trailing blanks are not measured.
    EXPECT_LT(xr, 80);
    EXPECT_GT(xr, 60);
    EXPECT_NEAR(100 - xr, 2 * (100 - xc), 0.6);
}

TEST(TrxDocument, ShapesLinesAndFills)
{
    Doc d;
    d.start();
    d.page();
    d.f.leftMarginAdjust = 1;
    d.f.horizLineAdjust = 2;
    d.f.vertLineAdjust = 3;
    auto hline = shape(RpShapeType::rpsHorLine, {0, 0, 96, 0});
    auto vline = shape(RpShapeType::rpsVertLine, {0, 0, 0, 192});
    auto box = shape(RpShapeType::rpsRectangle, {0, 0, 96, 48});
    auto hollow = shape(RpShapeType::rpsRectangle, {0, 0, 96, 48}, gdi::BS_NULL);
    auto ellipse = shape(RpShapeType::rpsCircle, {0, 0, 96, 48});
    auto round = shape(RpShapeType::rpsRoundRect, {0, 0, 96, 48});
    box->setObjectName(QStringLiteral("Box1"));
    d.f.acceptGraphic(96, 192, hline.get());
    d.f.acceptGraphic(0, 0, vline.get());
    d.f.acceptGraphic(0, 0, box.get());
    d.f.acceptGraphic(0, 0, hollow.get());
    d.f.acceptGraphic(0, 0, ellipse.get());
    d.f.acceptGraphic(0, 0, round.get());
    const QStringList l = d.finish();
    QStringList tags;
    for (const QString &line : l)
        if (line.startsWith(QStringLiteral("<Item Type=\"Graphic\"")))
            tags << line;
    ASSERT_EQ(tags.size(), 6);
    EXPECT_EQ(tags[0], QStringLiteral("<Item Type=\"Graphic\" LY=\"1\" X=\"28.40\" Y=\"53.80\" LW=\"0.26\" SP=\"2\" "
                                      "Width=\"25.40\" Height=\"0.50\" Color=\"#FF0000\" BC=\"#00FF00\" FT=\"Out\" "
                                      "CID=\"\" DBR=\"0\">"));
    EXPECT_EQ(attribute(tags[1], QStringLiteral("SP")), u"3");
    EXPECT_EQ(attribute(tags[1], QStringLiteral("Width")), u"0.50");
    EXPECT_EQ(attribute(tags[1], QStringLiteral("Height")), u"50.80");
    // A filled rectangle and a filled ellipse lie on layer 2.
    EXPECT_EQ(attribute(tags[2], QStringLiteral("LY")), u"2");
    EXPECT_EQ(attribute(tags[2], QStringLiteral("FT")), u"Fill");
    EXPECT_EQ(attribute(tags[2], QStringLiteral("SP")), u"0");
    EXPECT_EQ(attribute(tags[2], QStringLiteral("CID")), u"Box1");
    EXPECT_EQ(attribute(tags[3], QStringLiteral("FT")), u"Out");
    EXPECT_EQ(attribute(tags[3], QStringLiteral("LY")), u"1");
    EXPECT_EQ(attribute(tags[4], QStringLiteral("FT")), u"Fill");
    EXPECT_EQ(attribute(tags[4], QStringLiteral("SP")), u"1");
    EXPECT_EQ(attribute(tags[5], QStringLiteral("FT")), u"Out");
    EXPECT_EQ(attribute(tags[5], QStringLiteral("SP")), u"6");
    // Each graphic item is closed at once.
    EXPECT_EQ(l[find(l, tags[0]) + 1], u"</Item>");
}

TEST(TrxDocument, ImageDataIsTheBmpInLinesOf4096Digits)
{
    const QImage picture = quadrants();
    Picture control(picture);
    control.setObjectName(QStringLiteral("Logo"));
    QWidget blank;
    blank.resize(30, 20);

    Doc d;
    d.f.setCompressImages(false);
    d.start();
    d.page();
    d.f.acceptGraphic(96, 0, &control);
    d.f.acceptGraphic(0, 0, &blank);
    const QStringList l = d.finish();
    const int tag = find(l, QStringLiteral("<Item Type=\"Image\""));
    ASSERT_GT(tag, 0);
    EXPECT_EQ(l[tag], QStringLiteral("<Item Type=\"Image\" X=\"25.40\" Y=\"0.00\" Width=\"40\" Height=\"40\" LY=\"1\" "
                                     "XS=\" 0.265\" YS=\" 0.265\" Cmp=\"None\" CID=\"Logo\" DBR=\"0\">"));
    EXPECT_TRUE(l[tag + 1].startsWith(QStringLiteral("424D")));
    int lines = 0;
    const QByteArray bmp = dataOf(l, tag, &lines);
    // 54 header bytes and 40 rows of 120: 9708 digits.
    EXPECT_EQ(bmp.size(), 54 + 40 * 120);
    EXPECT_EQ(lines, 3);
    EXPECT_EQ(l[tag + 1].size(), 4096);
    EXPECT_EQ(l[tag + 2].size(), 4096);
    EXPECT_EQ(l[tag + 3].size(), 9708 - 8192);
    EXPECT_EQ(l[tag + 1], l[tag + 1].toUpper());
    const QImage back = QImage::fromData(bmp, "BMP").convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(back, picture);

    // A control with no picture is a blank bitmap of its size.
    const int second = find(l, QStringLiteral("<Item Type=\"Image\""), tag + 1);
    ASSERT_GT(second, 0);
    EXPECT_EQ(attribute(l[second], QStringLiteral("Width")), u"30");
    EXPECT_EQ(attribute(l[second], QStringLiteral("Height")), u"20");
    const QImage white = QImage::fromData(dataOf(l, second), "BMP").convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(white.size(), QSize(30, 20));
    QImage allWhite(30, 20, QImage::Format_RGB32);
    allWhite.fill(Qt::white);
    EXPECT_EQ(white, allWhite);
}

TEST(TrxDocument, CompressedImageDataDecompressesToTheBmp)
{
    // Large enough for several lines of compressed data.
    const QImage picture = quadrants(160);
    Picture control(picture);
    QByteArray plain, packed;
    for (bool compress : {false, true}) {
        Doc d;
        d.f.setCompressImages(compress);
        d.start();
        d.page();
        d.f.acceptGraphic(0, 0, &control);
        const QStringList l = d.finish();
        const int tag = find(l, QStringLiteral("<Item Type=\"Image\""));
        ASSERT_GT(tag, 0);
        EXPECT_EQ(attribute(l[tag], QStringLiteral("Cmp")), compress ? u"lzw" : u"None");
        (compress ? packed : plain) = dataOf(l, tag);
    }
    ASSERT_TRUE(plain.startsWith("BM"));
    EXPECT_LT(packed.size(), plain.size() / 4);
    EXPECT_EQ(lzw::decompress(packed), plain);
}

TEST(TrxDocument, AnImageGivenAUrlIsAReferenceWithoutData)
{
    Picture control(quadrants());
    control.setObjectName(QStringLiteral("Photo"));
    Doc d;
    QWidget *asked = nullptr;
    d.f.setOnImageURLNeeded([&](RpXDocumentFilter *f, QWidget *c, bool &use, QString &url) {
        EXPECT_EQ(f, &d.f);
        asked = c;
        use = c->objectName() == u"Photo";
        url = QStringLiteral("pictures/photo.bmp");
    });
    QWidget other;
    other.resize(10, 10);
    d.start();
    d.page();
    d.f.acceptGraphic(0, 0, &control);
    EXPECT_EQ(asked, &control);
    d.f.acceptGraphic(0, 0, &other);
    EXPECT_EQ(asked, &other);
    const QStringList l = d.finish();
    const int tag = find(l, QStringLiteral("<Item Type=\"Image\""));
    ASSERT_GT(tag, 0);
    EXPECT_TRUE(l[tag].endsWith(QStringLiteral("Cmp=\"lzw\" ImageFile=\"pictures/photo.bmp\">"))) << l[tag].toStdString();
    EXPECT_EQ(l[tag + 1], u"</Item>");
    // The other image, declined, keeps its data.
    const int second = find(l, QStringLiteral("<Item Type=\"Image\""), tag + 1);
    EXPECT_EQ(attribute(l[second], QStringLiteral("ImageFile")), QString());
    EXPECT_NE(l[second + 1], u"</Item>");

    // Without image data the items stay, empty.
    Doc none;
    none.f.setDoImages(false);
    none.start();
    none.page();
    none.f.acceptGraphic(0, 0, &control);
    const QStringList n = none.finish();
    const int t = find(n, QStringLiteral("<Item Type=\"Image\""));
    ASSERT_GT(t, 0);
    EXPECT_EQ(attribute(n[t], QStringLiteral("CID")), u"Photo");
    EXPECT_EQ(n[t + 1], u"</Item>");
}

TEST(TrxDocument, BandItem)
{
    QWidget band;
    band.resize(718, 38);
    band.setObjectName(QStringLiteral("Detail"));
    Doc d;
    d.start();
    d.page();
    d.f.acceptBand(&band, 100, 250.5, 11.6);
    const QStringList l = d.finish();
    const int tag = find(l, QStringLiteral("<Item Type=\"Band\""));
    ASSERT_GT(tag, 0);
    EXPECT_EQ(l[tag], QStringLiteral("<Item Type=\"Band\" X=\"100.00\" Y=\"250.50\" Width=\"718\" Height=\"50\" LY=\"1\" "
                                     "XS=\" 1.000\" YS=\" 1.000\" Cmp=\"none\" CID=\"Detail\" DBR=\"0\"></Item>"));
    EXPECT_EQ(l[tag + 1], u"</Page>");
}

TEST(TrxDocument, PagesAndConcatenatedReports)
{
    Doc d;
    d.f.setConcatenating(true);
    // Two reports in turn: the second finds the filter active and does not
    // start it again.
    for (const QString &report : {QStringLiteral("first"), QStringLiteral("second")}) {
        if (!d.f.active())
            d.start();
        for (int page = 1; page <= 2; ++page) {
            d.page();
            d.text(report + QString::number(page));
        }
        d.f.endPage();
        d.f.finish();
        EXPECT_FALSE(d.f.written());
        EXPECT_TRUE(d.f.active());
    }
    d.f.endConcat();
    EXPECT_TRUE(d.f.written());
    EXPECT_FALSE(d.f.concatenating());
    const QStringList l = trxdocs::lines(d.f.documentBytes());
    EXPECT_EQ(l.count(QStringLiteral("<TXDocument>")), 1);
    EXPECT_EQ(l.count(QStringLiteral("</TXDocument>")), 1);
    EXPECT_EQ(l.filter(QStringLiteral("<Header ")).size(), 1);
    EXPECT_EQ(l.count(QStringLiteral("</Page>")), 4);
    int at = 0;
    for (int n = 1; n <= 4; ++n) {
        at = find(l, QStringLiteral("<Page Number=\"%1\">").arg(n), at);
        ASSERT_GT(at, 0) << n;
        if (n > 1) {
            EXPECT_EQ(l[at - 1], u"</Page>");
        }
    }
    EXPECT_EQ(l[find(l, QStringLiteral("<Page Number=\"3\">")) + 2], u"second1");
    EXPECT_EQ(l.last(), u"</TXDocument>");
}

TEST(TrxDocument, NewDocumentAndDefinition)
{
    RpXDocumentFilter f;
    f.setXLStyleURL(QStringLiteral("  report.xsl "));
    f.setTitle(QStringLiteral("T"));
    QStringList dtd;
    f.loadDTD(dtd);
    EXPECT_EQ(dtd.size(), 47);
    EXPECT_EQ(dtd[1], u"<?xml-stylesheet type=\"text/xsl\" href=\"report.xsl\"?>");
    EXPECT_EQ(dtd.count(QStringLiteral("<!ATTLIST Item Height CDATA \"12\">")), 1);
    EXPECT_EQ(dtd.count(QStringLiteral("<!ATTLIST Item Height CDATA \"1\">")), 1);
    EXPECT_EQ(dtd.last(), u"]>");
    QStringList doc{QStringLiteral("left over")};
    f.newDocument(doc, 2159, 2794, QStringLiteral("Letter"), QStringLiteral("Landscape"));
    EXPECT_EQ(doc.mid(0, dtd.size()), dtd);
    EXPECT_EQ(doc[dtd.size()], u"<TXDocument>");
    EXPECT_EQ(doc[dtd.size() + 1],
              u"<Header Pagewidth=\"2159.00\" Pageheight=\"2794.00\" PaperName=\"A4\" Units=\"mm\">");
    EXPECT_EQ(doc[dtd.size() + 2], u"   <Title>T</Title>");
    EXPECT_EQ(doc.last(), u"</TXDocument>");
    EXPECT_EQ(doc.count(QStringLiteral("<Page Number=\"1\">")), 0);
    EXPECT_EQ(f.name(), u"TRX document (XML)");
    EXPECT_EQ(f.description(), u"TRX document (XML)");
    EXPECT_EQ(f.fileExtension(), u"TRX");
    EXPECT_EQ(f.xlEncoding(), u"windows-1252");
    EXPECT_TRUE(f.compressImages());
    EXPECT_TRUE(f.doImages());
    EXPECT_FALSE(f.concatenating());
}

TEST(TrxDocument, FilesAndStreams)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.trx"));
    {
        RpXDocumentFilter f(path);
        RpFont font = arial();
        f.start(2100, 2970, &font);
        EXPECT_FALSE(QFile::exists(path)); // written whole at finish
        f.newPage();
        f.finish();
        EXPECT_TRUE(f.written());
        EXPECT_TRUE(f.documentBytes().isEmpty());
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList l = trxdocs::lines(file.readAll());
    EXPECT_EQ(l.value(l.size() - 2), u"</Page>");

    // A stream the caller gives.
    QBuffer mine;
    mine.open(QIODevice::WriteOnly);
    RpXDocumentFilter s;
    s.setStream(&mine);
    s.start(2100, 2970, nullptr); // pages without a report have no font
    s.finish();
    EXPECT_TRUE(mine.data().endsWith("</TXDocument>\r\n"));
    EXPECT_TRUE(mine.isOpen());

    // A file that cannot be made: the error comes out of finish.
    RpXDocumentFilter bad(dir.filePath(QStringLiteral("no/such/folder/out.trx")));
    bad.start(2100, 2970, nullptr);
    EXPECT_THROW(bad.finish(), RpError);
    EXPECT_FALSE(bad.written());
}

TEST(TrxDocument, NumbersDoNotFollowTheLocale)
{
    const std::string before = std::setlocale(LC_ALL, nullptr);
    const QLocale saved;
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        GTEST_SKIP() << "no de_DE.UTF-8 locale (scripts/install-deps makes it)";
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    Doc d;
    d.start();
    d.page();
    d.text(QStringLiteral("x"), 155, 305);
    auto box = shape(RpShapeType::rpsRectangle, {0, 0, 50, 50});
    d.f.acceptGraphic(10, 10, box.get());
    Picture control(quadrants());
    d.f.acceptGraphic(10, 10, &control);
    const QStringList l = d.finish();
    std::setlocale(LC_ALL, before.c_str());
    QLocale::setDefault(saved);
    const QString all = l.join(u'\n');
    EXPECT_TRUE(all.contains(QStringLiteral("Pagewidth=\"2100.00\"")));
    EXPECT_TRUE(all.contains(QStringLiteral("X=\"15.50\" Y=\"30.50\"")));
    EXPECT_TRUE(all.contains(QStringLiteral("LW=\"0.26\"")));
    EXPECT_TRUE(all.contains(QStringLiteral("XS=\" 0.265\"")));
    const QRegularExpression decimalComma(QStringLiteral("=\" ?-?\\d+,\\d+\""));
    EXPECT_FALSE(decimalComma.match(all).hasMatch()) << decimalComma.match(all).captured().toStdString();
}

TEST(TrxDocument, EachFilterFamilyHasItsOwnEncodingSetting)
{
    KeepEncoding keep;
    EXPECT_EQ(RpXAbstractExportFilter::textEncoding(), TextEncoding::DefaultEncoding);
    const TextEncoding other = RpPAbstractExportFilter::textEncoding();
    RpXAbstractExportFilter::setTextEncoding(TextEncoding::UnicodeEncoding);
    EXPECT_EQ(RpPAbstractExportFilter::textEncoding(), other);
    Doc d;
    d.start();
    d.finish();
    EXPECT_TRUE(d.f.documentBytes().startsWith(QByteArray("\xFF\xFE<\0?\0x\0m\0l\0", 10)));
}

// The class as a save dialog offers it: a library entry makes filters that
// write documents.
TEST(TrxDocument, AFilterLibraryEntryMakesWorkingFilters)
{
    RpExportFilterLibrary library;
    library.addFilter(RpExportFilterClass::of<RpXDocumentFilter>(RpXDocumentFilter::className()));
    library.addFilter(RpExportFilterClass::of<RpXDocumentFilter>(QStringLiteral("trpxdocumentfilter")));
    ASSERT_EQ(library.filters().size(), 1u);
    EXPECT_TRUE(library.saveDialogFilterString().endsWith(QStringLiteral("|TRX document (XML) (*.TRX)|*.TRX")))
        << library.saveDialogFilterString().toStdString();
    const RpExportFilterLibraryEntry *entry = library.getFilterByExtension(QStringLiteral("trx"));
    ASSERT_NE(entry, nullptr);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lib.trx"));
    std::unique_ptr<RpExportFilter> f = entry->exportFilterClass.create(path);
    f->start(2100, 2970, nullptr);
    f->newPage();
    f->finish();
    EXPECT_TRUE(QFile::exists(path));
}
