// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/papersizes.h"

#include <gtest/gtest.h>

#include <set>

TEST(PaperSizes, TableSizesInMillimetresAndTenths)
{
    EXPECT_EQ(papers::sizeMM(RpPaperSize::A4), QSizeF(210, 297));
    EXPECT_EQ(papers::sizeNative(RpPaperSize::A4), QSize(2100, 2970));
    EXPECT_EQ(papers::sizeNative(RpPaperSize::A4, true), QSize(2970, 2100));
    EXPECT_EQ(papers::sizeMM(RpPaperSize::Letter), QSizeF(215.9, 279.4));
    EXPECT_EQ(papers::sizeNative(RpPaperSize::Letter), QSize(2159, 2794));
    // 98.43 mm rounds to 984 tenths, 92.01 to 920.
    EXPECT_EQ(papers::sizeNative(RpPaperSize::Env9), QSize(984, 2254));
    EXPECT_EQ(papers::sizeNative(RpPaperSize::EnvPersonal), QSize(920, 1651));
    EXPECT_EQ(papers::sizeMM(RpPaperSize::A3ExtraTrans), QSizeF(445, 322));
    EXPECT_FALSE(papers::sizeMM(RpPaperSize::Default));
    EXPECT_FALSE(papers::sizeMM(RpPaperSize::Custom));
    EXPECT_FALSE(papers::sizeNative(RpPaperSize::Custom, true));
}

TEST(PaperSizes, NamesOfValuesAndDisplay)
{
    EXPECT_EQ(papers::displayName(RpPaperSize::Default), "Default size");
    EXPECT_EQ(papers::displayName(RpPaperSize::A4), "A4 210 x 297 mm");
    EXPECT_EQ(papers::displayName(RpPaperSize::A4Trans), "A4 Transverse 297 z 210 mm");
    EXPECT_EQ(papers::displayName(RpPaperSize::Custom), "Custom Size");
    EXPECT_EQ(papers::displayName(RpPaperSize::Reserved1), "RESERVED--DO NOT USE");
    EXPECT_EQ(papers::displayName(RpPaperSize::Reserved2), "RESERVED--DO NOT USE");
    EXPECT_EQ(papers::sizeMM(RpPaperSize::Reserved1), QSizeF(100, 100));
    EXPECT_EQ(papers::sizeMM(RpPaperSize::Reserved2), QSizeF(100, 100));

    // Every value name reads back as its own value, and names are unique.
    std::set<QString> seen;
    for (int i = 0; i < kPaperSizeCount; ++i) {
        const auto p = static_cast<RpPaperSize>(i);
        const QString n = papers::valueName(p);
        EXPECT_TRUE(seen.insert(n).second) << n.toStdString();
        EXPECT_EQ(papers::fromValueName(n), p);
    }
    EXPECT_EQ(papers::valueName(RpPaperSize::rp10X14), "rp10X14");
    EXPECT_FALSE(papers::fromValueName("a4"));
}

TEST(PaperSizes, DeviceCodes)
{
    EXPECT_EQ(papers::deviceCode(RpPaperSize::Default), 0);
    EXPECT_EQ(papers::deviceCode(RpPaperSize::Letter), 1);
    EXPECT_EQ(papers::deviceCode(RpPaperSize::A4), 9);
    EXPECT_EQ(papers::deviceCode(RpPaperSize::A3ExtraTrans), 68);
    EXPECT_EQ(papers::deviceCode(RpPaperSize::Custom), 256);
    for (int i = 0; i < kPaperSizeCount; ++i) {
        const auto p = static_cast<RpPaperSize>(i);
        EXPECT_EQ(papers::fromDeviceCode(papers::deviceCode(p)), p);
    }
    EXPECT_EQ(papers::fromDeviceCode(69), RpPaperSize::Default);
    EXPECT_EQ(papers::fromDeviceCode(-1), RpPaperSize::Default);
    EXPECT_EQ(papers::fromDeviceCode(255), RpPaperSize::Default);
}

TEST(PaperSizes, BinCodes)
{
    EXPECT_EQ(papers::binDeviceCode(RpBin::First), 1);
    EXPECT_EQ(papers::binDeviceCode(RpBin::Upper), 1);
    EXPECT_EQ(papers::binDeviceCode(RpBin::Auto), 7);
    EXPECT_EQ(papers::binDeviceCode(RpBin::LargeCapacity), 11);
    EXPECT_EQ(papers::binDeviceCode(RpBin::Cassette), 14);
    EXPECT_EQ(papers::binDeviceCode(RpBin::Last), 14);
    EXPECT_EQ(papers::binFromDeviceCode(1), RpBin::First);
    EXPECT_EQ(papers::binFromDeviceCode(2), RpBin::Lower);
    EXPECT_EQ(papers::binFromDeviceCode(14), RpBin::Cassette);
    EXPECT_EQ(papers::binFromDeviceCode(12), RpBin::First);
    EXPECT_EQ(papers::binFromDeviceCode(0), RpBin::First);
    EXPECT_EQ(papers::binValueName(RpBin::EnvManual), "EnvManual");
    EXPECT_EQ(papers::binFromValueName("Tractor"), RpBin::Tractor);
    EXPECT_FALSE(papers::binFromValueName("Nothing"));
}
