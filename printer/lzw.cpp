// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/lzw.h"

#include <QtEndian>

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <vector>

namespace lzw {

namespace {

constexpr char kEndOfStream[] = "LZWDecode: End of stream";
constexpr char kCodeBeyondTable[] = "LZWDecode: code>=idxCodeTable";

// Codes packed most significant bit first, gathered in a block of 8192
// bytes that goes to the output whenever it is nearly full, and at the end.
class BitWriter {
public:
    explicit BitWriter(QByteArray &out) : m_out(out) {}
    void put(quint32 code, int width)
    {
        // At most 31 bits wait in the accumulator, so a 12-bit code fits.
        m_acc = (m_acc << width) | code;
        m_bits += width;
        if (m_bits >= 32) {
            m_bits -= 32;
            const auto word = quint32(m_acc >> m_bits);
            m_block[m_used] = char(word >> 24);
            m_block[m_used + 1] = char(word >> 16);
            m_block[m_used + 2] = char(word >> 8);
            m_block[m_used + 3] = char(word);
            m_used += 4;
            if (m_used > kBlock - 4)
                spill();
        }
    }
    // The bits still waiting, the last byte padded with zero bits.
    void flush()
    {
        while (m_bits >= 8) {
            m_bits -= 8;
            m_block[m_used++] = char(m_acc >> m_bits);
        }
        if (m_bits > 0)
            m_block[m_used++] = char(m_acc << (8 - m_bits));
        m_bits = 0;
        m_acc = 0;
        spill();
    }

private:
    static constexpr int kBlock = 8192;
    void spill()
    {
        m_out.append(m_block.data(), m_used);
        m_used = 0;
    }
    QByteArray &m_out;
    quint64 m_acc = 0;
    int m_bits = 0;
    int m_used = 0;
    std::array<char, kBlock> m_block;
};

// The strings of the compressor's table as (string code, next byte) -> code.
// Each prefix keeps the last string made from it beside it, which is most
// often the one wanted. A prefix that made one string has it there alone;
// once it makes a second, all its strings go into an open-addressed hash of
// 32-bit slots (the string's 20-bit key above its 12-bit code). Both stay in
// the processor's first cache; a clear empties them.
class StringTable {
public:
    StringTable() { clear(); }
    void clear()
    {
        m_slots.fill(kEmpty);
        m_latest.fill(0);
    }
    // The string `prefix` and `byte`, or -1. A search of the hash that finds
    // nothing keeps the free slot it ended on for add().
    int find(int prefix, quint8 byte)
    {
        const quint32 latest = m_latest[size_t(prefix)];
        if ((latest >> 12 & 0x1FF) == (0x100u | byte))
            return int(latest & 0xFFF);
        if (!(latest & kMore))
            return -1;
        const quint32 key = quint32(prefix) << 8 | byte;
        for (quint32 i = hash(key);; i = (i + 1) & (kSlots - 1)) {
            const quint32 s = m_slots[i];
            if (s == kEmpty) {
                m_free = i;
                return -1;
            }
            if (s >> 12 == key)
                return int(s & 0xFFF);
        }
    }
    // Makes `code` the string `prefix` and `byte`, right after find() of the
    // same found nothing.
    void add(int prefix, quint8 byte, int code)
    {
        quint32 &latest = m_latest[size_t(prefix)];
        const quint32 key = quint32(prefix) << 8 | byte;
        if (latest & kMore) {
            m_slots[m_free] = key << 12 | quint32(code);
        } else if (latest & kMade) {
            // The second string of this prefix: the first joins it in the hash.
            insert(quint32(prefix) << 8 | (latest >> 12 & 0xFF), latest & 0xFFF);
            insert(key, quint32(code));
        }
        latest = (latest & kMade ? kMore : 0) | kMade | quint32(byte) << 12 | quint32(code);
    }

private:
    static constexpr quint32 kSlots = 8192; // at most 3838 strings: under half full
    // No string has this slot: its prefix would be code 4095, which is never
    // made before a clear.
    static constexpr quint32 kEmpty = 0xFFFFFFFFu;
    static quint32 hash(quint32 key) { return (key * 2654435761u) >> 19; }
    void insert(quint32 key, quint32 code)
    {
        quint32 i = hash(key);
        while (m_slots[i] != kEmpty)
            i = (i + 1) & (kSlots - 1);
        m_slots[i] = key << 12 | code;
    }
    std::array<quint32, kSlots> m_slots;
    // For each prefix, the code (bits 0-11) and byte (12-19) of the last
    // string made from it; kMade marks that there is one, kMore that there
    // are more, and all of them are in the hash.
    static constexpr quint32 kMade = 1u << 20;
    static constexpr quint32 kMore = 1u << 21;
    std::array<quint32, 4096> m_latest;
    quint32 m_free = 0;
};

// The strings of one repeated byte (b, bb, bbb, ...) that the table holds.
// A run of b is always made from the longest one before it, so for each
// byte they are all the lengths from 1 up to the longest, and the longest
// of them that starts a run of the input is found by measuring the run, a
// word at a time, instead of one table step per byte.
class Runs {
public:
    void clear()
    {
        for (std::vector<quint16> &r : m_codes)
            r.clear();
    }
    // The longest run of `byte` the table holds.
    qsizetype longest(quint8 byte) const { return qsizetype(m_codes[byte].size()) + 1; }
    // The code of `length` (1 to longest) times `byte`.
    int code(quint8 byte, qsizetype length) const { return length == 1 ? byte : m_codes[byte][size_t(length - 2)]; }
    // Keeps `made` when it is the string `prefix` and `byte` that makes a run longer.
    void noteMade(int prefix, quint8 byte, int made)
    {
        std::vector<quint16> &r = m_codes[byte];
        if (prefix == (r.empty() ? int(byte) : int(r.back())))
            r.push_back(quint16(made));
    }

private:
    // For each byte, the codes of its runs of 2, 3, ... bytes.
    std::array<std::vector<quint16>, 256> m_codes;
};

// How many times `p[0]` repeats from `p` on, counting at most `limit` (at
// least 1) bytes.
qsizetype runLength(const quint8 *p, qsizetype limit)
{
    const quint64 pattern = quint64(p[0]) * 0x0101010101010101u;
    qsizetype m = 1;
    for (; m + 8 <= limit; m += 8) {
        quint64 w;
        std::memcpy(&w, p + m, 8);
        if (const quint64 differs = qFromLittleEndian(w) ^ pattern)
            return m + std::countr_zero(differs) / 8;
    }
    while (m < limit && p[m] == p[0])
        ++m;
    return m;
}

int widthAfterMaking(int made, int width)
{
    return (made == 511 || made == 1023 || made == 2047) ? width + 1 : width;
}

} // namespace

QByteArray compress(QByteArrayView in)
{
    // At most a 12-bit code a byte, a clear code every 3838 codes, the first
    // clear and the end code.
    QByteArray out;
    out.reserve(in.size() + in.size() / 2 + in.size() / 2048 + 8);
    BitWriter bits(out);
    StringTable table;
    Runs runs;
    int width = 9;
    int next = kFirstCode;
    bits.put(kClearCode, width);
    const auto *p = reinterpret_cast<const quint8 *>(in.data());
    const qsizetype n = in.size();
    qsizetype i = 0;
    while (i < n) {
        // The longest string of the table that starts the unread input: the
        // longest run of its first byte there, then one step per byte.
        const quint8 first = p[i];
        int code = first;
        if (i + 1 < n && p[i + 1] == first && runs.longest(first) > 1) {
            const qsizetype run = runLength(p + i, std::min(runs.longest(first), n - i));
            code = runs.code(first, run);
            i += run;
        } else {
            ++i;
        }
        while (i < n) {
            const int longer = table.find(code, p[i]);
            if (longer < 0)
                break;
            code = longer;
            ++i;
        }
        bits.put(quint32(code), width);
        // The next string is this one and the byte after it.
        if (i < n) {
            table.add(code, p[i], next);
            runs.noteMade(code, p[i], next);
        }
        width = widthAfterMaking(next, width);
        ++next;
        if (next >= kTableSize && i < n) {
            bits.put(kClearCode, width);
            table.clear();
            runs.clear();
            width = 9;
            next = kFirstCode;
        }
    }
    bits.put(kEndCode, width);
    bits.flush();
    if (out.capacity() > out.size() + out.size() / 4 + 4096)
        out.squeeze();
    return out;
}

void decompress(QByteArrayView in, QByteArray &out)
{
    // Each string is the string of `prefix` and one more byte; `first` is
    // its first byte. The string made by a code stays one byte short until
    // the next code gives its last byte.
    struct Entry {
        quint16 prefix;
        quint8 byte;
        quint8 first;
        quint16 length;
    };
    std::array<Entry, kTableSize> table{};
    for (int c = 0; c < 256; ++c)
        table[size_t(c)] = Entry{0, quint8(c), quint8(c), 1};
    std::vector<quint8> scratch(kTableSize);

    int width = 9;
    int next = kFirstCode;
    // The string still waiting for its last byte (none right after a clear).
    int pending = -1;
    const auto *p = reinterpret_cast<const quint8 *>(in.data());
    const qsizetype n = in.size();
    qsizetype pos = 0;
    quint32 acc = 0;
    int bits = 0;
    for (;;) {
        while (bits < width) {
            if (pos >= n)
                throw Error(kEndOfStream);
            acc = (acc << 8) | p[pos++];
            bits += 8;
        }
        const int code = int(acc >> (bits - width)) & ((1 << width) - 1);
        bits -= width;
        acc &= (1u << bits) - 1;
        if (code == kEndCode)
            return;
        if (code == kClearCode) {
            width = 9;
            next = kFirstCode;
            pending = -1;
            continue;
        }
        if (code >= next)
            throw Error(kCodeBeyondTable);
        // The string made by the previous code ends with this one's first byte.
        if (pending >= 0)
            table[size_t(pending)].byte = table[size_t(code)].first;
        pending = -1;
        const Entry &e = table[size_t(code)];
        int c = code;
        for (int k = e.length - 1; k >= 0; --k) {
            scratch[size_t(k)] = table[size_t(c)].byte;
            c = table[size_t(c)].prefix;
        }
        out.append(reinterpret_cast<const char *>(scratch.data()), e.length);
        if (next < kTableSize) {
            table[size_t(next)] = Entry{quint16(code), 0, e.first, quint16(e.length + 1)};
            pending = next;
            width = widthAfterMaking(next, width);
            ++next;
        }
    }
}

QByteArray decompress(QByteArrayView in)
{
    QByteArray out;
    decompress(in, out);
    return out;
}

} // namespace lzw
