// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "emfbytes.h"
#include "platform/rperror.h"
#include "printer/rpcompress.h"
#include "printer/rppagelist.h"

#include <QBuffer>
#include <QtEndian>
#include <gtest/gtest.h>

#include <functional>
#include <random>

using emftest::pageEmf;

namespace {

QByteArray le32(qint32 v)
{
    QByteArray b(4, '\0');
    qToLittleEndian(v, b.data());
    return b;
}
void set32(QByteArray &b, qint64 at, qint32 v) { qToLittleEndian(v, b.data() + at); }

QByteArray header(qint32 count, bool compressed)
{
    QByteArray h(128, '\0');
    qToLittleEndian<quint16>(3, h.data());
    qToLittleEndian<quint16>(50, h.data() + 2);
    set32(h, 8, count);
    h[25] = compressed ? 1 : 0;
    h.replace(26, 100, QByteArray(100, 0x48));
    return h;
}

// A well-formed file of n pages, built by hand.
QByteArray goodFile(int n, bool compressed)
{
    QByteArray f = header(n, compressed);
    for (int i = 1; i <= n; ++i) {
        const QByteArray emf = pageEmf(i);
        const QByteArray data = compressed ? le32(emf.size()) + RpCompress::compressBytes(emf) : emf;
        const qint64 start = f.size();
        f += le32(i) + le32(qint32(start + 8 + data.size() + 4)) + data + le32(qint32(start));
    }
    return f;
}

// A store holding two known pages, to see that a failed load leaves it alone.
struct Store {
    RpPageList list;
    Store()
    {
        list.setStream(std::make_unique<RpStream>());
        list.addPage(pageEmf(101));
        list.addPage(pageEmf(102));
        list.finish();
    }
    void expectUnchanged()
    {
        EXPECT_EQ(list.pageCount(), 2);
        EXPECT_FALSE(list.compression());
        EXPECT_EQ(*list.getPage(2), pageEmf(102));
        EXPECT_EQ(*list.getPage(1), pageEmf(101));
    }
};

void expectRejected(const QByteArray &file, const char *what)
{
    Store s;
    try {
        s.list.loadFromBytes(file);
        ADD_FAILURE() << what << ": loaded";
    } catch (const RpError &e) {
        EXPECT_FALSE(e.message().isEmpty()) << what;
    }
    s.expectUnchanged();
}

} // namespace

TEST(ReportFileHostile, HandBuiltFilesLoad)
{
    for (bool c : {false, true}) {
        RpPageList l;
        l.loadFromBytes(goodFile(3, c));
        EXPECT_EQ(l.pageCount(), 3);
        EXPECT_EQ(*l.getPage(2), pageEmf(2));
    }
}

TEST(ReportFileHostile, BrokenStructureIsRejectedAndTheStoreKept)
{
    const QByteArray good = goodFile(3, false);
    const qint64 rec2 = qFromLittleEndian<qint32>(good.constData() + 132);
    const qint64 rec3 = qFromLittleEndian<qint32>(good.constData() + rec2 + 4);

    expectRejected(QByteArray(), "empty file");
    expectRejected(good.left(100), "shorter than the header");
    expectRejected(good.left(good.size() - 1), "truncated last record");

    QByteArray f = good;
    set32(f, 8, 4);
    expectRejected(f, "count larger than the records");
    set32(f, 8, -1);
    expectRejected(f, "negative count");
    set32(f, 8, 0x7fffffff);
    expectRejected(f, "count that cannot fit");

    f = good;
    set32(f, 132, qint32(good.size() + 1000));
    expectRejected(f, "next offset past the end");
    f = good;
    set32(f, rec2 + 4, 128); // page 2 points back at page 1: a loop
    expectRejected(f, "looping chain");
    f = good;
    set32(f, rec2 + 4, qint32(rec2));
    expectRejected(f, "record pointing at itself");
    f = good;
    set32(f, rec3 - 4, 999);
    expectRejected(f, "trailer not the record start");
    f = good;
    set32(f, rec2, 7);
    expectRejected(f, "page number out of order");
    f = good;
    set32(f, good.size() - 4, -50);
    expectRejected(f, "last offset negative");
    f = good;
    set32(f, 136 + 48, 0x7ffffff0); // the metafile claims more than its record
    expectRejected(f, "metafile longer than its record");
    f = good;
    f[136 + 41] = 'X'; // no metafile signature in a plain page
    expectRejected(f, "plain page that is no metafile");
    (void)rec3;
}

// A document saved after it was aborted: the header counts the pages
// finished then, and records follow them. The counted pages load; what
// follows is never read, whatever it holds.
TEST(ReportFileHostile, RecordsPastTheCountedPagesAreLeftUnread)
{
    for (bool c : {false, true}) {
        for (const QByteArray &after : {QByteArray("xx"), goodFile(5, c).mid(128)}) {
            QByteArray f = goodFile(3, c) + after;
            set32(f, 8, 2);
            RpPageList l;
            l.loadFromBytes(f);
            EXPECT_EQ(l.pageCount(), 2);
            EXPECT_EQ(*l.getPage(2), pageEmf(2));
            EXPECT_EQ(*l.getPage(1), pageEmf(1));
            EXPECT_FALSE(l.getPage(3));
        }
        // The counted records themselves are still checked.
        QByteArray cut = goodFile(3, c);
        cut.truncate(cut.size() - 20);
        expectRejected(cut, "a counted record cut short");
    }
}

TEST(ReportFileHostile, BrokenCompressedPagesAreRejected)
{
    const QByteArray good = goodFile(2, true);
    QByteArray f = good;
    // The second page claims more bytes than its coded bits hold.
    const qint64 rec2 = qFromLittleEndian<qint32>(good.constData() + 132);
    const qint64 coded = good.size() - 4 - (rec2 + 12);
    set32(f, rec2 + 8, qint32(coded * 8));
    expectRejected(f, "coded data ends early");
    set32(f, rec2 + 8, qint32(coded * 8 + 1));
    expectRejected(f, "count beyond any coding");
    set32(f, rec2 + 8, -5);
    expectRejected(f, "negative count");

    // A damaged first page is found when it is read, with a clear error,
    // and the store goes on serving its other pages.
    f = good;
    set32(f, 136, qint32(((rec2 - 4) - 140) * 8));
    RpPageList l;
    l.loadFromBytes(f);
    EXPECT_THROW(l.getPage(1), RpError);
    EXPECT_EQ(*l.getPage(2), pageEmf(2));
    EXPECT_THROW(l.getPage(1), RpError);
}

TEST(ReportFileHostile, MissingFileKeepsTheStore)
{
    Store s;
    EXPECT_THROW(s.list.loadFromFile("/nonexistent/file.trp"), RpError);
    s.expectUnchanged();
}

TEST(ReportFileHostile, RandomDamageNeverCrashes)
{
    std::mt19937 rng(77);
    for (bool c : {false, true}) {
        const QByteArray good = goodFile(4, c);
        for (int round = 0; round < 400; ++round) {
            QByteArray f = good;
            const int edits = 1 + int(rng() % 4);
            for (int e = 0; e < edits; ++e) {
                const int at = int(rng() % f.size());
                if (rng() % 5 == 0)
                    f.truncate(at);
                else
                    f[at] = char(rng());
                if (f.isEmpty())
                    break;
            }
            RpPageList l;
            try {
                l.loadFromBytes(f);
            } catch (const RpError &) {
                EXPECT_EQ(l.pageCount(), 0);
                continue;
            }
            for (int k : {3, 1, 4, 2, 2})
                try {
                    (void)l.getPage(k);
                } catch (const RpError &) {
                }
        }
    }
}
