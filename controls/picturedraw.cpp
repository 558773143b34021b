#include "controls/picturedraw.h"

#include "platform/canvas.h"
#include "platform/picture/picture.h"
#include "platform/units.h"
#include "report/pagedevice.h"
#include "report/reportrun.h"
#include "report/rpprintable.h"

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

void reportDamaged(RpReportRun &run, const RpPrintable &control, const QString &what, const QString &reason)
{
    const QString name = control.objectName().isEmpty() ? QStringLiteral("a picture control") : control.objectName();
    run.reportError(QStringLiteral("%1: the picture %2 was not printed: %3").arg(name, what, reason));
}

} // namespace picturedraw
