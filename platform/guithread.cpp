#include "platform/guithread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <cstdio>
#include <cstdlib>

namespace {

GuiThreadViolationHandler &handler()
{
    static GuiThreadViolationHandler h = [](const char *what) {
        std::fprintf(stderr, "Tovrel: %s called off the user-interface thread\n", what);
        std::abort();
    };
    return h;
}

} // namespace

bool onGuiThread()
{
    const QCoreApplication *app = QCoreApplication::instance();
    return !app || QThread::currentThread() == app->thread();
}

void requireGuiThread(const char *what)
{
    if (!onGuiThread())
        handler()(what);
}

GuiThreadViolationHandler setGuiThreadViolationHandler(GuiThreadViolationHandler h)
{
    GuiThreadViolationHandler old = std::move(handler());
    handler() = std::move(h);
    return old;
}

void runOnGuiThread(QObject *context, std::function<void()> work)
{
    if (onGuiThread()) {
        work();
        return;
    }
    QMetaObject::invokeMethod(context, std::move(work), Qt::QueuedConnection);
}
