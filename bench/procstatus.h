// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The process's resident memory from /proc/self/status, in KB: "VmRSS:" now,
// "VmHWM:" at its highest so far; 0 when it cannot be read.
#include <QByteArray>
#include <QFile>
#include <QList>

namespace bench {

inline long statusKB(const char *field)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').first().toLong();
    return 0;
}

} // namespace bench
