// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which way text reads and aligns: left to right; right to left (reading
// and alignment); right to left without swapping the alignment; or only
// the reading order. A label's setting, and the PDF document's.
enum class BiDiMode { bdLeftToRight = 0, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
