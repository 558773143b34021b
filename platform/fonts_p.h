// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Helpers shared by the files of the font layer.
#include "platform/gdi.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace fonts::detail {

// Big-endian reading with bounds checks: 0 outside the data.
inline int u16(const QByteArray &t, qsizetype off)
{
    if (off < 0 || off + 2 > t.size())
        return 0;
    return (quint8(t[off]) << 8) | quint8(t[off + 1]);
}
inline int s16(const QByteArray &t, qsizetype off) { return qint16(quint16(u16(t, off))); }
inline quint32 u32(const QByteArray &t, qsizetype off)
{
    if (off < 0 || off + 4 > t.size())
        return 0;
    return (quint32(quint8(t[off])) << 24) | (quint32(quint8(t[off + 1])) << 16) |
           (quint32(quint8(t[off + 2])) << 8) | quint32(quint8(t[off + 3]));
}
inline void put32(QByteArray &t, qsizetype off, quint32 v)
{
    t[off] = char(v >> 24);
    t[off + 1] = char(v >> 16);
    t[off + 2] = char(v >> 8);
    t[off + 3] = char(v);
}

// Changes whenever refreshFamilies() or forgetResolvedFonts() is called;
// caches of resolved fonts compare it.
quint64 familyGeneration();
// What refreshFamilies() does but rescan the installed fonts: for a change
// of how families are drawn (a synthesised face registered), not of which
// are installed.
void forgetResolvedFonts();

// The faces that draw the characters the face `drawn` (standing in for
// `requested`) lacks, in order.
QStringList fallbackFamiliesFor(const QString &drawn, const QString &requested, quint8 charSet, quint8 pitch);

} // namespace fonts::detail
