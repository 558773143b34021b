// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/papersizes.h"

#include "platform/units.h"
#include "printer/printerstrings.h"

#include <cmath>

namespace {

struct PaperEntry {
    const char *value;
    double width;  // mm, portrait; 0 for no size of its own
    double length;
};

// By ordinal; Default and Custom carry no size.
constexpr PaperEntry kPapers[kPaperSizeCount] = {
    {"Default", 0, 0},
    {"Letter", 215.9, 279.4},
    {"LetterSmall", 215.9, 279.4},
    {"Tabloid", 279.4, 431.8},
    {"Ledger", 431.8, 279.4},
    {"Legal", 215.9, 355.6},
    {"Statement", 139.7, 215.9},
    {"Executive", 190.5, 254},
    {"A3", 297, 420},
    {"A4", 210, 297},
    {"A4Small", 210, 297},
    {"A5", 148, 210},
    {"B4", 250, 354},
    {"B5", 182, 257},
    {"Folio", 215.9, 330.2},
    {"Quarto", 215, 275},
    {"rp10X14", 254, 355.6},
    {"rp11X17", 279.4, 431.8},
    {"Note", 215.9, 279.4},
    {"Env9", 98.43, 225.4},
    {"Env10", 104.8, 241.3},
    {"Env11", 114.3, 263.5},
    {"Env12", 120.7, 279.4},
    {"Env14", 127, 292.1},
    {"CSheet", 431.8, 558.8},
    {"DSheet", 558.8, 863.6},
    {"ESheet", 863.6, 1117.6},
    {"EnvDL", 110, 220},
    {"EnvC5", 162, 229},
    {"EnvC3", 324, 458},
    {"EnvC4", 229, 324},
    {"EnvC6", 114, 162},
    {"EnvC65", 114, 229},
    {"EnvB4", 250, 353},
    {"EnvB5", 176, 250},
    {"EnvB6", 176, 125},
    {"EnvItaly", 110, 230},
    {"EnvMonarch", 98.43, 190.5},
    {"EnvPersonal", 92.01, 165.1},
    {"FanfoldUSStd", 377.8, 279.4},
    {"FanfoldGerStd", 215.9, 304.8},
    {"FanfoldGerLegal", 215.9, 330.2},
    {"B4ISO", 250, 353},
    {"PostcardJap", 100, 148},
    {"rp9X11", 228.6, 279.4},
    {"rp10X11", 254, 279.4},
    {"rp15X11", 381, 279.4},
    {"EnvInvite", 220, 220},
    {"Reserved1", 100, 100},
    {"Reserved2", 100, 100},
    {"LetterExtra", 241.3, 304.8},
    {"LegalExtra", 241.3, 381},
    {"TabloidExtra", 296.9, 457.2},
    {"A4Extra", 236, 322},
    {"LetterTrans", 279.4, 215.9},
    {"A4Trans", 297, 210},
    {"LetterExtraTrans", 304.8, 241.3},
    {"SuperASuperAA4", 227, 356},
    {"SuperBSuperBA3", 305, 487},
    {"LetterPlus", 215.9, 322.3},
    {"A4Plus", 210, 330},
    {"A5Trans", 210, 148},
    {"B5Trans", 257, 182},
    {"A3Extra", 322, 445},
    {"A5Extra", 174, 235},
    {"B5Extra", 201, 276},
    {"A2", 420, 594},
    {"A3Trans", 420, 297},
    {"A3ExtraTrans", 445, 322},
    {"Custom", 0, 0},
};

struct BinEntry {
    const char *value;
    int code;
};

constexpr BinEntry kBins[kBinCount] = {
    {"First", 1}, {"Upper", 1}, {"Lower", 2}, {"Middle", 3}, {"Manual", 4},
    {"Envelope", 5}, {"EnvManual", 6}, {"Auto", 7}, {"Tractor", 8},
    {"SmallFormat", 9}, {"LargeFormat", 10}, {"LargeCapacity", 11},
    {"Cassette", 14}, {"Last", 14},
};

int ord(RpPaperSize p)
{
    const int i = static_cast<int>(p);
    return (i >= 0 && i < kPaperSizeCount) ? i : 0;
}

} // namespace

namespace papers {

std::optional<QSizeF> sizeMM(RpPaperSize p)
{
    const PaperEntry &e = kPapers[ord(p)];
    if (e.width <= 0)
        return std::nullopt;
    return QSizeF(e.width, e.length);
}

std::optional<QSize> sizeNative(RpPaperSize p, bool landscape)
{
    const auto mm = sizeMM(p);
    if (!mm)
        return std::nullopt;
    const int w = rpRound(mm->width() * 10);
    const int l = rpRound(mm->height() * 10);
    return landscape ? QSize(l, w) : QSize(w, l);
}

QString displayName(RpPaperSize p)
{
    return QString::fromLatin1(printerstrings::kPaperNames[ord(p)]);
}

QString valueName(RpPaperSize p)
{
    return QString::fromLatin1(kPapers[ord(p)].value);
}

std::optional<RpPaperSize> fromValueName(const QString &name)
{
    for (int i = 0; i < kPaperSizeCount; ++i)
        if (name == QLatin1String(kPapers[i].value))
            return static_cast<RpPaperSize>(i);
    return std::nullopt;
}

int deviceCode(RpPaperSize p)
{
    const int i = ord(p);
    if (p == RpPaperSize::Custom)
        return 256;
    return i; // Default is 0, Letter..A3ExtraTrans their ordinal
}

RpPaperSize fromDeviceCode(int code)
{
    if (code == 256)
        return RpPaperSize::Custom;
    if (code >= 1 && code <= static_cast<int>(RpPaperSize::A3ExtraTrans))
        return static_cast<RpPaperSize>(code);
    return RpPaperSize::Default;
}

int binDeviceCode(RpBin b)
{
    const int i = static_cast<int>(b);
    return (i >= 0 && i < kBinCount) ? kBins[i].code : kBins[0].code;
}

RpBin binFromDeviceCode(int code)
{
    for (int i = 0; i < kBinCount; ++i)
        if (kBins[i].code == code)
            return static_cast<RpBin>(i);
    return RpBin::First;
}

QString binValueName(RpBin b)
{
    const int i = static_cast<int>(b);
    return QString::fromLatin1(kBins[(i >= 0 && i < kBinCount) ? i : 0].value);
}

std::optional<RpBin> binFromValueName(const QString &name)
{
    for (int i = 0; i < kBinCount; ++i)
        if (name == QLatin1String(kBins[i].value))
            return static_cast<RpBin>(i);
    return std::nullopt;
}

} // namespace papers
