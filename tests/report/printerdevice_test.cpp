// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/rpprinterdevice.h"

#include <gtest/gtest.h>

namespace {

TEST(PrinterPageDeviceTest, ConvertsExactlyAsTheReportPrinterDoes)
{
    RpPrinter printer;
    RpPrinterPageDevice device(printer);
    EXPECT_EQ(device.canvas(), printer.canvas());
    for (double v : {0.0, 1.0, 100.0, 2100.0, 2970.0, 1234.5678, 13.2291666})
    {
        EXPECT_EQ(device.xPos(v), printer.xPos(v)) << v;
        EXPECT_EQ(device.yPos(v), printer.yPos(v)) << v;
        EXPECT_EQ(device.xSize(v), printer.xSize(v)) << v;
        EXPECT_EQ(device.ySize(v), printer.ySize(v)) << v;
    }
}

} // namespace
