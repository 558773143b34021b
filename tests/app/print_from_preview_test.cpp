// The road of one print: the worksheet's Print opens the preview, the print
// dialog there picks a CUPS queue with two copies and page 1, and Print
// sends the sheet to the queue, where cups-pdf writes it as a PDF. The PDF
// is one A4 page that looks like the preview's page, with every grid line
// of the layout within 0.1 mm of where the layout puts it (the sheet is not
// shrunk to fit). Needs root to run cupsd; skipped elsewhere.
#include "../printer/cupsserver.h"
#include "app/form73.h"
#include "layouttables.h"
#include "platform/metafile.h"
#include "platform/paintercanvas.h"
#include "platform/processwide.h"
#include "preview/previewinterface.h"
#include "preview/printdialog.h"
#include "preview/processwide.h"
#include "preview/standardpreview.h"
#include "printer/printerdevice.h"
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
    std::optional<PrintDlgData> run(QWidget *, const PrintDlgData &request) override
    {
        ++shown;
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

RpStandardPreview *openPreview()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *p = qobject_cast<RpStandardPreview *>(w); p && p->isVisible())
            return p;
    return nullptr;
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
    form.btnPrintClick();
    RpStandardPreview *window = openPreview();
    ASSERT_TRUE(window);
    const QPointer<RpStandardPreview> alive(window);
    QElapsedTimer t;
    t.start();
    while (alive && (!window->reportPrinter() || window->reportPrinter()->status() != mpFinished) && t.elapsed() < 30000)
        processMessages();
    ASSERT_TRUE(alive);
    RpPrinter *shown = window->reportPrinter();
    ASSERT_TRUE(shown && shown->status() == mpFinished);
    ASSERT_EQ(shown->pageCount(), 1);
    const Metafile page = shown->getPage(1).value();

    dialog.device = kQueue;
    dialog.copies = 2;
    dialog.from = dialog.to = 1;
    window->printSetupClick();
    ASSERT_EQ(dialog.shown, 1);
    const std::set<int> before = jobIds(kQueue);
    window->printClick();
    const int id = newJob(kQueue, before);
    ASSERT_GT(id, 0);
    QString pdf;
    const Attributes done = waitCompleted(kQueue, id, &pdf);
    EXPECT_EQ(attr(done, "copies"), "2");
    EXPECT_EQ(attr(done, "job-impressions-completed"), "2");
    ASSERT_FALSE(pdf.isEmpty());
    ASSERT_EQ(pdfPageCount(pdf), 1);
    const QString info = QString::fromUtf8(run("pdfinfo", {pdf}));
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Page size:\\s+595(\\.\\d+)? x 84[12]"))))
        << info.toStdString();

    // The PDF looks like the preview's page: about as much ink at 96 dpi.
    QImage previewed(page.width(), page.height(), QImage::Format_RGB32);
    previewed.fill(Qt::white);
    {
        PainterCanvas canvas(&previewed, 96);
        page.play(canvas, {0, 0, page.width(), page.height()});
    }
    qint64 previewInk = 0;
    for (int y = 0; y < previewed.height(); ++y)
        for (int x = 0; x < previewed.width(); ++x)
            previewInk += qGray(previewed.pixel(x, y)) < 128;
    const qint64 printedInk = pdfPageInk(pdf, 1, tmp.filePath("ink"), 96);
    ASSERT_GT(previewInk, 1000);
    EXPECT_NEAR(double(printedInk) / double(previewInk), 1.0, 0.1) << printedInk << " dark pixels, preview " << previewInk;

    // At 254 dpi a pixel is 0.1 mm: every grid line lies within one pixel
    // of the layout's place.
    int code = 0;
    run("pdftoppm", {"-r", "254", "-gray", "-png", "-singlefile", pdf, tmp.filePath("grid")}, &code);
    const QImage grid(tmp.filePath("grid.png"));
    ASSERT_EQ(code, 0);
    ASSERT_EQ(grid.width(), 2100);
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
        EXPECT_NEAR(c, at + 1, 1.5) << s.name << ": the line lies at " << c / 10 << " mm, the layout says " << at / 10;
        ++checked;
    }
    EXPECT_GE(checked, 6);
    window->close();
}
