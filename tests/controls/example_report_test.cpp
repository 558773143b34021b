// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The class list example over a real SQLite database: every band lands where
// the placement rules, worked out on their own (placementmodel.h), put it;
// and the page numbers, counts, sums and photos it prints are right.
#include "../exampledb.h"
#include "../printer/fakeprinter.h"
#include "../report/placementmodel.h"
#include "recordingcanvas.h"
#include "platform/metafile.h"
#include "printer/rpprinter.h"
#include "report/reportrun.h"
#include "report/rpband.h"
#include "report/rpgroup.h"

#include <QSqlQuery>
#include <gtest/gtest.h>

#include <map>

namespace {

using placementmodel::Placed;

// The example's bands under the names the model gives them.
const std::map<QString, QString> kModelName = {
    {"PageHeader", "PH"}, {"Title", "T"},      {"ColumnHeader", "CH"}, {"ClassGroup", "GH0"},
    {"RowGroup", "GH1"},  {"Detail", "D"},     {"Remark", "C"},        {"RowFooter", "GF1"},
    {"ClassFooter", "GF0"}, {"Summary", "S"}, {"PageFooter", "PF"},
};

class ExampleReport : public ::testing::Test {
protected:
    void SetUp() override { noPrinter.names.clear(); }
    // Runs the report over `db`, logging each band where it printed.
    std::vector<Placed> run(Report &report, const example::Database &db)
    {
        std::vector<Placed> placed;
        for (RpCustomBand *band : report.bandList()) {
            band->afterPrint = [&placed, &report](RpCustomBand *b, bool printed) {
                if (!printed)
                    return;
                const double h = b->size()->nativeValue(RpBandSize::HeightIdx) + b->expanded();
                placed.push_back({kModelName.at(b->objectName()), report.pageNumber(),
                                  report.currentRun()->currentColumn, report.currentX(),
                                  report.currentY() - rpRound(h)});
            };
        }
        dataSet = db.dataSet();
        report.setFormDataSets({dataSet.get()});
        report.prepare();
        return placed;
    }
    // What the rules give for the same report and records.
    std::vector<Placed> expected(Report &report, const example::Database &db)
    {
        using namespace placementmodel;
        const RpPage &p = *report.page();
        Page page;
        page.width = p.nativeValue(RpPage::WidthIdx);
        page.length = p.nativeValue(RpPage::LengthIdx);
        page.top = p.nativeValue(RpPage::TopMarginIdx);
        page.bottom = p.nativeValue(RpPage::BottomMarginIdx);
        page.left = p.nativeValue(RpPage::LeftMarginIdx);
        page.right = p.nativeValue(RpPage::RightMarginIdx);
        page.columnSpace = p.nativeValue(RpPage::ColumnSpaceIdx);
        page.columns = p.columns();
        auto height = [&](const char *name) {
            return report.findChild<RpCustomBand *>(QString::fromLatin1(name))->size()->nativeValue(RpBandSize::HeightIdx);
        };
        Heights h;
        h.pageHeader = height("PageHeader");
        h.title = height("Title");
        h.columnHeader = height("ColumnHeader");
        h.detail = height("Detail");
        h.child = height("Remark");
        h.summary = height("Summary");
        h.pageFooter = height("PageFooter");
        h.groupHeaders = {height("ClassGroup"), height("RowGroup")};
        h.groupFooters = {height("ClassFooter"), height("RowFooter")};
        h.reprintOnNewPage = {report.findChild<RpGroup *>("ClassGroup")->reprintOnNewPage(),
                              report.findChild<RpGroup *>("RowGroup")->reprintOnNewPage()};
        auto band = [&](const char *name) { return report.findChild<RpCustomBand *>(QString::fromLatin1(name)); };
        h.detailLinksChild = band("Detail")->linkBand() == band("Remark");
        h.headersLinkDown = band("ClassGroup")->linkBand() == band("RowGroup") &&
                            band("RowGroup")->linkBand() == band("Detail");
        std::vector<QStringList> keys;
        auto d = db.dataSet();
        for (d->first(); !d->eof(); d->next())
            keys.push_back({d->fieldText(d->findField("CLASS")), d->fieldText(d->findField("SEATROW"))});
        const double detailWidth =
            report.findChild<RpCustomBand *>("Detail")->size()->nativeValue(RpBandSize::WidthIdx);
        return place(page, h, keys, detailWidth);
    }
    QStringList pageTexts(Report &report, int page)
    {
        QStringList out;
        for (const auto &t : report.reportPrinter()->getPage(page)->textRecords())
            out << t.text;
        return out;
    }

    FakePrinterDevice noPrinter;
    UseDevice useNoPrinter{&noPrinter};
    std::unique_ptr<RpSqlDataSet> dataSet;
};

TEST_F(ExampleReport, OverAThousandStudentsEveryBandLandsWhereTheRulesSay)
{
    const example::Database db(1000);
    std::unique_ptr<Report> report = example::report();
    ASSERT_TRUE(report);
    const std::vector<Placed> placed = run(*report, db);
    const std::vector<Placed> want = expected(*report, db);
    ASSERT_GT(want.size(), 1000u);
    ASSERT_EQ(placed.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i)
        ASSERT_EQ(placed[i], want[i]) << "band " << i << ": " << placed[i].band.toStdString() << " page "
                                      << placed[i].page << " column " << placed[i].column << " at "
                                      << placed[i].x << "," << placed[i].y << "; the rules say "
                                      << want[i].band.toStdString() << " page " << want[i].page << " column "
                                      << want[i].column << " at " << want[i].x << "," << want[i].y;
    EXPECT_EQ(report->reportPrinter()->pageCount(), want.back().page);

    EXPECT_GT(want.back().page, 10);

    // As an example to copy: a remark stays in the column of its student,
    // a heading is never left at the foot of a column without a student
    // under it, and every page names the class of its first student, in
    // the class heading repeated there or in the heading of a seat row
    // (which names its class; a page that begins with a new seat row
    // repeats no other heading).
    for (size_t i = 0; i < placed.size(); ++i) {
        if (placed[i].band == "C") {
            ASSERT_GT(i, 0u);
            EXPECT_EQ(placed[i - 1].band, "D") << "band " << i;
            EXPECT_EQ(placed[i - 1].page, placed[i].page) << "band " << i;
            EXPECT_EQ(placed[i - 1].column, placed[i].column) << "band " << i;
        }
        if ((placed[i].band == "GH0" || placed[i].band == "GH1") && i + 1 < placed.size()) {
            EXPECT_EQ(placed[i + 1].page, placed[i].page) << "a heading alone at the foot of page " << placed[i].page;
            EXPECT_EQ(placed[i + 1].column, placed[i].column) << "band " << i;
        }
        if (placed[i].band == "D" && placed[i].page > 1) {
            bool headed = false;
            for (size_t k = i; k-- > 0 && placed[k].page == placed[i].page;)
                headed = headed || placed[k].band == "GH0" || placed[k].band == "GH1";
            EXPECT_TRUE(headed) << "page " << placed[i].page << " has a student before its class heading";
        }
    }
}

TEST_F(ExampleReport, TheExampleStudentsPrintWithTheirPageNumbersCountsAndSums)
{
    const example::Database db;
    std::unique_ptr<Report> report = example::report();
    run(*report, db);
    const int pages = report->reportPrinter()->pageCount();
    ASSERT_GE(pages, 1);
    for (int n = 1; n <= pages; ++n)
        EXPECT_TRUE(pageTexts(*report, n).contains(QStringLiteral("Page %1").arg(n))) << n;

    QSqlQuery q(QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("example.check")));
    {
        QSqlDatabase c = QSqlDatabase::database(QStringLiteral("example.check"));
        c.setDatabaseName(db.file());
        ASSERT_TRUE(c.open());
        QSqlQuery sums(c);
        ASSERT_TRUE(sums.exec(QStringLiteral("SELECT COUNT(*), SUM(score) FROM students")));
        ASSERT_TRUE(sums.next());
        const QStringList last = pageTexts(*report, pages);
        EXPECT_TRUE(last.contains(sums.value(0).toString())) << last.join('|').toStdString();
        EXPECT_TRUE(last.contains(sums.value(1).toString())) << last.join('|').toStdString();
        // Each class's footer counts the class's own students.
        QStringList all;
        for (int n = 1; n <= pages; ++n)
            all += pageTexts(*report, n);
        ASSERT_TRUE(sums.exec(QStringLiteral("SELECT COUNT(*) FROM students GROUP BY class ORDER BY class")));
        int classes = 0;
        while (sums.next()) {
            EXPECT_TRUE(all.contains(QStringLiteral("%1 students").arg(sums.value(0).toInt())));
            ++classes;
        }
        EXPECT_EQ(classes, 3);
        // The footer names its figures; a seat row's heading, its class.
        EXPECT_EQ(all.count(QStringLiteral("Score total")), classes);
        ASSERT_TRUE(sums.exec(QStringLiteral("SELECT DISTINCT class FROM students")));
        while (sums.next())
            EXPECT_TRUE(all.contains(QStringLiteral("class ") + sums.value(0).toString()))
                << sums.value(0).toString().toStdString();
        // Every student with a photo has it printed beside the name, drawn
        // from the pixels of the picture in the blob field.
        ASSERT_TRUE(sums.exec(QStringLiteral("SELECT COUNT(photo) FROM students")));
        ASSERT_TRUE(sums.next());
        int photos = 0;
        for (int n = 1; n <= pages; ++n) {
            const Metafile page = report->reportPrinter()->getPage(n).value();
            RecordingCanvas canvas(96);
            page.play(canvas, {0, 0, page.width(), page.height()});
            for (const DrawOp &op : canvas.of(DrawOp::Bitmap)) {
                EXPECT_EQ(op.image.size(), QSize(30, 36));
                ++photos;
            }
        }
        EXPECT_GT(sums.value(0).toInt(), 0);
        EXPECT_EQ(photos, sums.value(0).toInt());
        c.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("example.check"));
}

} // namespace
