// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/rpgrdbimage.h"

#include "platform/canvas.h"
#include "printer/exportfilter.h"
#include "report/pagedevice.h"
#include "report/reportrun.h"

#include <algorithm>

RpGrDBImage::RpGrDBImage(QWidget *parent)
    : RpDataImage(nullptr)
{
    if (parent)
        setParentPanel(parent);
}

PicturePlacement RpGrDBImage::placement(const RpPageDevice &d, double left, double top, const Picture &pic,
                                        bool *keepWidthOut, bool *keepHeightOut) const
{
    PicturePlacement p;
    const gdi::Rect page = pageRectAt(d, left, top);
    p.clip = page;
    p.dest = page;
    bool keepWidth = false, keepHeight = false;
    auto done = [&] {
        if (keepWidthOut)
            *keepWidthOut = keepWidth;
        if (keepHeightOut)
            *keepHeightOut = keepHeight;
        return p;
    };
    if (m_stretch)
        return done();
    p.clipped = true;
    const qint64 pw = pic.width(), ph = pic.height();
    if (pw <= 0 || ph <= 0)
        return done();
    const PixelBounds b = pixelBounds();
    const qint64 W = b.width, H = b.height;
    const double r = double(pw) / double(ph);
    const double widthNative = m_size->nativeValue(RpPrintableSize::WidthIdx);
    const double heightNative = m_size->nativeValue(RpPrintableSize::HeightIdx);
    // pw / W >= ph / H, compared without dividing.
    const bool relativelyWider = pw * H >= ph * W;

    gdi::Rect rect = page;
    switch (m_fitMode) {
    case FitMode::fmKeepWidth:
        keepWidth = true;
        break;
    case FitMode::fmKeepHeight:
        keepHeight = true;
        break;
    case FitMode::fmProportional:
        (relativelyWider ? keepHeight : keepWidth) = true;
        break;
    case FitMode::fmInsideProp: {
        // The picture's proportions inside the control, centred along the
        // side that shrinks; a picture of the control's own proportions
        // keeps the rectangle as it is.
        if (pw * H == ph * W)
            break;
        const int rw = rect.width(), rh = rect.height();
        if (relativelyWider) {
            const int nh = rpRound(double(rw) * double(ph) / double(pw));
            rect.top += (rh - nh) / 2;
            rect.bottom = rect.top + nh;
        } else {
            const int nw = rpRound(double(rh) * double(pw) / double(ph));
            rect.left += (rw - nw) / 2;
            rect.right = rect.left + nw;
        }
        break;
    }
    }
    // Keeping one side, the other follows the picture's proportions; centred,
    // the overflow (or the room left) is shared equally on both sides.
    if (keepWidth) {
        rect.bottom = d.yPos(top + widthNative / r);
        if (m_center) {
            const int shift = rpRound((rect.height() - page.height()) / 2.0);
            rect.top -= shift;
            rect.bottom -= shift;
        }
    }
    if (keepHeight) {
        rect.right = d.xPos(left + heightNative * r);
        if (m_center) {
            const int shift = rpRound((rect.width() - page.width()) / 2.0);
            rect.left -= shift;
            rect.right -= shift;
        }
    }
    // Drawing is clipped to the fitted rectangle and never leaves the control.
    p.clip = {std::max(rect.left, page.left), std::max(rect.top, page.top), std::min(rect.right, page.right),
              std::min(rect.bottom, page.bottom)};
    p.dest = rect;
    if (m_clipImage) {
        const gdi::Size own = picturedraw::sizeOnPage(pic, d);
        p.dest = {rect.left, rect.top, rect.left + own.cx, rect.top + own.cy};
        if (m_center) {
            const gdi::Point o = picturedraw::centringOffsets(own, widthNative, heightNative, d);
            p.dest = picturedraw::moved(p.dest, o.x, o.y);
        }
    }
    return done();
}

ExportPictureRec RpGrDBImage::exportPicture(double xFactor, double yFactor) const
{
    const Picture pic = boundToBlob() ? fieldPicture() : Picture();
    const RpCanvasPageDevice d(nullptr, xFactor, yFactor);
    return picturedraw::exportPlaced(pic, placement(d, 0, 0, pic), {0, 0});
}

void RpGrDBImage::printAt(RpReportRun &run, int ofsX, int ofsY)
{
    RpPageDevice &d = run.device();
    const double left = m_size->nativeValue(RpPrintableSize::LeftIdx) + ofsX;
    const double top = m_size->nativeValue(RpPrintableSize::TopIdx) + ofsY;
    const bool blob = boundToBlob();
    const Picture pic = blob ? printedPicture(run) : Picture();
    Canvas *c = run.canvas();
    if (!pic.damaged() && blob && run.finalPass() && c)
        drawPlaced(run, *c, placement(d, left, top, pic), pic);
    RpPrintable::printAt(run, ofsX, ofsY);
    // This control hands itself to the filter after it has printed.
    if (!pic.damaged() && run.exporting())
        run.exportFilter()->acceptGraphic(d.xPos(left), d.yPos(top), this);
}
