// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// tovrel-tool emf render: a picture for a metafile that plays, and no file
// at all (nor a changed one) for a metafile that does not.
#include "emf_support.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kTool = QStringLiteral(TOVREL_BINARY_DIR "/tools/tovrel-tool");

struct ToolRun {
    int code = -1;
    QString err;
};

ToolRun render(const QStringList &args)
{
    QProcess p;
    p.start(kTool, QStringList{QStringLiteral("emf"), QStringLiteral("render")} + args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardError())};
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

TEST(EmfTool, RenderWritesAPictureOnlyWhenTheMetafilePlays)
{
    ASSERT_TRUE(QFile::exists(kTool)) << "tovrel-tool is not built";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // A red square, then the same file with its last drawing record damaged.
    const std::vector<emf::Record> body{emf::EMR_CREATEBRUSHINDIRECT{1, gdi::BS_SOLID, gdi::rgb(255, 0, 0), 0},
                                        emf::EMR_SELECTOBJECT{1}, emf::EMR_RECTANGLE{{10, 10, 50, 50}},
                                        emf::EMR_POLYLINE16{{}, {{{1, 1}, {2, 2}}}}};
    const QByteArray good = emfsupport::build(body);
    QByteArray damaged = good;
    qToLittleEndian<quint32>(1000, damaged.data() + emfsupport::recordOffset(good, 4) + 24); // too many points
    const QString goodPath = dir.filePath(QStringLiteral("good.emf")), badPath = dir.filePath(QStringLiteral("bad.emf"));
    writeFile(goodPath, good);
    writeFile(badPath, damaged);
    writeFile(dir.filePath(QStringLiteral("text.emf")), "not a metafile at all");

    const QString out = dir.filePath(QStringLiteral("out.png"));
    const ToolRun ok = render({goodPath, out, QStringLiteral("--dpi"), QStringLiteral("192")});
    EXPECT_EQ(ok.code, 0) << ok.err.toStdString();
    const QImage img(out);
    EXPECT_EQ(img.size(), QSize(192, 192));
    EXPECT_EQ(img.pixel(60, 60) & 0xffffff, 0xff0000u);

    const QStringList before = QDir(dir.path()).entryList(QDir::Files, QDir::Name);
    for (const QString &in : {badPath, dir.filePath(QStringLiteral("text.emf"))}) {
        // A fresh target is not created ...
        const QString fresh = dir.filePath(QStringLiteral("fresh.png"));
        const ToolRun failed = render({in, fresh});
        EXPECT_EQ(failed.code, 2);
        EXPECT_TRUE(failed.err.contains(in == badPath ? QStringLiteral("EMR_POLYLINE16") : QStringLiteral("Not an enhanced")))
            << failed.err.toStdString();
        EXPECT_FALSE(QFile::exists(fresh));
        // ... and an earlier one is left as it was.
        const QByteArray earlier = [&] {
            QFile f(out);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        EXPECT_EQ(render({in, out}).code, 2);
        QFile f(out);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), earlier);
    }
    // No temporary file is left behind either.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files, QDir::Name), before);
}
