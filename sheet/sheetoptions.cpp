// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheet/sheetoptions.h"

#include "sheet/badinput.h"

namespace {

BadInput usageError(const QString &message)
{
    return BadInput{{message, QStringLiteral("Try 'tovrel-sheet --help'.")}};
}

} // namespace

SheetOptions parseSheetOptions(const QStringList &args)
{
    SheetOptions o;
    bool dpiGiven = false, wordsOnly = false, copiesGiven = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        auto value = [&]() -> QString {
            if (i + 1 >= args.size())
                throw usageError(QStringLiteral("%1 needs a value").arg(a));
            return args[++i];
        };
        if (wordsOnly || a == u"-" || !a.startsWith(u'-')) {
            o.words << a;
        } else if (a == u"--") {
            wordsOnly = true;
        } else if (a == u"--help" || a == u"-h") {
            o.help = true;
        } else if (a == u"-o" || a == u"--output") {
            o.output = value();
        } else if (a == u"--words") {
            o.wordsFile = value();
        } else if (a == u"--dpi") {
            const QString v = value();
            bool ok = false;
            o.dpi = v.toInt(&ok);
            if (!ok || o.dpi < kMinDpi || o.dpi > kMaxDpi)
                throw usageError(QStringLiteral("--dpi takes a number from %1 to %2, not '%3'").arg(kMinDpi).arg(kMaxDpi).arg(v));
            dpiGiven = true;
        } else if (a == u"--print") {
            o.print = true;
            // The queue is the next argument unless that is an option.
            if (i + 1 < args.size() && !args[i + 1].startsWith(u'-'))
                o.queue = args[++i];
        } else if (a == u"--copies") {
            const QString v = value();
            bool ok = false;
            o.copies = v.toInt(&ok);
            if (!ok || o.copies < 1 || o.copies > kMaxCopies)
                throw usageError(QStringLiteral("--copies takes a number from 1 to %1, not '%2'").arg(kMaxCopies).arg(v));
            copiesGiven = true;
        } else if (a == u"--duplex") {
            o.duplex = true;
        } else {
            throw usageError(QStringLiteral("unknown option '%1'").arg(a));
        }
    }
    if (o.help)
        return o;
    if (!o.wordsFile.isEmpty() && !o.words.isEmpty())
        throw usageError(QStringLiteral("give the words on the command line or with --words, not both"));
    if (o.wordsFile.isEmpty() && o.words.isEmpty()) {
        // "--print WORD": the word went to --print as its queue.
        if (o.print && !o.queue.isEmpty())
            throw usageError(QStringLiteral("no words: '%1' was read as the printer queue of --print; give the words "
                                            "before --print or after -- (tovrel-sheet --print -- %1)")
                                 .arg(o.queue));
        throw usageError(QStringLiteral("no words: give one or more words, or --words FILE"));
    }
    if ((copiesGiven || o.duplex) && !o.print)
        throw usageError(QStringLiteral("--copies and --duplex are for --print only"));
    if (o.output.isEmpty() && !o.print)
        throw usageError(QStringLiteral("no output: give -o OUT.trp, -o OUT.png, -o OUT.pdf, -o OUT.trx or --print"));
    if (o.output.isEmpty()) {
        if (dpiGiven)
            throw usageError(QStringLiteral("--dpi is for PNG output only"));
        return o;
    }
    if (o.output.endsWith(u".trp", Qt::CaseInsensitive))
        o.outputKind = SheetOutput::ReportFile;
    else if (o.output.endsWith(u".png", Qt::CaseInsensitive))
        o.outputKind = SheetOutput::Png;
    else if (o.output.endsWith(u".pdf", Qt::CaseInsensitive))
        o.outputKind = SheetOutput::Pdf;
    else if (o.output.endsWith(u".trx", Qt::CaseInsensitive))
        o.outputKind = SheetOutput::Trx;
    else
        throw usageError(
            QStringLiteral("-o names a report file (.trp), PNG pictures (.png), a PDF document (.pdf) or an XML report document (.trx), not '%1'").arg(o.output));
    if (dpiGiven && o.outputKind != SheetOutput::Png)
        throw usageError(QStringLiteral("--dpi is for PNG output only"));
    return o;
}

QString sheetHelp()
{
    return QStringLiteral(
        "usage: tovrel-sheet [options] WORD...\n"
        "       tovrel-sheet [options] --words FILE\n"
        "\n"
        "Makes the handwriting-practice worksheet of each word, one sheet each,\n"
        "as one document: the layout of the word's length, filled as the\n"
        "worksheet window fills it.\n"
        "\n"
        "A word has one to four characters; a character outside the Basic\n"
        "Multilingual Plane is one character, as the window counts it. A word\n"
        "that is empty or longer is refused, and then nothing is written.\n"
        "\n"
        "options:\n"
        "  -o OUT.trp          save the pages as a report file\n"
        "  -o OUT.png          play the pages into PNG pictures: OUT.png for one\n"
        "                      page, OUT-1.png, OUT-2.png, ... for more\n"
        "  -o OUT.pdf          write the sheets as a PDF document: the text stays\n"
        "                      text (it can be searched and copied), the lines\n"
        "                      and the characters drawn here stay sharp at any size\n"
        "  -o OUT.trx          write the sheets as an XML report document: each\n"
        "                      text line, line and picture a positioned item\n"
        "  --dpi N             the resolution of the pictures, %1 to %2 (default 96)\n"
        "  --words FILE        the words, one a line (UTF-8, a byte-order mark\n"
        "                      allowed); blank lines and lines starting with '#'\n"
        "                      are skipped, white space around a word is dropped\n"
        "  --print [QUEUE]     print the sheets on the printer QUEUE (the next\n"
        "                      argument, unless it starts with '-'), or on the\n"
        "                      default printer (the only one, when there is no\n"
        "                      default); give the words before --print or after\n"
        "                      --. The job is named after the sheets, and its id\n"
        "                      is printed as \"request id is QUEUE-N\"\n"
        "  --copies N          with --print: copies of the document, 1 to %3\n"
        "  --duplex            with --print: both sides of the paper\n"
        "  --stroke-data DIR   stroke data that comes before the installed data\n"
        "                      character by character (also TOVREL_STROKE_DATA)\n"
        "  --                  what follows are words, even if they start with '-'\n"
        "  -h, --help          show this text\n"
        "\n"
        "A character that no installed face can draw (its cells are left empty)\n"
        "is named in a warning on stderr, and so, in one line, are the characters\n"
        "drawn without stroke numbers; the sheet is still made. Files are written\n"
        "under a temporary name and renamed when complete. More than 20 sheets\n"
        "show a progress line when stderr is a terminal. The files written are\n"
        "listed on stdout.\n"
        "\n"
        "exit status: 0 success, 1 the program failed, 2 bad input (options,\n"
        "words, a file that cannot be read or written, a printer that does\n"
        "not exist)\n")
        .arg(kMinDpi)
        .arg(kMaxDpi)
        .arg(kMaxCopies);
}
