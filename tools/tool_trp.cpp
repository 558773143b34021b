// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// tovrel-tool trp: look into, take apart and build report files.
#include "toolcommand.h"

#include "app/startup.h"
#include "platform/metafile.h"
#include "platform/rperror.h"
#include "printer/pageoutput.h"
#include "printer/rppagelist.h"
#include "printer/rpprinter.h"
#include "printer/rpprinterparent.h"
#include "preview/processwide.h"
#include "preview/standardpreview.h"

#include <QApplication>
#include <QImage>

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <map>

namespace {

using tool::UsageError;

int toPage(const QString &s)
{
    bool ok = false;
    const int n = s.toInt(&ok);
    if (!ok || n < 1)
        throw UsageError{QStringLiteral("'%1' is not a page number").arg(s)};
    return n;
}

void load(RpPageList &list, const QString &path)
{
    if (!QFileInfo(path).isFile())
        throw UsageError{QStringLiteral("no such file: %1").arg(path)};
    list.loadFromFile(path); // RpError on a bad file: exit 2 with its message
}

// "1 page", "2 pages".
QString pagesOf(int n) { return n == 1 ? QStringLiteral("1 page") : QStringLiteral("%1 pages").arg(n); }

QByteArray pageOrFail(RpPageList &list, int n)
{
    const auto page = list.getPage(n);
    if (!page)
        throw UsageError{QStringLiteral("page %1 is not in the file (%2)").arg(n).arg(pagesOf(list.pageCount()))};
    return *page;
}

int info(const QStringList &a)
{
    if (a.size() != 1)
        throw UsageError{QStringLiteral("usage: trp info FILE")};
    RpPageList list;
    load(list, a[0]);
    const RpPageList::HeaderInfo h = list.headerInfo();
    tool::out(QStringLiteral("file: %1 (%2 bytes)").arg(a[0]).arg(list.stream()->size()));
    tool::out(QStringLiteral("header: %1 bytes, markers %2 %3").arg(h.length).arg(h.marker1).arg(h.marker2));
    tool::out(QStringLiteral("pages: %1").arg(list.pageCount()));
    tool::out(QStringLiteral("compression: %1").arg(list.compression() ? "on" : "off"));
    if (h.length == RpPageList::kHeaderLength) {
        const QDateTime t = RpPageList::fromDays(h.created);
        // Local time, as the file holds it.
        tool::out(QStringLiteral("created: %1")
                      .arg(t.isValid() ? t.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                                       : QStringLiteral("not a date (%1 days)").arg(h.created, 0, 'g', 17)));
    }
    for (const RpPageList::RecordInfo &r : list.records())
        tool::out(QStringLiteral("page %1: record %2, next %3, start %4, metafile %5 bytes, stored %6 bytes")
                      .arg(r.pageNumber).arg(r.start).arg(r.next).arg(r.trailer)
                      .arg(r.metafileBytes).arg(r.storedBytes));
    return 0;
}

int extract(const QStringList &a)
{
    if (a.size() != 3)
        throw UsageError{QStringLiteral("usage: trp extract FILE N OUT.emf")};
    RpPageList list;
    load(list, a[0]);
    const QByteArray page = pageOrFail(list, toPage(a[1]));
    QSaveFile out(a[2]);
    if (!out.open(QIODevice::WriteOnly) || out.write(page) != page.size() || !out.commit())
        throw UsageError{QStringLiteral("cannot write %1: %2").arg(a[2], out.errorString())};
    return 0;
}

int pack(const QStringList &args)
{
    QStringList a = args;
    const bool compress = a.removeAll(QStringLiteral("--compress")) > 0;
    if (a.size() < 1)
        throw UsageError{QStringLiteral("usage: trp pack OUT.trp [--compress] PAGE.emf...")};
    const QString outName = a.takeFirst();
    RpPageList list;
    list.setStream(std::make_unique<RpStream>());
    list.setCompression(compress);
    for (const QString &name : a) {
        QFile f(name);
        if (!f.open(QIODevice::ReadOnly))
            throw UsageError{QStringLiteral("cannot read %1: %2").arg(name, f.errorString())};
        try {
            list.addPage(f.readAll());
        } catch (const RpError &e) {
            throw UsageError{QStringLiteral("%1: %2").arg(name, e.message())};
        }
    }
    list.finish();
    list.saveToFile(outName);
    return 0;
}

int text(const QStringList &a)
{
    if (a.size() != 1)
        throw UsageError{QStringLiteral("usage: trp text FILE")};
    RpPageList list;
    load(list, a[0]);
    for (int n = 1; n <= list.pageCount(); ++n) {
        const Metafile mf = Metafile::fromBytes(pageOrFail(list, n));
        tool::out(QStringLiteral("Page %1").arg(n));
        QString error;
        for (const Metafile::TextRecord &r : mf.textRecords(&error))
            tool::out(r.text);
        if (!error.isEmpty())
            throw RpError(RpErrorKind::DamagedInput, QStringLiteral("page %1: %2").arg(n).arg(error));
    }
    return 0;
}

int render(const QStringList &args)
{
    QStringList a = args;
    int dpi = 96;
    const int at = a.indexOf(QStringLiteral("--dpi"));
    if (at >= 0) {
        bool ok = false;
        dpi = at + 1 < a.size() ? a[at + 1].toInt(&ok) : 0;
        if (!ok || dpi < 10 || dpi > 1200)
            throw UsageError{QStringLiteral("--dpi takes a number from 10 to 1200")};
        a.remove(at, 2);
    }
    if (a.size() != 3)
        throw UsageError{QStringLiteral("usage: trp render FILE N OUT.png [--dpi N]")};
    RpPageList list;
    load(list, a[0]);
    const Metafile mf = Metafile::fromBytes(pageOrFail(list, toPage(a[1])));
    QImage image;
    try {
        image = playPage(mf, dpi);
    } catch (const RpError &e) {
        throw UsageError{e.message()};
    }
    if (!image.save(a[2], "PNG"))
        throw UsageError{QStringLiteral("cannot write %1").arg(a[2])};
    return 0;
}

// The loaded file stands in for the report: its page is the guessed paper.
struct LoadedFileParent : RpPrinterParent {
    RpPrinter *printer = nullptr;
    RpPrinterSettings settings;
    const RpPrinterSettings &printerSettings() const override { return settings; }
    double pageWidthNative() const override { return printer->paperWidthValue(); }
    double pageLengthNative() const override { return printer->paperLengthValue(); }
    bool showProgress() const override { return false; }
    void setUserCancel(bool) override {}
    void afterPrint() override {}
    bool exporting() const override { return false; }
};

int takeNumber(QStringList &a, const QString &flag, int def)
{
    const int at = a.indexOf(flag);
    if (at < 0)
        return def;
    bool ok = false;
    const int v = at + 1 < a.size() ? a[at + 1].toInt(&ok) : 0;
    if (!ok || v < 1)
        throw UsageError{QStringLiteral("%1 takes a number from 1").arg(flag)};
    a.remove(at, 2);
    return v;
}

int print(const QStringList &args)
{
    QStringList a = args;
    QString printerName;
    const int at = a.indexOf(QStringLiteral("--printer"));
    if (at >= 0) {
        if (at + 1 >= a.size())
            throw UsageError{QStringLiteral("--printer takes a printer name")};
        printerName = a[at + 1];
        a.remove(at, 2);
    }
    const int from = takeNumber(a, QStringLiteral("--from"), 0);
    const int to = takeNumber(a, QStringLiteral("--to"), 0);
    const int copies = takeNumber(a, QStringLiteral("--copies"), 1);
    if (a.size() != 1)
        throw UsageError{QStringLiteral("usage: trp print FILE [--printer NAME] [--from N --to M] [--copies N]")};
    if (!QFileInfo(a[0]).isFile())
        throw UsageError{QStringLiteral("no such file: %1").arg(a[0])};

    LoadedFileParent parent;
    RpPrinter printer(&parent);
    parent.printer = &printer;
    if (!printer.printerOK())
        throw UsageError{QStringLiteral("no printer is installed")};
    if (!printerName.isEmpty()) {
        const int index = int(printer.printers().indexOf(printerName));
        if (index < 0)
            throw UsageError{QStringLiteral("no printer named '%1' (%2)").arg(printerName, printer.printers().join(", "))};
        printer.setPrinterIndex(index);
    }
    printer.load(a[0]);
    const int last = to > 0 ? to : printer.pageCount();
    const int first = from > 0 ? from : 1;
    if (first > last || last > printer.pageCount())
        throw UsageError{QStringLiteral("pages %1 to %2 are not in the file (%3)").arg(first).arg(last).arg(pagesOf(printer.pageCount()))};
    printer.setFirstPage(first);
    printer.setLastPage(last);
    printer.setCopies(copies);
    printer.setTitle(QFileInfo(a[0]).completeBaseName());
    printer.print();
    return 0;
}

// The recorded pages as a PDF document: their text as text, their lines,
// fills and pictures as such.
int pdf(const QStringList &args)
{
    QStringList a = args;
    int first = 0, last = 0;
    const int at = a.indexOf(QStringLiteral("--pages"));
    if (at >= 0) {
        const QStringList range = at + 1 < a.size() ? a[at + 1].split(u'-') : QStringList();
        if (range.size() != 2)
            throw UsageError{QStringLiteral("--pages takes a range A-B")};
        first = toPage(range[0]);
        last = toPage(range[1]);
        a.remove(at, 2);
    }
    if (a.size() != 2)
        throw UsageError{QStringLiteral("usage: trp pdf FILE OUT.pdf [--pages A-B]")};
    if (!QFileInfo(a[0]).isFile())
        throw UsageError{QStringLiteral("no such file: %1").arg(a[0])};
    startup::startEngine();
    LoadedFileParent parent;
    RpPrinter printer(&parent);
    parent.printer = &printer;
    printer.load(a[0]);
    if (first == 0) {
        first = 1;
        last = printer.pageCount();
    }
    if (first > last || last > printer.pageCount())
        throw UsageError{QStringLiteral("pages %1 to %2 are not in the file (%3)").arg(first).arg(last).arg(pagesOf(printer.pageCount()))};
    try {
        printer.exportMetafile(a[1], first, last);
    } catch (const RpError &e) {
        throw UsageError{e.message()};
    }
    tool::out(a[1]);
    return 0;
}

// The standard preview window with the file loaded; returns when it closes.
int view(const QStringList &a)
{
    if (a.size() != 1)
        throw UsageError{QStringLiteral("usage: trp view FILE")};
    if (!QFileInfo(a[0]).isFile())
        throw UsageError{QStringLiteral("no such file: %1").arg(a[0])};
    LoadedFileParent parent;
    RpPrinter printer(&parent);
    parent.printer = &printer;
    printer.load(a[0]); // RpError on a bad file: exit 2 with its message
    printer.setTitle(QFileInfo(a[0]).fileName());
    previewState().previewTitle = a[0];
    auto *window = new RpStandardPreview(nullptr, &printer);
    window->showPreview();
    return QApplication::exec();
}

using Sub = int (*)(const QStringList &);

std::map<QString, Sub> &subs()
{
    static std::map<QString, Sub> m{{"info", info}, {"extract", extract}, {"pack", pack}, {"text", text}, {"render", render}, {"print", print}, {"pdf", pdf}, {"view", view}};
    return m;
}

} // namespace

static tool::ToolCommand cmd(
    "trp",
    "trp info FILE | extract FILE N OUT.emf | pack OUT.trp [--compress] PAGE.emf... | "
    "text FILE | render FILE N OUT.png [--dpi N] | "
    "print FILE [--printer NAME] [--from N --to M] [--copies N] | pdf FILE OUT.pdf [--pages A-B] | view FILE",
    [](const QStringList &args) -> int {
        if (args.isEmpty())
            throw UsageError{QStringLiteral("missing sub-command (info, extract, pack, text, render, print, pdf, view)")};
        QStringList rest = args;
        const QString sub = rest.takeFirst();
        auto it = subs().find(sub);
        if (it == subs().end())
            throw UsageError{QStringLiteral("unknown sub-command '%1'").arg(sub)};
        return it->second(rest);
    });
