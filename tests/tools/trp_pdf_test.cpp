// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A report file saved from the preview becomes, through `tovrel-tool trp
// pdf`, a PDF document of vectors: its text comes back out as text, Poppler
// draws the page our player draws, the readers accept it, and the only
// picture in it is the page's own picture, written once.
#include "../pdf/pdfdocs.h"
#include "../printer/fakeprinter.h"
#include "platform/canvas.h"
#include "platform/metafile.h"
#include "preview/standardpreview.h"
#include "printer/pageoutput.h"
#include "printer/rppagelist.h"
#include "printer/rpprinter.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <set>

namespace {

const QString kTool = QStringLiteral(TOVREL_BINARY_DIR "/tools/tovrel-tool");

// A picture of 40 x 30 pixels: a gradient with a dark bar.
QImage picture()
{
    QImage img(40, 30, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, qRgb(60 + x * 4, 200 - y * 4, 120));
    QPainter p(&img);
    p.fillRect(5, 12, 30, 6, QColor(20, 20, 80));
    return img;
}

// One page as a report records it: a heading in a Kai face, Latin text,
// rules and a box, and the picture.
void drawPage(RpPrinter &printer, const QString &heading)
{
    Canvas &c = *printer.canvas();
    auto font = [&](const char *face, double points) {
        gdi::LogFont lf;
        lf.height = -rpRound(points * c.logPixelsY() / 72.0);
        lf.faceName = QString::fromUtf8(face);
        return lf;
    };
    c.setBkMode(gdi::TRANSPARENT);
    c.setTextColor(gdi::rgb(0, 0, 0));
    c.setFont(font("TW-Kai", 28));
    c.extTextOut(printer.xPos(200), printer.yPos(200), 0, nullptr, heading);
    c.setFont(font("Liberation Sans", 11));
    c.extTextOut(printer.xPos(200), printer.yPos(420), 0, nullptr, QStringLiteral("Class list, spring term (page)"));
    c.setTextAlign(gdi::TA_RIGHT | gdi::TA_TOP);
    c.extTextOut(printer.xPos(1900), printer.yPos(420), 0, nullptr, QStringLiteral("Score 97.5"));
    c.setTextAlign(gdi::TA_LEFT | gdi::TA_TOP);
    // A hair line, a thick rule, a grey box with an outline.
    c.setPen({gdi::PS_SOLID, 0, gdi::rgb(0, 0, 0)});
    c.moveTo(printer.xPos(200), printer.yPos(500));
    c.lineTo(printer.xPos(1900), printer.yPos(500));
    c.setPen({gdi::PS_SOLID, 12, gdi::rgb(40, 40, 160)});
    c.moveTo(printer.xPos(200), printer.yPos(560));
    c.lineTo(printer.xPos(1900), printer.yPos(560));
    c.setPen({gdi::PS_SOLID, 3, gdi::rgb(128, 128, 128)});
    c.setBrush({gdi::BS_SOLID, gdi::rgb(220, 220, 220), 0});
    c.rectangle({printer.xPos(200), printer.yPos(700), printer.xPos(1000), printer.yPos(1200)});
    const QImage img = picture();
    c.stretchDIBits({printer.xPos(1200), printer.yPos(700), printer.xPos(1800), printer.yPos(1150)},
                    {0, 0, img.width(), img.height()}, img);
}

// Both pictures reduced four times (each pixel the average of 4 x 4), and
// how many of those pixels differ by more than `threshold` in a channel.
double differingShare(const QImage &a, const QImage &b, int threshold)
{
    const QSize small(a.width() / 4, a.height() / 4);
    const QImage sa = a.convertToFormat(QImage::Format_RGB32).scaled(small, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QImage sb = b.convertToFormat(QImage::Format_RGB32).scaled(small, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    qint64 differing = 0;
    for (int y = 0; y < small.height(); ++y)
        for (int x = 0; x < small.width(); ++x) {
            const QRgb p = sa.pixel(x, y), q = sb.pixel(x, y);
            if (std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))}) >
                threshold)
                ++differing;
        }
    return double(differing) / (qint64(small.width()) * small.height());
}

// Ink on a white page: pixels darker than 200 in a channel.
qint64 ink(const QImage &image)
{
    qint64 n = 0;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb p = rgb.pixel(x, y);
            n += std::min({qRed(p), qGreen(p), qBlue(p)}) < 200;
        }
    return n;
}

} // namespace

TEST(TrpPdf, AReportFileFromThePreviewBecomesADocumentOfVectors)
{
    using pdfdocs::run;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    FakePrinterDevice noPrinter;
    noPrinter.names.clear();
    UseDevice useNoPrinter{&noPrinter};

    // Two pages recorded as a report records them, saved from the preview.
    RpPrinter printer;
    printer.beginDoc();
    printer.newPage();
    drawPage(printer, QStringLiteral("學校 Tovrel"));
    printer.newPage();
    drawPage(printer, QStringLiteral("變從口入"));
    printer.endDoc();
    const QString trp = dir.filePath(QStringLiteral("classes"));
    {
        RpStandardPreview window(nullptr, &printer);
        window.saveAs(trp, 1);
    }
    ASSERT_TRUE(QFile::exists(trp + ".TRP"));

    const QString pdf = dir.filePath(QStringLiteral("classes.pdf"));
    const pdfdocs::Run converted = run(kTool, {"trp", "pdf", trp + ".TRP", pdf});
    ASSERT_EQ(converted.code, 0) << converted.err.toStdString();
    EXPECT_EQ(converted.err, "");

    // The readers take it without a word.
    const pdfdocs::Run check = run(QStringLiteral("qpdf"), {"--check", pdf});
    EXPECT_EQ(check.code, 0) << check.out.toStdString() << check.err.toStdString();
    const pdfdocs::Run mupdf = run(QStringLiteral("mutool"), {"draw", "-r", "30", "-o", dir.filePath("mupdf-%d.png"), pdf});
    EXPECT_EQ(mupdf.code, 0);
    EXPECT_EQ(pdfdocs::complaints(mupdf.err), "");

    // Its text comes back, the Chinese as much as the Latin.
    const pdfdocs::Run text = run(QStringLiteral("pdftotext"), {"-layout", pdf, "-"});
    ASSERT_EQ(text.code, 0) << text.err.toStdString();
    const QString got = QString::fromUtf8(text.out);
    for (const char *want : {"學校 Tovrel", "變從口入", "Class list, spring term (page)", "Score 97.5"})
        EXPECT_TRUE(got.contains(QString::fromUtf8(want))) << want << " not in: " << got.toStdString();

    // The one picture is the page's own, 40 x 30, drawn on both pages from
    // one image object: no page went in as a picture of itself.
    const pdfdocs::Run images = run(QStringLiteral("pdfimages"), {"-list", pdf});
    ASSERT_EQ(images.code, 0);
    std::set<QString> objects;
    int drawn = 0;
    for (const QByteArray &line : images.out.split('\n').mid(2)) {
        const QList<QByteArray> f = line.simplified().split(' ');
        if (f.size() < 12)
            continue;
        ++drawn;
        EXPECT_EQ(f[3] + "x" + f[4], "40x30") << line.toStdString();
        objects.insert(QString::fromLatin1(f[10]));
    }
    EXPECT_EQ(drawn, 2);
    EXPECT_EQ(objects.size(), 1u);
    // Each face once in the document.
    const pdfdocs::Run fonts = run(QStringLiteral("pdffonts"), {pdf});
    ASSERT_EQ(fonts.code, 0);
    QStringList names;
    for (const QByteArray &line : fonts.out.split('\n').mid(2))
        if (!line.trimmed().isEmpty())
            names << QString::fromLatin1(line.split(' ').first());
    EXPECT_GE(names.size(), 2) << fonts.out.toStdString();
    EXPECT_EQ(names.removeDuplicates(), 0) << fonts.out.toStdString();

    // Poppler draws at 300 dpi the page our player draws from the file.
    RpPageList list;
    list.loadFromFile(trp + ".TRP");
    for (int page = 1; page <= 2; ++page) {
        SCOPED_TRACE(page);
        const QString stem = dir.filePath(QStringLiteral("poppler-%1").arg(page));
        ASSERT_EQ(run(QStringLiteral("pdftoppm"), {"-r", "300", "-f", QString::number(page), "-l", QString::number(page),
                                                   "-png", "-singlefile", pdf, stem})
                      .code,
                  0);
        // The document's page is the paper in whole points (the writer
        // rounds its media box): the two pictures agree to a pixel in size,
        // and are compared where both are.
        const QImage whole(stem + ".png");
        const QImage played = playPage(Metafile::fromBytes(list.getPage(page).value()), 300);
        ASSERT_LE(std::abs(whole.width() - played.width()), 1);
        ASSERT_LE(std::abs(whole.height() - played.height()), 1);
        const QRect common(0, 0, std::min(whole.width(), played.width()), std::min(whole.height(), played.height()));
        const QImage poppler = whole.copy(common), ours = played.copy(common);
        EXPECT_GT(ink(ours), 20000);
        EXPECT_NEAR(double(ink(poppler)), double(ink(ours)), ink(ours) * 0.1);
        EXPECT_LT(differingShare(poppler, ours, 48), 0.004);
        if (page == 1) {
            poppler.save(dir.filePath("poppler.png"));
            ours.save(dir.filePath("ours.png"));
        }
    }
    if (qEnvironmentVariableIsSet("TOVREL_KEEP_TEST_OUTPUT"))
        for (const char *name : {"poppler.png", "ours.png", "classes.pdf"})
            QFile::copy(dir.filePath(name), qEnvironmentVariable("TOVREL_KEEP_TEST_OUTPUT") + '/' + name);
}
