// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/rppreview.h"

#include "platform/rperror.h"
#include "platform/units.h"
#include "preview/pagepainting.h"
#include "printer/rppagelist.h"
#include "printer/rpprinter.h"
#include "report/customreport.h"

#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

namespace {
// The paper without a printer: the size of Letter, as the table has it.
constexpr double kLetterWidth = 215.9, kLetterLength = 279.4;
// The border and shadow around the sheet.
constexpr int kFrame = 4;
} // namespace

void HeldPrinter::set(RpPrinter *p)
{
    m_printer = p;
    if (p)
        m_watch = p->lifetimeWatch();
    else
        m_watch.reset();
}

// --- the image --------------------------------------------------------------

RpPreviewImage::RpPreviewImage(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("PreviewImage"));
    resize(100, 50);
}

void RpPreviewImage::setImagePage(int v)
{
    m_pageNumber = v;
    m_metafile.reset();
    m_played = QImage();
    if (RpPrinter *p = m_printer.get()) {
        // Through the page list: a page still being drawn is not in it yet.
        try {
            if (const auto bytes = p->pageList()->getPage(v))
                m_metafile = Metafile::fromBytes(*bytes);
        } catch (const RpError &) {
            m_metafile.reset();
        }
    }
    update();
}

const QImage &RpPreviewImage::played()
{
    if (m_metafile && m_played.size() != size())
        m_played = pagepainting::playPage(*m_metafile, size(), Qt::transparent);
    return m_played;
}

void RpPreviewImage::paintEvent(QPaintEvent *)
{
    if (!m_metafile)
        return; // a page not yet stored: the scroll area's background shows
    QPainter p(this);
    pagepainting::paintPage(p, &played(), rect());
}

// --- the scrolling control ----------------------------------------------------

RpPreview::RpPreview(QWidget *parent) : QScrollArea(parent), m_image(new RpPreviewImage)
{
    setObjectName(QStringLiteral("RpPreview"));
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(false);
    setWidget(m_image);
    setAlignment(Qt::AlignCenter);
    horizontalScrollBar()->setTracking(true);
    verticalScrollBar()->setTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    resize(250, 250);
}

RpPreview::~RpPreview() { setReportPrinter(nullptr); }

void RpPreview::setReportPrinter(RpPrinter *p)
{
    if (RpPrinter *old = m_printer.get()) {
        if (old->client() == this) {
            old->setShowingPreview(false);
            old->setClient(nullptr);
        }
    }
    m_printer.set(p);
    m_image->setReportPrinter(p);
    m_available = 0;
    if (p) {
        p->setClient(this);
        p->setShowingPreview(true);
        m_available = p->status() == mpFinished ? p->pageCount() : p->availablePages();
    }
    // Page 1 whatever was shown before.
    m_pageNumber = 1;
    m_image->setImagePage(1);
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
}

void RpPreview::setPageNumber(int v)
{
    RpPrinter *p = m_printer.get();
    if ((v == m_pageNumber && m_image->imageOK()) || v <= 0 || !p || v > p->pageCount())
        return;
    m_image->setImagePage(v);
    m_pageNumber = v;
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
}

void RpPreview::setZoom(int z)
{
    if (z < kMinZoom || z > kMaxZoom)
        return;
    m_zoomState = RpZoomState::rpZoomOther;
    m_zoom = z;
    updateZoom();
}

QSize RpPreview::paperPixels(double zoom) const
{
    // The paper at the screen's resolution, whatever resolution its pages
    // are recorded at.
    if (RpPrinter *p = m_printer.get()) {
        const double f = units::devicePerNative(units::screenPixelsPerInch());
        return {rpRound(p->paperWidthValue() / 100.0 * zoom * f), rpRound(p->paperLengthValue() / 100.0 * zoom * f)};
    }
    return {rpRound(kLetterWidth / 100.0 * zoom), rpRound(kLetterLength / 100.0 * zoom)};
}

void RpPreview::updateZoom()
{
    const QSize s = paperPixels(m_zoom);
    // The area centres an image smaller than itself and puts a larger one
    // at its corner.
    m_image->resize(s.width() + kFrame, s.height() + kFrame);
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    m_image->setZoom(m_zoom);
}

void RpPreview::zoomToFit()
{
    const QSize paper = paperPixels(100);
    const int a = rpRound(double(width()) / std::max(1, paper.width()) * 95);
    const int b = rpRound(double(height()) / std::max(1, paper.height()) * 95);
    setZoom(std::min(a, b));
    updateZoom();
    m_zoomState = RpZoomState::rpZoomToFit;
}

void RpPreview::zoomToWidth()
{
    const QSize paper = paperPixels(100);
    // With a printer the width takes 90 %, without one 95 %.
    const double factor = m_printer.get() ? 90 : 95;
    setZoom(rpRound(double(width()) / std::max(1, paper.width()) * factor));
    updateZoom();
    m_zoomState = RpZoomState::rpZoomToWidth;
}

void RpPreview::refitZoom()
{
    if (m_zoomState == RpZoomState::rpZoomToFit)
        zoomToFit();
    else if (m_zoomState == RpZoomState::rpZoomToWidth)
        zoomToWidth();
    updateZoom();
}

void RpPreview::updateImage()
{
    RpPrinter *p = m_printer.get();
    if (!p || m_image->imageOK() || m_available < m_image->pageNumber())
        return;
    if (auto *report = dynamic_cast<CustomReport *>(p->parentReport()))
        if (report->prevInitialZoom() == RpZoomState::rpZoomToWidth)
            zoomToWidth();
    m_image->setImagePage(m_image->pageNumber());
}

void RpPreview::pageAvailable(int n)
{
    m_available = n;
    if (n == m_pageNumber)
        updateImage();
    if (onPageAvailable)
        onPageAvailable(this, n);
}

bool RpPreview::event(QEvent *e)
{
    if (const RpMessageEvent *m = RpMessageEvent::from(e)) {
        const int value = int(m->wParam() & 0xffff);
        if (m->message() == CM_PAGEAVAILABLE)
            pageAvailable(value);
        else if (m->message() == CM_REPORTPROGRESS && onProgressUpdate)
            onProgressUpdate(this, value);
        return true;
    }
    return QScrollArea::event(e);
}

void RpPreview::resizeEvent(QResizeEvent *e)
{
    QScrollArea::resizeEvent(e);
    refitZoom();
}

void RpPreview::focusInEvent(QFocusEvent *e)
{
    QScrollArea::focusInEvent(e);
    refitZoom();
}

void RpPreview::wheelEvent(QWheelEvent *e)
{
    if (!onMouseWheel) {
        QScrollArea::wheelEvent(e);
        return;
    }
    const int delta = e->angleDelta().y();
    if (delta != 0)
        onMouseWheel(this, delta > 0);
    e->accept();
}
