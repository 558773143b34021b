// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// tovrel-tool report run: any report from its description, over an SQLite
// query or a CSV table, into a report file or PNG pages; bad input is one
// line and exit status 2, and nothing is written.
#include "../exampledb.h"
#include "../pdf/pdfdocs.h"
#include "toolrun.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using toolrun::Result;
using toolrun::tool;

QString lastLine(const QString &s) { return s.trimmed().split(u'\n').last(); }

class ReportRun : public ::testing::Test {
protected:
    QString file(const QString &name) const { return dir.filePath(name); }
    const QString description = example::path(QStringLiteral("classlist.txt"));
    const QString query = example::text(QStringLiteral("query.sql"));
    QTemporaryDir dir;
};

TEST_F(ReportRun, TheExampleOverItsDatabaseOrATableIntoPagesOrPictures)
{
    const example::Database db;
    const Result trp = tool({"report", "run", description, "--sqlite", db.file(), "--query", query, "-o", file("a.trp")});
    ASSERT_EQ(trp.code, 0) << trp.err.toStdString();
    const Result info = tool({"trp", "info", file("a.trp")});
    EXPECT_TRUE(info.out.contains(QStringLiteral("pages: 2\n"))) << info.out.toStdString();
    const Result text = tool({"trp", "text", file("a.trp")});
    EXPECT_TRUE(text.out.contains(QStringLiteral("Students by class and seat row"))) << text.out.toStdString();
    EXPECT_TRUE(text.out.contains(QStringLiteral("Page 2")));

    // The same report over a table of three students: one page.
    QFile csv(file("students.csv"));
    ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
    csv.write("class,seatrow:integer,name,score:integer,note\n"
              "3A,1,Ann,90,\n3A,1,Ben,80,Reads well\n3B,2,Chen,70,\n");
    csv.close();
    const Result png = tool({"report", "run", description, "--table", csv.fileName(), "-o", file("t.png"), "--dpi", "40"});
    ASSERT_EQ(png.code, 0) << png.err.toStdString();
    const QImage page(file("t.png"));
    EXPECT_NEAR(page.width(), 2100 / 254.0 * 40, 1); // A4 at 40 dpi
    EXPECT_NEAR(page.height(), 2970 / 254.0 * 40, 1);
}

TEST_F(ReportRun, APdfDocumentOfTheExampleAndOfItsRecordedPages)
{
    const example::Database db;
    const Result pdf = tool({"report", "run", description, "--sqlite", db.file(), "--query", query, "-o", file("a.pdf")});
    ASSERT_EQ(pdf.code, 0) << pdf.err.toStdString();
    QProcess check;
    check.start(QStringLiteral("qpdf"), {"--check", file("a.pdf")});
    ASSERT_TRUE(check.waitForFinished(60000));
    EXPECT_EQ(check.exitCode(), 0) << check.readAllStandardOutput().toStdString();
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {file("a.pdf"), "-"});
    ASSERT_TRUE(text.waitForFinished(60000));
    const QString words = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(words.contains(QStringLiteral("Students by class and seat row"))) << words.toStdString();
    EXPECT_EQ(words.count(u'\f'), 2); // two pages, as recorded
    // Poppler and MuPDF draw both documents without a word.
    auto expectDrawnSilently = [this](const QString &pdf) {
        const auto poppler = pdfdocs::run(QStringLiteral("pdftoppm"), {"-r", "20", "-png", pdf, file("poppler")});
        EXPECT_EQ(poppler.code, 0);
        EXPECT_EQ(poppler.err, QByteArray()) << poppler.err.constData();
        const auto mupdf =
            pdfdocs::run(QStringLiteral("mutool"), {"draw", "-r", "20", "-o", file("mupdf-%d.png"), pdf});
        EXPECT_EQ(mupdf.code, 0);
        EXPECT_EQ(pdfdocs::complaints(mupdf.err), QByteArray()) << mupdf.err.constData();
    };
    expectDrawnSilently(file("a.pdf"));

    // The recorded pages as pictures, the second alone.
    ASSERT_EQ(tool({"report", "run", description, "--sqlite", db.file(), "--query", query, "-o", file("a.trp")}).code, 0);
    const Result pages = tool({"trp", "pdf", file("a.trp"), file("p.pdf"), "--pages", "2-2"});
    ASSERT_EQ(pages.code, 0) << pages.err.toStdString();
    QProcess info;
    info.start(QStringLiteral("qpdf"), {"--show-npages", file("p.pdf")});
    ASSERT_TRUE(info.waitForFinished(60000));
    EXPECT_EQ(info.readAllStandardOutput().trimmed(), "1");
    EXPECT_EQ(pdfdocs::run(QStringLiteral("qpdf"), {"--check", file("p.pdf")}).code, 0);
    expectDrawnSilently(file("p.pdf"));
    EXPECT_EQ(tool({"trp", "pdf", file("a.trp"), file("q.pdf"), "--pages", "2-5"}).code, 2);
    EXPECT_FALSE(QFile::exists(file("q.pdf")));
}

TEST_F(ReportRun, BadInputIsOneLineAndWritesNothing)
{
    const example::Database db;
    for (const QStringList &args :
         {QStringList{"report", "run", description, "-o", file("x.bmp")},
          QStringList{"report", "run", description, "--sqlite", file("none.db"), "--query", query, "-o", file("x.trp")},
          QStringList{"report", "run", description, "--sqlite", db.file(), "--query", "SELEC", "-o", file("x.trp")},
          QStringList{"report", "run", description, "--sqlite", db.file(), "-o", file("x.trp")},
          QStringList{"report", "run", file("missing.txt"), "-o", file("x.trp")},
          QStringList{"report", "run", example::path(QStringLiteral("classlist.sql")), "-o", file("x.trp")}}) {
        const Result r = tool(args);
        EXPECT_EQ(r.code, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(lastLine(r.err).startsWith(QStringLiteral("tovrel-tool report: "))) << r.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(file("none.db")));
    EXPECT_FALSE(QFile::exists(file("x.trp")));
}

TEST_F(ReportRun, ADamagedPhotoIsNamedOnceAndTheRestPrints)
{
    const example::Database db;
    {
        QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("damage"));
        c.setDatabaseName(db.file());
        ASSERT_TRUE(c.open());
        QSqlQuery q(c);
        ASSERT_TRUE(q.exec(QStringLiteral("UPDATE photos SET picture = substr(picture, 1, 300) WHERE id = 1")));
        c.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("damage"));
    const Result r = tool({"report", "run", description, "--sqlite", db.file(), "--query", query, "-o", file("a.trp")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QStringList warnings = r.err.split(u'\n').filter(QStringLiteral("warning: "));
    ASSERT_EQ(warnings.size(), 1) << r.err.toStdString();
    EXPECT_TRUE(warnings[0].contains(QStringLiteral("Photo: the picture in field PHOTO of data set STUDENTS"))) << warnings[0].toStdString();
    EXPECT_TRUE(warnings[0].contains(QStringLiteral("JPEG"))) << warnings[0].toStdString();
    const Result text = tool({"trp", "text", file("a.trp")});
    EXPECT_TRUE(text.out.contains(QStringLiteral("Page 2")));
}

} // namespace
