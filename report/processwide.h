// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The report model's process-wide state, in one place, each item with the
// threads that may touch it (see platform/processwide.h and
// printer/processwide.h for the layers below).
#include "report/printersetup.h"
#include "report/surfacescheme.h"

#include <optional>

struct ReportProcessState {
    // Pins of what the report model reads of its surroundings (reportenv.h):
    // the locale's measurement system and the screen's colour count; none:
    // the platform answers. User-interface thread.
    std::optional<bool> usMeasurement;
    std::optional<long long> screenColorCount;
    // The colours of the report surface, chosen from the screen's colour
    // count when first asked for. User-interface thread (only the surface
    // paints with them).
    std::optional<SurfaceScheme> surfaceScheme;
    // How the printer setup runs the print dialog (the preview module
    // registers it at start-up); empty: the setup is taken as cancelled.
    // User-interface thread.
    PrintDialogRunner printDialog;
    // Nothing of a run is kept here: each run's state is its own
    // (report/reportrun.h), so runs of different reports go at once.
};

ReportProcessState &reportState();
