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

void runOnGuiThread(QObject *context, std::function<void()> work)
{
    if (onGuiThread()) {
        work();
        return;
    }
    QMetaObject::invokeMethod(context, std::move(work), Qt::QueuedConnection);
}
