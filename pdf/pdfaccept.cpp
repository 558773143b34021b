// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What the PDF document filter makes of the items a report run hands it:
// text lines, shapes and pictures become items in points.
#include "pdf/pdfdocumentfilter.h"

#include "controls/rphrule.h"
#include "pdf/ascii85.h"
#include "platform/fonts.h"
#include "platform/units.h"
#include "printer/exportpicture.h"
#include "printer/lzw.h"
#include "printer/opaquepicture.h"
#include "printer/rpprinter.h"
#include "report/customreport.h"
#include "report/rpfont.h"
#include "report/rpshape.h"

#include <QPainter>

namespace {

PDFShapeType shapeOf(RpShapeType t)
{
    switch (t) {
    case RpShapeType::rpsRectangle: return S_BOX;
    case RpShapeType::rpsCircle: return S_CIRCLE;
    case RpShapeType::rpsVertLine: return S_VLINE;
    case RpShapeType::rpsHorLine: return S_HLINE;
    case RpShapeType::rpsTopAndBottom: return S_TOPBOTTOM;
    case RpShapeType::rpsRightAndLeft: return S_LEFTRIGHT;
    case RpShapeType::rpsRoundRect: return S_OBLIQUE;
    case RpShapeType::rpsLeftDiagonal: return S_LEFTDIAG;
    case RpShapeType::rpsRightDiagonal: return S_RIGHTDIAG;
    }
    return S_OBLIQUE;
}

// The pixels of a bitmap row by row from the top, red, green and blue in
// each; a picture with transparency is laid on white first.
QByteArray rgbPixels(const QImage &image)
{
    const QImage img = opaqueRgbPicture(image);
    const int rowBytes = img.width() * 3;
    QByteArray out;
    out.reserve(qsizetype(rowBytes) * img.height());
    for (int y = 0; y < img.height(); ++y)
        out.append(reinterpret_cast<const char *>(img.constScanLine(y)), rowBytes);
    return out;
}

} // namespace

void RpPDFDocumentFilter::textOut(double x, double y, const RpFont &font, gdi::ColorRef, Alignment alignment,
                                  const QString &text)
{
    if (!m_madeFirstPageFiles)
        startPage();
    const RpPrinter *printer = runPrinter();
    double px = printer ? printer->xPos(x) : rpRound(x * m_scale.xFactor);
    const double py = printer ? printer->yPos(y) : rpRound(y * m_scale.yFactor);
    // The width measured on the screen, in the printer's pixels.
    const gdi::LogFont lf = font.toLogFont(units::kScreenPixelsPerInch);
    const double toDevice = m_scale.xFactor / units::devicePerNative(units::kScreenPixelsPerInch);
    const int w = rpRound(fonts::resolve(lf)->advanceWidth(text) * toDevice);
    if (alignment == Alignment::taRightJustify)
        px -= w;
    else if (alignment == Alignment::taCenter)
        px -= w / 2;
    PDFItemRec item;
    item.itemType = IT_TEXT;
    item.xPos = px * m_scale.sx;
    // A negative size (a font given by its cell height) is the same size.
    item.fontSize = std::abs(font.size());
    item.yPos = item.fontSize + py * m_scale.sy;
    item.lineTop = py * m_scale.sy;
    item.text = text;
    item.fontName = font.name;
    item.fontCharset = font.charset;
    item.fillColor = RGBColor::of(rpcolor::resolve(font.color));
    item.bold = font.bold;
    item.italic = font.italic;
    item.logFont = lf;
    addItem(item);
}

void RpPDFDocumentFilter::acceptGraphic(double xoff, double yoff, QWidget *control)
{
    if (!control)
        return;
    if (!m_madeFirstPageFiles)
        startPage();
    if (qobject_cast<RpLineArt *>(control))
        acceptShape(xoff, yoff, control);
    else if (dynamic_cast<RpExportPicture *>(control))
        acceptPicture(xoff, yoff, control);
}

void RpPDFDocumentFilter::acceptShape(double xoff, double yoff, QWidget *control)
{
    auto *art = qobject_cast<RpLineArt *>(control);
    PDFShapeType shape;
    if (qobject_cast<RpHRule *>(control))
        shape = S_HLINE;
    else if (auto *pdfShape = qobject_cast<RpPDFShape *>(control))
        shape = shapeOf(pdfShape->shapeType());
    else if (auto *s = qobject_cast<RpShape *>(control))
        shape = shapeOf(s->shape());
    else
        return;
    // A control on a report is measured in the run's device pixels; a
    // temporary shape (a band, a frame, a background) carries them.
    double w = control->width(), h = control->height();
    if (art->parentReport()) {
        w = rpRound(art->size()->nativeValue(RpPrintableSize::WidthIdx) * m_scale.xFactor);
        h = rpRound(art->size()->nativeValue(RpPrintableSize::HeightIdx) * m_scale.yFactor);
    }
    const gdi::LogPen pen = resolvedPen(art->pen());
    const gdi::LogBrush brush = resolvedBrush(art->brush());
    PDFItemRec item;
    item.itemType = IT_GRAPHIC;
    item.shape = shape;
    item.xPos = xoff * m_scale.sx;
    item.yPos = yoff * m_scale.sy;
    item.thickness = pen.width * m_scale.sx;
    item.width = w * m_scale.sx;
    item.height = h * m_scale.sx;
    item.strokeColor = RGBColor::of(pen.color);
    item.fillColor = RGBColor::of(brush.color);
    const bool penShows = pen.style != gdi::PS_NULL;
    if (shape == S_HLINE && qobject_cast<RpHRule *>(control)) {
        // A rule is its line.
        item.filled = false;
        addItem(item);
        return;
    }
    if (shape == S_BOX || shape == S_CIRCLE) {
        // The inside when the brush shows, then the outline when the pen does.
        if (brush.style != gdi::BS_NULL) {
            item.filled = true;
            addItem(item);
        }
        if (penShows) {
            item.filled = false;
            addItem(item);
        }
        return;
    }
    // Lines are drawn with the pen alone.
    if (penShows) {
        item.filled = false;
        addItem(item);
    }
}

void RpPDFDocumentFilter::acceptPicture(double xoff, double yoff, QWidget *control)
{
    const auto *picture = dynamic_cast<RpExportPicture *>(control);
    const ExportPictureRec rec = picture->exportPicture(m_scale.xFactor, m_scale.yFactor);
    const QImage &bitmap = rec.bitmap;
    if (bitmap.isNull() || bitmap.width() <= 0 || bitmap.height() <= 0)
        return;
    PDFItemRec item;
    item.itemType = IT_IMAGE;
    item.xPos = (xoff + rec.dx) * m_scale.sx;
    item.yPos = (yoff + rec.dy + rec.placedHeight) * m_scale.sy;
    item.width = bitmap.width() * m_scale.sx;
    item.height = bitmap.height() * m_scale.sx;
    item.xscale = rec.placedWidth / bitmap.width();
    item.yscale = rec.placedHeight / bitmap.height();
    item.pixelWidth = bitmap.width();
    item.pixelHeight = bitmap.height();
    const QByteArray pixels = rgbPixels(bitmap);
    if (m_compressionOn) {
        item.imgstr = ascii85::encode(lzw::compress(pixels));
        item.imageFilter = "/ASCII85Decode /LZWDecode";
    } else {
        item.imgstr = ascii85::encode(pixels);
        item.imageFilter = "/ASCII85Decode";
    }
    addItem(std::move(item), false);
}
