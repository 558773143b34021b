// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Print in the preview after a report file was loaded prints the file's
// recorded pages as they are: the worksheet is not generated again.
#include "../printer/fakeprinter.h"
#include "app/form73.h"
#include "previewdriver.h"
#include "platform/processwide.h"
#include "preview/previewinterface.h"
#include "preview/standardpreview.h"
#include "printer/rpprinter.h"
#include "report/customreport.h"
#include "testsupport.h"

#include <QLineEdit>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(PrintLoadedFile, PrintsTheRecordedPagesWithoutGeneratingAgain)
{
    FakePrinterDevice dev;
    UseDevice use(&dev);
    testsupport::ScopedValue loaded(printerState().reportFileLoaded, false);
    startPreviewModule();
    Form73 form;
    form.formActivate();
    QTemporaryDir dir;
    const QString trp = dir.filePath(QStringLiteral("sheet.TRP"));

    // Save the sheet of one word, then show another.
    form.edit1()->setText(QString::fromUtf8("變"));
    form.edit1Change();
    ASSERT_TRUE(previewdriver::printAndRunInPreview(form, [&](RpStandardPreview *window) { window->saveAs(trp, 1); }));
    ASSERT_TRUE(QFile::exists(trp));
    form.edit1()->setText(QString::fromUtf8("從"));
    form.edit1Change();
    int pagesStarted = 0;
    QImage generated;
    const bool ran = previewdriver::printAndRunInPreview(form, [&](RpStandardPreview *window) {
        form.report(1)->onStartPage = [&](CustomReport *) { ++pagesStarted; };
        // Print without a file: the report generates onto the printer again.
        window->printClick();
        processMessages();
        EXPECT_EQ(pagesStarted, 1);
        ASSERT_EQ(dev.pages.size(), 1u);
        generated = dev.pages[0];

        // Print after loading the file: its page, as recorded.
        ASSERT_TRUE(window->loadFile(trp));
        window->printClick();
        processMessages();
        EXPECT_EQ(pagesStarted, 1);
        ASSERT_EQ(dev.pages.size(), 2u);
        // The loaded page is the first word's sheet, not the one shown before.
        EXPECT_NE(dev.pages[1], generated);
    });
    form.report(1)->onStartPage = nullptr;
    EXPECT_TRUE(ran);
}
