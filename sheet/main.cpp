// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// tovrel-sheet: the worksheets of words from the command line, one sheet a
// word, as one document saved as a report file, played into PNG pictures or
// written as a PDF document.
#include "app/startup.h"
#include "app/worksheetfill.h"
#include "faces/strokedataoption.h"
#include "faces/strokestore.h"
#include "platform/rperror.h"
#include "printer/pageoutput.h"
#include "printer/rpprinter.h"
#include "sheet/badinput.h"
#include "sheet/facewarnings.h"
#include "sheet/progressline.h"
#include "sheet/sheetdocument.h"
#include "sheet/sheetoptions.h"
#include "sheet/sheetprint.h"
#include "sheet/wordlist.h"

#include "report/customreport.h"

#include <QApplication>
#include <cstdio>

namespace {

void printLine(FILE *to, const QString &line)
{
    QByteArray b = line.toUtf8();
    b.append('\n');
    std::fwrite(b.constData(), 1, size_t(b.size()), to);
}

void error(const QString &line) { printLine(stderr, QStringLiteral("tovrel-sheet: ") + line); }

void warning(const QString &where, const QString &line)
{
    error(QStringLiteral("warning: ") + (where.isEmpty() ? QString() : where + QStringLiteral(": ")) + line);
}

int run(QStringList args)
{
    args.removeFirst();
    const faces::StrokeDataOption strokeData = faces::takeStrokeDataOption(args);
    if (!strokeData.error.isEmpty())
        throw BadInput{{strokeData.error}};
    const SheetOptions options = parseSheetOptions(args);
    if (options.help) {
        printLine(stdout, sheetHelp().chopped(1));
        return kExitSuccess;
    }

    // Every word is checked before anything is made.
    const std::vector<SheetWord> words =
        options.wordsFile.isEmpty() ? wordsFromArguments(options.words) : readWordsFile(options.wordsFile);
    if (words.empty())
        throw BadInput{{QStringLiteral("%1 holds no words").arg(options.wordsFile)}};
    const QStringList refused = refusedWords(words);
    if (!refused.isEmpty())
        throw BadInput{refused};

    for (const QString &w : faces::useStrokeData(strokeData.folder))
        warning(QString(), w);
    startup::startEngine();
    for (const faces::MissingStrokeData &m : faces::StrokeStore::global().missingData())
        warning(QString(), faces::describeMissing(m));

    SheetDocument document;
    QString unnumbered;
    for (const SheetWord &w : words) {
        document.addSheet(w.text);
        const int length = worksheet::wordLength(w.text);
        const FaceWarnings shown = faceWarnings(document.layout(length), length, w.text);
        for (const QString &line : shown.lines)
            warning(w.source, line);
        for (const QString &c : worksheet::wordCharacters(shown.unnumbered))
            if (!unnumbered.contains(c))
                unnumbered += c;
    }
    if (!unnumbered.isEmpty())
        warning(QString(), unnumberedWarning(unnumbered));

    const int sheets = document.sheetCount();
    ProgressLine progress(wantsProgressLine(sheets, stderrIsTerminal()));
    const auto sheetStarts = [&](int i) { progress.show(QStringLiteral("sheet"), i + 1, sheets); };
    // PDF and XML documents generate the sheets as they write them; printing
    // needs them in the printer.
    const bool exported = options.outputKind == SheetOutput::Pdf || options.outputKind == SheetOutput::Trx;
    if (!exported || options.print)
        document.generate(sheetStarts);

    QStringList written;
    try {
        if (options.output.isEmpty()) {
            // Printing only.
        } else if (options.outputKind == SheetOutput::Pdf) {
            document.exportPdf(options.output, sheetStarts);
            written << options.output;
        } else if (options.outputKind == SheetOutput::Trx) {
            document.exportTrx(options.output, sheetStarts);
            written << options.output;
        } else if (options.outputKind == SheetOutput::ReportFile) {
            writeReportFile(document.printer(), options.output);
            written << options.output;
        } else {
            const int pages = document.pageCount();
            written = writePngPages(document.printer(), options.output, options.dpi,
                                    [&](int i) { progress.show(QStringLiteral("page"), i + 1, pages); });
        }
    } catch (const RpError &e) {
        // An output that cannot be written is the caller's to mend.
        throw BadInput{{e.message()}};
    }
    progress.finish();
    for (const QString &f : written)
        printLine(stdout, f);
    if (options.print) {
        // The job is named after the sheets, as the window names its jobs.
        QStringList texts;
        for (const SheetWord &w : words)
            texts << w.text;
        document.printer().setTitle(worksheet::sheetName(texts));
        const SheetPrintResult printed =
            printSheets(document.printer(), {options.queue, options.copies, options.duplex});
        for (const QString &w : printed.warnings)
            warning(QString(), w);
        // As the print system's own commands tell it.
        if (printed.jobId)
            printLine(stdout, QStringLiteral("request id is %1-%2").arg(printed.queue).arg(*printed.jobId));
    }
    return kExitSuccess;
}

} // namespace

int main(int argc, char **argv)
{
    // The same fonts at the same resolution as the window; no window is shown.
    startup::prepareProcess();
    startup::quietQtMessages();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    try {
        return run(app.arguments());
    } catch (const BadInput &e) {
        for (const QString &line : e.lines)
            error(line);
        return kExitBadInput;
    } catch (const std::exception &e) {
        // The layouts are part of the program: failing to read or generate
        // them is a defect, not bad input.
        error(QString::fromUtf8(e.what()));
        return kExitFailure;
    }
}
