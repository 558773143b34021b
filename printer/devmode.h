// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The settings a printer device holds for the next document: which fields it
// declares (dmFields) and their values, with the flag and code values of the
// platform's published device-mode structure.
#include <QtGlobal>

struct DevMode {
    enum : quint32 {
        DM_ORIENTATION = 0x1,
        DM_PAPERSIZE = 0x2,
        DM_PAPERLENGTH = 0x4,
        DM_PAPERWIDTH = 0x8,
        DM_COPIES = 0x100,
        DM_DEFAULTSOURCE = 0x200,
        DM_DUPLEX = 0x1000,
        DM_COLLATE = 0x8000,
    };
    enum : int { DMORIENT_PORTRAIT = 1, DMORIENT_LANDSCAPE = 2 };
    enum : int { DMDUP_SIMPLEX = 1, DMDUP_VERTICAL = 2, DMDUP_HORIZONTAL = 3 };

    quint32 dmFields = 0;
    int dmOrientation = DMORIENT_PORTRAIT;
    int dmPaperSize = 0;
    int dmPaperLength = 0; // 0.1 mm
    int dmPaperWidth = 0;  // 0.1 mm
    int dmCopies = 1;
    int dmDefaultSource = 0;
    int dmPrintQuality = 0;
    int dmColor = 0;
    int dmDuplex = DMDUP_SIMPLEX;
    int dmCollate = 0;

    bool declares(quint32 field) const { return (dmFields & field) != 0; }
    friend bool operator==(const DevMode &, const DevMode &) = default;
};
