// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Small, well-formed enhanced metafiles for the page store tests: a header,
// comment records carrying a recognisable payload, and the end record.
#include <QByteArray>
#include <QtEndian>
#include <cstring>

namespace emftest {

inline void put32(QByteArray &b, int at, quint32 v) { qToLittleEndian(v, b.data() + at); }

// A metafile whose frame is widthPx x heightPx at 96 dpi, holding `payload`
// in GDI comment records.
inline QByteArray makeEmf(const QByteArray &payload, int widthPx = 794, int heightPx = 1123)
{
    QByteArray h(108, '\0');
    put32(h, 0, 1);
    put32(h, 4, 108);
    put32(h, 16, quint32(widthPx - 1));
    put32(h, 20, quint32(heightPx - 1));
    put32(h, 32, quint32(widthPx * 2540 / 96));
    put32(h, 36, quint32(heightPx * 2540 / 96));
    put32(h, 40, 0x464D4520);
    put32(h, 44, 0x10000);
    put32(h, 56, 1); // handles
    put32(h, 72, 1920);
    put32(h, 76, 1080);
    put32(h, 80, 508);
    put32(h, 84, 286);
    put32(h, 100, 508000);
    put32(h, 104, 286000);
    QByteArray body;
    int records = 1;
    for (qsizetype off = 0; off < payload.size(); off += 4000) {
        const QByteArray chunk = payload.mid(off, 4000);
        const int padded = int((chunk.size() + 3) & ~3);
        QByteArray r(12 + padded, '\0');
        put32(r, 0, 70); // EMR_GDICOMMENT
        put32(r, 4, quint32(r.size()));
        put32(r, 8, quint32(chunk.size()));
        std::memcpy(r.data() + 12, chunk.constData(), size_t(chunk.size()));
        body += r;
        ++records;
    }
    QByteArray eof(20, '\0');
    put32(eof, 0, 14);
    put32(eof, 4, 20);
    put32(eof, 16, 20);
    ++records;
    QByteArray out = h + body + eof;
    put32(out, 48, quint32(out.size()));
    put32(out, 52, quint32(records));
    return out;
}

// A page with text-like content whose bytes depend on n.
inline QByteArray pageEmf(int n, int size = 3000)
{
    QByteArray p;
    const QByteArray word = QByteArray("page ") + QByteArray::number(n) + " ";
    while (p.size() < size)
        p += word;
    p.truncate(size);
    return makeEmf(p);
}

} // namespace emftest
