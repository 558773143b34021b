// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A report that uses every kind of item a run draws and hands an export
// filter: a page background colour and picture, a framed report, framed
// and transparent bands, a child band, two columns with a text that goes on
// in the next column, labels left, right, centred, fully justified, opaque
// and coloured, framed on two sides and on four, shapes of every kind, a
// vertical line that rules its band's whole height, rules and the shapes
// only the PDF document draws, pictures stretched, centred and tagged, and
// expressions over a table of records.
#include "data/memorytable.h"
#include "report/customreport.h"

#include <memory>

namespace sampler {

// The records the detail band prints: a name and a score.
std::unique_ptr<RpMemoryTable> records(int n);
// The report over `table` (which must outlive it).
std::unique_ptr<Report> report(RpMemoryTable &table);

} // namespace sampler
