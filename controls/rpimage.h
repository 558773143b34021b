// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The picture control that holds its own picture, stored with the report
// description. Unstretched, the picture prints at the size it has on the
// screen, at the control's top-left corner or centred, clipped to the
// control; stretched, it fills the control. A report may name one such
// control, placed on the report itself, as the background of every page.
#include "controls/picturedraw.h"
#include "controls/rppicture.h"
#include "report/rpprintable.h"

class RpImage : public RpPrintable, public RpExportPicture {
    Q_OBJECT
public:
    explicit RpImage(QWidget *parent = nullptr);
    ~RpImage() override;

    const Picture &picture() const { return m_picture.graphic(); }
    // Copies the picture into the control's own.
    void setPicture(const Picture &p) { m_picture.assign(p); }
    // The owned picture itself, for readers of descriptions.
    RpPicture &pictureRef() { return m_picture; }
    // The colour table of a bitmap picture that has one (none otherwise).
    QList<QRgb> palette() const { return picture().palette(); }

    bool autoSize() const { return m_autoSize; }
    void setAutoSize(bool v);
    bool stretch() const { return m_stretch; }
    void setStretch(bool v);
    bool center() const { return m_center; }
    void setCenter(bool v);

    // Where the picture goes on a page whose device is `device`, for the
    // control's top-left corner at (left, top) native page units
    // (Size.Left + OfsX, Size.Top + OfsY): `clip` is the control's page
    // rectangle, `dest` the rectangle the picture is drawn into. Stretched,
    // both are the page rectangle and nothing clips; unstretched, `dest` is
    // the picture's own size at the corner or centred, clipped to `clip`.
    PicturePlacement placement(const RpPageDevice &device, double left, double top) const;

    void printAt(RpReportRun &run, int ofsX, int ofsY) override;
    // The picture as the page shows it, for export filters. Tagged 999 the
    // picture's own pixels are stretched over the control whatever Stretch
    // says; tagged 12345 an unstretched picture is shrunk by the screen's
    // resolution over the device's.
    ExportPictureRec exportPicture(double xFactor, double yFactor) const override;
    void drawPageBackground(RpReportRun &run, Canvas &canvas, const gdi::Rect &rect) override;
    void paintSurface(Canvas &canvas) override;

    // The rectangle the picture is painted into on the design surface.
    gdi::Rect surfaceRect() const;

private:
    // Sizes the control to the picture (AutoSize), sets the opaque flag when
    // a bitmap covers the control, and repaints.
    void refreshFromPicture();

    RpPicture m_picture;
    bool m_autoSize = false;
    bool m_stretch = false;
    bool m_center = false;
};
