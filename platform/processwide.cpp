// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/processwide.h"

PlatformProcessState &platformState()
{
    static PlatformProcessState state;
    return state;
}
