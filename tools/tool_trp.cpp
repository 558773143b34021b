// tovrel-tool trp: look into, take apart and build report files.
#include "toolcommand.h"

#include "platform/rperror.h"
#include "printer/rppagelist.h"

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

QByteArray pageOrFail(RpPageList &list, int n)
{
    const auto page = list.getPage(n);
    if (!page)
        throw UsageError{QStringLiteral("page %1 is not in the file (%2 pages)").arg(n).arg(list.pageCount())};
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
        tool::out(QStringLiteral("created: %1 (%2 days)")
                      .arg(t.isValid() ? t.toString(Qt::ISODate) : QStringLiteral("invalid"))
                      .arg(h.created, 0, 'f', 6));
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

using Sub = int (*)(const QStringList &);

std::map<QString, Sub> &subs()
{
    static std::map<QString, Sub> m{{"info", info}, {"extract", extract}, {"pack", pack}};
    return m;
}

} // namespace

static tool::ToolCommand cmd(
    "trp",
    "trp info FILE | extract FILE N OUT.emf | pack OUT.trp [--compress] PAGE.emf... | "
    "text FILE | render FILE N OUT.png [--dpi N] | "
    "print FILE [--printer NAME] [--from N --to M] [--copies N]",
    [](const QStringList &args) -> int {
        if (args.isEmpty())
            throw UsageError{QStringLiteral("missing sub-command (info, extract, pack, text, render, print)")};
        QStringList rest = args;
        const QString sub = rest.takeFirst();
        auto it = subs().find(sub);
        if (it == subs().end())
            throw UsageError{QStringLiteral("unknown sub-command '%1'").arg(sub)};
        return it->second(rest);
    });
