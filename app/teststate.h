// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A hook for the end-to-end tests, off unless the environment variable
// TOVREL_TEST_STATE_FILE names a file: after every change of the window's
// state the window writes that state there as JSON (the active page, the
// edit text, the caption of every cell of every layout, and how many times
// the word-length message was shown). The file is replaced atomically, so a
// reader never sees half of it.
#include <QJsonObject>
#include <QString>

namespace teststate {

// The file named by TOVREL_TEST_STATE_FILE, or empty when the hook is off.
QString stateFile();
// Writes `state` to `path` through a temporary file and a rename.
bool writeState(const QString &path, const QJsonObject &state);

} // namespace teststate
