// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/createreportthread.h"

#include "platform/guithread.h"
#include "platform/rperror.h"
#include "printer/rpprinter.h"

#include <optional>

void CustomReport::BackgroundRun::run()
{
    std::optional<RpError> error;
    try {
        m_report.runReserved({});
    } catch (const RpError &e) {
        error = e;
    } catch (const std::exception &e) {
        error = RpError(RpErrorKind::Internal, QString::fromLocal8Bit(e.what()));
    }
    // What the run leaves is handed on on the thread its preview lives on: a
    // failed run's error to the preview and the report's handler, a cancelled
    // run's printer freed.
    CustomReport *report = &m_report;
    const bool cancelled = report->cancelled();
    runOnGuiThread(report, [report, cancelled, error] {
        if (error)
            report->backgroundRunFailed(*error);
        if (cancelled)
            report->m_reportPrinter.reset();
    });
}
