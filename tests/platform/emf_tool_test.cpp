// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// tovrel-tool emf render: a picture for a metafile that plays, and no file
// at all (nor a changed one) for a metafile that does not; emf dump: every
// record by its name.
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
    QString out;
};

ToolRun tool(const QString &command, const QStringList &args)
{
    QProcess p;
    p.start(kTool, QStringList{QStringLiteral("emf"), command} + args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardError()),
            QString::fromUtf8(p.readAllStandardOutput())};
}

ToolRun render(const QStringList &args) { return tool(QStringLiteral("render"), args); }

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

TEST(EmfTool, DumpNamesTheColourSpaceAndLinkedFontRecords)
{
    ASSERT_TRUE(QFile::exists(kTool)) << "tovrel-tool is not built";
    QTemporaryDir dir;
    // EMR_SETCOLORSPACE (100) with its handle, EMR_SETLINKEDUFIS (119) with
    // one linked font of eight bytes and the eight reserved ones after it.
    emf::EMR_SETLINKEDUFIS linked;
    linked.count = 1;
    linked.ufis.data = QByteArray("\x11\x22\x33\x44\x05\x00\x00\x00", 8);
    QByteArray withReserved = emf::encode(linked) + QByteArray(8, '\0');
    qToLittleEndian<quint32>(quint32(withReserved.size()), withReserved.data() + 4);
    QByteArray bytes = emfsupport::build({emf::EMR_SETCOLORSPACE{3}, emf::EMR_SETPOLYFILLMODE{2}});
    bytes.insert(emfsupport::recordOffset(bytes, 2), withReserved);
    qToLittleEndian<quint32>(quint32(bytes.size()), bytes.data() + 48); // nBytes
    const QString path = dir.filePath(QStringLiteral("linked.emf"));
    writeFile(path, bytes);
    const ToolRun dump = tool(QStringLiteral("dump"), {path});
    EXPECT_EQ(dump.code, 0) << dump.err.toStdString();
    const QStringList lines = dump.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 5) << dump.out.toStdString();
    EXPECT_TRUE(lines[1].contains(QStringLiteral("EMR_SETCOLORSPACE"))) << lines[1].toStdString();
    EXPECT_TRUE(lines[1].contains(QStringLiteral("value=3"))) << lines[1].toStdString();
    EXPECT_TRUE(lines[2].contains(QStringLiteral("EMR_SETLINKEDUFIS"))) << lines[2].toStdString();
    EXPECT_TRUE(lines[2].contains(QStringLiteral("count=1"))) << lines[2].toStdString();
    EXPECT_FALSE(dump.out.contains(QStringLiteral("UNKNOWN")));
    // And the records draw nothing: the file plays.
    EXPECT_EQ(render({path, dir.filePath(QStringLiteral("linked.png"))}).code, 0);
}
