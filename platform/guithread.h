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

// Reports `what` to the violation handler when called off the user-interface
// thread. The default handler stops the program with a message naming it.
void requireGuiThread(const char *what);

// Replaces the violation handler and returns the one it replaced (tests
// install one that records). Process-wide: set it on the user-interface
// thread while no second thread runs.
using GuiThreadViolationHandler = std::function<void(const char *what)>;
GuiThreadViolationHandler setGuiThreadViolationHandler(GuiThreadViolationHandler handler);

// Runs `work` on the user-interface thread: at once when already there,
// otherwise queued for that thread's event loop in the context of `context`
// (dropped when `context` is destroyed first).
class QObject;
void runOnGuiThread(QObject *context, std::function<void()> work);
