// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The application object a fuzz target's code needs (fonts, images, widgets),
// made once, on the offscreen platform unless another is chosen.
#include <QCoreApplication>

namespace fuzzapp {

template <class App> void ensure()
{
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    static App app(argc, argv);
}

} // namespace fuzzapp
