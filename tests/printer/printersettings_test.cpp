// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakeprinter.h"
#include "printer/printersettings.h"
#include "printer/qtprinterdevice.h"
#include "printer/rpprinter.h"

#include <gtest/gtest.h>

TEST(PrinterSettings, WithoutAPrinterTheDefaultsStand)
{
    PrinterSettings s;
    s.setOrientation(RpOrientation::poLandscape);
    s.setCopies(3);
    s.setPaperSize(RpPaperSize::A3);
    s.setDuplex(true);
    s.setOutputBin(RpBin::Cassette);
    EXPECT_EQ(s.orientation(), RpOrientation::poPortrait);
    EXPECT_EQ(s.copies(), 1);
    EXPECT_EQ(s.paperSize(), RpPaperSize::A4);
    EXPECT_FALSE(s.duplex());
    EXPECT_EQ(s.outputBin(), RpBin::Auto);
    EXPECT_EQ(s.paperWidth(), 2100);
    EXPECT_EQ(s.paperLength(), 2970);
    EXPECT_EQ(s.memoryLimit(), 250000);
    s.setPaperWidth(1000); // plain values are always taken
    s.setTitle("t");
    EXPECT_EQ(s.title(), "t");
}

TEST(PrinterSettings, ReadsTheDevice)
{
    FakePrinterDevice dev;
    dev.mode->dmDefaultSource = 15; // no bin has it
    dev.mode->dmCopies = 2;
    dev.mode->dmDuplex = 3;
    PrinterSettings s;
    s.setPrinter(&dev);
    EXPECT_EQ(s.pixelsPerX(), 60);
    EXPECT_EQ(s.copies(), 2);
    EXPECT_EQ(s.outputBin(), RpBin::First);
    EXPECT_TRUE(s.duplex());
    EXPECT_EQ(s.extendedDuplex(), 3);
    EXPECT_EQ(s.leftOffset(), 51); // Round(12 / 60 * 254)
    EXPECT_EQ(s.topOffset(), 51);
    EXPECT_EQ(s.paperSize(), RpPaperSize::A4);
    EXPECT_EQ(s.printQuality(), 600);
    EXPECT_EQ(s.colorOption(), 2);
    // Offered: A4 and Custom only.
    EXPECT_TRUE(s.offersPaperSize(RpPaperSize::A4));
    EXPECT_TRUE(s.offersPaperSize(RpPaperSize::Custom));
    s.setPaperSize(RpPaperSize::Letter);
    EXPECT_EQ(s.paperSize(), RpPaperSize::A4);
    s.setPaperSize(RpPaperSize::Default);
    EXPECT_EQ(s.paperSize(), RpPaperSize::Default);
    EXPECT_EQ(s.paperWidth(), 2100); // the device's physical paper: 496 px at 60 dpi
    // A hook may stop the reading.
    PrinterSettings t;
    t.setOnGetPrinterSettings([](PrinterSettings *, bool &cancel, DevMode &) { cancel = true; });
    t.setPrinter(&dev);
    EXPECT_EQ(t.copies(), 1);
    EXPECT_EQ(t.pixelsPerX(), 0);
}

TEST(PrinterSettings, DeviceDependentSetters)
{
    FakePrinterDevice dev;
    dev.mode->dmFields &= ~quint32(DevMode::DM_DUPLEX);
    PrinterSettings s;
    s.setPrinter(&dev);
    s.setDuplex(true); // not declared: ignored
    EXPECT_FALSE(s.duplex());
    s.setCopies(4);
    s.setOrientation(RpOrientation::poLandscape);
    s.setOutputBin(RpBin::Cassette);
    EXPECT_EQ(s.copies(), 4);
    EXPECT_EQ(s.orientation(), RpOrientation::poLandscape);
    EXPECT_EQ(s.outputBin(), RpBin::Cassette);
}

TEST(PrinterSettings, ApplyWritesTheDeviceMode)
{
    FakePrinterDevice dev;
    PrinterSettings s;
    s.setPrinter(&dev);
    // The device reads back simplex (code 1); choosing two-sided printing
    // afterwards must not be overridden by that code.
    EXPECT_EQ(s.extendedDuplex(), 1);
    s.setDuplex(true);
    EXPECT_EQ(s.extendedDuplex(), 0);
    s.setCopies(3);
    s.setOutputBin(RpBin::Cassette);
    s.setOrientation(RpOrientation::poLandscape);
    s.setCollate(1);
    s.applySettings();
    ASSERT_EQ(dev.applied.size(), 1u);
    DevMode m = dev.applied.back();
    EXPECT_EQ(m.dmDuplex, 3);
    EXPECT_EQ(m.dmCopies, 3);
    EXPECT_EQ(m.dmDefaultSource, 14);
    EXPECT_EQ(m.dmOrientation, 2);
    EXPECT_EQ(m.dmPaperSize, 9);
    EXPECT_EQ(m.dmPaperWidth, 2100);
    EXPECT_EQ(m.dmPaperLength, 2970);
    EXPECT_EQ(m.dmCollate, 1);
    EXPECT_TRUE(m.declares(DevMode::DM_PAPERWIDTH | DevMode::DM_PAPERLENGTH));

    s.setDuplex(false);
    s.setExtendedDuplex(2);
    s.setUseCustomBinCode(true);
    s.setCustomBinCode(259);
    s.setUseCustomPaperCode(true);
    s.setCustomPaperCode(120);
    s.applySettings();
    m = dev.applied.back();
    EXPECT_EQ(m.dmDuplex, 2);
    EXPECT_EQ(m.dmDefaultSource, 259);
    EXPECT_EQ(m.dmPaperSize, 120);

    s.setOnApplyPrinterSettings([](PrinterSettings *, bool &cancel, DevMode &) { cancel = true; });
    s.applySettings();
    EXPECT_EQ(dev.applied.size(), 2u); // cancelled: not handed back
}

TEST(PrinterSettings, ReportSettingsCopyIntoThePrinter)
{
    FakePrinterDevice dev;
    dev.names << "second";
    UseDevice use(&dev);
    ReportPrinterSettings r;
    EXPECT_EQ(r.paperSize, RpPaperSize::Letter);
    EXPECT_EQ(r.outputBin, RpBin::Auto);
    EXPECT_EQ(r.printerIndex, -1);
    r.paperSize = RpPaperSize::A4;
    r.copies = 2;
    r.orientation = RpOrientation::poLandscape;
    r.outputBin = RpBin::Lower;
    r.title = "Sheet";
    r.printerIndex = 1;
    RpPrinter p;
    r.applySettings(p);
    EXPECT_EQ(p.printerIndex(), 1);
    EXPECT_EQ(p.copies(), 2);
    EXPECT_EQ(p.orientation(), RpOrientation::poLandscape);
    EXPECT_EQ(p.outputBin(), RpBin::Lower);
    EXPECT_EQ(p.title(), "Sheet");
    EXPECT_EQ(p.paperWidthValue(), 2970); // landscape A4
}

TEST(PrinterSettings, InputSlotChoicesAreReadFromTheQueuesOptions)
{
    const QByteArray out = "PageSize/Media Size: Letter *A4 A5\n"
                           "InputSlot/Paper Source: Tray 1: *Auto Upper Lower\n"
                           "Duplex/2-Sided Printing: *None DuplexNoTumble\n";
    EXPECT_EQ(QtPrinterDevice::inputSlotChoices(out), (QStringList{"Auto", "Upper", "Lower"}));
    EXPECT_EQ(QtPrinterDevice::inputSlotChoices("InputSlot: Tray1 *Tray2\n"), (QStringList{"Tray1", "Tray2"}));
    EXPECT_TRUE(QtPrinterDevice::inputSlotChoices("PageSize/Media Size: *A4\n").isEmpty());
    EXPECT_TRUE(QtPrinterDevice::inputSlotChoices("").isEmpty());
}

TEST(PrinterSettings, ABinSelectsTheInputSlotThatNamesIt)
{
    const QByteArray ppd = "*OpenUI *InputSlot/Media Source: PickOne\n"
                           "*DefaultInputSlot: Auto\n"
                           "*InputSlot Auto/Automatic: \"\"\n"
                           "*InputSlot Tray1/Upper Tray: \"<< /MediaPosition 1 >> setpagedevice\"\n"
                           "*InputSlot Tray2/Lower Tray: \"\"\n"
                           "*InputSlot Tray3/Tray 3: \"\"\n"
                           "*InputSlot Tray4/Tray 4: \"\"\n"
                           "*InputSlot Tray5/Tray 5: \"\"\n"
                           "*InputSlot LCT/Large capacity: \"\"\n"
                           "*InputSlot ManualFeed: \"\"\n"
                           "*CloseUI: *InputSlot\n";
    const QHash<QString, QString> labels = QtPrinterDevice::inputSlotLabelsOf(ppd);
    EXPECT_EQ(labels.value("Tray2"), "Lower Tray");
    EXPECT_EQ(labels.value("LCT"), "Large capacity");
    EXPECT_FALSE(labels.contains("ManualFeed")); // a choice without a label
    const QStringList choices{"Auto", "Tray1", "Tray2", "Tray3", "Tray4", "Tray5", "LCT", "ManualFeed"};
    auto slot = [&](RpBin b) { return QtPrinterDevice::inputSlotForBin(papers::binDeviceCode(b), choices, labels); };
    EXPECT_EQ(slot(RpBin::Upper), "Tray1"); // by label
    EXPECT_EQ(slot(RpBin::Lower), "Tray2");
    EXPECT_EQ(slot(RpBin::LargeCapacity), "LCT");
    EXPECT_EQ(slot(RpBin::Manual), "ManualFeed"); // by keyword
    // Auto is the queue's own choice, not the seventh tray; a bin the queue
    // has no tray for sends none.
    EXPECT_EQ(slot(RpBin::Auto), QString());
    EXPECT_EQ(slot(RpBin::Middle), QString());
    EXPECT_EQ(slot(RpBin::Tractor), QString());
    // Keywords alone, as without a readable PPD.
    EXPECT_EQ(QtPrinterDevice::inputSlotForBin(papers::binDeviceCode(RpBin::Lower), {"Auto", "Upper", "Lower"}, {}),
              "Lower");
}
