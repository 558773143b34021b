// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/createreportthread.h"

#include "platform/guithread.h"
#include "platform/rperror.h"
#include "printer/rpprinter.h"

void CustomReport::BackgroundRun::run()
{
    try {
        m_report.generateReport(false);
    } catch (const RpError &e) {
        m_error = e.message();
    } catch (const std::exception &e) {
        m_error = QString::fromLocal8Bit(e.what());
    }
    // A cancelled run's printer is freed, on the thread its preview lives on.
    if (m_report.cancelled()) {
        CustomReport *report = &m_report;
        runOnGuiThread(report, [report] { report->m_reportPrinter.reset(); });
    }
}
