// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The road of one print: the worksheet's Print opens the preview, the print
// dialog there picks a CUPS queue with two copies and page 1, and Print
// sends the sheet to the queue, where cups-pdf writes it as a PDF. The PDF
// is one A4 page with every grid line of the layout within 0.1 mm of where
// the layout puts it (the sheet is not shrunk to fit). Needs root to run
// cupsd; skipped elsewhere.
#include "../printer/cupsserver.h"
#include "app/form73.h"
#include "previewdriver.h"
#include "layouttables.h"
#include "platform/messages.h"
#include "platform/metafile.h"
#include "platform/processwide.h"
#include "preview/pagepainting.h"
#include "preview/previewinterface.h"
#include "preview/printdialog.h"
#include "preview/processwide.h"
#include "preview/standardpreview.h"
#include "printer/printerdevice.h"
#include "printer/processwide.h"
#include "printer/rpprinter.h"
#include "report/customreport.h"
#include "testsupport.h"

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QPointer>

#include <algorithm>
#include <vector>

using namespace cupsserver;
using namespace expected;

namespace {

// The print dialog as a user answers it: the queue, copies, a page range.
struct AnsweringPrintDialog : PlatformPrintDialog {
    QString device;
    int copies = 1, from = 0, to = 0;
    int shown = 0;
    PrintDlgData last;
    std::optional<PrintDlgData> run(QWidget *, const PrintDlgData &request) override
    {
        ++shown;
        last = request;
        PrintDlgData d = request;
        d.deviceName = device;
        d.copies = copies;
        d.devMode.dmCopies = qint16(copies);
        if (from > 0) {
            d.flags |= PrintDlgData::PD_PAGENUMS;
            d.fromPage = quint16(from);
            d.toPage = quint16(to);
        }
        return d;
    }
};

// How far two pictures of the same page differ: both reduced to 1 pixel a
// millimetre (210 x 297), the share of those pixels whose greys differ by
// more than 40.
double differingShare(const QImage &a, const QImage &b)
{
    const QSize mm(210, 297);
    const QImage x = a.convertToFormat(QImage::Format_Grayscale8).scaled(mm, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QImage y = b.convertToFormat(QImage::Format_Grayscale8).scaled(mm, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    int n = 0;
    for (int r = 0; r < mm.height(); ++r)
        for (int c = 0; c < mm.width(); ++c)
            n += std::abs(int(x.constScanLine(r)[c]) - int(y.constScanLine(r)[c])) > 40;
    return double(n) / (mm.width() * mm.height());
}

// Rows (or columns) of a grey picture at `dpi`, darker than 200, in a band
// of +- `reach` pixels around `at`, crossing the line at `across`; the mean
// position of the dark ones, or -1 without any.
double darkCentre(const QImage &img, bool horizontal, int at, int across, int reach)
{
    double sum = 0;
    int n = 0;
    for (int d = -reach; d <= reach; ++d) {
        const int p = at + d;
        const int x = horizontal ? across : p, y = horizontal ? p : across;
        if (x < 0 || y < 0 || x >= img.width() || y >= img.height())
            continue;
        if (qGray(img.pixel(x, y)) < 200) {
            sum += p;
            ++n;
        }
    }
    return n ? sum / n : -1;
}

class PrintFromPreview : public CupsPrint {
protected:
    void SetUp() override
    {
        CupsPrint::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        startPreviewModule();
        systemPrinter().refresh();
        ASSERT_TRUE(systemPrinter().printers().contains(kQueue));
    }
    AnsweringPrintDialog dialog;
    testsupport::ScopedValue<PlatformPrintDialog *> useDialog{previewState().printDialog, &dialog};
};

} // namespace

TEST_F(PrintFromPreview, TheSheetReachesTheQueueAtItsSizeWithCopiesAndRange)
{
    Form73 form;
    form.formActivate();
    form.edit1()->setText(QString::fromUtf8("變"));
    form.edit1Change();
    dialog.device = kQueue;
    dialog.copies = 2;
    dialog.from = dialog.to = 1;
    std::optional<Metafile> page;
    std::set<int> before;
    const bool ran = previewdriver::printAndRunInPreview(form, [&](RpStandardPreview *window) {
        RpPrinter *shown = window->reportPrinter();
        ASSERT_EQ(shown->pageCount(), 1);
        page = shown->getPage(1);
        const std::set<int> atSetup = jobIds(kQueue);
        window->printSetupClick();
        ASSERT_EQ(dialog.shown, 1);
        // The dialog is asked for a setup: it confirms with "OK", and
        // nothing prints until Print.
        EXPECT_TRUE(dialog.last.setupOnly);
        EXPECT_EQ(jobIds(kQueue), atSetup);
        before = jobIds(kQueue);
        int started = 0;
        form.report(1)->onStartPage = [&](CustomReport *) { ++started; };
        window->printClick();
        form.report(1)->onStartPage = nullptr;
        EXPECT_EQ(started, 1) << "Print did not generate the sheet onto the printer";
    });
    ASSERT_TRUE(ran) << "no preview";
    ASSERT_TRUE(page);
    const int id = newJob(kQueue, before);
    ASSERT_GT(id, 0);
    QString pdf;
    const Attributes done = waitCompleted(kQueue, id, &pdf);
    EXPECT_EQ(attr(done, "copies"), "2");
    EXPECT_EQ(attr(done, "job-impressions-completed"), "2");
    // The report has no title: the job is named after the sheet.
    EXPECT_EQ(attr(done, "job-name"), QStringLiteral("Tovrel 變"));
    ASSERT_FALSE(pdf.isEmpty());
    ASSERT_EQ(pdfPageCount(pdf), 1);
    const QString info = QString::fromUtf8(run("pdfinfo", {pdf}));
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Page size:\\s+595(\\.\\d+)? x 84[12]"))))
        << info.toStdString();

    // At 254 dpi a pixel is 0.1 mm: every grid line lies within one pixel
    // of the layout's place.
    int code = 0;
    run("pdftoppm", {"-r", "254", "-gray", "-png", "-singlefile", pdf, tmp.filePath("grid")}, &code);
    const QImage grid(tmp.filePath("grid.png"));
    ASSERT_EQ(code, 0);
    ASSERT_EQ(grid.width(), 2100);

    // The printed page looks like the preview's: the page played at the
    // same resolution, compared a millimetre at a time.
    const QImage shown = pagepainting::playPage(*page, grid.size());
    const double differs = differingShare(shown, grid);
    EXPECT_LT(differs, 0.02) << "the printed page differs from the preview's in " << differs * 100 << " % of it";
    // The comparison tells pages apart: the sheet moved by 2 mm is far off.
    const double shifted = differingShare(shown, shown.copy(20, 20, shown.width(), shown.height()));
    EXPECT_GT(shifted, 0.05) << "moved by 2 mm the sheet differs in only " << shifted * 100 << " %";
    CustomReport *report = form.report(1);
    const double left = report->page()->nativeValue(RpPage::LeftMarginIdx);
    const double top = report->page()->nativeValue(RpPage::TopMarginIdx);
    int checked = 0;
    for (const ExpectedShape &s : kShapes1) {
        const bool horizontal = s.height < 1 && s.width > 20;
        const bool vertical = s.width < 1 && s.height > 20;
        if (!horizontal && !vertical)
            continue;
        // The line's place (its top or left edge), measured at five points
        // along it; the median keeps a glyph beside the line out.
        const double at = horizontal ? top + s.top * 10 : left + s.left * 10;
        std::vector<double> found;
        for (double f : {0.1, 0.3, 0.5, 0.7, 0.9}) {
            const int across = int(horizontal ? left + (s.left + s.width * f) * 10 : top + (s.top + s.height * f) * 10);
            found.push_back(darkCentre(grid, horizontal, int(at), across, 8));
        }
        std::sort(found.begin(), found.end());
        const double c = found[2];
        ASSERT_GE(c, 0) << s.name << " is not on the sheet";
        // The middle of the line: its top (or left) edge plus half its width.
        const double middle = at + (horizontal ? s.height : s.width) * 10 / 2;
        EXPECT_NEAR(c, middle, 1.0) << s.name << ": the line lies at " << c / 10 << " mm, the layout says " << at / 10;
        ++checked;
    }
    EXPECT_GE(checked, 6);
}

// A report file shown in the preview on its own (as "trp view" does): the
// dialog's copies and pages 2 to 3 of 4 reach the job.
TEST_F(PrintFromPreview, CopiesAndPageRangeOfALoadedFileReachTheJob)
{
    const QString trp = tmp.filePath("four.trp");
    saveReport(trp, 4);
    RpPrinter printer;
    QPointer<RpStandardPreview> window = new RpStandardPreview(nullptr, &printer);
    window->showPreview();
    ASSERT_TRUE(window->loadFile(trp));
    ASSERT_EQ(printer.pageCount(), 4);
    dialog.device = kQueue;
    dialog.copies = 2;
    dialog.from = 2;
    dialog.to = 3;
    window->printSetupClick();
    ASSERT_EQ(dialog.shown, 1);
    // The queue holds the job, so the document it received can be read
    // from its spool.
    run("cupsdisable", {kQueue});
    const std::set<int> before = jobIds(kQueue);
    window->printClick();
    processMessages();
    const int id = newJob(kQueue, before);
    ASSERT_GT(id, 0);
    const QString spooled = QStringLiteral("%1/d%2-001").arg(kSpool).arg(id, 5, 10, QLatin1Char('0'));
    const QString sent = tmp.filePath("sent.pdf");
    ASSERT_TRUE(QFile::copy(spooled, sent)) << spooled.toStdString();
    run("cupsenable", {kQueue});
    ASSERT_EQ(pdfPageCount(sent), 2);
    EXPECT_TRUE(pdfPageText(sent, 1).contains("Tovrel page 2 "));
    EXPECT_TRUE(pdfPageText(sent, 2).contains("Tovrel page 3 "));
    const Attributes done = waitCompleted(kQueue, id);
    EXPECT_EQ(attr(done, "copies"), "2");
    EXPECT_EQ(attr(done, "job-impressions-completed"), "4");
    delete window.data();
    printerState().reportFileLoaded = false;
}
