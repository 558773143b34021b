// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the installed stroke data is. The data files are not part of the
// programs: they are installed beside them, under share/, each with its
// licence, and the build tree stages them the same way beside its programs.
//
//   share/tovrel/strokes/animcjk/graphicsZhHant.txt   Taiwan's standard forms,
//                                                     one character a line
//   share/tovrel/strokes/hanzi-writer-data/X.json     one file a character
//
// The folder is $TOVREL_DATA_DIR/strokes when that variable is set (tests,
// a program run from elsewhere); else share/tovrel/strokes beside the
// program (PROGRAM_DIR/../share/tovrel/strokes); else tovrel/strokes in the
// first of the system's data folders (XDG_DATA_DIRS) that has it.
#include <QString>

namespace faces {

QString installedStrokeDataFolder();

// The files of each source inside a stroke data folder.
QString animCjkFile(const QString &folder);
QString hanziWriterFolder(const QString &folder);

} // namespace faces
