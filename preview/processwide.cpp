// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/processwide.h"

PreviewProcessState &previewState()
{
    static PreviewProcessState state;
    return state;
}
