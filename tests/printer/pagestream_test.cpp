// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/rperror.h"
#include "printer/rpstream.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include "testsupport.h"
#include "../filesizelimit.h"
#include "printer/processwide.h"
#include <gtest/gtest.h>

namespace {
struct TempDirGuard {
    QTemporaryDir dir;
    testsupport::ScopedValue<QString> use{printerState().tempDirectory, dir.path()};
    int trpFiles() const
    {
        return int(QDir(dir.path()).entryList({"TRP*"}, QDir::Files).size());
    }
};
} // namespace

TEST(PageStream, SpillsToATemporaryFileOnlyPastTheLimit)
{
    TempDirGuard tmp;
    const QByteArray chunk(50000, 'x');
    {
        RpStream s; // default limit 250000
        for (int i = 0; i < 5; ++i)
            s.write(chunk.constData(), chunk.size());
        EXPECT_EQ(s.size(), 250000);
        EXPECT_TRUE(s.inMemory());
        EXPECT_EQ(tmp.trpFiles(), 0);
        s.write("y", 1);
        EXPECT_FALSE(s.inMemory());
        EXPECT_EQ(s.size(), 250001);
        EXPECT_EQ(s.position(), 250001);
        const QString name = s.fileName();
        EXPECT_TRUE(QFileInfo(name).fileName().startsWith("TRP"));
        EXPECT_EQ(QFileInfo(name).absolutePath(), QFileInfo(tmp.dir.path()).absoluteFilePath());
        EXPECT_EQ(tmp.trpFiles(), 1);
        // The spilled bytes are all there, and later writes go to the file.
        s.write("z", 1);
        s.seek(249999);
        char b[3];
        ASSERT_EQ(s.read(b, 3), 3);
        EXPECT_EQ(QByteArray(b, 3), "xyz");
    }
    EXPECT_EQ(tmp.trpFiles(), 0);
}

TEST(PageStream, ReadWriteSeekBehaveAsAStream)
{
    RpStream s(100);
    EXPECT_EQ(s.write("hello world", 11), 11);
    EXPECT_EQ(s.seek(6), 6);
    s.write("WORLD", 5);
    EXPECT_EQ(s.seek(-5, RpStream::FromEnd), 6);
    EXPECT_EQ(s.seek(2, RpStream::FromCurrent), 8);
    char b[16];
    EXPECT_EQ(s.read(b, 16), 3);
    EXPECT_EQ(QByteArray(b, 3), "RLD");
    EXPECT_EQ(s.read(b, 16), 0);
    EXPECT_EQ(s.seek(1000), 11); // clamped to the end
    EXPECT_EQ(s.seek(-1000, RpStream::FromCurrent), 0);

    QBuffer out;
    out.open(QIODevice::WriteOnly);
    s.saveToStream(out);
    EXPECT_EQ(out.data(), "hello WORLD");
}

TEST(PageStream, UnwritableTemporaryDirectoryIsAClearError)
{
    std::optional<testsupport::ScopedValue<QString>> nowhere;
    nowhere.emplace(printerState().tempDirectory, QStringLiteral("/nonexistent/dir/for/trp"));
    RpStream s(10);
    s.write("0123456789", 10);
    try {
        s.write("!", 1);
        ADD_FAILURE() << "no error";
    } catch (const RpError &e) {
        EXPECT_TRUE(e.message().contains("/nonexistent/dir/for/trp")) << e.message().toStdString();
        EXPECT_EQ(e.kind(), RpErrorKind::InputOutput);
        EXPECT_EQ(e.where().file, QStringLiteral("/nonexistent/dir/for/trp"));
    }
    nowhere.reset();
    // The bytes are still there, in memory.
    EXPECT_TRUE(s.inMemory());
    EXPECT_EQ(s.size(), 11);
}

TEST(PageStream, ADiskThatFillsPartWayThroughAWriteIsAnError)
{
    TempDirGuard tmp;
    // Spilling with room for part of the bytes, and writing past the room
    // of a spilled stream: each must fail, not stop short in silence.
    for (bool spilled : {false, true}) {
        RpStream s(10);
        s.write("0123456789", 10);
        if (spilled)
            s.write("!", 1);
        {
            testsupport::FileSizeLimit full(spilled ? 15 : 5);
            ASSERT_TRUE(full.set());
            try {
                s.write(spilled ? "abcdefghij" : "!", spilled ? 10 : 1);
                ADD_FAILURE() << "no error" << (spilled ? " after spilling" : " spilling");
            } catch (const RpError &e) {
                EXPECT_EQ(e.kind(), RpErrorKind::DiskFull) << e.message().toStdString();
            }
        }
        if (!spilled) {
            // The bytes stayed in memory, and the half-written file is gone.
            EXPECT_TRUE(s.inMemory());
            EXPECT_EQ(s.size(), 11);
            EXPECT_EQ(tmp.trpFiles(), 0);
        }
    }
    EXPECT_EQ(tmp.trpFiles(), 0);
}

TEST(PageStream, StreamOverALoadedFileIsReadOnlyAndLeavesTheFile)
{
    QTemporaryDir d;
    QFile f(d.filePath("r.trp"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("abc");
    f.close();
    auto s = RpStream::createFromFile(d.filePath("r.trp"));
    EXPECT_EQ(s->size(), 3);
    EXPECT_FALSE(s->inMemory());
    EXPECT_TRUE(s->fileName().isEmpty());
    EXPECT_THROW(s->write("x", 1), RpError);
    s.reset();
    EXPECT_TRUE(QFile::exists(d.filePath("r.trp"))); // a loaded file is left alone
    EXPECT_THROW(RpStream::createFromFile(d.filePath("missing.trp")), RpError);
}
