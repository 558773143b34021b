// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Band placement and page breaks: where each band of a run lands on the
// page, when a column or a page breaks first, what repeats at the top and
// the bottom of every page, and how a band draws its background, controls
// and frame. All positions in native units; the page device turns them into
// device pixels.
#include "report/reportrun.h"

#include "expr/environment.h"
#include "platform/canvas.h"
#include "platform/rperror.h"
#include "printer/exportfilter.h"
#include "report/customreport.h"
#include "report/pagedevice.h"
#include "report/reportstrings.h"
#include "report/rpcontroller.h"
#include "report/rpgroup.h"
#include "report/rpprintable.h"
#include "report/rpshape.h"

#include <QSet>

#include <optional>
#include <vector>

namespace {

double pageValue(const CustomReport &r, int index) { return r.page()->nativeValue(index); }

} // namespace

double RpReportRun::paperLength() const { return m_device.paperLength(m_report); }

void RpReportRun::printReportBand(RpCustomBand *band)
{
    if (!band)
        return;
    if (band->alignToBottom()) {
        if (band->bandType() == rbSummary && !m_report.hasOption(LastPageFooter))
            pageFooterSize = 0;
        const double h = band->size()->nativeValue(RpBandSize::HeightIdx);
        const double bottom = pageValue(m_report, RpPage::BottomMarginIdx);
        const double P = paperLength();
        if (P - currentY >= rpRound(h + bottom + pageFooterSize))
            currentY = int((P - rpRound(h)) - rpRound(bottom + pageFooterSize));
    }
    band->printToPage(*this);
}

void RpReportRun::forceColumnBreak()
{
    if (newColumnForced || currentColumn > 1)
        newColumn();
    else
        newColumnForced = true;
}

void RpReportRun::forcePageBreak()
{
    if (noForceNewPage) {
        noForceNewPage = false;
        return;
    }
    do
        newColumn();
    while (currentColumn != 1);
}

void RpReportRun::newColumn()
{
    const RpPage &page = *m_report.page();
    const int columns = page.columns();
    // The column footer band: a report has none.
    if (currentColumn >= columns) {
        currentColumn = 1;
        currentX = rpRound(pageValue(m_report, RpPage::LeftMarginIdx));
        newPage();
    } else {
        const double lm = pageValue(m_report, RpPage::LeftMarginIdx);
        const double rm = pageValue(m_report, RpPage::RightMarginIdx);
        const double space = pageValue(m_report, RpPage::ColumnSpaceIdx);
        int columnWidth;
        if (RpCustomBand *detail = m_report.bands()->detailBand())
            columnWidth = rpRound(detail->size()->nativeValue(RpBandSize::WidthIdx));
        else
            columnWidth = (rpRound(pageValue(m_report, RpPage::WidthIdx) - (lm + rm)) - rpRound(space) * (columns - 1)) /
                          columns;
        currentX += rpRound(space) + columnWidth;
        currentY = columnTopPosition;
        ++currentColumn;
    }
    if (environment)
        environment->setIntegerConstant(QStringLiteral("COLUMNNUMBER"), currentColumn);
    if (!(currentColumn == 1 && pageNumber == 1)) {
        printReportBand(m_report.bands()->columnHeaderBand());
        if (RpCustomController *c = m_report.controller())
            c->reprintGroupHeaders(*this);
    }
}

void RpReportRun::newPage()
{
    endPage();
    if (m_filter)
        m_filter->newPage();
    ++pageNumber;
    if (m_documentPages)
        ++*m_documentPages;
    if (environment)
        environment->setIntegerConstant(QStringLiteral("PAGENUMBER"), pageNumber);
    // An export run draws only its first page on the device.
    if (m_finalPass || pageNumber == 1)
        m_device.newPage();
    currentY = rpRound(pageValue(m_report, RpPage::TopMarginIdx));
    if (m_report.onStartPage)
        m_report.onStartPage(&m_report);
    const quint32 background = m_report.backgroundColor();
    if (background != rpcolor::clWhite) {
        const gdi::ColorRef color = rpcolor::resolve(background);
        const gdi::Rect r{0, 0, rpRound(pageValue(m_report, RpPage::WidthIdx) * m_device.yFactor()),
                          rpRound(pageValue(m_report, RpPage::LengthIdx) * m_device.yFactor())};
        if (Canvas *c = canvas()) {
            c->setBrush(gdi::LogBrush{gdi::BS_SOLID, color, 0});
            c->rectangle(r);
        }
        if (m_filter) {
            RpShape shape;
            shape.setBrush({gdi::BS_SOLID, background, 0});
            shape.setPen({gdi::PS_NULL, 1, 0});
            shape.setDeviceBounds(r);
            m_filter->acceptGraphic(r.left, r.top, &shape);
        }
    }
    if (RpPrintable *back = backgroundImageControl()) {
        // The picture stretched over the control's rectangle on every page.
        const RpPrintableSize &s = *back->size();
        const int L = m_device.xPos(s.nativeValue(RpPrintableSize::LeftIdx));
        const int T = m_device.yPos(s.nativeValue(RpPrintableSize::TopIdx));
        const gdi::Rect r{L, T, L + rpRound(s.nativeValue(RpPrintableSize::WidthIdx) * m_device.xFactor()),
                          T + rpRound(s.nativeValue(RpPrintableSize::HeightIdx) * m_device.yFactor())};
        if (Canvas *c = canvas())
            back->drawPageBackground(*this, *c, r);
        if (m_filter)
            m_filter->acceptGraphic(L, T, back);
    }
    if (pageNumber > 1 || m_report.hasOption(FirstPageHeader))
        printReportBand(m_report.bands()->pageHeaderBand());
    columnTopPosition = currentY;
    currentColumn = 1;
    if (pageNumber == 1)
        if (RpCustomBand *title = m_report.bands()->titleBand())
            columnTopPosition += rpRound(title->size()->nativeValue(RpBandSize::HeightIdx));
}

void RpReportRun::endPage()
{
    if (pageNumber > 0) {
        currentY = rpRound(pageValue(m_report, RpPage::LengthIdx) - pageValue(m_report, RpPage::BottomMarginIdx) -
                           pageFooterSize);
        currentX = rpRound(pageValue(m_report, RpPage::LeftMarginIdx));
        if (!(lastPage && !m_report.hasOption(LastPageFooter)))
            printReportBand(m_report.bands()->pageFooterBand());
        finishPageContent();
        if (m_report.onEndPage)
            m_report.onEndPage(&m_report);
    }
    if (m_filter)
        m_filter->endPage();
}

RpPrintable *RpReportRun::backgroundImageControl() const
{
    const QString &name = m_report.backImageControl();
    if (name.isEmpty())
        return nullptr;
    for (RpPrintable *p : m_report.ownPrintables())
        if (p->objectName() == name)
            return p;
    return nullptr;
}

void RpReportRun::finishPageContent()
{
    RpPrintable *back = backgroundImageControl();
    for (RpPrintable *p : m_report.ownPrintables())
        if (p != back)
            p->printAt(*this, 0, 0);
    if (!m_finalPass && !m_filter)
        return;
    Canvas *c = canvas();
    if (!c)
        return;
    const gdi::Rect r{m_device.xPos(pageValue(m_report, RpPage::LeftMarginIdx)),
                      m_device.yPos(pageValue(m_report, RpPage::TopMarginIdx)),
                      m_device.xPos(pageValue(m_report, RpPage::WidthIdx) - pageValue(m_report, RpPage::RightMarginIdx)),
                      m_device.yPos(pageValue(m_report, RpPage::LengthIdx) - pageValue(m_report, RpPage::BottomMarginIdx))};
    m_report.frame()->paintFrame(*c, r, m_device.xFactor(), m_device.yFactor(), this);
}

void RpReportRun::resetPageFooterSize()
{
    pageFooterSize = 0;
    for (RpCustomBand *band : m_report.bandList()) {
        if (band->bandType() != rbPageFooter || !band->bandEnabled())
            continue;
        QSet<RpCustomBand *> seen;
        for (RpCustomBand *b = band; b && !seen.contains(b); b = b->childBand()) {
            seen.insert(b);
            pageFooterSize += b->size()->nativeValue(RpBandSize::HeightIdx);
        }
    }
}

// --- the band's side ------------------------------------------------------------

void RpCustomBand::makeSpace(RpReportRun &run)
{
    const RpPage &page = *run.report().page();
    if (page.printOrder() == RpPrintOrder::RowByRow && page.columns() != 1)
        return;
    double chain = m_size->nativeValue(RpBandSize::HeightIdx);
    QSet<const RpCustomBand *> seen{this};
    for (RpCustomBand *b = linkBand(); b && !seen.contains(b); b = b->linkBand()) {
        seen.insert(b);
        chain += b->size()->nativeValue(RpBandSize::HeightIdx);
    }
    const int h = rpRound(chain);
    const bool noPage = run.currentY == -1;
    const double empty = page.nativeValue(RpPage::LengthIdx) -
                         (page.nativeValue(RpPage::TopMarginIdx) + page.nativeValue(RpPage::BottomMarginIdx));
    // A band taller than an empty page prints where it is.
    const bool due = noPage || (m_bandType != rbPageFooter && h > run.availableSpace() && h <= empty);
    if (due) {
        run.breakPending = m_bandType == rbDetail;
        if (!page.continuous() || noPage)
            run.newColumn();
    } else if (m_bandType == rbDetail) {
        run.breakPending = false;
    }
}

void RpCustomBand::printChildBand(RpReportRun &run, RpChildBand *child)
{
    // A child of a page footer prints as a page footer.
    const bool footer = m_bandType == rbPageFooter;
    if (footer)
        child->m_bandType = rbPageFooter;
    run.printReportBand(child);
    if (footer)
        child->m_bandType = rbChild;
}

void RpCustomBand::printToPage(RpReportRun &run)
{
    CustomReport &report = run.report();
    RpPageDevice &dev = run.device();
    const RpPage &page = *report.page();
    bool printBand = m_enabled;
    const int savedX = run.currentX, savedY = run.currentY;
    if (m_enabled && beforePrint)
        beforePrint(this, printBand);

    if (m_bandType == rbSummary && page.columns() > 1) {
        if (!m_alignToBottom) {
            const double lm = page.nativeValue(RpPage::LeftMarginIdx), rm = page.nativeValue(RpPage::RightMarginIdx);
            const double space = page.nativeValue(RpPage::ColumnSpaceIdx);
            // The summary starts in the current column; the band keeps the
            // width the report gives it (the run changes nothing stored, so
            // the page is the same on whichever thread the run prints).
            const double w = (page.nativeValue(RpPage::WidthIdx) - (lm + rm) - (page.columns() - 1) * space) /
                             page.columns();
            run.currentX = rpRound(lm + (run.currentColumn - 1) * w) + rpRound(space * (run.currentColumn - 1));
        } else {
            run.newPage();
        }
    }

    RpChildBand *child = childBand();
    if (!printBand) {
        if (!m_enabled && m_notifyController)
            m_notifyController->notifyClients();
    } else {
        if (child && child->printOrder() != CBPrintOrder::cboAfterParent)
            printChildBand(run, child);

        const bool breakableType =
            m_bandType != rbTitle && m_bandType != rbPageHeader && m_bandType != rbPageFooter && m_bandType != rbOverlay;
        const bool pageExists = run.currentY != -1;
        const auto *group = qobject_cast<const RpGroup *>(this);
        const bool groupMayBreak = m_bandType != rbGroupHeader || !group || !group->inGroup();
        if (m_forceNewPage && !run.breakPending && breakableType && pageExists && groupMayBreak) {
            run.forcePageBreak();
            run.breakPending = false;
        } else if (m_forceNewColumn && breakableType && pageExists) {
            run.forceColumnBreak();
        } else {
            makeSpace(run);
        }
        if (m_notifyController)
            m_notifyController->notifyClients();
        if (m_keepOnOnePage) {
            double expanded = 0;
            expandedHeight(expanded);
            if (expanded > run.availableSpace())
                run.newColumn();
        }

        const double width = m_size->nativeValue(RpBandSize::WidthIdx);
        const double height = m_size->nativeValue(RpBandSize::HeightIdx);
        if (!m_transparentBand && m_enabled) {
            double h = height;
            if (m_preCaluculateBandHeight)
                expandedHeight(h);
            m_bandFrameRect = gdi::Rect{dev.xPos(run.currentX), dev.yPos(run.currentY), dev.xPos(run.currentX + width),
                                        dev.yPos(run.currentY + h)};
            if (run.exporting()) {
                RpShape shape;
                shape.setBrush({gdi::BS_SOLID, m_color, 0});
                shape.setPen({gdi::PS_NULL, 1, 0});
                shape.setDeviceBounds(m_bandFrameRect);
                run.exportFilter()->acceptGraphic(m_bandFrameRect.left, m_bandFrameRect.top, &shape);
            }
        }
        if (height != 0 && m_enabled)
            printContents(run, width, height);
        if (run.exporting())
            run.exportFilter()->acceptBand(this, savedX, savedY, m_expanded);
    }
    if (afterPrint)
        afterPrint(this, printBand);
    if (child && child->printOrder() != CBPrintOrder::cboBeforeParent)
        printChildBand(run, child);
    run.breakPending = false;
}

void RpCustomBand::printContents(RpReportRun &run, double width, double height)
{
    RpPageDevice &dev = run.device();
    if (run.finalPass() && !m_transparentBand)
        if (Canvas *c = run.canvas())
            c->fillRect(m_bandFrameRect, gdi::LogBrush{gdi::BS_SOLID, rpcolor::resolve(m_color), 0});
    m_expanded = 0;
    const QList<RpPrintable *> controls = printables();
    // Fresh columns in a row that took nothing of what is left: a second one
    // is as the first, so nothing would ever be placed.
    int columnsTakingNothing = 0;
    for (bool first = true;; first = false) {
        // What each control still to finish had printed before this round.
        std::vector<std::optional<qint64>> before;
        for (RpPrintable *p : controls)
            before.push_back(first || p->printFinished() ? std::nullopt : std::optional(p->printProgress()));
        for (RpPrintable *p : controls)
            if (p->isPrintable() && (first || !p->printFinished()))
                p->printAt(run, run.currentX, run.currentY);
        bool allFinished = true;
        bool tookSome = first;
        const RpPrintable *stuck = nullptr;
        for (qsizetype i = 0; i < controls.size(); ++i) {
            RpPrintable *p = controls[i];
            if (!p->isPrintable())
                continue;
            if (const std::optional<qint64> had = before[size_t(i)]; had && (p->printFinished() || p->printProgress() != *had))
                tookSome = true;
            if (!p->printFinished()) {
                allFinished = false;
                if (!stuck)
                    stuck = p;
            }
        }
        if (run.finalPass() || run.exporting())
            drawFrameAndRules(run, width, height);
        if (allFinished)
            break;
        columnsTakingNothing = tookSome ? 0 : columnsTakingNothing + 1;
        if (columnsTakingNothing >= 2) {
            RpErrorWhere where;
            where.control = stuck->objectName();
            throw RpError(RpErrorKind::BadArgument, reportstrings::cannotPlace(where.control), where);
        }
        // Controls with lines left over continue in the next column.
        run.breakPending = true;
        run.newColumn();
        run.breakPending = false;
        m_expanded = 0;
    }
    run.currentY += rpRound(height + m_expanded);
    (void)dev;
}

void RpCustomBand::drawFrameAndRules(RpReportRun &run, double width, double height)
{
    RpPageDevice &dev = run.device();
    Canvas *c = run.canvas();
    m_bandFrameRect = gdi::Rect{dev.xPos(run.currentX), dev.yPos(run.currentY), dev.xPos(run.currentX + width),
                                dev.yPos(run.currentY + height + m_expanded + 1)};
    if (c)
        m_frame->paintFrame(*c, m_bandFrameRect, dev.xFactor(), dev.yFactor(), &run);
    // Vertical line shapes tagged 1000 rule the band's whole printed height.
    const gdi::Rect &r = m_bandFrameRect;
    for (RpPrintable *p : printables()) {
        auto *shape = qobject_cast<RpShape *>(p);
        if (!shape || shape->tag() != 1000 || shape->shape() != RpShapeType::rpsVertLine)
            continue;
        const double sl = shape->size()->nativeValue(RpPrintableSize::LeftIdx);
        const int sw = int(shape->size()->nativeValue(RpPrintableSize::WidthIdx));
        const int x = r.left + rpRound((r.right - r.left) * (sl + sw / 2) / width);
        if (c) {
            c->setPen(gdi::LogPen{gdi::PS_SOLID, shape->pen().width, rpcolor::resolve(shape->pen().color)});
            c->moveTo(x, r.top);
            c->lineTo(x, r.bottom);
        }
        if (run.exporting()) {
            const RpPrintable::PixelBounds b = shape->pixelBounds();
            shape->setBounds(b.left, r.top, b.width, r.bottom - r.top);
            const gdi::LogBrush savedBrush = shape->brush();
            const gdi::LogPen savedPen = shape->pen();
            shape->setBrush({gdi::BS_NULL, savedBrush.color, 0});
            shape->setPen({gdi::PS_SOLID, savedPen.width, savedPen.color});
            run.exportFilter()->acceptGraphic(dev.xPos(shape->size()->nativeValue(RpPrintableSize::LeftIdx) + run.currentX),
                                              dev.yPos(shape->size()->nativeValue(RpPrintableSize::TopIdx)), shape);
            shape->setBrush(savedBrush);
            shape->setPen(savedPen);
        }
    }
}
