// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/screen.h"

#include <QGuiApplication>
#include <QScreen>

int screenColorDepth()
{
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return 24;
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return 24;
    const int depth = screen->depth();
    return depth > 0 ? depth : 24;
}
