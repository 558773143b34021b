// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The LZW coder of picture data: the code stream's exact bits at the places
// the width changes and the table clears, and streams read back whole.
#include "printer/lzw.h"

#include <QHash>
#include <QRandomGenerator>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

// The codes of a stream read back with the widths the stream uses.
std::vector<int> codesOf(const QByteArray &stream)
{
    std::vector<int> codes;
    int width = 9, next = lzw::kFirstCode;
    quint64 acc = 0;
    int bits = 0;
    qsizetype pos = 0;
    for (;;) {
        while (bits < width && pos < stream.size()) {
            acc = (acc << 8) | quint8(stream[pos++]);
            bits += 8;
        }
        if (bits < width)
            return codes;
        const int code = int(acc >> (bits - width)) & ((1 << width) - 1);
        bits -= width;
        codes.push_back(code);
        if (code == lzw::kEndCode)
            return codes;
        if (code == lzw::kClearCode) {
            width = 9;
            next = lzw::kFirstCode;
            continue;
        }
        // Every code makes a string, the first after a clear too (it is
        // completed by the code after it), so the width grows one code early.
        if (next < lzw::kTableSize) {
            if (next == 511 || next == 1023 || next == 2047)
                ++width;
            ++next;
        }
    }
}

QByteArray randomBytes(int n, quint32 seed, int alphabet = 256)
{
    QRandomGenerator gen(seed);
    QByteArray b(n, 0);
    for (char &c : b)
        c = char(gen.bounded(alphabet));
    return b;
}

// The codes of the plain greedy coder: each code the longest string of the
// table that starts the unread input, the table cleared once it is full.
std::vector<int> greedyCodes(const QByteArray &in)
{
    std::vector<int> codes{lzw::kClearCode};
    QHash<QByteArray, int> table;
    int next = lzw::kFirstCode;
    qsizetype i = 0;
    while (i < in.size()) {
        QByteArray s(1, in[i]);
        int code = quint8(in[i++]);
        for (; i < in.size(); ++i) {
            const auto it = table.constFind(s + in[i]);
            if (it == table.constEnd())
                break;
            s += in[i];
            code = *it;
        }
        codes.push_back(code);
        if (i < in.size())
            table.insert(s + in[i], next);
        if (++next >= lzw::kTableSize && i < in.size()) {
            codes.push_back(lzw::kClearCode);
            table.clear();
            next = lzw::kFirstCode;
        }
    }
    codes.push_back(lzw::kEndCode);
    return codes;
}

// Rows of an image: runs of a few byte values of any length, now and then
// pixels of three different bytes.
QByteArray runsOfBytes(int n, quint32 seed)
{
    QRandomGenerator gen(seed);
    QByteArray b;
    while (b.size() < n) {
        if (gen.bounded(4) == 0) {
            for (int k = int(gen.bounded(1, 40)); k > 0; --k)
                b.append("\x30\x40\x60", 3);
        } else {
            b.append(QByteArray(int(gen.bounded(1, 5000)), char(gen.bounded(3) * 0x7F)));
        }
    }
    b.truncate(n);
    return b;
}

} // namespace

TEST(Lzw, EmptyInputIsAClearAndAnEndCode)
{
    EXPECT_EQ(lzw::compress(QByteArray()).toHex(), "804040");
    EXPECT_EQ(lzw::decompress(QByteArray::fromHex("804040")), QByteArray());
}

TEST(Lzw, FourEqualBytesMakeStringsOfThem)
{
    // "aaaa": a, then the string "aa" (258), then a: 256 97 258 97 257.
    const QByteArray packed = lzw::compress("aaaa");
    EXPECT_EQ(codesOf(packed), (std::vector<int>{256, 97, 258, 97, 257}));
    EXPECT_EQ(packed.toHex(), "801860461808");
    EXPECT_EQ(lzw::decompress(packed), "aaaa");
}

TEST(Lzw, WidthGrowsAfterString511AndTheTableClearsWhenFull)
{
    // Bytes that rarely repeat a pair make about one code a byte: the width is 10
    // bits from the code after string 511 is made, 11 after 1023, 12 after
    // 2047, and a clear code once the table holds 4095.
    // Random bytes: nearly every pair is new.
    const QByteArray in = randomBytes(20000, 7);
    const QByteArray packed = lzw::compress(in);
    const std::vector<int> codes = codesOf(packed);
    ASSERT_FALSE(codes.empty());
    EXPECT_EQ(codes.front(), lzw::kClearCode);
    EXPECT_EQ(codes.back(), lzw::kEndCode);
    int clears = 0;
    for (size_t i = 1; i < codes.size(); ++i)
        clears += codes[i] == lzw::kClearCode;
    EXPECT_GE(clears, 1);
    EXPECT_EQ(lzw::decompress(packed), in);

    // Codes above 511 appear, so the reader followed the 10-bit switch.
    EXPECT_GT(*std::max_element(codes.begin(), codes.end()), 2047);
}

TEST(Lzw, EachCodeIsTheLongestStringTheTableHolds)
{
    // Runs of one byte are matched a word at a time, other strings a byte at a
    // time: both give the codes of the plain coder, through runs that end at,
    // before and past the longest run string held, and across clears.
    const QByteArray inputs[] = {runsOfBytes(200000, 3), runsOfBytes(50000, 4), QByteArray(300000, 'x'),
                                 QByteArray(37, 'x') + "y" + QByteArray(9, 'x') + "yxx" + QByteArray(12, 'x'),
                                 randomBytes(30000, 9, 3), randomBytes(20000, 5)};
    for (const QByteArray &in : inputs)
        EXPECT_EQ(codesOf(lzw::compress(in)), greedyCodes(in)) << in.size() << " bytes";
}

TEST(Lzw, RoundTripsRandomAndRepetitiveData)
{
    for (int n : {1, 2, 3, 255, 4096, 20000, 100000}) {
        for (int alphabet : {2, 16, 256}) {
            const QByteArray in = randomBytes(n, quint32(n * 31 + alphabet), alphabet);
            EXPECT_EQ(lzw::decompress(lzw::compress(in)), in) << n << " bytes of " << alphabet;
        }
    }
    const QByteArray zeros(300000, '\0');
    const QByteArray packed = lzw::compress(zeros);
    EXPECT_LT(packed.size(), 4000);
    EXPECT_EQ(lzw::decompress(packed), zeros);
}

TEST(Lzw, DamagedStreamsRaiseTheirErrors)
{
    const QByteArray packed = lzw::compress("a stream cut short before its end code");
    QByteArray out;
    try {
        lzw::decompress(packed.left(packed.size() - 3), out);
        FAIL() << "a truncated stream decoded";
    } catch (const lzw::Error &e) {
        EXPECT_STREQ(e.what(), "LZWDecode: End of stream");
    }
    EXPECT_TRUE(QByteArray("a stream cut short before its end code").startsWith(out));
    EXPECT_FALSE(out.isEmpty());

    // Clear, then code 300 before any string was made.
    try {
        lzw::decompress(QByteArray::fromHex("80 4b 00 00"));
        FAIL() << "an undefined code decoded";
    } catch (const lzw::Error &e) {
        EXPECT_STREQ(e.what(), "LZWDecode: code>=idxCodeTable");
    }
}
