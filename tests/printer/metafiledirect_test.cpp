// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Playing recorded pages straight onto the printer: onto the test device,
// and onto a Qt printer writing a PDF file whose text and word positions are
// read back with pdftotext.
#include "fakeprinter.h"
#include "printedpages.h"
#include "platform/metafilerecorder.h"
#include "platform/rperror.h"
#include "printer/qtprinterdevice.h"
#include "printer/rpprinter.h"

#include <QFontDatabase>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace printedpages;

namespace {

int ink(const QImage &img)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += qGray(img.pixel(x, y)) < 128;
    return n;
}

const QStringList kTwoPages{"StartDoc", "StartPage", "EndPage", "StartPage", "EndPage", "EndDoc"};

} // namespace

TEST(PrintMetafileDirect, PlaysTheRangeOfAFinishedDocumentOnly)
{
    QTemporaryDir tmp;
    saveReport(tmp.filePath("r.trp"), 4);
    FakePrinterDevice dev;
    UseDevice use(&dev);
    RpPrinter p;
    p.printMetafileDirect({}, 1, 2);
    EXPECT_TRUE(dev.log.isEmpty()) << "no document yet";

    p.load(tmp.filePath("r.trp"));
    p.printMetafileDirect({}, 2, 3);
    EXPECT_EQ(dev.log, kTwoPages);
    ASSERT_EQ(dev.pages.size(), 2u);
    // Page 3 carries three letters more than page 2.
    const int ink2 = ink(dev.pages[0]), ink3 = ink(dev.pages[1]);
    EXPECT_GT(ink2, 0);
    EXPECT_GT(ink3, ink2);
    EXPECT_FALSE(dev.printing());
    // The device's settings are not touched: the pages go as they are.
    EXPECT_TRUE(dev.applied.empty());
}

TEST(PrintMetafileDirect, ARangeBeyondTheDocumentGivesNoBlankSheets)
{
    QTemporaryDir tmp;
    saveReport(tmp.filePath("r.trp"), 4);
    FakePrinterDevice dev;
    UseDevice use(&dev);
    RpPrinter p;
    p.load(tmp.filePath("r.trp"));
    struct Case {
        int from, to;
        size_t pages;
    };
    for (const Case c : {Case{3, 9, 2}, Case{0, 1, 1}, Case{-5, 0, 0}, Case{5, 9, 0}, Case{3, 2, 0}}) {
        dev.log.clear();
        dev.pages.clear();
        p.printMetafileDirect({}, c.from, c.to);
        EXPECT_EQ(dev.pages.size(), c.pages) << c.from << ".." << c.to;
        for (const QImage &img : dev.pages)
            EXPECT_GT(ink(img), 0) << c.from << ".." << c.to;
        if (c.pages == 0) {
            EXPECT_TRUE(dev.log.isEmpty()) << c.from << ".." << c.to << ": " << dev.log.join(' ').toStdString();
        }
    }
}

TEST(PrintMetafileDirect, APageThatCannotBePlayedEndsTheJob)
{
    QTemporaryDir tmp;
    saveReport(tmp.filePath("r.trp"), 3, 2);
    FakePrinterDevice dev;
    UseDevice use(&dev);
    RpPrinter p;
    p.load(tmp.filePath("r.trp"));
    EXPECT_THROW(p.printMetafileDirect({}, 1, 3), RpError);
    EXPECT_FALSE(dev.printing());
    ASSERT_FALSE(dev.log.isEmpty());
    EXPECT_EQ(dev.log.back(), "AbortDoc");
    // The printer takes the next job.
    dev.log.clear();
    p.printMetafileDirect({}, 3, 3);
    EXPECT_EQ(dev.log, QStringList({"StartDoc", "StartPage", "EndPage", "EndDoc"}));
}

class DirectToPdf : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!haveProgram("pdftotext") || !haveProgram("pdfinfo"))
            GTEST_SKIP() << "pdftotext and pdfinfo (poppler-utils) are needed";
        saveReport(tmp.filePath("r.trp"), 4);
    }
    struct Printed {
        QString pdf;
        int dpi = 0, width = 0, height = 0, offsetX = 0, offsetY = 0; // device pixels
    };
    Printed print(const QString &name, int from, int to, double left = 0, double top = 0)
    {
        Printed out;
        out.pdf = tmp.filePath(name);
        QtPrinterDevice dev;
        dev.setOutputFileName(out.pdf);
        UseDevice use(&dev);
        RpPrinter p;
        p.load(tmp.filePath("r.trp"));
        p.setDpLeftMargin(left);
        p.setDpTopMargin(top);
        p.printMetafileDirect({}, from, to);
        out.dpi = dev.deviceCaps(gdi::LOGPIXELSX);
        out.width = dev.deviceCaps(gdi::HORZRES);
        out.height = dev.deviceCaps(gdi::VERTRES);
        out.offsetX = dev.deviceCaps(gdi::PHYSICALOFFSETX);
        out.offsetY = dev.deviceCaps(gdi::PHYSICALOFFSETY);
        return out;
    }
    QTemporaryDir tmp;
};

TEST_F(DirectToPdf, PagesOfTheRangeKeepTheirText)
{
    const Printed out = print("range.pdf", 2, 3);
    ASSERT_EQ(pdfPageCount(out.pdf), 2);
    const QString first = pdfPageText(out.pdf, 1), second = pdfPageText(out.pdf, 2);
    EXPECT_TRUE(first.contains("Tovrel page 2 xxxxxx")) << first.toStdString();
    EXPECT_FALSE(first.contains("page 3")) << first.toStdString();
    EXPECT_TRUE(second.contains("Tovrel page 3 xxxxxxxxx")) << second.toStdString();
}

TEST_F(DirectToPdf, MarginsMoveThePageIntoTheRestOfThePrintableArea)
{
    const Printed plain = print("plain.pdf", 1, 1);
    // One inch from the left, half an inch from the top.
    const Printed moved = print("moved.pdf", 1, 1, 254, 127);
    const QPointF a = pdfWordAt(plain.pdf, 1, "Tovrel"), b = pdfWordAt(moved.pdf, 1, "Tovrel");
    ASSERT_GE(a.x(), 0);
    ASSERT_GE(b.x(), 0);
    // The page is stretched from the margin to the printable area's right
    // and bottom edges: in points, from the printable area's corner.
    const double pt = 72.0 / plain.dpi;
    const double ox = plain.offsetX * pt, oy = plain.offsetY * pt;
    const double w = plain.width * pt, h = plain.height * pt;
    const double left = 72, top = 36;
    EXPECT_NEAR(b.x() - ox, left + (a.x() - ox) * (w - left) / w, 1.5);
    EXPECT_NEAR(b.y() - oy, top + (a.y() - oy) * (h - top) / h, 1.5);
}
TEST_F(DirectToPdf, WorksheetCharactersKeepTheirText)
{
    if (QFontDatabase::families(QFontDatabase::TraditionalChinese).isEmpty())
        GTEST_SKIP() << "no Chinese font is installed";
    // The worksheet faces, or the Kai faces standing in for them.
    MetafileRecorder rec(794, 1123);
    gdi::LogFont f;
    f.height = -64;
    f.faceName = QString::fromUtf8("華康標楷筆順體");
    rec.setFont(f);
    rec.setBkMode(gdi::TRANSPARENT);
    rec.extTextOut(96, 96, 0, nullptr, QString::fromUtf8("變儲"));
    f.faceName = QString::fromUtf8("華康標楷虛線體");
    rec.setFont(f);
    rec.extTextOut(96, 300, 0, nullptr, QString::fromUtf8("姓名："));
    RpPageList list;
    list.setStream(std::make_unique<RpStream>());
    list.addPage(rec.finish().bytes());
    list.finish();
    list.saveToFile(tmp.filePath("r.trp"));
    const Printed out = print("worksheet.pdf", 1, 1);
    const QString text = pdfPageText(out.pdf, 1);
    EXPECT_TRUE(text.contains(QString::fromUtf8("變儲"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QString::fromUtf8("姓名："))) << text.toStdString();
}
