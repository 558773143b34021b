// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Lengths and rounding: halves go to the even neighbour, values beyond the
// integer range saturate, and the conversions agree with each other.
#include "platform/units.h"

#include <gtest/gtest.h>

#include <limits>

TEST(Units, RoundingHalvesToEvenAndSaturates)
{
    EXPECT_EQ(rpRound(2.5), 2);
    EXPECT_EQ(rpRound(3.5), 4);
    EXPECT_EQ(rpRound(-2.5), -2);
    EXPECT_EQ(rpRound(2.6), 3);
    EXPECT_EQ(rpRound64(4294967296.5), Q_INT64_C(4294967296));
    EXPECT_EQ(rpRound(1e12), std::numeric_limits<int>::max());
    EXPECT_EQ(rpRound(-1e12), std::numeric_limits<int>::min());
    EXPECT_EQ(rpRound(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_GT(rpRound64(std::numeric_limits<double>::infinity()), Q_INT64_C(9000000000000000000));
}

TEST(Units, NativeAndDeviceConversionsAreInverse)
{
    EXPECT_DOUBLE_EQ(units::nativeToDevice(254, 600), 600);
    EXPECT_DOUBLE_EQ(units::deviceToNative(units::nativeToDevice(2100, 96), 96), 2100);
    EXPECT_EQ(rpRound(units::nativeToDevice(2100, 96)), 794); // A4 width on the screen
    EXPECT_DOUBLE_EQ(units::pointsToNative(72), 254);
    EXPECT_NEAR(units::devicePerNative(units::screenPixelsPerInch()), units::kScreenPixelsPerNative, 1e-5);
}
