// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Printing the recorded pages of a document (a preview's pages, or a loaded
// report file) onto the printer, as they are.
#include "printer/rpprinter.h"

#include "platform/canvas.h"
#include "platform/messages.h"
#include "platform/rperror.h"
#include "platform/units.h"
#include "printer/printerdevice.h"
#include "printer/rpprinterparent.h"
#include "printer/rpprogressdialog.h"

#include <algorithm>

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
                    // A destructor cannot pass it on; the error that ended
                    // the job early is the one the caller hears of.
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
    const RpLifetime::Watch alive = m_lifetime.watch();
    for (int i = first; i <= last; ++i) {
        processMessages();
        if (!alive.alive()) {
            // The printer was freed meanwhile (its preview closed): the job
            // is abandoned, and nothing of the printer is touched again.
            dev.abortDoc();
            return;
        }
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
                // The error that ended the job is the one passed on.
            }
        }
        throw;
    }
    dev.endDoc();
}
