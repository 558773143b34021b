// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Start-up of the worksheet program, in the order the engine needs it.
class QWidget;
namespace desc {
class Registry;
}

namespace startup {

// Before the application object exists: the window is laid out in pixels at
// 96 dpi, so the platform must not scale it for the screen.
void prepareProcess();

// For the command-line programs, before the application object exists: what
// Qt itself has to say (plugin notes, warnings) does not reach their
// terminal, which carries their own output and messages. Critical and fatal
// messages still do; TOVREL_QT_MESSAGES=1 lets everything through.
void quietQtMessages();

// After the application object exists, before any window: the windows'
// texts and Qt's own (its print and file dialogs) in the language of the
// system's locale, when there is a translation into it.
void loadTranslations();

// After the application object exists and before the main window is made:
// the report engine's module start-up (measurement system and screen
// colours, band captions and paper names, the registry of stored classes,
// the writer of recorded pages as a PDF document, the worksheet faces the
// program draws itself).
void startEngine();

// The registry of stored classes with the report classes registered (done
// once, on first use).
desc::Registry &describableClasses();

// For the start-up benchmark: with TOVREL_QUIT_AFTER_FIRST_PAINT=1 the
// program ends as soon as `window` has been painted once.
void quitAfterFirstPaintIfAsked(QWidget *window);

} // namespace startup
