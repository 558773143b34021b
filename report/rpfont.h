// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A font as the report model holds it: a family, a height in pixels at the
// font's pixels per inch (negative: character height), style, character set
// and colour. The point size follows from the height.
#include "platform/gdi.h"

#include <QString>

// Colours with the high bit set are system colours.
namespace rpcolor {
inline constexpr quint32 clBlack = 0x000000;
inline constexpr quint32 clWhite = 0xFFFFFF;
inline constexpr quint32 clGray = 0x808080;
inline constexpr quint32 clSilver = 0xC0C0C0;
inline constexpr quint32 clWindowText = 0x80000008;
inline constexpr quint32 clBtnFace = 0x8000000F;
inline constexpr quint32 clWindow = 0x80000005;
// The colour a system colour stands for; plain colours unchanged.
gdi::ColorRef resolve(quint32 color);
// "clWhite" and the like for the named colours, empty for others.
QString name(quint32 color);
bool fromName(const QString &name, quint32 &color);
} // namespace rpcolor

// MulDiv: a * b / c rounded half away from zero.
int mulDiv(int a, int b, int c);

class RpFont {
public:
    QString name = QStringLiteral("MS Sans Serif");
    int height = -11;
    int pixelsPerInch = 96;
    quint8 charset = gdi::DEFAULT_CHARSET;
    quint32 color = rpcolor::clWindowText;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;

    int size() const { return -mulDiv(height, 72, pixelsPerInch); }
    void setSize(int points) { height = -mulDiv(points, pixelsPerInch, 72); }

    // The logical font for a surface with `devicePpi` logical units per inch:
    // the point size is kept.
    gdi::LogFont toLogFont(int devicePpi) const;

    friend bool operator==(const RpFont &, const RpFont &) = default;
};
