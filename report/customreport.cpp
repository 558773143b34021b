// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/customreport.h"

#include "platform/units.h"
#include "platform/canvas.h"
#include "platform/guithread.h"
#include "platform/textmeasurer.h"
#include "printer/printerdevice.h"
#include "printer/processwide.h"
#include "report/reportenv.h"
#include "report/createreportthread.h"
#include "report/reportrun.h"
#include "report/rpcontroller.h"
#include "printer/rpprinter.h"
#include "report/reportstrings.h"
#include "report/rpband.h"
#include "report/rpprintable.h"
#include "report/surfacescheme.h"

#include <QImage>
#include <algorithm>

namespace {

RpBandType typeOfIndex(int index, bool &valid)
{
    valid = true;
    switch (index) {
    case 1: return rbTitle;
    case 2: return rbPageHeader;
    case 3: return rbColumnHeader;
    case 4: return rbDetail;
    case 6: return rbPageFooter;
    case 7: return rbSummary;
    default: valid = false; return rbTitle;
    }
}

} // namespace

// --- ReportBands -----------------------------------------------------------------

RpCustomBand *ReportBands::band(int index) const
{
    bool valid = false;
    const RpBandType t = typeOfIndex(index, valid);
    if (!valid)
        return nullptr;
    for (RpCustomBand *b : m_owner->bandList())
        if (b->bandType() == t)
            return b;
    return nullptr;
}

void ReportBands::setHas(int index, bool value)
{
    bool valid = false;
    const RpBandType t = typeOfIndex(index, valid);
    if (!valid)
        return;
    RpCustomBand *existing = band(index);
    if (value && !existing)
        m_owner->createBand(t);
    else if (!value && existing)
        delete existing;
}

// --- CustomReport ----------------------------------------------------------------

CustomReport::CustomReport(QWidget *parent, StartPaper paper)
    : RpBasePanel(parent)
    , m_bands(this)
{
    m_functions = {{QStringLiteral("PAGENUMBER"), QStringLiteral("0")},
                   {QStringLiteral("COLUMNNUMBER"), QStringLiteral("0")},
                   {QStringLiteral("REPORTTITLE"), QStringLiteral("''")}};
    m_controller = std::make_unique<RpController>(this, this);
    // A new report prints by generating again, not from a loaded file.
    printerState().reportFileLoaded = false;
    m_page = std::make_unique<RpPage>(this);
    m_color = rpcolor::clWhite;
    // The paper of the default printer; without one the size stays Default
    // and keeps the dimensions the page starts with.
    if (paper == StartPaper::DefaultPrinters)
        m_page->setPaperSize(defaultPrinterPaper().value_or(RpPaperSize::Default));
    m_page->setParentReport(this);
    if (!reportenv::japaneseLanguage()) {
        m_font.name = QString::fromLatin1(reportstrings::kReportFont);
        m_font.setSize(10);
    }
    move(0, 0);
    m_page->updateOwnerBounds();
    m_modified = false;
}

CustomReport::~CustomReport()
{
    // A run in the background ends before the report goes.
    if (m_background) {
        cancel();
        m_background.reset();
    }
    m_reportPrinter.reset();
    m_destroying = true;
    // Bands and controls go first, while the report is still whole.
    const auto kids = findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    for (QWidget *w : kids)
        delete w;
    m_bandList.clear();
}

int CustomReport::textWidth(const RpFont &font, const QString &text) const
{
    const gdi::Size ext = textmeasure::extent(font.toLogFont(units::screenPixelsPerInch()), text);
    if (ext.cx < 0)
        return 0;
    return ext.cx + 1;
}

int CustomReport::textHeight(const RpFont &font, const QString &) const
{
    const gdi::Size ext = textmeasure::extent(font.toLogFont(units::screenPixelsPerInch()), QStringLiteral("A"));
    return std::max(ext.cy, 0);
}

RpReportRun *CustomReport::attachRun(RpReportRun *run) { return std::exchange(m_run, run); }
bool CustomReport::finalPass() const { return m_run ? m_run->finalPass() : true; }
bool CustomReport::exporting() const { return m_run && m_run->exporting(); }
RpExportFilter *CustomReport::exportFilter() const { return m_run ? m_run->exportFilter() : nullptr; }
int CustomReport::currentX() const { return m_run ? m_run->currentX : 0; }
int CustomReport::currentY() const { return m_run ? m_run->currentY : -1; }
int CustomReport::pageNumber() const { return m_run ? m_run->pageNumber : 0; }
int CustomReport::availableSpace() const { return m_run ? m_run->availableSpace() : 0; }

void CustomReport::setFont(const RpFont &f)
{
    m_font = f;
    update();
}

void CustomReport::setUnits(RpUnit u)
{
    m_page->setUnits(u);
    for (RpCustomBand *band : m_bandList) {
        band->size()->setUnits(u);
        for (RpPrintable *p : band->printables())
            p->size()->setUnits(u);
        band->update();
    }
    for (QObject *child : children())
        if (auto *p = qobject_cast<RpPrintable *>(child))
            p->size()->setUnits(u);
}

void CustomReport::setUnitsOnRun(RpUnit u)
{
    if (u == units())
        return;
    m_page->setUnitsQuietly(u);
    for (RpCustomBand *band : m_bandList) {
        band->size()->setUnitsQuietly(u);
        for (RpPrintable *p : band->printables())
            p->size()->setUnitsQuietly(u);
    }
    for (RpPrintable *p : ownPrintables())
        p->size()->setUnitsQuietly(u);
    runOnGuiThread(this, [this] { update(); });
}

void CustomReport::setZoom(int z)
{
    if (z <= 0 || z > 300)
        return;
    RpBasePanel::setZoom(z);
    m_page->setZoom(z);
    m_page->updateOwnerBounds();
    setBandValues();
    update();
}

void CustomReport::setHideBands(bool v)
{
    m_hideBands = v;
    setBandValues();
}

void CustomReport::setRotateBands(int v)
{
    m_rotateBands = v;
    orderBands();
    setBandValues();
}

RpBand *CustomReport::createBand(RpBandType type)
{
    QObject *owner = parentWidget() ? static_cast<QObject *>(parentWidget()) : this;
    const QString base = reportstrings::bandNameBase(type);
    const auto taken = [owner](const QString &name) {
        if (owner->objectName() == name)
            return true;
        const auto all = owner->findChildren<QObject *>(name);
        return !all.isEmpty();
    };
    int n = 1;
    while (taken(base + QString::number(n)))
        ++n;
    auto *band = new RpBand(nullptr);
    band->setObjectName(base + QString::number(n));
    band->setBandType(type); // typed before it joins, so it joins in its place
    band->setParentPanel(this);
    return band;
}

void CustomReport::addBand(RpCustomBand *band)
{
    if (m_bandList.contains(band))
        return;
    m_bandList.append(band);
    orderBands();
    setBandValues();
}

void CustomReport::removeBand(RpCustomBand *band)
{
    if (m_destroying)
        return;
    if (!m_bandList.removeOne(band))
        return;
    orderBands();
    setBandValues();
}

QList<RpCustomBand *> CustomReport::controllerBands() const
{
    // The report's controller prints its detail, title and summary bands.
    m_controller->setDetail(m_bands.detailBand());
    m_controller->setHeader(m_bands.titleBand());
    m_controller->setFooter(m_bands.summaryBand());
    m_controller->collect();
    return m_controller->arrangedBands();
}

void CustomReport::orderBands()
{
    if (!isLoading()) {
        connectBands();
        QList<RpCustomBand *> ordered;
        auto appendChain = [&](RpCustomBand *band) {
            // The band, then its chain of child bands; a chain that came
            // back to a band already placed ends there.
            while (band && !ordered.contains(band)) {
                ordered.append(band);
                band = band->childBand();
            }
        };
        auto appendType = [&](RpBandType t) {
            for (RpCustomBand *b : m_bandList)
                if (b->bandType() == t)
                    appendChain(b);
        };
        appendType(rbPageHeader);
        if (m_bands.hasTitle())
            appendType(rbTitle);
        appendType(rbColumnHeader);
        for (RpCustomBand *b : controllerBands())
            appendChain(b);
        appendType(rbPageFooter);
        for (RpCustomBand *b : m_bandList)
            appendChain(b);
        for (RpCustomBand *b : m_bandList) // children whose parent left the report
            if (!ordered.contains(b))
                ordered.append(b);
        m_bandList = ordered;
    }
    if (!m_bandList.isEmpty())
        for (int i = 0; i < m_rotateBands; ++i)
            m_bandList.append(m_bandList.takeFirst());
}

void CustomReport::setBandValues()
{
    if (m_layingOut || isLoading())
        return;
    m_layingOut = true;
    PixelScope px(*m_page);
    const int surfaceW = width();
    const int lm = rpRound(m_page->leftMargin());
    const int fullW = surfaceW - rpRound(m_page->leftMargin() + m_page->rightMargin());
    const int cols = std::max(1, m_page->columns());
    const int colW = (fullW - rpRound(m_page->columnSpace()) * (cols - 1)) / cols;
    const bool rowByRow = m_page->printOrder() == RpPrintOrder::RowByRow;
    int top = rpRound(m_page->topMargin());
    const int hiddenTop = rpRound(m_page->length());
    for (RpCustomBand *band : m_bandList) {
        RpBandType t = band->effectiveBandType();
        const bool full = t == rbTitle || t == rbPageHeader || t == rbPageFooter || t == rbSummary
            || t == rbOverlay || (rowByRow && (t == rbGroupHeader || t == rbGroupFooter));
        band->layOut(lm, m_hideBands ? hiddenTop : top, full ? fullW : colW);
        top += band->height();
    }
    m_layingOut = false;
}

void CustomReport::setBounds(int l, int t, int w, int h)
{
    const QSize old = size();
    applyBounds(l, t, w, h);
    if (old != size() && !m_page->parentUpdating() && m_page->paperSize() == RpPaperSize::Custom) {
        m_page->usePixels();
        m_page->setParentUpdating(true);
        m_page->setWidth(w);
        m_page->setLength(h);
        m_page->setParentUpdating(false);
        m_page->restoreUnits();
    }
    setBandValues();
}

void CustomReport::loaded()
{
    RpBasePanel::loaded();
    m_page->afterLoad();
    orderBands();
    setBandValues();
}

void CustomReport::modify()
{
    if (m_modified)
        return;
    m_modified = true;
    m_previewPage = QImage();
    update();
}

void CustomReport::setPreviewPage(const QImage &page)
{
    m_previewPage = page;
    update();
}

void CustomReport::drawRuler(Canvas &canvas, RpUnit units)
{
    m_fontSize = std::abs(m_font.size());
    RpBasePanel::drawRuler(canvas, units);
}

void CustomReport::drawMargins(Canvas &canvas)
{
    const SurfaceScheme &scheme = surfaceScheme();
    canvas.setPen(scheme.margins);
    gdi::Rect r;
    {
        PixelScope px(*m_page);
        r = {rpRound(m_page->leftMargin()), rpRound(m_page->topMargin()),
             width() - rpRound(m_page->rightMargin()), height() - rpRound(m_page->bottomMargin())};
    }
    canvas.rectangle(r);
    gdi::LogPen pen = canvas.pen();
    pen.style = gdi::PS_SOLID;
    canvas.setPen(pen);
}

void CustomReport::drawPageFrame(Canvas &canvas)
{
    canvas.setPen(gdi::LogPen{m_frame->style(), 1, rpcolor::resolve(m_frame->color())});
    PixelScope px(*m_page);
    const int L = rpRound(m_page->leftMargin());
    const int T = rpRound(m_page->topMargin());
    const int R = rpRound(m_page->width() - m_page->rightMargin()) - 1;
    const int B = rpRound(m_page->length() - m_page->bottomMargin()) - 1;
    auto line = [&](int x1, int y1, int x2, int y2) {
        canvas.moveTo(x1, y1);
        canvas.lineTo(x2, y2);
    };
    if (m_frame->drawTop())
        line(L, T, R, T);
    if (m_frame->drawBottom())
        line(L, B, R, B);
    if (m_frame->drawLeft())
        line(L, T, L, B);
    if (m_frame->drawRight())
        line(R, T, R, B);
}

void CustomReport::drawColumnMarks(Canvas &canvas)
{
    const int cols = m_page->columns();
    if (cols < 2)
        return;
    gdi::LogPen pen = surfaceScheme().margins;
    pen.width = 1;
    canvas.setPen(pen);
    PixelScope px(*m_page);
    const double lm = m_page->leftMargin();
    const double cs = m_page->columnSpace();
    const double c = rpRound((m_page->width() - lm - m_page->rightMargin() - cs * (cols - 1)) / cols);
    const int bottom = rpRound(m_page->topMargin());
    for (int f = 1; f <= cols - 1; ++f) {
        const int xEnd = rpRound(lm + c * f + cs * (f - 1));
        const int xStart = rpRound(lm + (cs + c) * f);
        canvas.moveTo(xEnd, 0);
        canvas.lineTo(xEnd, bottom);
        canvas.moveTo(xStart, 0);
        canvas.lineTo(xStart, bottom);
    }
    pen.style = gdi::PS_SOLID;
    canvas.setPen(pen);
}

void CustomReport::paintSurface(Canvas &canvas)
{
    paintBackground(canvas);
    m_modified = false;
    if (!m_previewPage.isNull())
        canvas.stretchDraw(gdi::Rect{0, 0, width(), height()}, m_previewPage);
    if (m_page->ruler())
        drawRuler(canvas, units());
    drawMargins(canvas);
    drawPageFrame(canvas);
    drawColumnMarks(canvas);
}

Report::Report(QWidget *parent, StartPaper paper)
    : CustomReport(parent, paper)
{
}
