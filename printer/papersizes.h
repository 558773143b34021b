// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The paper sizes and paper sources every part of the engine speaks of: each
// paper value with its portrait size in millimetres, its display name and the
// code a printer device uses for it; each bin with its device code.
#include <QSize>
#include <QSizeF>
#include <QString>
#include <optional>

enum class RpPaperSize : int {
    Default, Letter, LetterSmall, Tabloid, Ledger, Legal, Statement, Executive,
    A3, A4, A4Small, A5, B4, B5, Folio, Quarto, rp10X14, rp11X17, Note, Env9,
    Env10, Env11, Env12, Env14, CSheet, DSheet, ESheet, EnvDL, EnvC5, EnvC3,
    EnvC4, EnvC6, EnvC65, EnvB4, EnvB5, EnvB6, EnvItaly, EnvMonarch,
    EnvPersonal, FanfoldUSStd, FanfoldGerStd, FanfoldGerLegal, B4ISO,
    PostcardJap, rp9X11, rp10X11, rp15X11, EnvInvite, Reserved1, Reserved2,
    LetterExtra, LegalExtra, TabloidExtra, A4Extra, LetterTrans, A4Trans,
    LetterExtraTrans, SuperASuperAA4, SuperBSuperBA3, LetterPlus, A4Plus,
    A5Trans, B5Trans, A3Extra, A5Extra, B5Extra, A2, A3Trans, A3ExtraTrans,
    Custom
};
inline constexpr int kPaperSizeCount = 70;

enum class RpBin : int {
    First, Upper, Lower, Middle, Manual, Envelope, EnvManual, Auto, Tractor,
    SmallFormat, LargeFormat, LargeCapacity, Cassette, Last
};
inline constexpr int kBinCount = 14;

namespace papers {

// Portrait width x length in millimetres; none for Default and Custom.
std::optional<QSizeF> sizeMM(RpPaperSize p);
// Width x length in tenths of a millimetre (Round(mm * 10)), exchanged for a
// landscape page; none for Default and Custom.
std::optional<QSize> sizeNative(RpPaperSize p, bool landscape = false);

// "A4 210 x 297 mm" and so on.
QString displayName(RpPaperSize p);
// The enumerator's own name ("A4", "rp10X14"), as stored descriptions write it.
QString valueName(RpPaperSize p);
// The value of that name; none for an unknown name.
std::optional<RpPaperSize> fromValueName(const QString &name);

// 0 for Default, the ordinal for Letter..A3ExtraTrans, 256 for Custom.
int deviceCode(RpPaperSize p);
// The first value whose code matches; Default when none does.
RpPaperSize fromDeviceCode(int code);

int binDeviceCode(RpBin b);
// The first bin with that code; First for any code no bin writes.
RpBin binFromDeviceCode(int code);
QString binValueName(RpBin b);
std::optional<RpBin> binFromValueName(const QString &name);

} // namespace papers
