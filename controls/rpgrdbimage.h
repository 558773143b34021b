// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The database picture control with a choice of fitting: unstretched, the
// picture keeps its proportions and either covers the control (keeping the
// control's height or width) or fits inside it, or keeps the control's width
// or height; it can also be drawn at its own size from the fitted corner
// (ClipImage). Nothing is ever drawn outside the control's rectangle.
#include "controls/rpdataimage.h"

enum class FitMode { fmProportional = 0, fmKeepWidth, fmKeepHeight, fmInsideProp };

class RpGrDBImage : public RpDataImage, public RpExportPicture {
    Q_OBJECT
public:
    explicit RpGrDBImage(QWidget *parent = nullptr);

    bool clipImage() const { return m_clipImage; }
    void setClipImage(bool v) { m_clipImage = v; }
    FitMode fitMode() const { return m_fitMode; }
    void setFitMode(FitMode m) { m_fitMode = m; }

    // Where `pic` goes for the control's corner at (left, top) native page
    // units (Size.Left + OfsX, Size.Top + OfsY); `keepWidth` and `keepHeight`
    // (when given) tell which side of the control the fitting kept.
    PicturePlacement placement(const RpPageDevice &device, double left, double top, const Picture &pic,
                               bool *keepWidth = nullptr, bool *keepHeight = nullptr) const;

    void printAt(RpReportRun &run, int ofsX, int ofsY) override;
    // The current record's picture as the page shows it, fitted and clipped,
    // for export filters; nothing without a picture field.
    ExportPictureRec exportPicture(double xFactor, double yFactor) const override;

private:
    bool m_clipImage = false;
    FitMode m_fitMode = FitMode::fmProportional;
};
