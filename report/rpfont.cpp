// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/rpfont.h"

#include <cmath>

int mulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    const double v = double(qint64(a) * b) / c;
    return int(std::round(v));
}

gdi::LogFont RpFont::toLogFont(int devicePpi) const
{
    gdi::LogFont f;
    f.height = devicePpi == pixelsPerInch ? height : -mulDiv(size(), devicePpi, 72);
    f.weight = bold ? gdi::FW_BOLD : gdi::FW_NORMAL;
    f.italic = italic;
    f.underline = underline;
    f.strikeOut = strikeOut;
    f.charSet = charset;
    f.faceName = name;
    return f;
}

namespace rpcolor {

gdi::ColorRef resolve(quint32 c)
{
    if (!(c & 0x80000000u))
        return c & 0xFFFFFF;
    switch (c & 0xFF) {
    case 5: // window
        return gdi::rgb(255, 255, 255);
    case 15: // button face
        return gdi::rgb(240, 240, 240);
    default: // window text and the rest
        return gdi::rgb(0, 0, 0);
    }
}

namespace {
struct Named {
    const char *name;
    quint32 value;
};
const Named kNames[] = {
    {"clBlack", 0x000000}, {"clMaroon", 0x000080}, {"clGreen", 0x008000}, {"clOlive", 0x008080},
    {"clNavy", 0x800000}, {"clPurple", 0x800080}, {"clTeal", 0x808000}, {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0}, {"clRed", 0x0000FF}, {"clLime", 0x00FF00}, {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000}, {"clFuchsia", 0xFF00FF}, {"clAqua", 0xFFFF00}, {"clWhite", 0xFFFFFF},
    {"clWindowText", clWindowText}, {"clBtnFace", clBtnFace}, {"clWindow", clWindow},
};
} // namespace

QString name(quint32 color)
{
    for (const auto &n : kNames)
        if (n.value == color)
            return QString::fromLatin1(n.name);
    return {};
}

bool fromName(const QString &s, quint32 &color)
{
    for (const auto &n : kNames)
        if (s == QLatin1String(n.name)) {
            color = n.value;
            return true;
        }
    return false;
}

} // namespace rpcolor
