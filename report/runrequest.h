// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What an entry point asks of one run of a report: whether the run feeds an
// export filter, and whether it is one part of a composite document and
// where that part starts. The run keeps it for its length; nothing of it is
// left on the report.

class RpExportFilter;

// Where a report generated as one part of a composite document starts, and
// where it ended.
struct RpRunPosition {
    int currentX = 0;
    int currentY = -1;
    int currentColumn = 1;
    int pageNumber = 0;
};

struct RpRunRequest {
    // With a filter the run exports: the bands and controls hand their
    // items to it as well.
    RpExportFilter *filter = nullptr;
    // Pages are really drawn; an export run only feeds the filter.
    bool finalPass = true;
    // The run is one part of a composite document: the composite opened the
    // printer's document, and the part starts at `start`.
    bool compositePart = false;
    RpRunPosition start;
    // The composite document's count of pages started (every NewPage of its
    // parts adds one); none outside a composite.
    int *documentPages = nullptr;
};
