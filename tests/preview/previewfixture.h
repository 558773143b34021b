// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A recording printer on the fake device for the preview tests: A4 pages,
// each with a black box whose width tells the page apart.
#include "../printer/fakeprinter.h"
#include "platform/canvas.h"
#include "platform/messages.h"
#include "printer/rpprinter.h"

#include <QCoreApplication>

namespace previewfixture {

inline void drawBox(RpPrinter &p, int n)
{
    p.canvas()->fillRect(gdi::Rect{p.xPos(100), p.yPos(100), p.xPos(100) + p.xSize(100 + n * 50), p.yPos(400)},
                         gdi::LogBrush{gdi::BS_SOLID, gdi::rgb(0, 0, 0), 0});
}

inline void generate(RpPrinter &p, int pages)
{
    p.beginDoc();
    for (int i = 1; i <= pages; ++i) {
        p.newPage();
        drawBox(p, i);
    }
    p.endDoc();
}

// What a printer tells its client, as it arrives.
inline void deliver(QObject *to, int message, int value)
{
    RpMessageEvent e(message, quintptr(value), 0);
    QCoreApplication::sendEvent(to, &e);
}

} // namespace previewfixture
