// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/messages.h"

#include "platform/guithread.h"

#include <QCoreApplication>
#include <QHash>
#include <QMutex>
#include <QWidget>

RpMessageEvent::RpMessageEvent(int message, quintptr wParam, qintptr lParam)
    : QEvent(typeOf(message)), m_message(message), m_wParam(wParam), m_lParam(lParam)
{
    m_published.store(true, std::memory_order_release);
}

QEvent::Type RpMessageEvent::typeOf(int message)
{
    static QMutex lock;
    static QHash<int, QEvent::Type> types;
    QMutexLocker locker(&lock);
    auto it = types.constFind(message);
    if (it != types.constEnd())
        return *it;
    // Ask for User + the message number, so the types are easy to tell
    // apart in a debugger; Qt hands out another free one when taken.
    const int hint = QEvent::User + message;
    const auto type = QEvent::Type(QEvent::registerEventType(hint <= QEvent::MaxUser ? hint : -1));
    types.insert(message, type);
    return type;
}

const RpMessageEvent *RpMessageEvent::from(const QEvent *e)
{
    if (!e || e->type() < QEvent::User || e->type() > QEvent::MaxUser)
        return nullptr;
    return dynamic_cast<const RpMessageEvent *>(e);
}

RpMessageEvent *RpMessageEvent::from(QEvent *e)
{
    return const_cast<RpMessageEvent *>(from(static_cast<const QEvent *>(e)));
}

bool postMessage(const QPointer<QObject> &target, int message, quintptr wParam, qintptr lParam)
{
    QObject *t = target.data();
    if (!t)
        return false;
    // Another thread leaves the window alone: its attributes belong to the
    // user-interface thread.
    if (onGuiThread() && t->isWidgetType() && !static_cast<QWidget *>(t)->testAttribute(Qt::WA_WState_Created))
        return false; // no window handle yet
    QCoreApplication::postEvent(t, new RpMessageEvent(message, wParam, lParam));
    return true;
}

qintptr sendMessage(const QPointer<QObject> &target, int message, quintptr wParam, qintptr lParam)
{
    QObject *t = target.data();
    if (!t)
        return 0;
    RpMessageEvent e(message, wParam, lParam);
    QCoreApplication::sendEvent(t, &e);
    return e.result();
}

void processMessages()
{
    // A generation thread has no windows of its own: the user-interface
    // thread runs their messages in its own loop.
    if (onGuiThread())
        QCoreApplication::processEvents();
}
