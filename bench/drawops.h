// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The primitives a recording canvas took from a page, drawn again through a
// QPainter: the peers of the generation and PDF benchmarks draw the same
// content onto Qt's own devices (QPicture, QPdfWriter).
#include "../tests/controls/recordingcanvas.h"
#include "platform/metafile.h"
#include "printer/rpprinter.h"

#include <QFont>
#include <QPainter>

#include <cstdlib>
#include <vector>

namespace bench {

// The primitives of every page of a finished document, played at 96 dpi.
inline std::vector<std::vector<DrawOp>> recordedOps(RpPrinter &printer)
{
    std::vector<std::vector<DrawOp>> pages;
    for (int n = 1; n <= printer.pageCount(); ++n) {
        RecordingCanvas canvas(96);
        const Metafile page = printer.getPage(n).value();
        page.play(canvas, {0, 0, page.width(), page.height()});
        pages.push_back(std::move(canvas.ops));
    }
    return pages;
}

inline void drawOps(QPainter &p, const std::vector<DrawOp> &ops)
{
    QString face;
    int height = 0;
    for (const DrawOp &op : ops) {
        switch (op.kind) {
        case DrawOp::Text:
            if (op.face != face || op.fontHeight != height) {
                face = op.face;
                height = op.fontHeight;
                QFont font(face);
                font.setPixelSize(std::max(1, std::abs(height)));
                p.setFont(font);
            }
            p.drawText(op.r.left, op.r.top + std::abs(height), op.text);
            break;
        case DrawOp::FillRect:
            p.fillRect(QRect(op.r.left, op.r.top, op.r.width(), op.r.height()), QColor::fromRgb(op.brush.color));
            break;
        case DrawOp::Bitmap:
            p.drawImage(QRect(op.r.left, op.r.top, op.r.width(), op.r.height()), op.image);
            break;
        case DrawOp::Line:
        case DrawOp::Polyline:
            p.drawLine(op.r.left, op.r.top, op.r.right, op.r.bottom);
            break;
        default:
            p.drawRect(op.r.left, op.r.top, op.r.width(), op.r.height());
            break;
        }
    }
}

} // namespace bench
