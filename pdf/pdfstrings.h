// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The PDF writer's own texts, used verbatim.
#include <QString>

namespace pdfstrings {

inline constexpr char kName[] = "PDF document";
inline constexpr char kDescription[] = "PDF document filter";
inline constexpr char kExtension[] = "PDF";
inline constexpr char kCreator[] = "Tovrel";
inline constexpr char kProducer[] = "Tovrel PDF Export";
inline constexpr char kGetFontDataError[] = "GetFontData error";
inline constexpr char kInvalidItem[] = "Internal error: IT_INVALID";

inline QString notEnoughCustomWidths(int count, const QString &fontKey)
{
    return QStringLiteral("Not enough Custom widths (%1 < 256) for font \"%2\"  ").arg(count).arg(fontKey);
}
inline QString widthsNotObtainable(const QString &font, const QString &why)
{
    return QStringLiteral("Font widths for \"%1\" not obtainable (%2)").arg(font, why);
}

} // namespace pdfstrings
