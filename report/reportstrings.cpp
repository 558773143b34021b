// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/reportstrings.h"

namespace reportstrings {

namespace {
const char *const kCaptions[12] = {
    "Title", "Page Header", "Detail", "Page Footer", "Summary", "Group Header",
    "Group Footer", "Sub Detail", "Column Header", "Overlay", "Wild", "Child",
};
const char *const kNameBases[12] = {
    "TitleBand", "PageHeaderBand", "DetailBand", "PageFooterBand", "SummaryBand",
    "GroupHeaderBand", "GroupFooterBand", "SubDetailBand", "ColumnHeaderBand",
    "OverlayBand", "WildBand", "ChildBand",
};
} // namespace

QString bandCaption(int t) { return t >= 0 && t < 12 ? QString::fromLatin1(kCaptions[t]) : QString(); }
QString bandNameBase(int t) { return t >= 0 && t < 12 ? QString::fromLatin1(kNameBases[t]) : QString(); }

QString valueCountError(int expected, int got)
{
    return QStringLiteral("Values: expected %1 numbers, found %2").arg(expected).arg(got);
}

QString cannotPlace(const QString &control)
{
    return QStringLiteral("The control %1 cannot place its next part even at the top of an empty column")
        .arg(control.isEmpty() ? QStringLiteral("(unnamed)") : control);
}

} // namespace reportstrings
