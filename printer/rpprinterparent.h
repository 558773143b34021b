// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the report printer needs of the report (or composite report) that
// owns it. The report implements this; the printer holds no other link to it.
class RpPrinterSettings;

class RpPrinterParent {
public:
    virtual ~RpPrinterParent() = default;
    // The report's stored print settings (UseStandardprinter, MemoryLimit, ...).
    virtual const RpPrinterSettings &printerSettings() const = 0;
    // The report page's width and length in 0.1 mm.
    virtual double pageWidthNative() const = 0;
    virtual double pageLengthNative() const = 0;
    virtual bool showProgress() const = 0;
    virtual void setUserCancel(bool cancel) = 0;
    // Fires the report's AfterPrint (the sender is the report) if assigned.
    virtual void afterPrint() = 0;
    // True while the report runs an export: an aborted page is then dropped.
    virtual bool exporting() const = 0;
};
