// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheet/progressline.h"

#include <cstdio>
#include <unistd.h>

bool wantsProgressLine(int sheets, bool terminal)
{
    return terminal && sheets > kProgressAbove;
}

bool stderrIsTerminal()
{
    return ::isatty(STDERR_FILENO) == 1;
}

void ProgressLine::show(const QString &what, int done, int total)
{
    if (!m_shown)
        return;
    // Back to the start of the line and clear it to its end.
    const QByteArray line = QStringLiteral("\rtovrel-sheet: %1 %2/%3\x1b[K").arg(what).arg(done).arg(total).toUtf8();
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    std::fflush(stderr);
    m_open = true;
}

void ProgressLine::finish()
{
    if (!m_open)
        return;
    std::fputc('\n', stderr);
    std::fflush(stderr);
    m_open = false;
}
