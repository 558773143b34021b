// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A worksheet generates one recorded page: its title band once, on page 1
// at the top margin, with the word, the heading and every grid line where the
// layout tables put them.
#include "../printer/fakeprinter.h"
#include "app/form73.h"
#include "layouttables.h"
#include "platform/metafile.h"
#include "platform/paintercanvas.h"
#include "printer/pageoutput.h"
#include "printer/rpprinter.h"
#include "report/customreport.h"
#include "report/rpband.h"
#include "report/rpprintable.h"

#include <QCoreApplication>
#include <QImage>
#include <QLineEdit>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <span>

namespace {

using namespace expected;

struct Layout {
    std::span<const ExpectedShape> shapes;
    const char *word;
};
const Layout kLayouts[4] = {{kShapes1, "變"}, {kShapes2, "變壞"}, {kShapes3, "病從口"}, {kShapes4, "病從口入"}};

class WorksheetGeneration : public ::testing::Test {
protected:
    void SetUp() override
    {
        noPrinter.names.clear();
        form.formActivate();
    }
    void type(const char *word)
    {
        form.edit1()->setText(QString::fromUtf8(word));
        form.edit1Change();
    }
    FakePrinterDevice noPrinter;
    UseDevice useNoPrinter{&noPrinter};
    Form73 form;
};

TEST_F(WorksheetGeneration, OnePageWithTheTitleBandAtTheTopMargin)
{
    for (int layout = 1; layout <= 4; ++layout) {
        SCOPED_TRACE(layout);
        type(kLayouts[layout - 1].word);
        CustomReport *report = form.report(layout);
        RpCustomBand *title = report->bands()->titleBand();
        ASSERT_TRUE(title);
        int titleY = -2, titlePage = -2, newPages = 0;
        title->afterPrint = [&](RpCustomBand *, bool printed) {
            EXPECT_TRUE(printed);
            titleY = report->currentY();
            titlePage = report->pageNumber();
        };
        report->onStartPage = [&](CustomReport *) { ++newPages; };
        report->prepare();
        title->afterPrint = nullptr;
        report->onStartPage = nullptr;

        RpPrinter *printer = report->reportPrinter();
        ASSERT_TRUE(printer);
        EXPECT_EQ(printer->status(), mpFinished);
        EXPECT_EQ(printer->pageCount(), 1);
        EXPECT_EQ(printer->availablePages(), 1);
        EXPECT_EQ(newPages, 1);
        EXPECT_TRUE(report->available());
        EXPECT_EQ(titlePage, 1);
        const double top = report->page()->nativeValue(RpPage::TopMarginIdx);
        EXPECT_EQ(titleY, rpRound(top + title->size()->nativeValue(RpBandSize::HeightIdx)));

        // The page's text: the word in its cells and the heading.
        const Metafile page = printer->getPage(1).value();
        QStringList texts;
        for (const auto &t : page.textRecords())
            texts << t.text;
        for (QChar c : QString::fromUtf8(kLayouts[layout - 1].word))
            EXPECT_TRUE(texts.contains(QString(c))) << QString(c).toStdString();
        if (layout == 1) {
            EXPECT_EQ(texts.count(QString::fromUtf8("班別：")), 2);
            EXPECT_EQ(texts.count(QString::fromUtf8("姓名：")), 2);
        }

        // Played at 96 dpi, every grid line is inked on the pixel row the
        // layout table gives (its top edge from the page's corner), as the
        // design surface shows it.
        const QImage image = playPage(page, 96);
        const double left = report->page()->nativeValue(RpPage::LeftMarginIdx);
        const double f = 96 / 254.0;
        for (const ExpectedShape &s : kLayouts[layout - 1].shapes) {
            // The outline's top edge runs from its left column to the one
            // before its right edge.
            const int L = rpRound((left + s.left * 10) * f), R = rpRound((left + (s.left + s.width) * 10) * f);
            const int x = L + std::max(0, (R - L - 1) / 2);
            const int y = rpRound((top + s.top * 10) * f);
            EXPECT_NE(image.pixel(x, y), qRgb(255, 255, 255)) << s.name << " at " << x << "," << y;
            // The same pixel on the design surface: the band's top plus the
            // shape's own.
            const auto *shape = title->findChild<RpPrintable *>(QString::fromLatin1(s.name));
            ASSERT_TRUE(shape) << s.name;
            EXPECT_EQ(title->y() + shape->y(), y) << s.name;
        }

        // Recorded without a printer and drawn at 300 dpi, every side of
        // every grid shape is on the page where the layout puts it, the
        // 0.2 mm dividers between model cells as much as the rest.
        const QImage fine = playPage(page, 300);
        const double g = 300 / 254.0;
        auto inked = [&](int x0, int x1, int y0, int y1) {
            for (int y = std::max(y0, 0); y <= std::min(y1, fine.height() - 1); ++y)
                for (int x = std::max(x0, 0); x <= std::min(x1, fine.width() - 1); ++x) {
                    const QRgb p = fine.pixel(x, y);
                    if (std::min({qRed(p), qGreen(p), qBlue(p)}) < 200)
                        return true;
                }
            return false;
        };
        for (const ExpectedShape &s : kLayouts[layout - 1].shapes) {
            const double L = (left + s.left * 10) * g, R = (left + (s.left + s.width) * 10) * g;
            const double T = (top + s.top * 10) * g, B = (top + (s.top + s.height) * 10) * g;
            const int xm = int((L + R) / 2), ym = int((T + B) / 2);
            // A few pixels along each side: a dotted side has gaps.
            EXPECT_TRUE(inked(int(L) - 1, int(L) + 1, ym - 3, ym + 3)) << s.name << ": left side at x " << L;
            EXPECT_TRUE(inked(int(std::ceil(R)) - 2, int(std::ceil(R)), ym - 3, ym + 3))
                << s.name << ": right side at x " << R;
            EXPECT_TRUE(inked(xm - 3, xm + 3, int(T) - 1, int(T) + 1)) << s.name << ": top side at y " << T;
            EXPECT_TRUE(inked(xm - 3, xm + 3, int(std::ceil(B)) - 2, int(std::ceil(B))))
                << s.name << ": bottom side at y " << B;
        }
    }
}

} // namespace
