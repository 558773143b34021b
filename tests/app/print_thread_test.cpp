// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Printing on another thread: the worksheets' title bands print into
// recorded pages on a worker thread while the user-interface thread paints
// the window, and come out byte for byte as printed on the user-interface
// thread. A widget touched from the print path off that thread is caught,
// and a stored size that printing changes reaches the widget on its own
// thread. (Also run under ThreadSanitizer by scripts/test.)
#include "../printer/fakeprinter.h"
#include "app/form73.h"
#include "controls/rplabel.h"
#include "platform/guithread.h"
#include "platform/processwide.h"
#include "printer/rpprinter.h"
#include "report/customreport.h"
#include "report/reportrun.h"
#include "report/rpband.h"
#include "report/rpprinterdevice.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QImage>
#include <QLineEdit>
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// The title band of each layout, printed where generation puts it: at the
// page's top and left margins, one recorded page per layout.
std::vector<QByteArray> printTitleBands(Form73 &form, std::vector<std::unique_ptr<RpPrinter>> &printers)
{
    std::vector<QByteArray> pages;
    for (int layout = 1; layout <= 4; ++layout) {
        CustomReport *report = form.report(layout);
        RpPrinter &printer = *printers[size_t(layout - 1)];
        RpPrinterPageDevice device(printer);
        printer.beginDoc();
        printer.newPage();
        {
            RpReportRun run(*report, device);
            const int x = rpRound(report->page()->nativeValue(RpPage::LeftMarginIdx));
            const int y = rpRound(report->page()->nativeValue(RpPage::TopMarginIdx));
            const QList<RpPrintable *> controls = report->bands()->titleBand()->printables();
            for (RpPrintable *p : controls)
                p->beginPrinting(run);
            for (RpPrintable *p : controls)
                p->printAt(run, x, y);
            for (RpPrintable *p : controls)
                p->endPrinting();
        }
        printer.endDoc();
        pages.push_back(printer.getPage(1).value().bytes());
    }
    return pages;
}

std::vector<std::unique_ptr<RpPrinter>> fourPrinters()
{
    std::vector<std::unique_ptr<RpPrinter>> out;
    for (int i = 0; i < 4; ++i)
        out.push_back(std::make_unique<RpPrinter>());
    return out;
}

class PrintThread : public ::testing::Test {
protected:
    FakePrinterDevice noPrinter;
    UseDevice useNoPrinter{&noPrinter};
};

TEST_F(PrintThread, WorksheetTitleBandsPrintOnAWorkerWhileTheWindowPaints)
{
    noPrinter.names.clear();
    // The window is painted by render() rather than shown: the platform's
    // compositing of a shown window runs in Qt's own thread pool, which the
    // sanitizer cannot see into.
    Form73 form;
    form.resize(1360, 1125);
    form.formActivate();
    form.edit1()->setText(QString::fromUtf8("病從口入"));
    form.edit1Change();
    QCoreApplication::processEvents();

    auto guiPrinters = fourPrinters();
    const std::vector<QByteArray> onGui = printTitleBands(form, guiPrinters);
    ASSERT_EQ(onGui.size(), 4u);

    auto workerPrinters = fourPrinters();
    std::vector<QByteArray> onWorker;
    // The worker starts printing once the window has begun to paint, so the
    // two overlap; the window goes on painting until the worker is done.
    std::atomic<bool> painting = false, done = false;
    std::thread worker([&] {
        while (!painting)
            std::this_thread::yield();
        onWorker = printTitleBands(form, workerPrinters);
        done = true;
    });
    QImage window(form.size(), QImage::Format_ARGB32_Premultiplied);
    do {
        painting = true;
        form.render(&window); // paints every report, band and cell
        QCoreApplication::processEvents();
    } while (!done);
    worker.join();
    QCoreApplication::processEvents();

    ASSERT_EQ(onWorker.size(), 4u);
    for (size_t i = 0; i < 4; ++i)
        EXPECT_TRUE(onWorker[i] == onGui[i]) << "layout " << i + 1 << " differs";
}

TEST_F(PrintThread, AWidgetCallOffTheInterfaceThreadIsCaughtAndLeftUndone)
{
    Report report;
    report.bands()->setHasTitle(true);
    auto *label = new RpLabel(report.bands()->titleBand());
    label->setBounds(10, 10, 50, 20);
    const QRect before = label->geometry();

    std::mutex lock;
    std::vector<std::string> caught;
    testsupport::ScopedValue<GuiThreadViolationHandler> recording(
        platformState().guiThreadViolation, [&](const char *what) {
            std::lock_guard<std::mutex> guard(lock);
            caught.emplace_back(what);
        });
    std::thread worker([&] {
        label->applyBounds(0, 0, 300, 300);
        report.applyBounds(0, 0, 10, 10);
    });
    worker.join();
    ASSERT_EQ(caught.size(), 2u);
    EXPECT_EQ(caught[0], "a printable control's widget bounds");
    EXPECT_EQ(label->geometry(), before);
}

TEST_F(PrintThread, AStoredSizeThatPrintingChangesReachesTheWidgetOnItsOwnThread)
{
    Report report;
    report.bands()->setHasTitle(true);
    auto *label = new RpLabel(report.bands()->titleBand());
    label->setAutoSize(true);
    label->setCaption(QStringLiteral("W"));
    label->setBounds(10, 10, label->width(), label->height());
    const int narrow = label->width();

    std::mutex lock;
    std::vector<std::string> caught;
    testsupport::ScopedValue<GuiThreadViolationHandler> recording(
        platformState().guiThreadViolation, [&](const char *what) {
            std::lock_guard<std::mutex> guard(lock);
            caught.emplace_back(what);
        });
    // Printing a longer caption: the label widens to it while printing.
    label->onPrint = [](RpCustomLabel *, QString &text) { text = QStringLiteral("WWWWWWWW"); };
    RpPrinter printer;
    RpPrinterPageDevice device(printer);
    std::thread worker([&] {
        printer.beginDoc();
        printer.newPage();
        RpReportRun run(report, device);
        label->beginPrinting(run);
        label->printAt(run, 100, 100);
        label->endPrinting();
        printer.endDoc();
    });
    worker.join();
    EXPECT_TRUE(caught.empty()) << caught.front();
    const int wide = label->pixelBounds().width;
    EXPECT_GT(wide, narrow);
    EXPECT_EQ(label->width(), narrow); // the widget has not moved yet
    QCoreApplication::processEvents();
    EXPECT_EQ(label->width(), wide); // now it has, on this thread
}

} // namespace
