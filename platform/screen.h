// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the engine reads of the real screen: only its colour depth. Its
// pixels per inch are the reference surface's fixed 96 (platform/units.h).

// Bits per pixel of the primary screen (24 when there is no screen, as on the
// offscreen platform or before the application object exists).
int screenColorDepth();
