// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/lzw.h"

#include <array>
#include <vector>

namespace lzw {

namespace {

constexpr char kEndOfStream[] = "LZWDecode: End of stream";
constexpr char kCodeBeyondTable[] = "LZWDecode: code>=idxCodeTable";

// Codes packed most significant bit first.
class BitWriter {
public:
    explicit BitWriter(QByteArray &out) : m_out(out) {}
    void put(int code, int width)
    {
        m_acc = (m_acc << width) | quint32(code);
        m_bits += width;
        while (m_bits >= 8) {
            m_bits -= 8;
            m_out.append(char(m_acc >> m_bits));
        }
        m_acc &= (1u << m_bits) - 1;
    }
    void flush()
    {
        if (m_bits > 0)
            m_out.append(char(m_acc << (8 - m_bits)));
        m_bits = 0;
        m_acc = 0;
    }

private:
    QByteArray &m_out;
    quint32 m_acc = 0;
    int m_bits = 0;
};

// The strings of the compressor's table as (string code, next byte) -> code,
// in an open-addressed hash of 32-bit slots (the string's 20-bit key above
// its 12-bit code) small enough to stay in the processor's first cache; a
// clear empties it.
class StringTable {
public:
    StringTable() { clear(); }
    void clear()
    {
        m_slots.fill(kEmpty);
        m_latest.fill(0);
    }
    int find(int prefix, quint8 byte) const
    {
        // Most often the string wanted is the one made last from this prefix.
        const quint32 latest = m_latest[size_t(prefix)];
        if (latest >> 12 == (0x100u | byte))
            return int(latest & 0xFFF);
        const quint32 key = quint32(prefix) << 8 | byte;
        for (quint32 i = hash(key);; i = (i + 1) & (kSlots - 1)) {
            const quint32 s = m_slots[i];
            if (s == kEmpty)
                return -1;
            if (s >> 12 == key)
                return int(s & 0xFFF);
        }
    }
    void add(int prefix, quint8 byte, int code)
    {
        const quint32 key = quint32(prefix) << 8 | byte;
        quint32 i = hash(key);
        while (m_slots[i] != kEmpty)
            i = (i + 1) & (kSlots - 1);
        m_slots[i] = key << 12 | quint32(code);
        m_latest[size_t(prefix)] = (0x100u | byte) << 12 | quint32(code);
    }

private:
    static constexpr quint32 kSlots = 8192; // at most 3838 strings: under half full
    // No string has this slot: its prefix would be code 4095, which is never
    // made before a clear.
    static constexpr quint32 kEmpty = 0xFFFFFFFFu;
    static quint32 hash(quint32 key) { return (key * 2654435761u) >> 19; }
    std::array<quint32, kSlots> m_slots;
    // For each prefix, the byte and code of the last string made from it
    // (a set 0x100 bit marks it made).
    std::array<quint32, 4096> m_latest;
};

int widthAfterMaking(int made, int width)
{
    return (made == 511 || made == 1023 || made == 2047) ? width + 1 : width;
}

} // namespace

QByteArray compress(QByteArrayView in)
{
    QByteArray out;
    out.reserve(in.size() / 2 + 16);
    BitWriter bits(out);
    StringTable table;
    int width = 9;
    int next = kFirstCode;
    bits.put(kClearCode, width);
    const auto *p = reinterpret_cast<const quint8 *>(in.data());
    const qsizetype n = in.size();
    qsizetype i = 0;
    while (i < n) {
        // The longest string of the table that starts the unread input.
        int code = p[i++];
        while (i < n) {
            const int longer = table.find(code, p[i]);
            if (longer < 0)
                break;
            code = longer;
            ++i;
        }
        bits.put(code, width);
        // The next string is this one and the byte after it.
        if (i < n)
            table.add(code, p[i], next);
        width = widthAfterMaking(next, width);
        ++next;
        if (next >= kTableSize && i < n) {
            bits.put(kClearCode, width);
            table.clear();
            width = 9;
            next = kFirstCode;
        }
    }
    bits.put(kEndCode, width);
    bits.flush();
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
