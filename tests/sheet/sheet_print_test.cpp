// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// tovrel-sheet --print onto a CUPS queue that cups-pdf writes as PDF: the
// sheets arrive with the copies asked for, and a queue that does not exist
// is refused with the names of those that do. Needs root to run cupsd;
// skipped elsewhere.
#include "../printer/cupsserver.h"

using namespace cupsserver;

namespace {
const QString kSheetProgram = QStringLiteral(TOVREL_BINARY_DIR "/sheet/tovrel-sheet");
} // namespace

TEST_F(CupsPrint, SheetProgramPrintsTheWordsOnTheQueue)
{
    ASSERT_TRUE(QFile::exists(kSheetProgram));
    const std::set<int> before = jobIds(kQueue);
    int code = 0;
    QByteArray out = run(kSheetProgram, {"--print", kQueue, "--copies", "2", "--", "變", "從"}, &code, 120000);
    ASSERT_EQ(code, 0) << out.toStdString();
    const int id = newJob(kQueue, before);
    ASSERT_GT(id, 0);
    // The job id the print system gave is told as its own commands tell it.
    EXPECT_TRUE(out.contains(QStringLiteral("request id is %1-%2\n").arg(kQueue).arg(id).toUtf8())) << out.toStdString();
    QString pdf;
    const Attributes done = waitCompleted(kQueue, id, &pdf);
    EXPECT_EQ(attr(done, "copies"), "2");
    // Named after the sheets, as the window names its jobs.
    EXPECT_EQ(attr(done, "job-name"), QStringLiteral("Tovrel 變 從"));
    // Two sheets, twice.
    EXPECT_EQ(attr(done, "job-impressions-completed"), "4");
    ASSERT_FALSE(pdf.isEmpty());
    EXPECT_EQ(pdfPageCount(pdf), 2);

    // A queue that is not there: nothing printed, its name and the queues
    // that are there in the message.
    const std::set<int> now = jobIds(kQueue);
    out = run(kSheetProgram, {"--print", "no-such-queue", "--", "變"}, &code, 120000);
    EXPECT_EQ(code, 2);
    EXPECT_TRUE(out.contains("no printer named 'no-such-queue'")) << out.toStdString();
    EXPECT_TRUE(out.contains(kQueue.toUtf8())) << out.toStdString();
    EXPECT_EQ(jobIds(kQueue), now);
}

TEST_F(CupsPrint, SheetProgramWarnsOfDuplexOnAOneSidedQueueAndTakesTheOnlyPrinter)
{
    ASSERT_TRUE(QFile::exists(kSheetProgram));
    // cups-pdf prints on one side: --duplex is named as ignored, and the
    // sheet still prints.
    std::set<int> before = jobIds(kQueue);
    int code = 0;
    QByteArray out = run(kSheetProgram, {"--print", kQueue, "--duplex", "--", "學校"}, &code, 120000);
    ASSERT_EQ(code, 0) << out.toStdString();
    EXPECT_TRUE(out.contains("tovrel-sheet: warning: " + kQueue.toUtf8() + " prints on one side only: --duplex is ignored"))
        << out.toStdString();
    int id = newJob(kQueue, before);
    ASSERT_GT(id, 0);
    EXPECT_EQ(attr(waitCompleted(kQueue, id), "job-name"), QStringLiteral("Tovrel 學校"));

    // Without a queue named and no default set, the one printer there is.
    const QByteArray dests = run("lpstat", {"-e"}), def = run("lpstat", {"-d"});
    if (dests.trimmed() != kQueue.toUtf8() || !def.contains("no system default"))
        GTEST_SKIP() << "the server has other queues or a default one: " << dests.toStdString() << def.toStdString();
    before = jobIds(kQueue);
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("PRINTER"));
    env.remove(QStringLiteral("LPDEST"));
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(kSheetProgram, {"--print", "--", "學校"});
    ASSERT_TRUE(p.waitForFinished(120000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAll().toStdString();
    id = newJob(kQueue, before);
    ASSERT_GT(id, 0);
    waitCompleted(kQueue, id);
}
