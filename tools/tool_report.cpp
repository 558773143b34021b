// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// tovrel-tool report run: generates any report read from a stored
// description, its data set bound to an SQLite query or a CSV table, into a
// report file, PNG pages, a PDF document or an XML report document (the
// report run again into the PDF or the XML report document filter).
#include "toolcommand.h"

#include "app/startup.h"
#include "controls/reportclasses.h"
#include "data/memorytable.h"
#include "data/sqldataset.h"
#include "pdf/pdfdocumentfilter.h"
#include "platform/description/description.h"
#include "platform/rperror.h"
#include "printer/pageoutput.h"
#include "printer/rpprinter.h"
#include "report/customreport.h"
#include "trx/xdocumentfilter.h"

#include <QFile>
#include <QFileInfo>
#include <memory>

namespace {

using tool::UsageError;

const char kUsage[] = "report run DESCRIPTION [--sqlite DB --query SQL | --table FILE.csv] -o OUT.trp|OUT.png|OUT.pdf|OUT.trx [--dpi N]";

QByteArray readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw UsageError{QStringLiteral("cannot read %1: %2").arg(path, f.errorString())};
    return f.readAll();
}

int run(const QStringList &args)
{
    QString description, db, query, table, output;
    int dpi = 96;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        auto value = [&]() -> QString {
            if (i + 1 >= args.size())
                throw UsageError{QStringLiteral("%1 needs a value").arg(a)};
            return args.at(++i);
        };
        if (a == u"--sqlite")
            db = value();
        else if (a == u"--query")
            query = value();
        else if (a == u"--table")
            table = value();
        else if (a == u"-o")
            output = value();
        else if (a == u"--dpi") {
            bool ok = false;
            dpi = value().toInt(&ok);
            if (!ok || dpi < 10 || dpi > 1200)
                throw UsageError{QStringLiteral("--dpi takes a whole number from 10 to 1200")};
        } else if (a.startsWith(u'-'))
            throw UsageError{QStringLiteral("unknown option %1").arg(a)};
        else if (description.isEmpty())
            description = a;
        else
            throw UsageError{QStringLiteral("one description only: %1").arg(a)};
    }
    const QString suffix = QFileInfo(output).suffix().toLower();
    if (description.isEmpty() || output.isEmpty())
        throw UsageError{QStringLiteral("usage: %1").arg(QString::fromLatin1(kUsage))};
    if (suffix != u"trp" && suffix != u"png" && suffix != u"pdf" && suffix != u"trx")
        throw UsageError{QStringLiteral("the output is a report file (.trp), PNG pages (.png), a PDF document (.pdf) "
                                        "or an XML report document (.trx), not %1")
                             .arg(output)};
    if (!db.isEmpty() + !table.isEmpty() > 1)
        throw UsageError{QStringLiteral("--sqlite and --table do not go together")};
    if (db.isEmpty() != query.isEmpty())
        throw UsageError{QStringLiteral("--sqlite and --query go together")};

    startup::startEngine();
    std::unique_ptr<Report> report;
    try {
        report.reset(desc::readAs<Report>(reportRegistry(), readFile(description)));
    } catch (const std::exception &e) {
        throw UsageError{QStringLiteral("%1: %2").arg(description, QString::fromUtf8(e.what()))};
    }
    if (!report)
        throw UsageError{QStringLiteral("%1 does not describe a report").arg(description)};

    // The data set goes by the name the report asks for.
    const QString name = report->dataSetName().isEmpty() ? QStringLiteral("DATA") : report->dataSetName();
    std::unique_ptr<RpDataSet> data;
    try {
        if (!db.isEmpty()) {
            auto sql = std::make_unique<RpSqlDataSet>(name);
            sql->open(db, query);
            data = std::move(sql);
        } else if (!table.isEmpty()) {
            auto memory = std::make_unique<RpMemoryTable>(name);
            memory->loadCsv(QString::fromUtf8(readFile(table)));
            memory->setActive(true);
            data = std::move(memory);
        }
    } catch (const RpError &e) {
        throw UsageError{e.message()};
    }
    if (data) {
        report->setFormDataSets({data.get()});
        report->setDataSetName(name);
    }
    // A control that could not print part of its page (a damaged picture)
    // is named once; the rest of the report prints.
    report->onPrintError = [](CustomReport *, const QString &message) {
        tool::err(QStringLiteral("warning: ") + message);
    };
    if (suffix == u"pdf" || suffix == u"trx") {
        report->setShowProgress(false);
        RpPDFDocumentFilter pdf(output);
        RpXDocumentFilter trx(output);
        try {
            if (suffix == u"pdf")
                report->exportToFilter(&pdf);
            else
                report->exportToFilter(&trx);
        } catch (const RpError &e) {
            throw UsageError{e.message()};
        }
        if (!(suffix == u"pdf" ? pdf.written() : trx.written()))
            throw UsageError{QStringLiteral("the report did not run")};
        tool::out(output);
        return 0;
    }
    report->prepare();
    RpPrinter *printer = report->reportPrinter();
    if (!printer)
        throw UsageError{QStringLiteral("the report did not run")};
    try {
        QStringList written;
        if (suffix == u"trp") {
            writeReportFile(*printer, output);
            written << output;
        } else {
            written = writePngPages(*printer, output, dpi);
        }
        for (const QString &f : written)
            tool::out(f);
    } catch (const RpError &e) {
        throw UsageError{e.message()};
    }
    return 0;
}

int report(const QStringList &args)
{
    if (args.isEmpty() || args.first() != u"run")
        throw UsageError{QStringLiteral("usage: %1").arg(QString::fromLatin1(kUsage))};
    return run(args.mid(1));
}

} // namespace

static tool::ToolCommand cmd("report", kUsage, report);
