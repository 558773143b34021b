// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Makes the report, its page setup, bands and controls describable: every
// published property is registered with the description registry (declared
// defaults are not written).
namespace desc {
class Registry;
}

// Registers the classes once; later calls do nothing.
void registerReportClasses(desc::Registry &registry);
// The same on the process-wide registry; returns it.
desc::Registry &reportRegistry();
