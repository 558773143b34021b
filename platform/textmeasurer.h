// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Text measured on a memory surface compatible with the screen (96 pixels
// per inch), as reports and labels measure their text. Each thread has its
// own surface, so a generation thread and the user-interface thread measure
// at the same time without sharing one; both get the same figures.
#include "platform/gdi.h"

#include <QString>

namespace textmeasure {

// The extent of `text` in `font` (screen pixels): width and cell height.
gdi::Size extent(const gdi::LogFont &font, const QString &text);

} // namespace textmeasure
