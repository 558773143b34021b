#include "report/pagedevice.h"

#include "platform/canvas.h"
#include "platform/units.h"
#include "report/customreport.h"

RpCanvasPageDevice::RpCanvasPageDevice(Canvas *canvas)
    : RpCanvasPageDevice(canvas, units::devicePerNative(canvas->logPixelsX()),
                         units::devicePerNative(canvas->logPixelsY()))
{
}

double RpCanvasPageDevice::paperLength(const CustomReport &report) const
{
    if (m_paperLength)
        return *m_paperLength;
    return report.page()->nativeValue(RpPage::LengthIdx);
}
