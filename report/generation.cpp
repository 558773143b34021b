// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Report generation: the entry points (preview, prepare, print, export, in
// the background), the report printer of each run, and the run itself from
// opening the document to closing it.
#include "report/customreport.h"

#include "data/dataset.h"
#include "expr/environment.h"
#include "platform/guithread.h"
#include "platform/messages.h"
#include "platform/rperror.h"
#include "printer/exportfilter.h"
#include "printer/printerstrings.h"
#include "printer/rpprinter.h"
#include "printer/rpprogressdialog.h"
#include "report/compositereport.h"
#include "report/createreportthread.h"
#include "report/reportrun.h"
#include "report/reportstrings.h"
#include "report/rpband.h"
#include "report/rpcontroller.h"
#include "report/rpprintable.h"
#include "report/rpprinterdevice.h"

#include <QCoreApplication>
#include <QThread>

// --- report printer -------------------------------------------------------------------

double CustomReport::pageWidthNative() const { return m_page->nativeValue(RpPage::WidthIdx); }
double CustomReport::pageLengthNative() const { return m_page->nativeValue(RpPage::LengthIdx); }

void CustomReport::afterPrint()
{
    if (afterPrintEvent)
        afterPrintEvent(this);
}

bool CustomReport::createReportPrinter()
{
    if (!m_available)
        return false;
    m_parentSettings.useStandardPrinter = m_printerSettings.useStandardprinter;
    QPointer<QObject> client;
    if (m_reportPrinter)
        client = m_reportPrinter->client();
    m_reportPrinter.reset();
    m_reportPrinter = std::make_unique<RpPrinter>(this);
    m_reportPrinter->setClient(client);
    m_reportPrinter->afterPreviewEvent = [this](RpPrinter *) {
        if (afterPreviewEvent)
            afterPreviewEvent(this);
    };
    m_reportPrinter->afterPrintEvent = [this](RpPrinter *) { afterPrint(); };
    return true;
}

void CustomReport::applyReportPrinterSettings()
{
    RpPrinter &p = *m_reportPrinter;
    const StoredPrinterSettings &s = m_printerSettings;
    if (s.printerIndex != -1 && !s.useStandardprinter)
        p.setPrinterIndex(s.printerIndex);
    p.setPaperSize(m_page->paperSize());
    const bool landscape = m_page->orientation() == PrinterOrientation::poLandscape;
    p.setOrientation(m_page->orientation());
    if (m_page->paperSize() == RpPaperSize::Custom) {
        const int w = rpRound(m_page->nativeValue(RpPage::WidthIdx));
        const int l = rpRound(m_page->nativeValue(RpPage::LengthIdx));
        p.settings().setPaperWidth(landscape ? l : w);
        p.settings().setPaperLength(landscape ? w : l);
    }
    s.applyTo(p);
}

// --- entry points -----------------------------------------------------------------

namespace {

// The report printer of a preview: the window opens on it before any page
// exists, and it asks the report for printer setup, printing and export.
void setUpPreviewPrinter(CustomReport &report, RpPrinter &p)
{
    p.setDestination(rpdMetafile);
    p.setMaster(&report);
    p.onPrintSetup = [&report](RpPrinter *) { report.printerSetup(); };
    p.onExportToFilter = [&report](RpExportFilter *f) { report.exportToFilter(f); };
    p.setTitle(report.reportTitle());
    if (report.onPreview)
        p.onPreview = report.onPreview;
}

} // namespace

void CustomReport::preview()
{
    processMessages();
    if (m_createInBGThread) {
        previewModeless();
        return;
    }
    if (!createReportPrinter() || m_reportPrinter->showingPreview())
        return;
    setUpPreviewPrinter(*this, *m_reportPrinter);
    applyReportPrinterSettings();
    m_reportPrinter->preview();
    generateReport();
    if (!m_reportPrinter)
        return; // the preview closed while the run went on
    m_reportPrinter->setReportLoaded(true);
    if (afterPreviewEvent)
        afterPreviewEvent(this);
    if (m_cancelled) {
        m_reportPrinter.reset();
        return;
    }
    // The preview is modeless: its messages run here until it closes.
    while (m_reportPrinter && m_reportPrinter->showingPreview() && !QCoreApplication::closingDown())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void CustomReport::previewModal()
{
    if (m_createInBGThread) {
        previewModeless();
        return;
    }
    if (!createReportPrinter())
        return;
    setUpPreviewPrinter(*this, *m_reportPrinter);
    applyReportPrinterSettings();
    generateReport();
    if (!m_reportPrinter)
        return;
    m_reportPrinter->setReportLoaded(true);
    if (afterPreviewEvent)
        afterPreviewEvent(this);
    if (m_cancelled)
        m_reportPrinter.reset();
    else
        m_reportPrinter->previewModal();
}

void CustomReport::previewModeless()
{
    if (m_background && m_background->isRunning())
        return;
    if (!createReportPrinter())
        return;
    setUpPreviewPrinter(*this, *m_reportPrinter);
    // The report is taken before the thread starts: no other run begins
    // meanwhile, and Available reads false from now on.
    if (!reserveRun())
        return;
    // The window opens first, so it is there for the first page's notice.
    m_reportPrinter->preview();
    m_background = std::make_unique<BackgroundRun>(*this);
    m_background->start();
}

void CustomReport::prepare()
{
    if (!createReportPrinter())
        return;
    setUpPreviewPrinter(*this, *m_reportPrinter);
    generateReport();
    if (m_reportPrinter)
        m_reportPrinter->setReportLoaded(true);
}

// A run on a printer of its own: the report's printer (a preview's, with its
// recorded pages) is kept aside meanwhile and put back afterwards, also when
// the run fails; the run's printer and progress window go with it.
class CustomReport::PrinterAside {
public:
    explicit PrinterAside(CustomReport &r) : m_report(r), m_kept(std::move(r.m_reportPrinter)) {}
    ~PrinterAside()
    {
        m_progress.reset();
        m_report.m_reportPrinter = std::move(m_kept);
    }
    RpPrinter *kept() const { return m_kept.get(); }
    // The progress window on the run's printer, as its client.
    void showProgress(const QString &caption = QString())
    {
        if (!m_report.m_showProgress)
            return;
        m_progress = std::make_unique<RpProgressDialog>(m_report.m_reportPrinter.get(), &m_report);
        if (!caption.isEmpty())
            m_progress->setWindowTitle(caption);
        m_progress->show();
        m_report.m_reportPrinter->setClient(m_progress.get());
    }

private:
    CustomReport &m_report;
    std::unique_ptr<RpPrinter> m_kept;
    std::unique_ptr<RpProgressDialog> m_progress;
};

void CustomReport::print()
{
    if (m_parentComposite) {
        m_parentComposite->print();
        return;
    }
    if (!m_available)
        return;
    PrinterAside aside(*this);
    if (!createReportPrinter() || !m_reportPrinter->printerOK())
        return;
    m_reportPrinter->setDestination(rpdPrinter);
    aside.showProgress();
    generateReport();
}

void CustomReport::printBackground()
{
    if (m_background && m_background->isRunning())
        return;
    if (!createReportPrinter() || !m_reportPrinter->printerOK())
        return;
    m_reportPrinter->setDestination(rpdPrinter);
    if (!reserveRun())
        return;
    m_background = std::make_unique<BackgroundRun>(*this);
    m_background->start();
}

void CustomReport::exportToFilter(RpExportFilter *filter)
{
    if (!m_available || !filter)
        return;
    filter->setOwner(this);
    PrinterAside aside(*this);
    filter->setOriginalReportPrinter(aside.kept());
    // The printer the run places its items with (made anew here).
    createReportPrinter();
    aside.showProgress(QString::fromLatin1(reportstrings::kExportingProgress));
    RpRunRequest request;
    request.filter = filter;
    request.finalPass = false;
    generateReport(request);
}

void CustomReport::exportComposite(RpExportFilter *filter, RpPrinter *printer, const RpRunPosition &start)
{
    if (!m_available || !filter || !printer)
        return;
    filter->setOwner(this);
    filter->setOriginalReportPrinter(printer);
    struct Restore {
        CustomReport &r;
        ~Restore() { r.m_compositePrinter = nullptr; }
    } restore{*this};
    m_compositePrinter = printer;
    RpRunRequest request;
    request.filter = filter;
    request.finalPass = false;
    request.compositePart = true;
    request.start = start;
    generateReport(request);
}

bool CustomReport::backgroundRunning() const { return m_background && m_background->isRunning(); }

void CustomReport::backgroundRunFailed(const RpError &error)
{
    if (m_reportPrinter)
        m_reportPrinter->setRunError(error.message());
    if (onBackgroundError)
        onBackgroundError(this, error);
}

void CustomReport::cancel()
{
    if (m_available)
        return;
    m_cancelled = true;
    // The printer the run goes on: the composite's while the report runs as
    // one of its parts.
    if (RpPrinter *p = reportPrinter())
        p->cancel();
}

bool CustomReport::event(QEvent *e)
{
    if (const RpMessageEvent *m = RpMessageEvent::from(e)) {
        switch (m->message()) {
        case CM_PRINTREPORT:
            print();
            return true;
        case CM_PREVIEWCLOSED:
            // Closing the preview frees its printer, or cancels the run that
            // still fills it.
            if (!m_available) {
                cancel();
            } else if (m_reportPrinter && (m->lParam() == 0 || m->lParamAs<RpPrinter>() == m_reportPrinter.get())) {
                m_reportPrinter->setShowingPreview(false);
                m_reportPrinter.reset();
            }
            return true;
        default:
            return true;
        }
    }
    return RpBasePanel::event(e);
}

// --- data ---------------------------------------------------------------------------

RpDataSet *CustomReport::findDataSet(const QString &name) const
{
    if (name.isEmpty())
        return nullptr;
    for (RpDataSet *d : m_formDataSets)
        if (d && d->name().compare(name, Qt::CaseInsensitive) == 0)
            return d;
    return nullptr;
}

int CustomReport::recordCount() const
{
    RpDataSet *d = findDataSet(m_dataSetName);
    if (!d || !d->isActive())
        return 1;
    const int n = d->recordCount();
    return n > 0 ? n : 1;
}

int CustomReport::recordNumber() const { return m_controller->detailNumber(); }

void CustomReport::addNotifyClient(RpPrintable *p) { m_controller->addNotifyClient(p); }

bool CustomReport::printIfEmpty() const { return m_controller->printIfEmpty(); }
void CustomReport::setPrintIfEmpty(bool v) { m_controller->setPrintIfEmpty(v); }

QList<RpPrintable *> CustomReport::ownPrintables() const
{
    QList<RpPrintable *> out;
    for (QObject *o : children())
        if (auto *p = qobject_cast<RpPrintable *>(o))
            out.append(p);
    return out;
}

QList<RpCustomBand *> CustomReport::bandsInCreationOrder() const
{
    QList<RpCustomBand *> out;
    for (QObject *o : children())
        if (auto *b = qobject_cast<RpCustomBand *>(o))
            out.append(b);
    return out;
}

// --- one run --------------------------------------------------------------------------

namespace {

// Every printable of the report: on its bands, on the report itself, and
// inside panels, at any depth.
void forEachPrintable(QObject *root, const std::function<void(RpPrintable *)> &f)
{
    for (QObject *o : root->children()) {
        if (auto *p = qobject_cast<RpPrintable *>(o))
            f(p);
        else if (qobject_cast<QWidget *>(o))
            forEachPrintable(o, f);
    }
}

} // namespace

bool CustomReport::reserveRun()
{
    bool available = true;
    return m_available.compare_exchange_strong(available, false);
}

void CustomReport::generateReport(const RpRunRequest &request)
{
    if (reserveRun())
        runReserved(request);
}

void CustomReport::runReserved(const RpRunRequest &request)
{
    const bool compositePart = request.compositePart;
    // However the run ends, the report is available again afterwards.
    struct Available {
        std::atomic<bool> &flag;
        ~Available() { flag = true; }
    } available{m_available};
    // Margins that leave no room are dropped.
    auto native = [this](int i) { return m_page->nativeValue(i); };
    bool marginsDropped = false;
    if (native(RpPage::WidthIdx) - native(RpPage::LeftMarginIdx) - native(RpPage::RightMarginIdx) < 0) {
        m_page->setNativeValue(RpPage::LeftMarginIdx, 0);
        m_page->setNativeValue(RpPage::RightMarginIdx, 0);
        marginsDropped = true;
    }
    if (native(RpPage::LengthIdx) - native(RpPage::TopMarginIdx) - native(RpPage::BottomMarginIdx) < 0) {
        m_page->setNativeValue(RpPage::TopMarginIdx, 0);
        m_page->setNativeValue(RpPage::BottomMarginIdx, 0);
        marginsDropped = true;
    }
    if (marginsDropped)
        runOnGuiThread(this, [this] { setBandValues(); });
    if (!reportPrinter())
        throw RpError(RpErrorKind::NotAvailable, QString::fromLatin1(printerstrings::kReportPrinterNotReady));
    RpPrinter &printer = *reportPrinter();
    RpPrinterPageDevice device(printer);

    m_cancelled = false;
    RpReportRun run(*this, device, request);
    run.dataSets = m_formDataSets;
    runOnGuiThread(this, [this] { setPreviewPage(QImage()); });

    bool docOpened = false;
    bool prepared = false;
    RpEvEnvironment environment;
    const RpUnit savedUnits = units();
    // Ends what the run began. A run that failed aborts the printer's
    // document: a document cut short is neither shown as complete nor sent
    // to the printer.
    auto finish = [&](bool failed) {
        if (prepared) {
            forEachPrintable(this, [](RpPrintable *p) { p->endPrinting(); });
            m_controller->unprepare();
            environment.unprepare();
            rpGlobalEnvironment()->unprepare();
        }
        setUnitsOnRun(savedUnits);
        if (docOpened || compositePart) {
            if (m_cancelled || (failed && !compositePart))
                printer.abortDoc();
            else if (!compositePart)
                run.finalPass() ? printer.endDoc() : printer.abortDoc();
        }
        m_lastPosition = {run.currentX, run.currentY, run.currentColumn, run.pageNumber};
    };
    // A run left by an error is ended on the way out; the error that ended it
    // is the one the caller gets, so a second one while ending it (the same
    // full disk) is dropped.
    struct EndOnError {
        decltype(finish) &end;
        bool ended = false;
        ~EndOnError()
        {
            if (!ended) {
                try {
                    end(true);
                } catch (const std::exception &) {
                }
            }
        }
    } onError{finish};
    bool printReport = true;
    if (beforePrintEvent)
        beforePrintEvent(this, printReport);
    if (printReport) {
        setUnitsOnRun(RpUnit::Native);
        if (compositePart) {
            m_page->setPaperSize(printer.paperSize());
            m_page->setOrientation(printer.orientation());
            run.currentY = request.start.currentY;
            run.currentColumn = request.start.currentColumn;
            run.pageNumber = request.start.pageNumber;
        } else {
            applyReportPrinterSettings();
            printer.setTitle(jobTitle());
            printer.setCompression(hasOption(Compression));
            printer.beginDoc();
            docOpened = true;
            run.currentY = -1;
            run.pageNumber = 0;
            run.currentColumn = m_page->columns();
        }
        if (run.exporting() && !run.exportFilter()->active())
            run.exportFilter()->start(rpRound(native(RpPage::WidthIdx)), rpRound(native(RpPage::LengthIdx)), &m_font);
        run.resetPageFooterSize();
        run.currentX = rpRound(native(RpPage::LeftMarginIdx));

        m_controller->collect();
        rpGlobalEnvironment()->prepare();
        for (const auto &[name, expression] : m_functions)
            environment.addFunction(name, expression);
        environment.setDataSets(run.dataSets);
        environment.prepare();
        environment.setStringConstant(QStringLiteral("REPORTTITLE"), m_reportTitle);
        environment.setIntegerConstant(QStringLiteral("PAGENUMBER"), run.pageNumber);
        environment.setIntegerConstant(QStringLiteral("COLUMNNUMBER"), run.currentColumn);
        run.environment = &environment;
        prepared = true;
        m_controller->prepare(run);
        forEachPrintable(this, [&run](RpPrintable *p) { p->beginPrinting(run); });

        m_controller->setDetail(m_bands.detailBand());
        m_controller->setHeader(m_bands.titleBand());
        m_controller->setFooter(m_bands.summaryBand());
        m_controller->setDataSet(findDataSet(m_dataSetName));
        m_controller->onNeedData = onNeedData;
        m_controller->runDetailLoop(run);

        if (!compositePart) {
            run.currentX = rpRound(native(RpPage::LeftMarginIdx));
            run.lastPage = true;
            if (!m_cancelled)
                run.endPage();
            if (run.exporting())
                run.exportFilter()->finish();
        } else if (m_tag == 999) {
            run.lastPage = true;
            run.endPage();
            if (run.exporting())
                run.exportFilter()->finish();
        }
    }
    onError.ended = true;
    finish(false);
}
