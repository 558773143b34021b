// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Prints recorded pages through a real CUPS server onto cups-pdf queues and
// reads back what the server got: the job's attributes (ipptool), the
// document it spooled and the PDF cups-pdf writes. Needs root (to start
// cupsd and make the queues); skipped elsewhere.
//
// The cups-pdf queue is a PostScript printer: its filter chain turns our PDF
// into PostScript and cups-pdf distils that again. With the server's default
// PostScript conversion the embedded TrueType (CID) fonts become Type 3 fonts
// without a character map, so the PDF it writes has every glyph but not the
// text: there the text is checked in the document the server received, and
// the PDF written is compared with it dark pixel for dark pixel. A second
// queue converts with the cairo renderer, which keeps the fonts as they are,
// and the PDF cups-pdf writes for it must carry the pages' text.
#include "cupsserver.h"
#include "printedpages.h"
#include "platform/canvas.h"
#include "platform/rperror.h"
#include "printer/printerdevice.h"
#include "printer/qtprinterdevice.h"
#include "printer/rpprinter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include "testsupport.h"
#include "printer/processwide.h"
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <pwd.h>
#include <set>
#include <unistd.h>

using namespace printedpages;

using namespace cupsserver;

namespace {

const QString kTool = QStringLiteral(TOVREL_BINARY_DIR "/tools/tovrel-tool");
const QString kSlotQueue = QStringLiteral("tovrel-test-slots");
const QString kTextQueue = QStringLiteral("tovrel-test-text");

// The cups-pdf PPD with paper source choices added to its General group:
// eight of them, named as printers name their trays.
QByteArray ppdWithInputSlots()
{
    QFile f(kPpd);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QByteArray ppd = f.readAll();
    const qsizetype at = ppd.indexOf("*OpenUI *Resolution");
    if (at < 0)
        return {};
    ppd.insert(at, "*OpenUI *InputSlot/Media Source: PickOne\n"
                   "*OrderDependency: 20 AnySetup *InputSlot\n"
                   "*DefaultInputSlot: Auto\n"
                   "*InputSlot Auto/Automatic: \"\"\n"
                   "*InputSlot Tray1/Upper Tray: \"\"\n"
                   "*InputSlot Tray2/Lower Tray: \"\"\n"
                   "*InputSlot Tray3/Tray 3: \"\"\n"
                   "*InputSlot Tray4/Tray 4: \"\"\n"
                   "*InputSlot Tray5/Tray 5: \"\"\n"
                   "*InputSlot LCT/Large capacity: \"\"\n"
                   "*InputSlot Manual/Manual Feed: \"\"\n"
                   "*CloseUI: *InputSlot\n\n");
    return ppd;
}

} // namespace

TEST_F(CupsPrint, RecordedPagesReachAPdfQueueWithRangeAndCopies)
{
    ASSERT_TRUE(QFile::exists(kTool));
    const QString trp = tmp.filePath("cupsjob.trp");
    saveReport(trp, 4);
    // The queue holds the job until it is enabled again, so the document
    // the server received can be read from its spool.
    run("cupsdisable", {kQueue});
    const std::set<int> before = jobIds(kQueue);
    int code = 0;
    const QByteArray out =
        run(kTool, {"trp", "print", trp, "--printer", kQueue, "--from", "2", "--to", "3", "--copies", "2"}, &code, 120000);
    ASSERT_EQ(code, 0) << out.toStdString();
    const int id = newJob(kQueue, before);
    ASSERT_GT(id, 0);
    const Attributes held = jobAttributes(kQueue, id);
    EXPECT_EQ(attr(held, "copies"), "2");
    EXPECT_EQ(attr(held, "job-name"), "cupsjob"); // the title, from the file's name

    const QString spooled = QStringLiteral("%1/d%2-001").arg(kSpool).arg(id, 5, 10, QLatin1Char('0'));
    ASSERT_TRUE(QFile::exists(spooled)) << spooled.toStdString();
    const QString sent = tmp.filePath("sent.pdf");
    ASSERT_TRUE(QFile::copy(spooled, sent));
    ASSERT_EQ(pdfPageCount(sent), 2);
    const QString sent1 = pdfPageText(sent, 1), sent2 = pdfPageText(sent, 2);
    EXPECT_TRUE(sent1.contains("Tovrel page 2 xxxxxx")) << sent1.toStdString();
    EXPECT_TRUE(sent2.contains("Tovrel page 3 xxxxxxxxx")) << sent2.toStdString();

    run("cupsenable", {kQueue});
    QString pdf;
    const Attributes done = waitCompleted(kQueue, id, &pdf);
    EXPECT_EQ(attr(done, "copies"), "2");
    // Two pages, twice.
    EXPECT_EQ(attr(done, "job-impressions-completed"), "4");
    ASSERT_FALSE(pdf.isEmpty());

    // cups-pdf writes one copy: the two pages, A4, each looking as sent.
    ASSERT_EQ(pdfPageCount(pdf), 2);
    const QString info = QString::fromUtf8(run("pdfinfo", {pdf}));
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Page size:\\s+595(\\.\\d+)? x 84[12]"))))
        << info.toStdString();
    for (int k = 1; k <= 2; ++k) {
        const qint64 want = pdfPageInk(sent, k, tmp.filePath("sent")), got = pdfPageInk(pdf, k, tmp.filePath("out"));
        ASSERT_GT(want, 0) << "page " << k;
        EXPECT_NEAR(double(got) / double(want), 1.0, 0.08) << "page " << k << ": " << got << " dark pixels, sent " << want;
    }
    // Page 3 carries three more letters than page 2: the pages tell apart.
    EXPECT_GT(double(pdfPageInk(sent, 2, tmp.filePath("sent"))), 1.1 * double(pdfPageInk(sent, 1, tmp.filePath("sent"))));
}

TEST_F(CupsPrint, AQueueThatKeepsFontsWritesThePagesText)
{
    ASSERT_TRUE(QFile::exists(kTool));
    addQueue(kTextQueue, kPpd);
    int code = 0;
    const QByteArray set = run("lpadmin", {"-p", kTextQueue, "-o", "pdftops-renderer-default=pdftocairo"}, &code);
    ASSERT_EQ(code, 0) << set.toStdString();
    const QString trp = tmp.filePath("textjob.trp");
    saveReport(trp, 4);
    const std::set<int> before = jobIds(kTextQueue);
    const QByteArray out =
        run(kTool, {"trp", "print", trp, "--printer", kTextQueue, "--from", "2", "--to", "3"}, &code, 120000);
    ASSERT_EQ(code, 0) << out.toStdString();
    const int id = newJob(kTextQueue, before);
    ASSERT_GT(id, 0);
    QString pdf;
    waitCompleted(kTextQueue, id, &pdf);
    ASSERT_FALSE(pdf.isEmpty());
    ASSERT_EQ(pdfPageCount(pdf), 2);
    const QString info = QString::fromUtf8(run("pdfinfo", {pdf}));
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Page size:\\s+595(\\.\\d+)? x 84[12]"))))
        << info.toStdString();
    const QString first = pdfPageText(pdf, 1), second = pdfPageText(pdf, 2);
    EXPECT_TRUE(first.contains("Tovrel page 2 xxxxxx")) << first.toStdString();
    EXPECT_TRUE(second.contains("Tovrel page 3 xxxxxxxxx")) << second.toStdString();
}

namespace {

class CupsBins : public CupsPrint {
protected:
    void SetUp() override
    {
        CupsPrint::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        const QByteArray ppd = ppdWithInputSlots();
        ASSERT_FALSE(ppd.isEmpty()) << "cannot add InputSlot to " << kPpd.toStdString();
        QFile f(tmp.filePath("slots.ppd"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(ppd);
        f.close();
        addQueue(kSlotQueue, f.fileName());
        saveReport(tmp.filePath("bins.trp"), 2);
        // A printer device that sees the new queues.
        device = std::make_unique<QtPrinterDevice>();
        previousDevice = std::exchange(printerState().systemPrinter, device.get());
        printer = std::make_unique<RpPrinter>();
        printer->load(tmp.filePath("bins.trp"));
        printer->setFirstPage(1);
        printer->setLastPage(1);
    }
    void TearDown() override
    {
        printer.reset();
        printerState().systemPrinter = previousDevice;
        device.reset();
        CupsPrint::TearDown();
    }
    void select(const QString &queue)
    {
        const int index = int(printer->printers().indexOf(queue));
        ASSERT_GE(index, 0) << queue.toStdString() << " is not among " << printer->printers().join(", ").toStdString();
        printer->setPrinterIndex(index);
        ASSERT_EQ(device->deviceName(), queue);
    }
    // Prints page 1 from `bin` and gives the job's attributes.
    Attributes printFrom(const QString &queue, RpBin bin)
    {
        printer->setOutputBin(bin);
        EXPECT_EQ(printer->outputBin(), bin);
        const std::set<int> before = jobIds(queue);
        printer->setTitle(QStringLiteral("bin%1").arg(papers::binDeviceCode(bin)));
        printer->print();
        const int id = newJob(queue, before);
        return id > 0 ? waitCompleted(queue, id) : Attributes{};
    }
    std::unique_ptr<QtPrinterDevice> device;
    PrinterDevice *previousDevice = nullptr;
    std::unique_ptr<RpPrinter> printer;
};

QString inputSlot(const Attributes &a) { return attr(a, "InputSlot"); }

} // namespace

TEST_F(CupsBins, BinReachesTheQueueAsTheInputSlotThatNamesIt)
{
    ASSERT_NO_FATAL_FAILURE(select(kSlotQueue));
    EXPECT_EQ(device->inputSlots(),
              QStringList({"Auto", "Tray1", "Tray2", "Tray3", "Tray4", "Tray5", "LCT", "Manual"}));
    EXPECT_EQ(inputSlot(printFrom(kSlotQueue, RpBin::Lower)), "Tray2");
    EXPECT_EQ(inputSlot(printFrom(kSlotQueue, RpBin::LargeCapacity)), "LCT");
    EXPECT_EQ(inputSlot(printFrom(kSlotQueue, RpBin::Manual)), "Manual");
    // Auto leaves the queue's default, though the queue has a seventh tray;
    // so does a bin the queue has no tray for.
    EXPECT_EQ(inputSlot(printFrom(kSlotQueue, RpBin::Auto)), "none");
    EXPECT_FALSE(device->cupsOptions().contains("InputSlot"));
    EXPECT_EQ(inputSlot(printFrom(kSlotQueue, RpBin::Middle)), "none");
}

TEST_F(CupsBins, AQueueWithoutInputSlotGetsNone)
{
    ASSERT_NO_FATAL_FAILURE(select(kSlotQueue));
    EXPECT_EQ(inputSlot(printFrom(kSlotQueue, RpBin::Lower)), "Tray2");
    // The same bin on the plain cups-pdf queue, from the same printer object.
    ASSERT_NO_FATAL_FAILURE(select(kQueue));
    EXPECT_TRUE(device->inputSlots().isEmpty());
    const Attributes a = printFrom(kQueue, RpBin::Lower);
    EXPECT_EQ(a.count("job-id"), 1u);
    EXPECT_EQ(inputSlot(a), "none");
    EXPECT_FALSE(device->cupsOptions().contains("InputSlot"));
}

namespace {

// Draws one page on the device's canvas.
void drawPage(PrinterDevice &device)
{
    ASSERT_NE(device.canvas(), nullptr);
    device.canvas()->textOut(100, 100, QStringLiteral("Tovrel page"));
}

} // namespace

TEST_F(CupsPrint, APrinterRemovedAfterItWasChosenEndsThePrintWithAClearError)
{
    const QString gone = QStringLiteral("tovrel-test-gone");
    for (bool whileDrawing : {false, true}) {
        addQueue(gone, kPpd);
        QtPrinterDevice device;
        const int at = int(device.printers().indexOf(gone));
        ASSERT_GE(at, 0);
        device.setPrinterIndex(at);
        device.setTitle(QStringLiteral("gone"));
        if (whileDrawing) {
            device.beginDoc();
            drawPage(device);
            device.newPage();
            drawPage(device);
        }
        int code = 0;
        run("lpadmin", {"-x", gone}, &code);
        ASSERT_EQ(code, 0);
        queues.removeAll(gone);
        try {
            if (!whileDrawing) {
                device.beginDoc();
                drawPage(device);
            }
            device.endDoc();
            ADD_FAILURE() << "printed to a removed printer" << (whileDrawing ? " while drawing" : "");
        } catch (const RpError &e) {
            EXPECT_TRUE(e.message().contains(gone)) << e.message().toStdString();
        }
        EXPECT_FALSE(device.printing());
        // The device goes on with a printer that is there.
        device.refresh();
        const int other = int(device.printers().indexOf(kQueue));
        ASSERT_GE(other, 0);
        device.setPrinterIndex(other);
        const std::set<int> before = jobIds(kQueue);
        device.beginDoc();
        drawPage(device);
        device.endDoc();
        EXPECT_GT(newJob(kQueue, before), 0);
    }
}
