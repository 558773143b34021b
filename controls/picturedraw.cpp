// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/picturedraw.h"

#include "platform/canvas.h"
#include "platform/paintercanvas.h"
#include "platform/picture/picture.h"
#include "platform/units.h"
#include "report/pagedevice.h"
#include "report/reportrun.h"
#include "report/rpprintable.h"

#include <algorithm>
#include <cmath>

namespace picturedraw {

gdi::Size sizeOnPage(const Picture &picture, const RpPageDevice &device)
{
    const double ppi = units::screenPixelsPerInch();
    return {rpRound(picture.width() / ppi * units::kNativePerInch * device.xFactor()),
            rpRound(picture.height() / ppi * units::kNativePerInch * device.yFactor())};
}

gdi::Point centringOffsets(gdi::Size own, double widthNative, double heightNative, const RpPageDevice &device)
{
    const qint64 dx = (qint64(device.xSize(widthNative)) - own.cx) / 2;
    const qint64 dy = (qint64(device.ySize(heightNative)) - own.cy) / 2;
    return {qint32(dx), qint32(dy)};
}

void drawBitmapBits(Canvas &canvas, const gdi::Rect &dest, const QImage &bitmap)
{
    if (bitmap.isNull())
        return;
    const bool monochrome = bitmap.depth() == 1 ||
                            (bitmap.format() == QImage::Format_Indexed8 && bitmap.colorCount() <= 2);
    if (!monochrome)
        canvas.setStretchBltMode(gdi::COLORONCOLOR);
    canvas.stretchDIBits(dest, gdi::Rect{0, 0, bitmap.width(), bitmap.height()}, bitmap, gdi::SRCCOPY);
}

namespace {

// `picture` stretched into `dest` on a white image of `size` pixels.
QImage drawnInto(const Picture &picture, QSize size, const gdi::Rect &dest)
{
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    image.fill(Qt::white);
    {
        PainterCanvas canvas(&image);
        picture.stretchDraw(canvas, dest);
    }
    return image;
}

bool isRaster(const Picture &picture) { return !picture.image().isNull(); }

} // namespace

QImage ownPixels(const Picture &picture)
{
    if (picture.damaged() || picture.isEmpty() || picture.width() <= 0 || picture.height() <= 0)
        return {};
    if (isRaster(picture))
        return picture.image();
    return drawnInto(picture, QSize(picture.width(), picture.height()), {0, 0, picture.width(), picture.height()});
}

ExportPictureRec exportPlaced(const Picture &picture, const PicturePlacement &p, gdi::Point corner)
{
    ExportPictureRec r;
    const gdi::Rect &dest = p.dest;
    if (picture.damaged() || picture.isEmpty() || dest.isEmpty())
        return r;
    gdi::Rect shown = dest;
    if (p.clipped)
        shown = {std::max(dest.left, p.clip.left), std::max(dest.top, p.clip.top), std::min(dest.right, p.clip.right),
                 std::min(dest.bottom, p.clip.bottom)};
    if (shown.isEmpty())
        return r;
    if (shown == dest) {
        r.bitmap = ownPixels(picture);
        r.dx = dest.left - corner.x;
        r.dy = dest.top - corner.y;
        r.placedWidth = dest.width();
        r.placedHeight = dest.height();
    } else if (isRaster(picture)) {
        // The source pixels under the part that shows, and where they land.
        const QImage &img = picture.image();
        const double fx = double(img.width()) / dest.width(), fy = double(img.height()) / dest.height();
        const int sl = std::clamp(int(std::floor((shown.left - dest.left) * fx)), 0, img.width() - 1);
        const int st = std::clamp(int(std::floor((shown.top - dest.top) * fy)), 0, img.height() - 1);
        const int sr = std::clamp(int(std::ceil((shown.right - dest.left) * fx)), sl + 1, img.width());
        const int sb = std::clamp(int(std::ceil((shown.bottom - dest.top) * fy)), st + 1, img.height());
        r.bitmap = img.copy(sl, st, sr - sl, sb - st);
        r.dx = dest.left + sl / fx - corner.x;
        r.dy = dest.top + st / fy - corner.y;
        r.placedWidth = (sr - sl) / fx;
        r.placedHeight = (sb - st) / fy;
    } else {
        // A metafile is played into the part that shows.
        r.bitmap = drawnInto(picture, QSize(shown.width(), shown.height()),
                             moved(dest, -shown.left, -shown.top));
        r.dx = shown.left - corner.x;
        r.dy = shown.top - corner.y;
        r.placedWidth = shown.width();
        r.placedHeight = shown.height();
    }
    if (r.bitmap.isNull())
        return {};
    return r;
}

void reportDamaged(RpReportRun &run, const RpPrintable &control, const QString &what, const QString &reason)
{
    const QString name = control.objectName().isEmpty() ? QStringLiteral("a picture control") : control.objectName();
    run.reportError(QStringLiteral("%1: the picture %2 was not printed: %3").arg(name, what, reason));
}

} // namespace picturedraw
