// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "emfbytes.h"
#include "fakeprinter.h"
#include "platform/canvas.h"
#include "platform/messages.h"
#include "platform/rperror.h"
#include "printer/printersettings.h"
#include "printer/rpprinter.h"
#include "printer/rpprinterparent.h"
#include "printer/rpprogressdialog.h"

#include <QBuffer>
#include <QPushButton>
#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include "testsupport.h"
#include "printer/processwide.h"
#include "printer/pageoutput.h"
#include "platform/metafile.h"
#include <gtest/gtest.h>

namespace {

struct FakeReport : RpPrinterParent {
    RpPrinterSettings settings;
    double width = 2100, length = 2970;
    bool progress = false;
    bool userCancel = false;
    int afterPrints = 0;
    const RpPrinterSettings &printerSettings() const override { return settings; }
    double pageWidthNative() const override { return width; }
    double pageLengthNative() const override { return length; }
    bool showProgress() const override { return progress; }
    void setUserCancel(bool c) override { userCancel = c; }
    void afterPrint() override { ++afterPrints; }
    bool exporting() const override { return false; }
};

// Records the messages posted to it.
class Inbox : public QObject {
public:
    std::vector<std::pair<int, quintptr>> got;
    bool event(QEvent *e) override
    {
        if (const RpMessageEvent *m = RpMessageEvent::from(e)) {
            got.emplace_back(m->message(), m->wParam());
            return true;
        }
        return QObject::event(e);
    }
    std::vector<quintptr> values(int message) const
    {
        std::vector<quintptr> v;
        for (const auto &[m, w] : got)
            if (m == message)
                v.push_back(w);
        return v;
    }
};

// Catches the progress messages whatever window receives them.
class ProgressSpy : public QObject {
public:
    std::vector<quintptr> values;
    ProgressSpy() { qApp->installEventFilter(this); }
    ~ProgressSpy() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (const RpMessageEvent *m = RpMessageEvent::from(e))
            if (m->message() == CM_REPORTPROGRESS)
                values.push_back(m->wParam());
        return false;
    }
};

// Draws a label-like mark on every page: a filled box at (100, 100) 0.1 mm.
void drawPage(RpPrinter &p, int n)
{
    Canvas *c = p.canvas();
    ASSERT_NE(c, nullptr);
    c->fillRect(gdi::Rect{p.xPos(100), p.yPos(100), p.xPos(100) + p.xSize(50 + n * 10), p.yPos(100) + p.ySize(50)},
                gdi::LogBrush{gdi::BS_SOLID, gdi::rgb(0, 0, 0), 0});
}

void generate(RpPrinter &p, int pages)
{
    p.beginDoc();
    for (int i = 1; i <= pages; ++i) {
        p.newPage();
        drawPage(p, i);
    }
    p.endDoc();
}

} // namespace

TEST(RpPrinter, RecordsPagesAtAPrintingResolution)
{
    FakePrinterDevice dev;
    UseDevice use(&dev);
    RpPrinter p;
    EXPECT_TRUE(p.printerOK());
    EXPECT_EQ(p.status(), mpReady);
    EXPECT_FALSE(p.getPage(1));
    EXPECT_EQ(p.xSize(2100), 794);
    EXPECT_EQ(p.ySize(2970), 1123);
    EXPECT_EQ(p.paperWidthValue(), 2100);
    EXPECT_EQ(p.paperLengthValue(), 2970);
    // Recording: no unprintable margin, whatever the device says.
    EXPECT_EQ(p.leftWaste(), 0);
    EXPECT_EQ(p.xPos(0), 0);
    Inbox inbox;
    p.setClient(&inbox);
    generate(p, 3);
    EXPECT_EQ(p.status(), mpFinished);
    EXPECT_EQ(p.pageCount(), 3);
    processMessages();
    EXPECT_EQ(inbox.values(CM_PAGEAVAILABLE), (std::vector<quintptr>{1, 2, 3}));
    // A4 at 600 pixels an inch, its header saying so: a line of a fraction
    // of a screen pixel is on the page.
    const auto page = p.getPage(2);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->width(), 4961);
    EXPECT_EQ(page->height(), 7016);
    EXPECT_NEAR(page->pixelsPerInchX(), 600, 0.01);
    EXPECT_EQ(p.xSize(2100), 4961);
    EXPECT_FALSE(p.getPage(0));
    EXPECT_FALSE(p.getPage(4));

    // An export run measures its items in screen pixels, and so records.
    struct Exporting : FakeReport {
        bool exporting() const override { return true; }
    } report;
    RpPrinter e(&report);
    generate(e, 1);
    EXPECT_EQ(e.xSize(2100), 794);
}

TEST(RpPrinter, DocumentStateErrors)
{
    FakePrinterDevice dev;
    UseDevice use(&dev);
    RpPrinter p;
    try {
        p.newPage();
        ADD_FAILURE();
    } catch (const RpError &e) {
        EXPECT_EQ(e.message(), "Illegal call to NewPage");
        EXPECT_EQ(e.kind(), RpErrorKind::BadArgument);
    }
    p.beginDoc();
    try {
        p.beginDoc();
        ADD_FAILURE();
    } catch (const RpError &e) {
        EXPECT_EQ(e.message(), "Report printer not ready");
    }
    // A document without a page: nothing recorded, still finished, and no
    // page announced that does not exist.
    Inbox inbox;
    p.setClient(&inbox);
    p.endDoc();
    EXPECT_EQ(p.status(), mpFinished);
    EXPECT_EQ(p.pageCount(), 0);
    processMessages();
    EXPECT_TRUE(inbox.values(CM_PAGEAVAILABLE).empty());
    EXPECT_FALSE(p.getPage(1));
    p.cleanup();
    EXPECT_EQ(p.status(), mpReady);
}

TEST(RpPrinter, PrinterDestinationHonoursThePrintRange)
{
    FakePrinterDevice dev;
    UseDevice use(&dev);
    RpPrinter p;
    p.setDestination(rpdPrinter);
    p.setFirstPage(2);
    p.setLastPage(3);
    Inbox inbox;
    p.setClient(&inbox);
    p.setTitle("job");
    generate(p, 5);
    EXPECT_EQ(p.status(), mpFinished);
    EXPECT_EQ(p.pageCount(), 5);
    EXPECT_EQ(dev.pages.size(), 2u); // pages 2 and 3 only reached the device
    EXPECT_EQ(dev.log, (QStringList{"StartDoc", "StartPage", "EndPage", "StartPage", "EndPage", "EndDoc"}));
    EXPECT_EQ(dev.title, "job");
    processMessages();
    EXPECT_EQ(inbox.values(CM_PAGEAVAILABLE), (std::vector<quintptr>{1, 2, 3, 4, 5}));
    // Device pixels at the device's resolution, less the unprintable margin.
    EXPECT_EQ(p.leftWaste(), 51); // 12 px at 60 dpi
    EXPECT_EQ(p.xPos(51), 0);
    // The mark was drawn on the device page, inside the printable area.
    const QImage &img = dev.pages[0];
    EXPECT_EQ(img.pixel(p.xPos(100) + 1, p.yPos(100) + 1), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(img.width() - 2, img.height() - 2), qRgb(255, 255, 255));
}

TEST(RpPrinter, PrintsRecordedPagesWithProgress)
{
    FakePrinterDevice dev;
    UseDevice use(&dev);
    FakeReport report;
    report.progress = true;
    RpPrinter p(&report);
    generate(p, 5);
    p.setFirstPage(3);
    p.setLastPage(4);
    ProgressSpy spy;
    p.print();
    processMessages();
    EXPECT_EQ(spy.values, (std::vector<quintptr>{50, 100}));
    EXPECT_EQ(dev.pages.size(), 2u);
    EXPECT_EQ(dev.log.first(), "StartDoc");
    EXPECT_EQ(dev.log.last(), "EndDoc");
    EXPECT_EQ(report.afterPrints, 1);
    ASSERT_TRUE(p.progressWindow());
    EXPECT_EQ(p.progressWindow()->windowTitle(), "Printing progress");
    EXPECT_EQ(p.progressWindow()->text(), "100%  Completed");
    EXPECT_FALSE(p.progressWindow()->isVisible());
    // The whole sheet maps onto the device with the margin outside: the mark
    // at 10 mm lands 10 mm - 5.08 mm into the printable area.
    const int x = int((100 - 51) * 60 / 254.0) + 1, y = x;
    EXPECT_EQ(dev.pages[0].pixel(x + 1, y + 1), qRgb(0, 0, 0));
    EXPECT_EQ(dev.pages[0].pixel(1, 1), qRgb(255, 255, 255));
    // Copies and settings went to the device before the document.
    ASSERT_FALSE(dev.applied.empty());
    EXPECT_EQ(dev.applied.back().dmPaperSize, 9);
}

TEST(RpPrinter, PrintRangeBeyondTheDocumentGivesNoBlankSheets)
{
    FakePrinterDevice dev;
    UseDevice use(&dev);
    FakeReport report;
    report.progress = true;
    RpPrinter p(&report);
    generate(p, 4);
    p.setFirstPage(3);
    p.setLastPage(9);
    ProgressSpy spy;
    p.print();
    processMessages();
    EXPECT_EQ(dev.pages.size(), 2u);
    EXPECT_EQ(spy.values, (std::vector<quintptr>{50, 100}));
    // A range that holds none of the pages starts no job.
    dev.log.clear();
    dev.pages.clear();
    p.setFirstPage(5);
    p.print();
    EXPECT_TRUE(dev.log.isEmpty()) << dev.log.join(", ").toStdString();
    EXPECT_TRUE(dev.pages.empty());
}

TEST(RpPrinter, CancelStopsPrintingAndAbortsTheJob)
{
    FakePrinterDevice dev;
    UseDevice use(&dev);
    FakeReport report;
    report.progress = true;
    RpPrinter p(&report);
    generate(p, 4);
    QMetaObject::invokeMethod(
        qApp, [&] { p.progressWindow()->cancelButton()->click(); }, Qt::QueuedConnection);
    p.print();
    EXPECT_TRUE(report.userCancel);
    EXPECT_TRUE(p.cancelled());
    EXPECT_TRUE(dev.log.contains("AbortDoc"));
    EXPECT_LT(dev.pages.size(), 4u);
    EXPECT_FALSE(dev.printing());
}

TEST(RpPrinter, PrintAsksTheReportToRegenerateUnlessLoaded)
{
    FakePrinterDevice dev;
    UseDevice use(&dev);
    RpPrinter p;
    Inbox master;
    p.setMaster(&master);
    generate(p, 1);
    p.print();
    processMessages();
    EXPECT_EQ(master.values(CM_PRINTREPORT).size(), 1u);
    EXPECT_TRUE(dev.pages.empty());
}

TEST(RpPrinter, SaveLoadAndPaperGuess)
{
    FakePrinterDevice dev;
    dev.papers = std::vector<int>{1, 8, 9, 256};
    UseDevice use(&dev);
    QTemporaryDir d;
    const QString path = d.filePath("r.trp");
    {
        RpPrinter p;
        p.setCompression(true);
        p.beginDoc();
        p.newPage();
        p.save(path); // not finished: nothing happens
        EXPECT_FALSE(QFile::exists(path));
        drawPage(p, 1);
        p.newPage();
        p.endDoc();
        p.save(path);
    }
    RpPrinter q;
    EXPECT_FALSE(q.compression());
    q.load(path);
    EXPECT_EQ(q.status(), mpFinished);
    EXPECT_TRUE(q.reportLoaded());
    EXPECT_TRUE(printerState().reportFileLoaded);
    EXPECT_EQ(q.pageCount(), 2);
    EXPECT_TRUE(q.compression());
    EXPECT_EQ(q.paperSize(), RpPaperSize::A4);
    EXPECT_EQ(q.orientation(), RpOrientation::poPortrait);
    ASSERT_TRUE(q.getPage(1));

    // A landscape A4 page: 297 x 210 mm.
    QByteArray emf = emftest::makeEmf("x", 1123, 794);
    RpPageList l;
    l.setStream(std::make_unique<RpStream>());
    l.addPage(emf);
    l.finish();
    const QString land = d.filePath("land.trp");
    l.saveToFile(land);
    q.load(land);
    EXPECT_EQ(q.paperSize(), RpPaperSize::A4);
    EXPECT_EQ(q.orientation(), RpOrientation::poLandscape);
    // Recorded at the screen's resolution (1123 x 794 pixels at 96 an inch),
    // it plays at 300 onto as much paper, to a pixel.
    const QSize played = playPage(q.getPage(1).value(), 300).size();
    EXPECT_NEAR(played.width(), 1123 * 300 / 96.0, 1.5);
    EXPECT_NEAR(played.height(), 794 * 300 / 96.0, 1.5);

    QFile f(land);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    RpPrinter s;
    s.loadFromStream(f);
    EXPECT_EQ(s.paperSize(), RpPaperSize::A4);
    EXPECT_EQ(s.orientation(), RpOrientation::poLandscape);

    // A bad file leaves the loaded pages as they were.
    const QString bad = d.filePath("bad.trp");
    QFile b(bad);
    ASSERT_TRUE(b.open(QIODevice::WriteOnly));
    b.write(QByteArray(500, 'z'));
    b.close();
    EXPECT_THROW(q.load(bad), RpError);
    EXPECT_EQ(q.pageCount(), 1);
    EXPECT_EQ(q.status(), mpFinished);
    EXPECT_TRUE(q.getPage(1));
}

TEST(RpPrinter, UnwritableTemporaryFileAbortsTheDocumentCleanly)
{
    FakePrinterDevice dev;
    UseDevice use(&dev);
    FakeReport report;
    report.settings.memoryLimit = 100; // spills at the first page
    RpPrinter p(&report);
    {
        testsupport::ScopedValue<QString> nowhere(printerState().tempDirectory, QStringLiteral("/nonexistent/trp/dir"));
        p.beginDoc();
        p.newPage();
        drawPage(p, 1);
        EXPECT_THROW(p.newPage(), RpError);
    }
    EXPECT_EQ(p.status(), mpReady);
    EXPECT_FALSE(p.getPage(1));
    // And the printer can run the next document.
    generate(p, 1);
    EXPECT_EQ(p.pageCount(), 1);
}

TEST(RpPrinter, PreviewInterfaceAndClose)
{
    FakePrinterDevice dev;
    UseDevice use(&dev);
    RpPrinter p;
    int shown = 0;
    struct Counting : RpPreviewInterface {
        int *n;
        explicit Counting(int *c) : n(c) {}
        QWidget *show(RpPrinter *) override
        {
            ++*n;
            return nullptr;
        }
    };
    std::optional<testsupport::ScopedValue<RpPreviewInterfaceFactory>> counting;
    counting.emplace(printerState().previewInterface, [&] { return std::make_unique<Counting>(&shown); });
    p.preview();
    EXPECT_EQ(shown, 1);
    bool custom = false;
    p.onPreview = [&](RpPrinter *) { custom = true; };
    p.preview();
    EXPECT_TRUE(custom);
    EXPECT_EQ(shown, 1);
    counting.reset();

    Inbox master;
    p.setMaster(&master);
    int afterPreview = 0;
    p.afterPreviewEvent = [&](RpPrinter *) { ++afterPreview; };
    p.beginDoc();
    p.setShowingPreview(true);
    p.closePreview(nullptr);
    EXPECT_FALSE(p.showingPreview());
    EXPECT_TRUE(p.cancelled()); // closing while busy cancels the run
    EXPECT_EQ(afterPreview, 1);
    EXPECT_EQ(master.values(CM_PREVIEWCLOSED).size(), 1u);
}

// The window a preview interface returned is forgotten once it deletes
// itself.
TEST(RpPrinter, ThePreviewControlIsForgottenWhenItsWindowGoes)
{
    FakePrinterDevice dev;
    UseDevice use(&dev);
    struct Shows : RpPreviewInterface {
        QWidget *show(RpPrinter *) override { return new QWidget; }
    };
    testsupport::ScopedValue shows(printerState().previewInterface,
                                   RpPreviewInterfaceFactory([] { return std::make_unique<Shows>(); }));
    RpPrinter p;
    p.preview();
    QWidget *window = p.previewControl();
    ASSERT_TRUE(window);
    delete window;
    EXPECT_EQ(p.previewControl(), nullptr);
}

// A preview closed while the printer lets messages run frees the printer;
// the printer must not touch itself afterwards (the sanitizer run catches a
// use after free).
TEST(RpPrinter, FreedWhileMessagesRunItTouchesNothingOfItselfAgain)
{
    FakePrinterDevice dev;
    UseDevice use(&dev);
    FakeReport report;

    // Printing recorded pages: the job is abandoned.
    auto printing = std::make_unique<RpPrinter>(&report);
    generate(*printing, 3);
    QMetaObject::invokeMethod(qApp, [&] { printing.reset(); }, Qt::QueuedConnection);
    printing->print();
    EXPECT_FALSE(printing);
    EXPECT_TRUE(dev.log.contains("AbortDoc"));
    EXPECT_FALSE(dev.printing());
    EXPECT_EQ(report.afterPrints, 0);

    // Ending a recorded document: the store is not finished afterwards.
    auto recording = std::make_unique<RpPrinter>(&report);
    recording->beginDoc();
    recording->newPage();
    QMetaObject::invokeMethod(qApp, [&] { recording.reset(); }, Qt::QueuedConnection);
    recording->endDoc();
    EXPECT_FALSE(recording);

    // Choosing another printer reads the device after letting messages run.
    dev.names << QStringLiteral("second");
    auto choosing = std::make_unique<RpPrinter>(&report);
    QMetaObject::invokeMethod(qApp, [&] { choosing.reset(); }, Qt::QueuedConnection);
    choosing->setPrinterIndex(1);
    EXPECT_FALSE(choosing);
}
