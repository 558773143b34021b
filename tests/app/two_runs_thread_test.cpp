// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Two different reports generate at the same time, each on a thread of its
// own, and give the pages they give one after the other. (Also run under
// ThreadSanitizer by scripts/test.)
#include "../printer/fakeprinter.h"
#include "../samplerreport.h"
#include "app/form73.h"
#include "printer/rppagelist.h"
#include "printer/rpprinter.h"
#include "report/processwide.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QLocale>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace {

std::vector<QByteArray> pagesOf(RpPrinter *printer)
{
    std::vector<QByteArray> out;
    if (printer)
        for (int n = 1; n <= printer->pageCount(); ++n)
            out.push_back(printer->pageList()->getPage(n).value_or(QByteArray()));
    return out;
}

TEST(TwoRunsThread, TwoReportsGenerateAtOnceAndGiveThePagesTheyGiveOneAfterTheOther)
{
    FakePrinterDevice noPrinter;
    noPrinter.names.clear();
    UseDevice use(&noPrinter);
    testsupport::ScopedValue<std::optional<bool>> metric{reportState().usMeasurement, false};
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));

    Form73 form;
    form.formActivate();
    form.edit1()->setText(QStringLiteral("病從口入"));
    form.edit1Change();
    CustomReport *sheet = form.report(4);
    const std::unique_ptr<RpMemoryTable> rows = sampler::records(90);
    const std::unique_ptr<Report> sample = sampler::report(*rows);
    const std::vector<CustomReport *> reports{sheet, sample.get()};

    // One after the other, on this thread.
    std::vector<std::vector<QByteArray>> alone;
    for (CustomReport *r : reports) {
        r->prepare();
        alone.push_back(pagesOf(r->reportPrinter()));
        ASSERT_FALSE(alone.back().empty());
    }
    ASSERT_GT(alone[1].size(), 1u);

    // At once: neither run goes past its first page until both have begun
    // (or a second has passed, so a run that never begins fails the
    // comparison instead of hanging the test).
    std::atomic<int> begun = 0;
    std::atomic<int> overlapped = 0;
    for (CustomReport *r : reports) {
        r->setShowProgress(false);
        r->setCreateInBGThread(true);
        r->onPreview = [](RpPrinter *) {}; // no window: the pages are read below
        r->onStartPage = [&](CustomReport *run) {
            if (run->pageNumber() != 1)
                return;
            ++begun;
            const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(1);
            while (begun < 2 && std::chrono::steady_clock::now() < until)
                std::this_thread::yield();
            if (begun == 2)
                ++overlapped;
        };
    }
    for (CustomReport *r : reports)
        r->preview(); // returns at once; the run goes on on its thread
    QElapsedTimer clock;
    clock.start();
    auto running = [&] {
        for (CustomReport *r : reports)
            if (!r->available() || r->backgroundRunning())
                return true;
        return false;
    };
    while (running() && clock.elapsed() < 120000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QCoreApplication::processEvents();
    ASSERT_FALSE(running());
    EXPECT_EQ(overlapped, 2) << "the two runs did not go at the same time";
    for (size_t i = 0; i < reports.size(); ++i) {
        EXPECT_FALSE(reports[i]->cancelled());
        const std::vector<QByteArray> together = pagesOf(reports[i]->reportPrinter());
        ASSERT_EQ(together.size(), alone[i].size()) << "report " << i;
        for (size_t n = 0; n < together.size(); ++n)
            EXPECT_TRUE(together[n] == alone[i][n]) << "report " << i << ", page " << n + 1;
    }
    QLocale::setDefault(QLocale::system());
}

} // namespace
