// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/pagesink.h"

#include "platform/canvas.h"
#include "platform/metafilerecorder.h"
#include "platform/units.h"
#include "printer/printerdevice.h"
#include "printer/rppagelist.h"

// --- recording -------------------------------------------------------------

RpRecordingSink::RpRecordingSink(QSize pagePixels, const QString &description, int dpi)
    : m_pagePixels(pagePixels), m_description(description), m_dpi(dpi)
{
}

RpRecordingSink::~RpRecordingSink() = default;

Canvas *RpRecordingSink::beginPage()
{
    m_recorder = std::make_unique<MetafileRecorder>(m_pagePixels.width(), m_pagePixels.height(), m_description, m_dpi);
    return m_recorder.get();
}

void RpRecordingSink::endPage()
{
    if (!m_recorder)
        return;
    // The recorder goes before the page is handed on: a store that fails
    // leaves no page open behind it.
    std::unique_ptr<MetafileRecorder> rec = std::move(m_recorder);
    const QByteArray bytes = rec->finish().bytes();
    rec.reset();
    keep(bytes);
}

void RpRecordingSink::abort()
{
    if (keepAbandonedPage())
        endPage();
    else
        dropOpenPage();
}

void RpRecordingSink::dropOpenPage() { m_recorder.reset(); }

double RpRecordingSink::xFactor() const { return units::devicePerNative(m_dpi); }
double RpRecordingSink::yFactor() const { return units::devicePerNative(m_dpi); }

void RpStoreSink::keep(const QByteArray &metafile) { m_store.addPage(metafile); }

// --- the printer device ----------------------------------------------------

RpDeviceSink::~RpDeviceSink()
{
    // A sink dropped with its document still running (an error part-way)
    // leaves no job open on the printer.
    try {
        abort();
    } catch (...) {
        // A destructor cannot pass it on; the error that left the document
        // running is the one the caller hears of.
    }
}

Canvas *RpDeviceSink::beginPage()
{
    if (m_running) {
        m_device.newPage();
    } else {
        m_device.setTitle(m_title);
        m_device.beginDoc();
        m_running = true;
    }
    return m_device.canvas();
}

void RpDeviceSink::endDoc()
{
    if (!m_running)
        return;
    m_running = false;
    m_device.endDoc();
}

void RpDeviceSink::abort()
{
    if (!m_running)
        return;
    m_running = false;
    m_device.abortDoc();
}

double RpDeviceSink::xFactor() const
{
    const double f = units::devicePerNative(m_device.deviceCaps(gdi::LOGPIXELSX));
    return f < kMinFactor ? units::kScreenPixelsPerNative : f;
}

double RpDeviceSink::yFactor() const
{
    // A page whose device reports no vertical resolution is drawn at one
    // pixel per native unit.
    const double f = units::devicePerNative(m_device.deviceCaps(gdi::LOGPIXELSY));
    return f < kMinFactor ? 1.0 : f;
}
