// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/rpcontroller.h"

#include "data/dataset.h"
#include "platform/messages.h"
#include "printer/rpprinter.h"
#include "report/customreport.h"
#include "report/reportrun.h"
#include "report/rpgroup.h"
#include "report/rpprintable.h"
#include "report/rpsubdetail.h"

// --- the base -------------------------------------------------------------------

RpCustomController::RpCustomController(QObject *selfCheck, CustomReport *report)
    : m_report(report), m_selfCheck(selfCheck)
{
}

RpCustomController::~RpCustomController() = default;

void RpCustomController::collect()
{
    m_printBefore.clear();
    m_printAfter.clear();
    m_groups.clear();
    if (!m_report)
        return;
    // A group or sub-detail without a master belongs to the report.
    auto masterOf = [this](QObject *m) { return m ? m : static_cast<QObject *>(m_report); };
    for (RpCustomBand *band : m_report->bandsInCreationOrder()) {
        if (auto *group = qobject_cast<RpGroup *>(band)) {
            if (masterOf(group->master()) == m_selfCheck)
                m_groups.append(group);
        } else if (auto *sub = qobject_cast<RpSubDetail *>(band)) {
            if (sub != m_selfCheck && masterOf(sub->master()) == m_selfCheck) {
                sub->controller().setDataSet(m_report->findDataSet(sub->dataSetName()));
                sub->controller().collect();
                (sub->printBefore() ? m_printBefore : m_printAfter).append(&sub->controller());
            }
        }
    }
}

void RpCustomController::prepare(RpReportRun &run)
{
    for (RpGroup *g : std::as_const(m_groups))
        g->prepare(run);
    for (RpCustomController *c : m_printBefore + m_printAfter)
        c->prepare(run);
    m_notifyList.clear();
}

void RpCustomController::unprepare()
{
    for (RpGroup *g : std::as_const(m_groups))
        g->unprepare();
    for (RpCustomController *c : m_printBefore + m_printAfter)
        c->unprepare();
}

void RpCustomController::addNotifyClient(RpPrintable *p)
{
    if (p && !m_notifyList.contains(p))
        m_notifyList.append(p);
}

void RpCustomController::notifyClients()
{
    for (const QPointer<RpPrintable> &p : std::as_const(m_notifyList))
        if (p)
            p->notifyPrintable(m_selfCheck, 0);
}

void RpCustomController::runSubControllers(RpReportRun &run, const QList<RpCustomController *> &list)
{
    for (RpCustomController *c : list)
        c->runDetailLoop(run);
}

void RpCustomController::runDetailLoop(RpReportRun &run)
{
    // Without data only the sub-controllers run.
    runSubControllers(run, m_printBefore);
    runSubControllers(run, m_printAfter);
}

void RpCustomController::printEmpty(RpReportRun &run) { runDetailLoop(run); }

QList<RpCustomBand *> RpCustomController::arrangedBands() const
{
    QList<RpCustomBand *> out;
    for (RpCustomController *c : m_printBefore + m_printAfter)
        out += c->arrangedBands();
    return out;
}

bool RpCustomController::checkGroups()
{
    for (qsizetype i = 0; i < m_groups.size(); ++i) {
        RpGroup *g = m_groups[i];
        const bool changed = g->evaluate(false);
        g->setChanged(changed);
        if (!changed)
            continue;
        // The first group that changed changes every group inside it.
        for (qsizetype j = i + 1; j < m_groups.size(); ++j) {
            m_groups[j]->evaluate(true);
            m_groups[j]->setChanged(true);
        }
        return true;
    }
    return false;
}

void RpCustomController::printGroupHeaders(RpReportRun &run)
{
    for (RpGroup *g : std::as_const(m_groups)) {
        if (!g->changed())
            continue;
        run.printReportBand(g);
        g->setInGroup(true);
        g->setPrintPageNumber(run.pageNumber);
    }
}

void RpCustomController::printGroupFooters(RpReportRun &run)
{
    for (qsizetype i = m_groups.size() - 1; i >= 0; --i) {
        RpGroup *g = m_groups[i];
        if (!g->changed())
            continue;
        if (RpCustomBand *footer = g->footerBand())
            run.printReportBand(footer);
        g->setInGroup(false);
    }
}

void RpCustomController::reprintGroupHeaders(RpReportRun &run)
{
    for (RpGroup *g : std::as_const(m_groups))
        if (g->changed())
            return;
    for (RpCustomController *c : std::as_const(m_printBefore))
        c->reprintGroupHeaders(run);
    bool marked = false;
    for (qsizetype i = 0; i < m_groups.size() && !marked; ++i) {
        RpGroup *g = m_groups[i];
        if (!g->reprintOnNewPage() || !g->inGroup() || g->printPageNumber() == run.pageNumber)
            continue;
        g->setChanged(true);
        g->setPrintPageNumber(run.pageNumber);
        for (qsizetype j = i + 1; j < m_groups.size(); ++j) {
            m_groups[j]->evaluate(true);
            m_groups[j]->setChanged(true);
        }
        marked = true;
    }
    if (marked)
        printGroupHeaders(run);
    for (RpCustomController *c : std::as_const(m_printAfter))
        c->reprintGroupHeaders(run);
}

// --- over a data set ------------------------------------------------------------

bool RpController::isReportController() const { return m_report && m_selfCheck == m_report; }

bool RpController::usableDataSet() const { return m_dataSet && m_dataSet->isActive(); }

QList<RpCustomBand *> RpController::arrangedBands() const
{
    QList<RpCustomBand *> out;
    auto add = [&out](RpCustomBand *b) {
        if (b)
            out.append(b);
    };
    add(m_header);
    for (RpGroup *g : m_groups)
        add(g);
    for (RpCustomController *c : m_printBefore)
        out += c->arrangedBands();
    add(m_detail);
    for (RpCustomController *c : m_printAfter)
        out += c->arrangedBands();
    for (qsizetype i = m_groups.size() - 1; i >= 0; --i)
        add(m_groups[i]->footerBand());
    add(m_footer);
    return out;
}

void RpController::printEmpty(RpReportRun &run)
{
    run.printReportBand(m_header);
    runSubControllers(run, m_printBefore);
    run.printReportBand(m_detail);
    runSubControllers(run, m_printAfter);
    run.printReportBand(m_footer);
}

void RpController::runDetailLoop(RpReportRun &run)
{
    for (RpGroup *g : std::as_const(m_groups))
        g->setHasResult(false);
    const bool usable = usableDataSet();
    if (!usable && !onNeedData) {
        if (m_printIfEmpty)
            printEmpty(run);
        return;
    }
    bool more = false;
    int recordCount = 1;
    if (usable) {
        m_dataSet->first();
        more = !m_dataSet->eof();
        if (isReportController()) {
            const int n = m_dataSet->recordCount();
            recordCount = n > 0 ? n : 1;
        }
        if (!more && m_printIfEmpty)
            printEmpty(run);
    } else {
        onNeedData(m_selfCheck, more);
    }
    m_detailNumber = 0;
    if (m_detail)
        m_detail->setNotifyController(this);
    if (!more)
        return;

    processMessages();
    if (m_report->cancelled())
        return;
    run.printReportBand(m_header);
    if (isReportController())
        run.noForceNewPage = true;
    if ((run.pageNumber <= 1 || run.compositePart) && isReportController()) {
        RpCustomBand *columnHeader = m_report->bands()->columnHeaderBand();
        if (columnHeader && columnHeader->bandEnabled()) {
            run.printReportBand(columnHeader);
            run.noForceNewPage = true;
        }
    }
    checkGroups();
    m_report->setUserCancel(false);

    while (more) {
        processMessages();
        if ((run.printer() && run.printer()->cancelled()) || m_report->cancelled())
            break;
        ++m_detailNumber;
        printGroupHeaders(run);
        runSubControllers(run, m_printBefore);
        run.printReportBand(m_detail);
        runSubControllers(run, m_printAfter);
        if (usable) {
            m_dataSet->next();
            more = !m_dataSet->eof();
        } else {
            more = false;
            onNeedData(m_selfCheck, more);
        }
        if (checkGroups()) {
            // The footers of the groups that closed show the record they
            // closed on.
            if (usable)
                m_dataSet->prior();
            printGroupFooters(run);
            if (usable)
                m_dataSet->next();
        }
        if (isReportController() && usable && run.printer())
            run.printer()->setProgress(m_detailNumber * 100 / recordCount);
        more = more && !m_report->userCancel();
        const int pagesInPreview = m_report->pagesInPreview();
        if (pagesInPreview > 0 && run.printer())
            more = more && pagesInPreview >= run.printer()->pageNumber();
    }
    // Every group still open closes, innermost first.
    for (RpGroup *g : std::as_const(m_groups))
        g->setChanged(!g->changed());
    printGroupFooters(run);

    if (m_footer) {
        if (run.currentY == -1)
            run.newPage();
        if (m_footer->size()->nativeValue(RpBandSize::HeightIdx) > run.availableSpace())
            run.newColumn();
        run.printReportBand(m_footer);
    }
}
