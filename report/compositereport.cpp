// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/compositereport.h"

#include "platform/messages.h"
#include "printer/rpprinter.h"

#include <QCoreApplication>

// The hidden window: the printer's print request prints the composite, its
// preview-closed message ends the preview (or cancels the report still
// generating).
class CompositeWindow : public QWidget {
public:
    explicit CompositeWindow(RpCompositeReport &c) : m_composite(c) {}

protected:
    bool event(QEvent *e) override
    {
        if (const RpMessageEvent *m = RpMessageEvent::from(e)) {
            if (m->message() == CM_PRINTREPORT)
                m_composite.print();
            else if (m->message() == CM_PREVIEWCLOSED)
                m_composite.previewClosed();
            return true;
        }
        return QWidget::event(e);
    }

private:
    RpCompositeReport &m_composite;
};

RpCompositeReport::RpCompositeReport(QObject *owner)
    : QObject(owner)
    , m_window(std::make_unique<CompositeWindow>(*this))
{
}

RpCompositeReport::~RpCompositeReport() = default;

double RpCompositeReport::pageWidthNative() const
{
    return m_reports.isEmpty() ? 2100 : m_reports.first()->pageWidthNative();
}

double RpCompositeReport::pageLengthNative() const
{
    return m_reports.isEmpty() ? 2970 : m_reports.first()->pageLengthNative();
}

void RpCompositeReport::setUserCancel(bool cancel)
{
    if (m_current)
        m_current->setUserCancel(cancel);
}

void RpCompositeReport::previewClosed()
{
    if (m_generating) {
        if (m_current)
            m_current->cancel();
        return;
    }
    if (m_reportPrinter)
        m_reportPrinter->setShowingPreview(false);
    m_reportPrinter.reset();
}

void RpCompositeReport::applyCompositeSettings()
{
    RpPrinter &p = *m_reportPrinter;
    const RpCompositePrinterSettings &s = m_settings;
    if (s.printerIndex != -1 && !s.useStandardprinter)
        p.setPrinterIndex(s.printerIndex);
    p.setPaperSize(s.paperSize);
    p.setOrientation(s.orientation == int(PrinterOrientation::poLandscape) ? RpOrientation::poLandscape
                                                                            : RpOrientation::poPortrait);
    p.setTitle(s.title.isEmpty() ? m_reportTitle : s.title);
    s.applyTo(p);
}

namespace {
// The first report runs in native units for the document; afterwards it
// shows its own units again.
struct KeepUnits {
    explicit KeepUnits(CustomReport *r) : report(r), units(r->units()) {}
    ~KeepUnits()
    {
        if (report)
            report->setUnitsOnRun(units);
    }
    QPointer<CustomReport> report;
    RpUnit units;
};
} // namespace

bool RpCompositeReport::runParts(RpRunPosition position,
                                 const std::function<void(CustomReport *, const RpRunPosition &)> &generate)
{
    struct Done {
        RpCompositeReport &c;
        ~Done()
        {
            c.m_generating = false;
            c.m_current = nullptr;
        }
    } done{*this};
    m_generating = true;
    for (int i = 0; i < m_reports.size(); ++i) {
        CustomReport *r = m_reports[i];
        m_current = r;
        RpRunPosition start = position;
        if (r->startNewPageInComposite())
            start.currentY = rpRound(m_reportPrinter->paperLengthValue());
        // The last part is marked 999 while it generates.
        struct Tag {
            CustomReport *r;
            int kept;
            ~Tag() { r->setTag(kept); }
        } tag{r, r->tag()};
        if (i == m_reports.size() - 1)
            r->setTag(999);
        if (onStartReport)
            onStartReport(this, r, i);
        generate(r, start);
        r->afterPrint();
        if (r->cancelled())
            return true;
        if (onFinished)
            onFinished(r);
        const RpRunPosition end = r->lastPosition();
        position.currentY = end.currentY;
        position.currentColumn = end.currentColumn;
        position.pageNumber = end.pageNumber;
    }
    return false;
}

RpRunPosition RpCompositeReport::startPosition(int column) const
{
    CustomReport *first = m_reports.first();
    first->setUnitsOnRun(RpUnit::Native);
    RpRunPosition position;
    position.currentY = rpRound(first->page()->nativeValue(RpPage::LengthIdx));
    position.currentColumn = column;
    position.pageNumber = 0;
    return position;
}

void RpCompositeReport::generateComposite()
{
    m_reports.clear();
    m_window->setParent(qobject_cast<QWidget *>(parent()));
    if (onAddReports)
        onAddReports(this);
    if (!m_reports.isEmpty()) {
        applyCompositeSettings();
        m_reportPrinter->beginDoc();
        const KeepUnits units(m_reports.first());
        const RpRunPosition start = startPosition(m_reports.first()->page()->columns());
        int pagesStarted = 0;
        const bool cancelled = runParts(start, [this, &pagesStarted](CustomReport *r, const RpRunPosition &at) {
            struct Borrowed {
                CustomReport *r;
                ~Borrowed() { r->setCompositePrinter(nullptr); }
            } borrowed{r};
            r->setCompositePrinter(m_reportPrinter.get());
            RpRunRequest request;
            request.compositePart = true;
            request.start = at;
            request.documentPages = &pagesStarted;
            r->generateReport(request);
        });
        if (cancelled)
            m_reportPrinter.reset();
        else
            m_reportPrinter->endDoc();
        m_pageCount = pagesStarted;
    }
    if (onFinished)
        onFinished(this);
}

std::unique_ptr<Report> RpCompositeReport::makeStandIn(bool forPreview)
{
    auto standIn = std::make_unique<Report>();
    CustomReport *first = m_reports.first();
    standIn->page()->setOrientation(first->page()->orientation());
    standIn->page()->setPaperSize(first->page()->paperSize());
    standIn->setPreviewWidth(first->previewWidth());
    standIn->setPreviewHeight(first->previewHeight());
    if (forPreview) {
        standIn->previewSettings() = first->previewSettings();
        standIn->setReportTitle(first->reportTitle());
        standIn->setParentComposite(this);
    }
    standIn->storedPrinterSettings().orientation = int(first->page()->orientation());
    standIn->storedPrinterSettings().firstPage = m_settings.firstPage;
    standIn->storedPrinterSettings().lastPage = m_settings.lastPage;
    return standIn;
}

void RpCompositeReport::runOnStandInPrinter(bool forPreview, const std::function<void(CustomReport &)> &go)
{
    if (onAddReports)
        onAddReports(this);
    if (m_reports.isEmpty())
        return;
    CustomReport *first = m_reports.first();
    std::unique_ptr<Report> standIn = makeStandIn(forPreview);
    std::unique_ptr<RpPrinter> kept = std::move(m_reportPrinter);
    struct Restore {
        RpCompositeReport &c;
        std::unique_ptr<RpPrinter> &kept;
        ~Restore() { c.m_reportPrinter = std::move(kept); }
    } restore{*this, kept};
    m_reportPrinter = std::make_unique<RpPrinter>(standIn.get());
    m_reportPrinter->setOrientation(first->page()->orientation());
    m_reportPrinter->setFirstPage(m_settings.firstPage);
    m_reportPrinter->setLastPage(m_settings.lastPage);
    go(*first);
    m_reportPrinter.reset();
}

void RpCompositeReport::print()
{
    runOnStandInPrinter(false, [this](CustomReport &first) {
        m_reportPrinter->setTitle(m_reportTitle);
        m_settings.orientation = int(first.page()->orientation());
        m_settings.paperSize = first.page()->paperSize();
        m_settings.title = m_reportTitle;
        m_reportPrinter->setDestination(rpdPrinter);
        generateComposite();
    });
}

void RpCompositeReport::preview()
{
    runOnStandInPrinter(true, [this](CustomReport &first) {
        m_reportPrinter->setMaster(m_window.get());
        if (first.onPreview)
            m_reportPrinter->onPreview = first.onPreview;
        m_reportPrinter->onExportToFilter = [this](RpExportFilter *f) { exportToFilter(f); };
        m_reportPrinter->onPrintSetup = [this](RpPrinter *) { printerSetup(); };
        m_reportPrinter->preview();
        generateComposite();
        if (m_reportPrinter)
            m_reportPrinter->setReportLoaded(true);
        while (m_reportPrinter && m_reportPrinter->showingPreview() && !QCoreApplication::closingDown())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    });
}

void RpCompositeReport::prepare()
{
    m_reportPrinter = std::make_unique<RpPrinter>(this);
    generateComposite();
}

void RpCompositeReport::exportToFilter(RpExportFilter *filter)
{
    std::unique_ptr<RpPrinter> kept = std::move(m_reportPrinter);
    struct Restore {
        RpCompositeReport &c;
        std::unique_ptr<RpPrinter> &kept;
        ~Restore()
        {
            c.m_reportPrinter = std::move(kept);
            c.m_exporting = false;
        }
    } restore{*this, kept};
    m_reportPrinter = std::make_unique<RpPrinter>(this);
    m_reportPrinter->setDestination(rpdPrinter);
    m_reports.clear();
    m_window->setParent(qobject_cast<QWidget *>(parent()));
    m_reportPrinter->setPrinterIndex(m_settings.printerIndex);
    if (onAddReports)
        onAddReports(this);
    if (!m_reports.isEmpty() && filter) {
        applyCompositeSettings();
        m_reportPrinter->setDestination(rpdMetafile);
        m_exporting = true;
        m_reportPrinter->beginDoc();
        m_reportPrinter->newPage();
        const KeepUnits units(m_reports.first());
        // The first part starts a page as in generateComposite: starting in
        // column 0 would put the first page one column to the right, off the
        // paper.
        const bool cancelled = runParts(startPosition(m_reports.first()->page()->columns()),
                                        [this, filter](CustomReport *r, const RpRunPosition &at) {
            r->exportComposite(filter, m_reportPrinter.get(), at);
        });
        if (cancelled)
            m_reportPrinter.reset();
        else
            m_reportPrinter->endDoc();
    }
    m_reportPrinter.reset();
    if (onFinished)
        onFinished(this);
}
