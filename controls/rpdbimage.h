// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The database picture control: prints the picture of a blob field at the
// size it has on the screen, at the control's corner or centred, clipped to
// the control; stretched, it fills the control (with the control's colour
// when the field holds no picture). Its band asks it for the height its
// picture needs.
#include "controls/rpdataimage.h"

class RpDBImage : public RpDataImage, public RpExportPicture {
    Q_OBJECT
public:
    explicit RpDBImage(QWidget *parent = nullptr);

    // Where `pic` goes for the control's corner at (left, top) native page
    // units (Size.Left + OfsX, Size.Top + OfsY).
    PicturePlacement placement(const RpPageDevice &device, double left, double top, const Picture &pic) const;

    void printAt(RpReportRun &run, int ofsX, int ofsY) override;
    // The current record's picture as the page shows it, for export filters;
    // nothing without a picture field.
    ExportPictureRec exportPicture(double xFactor, double yFactor) const override;
    // The control's height in pixels, or with a bound blob field the height
    // of the field's picture when it is a bitmap and 0 for any other.
    void getExpandedHeight(double &newHeight) override;
    bool stretchesBand() const override { return true; }
};
