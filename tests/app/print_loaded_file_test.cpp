// Print in the preview after a report file was loaded prints the file's
// recorded pages as they are: the worksheet is not generated again.
#include "../printer/fakeprinter.h"
#include "app/form73.h"
#include "platform/processwide.h"
#include "preview/previewinterface.h"
#include "preview/standardpreview.h"
#include "printer/rpprinter.h"
#include "report/customreport.h"
#include "testsupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPointer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

RpStandardPreview *openPreview()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *p = qobject_cast<RpStandardPreview *>(w); p && p->isVisible())
            return p;
    return nullptr;
}

// Opens the preview of layout 1 with `word` and waits for its page.
RpStandardPreview *previewOf(Form73 &form, const char *word)
{
    form.edit1()->setText(QString::fromUtf8(word));
    form.edit1Change();
    form.btnPrintClick();
    QPointer<RpStandardPreview> window = openPreview();
    QElapsedTimer t;
    t.start();
    while (window && (!window->reportPrinter() || window->reportPrinter()->status() != mpFinished) && t.elapsed() < 30000)
        processMessages();
    return window;
}

} // namespace

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
    {
        RpStandardPreview *window = previewOf(form, "變");
        ASSERT_TRUE(window);
        window->saveAs(trp, 1);
        ASSERT_TRUE(QFile::exists(trp));
        window->close();
        processMessages();
    }
    RpStandardPreview *window = previewOf(form, "從");
    ASSERT_TRUE(window);
    int pagesStarted = 0;
    form.report(1)->onStartPage = [&](CustomReport *) { ++pagesStarted; };

    // Print without a file: the report generates onto the printer again.
    window->printClick();
    processMessages();
    EXPECT_EQ(pagesStarted, 1);
    ASSERT_EQ(dev.pages.size(), 1u);
    const QImage generated = dev.pages[0];

    // Print after loading the file: its page, as recorded.
    ASSERT_TRUE(window->loadFile(trp));
    window->printClick();
    processMessages();
    EXPECT_EQ(pagesStarted, 1);
    ASSERT_EQ(dev.pages.size(), 2u);
    // The loaded page is the first word's sheet, not the one shown before.
    EXPECT_NE(dev.pages[1], generated);
    form.report(1)->onStartPage = nullptr;
    window->close();
    processMessages();
}
