// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Metafiles made by other programs: the well-formed ones play and draw, the
// damaged ones end in an error or a partial picture, never a crash.
#include "emf_support.h"
#include "painter_support.h"

#include "platform/metafile.h"
#include "platform/metafilerecorder.h"
#include "platform/rperror.h"
#include "testsupport.h"

#include <QDir>
#include <gtest/gtest.h>

#include <set>

namespace {

QStringList corpus(const QString &folder)
{
    const QDir dir(testsupport::testdata(QStringLiteral("emf-corpus/") + folder));
    QStringList files;
    for (const QString &f : dir.entryList({QStringLiteral("*.emf")}, QDir::Files, QDir::Name))
        files << dir.filePath(f);
    return files;
}

// Files that draw nothing a canvas can show: no drawing records at all, only
// EMF+ records without the EMF fallback, or only glyph-index text.
const std::set<QString> kDrawsNothing = {QStringLiteral("test-030.emf"), QStringLiteral("test-038.emf"),
                                         QStringLiteral("test-185.emf")};

// Plays a file onto an image 200 pixels wide; returns the error, if any.
QString playFile(const QString &path, QImage *out)
{
    try {
        const Metafile mf = Metafile::fromBytes(testsupport::readFile(path));
        const int w = 200;
        const int h = std::clamp(int(qint64(w) * std::max(mf.height(), 1) / std::max(mf.width(), 1)), 1, 2000);
        *out = paintersupport::whiteImage(w, h);
        PainterCanvas canvas(out);
        mf.play(canvas, {0, 0, w, h});
        mf.textRecords();
    } catch (const RpError &e) {
        return e.message();
    }
    return {};
}

void expectAllPlay(const QString &folder)
{
    const QStringList files = corpus(folder);
    ASSERT_FALSE(files.isEmpty()) << "no corpus in " << folder.toStdString();
    for (const QString &path : files) {
        const QString name = QFileInfo(path).fileName();
        QImage img;
        const QString error = playFile(path, &img);
        EXPECT_TRUE(error.isEmpty()) << name.toStdString() << ": " << error.toStdString();
        if (!kDrawsNothing.count(name)) {
            EXPECT_FALSE(paintersupport::inkBounds(img).isEmpty()) << name.toStdString() << " drew nothing";
        }
    }
}

} // namespace

TEST(EmfCorpus, WellFormedFilesPlayAndDraw) { expectAllPlay(QStringLiteral("emf")); }

TEST(EmfCorpus, FurtherWellFormedFilesPlayAndDraw) { expectAllPlay(QStringLiteral("emf-ea")); }

TEST(EmfCorpus, DamagedFilesEndInAnErrorOrAPartialPicture)
{
    const QStringList files = corpus(QStringLiteral("emf-corrupted"));
    ASSERT_FALSE(files.isEmpty());
    int errors = 0;
    for (const QString &path : files) {
        QImage img;
        const QString error = playFile(path, &img);
        if (!error.isEmpty()) {
            ++errors;
            // The message names a record and where it stands.
            EXPECT_TRUE(error.contains(QStringLiteral("EMR_")) || error.startsWith(QStringLiteral("Not an enhanced")))
                << error.toStdString();
        }
    }
    EXPECT_GT(errors, 0);
}

TEST(EmfCorpus, EveryTruncationOfAFileIsHandled)
{
    // Cut a real file at many lengths: each cut is an error or a picture.
    const QByteArray bytes = testsupport::readFile(corpus(QStringLiteral("emf")).value(1));
    ASSERT_FALSE(bytes.isEmpty());
    int errors = 0;
    for (qsizetype len = 0; len < bytes.size(); len += std::max<qsizetype>(1, bytes.size() / 97)) {
        try {
            const Metafile mf = Metafile::fromBytes(bytes.left(len));
            QImage img = paintersupport::whiteImage(50, 50);
            PainterCanvas c(&img);
            mf.play(c, {0, 0, 50, 50});
        } catch (const RpError &) {
            ++errors;
        }
    }
    EXPECT_GT(errors, 90);
}

TEST(EmfCorpus, FuzzFindsPlayWithoutFault)
{
    // Inputs the fuzzer once broke the player with (see emf_regressions):
    // each plays to a picture or an error, at the reference size and on a
    // 600-dpi page, and gives the canvas its saved states back; recorded
    // again, it is a metafile that plays without error.
    const QDir dir(QStringLiteral(TOVREL_TEST_DIR "/emf_regressions"));
    const QStringList files = dir.entryList({QStringLiteral("*.emf")}, QDir::Files, QDir::Name);
    ASSERT_FALSE(files.isEmpty());
    for (const QString &name : files) {
        SCOPED_TRACE(name.toStdString());
        Metafile mf;
        try {
            mf = Metafile::fromBytes(testsupport::readFile(dir.filePath(name)));
        } catch (const RpError &) {
            continue;
        }
        for (int dpi : {96, 600}) {
            QImage img = paintersupport::whiteImage(64 * dpi / 96, 48 * dpi / 96);
            PainterCanvas c(&img, dpi);
            try {
                mf.play(c, {0, 0, img.width(), img.height()});
            } catch (const RpError &) {
            }
            EXPECT_EQ(c.saveDC(), 1) << dpi;
        }
        MetafileRecorder rec(64, 48);
        try {
            rec.stretchDrawMetafile({0, 0, 64, 48}, mf);
        } catch (const RpError &) {
        }
        QImage again = paintersupport::whiteImage(64, 48);
        PainterCanvas c(&again);
        EXPECT_NO_THROW(rec.finish().play(c, {0, 0, 64, 48}));
    }
}
