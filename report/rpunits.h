// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Report units and the three size objects that hold stored geometry.
//
// All geometry is stored in tenths of a millimetre ("native" units, 254 per
// inch) and shown in the unit the user picked. A size object keeps its
// owner's on-screen bounds in step with its values.
#include "platform/units.h"

#include <QtGlobal>
#include <atomic>
#include <cmath>
#include <vector>

class CustomReport;
class RpPrintable;
class RpCustomBand;

// Stored by ordinal.
enum class RpUnit { MM = 0, Inches = 1, Pixels = 2, Characters = 3, Native = 4 };

// Millimetres per character and per text line at font size s (points).
double characterWidthMM(double s);
double characterHeightMM(double s);

// The unit new size objects start with: Inches under a U.S. measurement
// setting, MM otherwise.
RpUnit defaultReportUnit();

class RpUnitBase {
public:
    RpUnitBase();
    virtual ~RpUnitBase();
    RpUnitBase(const RpUnitBase &) = delete;
    RpUnitBase &operator=(const RpUnitBase &) = delete;

    int resolution() const { return m_resolution; }
    virtual RpUnit units() const { return m_units.load(std::memory_order_relaxed); }
    virtual void setUnits(RpUnit u) { m_units.store(u, std::memory_order_relaxed); }
    CustomReport *parentReport() const { return m_parentReport; }
    void setParentReport(CustomReport *r) { m_parentReport = r; }
    bool parentUpdating() const { return m_parentUpdating; }
    void setParentUpdating(bool b) { m_parentUpdating = b; }
    int zoom() const { return m_zoom; }
    void setZoom(int z) { m_zoom = z; }

    virtual double fromNative(RpUnit units, bool horizontal, double value) const;
    virtual double toNative(RpUnit units, bool horizontal, double value) const;

    virtual void afterLoad() { updateOwnerBounds(); }
    virtual void updateOwnerBounds() {}

    // Indexed values in the current unit.
    virtual double getIndexedValue(int index) const;
    virtual void setIndexedValue(int index, double value) = 0;

    // The stored form: every value in native units, in stored order.
    int valueCount() const { return int(m_values.size()); }
    bool isHorizontal(int index) const { return m_horizontal.at(size_t(index)); }
    double nativeValue(int index) const { return m_values.at(size_t(index)); }
    // A value in whole screen pixels at the object's zoom (Round of the
    // native value converted), as its owner's bounds show it.
    int pixelValue(int index) const { return rpRound(fromNative(RpUnit::Pixels, isHorizontal(index), nativeValue(index))); }
    // Stores a pixel value as native units without switching the unit, then
    // lets the owner follow.
    void setPixelValue(int index, int pixels);
    // Stores a native value and lets the owner follow.
    void setNativeValue(int index, double value);
    std::vector<double> writeValueList() const { return m_values; }
    // Throws RpError when the count does not match.
    virtual void readValueList(const std::vector<double> &values);

    void usePixels();
    void restoreUnits() { setUnitsQuietly(m_savedUnits); }
    // Sets the unit without side effects and without touching the unit
    // usePixels remembers (for layout code that must not disturb it).
    void setUnitsQuietly(RpUnit u) { m_units.store(u, std::memory_order_relaxed); }

protected:
    void initValues(std::vector<double> values, std::vector<bool> horizontal);
    void storeNative(int index, double v) { m_values.at(size_t(index)) = v; }
    // Current font size of the parent report, used by Characters.
    double reportFontSize() const;

    int m_resolution;
    // Read by the surface's painting while a run on another thread switches it.
    std::atomic<RpUnit> m_units;
    RpUnit m_savedUnits;
    CustomReport *m_parentReport = nullptr;
    bool m_parentUpdating = false;
    int m_zoom = 100;
    std::vector<double> m_values;
    std::vector<bool> m_horizontal;
};

// Height, Left, Top, Width of a printable control.
// Switches a size object to Pixels for a scope and puts its unit back.
// Unlike usePixels it nests.
class PixelScope {
public:
    explicit PixelScope(RpUnitBase &s) : m_s(s), m_saved(s.units()) { s.setUnitsQuietly(RpUnit::Pixels); }
    ~PixelScope() { m_s.setUnitsQuietly(m_saved); }
    PixelScope(const PixelScope &) = delete;
    PixelScope &operator=(const PixelScope &) = delete;

private:
    RpUnitBase &m_s;
    RpUnit m_saved;
};

class RpPrintableSize : public RpUnitBase {
public:
    enum Index { HeightIdx = 0, LeftIdx = 1, TopIdx = 2, WidthIdx = 3 };
    explicit RpPrintableSize(RpPrintable *parent = nullptr);

    RpPrintable *parent() const { return m_parent; }
    double height() const { return getIndexedValue(HeightIdx); }
    double left() const { return getIndexedValue(LeftIdx); }
    double top() const { return getIndexedValue(TopIdx); }
    double width() const { return getIndexedValue(WidthIdx); }
    void setHeight(double v) { setIndexedValue(HeightIdx, v); }
    void setLeft(double v) { setIndexedValue(LeftIdx, v); }
    void setTop(double v) { setIndexedValue(TopIdx, v); }
    void setWidth(double v) { setIndexedValue(WidthIdx, v); }

    double getIndexedValue(int index) const override;
    void setIndexedValue(int index, double value) override;
    void updateOwnerBounds() override;

private:
    RpPrintable *m_parent;
};

// Height and Width of a band.
class RpBandSize : public RpUnitBase {
public:
    enum Index { HeightIdx = 0, WidthIdx = 1 };
    explicit RpBandSize(RpCustomBand *parent = nullptr);

    RpCustomBand *parent() const { return m_parent; }
    double height() const { return getIndexedValue(HeightIdx); }
    double width() const { return getIndexedValue(WidthIdx); }
    void setHeight(double v) { setIndexedValue(HeightIdx, v); }
    void setWidth(double v) { setIndexedValue(WidthIdx, v); }

    void setIndexedValue(int index, double value) override;
    void updateOwnerBounds() override;

private:
    RpCustomBand *m_parent;
};
