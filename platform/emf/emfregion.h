// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Regions as metafile records store them: a RGNDATA structure, a 32-byte
// header followed by the region's rectangles.
#include "platform/gdi.h"

#include <QByteArray>
#include <optional>
#include <span>
#include <vector>

namespace emf {

// The rectangles of a RGNDATA structure, normalized. Data shorter than the
// header holds no rectangles; nullopt when the header counts more rectangles
// than the data holds.
std::optional<std::vector<gdi::Rect>> regionRects(const QByteArray &rgnData);

// A RGNDATA structure of the rectangles (which should not overlap).
QByteArray regionData(std::span<const gdi::Rect> rects);

} // namespace emf
