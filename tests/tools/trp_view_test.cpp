// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// tovrel-tool trp view refuses what it cannot show before opening a window:
// a missing file, a file that is not a report file, a wrong command line.
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(TrpView, RefusesWhatItCannotShowWithoutOpeningAWindow)
{
    QTemporaryDir dir;
    const QString junk = dir.filePath(QStringLiteral("junk.trp"));
    {
        QFile f(junk);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(300, 'x'));
    }
    const struct {
        QStringList args;
        const char *message;
    } cases[] = {
        {{"trp", "view", dir.filePath(QStringLiteral("missing.trp"))}, "no such file"},
        {{"trp", "view", dir.path()}, "no such file"},
        {{"trp", "view", junk}, ""},
        {{"trp", "view", junk, junk}, "usage: trp view FILE"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        QProcess p;
        p.start(QStringLiteral(TOVREL_BINARY_DIR "/tools/tovrel-tool"), c.args);
        // A window would keep the program running.
        ASSERT_TRUE(p.waitForFinished(30000)) << "the program did not return";
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), 2);
        const QString err = QString::fromUtf8(p.readAllStandardError());
        EXPECT_FALSE(err.trimmed().isEmpty());
        EXPECT_TRUE(err.contains(QString::fromUtf8(c.message))) << err.toStdString();
    }
}
