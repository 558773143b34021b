// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/rpdbimage.h"

#include "platform/canvas.h"
#include "printer/exportfilter.h"
#include "report/pagedevice.h"
#include "report/reportrun.h"

RpDBImage::RpDBImage(QWidget *parent)
    : RpDataImage(nullptr)
{
    if (parent)
        setParentPanel(parent);
}

PicturePlacement RpDBImage::placement(const RpPageDevice &d, double left, double top, const Picture &pic) const
{
    PicturePlacement p;
    p.clip = pageRectAt(d, left, top);
    if (m_stretch) {
        p.dest = p.clip;
        return p;
    }
    const gdi::Size own = picturedraw::sizeOnPage(pic, d);
    p.dest = {p.clip.left, p.clip.top, p.clip.left + own.cx, p.clip.top + own.cy};
    if (m_center) {
        const gdi::Point o = picturedraw::centringOffsets(own, m_size->nativeValue(RpPrintableSize::WidthIdx),
                                                          m_size->nativeValue(RpPrintableSize::HeightIdx), d);
        p.dest = picturedraw::moved(p.dest, o.x, o.y);
    }
    p.clipped = true;
    return p;
}

void RpDBImage::printAt(RpReportRun &run, int ofsX, int ofsY)
{
    RpPageDevice &d = run.device();
    const double left = m_size->nativeValue(RpPrintableSize::LeftIdx) + ofsX;
    const double top = m_size->nativeValue(RpPrintableSize::TopIdx) + ofsY;
    const bool blob = boundToBlob();
    const Picture pic = blob ? printedPicture(run) : Picture();
    if (!pic.damaged()) {
        if (run.exporting())
            run.exportFilter()->acceptGraphic(d.xPos(left), d.yPos(top), this);
        Canvas *c = run.canvas();
        if (blob && run.finalPass() && c)
            drawPlaced(run, *c, placement(d, left, top, pic), pic);
    }
    RpPrintable::printAt(run, ofsX, ofsY);
}

ExportPictureRec RpDBImage::exportPicture(double xFactor, double yFactor) const
{
    const Picture pic = boundToBlob() ? fieldPicture() : Picture();
    const RpCanvasPageDevice d(nullptr, xFactor, yFactor);
    return picturedraw::exportPlaced(pic, placement(d, 0, 0, pic), {0, 0});
}

void RpDBImage::getExpandedHeight(double &newHeight)
{
    newHeight = pixelBounds().height;
    if (!boundToBlob())
        return;
    const Picture pic = fieldPicture();
    newHeight = pic.isBitmap() ? pic.height() : 0;
}
