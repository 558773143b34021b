// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The commands of the standard preview window: zoom, pages, search, copy,
// printer setup, print, load, save, cancel, close.
#include "preview/standardpreview.h"

#include "pdf/recordedpages.h"
#include "platform/messages.h"
#include "platform/metafile.h"
#include "platform/rperror.h"
#include "preview/pagepainting.h"
#include "preview/pagesearch.h"
#include "preview/previewstrings.h"
#include "preview/processwide.h"
#include "preview/rppreview.h"
#include "preview/savefiletypes.h"
#include "printer/exportfilter.h"
#include "printer/printerdevice.h"
#include "printer/processwide.h"
#include "printer/rppagelist.h"
#include "printer/rpprinter.h"
#include "report/compositereport.h"
#include "report/customreport.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QSignalBlocker>
#include <QTabWidget>

using namespace previewstrings;

namespace {
QString text(const char *s) { return QString::fromLatin1(s); }

// The extension of each save type of a report.
QString saveTypeExtension(PrevSaveType t)
{
    switch (t) {
    case PrevSaveType::stPDF: return QStringLiteral(".PDF");
    case PrevSaveType::stXL: return QStringLiteral(".XLS");
    case PrevSaveType::stHTML: return QStringLiteral(".HTML");
    case PrevSaveType::stRTF: return QStringLiteral(".RTF");
    case PrevSaveType::stCSV: return QStringLiteral(".CSV");
    case PrevSaveType::stASCII: return QStringLiteral(".TXT");
    case PrevSaveType::stXML: return QStringLiteral(".XML");
    default: return QStringLiteral(".TRP");
    }
}

// A raw bin code below 13 is one of the standard bins; any other is the
// device's own code.
template <class Settings> void applyBin(Settings &s, int raw, auto setBin)
{
    if (raw < 13) {
        setBin(RpBin(std::clamp(raw, 0, kBinCount - 1)));
        s.setUseCustomBinCode(false);
    } else {
        s.setCustomBinCode(raw);
        s.setUseCustomBinCode(true);
    }
}
} // namespace

// --- zoom and pages ------------------------------------------------------------------

void RpStandardPreview::zoomToFitClick()
{
    processMessages();
    m_preview->zoomToFit();
    m_actions["ZoomFit"]->setChecked(true);
    notifyState();
}

void RpStandardPreview::zoomTo100Click()
{
    processMessages();
    m_preview->setZoom(100);
    m_preview->updateZoom();
    m_actions["Zoom100"]->setChecked(true);
    notifyState();
}

void RpStandardPreview::zoomToWidthClick()
{
    processMessages();
    m_preview->zoomToWidth();
    m_actions["ZoomToWidth"]->setChecked(true);
    notifyState();
}

void RpStandardPreview::firstPageClick() { selectPage(1); }
void RpStandardPreview::prevPageClick() { selectPage(m_preview->pageNumber() - 1); }
void RpStandardPreview::nextPageClick() { selectPage(m_preview->pageNumber() + 1); }

void RpStandardPreview::lastPageClick()
{
    // While the report is generated its last page is still being drawn.
    selectPage(busy() ? pageCount() - 1 : pageCount());
}

void RpStandardPreview::gotoPageButtonClick()
{
    QString value = QString::number(m_preview->pageNumber());
    if (!previewDialogs().inputQuery(this, ui(kSelectPageFrom).arg(pageCount()), ui(kEnterPageNumber), value))
        return;
    bool ok = false;
    int n = value.trimmed().toInt(&ok);
    if (!ok || n <= 0 || n > pageCount())
        n = 1;
    selectPage(n);
}

// --- search -----------------------------------------------------------------------------

std::optional<SearchRequest> RpStandardPreview::getTextSearch() { return previewDialogs().searchText(this); }

void RpStandardPreview::findButtonClick()
{
    if (busy())
        return;
    const std::optional<SearchRequest> req = getTextSearch();
    if (!req)
        return;
    // One search at a time: a second one waits for the first.
    const QPointer<RpStandardPreview> self(this);
    while (m_searching) {
        processMessages();
        if (!self)
            return;
    }
    m_searching = true;
    m_tabs->setCurrentWidget(m_tabSearchResult);
    m_searchResultBox->setEnabled(true);
    m_searchTextLabel->setText(req->text);
    // Emptying and filling the list is no choice of a page: the page shown
    // stays.
    const QSignalBlocker quiet(m_searchResultBox);
    m_searchResultBox->clear();
    const int count = pageCount();
    RpPrinter *p = reportPrinter();
    for (int n = 1; p && n <= count; ++n) {
        const auto bytes = p->pageList()->getPage(n);
        if (!bytes)
            continue;
        if (pagesearch::pageContains(*bytes, req->text, req->matchCase)) {
            auto *item = new QListWidgetItem(ui(kPage) + QLatin1Char(' ') + QString::number(n));
            item->setData(Qt::UserRole, n);
            m_searchResultBox->addItem(item);
        }
    }
    if (m_searchResultBox->count() == 0) {
        m_searchResultBox->addItem(ui(kNoMatchingText));
        m_searchResultBox->setEnabled(false);
    }
    m_searching = false;
    notifyState();
}

void RpStandardPreview::searchResultBoxClick()
{
    if (!m_searchResultBox->isEnabled())
        return;
    int n = 1;
    if (const QListWidgetItem *item = m_searchResultBox->currentItem()) {
        bool ok = false;
        n = item->data(Qt::UserRole).toInt(&ok);
        if (!ok || n < 1 || n > pageCount())
            n = 1;
    }
    selectPage(n);
}

// --- copy -------------------------------------------------------------------------------

void RpStandardPreview::copybuttonClick()
{
    if (standPrevEvent(StandPrevEventType::spCopy, kEvCopy))
        return;
    RpPrinter *p = reportPrinter();
    if (!p)
        return;
    const auto bytes = p->pageList()->getPage(m_preview->pageNumber());
    if (!bytes)
        return;
    // The metafile itself, and a picture of it for programs that take none.
    auto *mime = new QMimeData;
    mime->setData(QStringLiteral("image/x-emf"), *bytes);
    try {
        const Metafile mf = Metafile::fromBytes(*bytes);
        mime->setImageData(pagepainting::playPage(mf, QSize(mf.width(), mf.height())));
    } catch (const RpError &) {
    }
    QApplication::clipboard()->setMimeData(mime);
}

// --- printer setup and print -----------------------------------------------------------------

namespace {

// The user's choices of pages, bin, copies and the rest, kept in `s` for
// later prints.
void keepChoices(StoredPrinterSettings &s, const UserPrinterSettings &u)
{
    s.firstPage = u.firstPage;
    s.lastPage = u.lastPage;
    if (u.rawBin < 13) {
        s.outputBin = std::clamp(u.rawBin, 0, kBinCount - 1);
        s.useCustomBinCode = false;
    } else {
        s.customBinCode = u.rawBin;
        s.useCustomBinCode = true;
    }
    s.collate = u.collate;
    s.colorOption = u.colorOption;
    s.printQuality = u.printQuality;
    s.copies = u.copies;
    s.duplex = u.duplex;
}

} // namespace

void RpStandardPreview::applyUserPrinterSettings()
{
    RpPrinter *p = reportPrinter();
    if (!p || !m_report)
        return;
    UserPrinterSettings &u = m_report->userPrinterSettings();
    StoredPrinterSettings &stored = m_report->storedPrinterSettings();
    PrinterSettings &ps = p->settings();
    p->setPrinterIndex(stored.printerIndex);
    applyBin(ps, u.rawBin, [p](RpBin b) { p->setOutputBin(b); });
    ps.setCollate(u.collate);
    ps.setColorOption(u.colorOption);
    ps.setPrintQuality(u.printQuality);
    p->setCopies(u.copies);
    p->setDuplex(u.duplex);
    p->setFirstPage(u.firstPage);
    p->setLastPage(u.lastPage);
    ps.setExtendedDuplex(u.extendedDuplex);
    u.useExtendedDuplex = u.extendedDuplex > 1;
    ps.setUseExtendedDuplex(u.useExtendedDuplex);

    // Kept for later prints.
    if (RpCompositeReport *composite = m_report->parentComposite()) {
        RpCompositePrinterSettings &c = composite->compositeSettings();
        c.printerIndex = stored.printerIndex;
        keepChoices(c, u);
    } else if (!printerState().reportFileLoaded) {
        keepChoices(stored, u);
    }
}

void RpStandardPreview::printSetupClick()
{
    if (standPrevEvent(StandPrevEventType::spPrintSetup, kEvPrintSetup))
        return;
    systemPrinter().refresh();
    RpPrinter *p = reportPrinter();
    if (m_report) {
        m_report->printerSetup();
        if (m_report && m_report->tag() == 0)
            applyUserPrinterSettings();
        return;
    }
    if (!p)
        return;
    // A file shown without a report: the dialog sets up this printer.
    PrintDialogPreset preset;
    preset.printerIndex = p->printerIndex();
    if (p->status() == mpFinished) {
        preset.minPage = 1;
        preset.maxPage = preset.toPage = p->pageCount();
        preset.fromPage = 1;
    }
    preset.orientation = p->orientation() == RpOrientation::poLandscape ? 2 : 1;
    preset.copies = p->copies();
    const std::optional<PrintDialogChoice> c = printersetup::runDialog(preset);
    if (!c)
        return;
    const bool pages = c->printRange == PrintRange::prPageNums;
    PrinterSettings &ps = p->settings();
    ps.setPrinter(&systemPrinter());
    applyBin(ps, c->outputBin, [p](RpBin b) { p->setOutputBin(b); });
    ps.setCollate(c->collate);
    ps.setColorOption(c->colorOption);
    ps.setPrintQuality(c->printQuality);
    p->setCopies(c->copies);
    p->setDuplex(c->duplex);
    p->setFirstPage(pages ? c->fromPage : 0);
    p->setLastPage(pages ? c->toPage : 0);
    ps.setExtendedDuplex(c->duplexCode);
    ps.setUseExtendedDuplex(c->duplexCode > 1);
}

void RpStandardPreview::printClick()
{
    if (standPrevEvent(StandPrevEventType::spPrint, kEvPrint))
        return;
    auto *report = qobject_cast<Report *>(m_report.data());
    if (!printerState().reportFileLoaded && report) {
        // The report generates itself again, straight onto the printer.
        const QPointer<RpStandardPreview> self(this);
        report->print();
        if (self && !reportPrinter() && report->reportPrinter())
            m_preview->setReportPrinter(report->reportPrinter());
        return;
    }
    if (RpPrinter *p = reportPrinter())
        p->print(); // the recorded pages as they are
}

// --- load and save ------------------------------------------------------------------------

void RpStandardPreview::loadClick()
{
    if (standPrevEvent(StandPrevEventType::spLoad, kEvLoad))
        return;
    const QString trp = text(kTrp);
    const QString filter = ui(kReportFileKind) + QStringLiteral(" (*.") + trp + QStringLiteral(")|*.") + trp;
    const QString name = previewDialogs().openFileName(this, ui(kLoadReport), filter);
    if (!name.isEmpty())
        loadFile(name);
}

bool RpStandardPreview::loadFile(const QString &fileName)
{
    RpPrinter *p = reportPrinter();
    if (!p)
        return false;
    if (!QFileInfo(fileName).isFile()) {
        previewDialogs().message(this, ui(kFileDoesNotExist));
        return false;
    }
    try {
        p->load(fileName);
    } catch (const RpError &e) {
        // A file that is not a report file leaves the pages shown as they were.
        previewDialogs().message(this, e.message());
        return false;
    }
    previewState().previewTitle = fileName;
    // Its print jobs are named after the file.
    p->setTitle(QFileInfo(fileName).completeBaseName());
    m_thumbCache.clear();
    m_preview->setReportPrinter(p); // page 1 of the loaded pages
    m_reportOrientation = p->orientation() == RpOrientation::poLandscape ? 1 : 0;
    p->setOrientation(p->orientation());
    if (m_report) {
        m_report->page()->setPaperSize(p->paperSize());
        m_report->page()->setOrientation(m_reportOrientation ? PrinterOrientation::poLandscape
                                                             : PrinterOrientation::poPortrait);
    }
    m_preview->refitZoom();
    resizeThumb();
    rpPreviewPageAvailable(1);
    m_thumbGrid->setRow(0);
    m_actions["Print"]->setEnabled(true);
    updateInfo();
    return true;
}

void RpStandardPreview::saveClick()
{
    if (standPrevEvent(StandPrevEventType::spSave, kEvSave))
        return;
    const QString e = saveTypeExtension(m_report ? m_report->previewDefaultSaveType() : PrevSaveType::stTRP);
    const QString filter = e + QStringLiteral("|*") + e + QLatin1Char('|') + savefiletypes::saveDialogFilterString();
    int index = 1;
    const QString name = previewDialogs().saveFileName(this, ui(kSaveReport), filter, QStringLiteral("*") + e, &index);
    if (!name.isEmpty())
        saveAs(name, index);
}

void RpStandardPreview::saveAs(QString name, int filterIndex)
{
    const QString defaultExt = saveTypeExtension(m_report ? m_report->previewDefaultSaveType() : PrevSaveType::stTRP);
    QString ext = QFileInfo(name).suffix().toUpper();
    if (ext.isEmpty()) {
        // The file type chosen gives the extension.
        if (filterIndex <= 1) {
            ext = defaultExt;
        } else if (filterIndex == 2) {
            ext = text(kTrp);
        } else {
            const std::vector<ExportFileType> types = savefiletypes::exportFileTypes();
            const size_t k = size_t(filterIndex - 3);
            ext = k < types.size() ? types[k].extension : defaultExt;
        }
        if (ext.startsWith(QLatin1Char('.')))
            ext = ext.mid(1);
        ext = ext.left(3).toUpper();
        name += QLatin1Char('.') + ext;
    }
    ext = ext.left(3);
    RpPrinter *p = reportPrinter();
    if (!p)
        return;
    try {
        if (ext == text(kTrp)) {
            p->save(name);
            return;
        }
        const std::optional<ExportFileType> type = savefiletypes::byExtension(ext);
        if (!type || !type->create)
            return; // no filter for it: nothing is written
        std::unique_ptr<RpExportFilter> filter = type->create(name);
        // A loaded report file has no report behind it to run again: its
        // recorded pages go into the PDF document as they are.
        const bool recordedPages = printerState().reportFileLoaded || (!m_report && !p->onExportToFilter);
        if (recordedPages && filter->isPdfDocumentFilter()) {
            filter.reset();
            writeRecordedPagesPdf(*p, name, 1, p->pageCount());
            return;
        }
        if (m_report && m_report->parentComposite())
            m_report->parentComposite()->exportToFilter(filter.get());
        else if (m_report)
            m_report->exportToFilter(filter.get());
        else if (p->onExportToFilter)
            p->onExportToFilter(filter.get());
    } catch (const RpError &err) {
        previewDialogs().message(this, err.message());
    } catch (const std::exception &err) {
        // Not the engine's own (a library below it): said all the same, and
        // the window goes on.
        previewDialogs().message(this, QString::fromLocal8Bit(err.what()));
    }
}

// --- cancel and close ----------------------------------------------------------------------

void RpStandardPreview::cancelButtonClick()
{
    if (standPrevEvent(StandPrevEventType::spCancel, kEvCancel))
        return;
    if (m_report)
        m_report->setUserCancel(true);
}

void RpStandardPreview::exitClick() { close(); }
