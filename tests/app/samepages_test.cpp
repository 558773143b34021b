// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The pages and documents the program makes stay the same, byte for byte:
// the four worksheets, the class list example, a report using every kind of
// item, a composite of two reports, and the PDF and XML documents exported
// from them are compared with the files recorded in golden/samepages/.
// TOVREL_REGENERATE_GOLDENS=1 records them anew; a difference leaves what
// was made beside the build (samepages-actual/) to compare.
#include "../exampledb.h"
#include "../printer/fakeprinter.h"
#include "../samplerreport.h"
#include "app/form73.h"
#include "pdf/pdfdocumentfilter.h"
#include "printer/rppagelist.h"
#include "printer/rpprinter.h"
#include "report/compositereport.h"
#include "report/processwide.h"
#include "testsupport.h"
#include "trx/xdocumentfilter.h"

#include <QCoreApplication>
#include <QDir>
#include <QLineEdit>
#include <QLocale>
#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

using Files = std::vector<std::pair<QString, QByteArray>>;

QString goldenDir(const QString &name) { return QStringLiteral(TOVREL_SOURCE_DIR "/tests/app/golden/samepages/") + name; }

QString actualDir(const QString &name)
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/samepages-actual/") + name;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(f.write(bytes), bytes.size());
}

// Compares what a case made with its recorded files (and that it made no
// more and no fewer of them).
void expectSame(const QString &name, const Files &files)
{
    ASSERT_FALSE(files.empty()) << name.toStdString();
    const QString dir = goldenDir(name);
    if (testsupport::regenerateGoldens()) {
        QDir(dir).removeRecursively();
        for (const auto &[file, bytes] : files)
            writeFile(dir + QLatin1Char('/') + file, bytes);
        return;
    }
    QStringList recorded = QDir(dir).entryList(QDir::Files, QDir::Name);
    for (const auto &[file, bytes] : files) {
        const QByteArray golden = testsupport::readFile(dir + QLatin1Char('/') + file);
        recorded.removeAll(file);
        if (golden != bytes) {
            writeFile(actualDir(name) + QLatin1Char('/') + file, bytes);
            ADD_FAILURE() << name.toStdString() << "/" << file.toStdString() << " differs from its golden file ("
                          << bytes.size() << " bytes made, " << golden.size() << " recorded); what was made is in "
                          << actualDir(name).toStdString();
        }
    }
    EXPECT_TRUE(recorded.isEmpty()) << name.toStdString() << ": not made: " << recorded.join(u' ').toStdString();
}

Files pagesOf(RpPrinter *printer)
{
    Files out;
    if (!printer)
        return out;
    for (int n = 1; n <= printer->pageCount(); ++n) {
        const std::optional<QByteArray> page = printer->pageList()->getPage(n);
        out.emplace_back(QStringLiteral("page-%1.emf").arg(n, 2, 10, QChar(u'0')), page.value_or(QByteArray()));
    }
    return out;
}

QByteArray pdfOf(const std::function<void(RpExportFilter *)> &exportTo)
{
    RpPDFDocumentFilter filter;
    filter.setClock([] { return QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5)); });
    exportTo(&filter);
    return filter.documentBytes();
}

QByteArray trxOf(const std::function<void(RpExportFilter *)> &exportTo)
{
    RpXDocumentFilter filter;
    filter.setDocDate(QStringLiteral("2026-01-02"));
    exportTo(&filter);
    return filter.documentBytes();
}

class SamePages : public ::testing::Test {
protected:
    void SetUp() override
    {
        noPrinter.names.clear();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    void TearDown() override { QLocale::setDefault(QLocale::system()); }

    FakePrinterDevice noPrinter;
    UseDevice useNoPrinter{&noPrinter};
    testsupport::ScopedValue<std::optional<bool>> metric{reportState().usMeasurement, false};
};

TEST_F(SamePages, TheFourWorksheetsAndTheirDocuments)
{
    Form73 form;
    form.formActivate();
    const char *words[4] = {"變", "變壞", "病從口", "病從口入"};
    for (int layout = 1; layout <= 4; ++layout) {
        form.edit1()->setText(QString::fromUtf8(words[layout - 1]));
        form.edit1Change();
        CustomReport *report = form.report(layout);
        report->prepare();
        const QString name = QStringLiteral("worksheet-%1").arg(layout);
        expectSame(name, pagesOf(report->reportPrinter()));
        auto exportTo = [report](RpExportFilter *f) { report->exportToFilter(f); };
        expectSame(name + QStringLiteral("-documents"),
                   {{QStringLiteral("export.pdf"), pdfOf(exportTo)}, {QStringLiteral("export.trx"), trxOf(exportTo)}});
    }
}

TEST_F(SamePages, TheClassListSamplerAndCompositeAndTheirDocuments)
{
    example::Database db;
    std::unique_ptr<Report> classList = example::report();
    const std::unique_ptr<RpSqlDataSet> students = db.dataSet();
    classList->setFormDataSets({students.get()});
    const std::unique_ptr<RpMemoryTable> rows = sampler::records(90);
    const std::unique_ptr<Report> sample = sampler::report(*rows);

    for (auto [name, report] : {std::pair{QStringLiteral("classlist"), classList.get()},
                                std::pair{QStringLiteral("sampler"), sample.get()}}) {
        report->prepare();
        expectSame(name, pagesOf(report->reportPrinter()));
        auto exportTo = [report](RpExportFilter *f) { report->exportToFilter(f); };
        expectSame(name + QStringLiteral("-documents"),
                   {{QStringLiteral("export.pdf"), pdfOf(exportTo)}, {QStringLiteral("export.trx"), trxOf(exportTo)}});
    }

    // The sampler goes on where the class list stopped.
    RpCompositeReport composite;
    composite.onAddReports = [&](RpCompositeReport *c) {
        c->reports().clear();
        c->reports() << classList.get() << sample.get();
    };
    composite.prepare();
    expectSame(QStringLiteral("composite"), pagesOf(composite.reportPrinter()));
    auto exportTo = [&composite](RpExportFilter *f) { composite.exportToFilter(f); };
    expectSame(QStringLiteral("composite-documents"),
               {{QStringLiteral("export.pdf"), pdfOf(exportTo)}, {QStringLiteral("export.trx"), trxOf(exportTo)}});
}

} // namespace
