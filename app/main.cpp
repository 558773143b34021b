// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The worksheet program: start the engine, show the main window, run the
// message loop until the window closes. No configuration; the one argument,
// "--stroke-data DIR", names stroke data that overrides the built-in data.
#include "app/form73.h"
#include "app/startup.h"
#include "faces/strokedataoption.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>

int main(int argc, char **argv)
{
    startup::prepareProcess();
    QApplication app(argc, argv);
    // The menu entry and the software centres' description go by this id.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tovrel.Tovrel"));
    startup::loadTranslations();
    QStringList args = app.arguments();
    const faces::StrokeDataOption strokeData = faces::takeStrokeDataOption(args);
    if (!strokeData.error.isEmpty()) {
        std::fprintf(stderr, "tovrel: %s\n", qPrintable(strokeData.error));
        return 2;
    }
    for (const QString &warning : faces::useStrokeData(strokeData.folder))
        std::fprintf(stderr, "tovrel: warning: %s\n", qPrintable(warning));
    try {
        startup::startEngine();
        Form73 window;
        startup::quitAfterFirstPaintIfAsked(&window);
        window.show();
        return app.exec();
    } catch (const std::exception &e) {
        // The layouts are part of the program: failing to read them is a
        // defect of the build, reported on the terminal.
        std::fprintf(stderr, "tovrel: %s\n", e.what());
        return 1;
    }
}
