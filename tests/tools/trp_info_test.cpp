// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What `tovrel-tool trp` tells of a file: a file that is not a report file
// is named as such, the creation date reads as a date, and one page is "1
// page".
#include "../pdf/pdfdocs.h"
#include "../printer/fakeprinter.h"
#include "printer/rpprinter.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(TrpInfo, SaysWhatAFileIsInWordsAUserReads)
{
    using pdfdocs::run;
    const QString tool = QStringLiteral(TOVREL_BINARY_DIR "/tools/tovrel-tool");
    QTemporaryDir dir;
    FakePrinterDevice noPrinter;
    noPrinter.names.clear();
    UseDevice useNoPrinter{&noPrinter};

    // A picture is no report file: said so, not a page count that does
    // not fit.
    const QString png = dir.filePath(QStringLiteral("photo.png"));
    {
        QFile f(png);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(400, '\x7f'));
    }
    for (const char *sub : {"info", "text", "pdf"}) {
        SCOPED_TRACE(sub);
        QStringList args{"trp", sub, png};
        if (QByteArray(sub) == "pdf")
            args << dir.filePath(QStringLiteral("out.pdf"));
        const pdfdocs::Run r = run(tool, args);
        EXPECT_EQ(r.code, 2);
        EXPECT_EQ(QString::fromUtf8(r.err),
                  QStringLiteral("tovrel-tool trp: Not a report file: it does not start with the markers 3 and 50 of a "
                                 "report file\n"));
    }
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("out.pdf"))));

    // A report file of one page.
    RpPrinter printer;
    printer.beginDoc();
    printer.newPage();
    printer.endDoc();
    const QString trp = dir.filePath(QStringLiteral("one.trp"));
    printer.save(trp);
    const pdfdocs::Run info = run(tool, {"trp", "info", trp});
    ASSERT_EQ(info.code, 0) << info.err.toStdString();
    const QString out = QString::fromUtf8(info.out);
    EXPECT_TRUE(out.contains(QStringLiteral("pages: 1\n"))) << out.toStdString();
    const QRegularExpression created(QStringLiteral("^created: (\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d)$"),
                                     QRegularExpression::MultilineOption);
    const auto m = created.match(out);
    ASSERT_TRUE(m.hasMatch()) << out.toStdString();
    const QDateTime t = QDateTime::fromString(m.captured(1), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    EXPECT_LT(std::abs(t.secsTo(QDateTime::currentDateTime())), 600);

    const pdfdocs::Run beyond = run(tool, {"trp", "extract", trp, "2", dir.filePath(QStringLiteral("p.emf"))});
    EXPECT_EQ(beyond.code, 2);
    EXPECT_TRUE(beyond.err.contains("page 2 is not in the file (1 page)")) << beyond.err.toStdString();
    const pdfdocs::Run range = run(tool, {"trp", "pdf", trp, dir.filePath(QStringLiteral("p.pdf")), "--pages", "1-3"});
    EXPECT_EQ(range.code, 2);
    EXPECT_TRUE(range.err.contains("pages 1 to 3 are not in the file (1 page)")) << range.err.toStdString();
}
