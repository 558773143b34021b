// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "previewfixture.h"
#include "platform/metafile.h"
#include "preview/previewdialogs.h"
#include "preview/processwide.h"
#include "pdf/pdfdocumentfilter.h"
#include "preview/rppreview.h"
#include "preview/savefiletypes.h"
#include "printer/exportfilterlibrary.h"
#include "preview/standardpreview.h"
#include "controls/rplabel.h"
#include "report/customreport.h"
#include "report/rpband.h"
#include "printer/processwide.h"
#include "testsupport.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPointer>
#include <QScrollBar>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <stdexcept>

using namespace previewfixture;

namespace {

// Answers the window's dialogs from a script.
struct ScriptedDialogs : PreviewDialogs {
    std::deque<QString> answers;
    std::optional<SearchRequest> search;
    int saveFilter = 1;
    QStringList messages, captions;

    QString next()
    {
        if (answers.empty())
            return {};
        QString a = answers.front();
        answers.pop_front();
        return a;
    }
    QString openFileName(QWidget *, const QString &caption, const QString &) override
    {
        captions << caption;
        return next();
    }
    QString saveFileName(QWidget *, const QString &caption, const QString &, const QString &, int *index) override
    {
        captions << caption;
        *index = saveFilter;
        return next();
    }
    bool inputQuery(QWidget *, const QString &caption, const QString &, QString &value) override
    {
        captions << caption;
        if (answers.empty())
            return false;
        value = next();
        return true;
    }
    void message(QWidget *, const QString &text) override { messages << text; }
    std::optional<SearchRequest> searchText(QWidget *) override { return search; }
};

// Page n carries the text "page n" (and page 2 "Needle") next to its box.
void generateWithText(RpPrinter &p, int pages)
{
    p.beginDoc();
    for (int i = 1; i <= pages; ++i) {
        p.newPage();
        drawBox(p, i);
        p.canvas()->textOut(p.xPos(100), p.yPos(600), QStringLiteral("page %1").arg(i));
        if (i == 2)
            p.canvas()->textOut(p.xPos(100), p.yPos(800), QStringLiteral("Needle"));
    }
    p.endDoc();
}

struct StandardPreviewTest : ::testing::Test {
    FakePrinterDevice dev;
    UseDevice use{&dev};
    ScriptedDialogs dialogs;
    testsupport::ScopedValue<PreviewDialogs *> useDialogs{previewState().dialogs, &dialogs};
    RpPrinter printer;
    QPointer<RpStandardPreview> window;

    void open(int pages)
    {
        generateWithText(printer, pages);
        window = new RpStandardPreview(nullptr, &printer);
        window->resize(900, 700);
        window->showPreview();
        processMessages();
    }
    void TearDown() override { delete window.data(); }
    int page() const { return window->preview()->pageNumber(); }
    bool key(int k, Qt::KeyboardModifiers m = {}) { return window->formKeyDown(k, m); }
};

} // namespace

TEST_F(StandardPreviewTest, OnePageWorksheet)
{
    open(1);
    EXPECT_EQ(window->statusText(1), QStringLiteral("Page 1 of 1"));
    EXPECT_EQ(window->thumbGrid()->rowCount(), 1);
    EXPECT_TRUE(window->action("Print")->isEnabled());
    window->lastPageClick();
    EXPECT_EQ(page(), 1);
    window->nextPageClick();
    EXPECT_EQ(page(), 1);
    EXPECT_EQ(window->preview()->zoomState(), RpZoomState::rpZoomToFit);
}

TEST_F(StandardPreviewTest, KeyTable)
{
    open(5);
    EXPECT_TRUE(key(Qt::Key_PageDown));
    EXPECT_EQ(page(), 2);
    EXPECT_TRUE(key(Qt::Key_PageDown, Qt::ControlModifier));
    EXPECT_EQ(page(), 5);
    EXPECT_TRUE(key(Qt::Key_PageUp));
    EXPECT_EQ(page(), 4);
    EXPECT_TRUE(key(Qt::Key_PageUp, Qt::ControlModifier));
    EXPECT_EQ(page(), 1);
    // Ctrl with Shift is not Ctrl alone: one page on.
    EXPECT_TRUE(key(Qt::Key_PageDown, Qt::ControlModifier | Qt::ShiftModifier));
    EXPECT_EQ(page(), 2);
    EXPECT_TRUE(key(Qt::Key_End));
    EXPECT_EQ(page(), 5);
    EXPECT_EQ(window->statusText(1), QStringLiteral("Page 5 of 5"));
    EXPECT_EQ(window->thumbGrid()->row(), 4);
    EXPECT_TRUE(key(Qt::Key_Home));
    EXPECT_EQ(page(), 1);
    EXPECT_FALSE(key(Qt::Key_A));
    EXPECT_FALSE(key(Qt::Key_Left));

    // Up and Down scroll the page, then step to the next or previous one.
    window->preview()->setZoom(200);
    QScrollBar *bar = window->preview()->verticalScrollBar();
    ASSERT_GT(bar->maximum(), bar->singleStep());
    EXPECT_TRUE(key(Qt::Key_Down));
    EXPECT_EQ(page(), 1);
    EXPECT_EQ(bar->value(), bar->singleStep());
    bar->setValue(bar->maximum());
    EXPECT_TRUE(key(Qt::Key_Down));
    EXPECT_EQ(page(), 2);
    EXPECT_EQ(bar->value(), 0);
    // At the top Up goes back to the bottom of the previous page...
    EXPECT_TRUE(key(Qt::Key_Up));
    EXPECT_EQ(page(), 1);
    EXPECT_EQ(bar->value(), bar->maximum());
    // ...and on page 1 stays at the top.
    bar->setValue(0);
    EXPECT_TRUE(key(Qt::Key_Up));
    EXPECT_EQ(page(), 1);
    EXPECT_EQ(bar->value(), 0);

    EXPECT_TRUE(key(Qt::Key_Escape));
    processMessages();
    EXPECT_TRUE(window.isNull());
}

TEST_F(StandardPreviewTest, GotoPageFallsBackToPageOne)
{
    open(4);
    dialogs.answers = {QStringLiteral("3")};
    window->gotoPageButtonClick();
    EXPECT_EQ(page(), 3);
    EXPECT_EQ(dialogs.captions.last(), QStringLiteral("Select a page from 1 to 4"));
    for (const char *bad : {"0", "abc", "5", "-2"}) {
        window->lastPageClick();
        dialogs.answers = {QString::fromLatin1(bad)};
        window->gotoPageButtonClick();
        EXPECT_EQ(page(), 1) << bad;
    }
    // Cancelled: nothing moves.
    window->lastPageClick();
    window->gotoPageButtonClick();
    EXPECT_EQ(page(), 4);
}

TEST_F(StandardPreviewTest, SearchListsThePagesWithTheText)
{
    open(3);
    dialogs.search = SearchRequest{QStringLiteral("needle"), false};
    window->findButtonClick();
    QListWidget *box = window->searchResultBox();
    ASSERT_EQ(box->count(), 1);
    EXPECT_EQ(box->item(0)->text(), QStringLiteral("Page 2"));
    EXPECT_TRUE(box->isEnabled());

    dialogs.search = SearchRequest{QStringLiteral("PAGE"), false};
    window->findButtonClick();
    EXPECT_EQ(box->count(), 3);

    dialogs.search = SearchRequest{QStringLiteral("needle"), true};
    window->findButtonClick();
    ASSERT_EQ(box->count(), 1);
    EXPECT_EQ(box->item(0)->text(), QStringLiteral("No matching text"));
    EXPECT_FALSE(box->isEnabled());
    EXPECT_EQ(window->searchTextLabel()->text(), QStringLiteral("needle"));

    // Cancelling the dialog keeps the last result.
    dialogs.search.reset();
    window->findButtonClick();
    EXPECT_EQ(box->item(0)->text(), QStringLiteral("No matching text"));
}

TEST_F(StandardPreviewTest, ProgressPanel)
{
    open(1);
    EXPECT_EQ(window->statusText(0), QStringLiteral("0%"));
    window->rpPreviewProgressUpdate(3);
    EXPECT_EQ(window->statusText(0), QStringLiteral("0%"));
    window->rpPreviewProgressUpdate(5);
    EXPECT_EQ(window->statusText(0), QStringLiteral("5%"));
    window->rpPreviewProgressUpdate(7);
    EXPECT_EQ(window->statusText(0), QStringLiteral("5%"));
    window->rpPreviewProgressUpdate(60);
    EXPECT_EQ(window->statusText(0), QStringLiteral("60%"));
    window->rpPreviewProgressUpdate(100);
    EXPECT_EQ(window->statusText(0), QString());
}

// A filter that fails with a standard library's error, not the engine's.
struct FailingFilter : RpExportFilter {
    using RpExportFilter::RpExportFilter;
    void start(qint32, qint32, const RpFont *) override { throw std::length_error("the page is too long to write"); }
};

// Save as a PDF document whose fonts cannot be measured (custom widths too
// few), or through a filter that fails with another library's error: the
// window says so and goes on, and no file is left.
TEST_F(StandardPreviewTest, AnExportThatFailsInTheFontsIsShownAndTheWindowGoesOn)
{
    Report report;
    report.setShowProgress(false);
    report.bands()->setHasTitle(true);
    auto *label = new RpLabel(report.bands()->titleBand());
    label->setCaption(QStringLiteral("x"));
    printer.onExportToFilter = [&](RpExportFilter *f) { report.exportToFilter(f); };
    savefiletypes::setExportFileTypes([] {
        ExportFileType pdf{QStringLiteral("PDF document"), QStringLiteral("PDF"), [](const QString &name) {
                               auto f = std::make_unique<RpPDFDocumentFilter>(name);
                               f->addCustomWidths(QStringLiteral("Arial"), QStringLiteral("1 2 3"));
                               return std::unique_ptr<RpExportFilter>(std::move(f));
                           }};
        ExportFileType failing{QStringLiteral("Failing"), QStringLiteral("BRK"), [](const QString &name) {
                                   return std::unique_ptr<RpExportFilter>(std::make_unique<FailingFilter>(name));
                               }};
        return std::vector<ExportFileType>{pdf, failing};
    });
    struct Restore {
        ~Restore() { savefiletypes::setExportFileTypes({}); }
    } restore;
    open(1);
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("sheet.pdf"));
    EXPECT_NO_THROW(window->saveAs(name, 1));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].contains(QStringLiteral("Custom widths"))) << dialogs.messages[0].toStdString();
    EXPECT_FALSE(QFile::exists(name));
    EXPECT_TRUE(report.available());

    const QString other = dir.filePath(QStringLiteral("sheet.brk"));
    EXPECT_NO_THROW(window->saveAs(other, 1));
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_EQ(dialogs.messages[1], QStringLiteral("the page is too long to write"));
    EXPECT_FALSE(QFile::exists(other));
    EXPECT_TRUE(report.available());
}

// A run that failed on a thread of its own leaves its error with the
// printer: the window shows it in the status bar and says it once.
TEST_F(StandardPreviewTest, AFailedBackgroundRunIsShownInTheStatusBarAndSaidOnce)
{
    open(2);
    printer.setRunError(QStringLiteral("page 3 cannot be made"));
    processMessages();
    EXPECT_EQ(window->statusText(0), QStringLiteral("page 3 cannot be made"));
    EXPECT_EQ(dialogs.messages, QStringList{QStringLiteral("page 3 cannot be made")});
    window->rpPreviewPageAvailable(2);
    EXPECT_EQ(dialogs.messages.size(), 1);
}

TEST_F(StandardPreviewTest, SaveAndLoad)
{
    open(2);
    QTemporaryDir dir;
    const QString base = dir.filePath(QStringLiteral("sheet"));
    dialogs.answers = {base};
    window->saveClick();
    EXPECT_EQ(dialogs.captions.last(), QStringLiteral("Save report"));
    ASSERT_TRUE(QFile::exists(base + QStringLiteral(".TRP")));

    // A PDF name without a PDF filter writes nothing.
    window->saveAs(dir.filePath(QStringLiteral("sheet.pdf")), 1);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("sheet.pdf"))));

    // A file that is not there is refused with a message.
    dialogs.answers = {dir.filePath(QStringLiteral("missing.TRP"))};
    window->loadClick();
    EXPECT_EQ(dialogs.messages, QStringList{QStringLiteral("File does not exist")});

    // Load the saved file into a fresh window.
    delete window.data();
    RpPrinter other;
    generate(other, 5);
    window = new RpStandardPreview(nullptr, &other);
    window->showPreview();
    window->lastPageClick();
    ASSERT_TRUE(window->loadFile(base + QStringLiteral(".TRP")));
    EXPECT_EQ(other.pageCount(), 2);
    EXPECT_TRUE(other.reportLoaded());
    EXPECT_EQ(page(), 1);
    EXPECT_EQ(window->statusText(1), QStringLiteral("Page 1 of 2"));
    EXPECT_EQ(window->statusText(2), base + QStringLiteral(".TRP"));
    EXPECT_EQ(window->thumbGrid()->rowCount(), 2);
    EXPECT_TRUE(window->action("Print")->isEnabled());

    // Saved as PDF, the loaded file's pages go in as they were recorded:
    // two pages, their boxes and text drawn, no picture of a page.
    globalFilterLibrary().addFilter(RpExportFilterClass::of<RpPDFDocumentFilter>(QStringLiteral("TRpPDFDocumentFilter")));
    struct Emptied {
        ~Emptied() { globalFilterLibrary().clear(); }
    } emptied;
    const QString pdf = dir.filePath(QStringLiteral("loaded.pdf"));
    window->saveAs(pdf, 1);
    const QByteArray doc = testsupport::readFile(pdf);
    EXPECT_TRUE(doc.startsWith("%PDF-1.")) << doc.left(20).toStdString();
    EXPECT_TRUE(doc.contains("/Count 2")) << "not two pages";
    EXPECT_FALSE(doc.contains("/Subtype /Image"));
    EXPECT_TRUE(doc.contains("/Type0")) << "the pages' text is not text";
    EXPECT_TRUE(dialogs.messages == QStringList{QStringLiteral("File does not exist")}) << dialogs.messages.join('|').toStdString();
    printerState().reportFileLoaded = false;
}

// The Save dialog offers what the process's export filter library holds:
// nothing besides the report file while it is empty, its PDF entry once the
// PDF document filter is registered, and makes that filter for the file.
TEST(SaveFileTypes, FollowTheExportFilterLibrary)
{
    ASSERT_TRUE(globalFilterLibrary().filters().empty());
    EXPECT_EQ(savefiletypes::saveDialogFilterString().count(u'|'), 1);
    EXPECT_FALSE(savefiletypes::byExtension(QStringLiteral("pdf")));

    globalFilterLibrary().addFilter(RpExportFilterClass::of<RpPDFDocumentFilter>(QStringLiteral("TRpPDFDocumentFilter")));
    struct Emptied {
        ~Emptied() { globalFilterLibrary().clear(); }
    } emptied;
    const QString dialog = savefiletypes::saveDialogFilterString();
    EXPECT_TRUE(dialog.endsWith(QStringLiteral("|*.PDF"), Qt::CaseInsensitive)) << dialog.toStdString();
    EXPECT_EQ(dialog.count(u'|'), 3);
    const auto pdf = savefiletypes::byExtension(QStringLiteral("pdf"));
    ASSERT_TRUE(pdf && pdf->create);
    EXPECT_EQ(pdf->create(QStringLiteral("out.pdf"))->fileExtension().toUpper(), QStringLiteral("PDF"));
}

TEST_F(StandardPreviewTest, ClosingIsRefusedWhileGenerating)
{
    RpPrinter busy;
    busy.beginDoc();
    busy.newPage();
    drawBox(busy, 1);
    window = new RpStandardPreview(nullptr, &busy);
    window->showPreview();
    processMessages();
    EXPECT_FALSE(window->action("CancelButton")->isEnabled());
    busy.newPage(); // page 1 is complete, page 2 begun
    processMessages();
    EXPECT_FALSE(window->action("Print")->isEnabled());
    EXPECT_TRUE(window->action("CancelButton")->isEnabled());
    // The last page complete so far: page 1 of the two begun.
    window->lastPageClick();
    EXPECT_EQ(page(), 1);
    EXPECT_FALSE(window->close());
    EXPECT_FALSE(window.isNull());
    busy.endDoc();
    processMessages();
    EXPECT_TRUE(window->action("Print")->isEnabled());
    EXPECT_TRUE(window->close());
    processMessages();
    EXPECT_TRUE(window.isNull());
    EXPECT_EQ(busy.client(), nullptr);
}

TEST_F(StandardPreviewTest, ThumbnailsArePlayedOnceAndCached)
{
    open(3);
    ThumbnailCache &cache = window->thumbnails();
    const int before = cache.played();
    const QImage a = cache.image(&printer, 2, QSize(80, 110));
    ASSERT_FALSE(a.isNull());
    EXPECT_EQ(a.size(), QSize(80, 110));
    const QImage b = cache.image(&printer, 2, QSize(80, 110));
    EXPECT_EQ(cache.played(), before + 1);
    EXPECT_EQ(a, b);
    // Another size is another picture; a page not stored is none.
    cache.image(&printer, 2, QSize(40, 55));
    EXPECT_EQ(cache.played(), before + 2);
    EXPECT_TRUE(cache.image(&printer, 9, QSize(80, 110)).isNull());
}

namespace {
qint64 darkPixels(const QImage &img)
{
    qint64 n = 0;
    const QImage g = img.convertToFormat(QImage::Format_Grayscale8);
    for (int y = 0; y < g.height(); ++y) {
        const uchar *row = g.constScanLine(y);
        for (int x = 0; x < g.width(); ++x)
            n += row[x] < 128;
    }
    return n;
}
} // namespace

TEST_F(StandardPreviewTest, CopyPutsThePageAsMetafileAndPicture)
{
    open(3);
    auto copied = [&](int n) {
        window->selectPage(n);
        window->copybuttonClick();
        return QApplication::clipboard()->mimeData();
    };
    const QMimeData *one = copied(1);
    ASSERT_NE(one, nullptr);
    ASSERT_TRUE(one->hasImage());
    const QImage first = qvariant_cast<QImage>(one->imageData());
    const QMimeData *two = copied(2);
    ASSERT_TRUE(two->hasFormat(QStringLiteral("image/x-emf")));
    // The page as recorded, byte for byte.
    EXPECT_EQ(two->data(QStringLiteral("image/x-emf")), *printer.pageList()->getPage(2));
    const QImage second = qvariant_cast<QImage>(two->imageData());
    const Metafile mf = *printer.getPage(2);
    EXPECT_EQ(second.size(), QSize(mf.width(), mf.height()));
    // Page 2's box is wider than page 1's: the picture is of the page shown.
    const qint64 ink1 = darkPixels(first), ink2 = darkPixels(second);
    EXPECT_GT(ink1, 0);
    EXPECT_GT(ink2, ink1);
}

TEST_F(StandardPreviewTest, ListsKeepThePageShownAndTakeTheKeysWhenTheyHaveTheFocus)
{
    open(3);
    QApplication::setActiveWindow(window);
    ASSERT_TRUE(window->isActiveWindow());
    auto press = [](QWidget *to, int key) {
        QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(to, &e);
        processMessages();
    };

    // A second search leaves the page where it is.
    dialogs.search = SearchRequest{QStringLiteral("page"), false};
    window->findButtonClick();
    window->selectPage(3);
    window->findButtonClick();
    EXPECT_EQ(page(), 3);
    QListWidget *box = window->searchResultBox();
    ASSERT_EQ(box->count(), 3);

    // The result list with the focus is walked with the keys, each result
    // showing its page.
    box->setFocus();
    box->setCurrentRow(0);
    EXPECT_EQ(page(), 1);
    press(box, Qt::Key_Down);
    EXPECT_EQ(box->currentRow(), 1);
    EXPECT_EQ(page(), 2);
    press(box, Qt::Key_End);
    EXPECT_EQ(box->currentRow(), 2);
    EXPECT_EQ(page(), 3);

    // So are the thumbnails.
    window->thumbGrid()->setFocus();
    press(window->thumbGrid(), Qt::Key_Up);
    EXPECT_EQ(window->thumbGrid()->row(), 1);
    EXPECT_EQ(page(), 2);

    // Elsewhere the window's keys move the pages, as before.
    window->preview()->setFocus();
    press(window->preview(), Qt::Key_Home);
    EXPECT_EQ(page(), 1);
    press(window->preview(), Qt::Key_End);
    EXPECT_EQ(page(), 3);
}
