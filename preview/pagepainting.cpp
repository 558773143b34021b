// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/pagepainting.h"

#include "platform/metafile.h"
#include "platform/paintercanvas.h"
#include "platform/rperror.h"

#include <QPainter>

namespace pagepainting {

QImage playPage(const Metafile &page, QSize size, const QColor &background)
{
    QImage image(size.expandedTo(QSize(1, 1)),
                 background.alpha() == 255 ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
    image.fill(background);
    PainterCanvas canvas(&image);
    try {
        page.play(canvas, gdi::Rect{0, 0, size.width(), size.height()});
    } catch (const RpError &) {
    }
    return image;
}

void paintPage(QPainter &p, const QImage *played, const QRect &r, bool designing)
{
    const bool page = played && !played->isNull();
    if (!page && !designing)
        return;
    const int w = r.width(), h = r.height();
    p.save();
    p.translate(r.topLeft());
    p.setPen(Qt::NoPen);
    // GDI rectangles: the right and bottom edges are not part of them.
    p.fillRect(QRect(QPoint(1, 1), QPoint(w - 4, h - 4)), Qt::white);
    if (page)
        p.drawImage(QRect(0, 0, w, h), *played);
    p.setPen(QPen(Qt::black, 0));
    p.setBrush(Qt::NoBrush);
    const QPoint border[] = {{0, 0}, {0, h - 3}, {w - 3, h - 3}, {w - 3, 0}, {0, 0}};
    p.drawPolyline(border, 5);
    p.fillRect(QRect(QPoint(w - 2, 2), QPoint(w - 1, h - 1)), Qt::black);
    p.fillRect(QRect(QPoint(2, h - 2), QPoint(w - 1, h - 1)), Qt::black);
    p.restore();
}

} // namespace pagepainting
