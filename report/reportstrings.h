// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The report model's own texts, used verbatim.
#include <QString>

namespace reportstrings {

inline constexpr char kCircularLinking[] = "Circular linking not allowed";
inline constexpr char kRulerFont[] = "Small Fonts";
inline constexpr char kReportFont[] = "Arial";
// The caption of the progress window of an export.
inline constexpr char kExportingProgress[] = "Exporting Progress";

// Band captions ("Title", "Page Header", ...) and the name bases of new
// bands ("TitleBand", ...), indexed by band type ordinal.
QString bandCaption(int bandType);
QString bandNameBase(int bandType);

QString valueCountError(int expected, int got);
// A control whose next part an empty column cannot take.
QString cannotPlace(const QString &control);

} // namespace reportstrings
