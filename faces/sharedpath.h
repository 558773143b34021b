// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shapes that several threads draw at once. A QPainterPath keeps caches of
// its own (its bounds, and the form the paint engines draw from) that it
// fills in on first use, even through a const reference; filling them before
// the path is shared leaves the threads only reading it.
#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace faces {

inline void prepareForSharing(const QPainterPath &path)
{
    (void)path.boundingRect();
    (void)path.controlPointRect();
    QImage one(1, 1, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&one);
    p.fillPath(path, Qt::black);
}

} // namespace faces
