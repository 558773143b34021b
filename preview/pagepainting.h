// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A recorded page as the preview paints it: played once into an image of the
// size it is shown at, then painted as a white sheet with a black border and
// a drop shadow on the right and at the bottom.
#include <QColor>
#include <QImage>
#include <QRect>

class Metafile;
class QPainter;

namespace pagepainting {

// The page played into an image of `size` pixels (its frame over the whole
// image) filled with `background` first: white for a picture of the page on
// its own, transparent for one painted over the sheet, so that the corners
// beside the shadow show what lies below. A damaged record ends the playing;
// what was drawn stays.
QImage playPage(const Metafile &page, QSize size, const QColor &background = Qt::white);

// Paints into `r` (W x H): with a page (or when designing) the sheet
// (1, 1, W - 3, H - 3) in white; with a page the page over the whole of `r`;
// then the border as the outline (0, 0)-(W - 3, H - 3) and the shadow, the
// rectangles (W - 2, 2, W, H) and (2, H - 2, W, H) in black. Without a page
// (and not designing) nothing is painted.
void paintPage(QPainter &painter, const QImage *played, const QRect &r, bool designing = false);

} // namespace pagepainting
