#include "printer/rpprinter.h"

#include "platform/canvas.h"
#include "platform/messages.h"
#include "platform/metafilerecorder.h"
#include "platform/rperror.h"
#include "printer/printerdevice.h"
#include "printer/printerstrings.h"
#include "printer/rpprinterparent.h"
#include "printer/rpprogressdialog.h"

#include <QIODevice>
#include <QWidget>

#include <algorithm>
#include <cmath>

// --- preview interface registry and process-wide flags ---------------------

QWidget *RpPreviewInterface::show(RpPrinter *) { return nullptr; }
QWidget *RpPreviewInterface::showModal(RpPrinter *) { return nullptr; }

namespace {
RpPreviewInterfaceFactory &previewFactory()
{
    static RpPreviewInterfaceFactory f = [] { return std::make_unique<RpPreviewInterface>(); };
    return f;
}
bool g_reportFileLoaded = false;

} // namespace

void setPreviewInterfaceClass(RpPreviewInterfaceFactory factory) { previewFactory() = std::move(factory); }
RpPreviewInterfaceFactory previewInterfaceClass() { return previewFactory(); }
bool reportFileLoaded() { return g_reportFileLoaded; }
void setReportFileLoaded(bool loaded) { g_reportFileLoaded = loaded; }

// --- construction -----------------------------------------------------------

RpPrinter::RpPrinter(RpPrinterParent *parentReport) : m_pageList(std::make_unique<RpPageList>())
{
    PrinterDevice &dev = device();
    m_printerOK = !dev.printers().isEmpty();
    if (parentReport) {
        const RpPrinterSettings &s = parentReport->printerSettings();
        m_settings.setUseStandardPrinter(s.useStandardPrinter);
        m_settings.setMemoryLimit(s.memoryLimit);
        m_parent = parentReport;
    } else {
        m_settings.setUseStandardPrinter(false);
    }
    if (m_printerOK) {
        m_settings.setPrinter(&dev);
        processMessages();
    }
    m_topWaste = m_settings.topOffset();
    m_leftWaste = m_settings.leftOffset();
    setWaste();
}

RpPrinter::~RpPrinter()
{
    if (m_status != mpReady) {
        try {
            cleanup();
        } catch (...) {
        }
    }
}

PrinterDevice &RpPrinter::device() const { return systemPrinter(); }

void RpPrinter::cleanup()
{
    if (m_status == mpBusy)
        cancel();
    if (m_deviceDocRunning) {
        try {
            device().abortDoc();
        } catch (const RpError &) {
        }
        m_deviceDocRunning = false;
    }
    m_recorder.reset();
    m_canvas = nullptr;
    m_pageList->setStream(nullptr);
    m_pageList->clear();
    m_status = mpReady;
}

int RpPrinter::printerIndex() const { return device().printerIndex(); }
QStringList RpPrinter::printers() const { return device().printers(); }

void RpPrinter::setPrinterIndex(int index)
{
    PrinterDevice &dev = device();
    dev.refresh();
    m_printerOK = !dev.printers().isEmpty();
    if (!m_printerOK || m_settings.useStandardPrinter() || index == dev.printerIndex() || index == -1)
        return;
    dev.setPrinterIndex(index);
    m_settings.setPrinter(&dev);
}

// --- geometry -----------------------------------------------------------------

void RpPrinter::setWaste()
{
    if (m_destination == rpdPrinter) {
        m_leftWaste = m_settings.leftOffset();
        m_topWaste = m_settings.topOffset();
    } else {
        m_leftWaste = 0;
        m_topWaste = 0;
    }
}

qint32 RpPrinter::xPos(double v) const { return rpRound((v - m_leftWaste) * m_xFactor); }
qint32 RpPrinter::yPos(double v) const { return rpRound((v - m_topWaste) * m_yFactor); }
qint32 RpPrinter::xSize(double v) const { return rpRound(v * m_xFactor); }
qint32 RpPrinter::ySize(double v) const { return rpRound(v * m_yFactor); }

qint32 RpPrinter::paperWidthValue() const
{
    const bool landscape = m_settings.orientation() == RpOrientation::poLandscape;
    if (const auto s = papers::sizeNative(m_settings.paperSize(), landscape))
        return s->width();
    return landscape ? m_settings.paperLength() : m_settings.paperWidth();
}

qint32 RpPrinter::paperLengthValue() const
{
    const bool landscape = m_settings.orientation() == RpOrientation::poLandscape;
    if (const auto s = papers::sizeNative(m_settings.paperSize(), landscape))
        return s->height();
    return landscape ? m_settings.paperWidth() : m_settings.paperLength();
}

double RpPrinter::screenFactor() const { return units::devicePerNative(units::screenPixelsPerInch()); }

// --- messages -----------------------------------------------------------------

void RpPrinter::setAvailablePages(int n)
{
    m_availablePages = n;
    postMessage(m_client, CM_PAGEAVAILABLE, quintptr(n), 0);
}

void RpPrinter::setProgress(int p)
{
    m_progress = p;
    postMessage(m_client, CM_REPORTPROGRESS, quintptr(p), 0);
}

void RpPrinter::setPageNumber(int n)
{
    if (n >= 1 && n <= m_pageCount)
        m_pageNumber = n;
}

// --- documents ----------------------------------------------------------------

void RpPrinter::beginDoc()
{
    m_recorder.reset();
    m_availablePages = 0;
    m_masterProgressStart = 0;
    m_masterProgressEnd = 0;
    m_cancelled = false;
    if (m_destination == rpdPrinter)
        m_settings.applySettings();
    setWaste();
    if (m_status != mpReady)
        throw RpError(QString::fromLatin1(printerstrings::kReportPrinterNotReady));
    m_pageNumber = 0;
    m_pageCount = 0;
    m_status = mpBusy;
    m_deviceDocRunning = false;
    if (m_destination == rpdMetafile) {
        m_pageList->setStream(std::make_unique<RpStream>(m_settings.memoryLimit()));
        m_pageList->clear();
        m_xFactor = m_yFactor = screenFactor();
    } else {
        PrinterDevice &dev = device();
        m_xFactor = units::devicePerNative(dev.deviceCaps(gdi::LOGPIXELSX));
        m_yFactor = units::devicePerNative(dev.deviceCaps(gdi::LOGPIXELSY));
        if (m_xFactor < kMinFactor)
            m_xFactor = kFallbackFactor;
        if (m_yFactor < kMinFactor)
            m_yFactor = kFallbackFactor;
    }
}

bool RpPrinter::inPrintRange() const
{
    return (m_firstPage <= 0 || m_pageCount >= m_firstPage) && (m_lastPage <= 0 || m_lastPage >= m_pageCount);
}

// Completes the page being recorded and, when keep, appends it to the page
// store. A store that cannot take the page (the temporary file cannot be
// created or written) ends the document: nothing of it is left behind.
void RpPrinter::closeRecordedPage(bool keep)
{
    if (!m_recorder)
        return;
    std::unique_ptr<MetafileRecorder> rec = std::move(m_recorder);
    m_canvas = nullptr;
    const Metafile mf = rec->finish();
    rec.reset();
    if (!keep)
        return;
    try {
        m_pageList->addPage(mf.bytes());
    } catch (const RpError &) {
        cleanup();
        throw;
    }
}

void RpPrinter::openMetafilePage()
{
    m_xFactor = m_yFactor = screenFactor();
    m_recorder = std::make_unique<MetafileRecorder>(xSize(paperWidthValue()), ySize(paperLengthValue()),
                                                    QStringLiteral("Tovrel") + QChar(0) + m_title);
    m_canvas = m_recorder.get();
}

void RpPrinter::newPage()
{
    if (m_status != mpBusy)
        throw RpError(QString::fromLatin1(printerstrings::kIllegalNewPage));
    PrinterDevice &dev = device();
    if (m_pageNumber > 0) {
        if (m_destination == rpdMetafile) {
            closeRecordedPage(true);
        } else if (inPrintRange()) {
            if (m_pageCount != m_lastPage && m_deviceDocRunning) {
                dev.newPage();
                m_canvas = dev.canvas();
            }
        } else {
            closeRecordedPage(false);
        }
        setAvailablePages(m_availablePages + 1);
    }
    ++m_pageCount;
    ++m_pageNumber;
    if (m_destination == rpdMetafile) {
        openMetafilePage();
    } else if (inPrintRange()) {
        if (!m_deviceDocRunning) {
            dev.setTitle(m_title);
            dev.beginDoc();
            m_deviceDocRunning = true;
        }
        m_canvas = dev.canvas();
        m_xFactor = units::devicePerNative(dev.deviceCaps(gdi::LOGPIXELSX));
        m_yFactor = units::devicePerNative(dev.deviceCaps(gdi::LOGPIXELSY));
        if (m_yFactor < kMinFactor)
            m_yFactor = 1.0;
        if (m_xFactor < kMinFactor)
            m_xFactor = kFallbackFactor;
    } else {
        // Out of the print range: drawn into a metafile that is thrown away.
        openMetafilePage();
    }
}

void RpPrinter::endDoc()
{
    if (m_status != mpBusy)
        return;
    const bool hadPage = m_pageCount > 0;
    if (m_destination == rpdPrinter) {
        closeRecordedPage(false);
        if (m_deviceDocRunning) {
            m_canvas = nullptr;
            m_deviceDocRunning = false;
            device().endDoc();
        }
    } else if (hadPage) {
        closeRecordedPage(true);
    }
    m_status = mpFinished;
    // The last page is available now; a document without pages has none.
    if (hadPage)
        setAvailablePages(m_availablePages + 1);
    processMessages();
    if (m_destination == rpdMetafile)
        m_pageList->finish();
    else if (afterPrintEvent)
        afterPrintEvent(this);
}

void RpPrinter::abortDoc()
{
    if (m_destination == rpdPrinter) {
        closeRecordedPage(false);
        if (m_deviceDocRunning) {
            m_canvas = nullptr;
            m_deviceDocRunning = false;
            device().abortDoc();
        }
    } else if (m_recorder) {
        closeRecordedPage(!(m_parent && m_parent->exporting()));
    }
    m_status = mpFinished;
}

std::optional<Metafile> RpPrinter::getPage(int n)
{
    if ((m_status != mpBusy && m_status != mpFinished) || n < 1 || n > m_pageCount)
        return std::nullopt;
    const auto bytes = m_pageList->getPage(n);
    if (!bytes)
        return std::nullopt;
    return Metafile::fromBytes(*bytes);
}

// --- printing recorded pages ------------------------------------------------

void RpPrinter::print()
{
    if (m_master && !m_reportLoaded && !m_settings.printMetafile() && m_status == mpFinished) {
        postMessage(m_master, CM_PRINTREPORT, 0, 0);
        return;
    }
    if (m_status != mpFinished || !m_printerOK)
        return;
    // The range holds only pages the document has: a last page beyond it
    // would come out as blank sheets, and a range with none of its pages
    // starts no job.
    const int first = m_firstPage > 0 ? m_firstPage : 1;
    const int last = m_lastPage > 0 ? std::min(m_lastPage, m_pageCount) : m_pageCount;
    if (first > last)
        return;
    PrinterDevice &dev = device();
    dev.setTitle(m_title);
    if (dev.printing())
        dev.abortDoc();
    m_settings.applySettings();
    dev.beginDoc();
    struct EndGuard {
        PrinterDevice &d;
        ~EndGuard()
        {
            if (d.printing()) {
                try {
                    d.endDoc();
                } catch (...) {
                }
            }
        }
    } guard{dev};

    const bool showing = m_parent && m_parent->showProgress();
    if (showing) {
        if (!m_progress_window)
            m_progress_window = std::make_unique<RpProgressDialog>(this, m_parent);
        m_progress_window->show();
        m_client = m_progress_window.get();
    }
    gdi::Rect target{0, 0, dev.deviceCaps(gdi::HORZRES), dev.deviceCaps(gdi::VERTRES)};
    if (m_parent) {
        const double px = units::devicePerNative(m_settings.pixelsPerX()), py = units::devicePerNative(m_settings.pixelsPerY());
        const double w = m_parent->pageWidthNative(), l = m_parent->pageLengthNative();
        target = gdi::Rect{-rpRound(m_settings.leftOffset() * px), -rpRound(m_settings.topOffset() * py),
                           rpRound((w - m_settings.leftOffset()) * px), rpRound((l - m_settings.topOffset()) * py)};
    }
    for (int i = first; i <= last; ++i) {
        processMessages();
        if (showing)
            setProgress(rpRound(double(i - first + 1) / double(last - first + 1) * 100.0));
        setPageNumber(i);
        if (const auto page = getPage(i))
            if (Canvas *c = dev.canvas())
                page->play(*c, target);
        if (i < last)
            dev.newPage();
        if (m_cancelled) {
            dev.abortDoc();
            break;
        }
    }
    if (m_progress_window)
        m_progress_window->hide();
    if (m_parent)
        m_parent->afterPrint();
}

void RpPrinter::printMetafileDirect(const QString &, int fromPage, int toPage)
{
    if (m_status != mpFinished)
        return;
    // Only pages the document has are printed: a range beyond it gives no
    // blank sheets, and a range without any of its pages no job at all.
    fromPage = std::max(fromPage, 1);
    toPage = std::min(toPage, m_pageCount);
    if (fromPage > toPage)
        return;
    PrinterDevice &dev = device();
    dev.beginDoc();
    try {
        const double px = units::devicePerNative(dev.deviceCaps(gdi::LOGPIXELSX)), py = units::devicePerNative(dev.deviceCaps(gdi::LOGPIXELSY));
        int w = dev.deviceCaps(gdi::HORZRES), h = dev.deviceCaps(gdi::VERTRES);
        if (m_settings.paperSize() == RpPaperSize::Custom) {
            w = rpRound(m_settings.paperWidth() * px);
            h = rpRound(m_settings.paperLength() * py);
        }
        const gdi::Rect r{rpRound(m_dpLeftMargin * px), rpRound(m_dpTopMargin * py), w, h};
        for (int i = fromPage; i <= toPage; ++i) {
            if (const auto page = getPage(i))
                if (Canvas *c = dev.canvas())
                    page->play(*c, r);
            if (i < toPage)
                dev.newPage();
        }
    } catch (...) {
        // A page that cannot be read or played ends the job: the printer is
        // not left with a document running.
        if (dev.printing()) {
            try {
                dev.abortDoc();
            } catch (const RpError &) {
            }
        }
        throw;
    }
    dev.endDoc();
}

void RpPrinter::printSetup()
{
    if (onPrintSetup)
        onPrintSetup(this);
}

// --- preview ------------------------------------------------------------------

void RpPrinter::preview()
{
    if (onPreview) {
        onPreview(this);
        return;
    }
    std::unique_ptr<RpPreviewInterface> pi = previewFactory()();
    if (pi)
        m_previewControl = pi->show(this);
}

void RpPrinter::previewModal()
{
    std::unique_ptr<RpPreviewInterface> pi = previewFactory()();
    if (pi)
        pi->showModal(this);
}

void RpPrinter::setShowingPreview(bool v)
{
    if (m_showingPreview && !v) {
        if (m_status == mpBusy)
            cancel();
        if (afterPreviewEvent)
            afterPreviewEvent(this);
    }
    m_showingPreview = v;
}

void RpPrinter::closePreview(QWidget *)
{
    setShowingPreview(false);
    if (m_master)
        sendMessage(m_master, CM_PREVIEWCLOSED, 0, qintptr(this));
}

void RpPrinter::addOutline(int level, const QString &caption, const QRect &target)
{
    if (m_status == mpBusy)
        m_pageList->addOutline(level, caption, m_pageNumber, target);
}

// --- report files -----------------------------------------------------------

void RpPrinter::save(const QString &fileName)
{
    if (m_status == mpFinished)
        m_pageList->saveToFile(fileName);
}

void RpPrinter::adoptLoaded(std::unique_ptr<RpPageList> list)
{
    // Only a file that loaded whole replaces the current pages.
    if (m_status != mpReady)
        cleanup();
    m_pageList = std::move(list);
    m_pageCount = m_pageList->pageCount();
    m_xFactor = m_yFactor = screenFactor();
}

void RpPrinter::guessPaper(bool exact)
{
    if (m_pageCount < 1)
        return;
    // A first page that does not read leaves the paper as it was; the pages
    // are still there to be shown and the error comes with them.
    Metafile mf;
    try {
        const auto bytes = m_pageList->getPage(1);
        if (!bytes)
            return;
        mf = Metafile::fromBytes(*bytes);
    } catch (const RpError &) {
        return;
    }
    if (!exact) {
        qint64 a = qint64(mf.width() / m_xFactor / 10), b = qint64(mf.height() / m_xFactor / 10);
        RpOrientation o = RpOrientation::poPortrait;
        if (b < a) {
            o = RpOrientation::poLandscape;
            std::swap(a, b);
        }
        setOrientation(o);
        qint64 best = 32000;
        RpPaperSize found = RpPaperSize::Default;
        for (int i = int(RpPaperSize::Letter); i <= int(RpPaperSize::ESheet); ++i) {
            const auto mm = papers::sizeMM(RpPaperSize(i));
            const qint64 score = std::llabs(qint64(mm->width()) - a) + std::llabs(qint64(mm->height()) - b);
            if (score < best) {
                best = score;
                found = RpPaperSize(i);
            }
        }
        if (found != RpPaperSize::Default)
            setPaperSize(found);
        return;
    }
    const qint64 a = qint64(mf.width() / m_xFactor / 40), b = qint64(mf.height() / m_xFactor / 40);
    std::optional<std::pair<RpPaperSize, RpOrientation>> match;
    for (int i = int(RpPaperSize::Letter); i <= int(RpPaperSize::ESheet); ++i) {
        const auto mm = papers::sizeMM(RpPaperSize(i));
        const qint64 w = qint64(mm->width() / 4), l = qint64(mm->height() / 4);
        if (w == a && l == b)
            match = {{RpPaperSize(i), RpOrientation::poPortrait}};
        else if (w == b && l == a)
            match = {{RpPaperSize(i), RpOrientation::poLandscape}};
    }
    if (match) {
        setPaperSize(match->first);
        setOrientation(match->second);
    } else {
        setOrientation(b < a ? RpOrientation::poLandscape : RpOrientation::poPortrait);
    }
}

void RpPrinter::load(const QString &fileName)
{
    auto list = std::make_unique<RpPageList>();
    list->loadFromFile(fileName);
    adoptLoaded(std::move(list));
    guessPaper(false);
    m_status = mpFinished;
    onPrintSetup = nullptr;
    m_reportLoaded = true;
    setReportFileLoaded(true);
}

void RpPrinter::loadFromStream(QIODevice &in)
{
    auto list = std::make_unique<RpPageList>();
    list->loadFromStream(in);
    adoptLoaded(std::move(list));
    guessPaper(true);
    m_status = mpFinished;
    onPrintSetup = nullptr;
    m_reportLoaded = true;
    setReportFileLoaded(true);
}
