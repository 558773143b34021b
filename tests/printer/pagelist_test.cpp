// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "emfbytes.h"
#include "testsupport.h"
#include "../filesizelimit.h"
#include "platform/rperror.h"
#include "printer/rpcompress.h"
#include "printer/rppagelist.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include "printer/processwide.h"
#include <gtest/gtest.h>

using emftest::pageEmf;

namespace {

QDateTime fixedTime() { return QDateTime(QDate(2024, 3, 1), QTime(12, 0)); }

// A store of n pages, finished.
std::unique_ptr<RpPageList> makeStore(int n, bool compressed, int pageSize = 3000)
{
    auto list = std::make_unique<RpPageList>();
    list->setClock(fixedTime);
    list->setStream(std::make_unique<RpStream>());
    list->setCompression(compressed);
    for (int i = 1; i <= n; ++i)
        list->addPage(pageEmf(i, pageSize + i));
    list->finish();
    return list;
}

QByteArray fileBytes(RpPageList &list)
{
    QBuffer b;
    b.open(QIODevice::WriteOnly);
    list.stream()->saveToStream(b);
    return b.data();
}

qint32 i32(const QByteArray &b, qint64 at) { return qFromLittleEndian<qint32>(b.constData() + at); }
void set32(QByteArray &b, qint64 at, qint32 v) { qToLittleEndian(v, b.data() + at); }

} // namespace

TEST(PageList, OnePlainPageFileLayout)
{
    auto list = makeStore(1, false);
    const QByteArray emf = pageEmf(1, 3001);
    const QByteArray f = fileBytes(*list);
    const qint64 n = emf.size();
    ASSERT_EQ(f.size(), 128 + 8 + n + 4);
    EXPECT_EQ(qFromLittleEndian<quint16>(f.constData()), 3);
    EXPECT_EQ(qFromLittleEndian<quint16>(f.constData() + 2), 50);
    EXPECT_EQ(i32(f, 8), 1);
    EXPECT_EQ(f[25], 0);
    EXPECT_EQ(f.mid(26, 100), QByteArray(100, 0x48));
    EXPECT_EQ(f.mid(126, 2), QByteArray(2, 0));
    double days;
    std::memcpy(&days, f.constData() + 16, 8);
    EXPECT_DOUBLE_EQ(days, RpPageList::toDays(fixedTime()));
    EXPECT_DOUBLE_EQ(days, 45352.5); // 1 March 2024, noon
    EXPECT_EQ(i32(f, 128), 1);
    EXPECT_EQ(i32(f, 132), 128 + 8 + n + 4);
    EXPECT_EQ(f.mid(136, n), emf);
    EXPECT_EQ(i32(f, f.size() - 4), 128);
}

TEST(PageList, CompressedRecordHoldsCountAndCodedBytes)
{
    auto list = makeStore(2, true);
    const QByteArray f = fileBytes(*list);
    EXPECT_EQ(f[25], 1);
    EXPECT_EQ(i32(f, 8), 2);
    const QByteArray emf = pageEmf(1, 3001);
    const QByteArray coded = RpCompress::compressBytes(emf);
    EXPECT_EQ(i32(f, 136), emf.size());
    EXPECT_EQ(f.mid(140, coded.size()), coded);
    const qint64 second = 140 + coded.size() + 4;
    EXPECT_EQ(i32(f, 132), second);
    EXPECT_EQ(i32(f, second), 2);
    EXPECT_EQ(i32(f, second - 4), 128);
    EXPECT_EQ(i32(f, f.size() - 4), second);
    EXPECT_LT(f.size(), 128 + 2 * emf.size()); // text-like pages shrink
}

TEST(PageList, NavigatesForwardBackwardAndRepeats)
{
    for (bool compressed : {false, true}) {
        auto list = makeStore(7, compressed);
        for (int k : {5, 1, 5, 5, 7, 2, 6, 3, 3, 1, 7, 4}) {
            const auto page = list->getPage(k);
            ASSERT_TRUE(page) << k;
            EXPECT_EQ(*page, pageEmf(k, 3000 + k)) << "page " << k << " compressed " << compressed;
        }
        EXPECT_FALSE(list->getPage(0));
        EXPECT_FALSE(list->getPage(8));
        EXPECT_FALSE(list->getPage(-3));
    }
}

TEST(PageList, ARecordChangedBehindTheListIsNotServedFromItsRememberedStart)
{
    auto list = makeStore(7, true);
    const qint64 fourth = list->records()[3].start;
    auto setNumber = [&](qint32 n) {
        QByteArray b(4, '\0');
        qToLittleEndian(n, b.data());
        list->stream()->seek(fourth);
        list->stream()->write(b.constData(), 4);
        list->moveToFirstRecord();
    };
    setNumber(99);
    EXPECT_THROW(list->getPage(4), RpError);
    // The chain is walked instead: pages before the damage are found, the
    // walk past it is refused.
    EXPECT_EQ(*list->getPage(2), pageEmf(2, 3002));
    EXPECT_EQ(*list->getPage(3), pageEmf(3, 3003));
    EXPECT_THROW(list->getPage(6), RpError);
    setNumber(4);
    for (int k : {7, 5, 4, 6, 1, 3}) {
        const auto page = list->getPage(k);
        ASSERT_TRUE(page) << k;
        EXPECT_EQ(*page, pageEmf(k, 3000 + k)) << k;
    }
}

TEST(PageList, PagesReadWhileTheDocumentGrows)
{
    RpPageList list;
    list.setStream(std::make_unique<RpStream>(5000)); // spills early
    list.addPage(pageEmf(1));
    list.addPage(pageEmf(2));
    EXPECT_EQ(*list.getPage(2), pageEmf(2));
    EXPECT_EQ(*list.getPage(1), pageEmf(1));
    list.addPage(pageEmf(3)); // appends after reading from the middle
    EXPECT_FALSE(list.stream()->inMemory());
    EXPECT_EQ(list.pageCount(), 3);
    EXPECT_EQ(*list.getPage(3), pageEmf(3));
    EXPECT_EQ(*list.getPage(1), pageEmf(1));
    // An unfinished stream already tells its true page count.
    const QByteArray f = fileBytes(list);
    EXPECT_EQ(i32(f, 8), 3);
}

TEST(PageList, RefusesBytesThatAreNotAMetafile)
{
    RpPageList list;
    list.setStream(std::make_unique<RpStream>());
    EXPECT_THROW(list.addPage(QByteArray("not a metafile")), RpError);
    QByteArray emf = pageEmf(1);
    emf.chop(4); // its header now claims more than it has
    EXPECT_THROW(list.addPage(emf), RpError);
    EXPECT_EQ(list.pageCount(), 0);
}

TEST(PageList, SaveAndLoadRoundTrip)
{
    QTemporaryDir d;
    for (bool compressed : {false, true}) {
        auto list = makeStore(4, compressed);
        const QString path = d.filePath(compressed ? "c.trp" : "p.trp");
        list->saveToFile(path);
        EXPECT_EQ(testsupport::readFile(path), fileBytes(*list));

        RpPageList loaded; // Compression off: the header decides
        loaded.loadFromFile(path);
        EXPECT_EQ(loaded.pageCount(), 4);
        EXPECT_EQ(loaded.compression(), compressed);
        EXPECT_EQ(loaded.headerLength(), 128);
        for (int k : {4, 1, 3, 2})
            EXPECT_EQ(*loaded.getPage(k), pageEmf(k, 3000 + k));

        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        RpPageList fromStream;
        fromStream.loadFromStream(f);
        EXPECT_EQ(fromStream.pageCount(), 4);
        EXPECT_TRUE(fromStream.stream()->inMemory());
        EXPECT_EQ(*fromStream.getPage(3), pageEmf(3, 3003));
    }
}

TEST(PageList, SavingOverAFileReplacesItWhole)
{
    QTemporaryDir d;
    const QString path = d.filePath("r.trp");
    makeStore(3, false)->saveToFile(path);
    auto small = makeStore(1, true);
    small->saveToFile(path);
    RpPageList l;
    l.loadFromFile(path);
    EXPECT_EQ(l.pageCount(), 1);
    EXPECT_EQ(QDir(d.path()).entryList(QDir::Files).size(), 1); // no temporary left
    // A failed save (no such folder) raises and creates nothing.
    EXPECT_THROW(small->saveToFile(d.filePath("no/such/dir/r.trp")), RpError);
}

TEST(PageList, ASaveThatRunsOutOfDiskKeepsTheOldFile)
{
    QTemporaryDir d;
    const QString path = d.filePath("r.trp");
    makeStore(3, false)->saveToFile(path);
    const QByteArray old = testsupport::readFile(path);
    ASSERT_FALSE(old.isEmpty());
    auto bigger = makeStore(40, false);
    const qint64 size = bigger->stream()->size();
    // No room at all, room for the header only, room for all but the end.
    for (rlim_t room : {rlim_t(0), rlim_t(128), rlim_t(size - 1)}) {
        {
            testsupport::FileSizeLimit full(room);
            ASSERT_TRUE(full.set());
            try {
                bigger->saveToFile(path);
                ADD_FAILURE() << "saved with room for " << room << " bytes";
            } catch (const RpError &e) {
                EXPECT_EQ(e.where().file, path);
                EXPECT_EQ(e.kind(), RpErrorKind::DiskFull) << e.message().toStdString();
            }
        }
        EXPECT_EQ(testsupport::readFile(path), old) << "room " << room;
        EXPECT_EQ(QDir(d.path()).entryList(QDir::Files | QDir::Hidden).size(), 1) << "room " << room;
        // The store itself is untouched and goes on taking pages.
        EXPECT_EQ(bigger->pageCount(), 40);
        EXPECT_EQ(bigger->stream()->position(), size);
    }
    bigger->saveToFile(path);
    RpPageList loaded;
    loaded.loadFromFile(path);
    EXPECT_EQ(loaded.pageCount(), 40);
}

TEST(PageList, TemporaryFileGoesAwayWithTheStore)
{
    QTemporaryDir d;
    testsupport::ScopedValue tempDir(printerState().tempDirectory, d.path());
    {
        auto list = makeStore(120, false); // about 370 KB: past the limit
        EXPECT_FALSE(list->stream()->inMemory());
        EXPECT_EQ(QDir(d.path()).entryList({"TRP*"}, QDir::Files).size(), 1);
        EXPECT_EQ(*list->getPage(77), pageEmf(77, 3077));
    }
    EXPECT_TRUE(QDir(d.path()).entryList({"TRP*"}, QDir::Files).isEmpty());
}

TEST(PageList, EmptyDocumentIsAHeaderOnly)
{
    RpPageList list;
    list.setStream(std::make_unique<RpStream>());
    list.finish();
    const QByteArray f = fileBytes(list);
    ASSERT_EQ(f.size(), 128);
    RpPageList back;
    back.loadFromBytes(f);
    EXPECT_EQ(back.pageCount(), 0);
    EXPECT_FALSE(back.getPage(1));
}

TEST(PageList, HeaderLengthDetection)
{
    // An older 120-byte header: the first metafile's signature at offset 169.
    const QByteArray emf = pageEmf(1);
    QByteArray old(120, '\0');
    QByteArray rec(8, '\0');
    set32(rec, 0, 1);
    set32(rec, 4, 120 + 8 + emf.size() + 4);
    old += rec + emf;
    QByteArray tail(4, '\0');
    set32(tail, 0, 120);
    old += tail;
    RpPageList l;
    l.loadFromBytes(old);
    EXPECT_EQ(l.headerLength(), 120);
    EXPECT_EQ(l.pageCount(), 1);
    EXPECT_EQ(*l.getPage(1), emf);

    // A header of some other length is found by scanning, and its pages counted.
    QByteArray odd(200, 'h');
    qint64 pos = odd.size();
    for (int i = 1; i <= 3; ++i) {
        const QByteArray e = pageEmf(i);
        QByteArray r(8, '\0');
        set32(r, 0, i);
        set32(r, 4, qint32(pos + 8 + e.size() + 4));
        QByteArray t(4, '\0');
        set32(t, 0, qint32(pos));
        odd += r + e + t;
        pos = odd.size();
    }
    l.loadFromBytes(odd);
    EXPECT_EQ(l.headerLength(), 200);
    EXPECT_EQ(l.pageCount(), 3);
    EXPECT_EQ(*l.getPage(2), pageEmf(2));
    EXPECT_EQ(*l.getPage(3), pageEmf(3));
}

TEST(PageList, CompressedBytesThatSpellTheSignatureDoNotFoolDetection)
{
    // Coded bytes may contain "EMF" at a place where a plain page of an older
    // layout has its signature; a file with the full header marks is still
    // read with its 128-byte header.
    auto list = makeStore(2, true);
    QByteArray f = fileBytes(*list);
    f.replace(169, 3, "EMF"); // inside page 1's coded bytes
    RpPageList l;
    l.loadFromBytes(f);
    EXPECT_EQ(l.headerLength(), 128);
    EXPECT_EQ(l.pageCount(), 2);
    EXPECT_EQ(*l.getPage(2), pageEmf(2, 3002));
}
