// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The user-interface thread and the calls that belong to it.
//
// Widgets (their geometry, painting, repainting) may be touched only on the
// thread that runs the application's event loop. Code that can run on a
// generation thread as well (the print path of bands and controls) keeps to
// stored values and leaves the widget to follow on that thread; the
// widget-touching setters call requireGuiThread() so that a call that slips
// through is caught where it happens.
#include <functional>

// True on the application's thread, and on any thread while no application
// object exists (plain tools and unit tests without one).
bool onGuiThread();

// True on the user-interface thread. Elsewhere reports `what` to the
// violation handler (platform/processwide.h) and answers false, so that the
// caller leaves the widget alone; without a handler the program stops with a
// message naming `what`.
bool requireGuiThread(const char *what);
using GuiThreadViolationHandler = std::function<void(const char *what)>;

// Runs `work` on the user-interface thread: at once when already there,
// otherwise queued for that thread's event loop in the context of `context`
// (dropped when `context` is destroyed first).
class QObject;
void runOnGuiThread(QObject *context, std::function<void()> work);
