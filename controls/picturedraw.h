// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the picture controls share on the page: the picture's own size in
// device pixels (a picture prints at the size it has on the screen), the
// offsets that centre it, the bitmap transfer, and the message a damaged
// picture leaves in the run.
#include "platform/gdi.h"
#include "printer/exportpicture.h"

#include <QImage>
#include <QString>

class Canvas;
class Picture;
class RpPageDevice;
class RpReportRun;
class RpPrintable;

// Where a picture goes on the page, in device pixels of the page canvas:
// `clip` is the rectangle drawing is clipped to (when `clipped`), `dest` the
// rectangle the picture is stretched into.
struct PicturePlacement {
    gdi::Rect clip;
    gdi::Rect dest;
    bool clipped = false;
};

namespace picturedraw {

// The picture's size on the page: its pixels at the screen's resolution
// turned into device pixels, w0 = Round(width / 96 x 254 x XFactor) and
// h0 = Round(height / 96 x 254 x YFactor).
gdi::Size sizeOnPage(const Picture &picture, const RpPageDevice &device);

// The offsets that centre a picture of `own` device pixels in a control of
// `widthNative` x `heightNative`: (XSize(width) - w0) div 2 and
// (YSize(height) - h0) div 2, truncated toward zero (negative when the
// picture is the larger).
gdi::Point centringOffsets(gdi::Size own, double widthNative, double heightNative, const RpPageDevice &device);

// The bitmap transfer: the whole bitmap into `dest` as a device-independent
// bitmap with its colour table (a picture of 8 bits a pixel or fewer keeps
// its palette), copying source to destination; unless the bitmap is
// monochrome, scan lines are deleted when shrinking (colour on colour).
void drawBitmapBits(Canvas &canvas, const gdi::Rect &dest, const QImage &bitmap);

// The picture's own pixels: a raster picture's image, a metafile played at
// its own size; null for an empty or damaged picture.
QImage ownPixels(const Picture &picture);

// What an export filter receives for `picture` drawn as `placement` puts it
// on the page, relative to `corner` (the device pixel where the filter is
// told the control lies): the part of the picture the clip lets through,
// over the rectangle it covers, as the printed page shows it. A null bitmap
// when nothing shows.
ExportPictureRec exportPlaced(const Picture &picture, const PicturePlacement &placement, gdi::Point corner);

// The run's message for a damaged picture of `control` (what = where the
// picture came from, e.g. "in field PHOTO"), handed on once per run.
void reportDamaged(RpReportRun &run, const RpPrintable &control, const QString &what, const QString &reason);

// The rectangle (l, t, r, b) moved by (dx, dy).
inline gdi::Rect moved(const gdi::Rect &r, int dx, int dy) { return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy}; }

} // namespace picturedraw
