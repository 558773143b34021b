// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/rpimage.h"

#include "controls/picturedraw.h"
#include "platform/canvas.h"
#include "printer/exportfilter.h"
#include "report/pagedevice.h"
#include "report/reportrun.h"
#include "platform/units.h"

RpImage::RpImage(QWidget *parent)
    : RpPrintable(nullptr)
{
    m_picture.onChange = [this] { refreshFromPicture(); };
    setBounds(0, 0, 105, 105);
    if (parent)
        setParentPanel(parent);
}

RpImage::~RpImage() { m_picture.onChange = nullptr; }

void RpImage::setAutoSize(bool v)
{
    m_autoSize = v;
    refreshFromPicture();
}

void RpImage::setStretch(bool v)
{
    if (v == m_stretch)
        return;
    m_stretch = v;
    refreshFromPicture();
}

void RpImage::setCenter(bool v)
{
    if (v == m_center)
        return;
    m_center = v;
    refreshFromPicture();
}

void RpImage::refreshFromPicture()
{
    const Picture &pic = picture();
    PixelBounds b = pixelBounds();
    if (m_autoSize && pic.width() > 0 && pic.height() > 0) {
        setBounds(b.left, b.top, pic.width(), pic.height());
        b = pixelBounds();
    }
    // A bitmap that covers the whole control hides what lies behind it.
    setOpaqueStyle(pic.isBitmap() && pic.width() >= b.width && pic.height() >= b.height);
    update();
}

PicturePlacement RpImage::placement(const RpPageDevice &d, double left, double top) const
{
    const double w = m_size->nativeValue(RpPrintableSize::WidthIdx);
    const double h = m_size->nativeValue(RpPrintableSize::HeightIdx);
    PicturePlacement p;
    p.clip = {d.xPos(left), d.yPos(top), d.xPos(left + w), d.yPos(top + h)};
    if (m_stretch) {
        p.dest = p.clip;
        return p;
    }
    const gdi::Size own = picturedraw::sizeOnPage(picture(), d);
    p.dest = {p.clip.left, p.clip.top, p.clip.left + own.cx, p.clip.top + own.cy};
    if (m_center) {
        const gdi::Point o = picturedraw::centringOffsets(own, w, h, d);
        p.dest = picturedraw::moved(p.dest, o.x, o.y);
    }
    p.clipped = true;
    return p;
}

void RpImage::printAt(RpReportRun &run, int ofsX, int ofsY)
{
    RpPageDevice &d = run.device();
    const double left = m_size->nativeValue(RpPrintableSize::LeftIdx) + ofsX;
    const double top = m_size->nativeValue(RpPrintableSize::TopIdx) + ofsY;
    const Picture &pic = picture();
    if (pic.damaged()) {
        picturedraw::reportDamaged(run, *this, QStringLiteral("stored with the report"), pic.error());
    } else {
        if (run.exporting())
            run.exportFilter()->acceptGraphic(d.xPos(left), d.yPos(top), this);
        Canvas *c = run.canvas();
        if (run.finalPass() && c) {
            const PicturePlacement p = placement(d, left, top);
            QString error;
            bool drawn = true;
            if (!p.clipped) {
                drawn = pic.stretchDraw(*c, p.dest, &error);
            } else {
                c->intersectClipRect(p.clip);
                if (pic.isBitmap())
                    picturedraw::drawBitmapBits(*c, p.dest, pic.image());
                else
                    drawn = pic.stretchDraw(*c, p.dest, &error);
                c->selectClipRgnNone();
            }
            if (!drawn)
                picturedraw::reportDamaged(run, *this, QStringLiteral("stored with the report"), error);
        }
    }
    RpPrintable::printAt(run, ofsX, ofsY);
}

ExportPictureRec RpImage::exportPicture(double xFactor, double yFactor) const
{
    const Picture &pic = picture();
    const RpCanvasPageDevice d(nullptr, xFactor, yFactor);
    const PicturePlacement p = placement(d, 0, 0);
    if (tag() == 999) {
        ExportPictureRec r;
        r.bitmap = picturedraw::ownPixels(pic);
        r.placedWidth = p.clip.width();
        r.placedHeight = p.clip.height();
        return r.bitmap.isNull() || p.clip.isEmpty() ? ExportPictureRec{} : r;
    }
    ExportPictureRec r = picturedraw::exportPlaced(pic, p, {0, 0});
    if (tag() == 12345 && !m_stretch && xFactor > 0) {
        const double f = units::screenPixelsPerInch() / (xFactor * units::kNativePerInch);
        r.dx *= f;
        r.dy *= f;
        r.placedWidth *= f;
        r.placedHeight *= f;
    }
    return r;
}

void RpImage::drawPageBackground(RpReportRun &run, Canvas &canvas, const gdi::Rect &rect)
{
    const Picture &pic = picture();
    QString error = pic.error();
    if (pic.damaged() || !pic.stretchDraw(canvas, rect, &error))
        picturedraw::reportDamaged(run, *this, QStringLiteral("of the page background"), error);
}

gdi::Rect RpImage::surfaceRect() const
{
    const int W = width(), H = height();
    if (m_stretch)
        return {0, 0, W, H};
    const int pw = picture().width(), ph = picture().height();
    gdi::Rect r{0, 0, pw, ph};
    if (m_center)
        r = {(W - pw) / 2, (H - ph) / 2, (W - pw) / 2 + pw, (H - ph) / 2 + ph};
    if (zoom() != 100) {
        r.right = r.left + zoom() * (r.right - r.left) / 100;
        r.bottom = r.top + zoom() * (r.bottom - r.top) / 100;
    }
    return r;
}

void RpImage::paintSurface(Canvas &canvas)
{
    // The picture and nothing else: no background, corners or frame.
    if (m_isPrinting)
        return;
    picture().stretchDraw(canvas, surfaceRect());
}
