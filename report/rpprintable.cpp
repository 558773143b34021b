// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/rpprintable.h"

#include "platform/guithread.h"
#include "platform/paintercanvas.h"
#include "platform/units.h"
#include "report/customreport.h"
#include "report/pagedevice.h"
#include "report/reportrun.h"
#include "report/rpband.h"

#include <QPainter>

RpPrintable::RpPrintable(QWidget *parent)
    : QWidget(nullptr)
    , m_frame(std::make_unique<RpFrame>(this))
    , m_size(std::make_unique<RpPrintableSize>(this))
{
    // Bounds set at creation flow into Size like any other.
    setBounds(0, 0, 10, 10);
    if (parent)
        setParentPanel(parent);
}

RpPrintable::~RpPrintable() = default;

void RpPrintable::setFrame(const RpFrame &f)
{
    m_frame->assign(f);
    update();
}

void RpPrintable::setZoom(int z)
{
    m_size->setZoom(z);
    m_size->updateOwnerBounds();
}

void RpPrintable::setPrintableEnabled(bool v)
{
    m_enabled = v;
    update();
}

void RpPrintable::setColor(quint32 c)
{
    m_color = c;
    update();
}

void RpPrintable::setOpaqueStyle(bool opaque)
{
    m_opaque = opaque;
    update();
}

void RpPrintable::setAlignToBand(bool v)
{
    m_alignToBand = v;
    applyBandAlignment();
}

void RpPrintable::applyBandAlignment()
{
    if (!m_alignToBand)
        return;
    // All in pixels of the stored values, the band's width as its size
    // gives it, so that aligning works the same on any thread.
    m_alignUpdating = true;
    auto *band = qobject_cast<RpCustomBand *>(parentWidget());
    const PixelBounds b = pixelBounds();
    const int bandWidth = band ? band->size()->pixelValue(RpBandSize::WidthIdx) : 0;
    switch (m_alignment) {
    case Alignment::taLeftJustify:
        storePixelBounds(0, b.top, b.width, b.height);
        break;
    case Alignment::taRightJustify:
        if (band)
            storePixelBounds(bandWidth - b.width, b.top, b.width, b.height);
        break;
    case Alignment::taCenter:
        if (band)
            storePixelBounds((bandWidth - b.width) / 2, b.top, b.width, b.height);
        break;
    }
    m_alignUpdating = false;
}

void RpPrintable::beginPrinting(RpReportRun &) { m_isPrinting = true; }

void RpPrintable::endPrinting() { m_isPrinting = false; }

void RpPrintable::printAt(RpReportRun &run, int ofsX, int ofsY)
{
    if (!run.finalPass() || !m_frame->anyFrame())
        return;
    RpPageDevice &p = run.device();
    const PageRect pr = pageRect(p, ofsX, ofsY);
    if (Canvas *c = p.canvas())
        m_frame->paintFrame(*c, gdi::Rect{pr.L, pr.T, pr.R, pr.B}, p.xFactor(), p.yFactor(), &run);
}

RpPrintable::PixelBounds RpPrintable::pixelBounds() const
{
    return {m_size->pixelValue(RpPrintableSize::LeftIdx), m_size->pixelValue(RpPrintableSize::TopIdx),
            m_size->pixelValue(RpPrintableSize::WidthIdx), m_size->pixelValue(RpPrintableSize::HeightIdx)};
}

RpPrintable::PageRect RpPrintable::pageRect(const RpPageDevice &p, int ofsX, int ofsY) const
{
    const double l = m_size->nativeValue(RpPrintableSize::LeftIdx);
    const double t = m_size->nativeValue(RpPrintableSize::TopIdx);
    const double w = m_size->nativeValue(RpPrintableSize::WidthIdx);
    const double h = m_size->nativeValue(RpPrintableSize::HeightIdx);
    return {p.xPos(ofsX + l), p.yPos(ofsY + t), p.xPos(ofsX + l + w), p.yPos(ofsY + t + h),
            p.xPos(ofsX + l + w / 2), p.yPos(ofsY + t + h / 2)};
}

void RpPrintable::notifyPrintable(QObject *, quint8 operation)
{
    if (operation == 2)
        applyBandAlignment();
}

void RpPrintable::changeAlignment(Alignment a)
{
    m_alignment = a;
    if (m_alignToBand)
        applyBandAlignment();
    update();
}

void RpPrintable::applyBounds(int l, int t, int w, int h)
{
    if (!requireGuiThread("a printable control's widget bounds"))
        return;
    setGeometry(l, t, std::max(w, 0), std::max(h, 0));
}

void RpPrintable::setBounds(int l, int t, int w, int h)
{
    if (m_size->parentUpdating()) {
        applyBounds(l, t, w, h);
        if (m_parentReport)
            m_parentReport->modify();
    } else if (m_loading) {
        if (l != 0) m_loadedLeft = l;
        if (t != 0) m_loadedTop = t;
        if (w != 0) m_loadedWidth = w;
        if (h != 0) m_loadedHeight = h;
    } else {
        storePixelBounds(l, t, w, h);
        return;
    }
    if (m_alignToBand && !m_alignUpdating)
        applyBandAlignment();
}

void RpPrintable::storePixelBounds(int l, int t, int w, int h)
{
    // Each value is written only when it differs from the pixel bound the
    // size object gives the control now, so putting the same pixel bounds
    // back leaves the stored values untouched.
    if (m_size->pixelValue(RpPrintableSize::HeightIdx) != h)
        m_size->setPixelValue(RpPrintableSize::HeightIdx, h);
    if (m_size->pixelValue(RpPrintableSize::WidthIdx) != w)
        m_size->setPixelValue(RpPrintableSize::WidthIdx, w);
    if (m_size->pixelValue(RpPrintableSize::TopIdx) != t)
        m_size->setPixelValue(RpPrintableSize::TopIdx, t);
    if (m_size->pixelValue(RpPrintableSize::LeftIdx) != l)
        m_size->setPixelValue(RpPrintableSize::LeftIdx, l);
    if (m_alignToBand && !m_alignUpdating)
        applyBandAlignment();
}

void RpPrintable::setParentPanel(QWidget *parent)
{
    const bool hidden = isHidden() && testAttribute(Qt::WA_WState_ExplicitShowHide);
    QWidget::setParent(parent);
    if (!hidden && parent)
        show();
    auto adopt = [this](CustomReport *report) {
        m_size->setParentReport(report);
        m_parentReport = report;
        setZoom(report->zoom());
    };
    // Re-applying the current bounds keeps Size in step with them. While a
    // description is being read the bounds are only the creation defaults:
    // remembering them as loaded bounds would later move every control
    // stored at left or top 0 to the default position, so the stored values
    // alone decide (they are applied in loaded()).
    if (auto *report = qobject_cast<CustomReport *>(parent)) {
        m_size->setUnits(report->units());
        adopt(report);
        if (!m_loading)
            setBounds(left(), top(), width(), height());
    } else if (auto *band = qobject_cast<RpCustomBand *>(parent)) {
        m_size->setUnits(band->size()->units());
        if (band->parentReport())
            adopt(band->parentReport());
        if (!m_loading)
            setBounds(left(), top(), width(), height());
    }
}

void RpPrintable::loaded()
{
    m_loading = false;
    m_size->afterLoad();
    const int l = left() == 0 && m_loadedLeft ? m_loadedLeft : left();
    const int t = top() == 0 && m_loadedTop ? m_loadedTop : top();
    const int w = width() == 0 && m_loadedWidth ? m_loadedWidth : width();
    const int h = height() == 0 && m_loadedHeight ? m_loadedHeight : height();
    if (l != left() || t != top() || w != width() || h != height())
        setBounds(l, t, w, h);
}

double RpPrintable::screenFactor() const
{
    return zoom() * units::devicePerNative(units::screenPixelsPerInch()) / 100.0;
}

void RpPrintable::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const int ppi = units::screenPixelsPerInch();
    PainterCanvas canvas(&painter, ppi, ppi, QWidget::size());
    paintSurface(canvas);
}

void RpPrintable::paintCorners(Canvas &canvas)
{
    const int W = width();
    const int H = height();
    canvas.setPen(gdi::LogPen{gdi::PS_SOLID, 1, gdi::rgb(0, 0, 0)});
    const gdi::Point marks[4][3] = {
        {{0, 3}, {0, 0}, {3, 0}},
        {{0, H - 4}, {0, H - 1}, {3, H - 1}},
        {{W - 4, 0}, {W - 1, 0}, {W - 1, 3}},
        {{W - 4, H - 1}, {W - 1, H - 1}, {W - 1, H - 4}},
    };
    for (const auto &m : marks)
        canvas.polyline(std::span<const gdi::Point>(m, 3));
}

void RpPrintable::paintBase(Canvas &canvas)
{
    if (m_opaque)
        canvas.fillRect(gdi::Rect{0, 0, width(), height()}, gdi::LogBrush{gdi::BS_SOLID, gdi::rgb(255, 255, 255), 0});
    paintCorners(canvas);
    const double f = screenFactor();
    m_frame->paintFrame(canvas, gdi::Rect{0, 0, width() - 1, height() - 1}, f, f);
}

void RpPrintable::paintSurface(Canvas &canvas)
{
    if (m_isPrinting)
        return;
    paintBase(canvas);
}
