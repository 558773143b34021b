// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The programs' way to name a stroke-data folder that overrides the built-in
// stroke data character by character: "--stroke-data DIR" (or
// "--stroke-data=DIR") on the command line, else the environment variable
// TOVREL_STROKE_DATA.
#include <QString>
#include <QStringList>

namespace faces {

struct StrokeDataOption {
    QString folder; // empty: none named
    QString error;  // the option without its folder
};

// Takes the option out of `args` (the last one counts); with none there,
// the environment variable.
StrokeDataOption takeStrokeDataOption(QStringList &args);

// Makes `folder` override the built-in data (none when empty); the warnings
// name each file that was skipped.
QStringList useStrokeData(const QString &folder);

} // namespace faces
