// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a control showing a picture hands an export filter: the pixels to
// write and where they go. Image controls (and the page pictures of
// RpPrinter::exportMetafile) implement RpExportPicture; a filter that
// receives such a control in acceptGraphic asks it for its picture.
//
// All lengths are device pixels of the report printer the run uses (the
// unit of acceptGraphic offsets). The control decides, from its own
// settings (stretching, proportional fit, the picture's own size), which
// bitmap stands for it and over which rectangle it is drawn; the filter
// draws the bitmap stretched over that rectangle.
#include <QImage>

struct ExportPictureRec {
    // The pixels, top row first; a null or empty bitmap writes nothing.
    QImage bitmap;
    // The rectangle the bitmap covers, relative to the acceptGraphic offsets
    // (a picture centred in its control is offset by dx or dy).
    double dx = 0;
    double dy = 0;
    double placedWidth = 0;
    double placedHeight = 0;
};

class RpExportPicture {
public:
    virtual ~RpExportPicture() = default;
    // The picture as drawn on a device of `xFactor`, `yFactor` pixels per
    // tenth of a millimetre.
    virtual ExportPictureRec exportPicture(double xFactor, double yFactor) const = 0;
};
