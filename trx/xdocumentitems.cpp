// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What the XML report document filter makes of the items a report run
// hands it: text lines, shapes, images and bands, each an Item element.
#include "trx/xdocumentfilter.h"

#include "platform/fonts.h"
#include "platform/units.h"
#include "printer/exportpicture.h"
#include "printer/lzw.h"
#include "printer/rpprinter.h"
#include "report/customreport.h"
#include "report/reportrun.h"
#include "report/rpband.h"
#include "report/rpcontroller.h"
#include "report/rpprintable.h"
#include "report/rpshape.h"
#include "trx/bmpfile.h"
#include "trx/trxformat.h"

#include <QPainter>

#include <cmath>

using trxformat::colour;
using trxformat::escape;
using trxformat::fixed;
using trxformat::integer;

namespace {

// Attribute values are escaped as text is, so that a quote or an ampersand
// in a name cannot break the document.
QString attr(const QString &v) { return escape(v); }

// The number a shape is written with: its kind, with the vertical and the
// horizontal line exchanged.
int shapeNumber(RpShapeType t)
{
    switch (t) {
    case RpShapeType::rpsVertLine: return int(RpShapeType::rpsHorLine);
    case RpShapeType::rpsHorLine: return int(RpShapeType::rpsVertLine);
    default: return int(t);
    }
}

QString decoration(const RpFont &font)
{
    return QString::fromLatin1(font.italic ? "Italic" : "none") + QLatin1Char(' ') +
           QString::fromLatin1(font.underline ? "Underline" : "none") + QLatin1Char(' ') +
           QString::fromLatin1(font.strikeOut ? "Strike" : "");
}

} // namespace

// --- the run ------------------------------------------------------------------------

const CustomReport *RpXDocumentFilter::report() const { return qobject_cast<const CustomReport *>(owner()); }

const RpPrinter *RpXDocumentFilter::runPrinter() const
{
    // A part of a composite report runs on the composite's printer.
    if (const RpPrinter *p = originalReportPrinter())
        return p;
    const CustomReport *r = report();
    return r ? r->reportPrinter() : nullptr;
}

double RpXDocumentFilter::xFactor() const
{
    const RpPrinter *p = runPrinter();
    return p && p->xFactor() > 0 ? p->xFactor() : units::devicePerNative(units::kScreenPixelsPerInch);
}

double RpXDocumentFilter::yFactor() const
{
    const RpPrinter *p = runPrinter();
    return p && p->yFactor() > 0 ? p->yFactor() : units::devicePerNative(units::kScreenPixelsPerInch);
}

int RpXDocumentFilter::detailNumber() const
{
    const CustomReport *r = report();
    return r && r->controller() ? r->controller()->detailNumber() : 0;
}

// --- text ---------------------------------------------------------------------------

void RpXDocumentFilter::textOut(double x, double y, const RpFont &font, gdi::ColorRef, Alignment alignment,
                                const QString &text)
{
    m_activeFont = font;
    double X = x / 10 + leftMarginAdjust;
    if (alignment != Alignment::taLeftJustify) {
        // The anchor is the right edge or the centre: the left edge goes
        // back by the width the text has on the run's device.
        const RpPrinter *p = runPrinter();
        const double xf = xFactor();
        const double px = p ? p->xPos(x) : rpRound(x * xf);
        const gdi::LogFont lf = font.toLogFont(units::kScreenPixelsPerInch);
        const double toDevice = xf / units::devicePerNative(units::kScreenPixelsPerInch);
        const int w = rpRound(fonts::resolve(lf)->advanceWidth(text.trimmed()) * toDevice);
        const double left = alignment == Alignment::taRightJustify ? px - w : px - w / 2.0;
        X = rpRound(left) * 0.1 / xf;
    }
    const double Y = y / 10;
    const CustomReport *r = report();
    const RpReportRun *run = r ? r->currentRun() : nullptr;
    const QString cid = run && run->textSource ? run->textSource->objectName() : QString();
    const int dbr = detailNumber();
    m_finalDoc << QStringLiteral("<Item Type=\"Text\" LY=\"0\" Font=\"") + attr(font.name) + QStringLiteral("\" X=\"") +
                      fixed(X, 2, -4) + QStringLiteral("\" Y=\"") + fixed(Y, 2, -4) + QStringLiteral("\" Height=\"") +
                      integer(std::abs(font.size())) + QStringLiteral("\" Color=\"") + colour(font.color) +
                      QStringLiteral("\" FR=\"") + integer(0, 3) + QStringLiteral("\" FW=\"") +
                      QString::fromLatin1(font.bold ? "Bold" : "normal") + QStringLiteral("\" Dec=\"") +
                      decoration(font) + QStringLiteral("\" CID=\"") + attr(cid) + QStringLiteral("\" DBR=\"") +
                      integer(dbr) + QStringLiteral("\">");
    m_finalDoc << escape(text);
    m_finalDoc << QStringLiteral("</Item>");
    m_lastRecordNum = dbr;
}

// --- graphics -----------------------------------------------------------------------

void RpXDocumentFilter::acceptGraphic(double xoff, double yoff, QWidget *control)
{
    if (!control)
        return;
    if (qobject_cast<RpShape *>(control))
        acceptShape(xoff, yoff, control);
    else
        acceptImage(xoff, yoff, control);
}

// The size of a control in the run's device pixels: a control on a report
// from its size in tenths of a millimetre, a temporary shape (a band, a
// frame, a background) as it was made.
static QSize deviceSize(QWidget *control, double xf, double yf)
{
    if (auto *p = qobject_cast<RpPrintable *>(control); p && p->parentReport())
        return QSize(rpRound(p->size()->width() * xf), rpRound(p->size()->height() * yf));
    return control->size();
}

void RpXDocumentFilter::acceptShape(double xoff, double yoff, QWidget *control)
{
    auto *shape = qobject_cast<RpShape *>(control);
    const QSize size = deviceSize(control, xFactor(), yFactor());
    const gdi::LogPen pen = resolvedPen(shape->pen());
    const gdi::LogBrush brush = resolvedBrush(shape->brush());
    const bool filled = brush.style != gdi::BS_NULL &&
                        (shape->shape() == RpShapeType::rpsRectangle || shape->shape() == RpShapeType::rpsCircle);
    const double X = xMillimetres(xoff) + leftMarginAdjust + horizLineAdjust;
    const double Y = yMillimetres(yoff) + vertLineAdjust;
    const double width = std::max(0.5, xMillimetres(size.width()));
    const double height = std::max(0.5, yMillimetres(size.height()));
    m_finalDoc << QStringLiteral("<Item Type=\"Graphic\" LY=\"") + QLatin1String(filled ? "2" : "1") +
                      QStringLiteral("\" X=\"") + fixed(X, 2, -4) + QStringLiteral("\" Y=\"") + fixed(Y, 2, -4) +
                      QStringLiteral("\" LW=\"") + fixed(xMillimetres(pen.width), 2, -4) + QStringLiteral("\" ") +
                      QStringLiteral("SP=\"") + integer(shapeNumber(shape->shape())) + QStringLiteral("\" Width=\"") +
                      fixed(width, 2, -4) + QStringLiteral("\" Height=\"") + fixed(height, 2, -4) +
                      QStringLiteral("\" Color=\"") + colour(pen.color) + QStringLiteral("\" BC=\"") +
                      colour(brush.color) + QStringLiteral("\" FT=\"") + QLatin1String(filled ? "Fill" : "Out") +
                      QStringLiteral("\" CID=\"") + attr(control->objectName()) + QStringLiteral("\" DBR=\"") +
                      integer(detailNumber()) + QStringLiteral("\">");
    m_finalDoc << QStringLiteral("</Item>");
}

QImage RpXDocumentFilter::controlBitmap(QWidget *control) const
{
    const QSize size = deviceSize(control, xFactor(), yFactor());
    QImage bitmap(std::max(1, size.width()), std::max(1, size.height()), QImage::Format_RGB32);
    bitmap.fill(Qt::white);
    // A picture control draws its picture where the page shows it;
    // any other control leaves the bitmap blank.
    if (const auto *picture = dynamic_cast<const RpExportPicture *>(control)) {
        const ExportPictureRec rec = picture->exportPicture(xFactor(), yFactor());
        if (!rec.bitmap.isNull() && rec.placedWidth > 0 && rec.placedHeight > 0) {
            QPainter p(&bitmap);
            p.setRenderHint(QPainter::SmoothPixmapTransform);
            p.drawImage(QRectF(rec.dx, rec.dy, rec.placedWidth, rec.placedHeight), rec.bitmap);
        }
    }
    return bitmap;
}

void RpXDocumentFilter::acceptImage(double xoff, double yoff, QWidget *control)
{
    const QImage bitmap = controlBitmap(control);
    const double X = xMillimetres(xoff) + leftMarginAdjust;
    const double Y = yMillimetres(yoff);
    // The picture is drawn into the bitmap where it lies in the control, so
    // the bitmap is placed over the whole control.
    const QSize size = deviceSize(control, xFactor(), yFactor());
    const double xs = xMillimetres(std::max(1, size.width())) / bitmap.width();
    const double ys = yMillimetres(std::max(1, size.height())) / bitmap.height();
    const QString cmp = QLatin1String(m_compressImages ? "lzw" : "None");
    bool useURL = false;
    QString url;
    if (m_onImageURLNeeded)
        m_onImageURLNeeded(this, control, useURL, url);
    QString line = QStringLiteral("<Item Type=\"Image\" X=\"") + fixed(X, 2, -4) + QStringLiteral("\" Y=\"") +
                   fixed(Y, 2, -4) + QStringLiteral("\" Width=\"") + integer(bitmap.width()) +
                   QStringLiteral("\" Height=\"") + integer(bitmap.height()) + QStringLiteral("\" LY=\"1\" XS=\"") +
                   fixed(xs, 3, 6) + QStringLiteral("\" YS=\"") + fixed(ys, 3, 6) + QStringLiteral("\" Cmp=\"") + cmp;
    if (useURL)
        line += QStringLiteral("\" ImageFile=\"") + attr(url) + QStringLiteral("\">");
    else
        line += QStringLiteral("\" CID=\"") + attr(control->objectName()) + QStringLiteral("\" DBR=\"") +
                integer(detailNumber()) + QStringLiteral("\">");
    m_finalDoc << line;
    if (m_doImages && !useURL) {
        const QByteArray bmp = bmpfile::write(bitmap);
        m_finalDoc << trxformat::hexLines(m_compressImages ? lzw::compress(bmp) : bmp);
    }
    m_finalDoc << QStringLiteral("</Item>");
}

// --- bands --------------------------------------------------------------------------

void RpXDocumentFilter::acceptBand(QWidget *band, double xoff, double yoff, double expanded)
{
    if (!band)
        return;
    m_finalDoc << QStringLiteral("<Item Type=\"Band\" X=\"") + fixed(xoff, 2, -4) + QStringLiteral("\" Y=\"") +
                      fixed(yoff, 2, -4) + QStringLiteral("\" Width=\"") + integer(band->width()) +
                      QStringLiteral("\" Height=\"") + integer(band->height() + rpRound(expanded)) +
                      QStringLiteral("\" LY=\"1\" XS=\"") + fixed(1.0, 3, 6) + QStringLiteral("\" YS=\"") +
                      fixed(1.0, 3, 6) + QStringLiteral("\" Cmp=\"none\" CID=\"") + attr(band->objectName()) +
                      QStringLiteral("\" DBR=\"") + integer(detailNumber()) + QStringLiteral("\"></Item>");
    m_finalDoc << QString();
}
