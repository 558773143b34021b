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
    QString pdf;
    const Attributes done = waitCompleted(kQueue, id, &pdf);
    EXPECT_EQ(attr(done, "copies"), "2");
    EXPECT_EQ(attr(done, "job-name"), "tovrel-sheet");
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
