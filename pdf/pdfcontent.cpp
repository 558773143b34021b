// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Items become lines of page content: text between BT and ET with a font
// resource per distinct font, shapes as path operators, pictures as inline
// images. The vertical axis is flipped here: items measure down from the
// page's top, PDF measures up from its bottom.
#include "pdf/pdfdocumentfilter.h"

#include "pdf/codepages.h"
#include "pdf/pdfnumbers.h"
#include "pdf/pdfstrings.h"
#include "platform/fonts.h"
#include "platform/rperror.h"
#include "platform/units.h"

using pdfnum::fixed;

namespace {

// "%4.2f %4.2f %4.2f" of the colour's parts, trimmed, and the operator.
QByteArray colorLine(const RGBColor &c, const char *op)
{
    return (fixed(c.red / 255.0, 2, 4) + ' ' + fixed(c.green / 255.0, 2, 4) + ' ' + fixed(c.blue / 255.0, 2, 4))
               .trimmed() +
           ' ' + op;
}

QByteArray roundedInt(double v) { return QByteArray::number(rpRound64(v)); }

// Text escaped for a literal string: backslashes doubled, parentheses
// escaped, U+0080 as the byte 0x80 written in octal.
QString escapedText(const QString &text)
{
    QString s = text;
    s.replace(QLatin1String("\\"), QLatin1String("\\\\"));
    s.replace(QLatin1String("("), QLatin1String("\\("));
    s.replace(QLatin1String(")"), QLatin1String("\\)"));
    s.replace(QChar(0x80), QLatin1String("\\200"));
    return s;
}

} // namespace

bool RpPDFDocumentFilter::throughUnicodeFont(const PDFItemRec &item) const
{
    if (fonts::resolve(item.logFont)->synthesizedFace())
        return true;
    if (!codepage::inCp1252(item.text))
        return true;
    // A font of another code page reads bytes from 0x80 on as its own
    // characters: only plain ASCII goes in through it.
    if (codepage::forCharset(item.fontCharset) != 1252)
        for (QChar c : item.text)
            if (c.unicode() >= 0x80)
                return true;
    return false;
}

int RpPDFDocumentFilter::fontIndex(const PDFItemRec &item)
{
    const QString key = pdffonts::FontKey::of(item.fontName, item.bold, item.italic, item.fontCharset).key();
    qsizetype n = m_reportFonts.indexOf(key);
    if (n < 0) {
        m_reportFonts.append(key);
        n = m_reportFonts.size() - 1;
    }
    return int(n);
}

void RpPDFDocumentFilter::processItem(const PDFItemRec &item)
{
    switch (item.itemType) {
    case IT_INVALID:
        throw RpError(RpErrorKind::Internal, QString::fromLatin1(pdfstrings::kInvalidItem));
    case IT_NEWPAGE:
        endCurrentPage();
        startPage();
        return;
    case IT_TEXT:
        if (throughUnicodeFont(item))
            writeUnicodeText(item);
        else
            writeText(item);
        return;
    case IT_GRAPHIC:
        writeGraphic(item);
        return;
    case IT_IMAGE:
        writeImage(item);
        return;
    }
    throw RpError(RpErrorKind::Internal, QString::fromLatin1(pdfstrings::kInvalidItem));
}

void RpPDFDocumentFilter::writeText(const PDFItemRec &item)
{
    const QByteArray text = codepage::toCp1252Text(escapedText(item.text));
    const int n = fontIndex(item);
    const double yTop = m_pageHeight - item.yPos;
    textLine(colorLine(item.fillColor, "rg"));
    textLine("/" + pdffonts::resourceName(n) + ' ' + QByteArray::number(item.fontSize) + " Tf");
    textLine(" 1 0 0 1 " + roundedInt(item.xPos) + ' ' + roundedInt(yTop) + " Tm (" + text + ") Tj");
}

void RpPDFDocumentFilter::writeGraphic(const PDFItemRec &item)
{
    const double X = item.xPos, W = item.width, H = item.height;
    const double yTop = m_pageHeight - item.yPos;
    auto i = [](double v) { return roundedInt(v); };
    switch (item.shape) {
    case S_BOX: {
        graphicsLine(fixed(item.thickness, 2) + " w");
        const QByteArray rect = i(X) + ' ' + i(yTop - H) + ' ' + i(W) + ' ' + i(H) + " re ";
        if (item.filled) {
            graphicsLine(colorLine(item.fillColor, "rg"));
            graphicsLine(rect + "f");
        } else {
            graphicsLine(colorLine(item.strokeColor, "RG"));
            graphicsLine(rect + "s");
        }
        return;
    }
    case S_CIRCLE: {
        graphicsLine(fixed(item.thickness, 0, 2) + " w");
        graphicsLine(item.filled ? colorLine(item.fillColor, "rg") : colorLine(item.strokeColor, "RG"));
        const double rx = W / 2, ry = H / 2, k = 0.55229;
        const QPointF top(X + rx, yTop), right(X + W, yTop - ry), bottom(X + rx, yTop - H), left(X, yTop - ry);
        graphicsLine(fixed(top.x(), 1, 6) + ' ' + fixed(top.y(), 1, 6) + " m");
        auto curve = [](QPointF c1, QPointF c2, QPointF e) {
            QByteArray s;
            for (double v : {c1.x(), c1.y(), c2.x(), c2.y(), e.x(), e.y()})
                s += ' ' + fixed(v, 1, 6) + ' ';
            return s.trimmed() + " c";
        };
        graphicsLine(curve({top.x() + k * rx, top.y()}, {right.x(), right.y() + k * ry}, right));
        graphicsLine(curve({right.x(), right.y() - k * ry}, {bottom.x() + k * rx, bottom.y()}, bottom));
        graphicsLine(curve({bottom.x() - k * rx, bottom.y()}, {left.x(), left.y() - k * ry}, left));
        graphicsLine(curve({left.x(), left.y() + k * ry}, {top.x() - k * rx, top.y()}, top) +
                     (item.filled ? " f" : " s"));
        return;
    }
    case S_OBLIQUE:
        return;
    default:
        break;
    }
    graphicsLine(fixed(item.thickness, 0, 2) + " w");
    graphicsLine(colorLine(item.strokeColor, "RG"));
    auto segment = [&](double x1, double y1, double x2, double y2) {
        graphicsLine(i(x1) + ' ' + i(y1) + " m " + i(x2) + ' ' + i(y2) + " l s");
    };
    switch (item.shape) {
    case S_HLINE:
        segment(X, yTop - H / 2, X + W, yTop - H / 2);
        break;
    case S_VLINE:
        segment(X + W / 2, yTop - H, X + W / 2, yTop);
        break;
    case S_TOPBOTTOM:
        segment(X, yTop, X + W, yTop);
        segment(X, yTop - H, X + W, yTop - H);
        break;
    case S_LEFTRIGHT:
        segment(X, yTop - H, X, yTop);
        segment(X + W, yTop - H, X + W, yTop);
        break;
    case S_RIGHTDIAG:
        segment(X, yTop, X + W, yTop - H);
        break;
    case S_LEFTDIAG:
        segment(X, yTop - H, X + W, yTop);
        break;
    default:
        break;
    }
}

void RpPDFDocumentFilter::writeImage(const PDFItemRec &item)
{
    const double yTop = m_pageHeight - item.yPos;
    graphicsLine("q " + roundedInt(item.width * item.xscale) + " 0 0 " + roundedInt(item.height * item.yscale) + ' ' +
                 roundedInt(item.xPos) + ' ' + roundedInt(yTop) + " cm");
    graphicsLine("BI");
    graphicsLine("/Width " + QByteArray::number(item.pixelWidth));
    graphicsLine("/Height " + QByteArray::number(item.pixelHeight));
    graphicsLine("/BitsPerComponent 8");
    graphicsLine("/ColorSpace /DeviceRGB");
    graphicsLine("/Filter [" + item.imageFilter + "]");
    graphicsLine("ID");
    graphicsLine(item.imgstr);
    graphicsLine("EI");
    graphicsLine("Q");
}
