// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "faces/strokecodec.h"

#include <algorithm>
#include <cmath>

namespace strokes {

namespace {

// --- writing ---------------------------------------------------------------------

void putVarint(QByteArray &out, quint64 v)
{
    while (v >= 0x80) {
        out.append(char((v & 0x7F) | 0x80));
        v >>= 7;
    }
    out.append(char(v));
}

void putSigned(QByteArray &out, qint64 v) { putVarint(out, (quint64(v) << 1) ^ quint64(v >> 63)); }

qint64 halfUnits(qreal v) { return qint64(std::llround(std::clamp(v, -kMaxCoordinate, kMaxCoordinate) * 2)); }

void putPoints(QByteArray &out, const std::vector<QPointF> &points)
{
    qint64 px = 0, py = 0;
    for (const QPointF &p : points) {
        const qint64 x = halfUnits(p.x()), y = halfUnits(p.y());
        putSigned(out, x - px);
        putSigned(out, y - py);
        px = x;
        py = y;
    }
}

// --- reading ----------------------------------------------------------------------

class Reader {
public:
    explicit Reader(std::span<const char> bytes) : m_p(bytes.data()), m_end(bytes.data() + bytes.size()) {}
    bool atEnd() const { return m_p == m_end; }
    bool ok() const { return m_ok; }

    quint64 varint()
    {
        quint64 v = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            if (m_p == m_end) {
                m_ok = false;
                return 0;
            }
            const quint8 b = quint8(*m_p++);
            v |= quint64(b & 0x7F) << shift;
            if (!(b & 0x80))
                return v;
        }
        m_ok = false;
        return 0;
    }
    qint64 signedVarint()
    {
        const quint64 z = varint();
        return qint64(z >> 1) ^ -qint64(z & 1);
    }
    // A count in 0..max.
    int count(int max)
    {
        const quint64 n = varint();
        if (n > quint64(max))
            m_ok = false;
        return m_ok ? int(n) : 0;
    }
    quint8 byte()
    {
        if (m_p == m_end) {
            m_ok = false;
            return 0;
        }
        return quint8(*m_p++);
    }
    bool points(int n, std::vector<QPointF> &out)
    {
        qint64 x = 0, y = 0;
        out.reserve(size_t(n));
        // A step longer than the whole coordinate range is damage; refusing
        // it before adding keeps the sums far from overflowing.
        constexpr qint64 kMaxStep = qint64(kMaxCoordinate * 4);
        for (int i = 0; i < n && m_ok; ++i) {
            const qint64 dx = signedVarint(), dy = signedVarint();
            if (dx < -kMaxStep || dx > kMaxStep || dy < -kMaxStep || dy > kMaxStep) {
                m_ok = false;
                break;
            }
            x += dx;
            y += dy;
            if (std::abs(x) > qint64(kMaxCoordinate * 2) || std::abs(y) > qint64(kMaxCoordinate * 2)) {
                m_ok = false;
                break;
            }
            out.emplace_back(x / 2.0, y / 2.0);
        }
        return m_ok;
    }

private:
    const char *m_p;
    const char *m_end;
    bool m_ok = true;
};

} // namespace

QByteArray encodeRecord(const CharStrokes &c)
{
    QByteArray out;
    putVarint(out, c.strokes.size());
    for (const Stroke &s : c.strokes) {
        const std::vector<Op> &ops = s.outline.ops;
        putVarint(out, ops.size());
        for (size_t i = 0; i < ops.size(); i += 2) {
            const quint8 lo = quint8(ops[i]);
            const quint8 hi = i + 1 < ops.size() ? quint8(ops[i + 1]) : 0;
            out.append(char(lo | (hi << 4)));
        }
        putPoints(out, s.outline.points);
        putVarint(out, s.median.size());
        putPoints(out, s.median);
    }
    return out;
}

std::optional<CharStrokes> decodeRecord(std::span<const char> record)
{
    Reader r(record);
    CharStrokes c;
    const int n = r.count(kMaxStrokes);
    if (!r.ok() || n == 0)
        return std::nullopt;
    c.strokes.resize(size_t(n));
    for (Stroke &s : c.strokes) {
        const int nOps = r.count(kMaxOps);
        if (!r.ok() || nOps == 0)
            return std::nullopt;
        s.outline.ops.reserve(size_t(nOps));
        int nPoints = 0;
        for (int i = 0; i < nOps; i += 2) {
            const quint8 b = r.byte();
            for (int k = 0; k < 2 && i + k < nOps; ++k) {
                const quint8 code = k == 0 ? (b & 0x0F) : (b >> 4);
                if (code > quint8(Op::Close))
                    return std::nullopt;
                const Op op = Op(code);
                s.outline.ops.push_back(op);
                nPoints += pointsOf(op);
            }
        }
        if (!r.ok() || s.outline.ops.front() != Op::Move)
            return std::nullopt;
        if (!r.points(nPoints, s.outline.points))
            return std::nullopt;
        const int nMedian = r.count(kMaxMedianPoints);
        if (!r.ok() || nMedian == 0 || !r.points(nMedian, s.median))
            return std::nullopt;
    }
    if (!r.ok() || !r.atEnd())
        return std::nullopt;
    return c;
}

} // namespace strokes
