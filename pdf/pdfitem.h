// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One item of page content as the PDF writer takes it: a text run, a shape,
// a picture or a page break, in points from the page's top-left corner.
#include "platform/gdi.h"

#include <QByteArray>
#include <QString>

enum PDFItemType { IT_INVALID = 0, IT_TEXT = 1, IT_NEWPAGE = 2, IT_GRAPHIC = 3, IT_IMAGE = 4 };

enum PDFShapeType {
    S_BOX = 0,
    S_CIRCLE = 1,
    S_HLINE = 2,
    S_VLINE = 3,
    S_OBLIQUE = 4,
    S_TOPBOTTOM = 5,
    S_LEFTRIGHT = 6,
    S_RIGHTDIAG = 7,
    S_LEFTDIAG = 8,
};

struct RGBColor {
    quint8 red = 0, green = 0, blue = 0;
    // A colour value 0x00BBGGRR.
    static RGBColor of(gdi::ColorRef c) { return {quint8(c & 0xFF), quint8((c >> 8) & 0xFF), quint8((c >> 16) & 0xFF)}; }
};

struct PDFItemRec {
    PDFItemType itemType = IT_INVALID;
    double xPos = 0; // left edge (text: the start of the baseline)
    double yPos = 0; // down from the top: text baseline, graphic top, image bottom
    QString fontName;
    QString text;
    quint8 fontCharset = 0;
    qint32 fontSize = 0;
    bool bold = false;
    bool italic = false;
    bool filled = false;
    double width = 0, height = 0;
    double thickness = 0;
    double xscale = 1, yscale = 1;
    QByteArray imgstr;      // the encoded pixel data
    QByteArray imageFilter; // its decode filter names
    PDFShapeType shape = S_BOX;
    qint32 pixelWidth = 0, pixelHeight = 0;
    RGBColor strokeColor;
    RGBColor fillColor; // text: the text colour

    // Text that code page 1252 cannot carry (and text in a face this program
    // draws itself) is laid out again in the label's font: its logical font
    // on the measuring surface and the top of its line, in points.
    gdi::LogFont logFont;
    double lineTop = 0;
};
