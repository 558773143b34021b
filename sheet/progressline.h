// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The progress line of a long run: one line on stderr, rewritten in place
// as sheets are made and pages written, shown only on a terminal and only
// for more than kProgressAbove sheets.
#include <QString>

constexpr int kProgressAbove = 20;

// Whether a run of `sheets` sheets shows the line, with stderr a terminal
// or not.
bool wantsProgressLine(int sheets, bool stderrIsTerminal);

// Whether stderr is a terminal.
bool stderrIsTerminal();

class ProgressLine {
public:
    explicit ProgressLine(bool shown) : m_shown(shown) {}
    // Ends the line, so that what follows starts on a line of its own.
    ~ProgressLine() { finish(); }
    ProgressLine(const ProgressLine &) = delete;
    ProgressLine &operator=(const ProgressLine &) = delete;

    // "what done/total", in place of what the line showed.
    void show(const QString &what, int done, int total);
    void finish();

private:
    bool m_shown;
    bool m_open = false;
};
