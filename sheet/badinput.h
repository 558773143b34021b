// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Input tovrel-sheet refuses: its lines are printed on stderr and the
// program exits 2 without writing anything.
#include <QStringList>

struct BadInput {
    QStringList lines;
};

// The program's exit statuses.
constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;  // the program itself failed (its layouts, generation)
constexpr int kExitBadInput = 2; // bad options, words, files
