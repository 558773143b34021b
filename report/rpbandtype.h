// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Band types, stored by name and ordinal.
enum RpBandType {
    rbTitle = 0, rbPageHeader, rbDetail, rbPageFooter, rbSummary, rbGroupHeader,
    rbGroupFooter, rbSubDetail, rbColumnHeader, rbOverlay, rbWild, rbChild
};
inline constexpr int kBandTypeCount = 12;
