// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/reportrun.h"

#include "platform/units.h"
#include "printer/exportfilter.h"
#include "report/customreport.h"
#include "report/pagedevice.h"

RpReportRun::RpReportRun(CustomReport &report, RpPageDevice &device, RpExportFilter *filter)
    : m_report(report)
    , m_device(device)
    , m_filter(filter)
    , m_finalPass(true)
    , m_previous(report.attachRun(this))
{
}

RpReportRun::RpReportRun(CustomReport &report, RpPageDevice &device, const RpRunRequest &request)
    : RpReportRun(report, device, request.filter)
{
    m_finalPass = request.finalPass;
    compositePart = request.compositePart;
    m_documentPages = request.documentPages;
}

RpReportRun::~RpReportRun() { m_report.attachRun(m_previous); }

void RpReportRun::reportError(const QString &message)
{
    if (m_errors.contains(message))
        return;
    m_errors.append(message);
    if (m_report.onPrintError)
        m_report.onPrintError(&m_report, message);
}

Canvas *RpReportRun::canvas() const { return m_device.canvas(); }

RpPrinter *RpReportRun::printer() const { return m_device.printer(); }

int RpReportRun::availableSpace() const
{
    if (currentY == -1)
        return 0;
    const double P = paperLength();
    if (m_filter && m_filter->streaming())
        return rpRound(P);
    const double bottom = m_report.page()->nativeValue(RpPage::BottomMarginIdx);
    return rpRound(P - bottom - pageFooterSize - currentY);
}
