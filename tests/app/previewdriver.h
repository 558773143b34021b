// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Drives the preview that the worksheet's Print opens. Print returns when
// the preview closes, so what a test does in the window runs from a timer
// inside that loop: once the window is shown and its report is generated,
// `inside` runs, then the window is closed.
#include "app/form73.h"
#include "preview/standardpreview.h"
#include "printer/rpprinter.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <functional>

namespace previewdriver {

inline RpStandardPreview *openPreview()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *p = qobject_cast<RpStandardPreview *>(w); p && p->isVisible())
            return p;
    return nullptr;
}

// False when no preview was ready within 30 seconds.
inline bool printAndRunInPreview(Form73 &form, const std::function<void(RpStandardPreview *)> &inside)
{
    bool ran = false;
    QTimer poll;
    poll.setInterval(10);
    int ticks = 0;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        RpStandardPreview *w = openPreview();
        // Finished, and the run has returned: the printer counts as loaded
        // once the report's generation is off the stack (the timer also
        // fires from the messages the last page lets run).
        const bool ready = w && w->reportPrinter() && w->reportPrinter()->status() == mpFinished &&
                           w->reportPrinter()->reportLoaded();
        if (!ready && ++ticks < 3000)
            return;
        poll.stop();
        if (!w)
            return;
        const QPointer<RpStandardPreview> alive(w);
        if (ready) {
            ran = true;
            inside(w);
        }
        if (alive)
            alive->close();
    });
    poll.start();
    form.btnPrintClick();
    poll.stop();
    return ran;
}

} // namespace previewdriver
