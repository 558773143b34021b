// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/faces/strokecodec.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>

namespace strokes {

namespace {

constexpr char kMagic[4] = {'T', 'V', 'S', 'K'};
constexpr quint32 kVersion = 1;
constexpr qsizetype kHeaderSize = 12;
constexpr qsizetype kIndexEntry = 8;

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

void put32(QByteArray &out, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
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

quint32 get32(std::span<const char> b, qsizetype off)
{
    return qFromLittleEndian<quint32>(b.data() + off);
}

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

QByteArray buildPack(const std::map<char32_t, CharStrokes> &chars)
{
    QByteArray index, area;
    for (const auto &[ch, c] : chars) {
        put32(index, quint32(ch));
        put32(index, quint32(area.size()));
        area.append(encodeRecord(c));
    }
    QByteArray out(kMagic, 4);
    put32(out, kVersion);
    put32(out, quint32(chars.size()));
    out.append(index);
    out.append(area);
    return out;
}

PackView::PackView(std::span<const char> bytes)
{
    if (qsizetype(bytes.size()) < kHeaderSize || !std::equal(kMagic, kMagic + 4, bytes.data()) ||
        get32(bytes, 4) != kVersion)
        return;
    const quint32 count = get32(bytes, 8);
    if (count > quint32((qsizetype(bytes.size()) - kHeaderSize) / kIndexEntry))
        return;
    m_bytes = bytes;
    m_count = count;
}

char32_t PackView::codePointAt(int i) const
{
    return i >= 0 && quint32(i) < m_count ? char32_t(get32(m_bytes, kHeaderSize + qsizetype(i) * kIndexEntry)) : 0;
}

std::span<const char> PackView::record(char32_t ch) const
{
    if (!m_count)
        return {};
    // Binary search over the sorted index.
    qsizetype lo = 0, hi = qsizetype(m_count);
    while (lo < hi) {
        const qsizetype mid = (lo + hi) / 2;
        const char32_t c = char32_t(get32(m_bytes, kHeaderSize + mid * kIndexEntry));
        if (c < ch)
            lo = mid + 1;
        else
            hi = mid;
    }
    if (lo >= qsizetype(m_count) || char32_t(get32(m_bytes, kHeaderSize + lo * kIndexEntry)) != ch)
        return {};
    const qsizetype areaStart = kHeaderSize + qsizetype(m_count) * kIndexEntry;
    const qsizetype areaSize = qsizetype(m_bytes.size()) - areaStart;
    const qsizetype begin = get32(m_bytes, kHeaderSize + lo * kIndexEntry + 4);
    const qsizetype end = lo + 1 < qsizetype(m_count) ? qsizetype(get32(m_bytes, kHeaderSize + (lo + 1) * kIndexEntry + 4))
                                                      : areaSize;
    if (begin < 0 || begin > end || end > areaSize)
        return {};
    return m_bytes.subspan(size_t(areaStart + begin), size_t(end - begin));
}

std::optional<CharStrokes> PackView::find(char32_t ch) const
{
    const std::span<const char> r = record(ch);
    if (r.empty())
        return std::nullopt;
    return decodeRecord(r);
}

} // namespace strokes
