// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/rperror.h"
#include "printer/rpcompress.h"
#include "testsupport.h"

#include <QDir>

#include <gtest/gtest.h>

#include <random>

namespace {
QByteArray bytes(std::initializer_list<int> v)
{
    QByteArray b;
    for (int x : v)
        b.append(char(x));
    return b;
}
} // namespace

TEST(SplayCoder, KnownCodesOnAFreshTree)
{
    EXPECT_EQ(RpCompress::compressBytes(bytes({0})), bytes({0x80}));
    EXPECT_EQ(RpCompress::compressBytes(bytes({255})), bytes({0x00, 0x00}));
    EXPECT_EQ(RpCompress::compressBytes("abc"), bytes({0x46, 0x3D, 0x01}));
    EXPECT_TRUE(RpCompress::compressBytes(QByteArray()).isEmpty());
    // Flushing twice adds nothing; an exact byte boundary adds no extra byte.
    QByteArray out;
    {
        RpCompress c(&out);
        c.compress(0);
        c.flush();
        c.flush();
    }
    EXPECT_EQ(out, bytes({0x80}));
}

TEST(SplayCoder, RoundTripsRandomInputsOfManyLengths)
{
    std::mt19937 rng(1234);
    for (int len : {0, 1, 2, 3, 7, 8, 9, 255, 256, 257, 1000, 4096, 65537}) {
        for (int kind = 0; kind < 3; ++kind) {
            QByteArray in(len, Qt::Uninitialized);
            for (int i = 0; i < len; ++i) {
                // uniform bytes, a skewed alphabet, and long runs
                const unsigned r = rng();
                in[i] = char(kind == 0 ? r : kind == 1 ? (r % 7) * 37 : (i / 100) % 3 == 0 ? 0 : 255);
            }
            const QByteArray coded = RpCompress::compressBytes(in);
            EXPECT_EQ(RpCompress::expandBytes(coded, len), in) << "length " << len << " kind " << kind;
        }
    }
}

TEST(SplayCoder, SkewedDataShrinks)
{
    QByteArray in;
    for (int i = 0; i < 20000; ++i)
        in.append(char("aaaaaaabbbc"[i % 11]));
    const QByteArray coded = RpCompress::compressBytes(in);
    EXPECT_LT(coded.size(), in.size() / 3);
}

TEST(SplayCoder, DamagedInputRaisesInsteadOfReadingPastTheEnd)
{
    const QByteArray in = QByteArray("The quick brown fox jumps over the lazy dog").repeated(20);
    const QByteArray coded = RpCompress::compressBytes(in);
    EXPECT_THROW(RpCompress::expandBytes(coded.left(coded.size() - 3), in.size()), RpError);
    EXPECT_THROW(RpCompress::expandBytes(QByteArray(), 1), RpError);
    // A count that no number of coded bytes could hold is refused before any allocation.
    EXPECT_THROW(RpCompress::expandBytes(coded, qint64(coded.size()) * 8 + 1), RpError);
    EXPECT_THROW(RpCompress::expandBytes(coded, -1), RpError);
    // Expanding fewer bytes than were coded is fine: there is no end code.
    EXPECT_EQ(RpCompress::expandBytes(coded, 10), in.left(10));
}

TEST(SplayCoder, LongRunsAtTheEndOfTheCodedBytes)
{
    // A byte hanging on the root codes as one bit; runs of it end the coded
    // bytes with long runs of one bit value, read across the last refill.
    for (char fill : {'\0', 'x'}) {
        for (int run = 1; run < 1200; run += 7) {
            const QByteArray in = QByteArray("Tovrel") + QByteArray(run, fill) + QByteArray(run % 5, 'y');
            EXPECT_EQ(RpCompress::expandBytes(RpCompress::compressBytes(in), in.size()), in) << run;
        }
    }
}

TEST(SplayCoder, BitsLeadingToTheUncodedLeafAreDamage)
{
    // In a fresh tree eight left turns and a right one reach leaf 512,
    // which no byte is coded with (nine left turns are byte 255): the bits
    // 00000000 1 are damage, not a byte 0 (256 cut to 8 bits), and both
    // readers say so.
    const QByteArray coded = bytes({0x00, 0x01});
    EXPECT_THROW(RpCompress::expandBytes(coded, 1), RpError);
    RpCompress r(coded);
    quint8 b = 0;
    EXPECT_THROW(r.expand(b), RpError);
    // Byte 0 itself (seven left turns, one right) still decodes.
    EXPECT_EQ(RpCompress::expandBytes(bytes({0x80}), 1), bytes({0}));
}

TEST(SplayCoder, WholePageCodingMatchesByteAtATimeCoding)
{
    std::mt19937 rng(99);
    for (int len : {0, 1, 31, 32, 33, 500, 9000}) {
        QByteArray in(len, Qt::Uninitialized);
        for (int i = 0; i < len; ++i)
            in[i] = char(i % 3 == 0 ? rng() : rng() % 4);
        QByteArray slow;
        {
            RpCompress c(&slow);
            for (char ch : in)
                c.compress(quint8(ch));
        }
        EXPECT_EQ(RpCompress::compressBytes(in), slow) << len;
        RpCompress r(slow);
        QByteArray back;
        quint8 b;
        while (back.size() < len && r.expand(b))
            back.append(char(b));
        EXPECT_EQ(back, in) << len;
    }
}

TEST(SplayCoder, DeepLeavesCodeAndDecode)
{
    // Repeating one byte after a long run of another pushes leaves deep into
    // the tree, past the whole-page coder's 32-bit fast path.
    QByteArray in;
    for (int i = 0; i < 256; ++i)
        in.append(char(i));
    for (int i = 0; i < 3000; ++i)
        in.append(char((i * 7) % 3));
    for (int i = 255; i >= 0; --i)
        in.append(char(i));
    QByteArray slow;
    {
        RpCompress c(&slow);
        for (char ch : in)
            c.compress(quint8(ch));
    }
    EXPECT_EQ(RpCompress::compressBytes(in), slow);
    EXPECT_EQ(RpCompress::expandBytes(slow, in.size()), in);
}

TEST(SplayCoder, WholePageCodersAgreeWithTheByteCoderOnRealPages)
{
    // Real metafiles mix runs of zero bytes (a leaf on the root), short
    // paths and deep ones, and paths crossing the 64-bit refills: every
    // route of the whole-page coders is taken.
    const QDir dir(testsupport::testdata("emf-corpus/emf"));
    const QStringList names = dir.entryList({"*.emf"}, QDir::Files, QDir::Name);
    ASSERT_GE(names.size(), 8);
    for (int k = 0; k < 8; ++k) {
        const QByteArray page = testsupport::readFile(dir.filePath(names[k * names.size() / 8]));
        ASSERT_FALSE(page.isEmpty());
        QByteArray slow;
        {
            RpCompress c(&slow);
            for (char ch : page)
                c.compress(quint8(ch));
        }
        EXPECT_EQ(RpCompress::compressBytes(page), slow) << names[k].toStdString();
        EXPECT_EQ(RpCompress::expandBytes(slow, page.size()), page) << names[k].toStdString();
    }
}
