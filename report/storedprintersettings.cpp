// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/storedprintersettings.h"

#include "printer/papersizes.h"
#include "printer/rpprinter.h"

#include <algorithm>

void StoredPrinterSettings::applyTo(RpPrinter &p) const
{
    PrinterSettings &ps = p.settings();
    p.setCopies(copies);
    p.setOutputBin(RpBin(std::clamp(outputBin, 0, kBinCount - 1)));
    p.setFirstPage(firstPage);
    p.setLastPage(lastPage);
    p.setDuplex(duplex);
    ps.setUseStandardPrinter(useStandardprinter);
    p.setPrintMetafile(printMetaFile);
    ps.setUseCustomBinCode(useCustomBinCode);
    ps.setCustomBinCode(customBinCode);
    ps.setUseCustomPaperCode(useCustomPaperCode);
    ps.setCustomPaperCode(customPaperCode);
    ps.setPrintQuality(printQuality);
    ps.setCollate(collate);
    ps.setColorOption(colorOption);
    ps.setExtendedDuplex(extendedDuplex);
}
