// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/processwide.h"

ReportProcessState &reportState()
{
    static ReportProcessState state;
    return state;
}
