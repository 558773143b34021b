// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/rpunits.h"

#include "platform/guithread.h"
#include "platform/rperror.h"
#include "report/customreport.h"
#include "report/rpband.h"
#include "report/rpprintable.h"
#include "report/reportenv.h"
#include "report/reportstrings.h"

double characterWidthMM(double s) { return 80.0 / s / 2.54; }
double characterHeightMM(double s) { return 145.3 / s / 2.54; }

RpUnit defaultReportUnit() { return reportenv::usMeasurement() ? RpUnit::Inches : RpUnit::MM; }

RpUnitBase::RpUnitBase()
    : m_resolution(units::screenPixelsPerInch())
    , m_units(defaultReportUnit())
    , m_savedUnits(defaultReportUnit())
{
}

RpUnitBase::~RpUnitBase() = default;

void RpUnitBase::initValues(std::vector<double> values, std::vector<bool> horizontal)
{
    m_values = std::move(values);
    m_horizontal = std::move(horizontal);
}

double RpUnitBase::reportFontSize() const
{
    if (!m_parentReport)
        return 0;
    return std::abs(double(m_parentReport->font().size()));
}

double RpUnitBase::fromNative(RpUnit units, bool horizontal, double v) const
{
    switch (units) {
    case RpUnit::MM:
        return v / 10.0;
    case RpUnit::Inches:
        return v / units::kNativePerInch;
    case RpUnit::Pixels:
        return v / (units::kNativePerInch / m_resolution) * m_zoom / 100.0;
    case RpUnit::Characters: {
        // Without a font size there is no character cell: the value is shown
        // as it is stored rather than divided by zero.
        const double s = reportFontSize();
        if (s == 0)
            return v;
        return v / (horizontal ? characterWidthMM(s) : characterHeightMM(s)) / 10.0;
    }
    case RpUnit::Native:
        break;
    }
    return v;
}

double RpUnitBase::toNative(RpUnit units, bool horizontal, double v) const
{
    switch (units) {
    case RpUnit::MM:
        return v * 10.0;
    case RpUnit::Inches:
        return v * units::kNativePerInch;
    case RpUnit::Pixels:
        if (m_zoom == 0)
            return v;
        return v * (units::kNativePerInch / m_resolution) / m_zoom * 100.0;
    case RpUnit::Characters: {
        const double s = reportFontSize();
        if (s == 0)
            return v;
        return v * (horizontal ? characterWidthMM(s) : characterHeightMM(s)) * 10.0;
    }
    case RpUnit::Native:
        break;
    }
    return v;
}

double RpUnitBase::getIndexedValue(int index) const
{
    if (index < 0 || index >= valueCount())
        return 0;
    return fromNative(units(), isHorizontal(index), nativeValue(index));
}

void RpUnitBase::readValueList(const std::vector<double> &values)
{
    if (values.size() != m_values.size())
        throw RpError(RpErrorKind::DamagedInput, reportstrings::valueCountError(int(m_values.size()), int(values.size())));
    m_values = values;
}

void RpUnitBase::setPixelValue(int index, int pixels)
{
    if (index >= 0 && index < valueCount())
        storeNative(index, toNative(RpUnit::Pixels, isHorizontal(index), pixels));
    updateOwnerBounds();
}

void RpUnitBase::setNativeValue(int index, double value)
{
    if (index >= 0 && index < valueCount())
        storeNative(index, value);
    updateOwnerBounds();
}

void RpUnitBase::usePixels()
{
    m_savedUnits = units();
    setUnitsQuietly(RpUnit::Pixels);
}

// --- RpPrintableSize ---------------------------------------------------------

RpPrintableSize::RpPrintableSize(RpPrintable *parent)
    : m_parent(parent)
{
    initValues({20, 20, 20, 20}, {false, true, false, true});
}

double RpPrintableSize::getIndexedValue(int index) const
{
    double v = RpUnitBase::getIndexedValue(index);
    // A control on a band or a report reads its pixel values once more
    // scaled by that panel's zoom.
    if (units() == RpUnit::Pixels && m_parent) {
        if (auto *panel = qobject_cast<RpBasePanel *>(m_parent->parentWidget()))
            v = v * panel->zoom() / 100.0;
    }
    return v;
}

void RpPrintableSize::setIndexedValue(int index, double value)
{
    if (index >= 0 && index < valueCount())
        storeNative(index, toNative(units(), isHorizontal(index), value));
    updateOwnerBounds();
}

void RpPrintableSize::updateOwnerBounds()
{
    if (!m_parent)
        return;
    // The widget follows the stored values on the user-interface thread; a
    // run printing elsewhere leaves it a message to do so.
    const int l = pixelValue(LeftIdx), t = pixelValue(TopIdx), w = pixelValue(WidthIdx), h = pixelValue(HeightIdx);
    // The widget follows on the user-interface thread, with the bounds the
    // values give now (a run elsewhere may change them again meanwhile).
    RpPrintable *owner = m_parent;
    runOnGuiThread(owner, [owner, l, t, w, h] {
        RpPrintableSize &s = *owner->size();
        s.m_parentUpdating = true;
        owner->setBounds(l, t, w, h);
        s.m_parentUpdating = false;
    });
}

// --- RpBandSize ----------------------------------------------------------------

RpBandSize::RpBandSize(RpCustomBand *parent)
    : m_parent(parent)
{
    initValues({20, 40}, {false, true});
}

void RpBandSize::setIndexedValue(int index, double value)
{
    if (index >= 0 && index < valueCount())
        storeNative(index, toNative(units(), isHorizontal(index), value));
    updateOwnerBounds();
}

void RpBandSize::updateOwnerBounds()
{
    if (!m_parent)
        return;
    const int w = pixelValue(WidthIdx), h = pixelValue(HeightIdx);
    RpCustomBand *owner = m_parent;
    runOnGuiThread(owner, [owner, w, h] {
        RpBandSize &s = *owner->size();
        s.m_parentUpdating = true;
        owner->setBounds(owner->left(), owner->top(), w, h);
        s.m_parentUpdating = false;
    });
}
