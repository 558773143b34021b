#include "platform/guithread.h"

#include "platform/processwide.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <cstdio>
#include <cstdlib>

bool onGuiThread()
{
    const QCoreApplication *app = QCoreApplication::instance();
    return !app || QThread::currentThread() == app->thread();
}

void requireGuiThread(const char *what)
{
    if (onGuiThread())
        return;
    if (const GuiThreadViolationHandler &handler = platformState().guiThreadViolation) {
        handler(what);
        return;
    }
    std::fprintf(stderr, "Tovrel: %s changed off the user-interface thread\n", what);
    std::abort();
}

void runOnGuiThread(QObject *context, std::function<void()> work)
{
    if (onGuiThread()) {
        work();
        return;
    }
    QMetaObject::invokeMethod(context, std::move(work), Qt::QueuedConnection);
}
