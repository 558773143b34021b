// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/opaquepicture.h"

#include <QPainter>

QImage opaqueRgbPicture(const QImage &image)
{
    QImage img = image;
    if (img.hasAlphaChannel()) {
        QImage flat(img.size(), QImage::Format_RGB32);
        flat.fill(Qt::white);
        QPainter p(&flat);
        p.drawImage(0, 0, img);
        p.end();
        img = flat;
    }
    return img.convertToFormat(QImage::Format_RGB888);
}
