// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The platform layer's process-wide state, in one place, each item with the
// threads that may touch it. The printer layer keeps its own in
// printer/processwide.h, the report model in report/processwide.h. A test
// that changes an item puts it back (tests/testsupport.h: ScopedValue).
//
// Caches that guard themselves and need no setting live with their code:
//   - the font families found installed (fonts_families.cpp): any thread,
//     under the cache's lock;
//   - resolved fonts (fonts.cpp) and the text-measuring surface
//     (textmeasurer.cpp): one of each per thread;
//   - the event types of the window messages (messages.cpp): any thread,
//     under their lock;
//   - the classes of stored descriptions (description/registry.cpp): filled
//     on first use on the user-interface thread, before any run starts on
//     another thread; read-only afterwards.
#include "platform/guithread.h"

struct PlatformProcessState {
    // What a widget call off the user-interface thread does; empty: stop the
    // program with a message. User-interface thread, while no other runs.
    GuiThreadViolationHandler guiThreadViolation;
};

PlatformProcessState &platformState();
