// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The preview module's process-wide state, each item with the threads that
// may touch it. Everything here belongs to the user-interface thread.
#include <QJsonObject>
#include <QPointer>
#include <QString>
#include <functional>

class CustomReport;
class PlatformPrintDialog;
class PreviewDialogs;

struct PreviewProcessState {
    // The report whose preview is open; none when the printer has no report.
    QPointer<CustomReport> previewReport;
    // The title in the status bar; after a report file is loaded, its name.
    QString previewTitle;
    // What the report's OnStandPrevEvent answered last.
    bool previewEventHandled = false;
    // The window itself moves the thumbnail selection, or steps pages: the
    // grid's selection handler stays out of it.
    bool syncingThumbs = false;
    bool steppingPages = false;

    // Stand-ins for the dialogs (tests); null: the system's own.
    PreviewDialogs *dialogs = nullptr;
    PlatformPrintDialog *printDialog = nullptr;
    // Told the window's state after each change (end-to-end tests).
    std::function<void(const QJsonObject &)> stateObserver;
    // Told what the platform's print dialog shows once it is on the screen
    // (end-to-end tests, which press its buttons).
    std::function<void(const QJsonObject &)> dialogObserver;
};

PreviewProcessState &previewState();
