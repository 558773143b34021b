// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/guithread.h"

#include "platform/processwide.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QThread>

#include <atomic>

#include <cstdio>
#include <cstdlib>

bool onGuiThread()
{
    const QCoreApplication *app = QCoreApplication::instance();
    return !app || QThread::currentThread() == app->thread();
}

bool requireGuiThread(const char *what)
{
    if (onGuiThread())
        return true;
    if (const GuiThreadViolationHandler &handler = platformState().guiThreadViolation) {
        handler(what);
        return false;
    }
    std::fprintf(stderr, "Tovrel: %s changed off the user-interface thread\n", what);
    std::abort();
}

namespace {

// Work handed to the user-interface thread. The hand-over is made visible to
// thread checkers by a release on the posting side and an acquire on the
// running side (the event queue's own lock is inside Qt, where they do not
// look).
class WorkEvent : public QEvent {
public:
    WorkEvent(QObject *context, std::function<void()> work)
        : QEvent(type()), m_context(context), m_work(std::move(work))
    {
        m_ready.store(true, std::memory_order_release);
    }
    static QEvent::Type type()
    {
        static const auto t = QEvent::Type(QEvent::registerEventType());
        return t;
    }
    void run()
    {
        if (!m_ready.load(std::memory_order_acquire))
            return;
        // Dropped when its context went first.
        if (m_context)
            m_work();
    }

private:
    QPointer<QObject> m_context;
    std::function<void()> m_work;
    std::atomic<bool> m_ready{false};
};

class WorkRunner : public QObject {
public:
    bool event(QEvent *e) override
    {
        if (e->type() != WorkEvent::type())
            return QObject::event(e);
        static_cast<WorkEvent *>(e)->run();
        return true;
    }
};

// The receiver of the work, living on the user-interface thread.
WorkRunner *runner()
{
    static WorkRunner *r = [] {
        auto *w = new WorkRunner;
        w->moveToThread(QCoreApplication::instance()->thread());
        return w;
    }();
    return r;
}

} // namespace

void runOnGuiThread(QObject *context, std::function<void()> work)
{
    if (onGuiThread()) {
        work();
        return;
    }
    QCoreApplication::postEvent(runner(), new WorkEvent(context, std::move(work)));
}
