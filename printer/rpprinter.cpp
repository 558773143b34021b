// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/rpprinter.h"

#include "platform/canvas.h"
#include "platform/messages.h"
#include "platform/rperror.h"
#include "printer/pagesink.h"
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
std::unique_ptr<RpPreviewInterface> makePreviewInterface()
{
    const RpPreviewInterfaceFactory &factory = printerState().previewInterface;
    return factory ? factory() : std::make_unique<RpPreviewInterface>();
}
} // namespace

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
            // A destructor cannot pass it on: a printer freed with its
            // document running (an error part-way) goes all the same.
        }
    }
}

PrinterDevice &RpPrinter::device() const { return systemPrinter(); }

void RpPrinter::cleanup()
{
    if (m_status == mpBusy)
        cancel();
    if (m_deviceSink) {
        try {
            m_deviceSink->abort();
        } catch (const RpError &) {
        }
    }
    m_sink = nullptr;
    m_storeSink.reset();
    m_deviceSink.reset();
    m_discardSink.reset();
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

void RpPrinter::setRunError(const QString &message)
{
    m_runError = message;
    postMessage(m_client, CM_PAGEAVAILABLE, quintptr(m_availablePages), 0);
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
    m_availablePages = 0;
    m_masterProgressStart = 0;
    m_masterProgressEnd = 0;
    m_cancelled = false;
    if (m_destination == rpdPrinter)
        m_settings.applySettings();
    setWaste();
    if (m_status != mpReady)
        throw RpError(RpErrorKind::BadArgument, QString::fromLatin1(printerstrings::kReportPrinterNotReady));
    m_pageNumber = 0;
    m_pageCount = 0;
    m_status = mpBusy;
    m_sink = nullptr;
    m_storeSink.reset();
    m_deviceSink.reset();
    m_discardSink.reset();
    const QString description = QStringLiteral("Tovrel") + QChar(0) + m_title;
    if (m_destination == rpdMetafile) {
        m_pageList->setStream(std::make_unique<RpStream>(m_settings.memoryLimit()));
        m_pageList->clear();
        m_recordingDpi = recordingDpi();
        m_xFactor = m_yFactor = units::devicePerNative(m_recordingDpi);
        m_storeSink = std::make_unique<RpStoreSink>(*m_pageList, recordedPageSize(), description, m_recordingDpi);
    } else {
        // Pages outside the print range are drawn as the device draws the
        // others, at its resolution, so that they lay out alike.
        const int dpi = device().deviceCaps(gdi::LOGPIXELSX);
        m_recordingDpi = units::devicePerNative(dpi) < kMinFactor ? units::screenPixelsPerInch() : dpi;
        m_deviceSink = std::make_unique<RpDeviceSink>(device(), m_title);
        m_discardSink = std::make_unique<RpDiscardingSink>(recordedPageSize(), description, m_recordingDpi);
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

int RpPrinter::recordingDpi() const
{
    return m_parent && m_parent->exporting() ? units::screenPixelsPerInch() : kRecordingPixelsPerInch;
}

QSize RpPrinter::recordedPageSize() const
{
    const double f = units::devicePerNative(m_recordingDpi);
    return {rpRound(paperWidthValue() * f), rpRound(paperLengthValue() * f)};
}

void RpPrinter::closePage()
{
    RpPageSink *sink = std::exchange(m_sink, nullptr);
    m_canvas = nullptr;
    if (!sink)
        return;
    try {
        sink->endPage();
    } catch (const RpError &) {
        cleanup();
        throw;
    }
}

void RpPrinter::openPage()
{
    // A page outside the print range is still drawn, into a metafile that is
    // thrown away.
    if (m_destination == rpdMetafile) {
        m_storeSink->setPageSize(recordedPageSize());
        m_sink = m_storeSink.get();
    } else if (inPrintRange()) {
        m_sink = m_deviceSink.get();
    } else {
        m_discardSink->setPageSize(recordedPageSize());
        m_sink = m_discardSink.get();
    }
    m_canvas = m_sink->beginPage();
    m_xFactor = m_sink->xFactor();
    m_yFactor = m_sink->yFactor();
}

void RpPrinter::newPage()
{
    if (m_status != mpBusy)
        throw RpError(RpErrorKind::BadArgument, QString::fromLatin1(printerstrings::kIllegalNewPage));
    if (m_pageNumber > 0) {
        closePage();
        setAvailablePages(m_availablePages + 1);
    }
    ++m_pageCount;
    ++m_pageNumber;
    openPage();
}

void RpPrinter::endDoc()
{
    if (m_status != mpBusy)
        return;
    const bool hadPage = m_pageCount > 0;
    closePage();
    if (m_deviceSink)
        m_deviceSink->endDoc();
    m_status = mpFinished;
    // The last page is available now; a document without pages has none.
    if (hadPage)
        setAvailablePages(m_availablePages + 1);
    const RpLifetime::Watch alive = m_lifetime.watch();
    processMessages();
    if (!alive.alive())
        return; // freed while the messages ran
    if (m_destination == rpdMetafile)
        m_pageList->finish();
    else if (afterPrintEvent)
        afterPrintEvent(this);
}

void RpPrinter::abortDoc()
{
    // Nothing to abort: no document, or one already ended (or given up when
    // its store failed).
    if (m_status != mpBusy)
        return;
    // The open page of an aborted export is dropped; otherwise it is kept.
    if (m_storeSink)
        m_storeSink->setDropAbandonedPage(m_parent && m_parent->exporting());
    RpPageSink *sink = std::exchange(m_sink, nullptr);
    m_canvas = nullptr;
    try {
        if (sink && sink != m_deviceSink.get())
            sink->abort();
        if (m_deviceSink)
            m_deviceSink->abort();
    } catch (const RpError &) {
        cleanup();
        throw;
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
    std::unique_ptr<RpPreviewInterface> pi = makePreviewInterface();
    if (pi)
        m_previewControl = pi->show(this);
}

void RpPrinter::previewModal()
{
    std::unique_ptr<RpPreviewInterface> pi = makePreviewInterface();
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
