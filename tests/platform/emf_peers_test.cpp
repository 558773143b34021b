// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Independent readers accept what the recorder writes: libUEMF's record
// checker and the emf2svg converter.
#include "platform/emf/emfdemo.h"
#include "platform/metafilerecorder.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QtEndian>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <uemf_safe.h>

namespace {

Metafile demo()
{
    MetafileRecorder rec(emf::kDemoWidth, emf::kDemoHeight, QStringLiteral("Tovrel") + QChar(0) + QStringLiteral("demo"));
    emf::drawDemoScene(rec);
    return rec.finish();
}

} // namespace

TEST(EmfPeers, LibUemfAcceptsEveryRecord)
{
    const QByteArray bytes = demo().bytes();
    qsizetype off = 0;
    int records = 0, problems = 0;
    while (off + 8 <= bytes.size()) {
        const quint32 type = qFromLittleEndian<quint32>(bytes.constData() + off);
        const quint32 size = qFromLittleEndian<quint32>(bytes.constData() + off + 4);
        ASSERT_GE(size, 8u);
        ASSERT_LE(off + size, bytes.size());
        // The checker reads the record in place; give it its own aligned copy.
        QByteArray rec = bytes.mid(off, size);
        if (!U_emf_record_safe(rec.constData())) {
            ++problems;
            ADD_FAILURE() << "record type " << type << " at offset " << off << " refused";
        }
        ++records;
        off += size;
        if (type == 14)
            break;
    }
    EXPECT_EQ(off, bytes.size());
    EXPECT_GT(records, 100);
    EXPECT_EQ(problems, 0);
}

TEST(EmfPeers, Emf2SvgConvertsWithTheTextPresent)
{
    const QString conv = QStandardPaths::findExecutable(QStringLiteral("emf2svg-conv"));
    if (conv.isEmpty())
        GTEST_SKIP() << "emf2svg-conv is not installed";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString in = dir.filePath(QStringLiteral("demo.emf")), out = dir.filePath(QStringLiteral("demo.svg"));
    {
        QFile f(in);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(demo().bytes());
    }
    QProcess p;
    p.start(conv, {QStringLiteral("-i"), in, QStringLiteral("-o"), out});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    QFile f(out);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString svg = QString::fromUtf8(f.readAll());
    for (int i = 0; i < emf::kDemoTextCount; ++i) {
        const QString text = QString::fromUtf16(emf::kDemoTexts[i]).toHtmlEscaped();
        EXPECT_TRUE(svg.contains(text)) << text.toStdString();
    }
}
