// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Lengths and their rounding, in one place.
//
// Every stored length is in native units, tenths of a millimetre: 254 to the
// inch. A length reaches a device (screen, recorded page, printer page) as
// device pixels = native x dpi / 254, rounded with rpRound: to the nearest
// integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4). Where a value
// is to be truncated instead, the caller truncates.
//
// The screen is always taken as 96 pixels per inch (the reference surface):
// text is measured while a page is recorded and drawn again when it is
// played, maybe on another screen, so the engine never asks the real one.
#include <QtGlobal>

#include <cmath>

namespace units {

inline constexpr double kNativePerInch = 254.0;
inline constexpr double kPointsPerInch = 72.0;
inline constexpr int kScreenPixelsPerInch = 96;
// Screen pixels per native unit as the engine has always written it: the
// figure behind stored pixel positions, the label's justification and a
// printer that reports no resolution. (96 / 254 is 0.3779527...; the stored
// layouts and printed positions were computed with this shorter figure.)
inline constexpr double kScreenPixelsPerNative = 0.37795;

// Device pixels per native unit on a device of `dpi` pixels per inch.
inline constexpr double devicePerNative(double dpi) { return dpi / kNativePerInch; }
inline constexpr double nativeToDevice(double native, double dpi) { return native * dpi / kNativePerInch; }
inline constexpr double deviceToNative(double pixels, double dpi) { return pixels * kNativePerInch / dpi; }
// A thickness in points (1/72 inch) in native units.
inline constexpr double pointsToNative(double points) { return points / kPointsPerInch * kNativePerInch; }

inline int screenPixelsPerInch() { return kScreenPixelsPerInch; }

} // namespace units

// Round(x): the nearest integer, halves to the even neighbour. Values beyond
// the integer range saturate instead of being undefined.
inline qint64 rpRound64(double v)
{
    if (!(v == v))
        return 0;
    if (v >= 9.2e18)
        return Q_INT64_C(9200000000000000000);
    if (v <= -9.2e18)
        return -Q_INT64_C(9200000000000000000);
    return std::llrint(v);
}
// Round(x) kept as a floating-point value, for values beyond the integer
// range (the expression evaluator's numbers); infinities and NaN stay.
inline double rpRoundFloat(double v) { return std::isfinite(v) ? std::nearbyint(v) : v; }
inline int rpRound(double v)
{
    const qint64 r = rpRound64(v);
    return r > 2147483647 ? 2147483647 : r < -2147483647 - 1 ? -2147483647 - 1 : int(r);
}
