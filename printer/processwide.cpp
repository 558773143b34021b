// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/processwide.h"

PrinterProcessState &printerState()
{
    static PrinterProcessState state;
    return state;
}
