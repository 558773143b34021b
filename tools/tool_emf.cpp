// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// tovrel-tool emf: look into, play and make enhanced metafiles.
#include "toolcommand.h"

#include "platform/emf/emfcodec.h"
#include "platform/emf/emfdemo.h"
#include "platform/metafile.h"
#include "platform/metafilerecorder.h"
#include "platform/paintercanvas.h"
#include "platform/rperror.h"

#include <QFile>
#include <QSaveFile>
#include <QImage>
#include <cmath>

namespace {

QByteArray readInput(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw tool::UsageError{QStringLiteral("cannot read '%1'").arg(path)};
    return f.readAll();
}

Metafile load(const QString &path)
{
    try {
        return Metafile::fromBytes(readInput(path));
    } catch (const RpError &e) {
        throw tool::UsageError{QStringLiteral("%1: %2").arg(path, e.message())};
    }
}

QString rect(const gdi::Rect &r) { return QStringLiteral("(%1, %2, %3, %4)").arg(r.left).arg(r.top).arg(r.right).arg(r.bottom); }

int info(const QStringList &args)
{
    if (args.size() != 1)
        throw tool::UsageError{QStringLiteral("usage: emf info FILE")};
    const Metafile mf = load(args[0]);
    QString desc = mf.description();
    desc.replace(QChar(0), u'|');
    tool::out(QStringLiteral("bounds: %1 pixels").arg(rect(mf.bounds())));
    tool::out(QStringLiteral("frame: %1 0.01 mm").arg(rect(mf.frame())));
    tool::out(QStringLiteral("size: %1 x %2 pixels").arg(mf.width()).arg(mf.height()));
    tool::out(QStringLiteral("device: %1 x %2 pixels, %3 x %4 mm")
                  .arg(mf.deviceSize().cx)
                  .arg(mf.deviceSize().cy)
                  .arg(mf.deviceMillimeters().cx)
                  .arg(mf.deviceMillimeters().cy));
    tool::out(QStringLiteral("records: %1").arg(mf.recordCount()));
    tool::out(QStringLiteral("bytes: %1").arg(mf.fileSize()));
    tool::out(QStringLiteral("handles: %1").arg(mf.handleCount()));
    tool::out(QStringLiteral("description: '%1'").arg(desc));
    return 0;
}

int dump(const QStringList &args)
{
    if (args.size() != 1)
        throw tool::UsageError{QStringLiteral("usage: emf dump FILE")};
    const Metafile mf = load(args[0]);
    try {
        emf::RecordScanner scanner{QByteArrayView(mf.bytes())};
        emf::RecordRef ref;
        while (scanner.next(ref)) {
            const emf::Record rec = emf::decode(ref);
            tool::out(QStringLiteral("%1 %2 %3 %4")
                          .arg(ref.offset, 8)
                          .arg(emf::typeName(ref.type), -26)
                          .arg(ref.size, 6)
                          .arg(emf::dumpFields(rec)));
        }
    } catch (const RpError &e) {
        throw tool::UsageError{e.message()};
    }
    return 0;
}

int text(const QStringList &args)
{
    if (args.size() != 1)
        throw tool::UsageError{QStringLiteral("usage: emf text FILE")};
    const Metafile mf = load(args[0]);
    QString error;
    for (const auto &t : mf.textRecords(&error)) {
        QString line = t.text;
        line.replace(u'\r', u' ').replace(u'\n', u' ');
        tool::out(line);
    }
    if (!error.isEmpty())
        throw tool::UsageError{error};
    return 0;
}

int render(const QStringList &argsIn)
{
    QStringList args = argsIn;
    int dpi = 0, width = 0;
    for (int i = 0; i < args.size();) {
        if (args[i] == QLatin1String("--dpi") || args[i] == QLatin1String("--width")) {
            if (i + 1 >= args.size())
                throw tool::UsageError{QStringLiteral("%1 needs a number").arg(args[i])};
            bool ok = false;
            const int v = args[i + 1].toInt(&ok);
            if (!ok || v <= 0 || v > 100000)
                throw tool::UsageError{QStringLiteral("bad number '%1' for %2").arg(args[i + 1], args[i])};
            (args[i] == QLatin1String("--dpi") ? dpi : width) = v;
            args.remove(i, 2);
        } else {
            ++i;
        }
    }
    if (args.size() != 2 || (dpi && width))
        throw tool::UsageError{QStringLiteral("usage: emf render FILE OUT.png [--dpi N | --width W]")};
    const Metafile mf = load(args[0]);
    const double w0 = std::max(mf.width(), 1), h0 = std::max(mf.height(), 1);
    double scale = 1;
    if (dpi)
        scale = dpi / 96.0;
    else if (width)
        scale = width / w0;
    const qint64 w = std::max<qint64>(1, std::llround(w0 * scale)), h = std::max<qint64>(1, std::llround(h0 * scale));
    if (w * h > (qint64(1) << 28))
        throw tool::UsageError{QStringLiteral("the picture would be %1 x %2 pixels, too large").arg(w).arg(h)};
    QImage img(int(w), int(h), QImage::Format_RGB32);
    if (img.isNull())
        throw tool::UsageError{QStringLiteral("the picture would be %1 x %2 pixels, too large").arg(w).arg(h)};
    img.fill(Qt::white);
    {
        PainterCanvas canvas(&img, dpi ? dpi : int(std::lround(96 * scale)));
        try {
            mf.play(canvas, {0, 0, int(w), int(h)});
        } catch (const RpError &e) {
            throw tool::UsageError{e.message()}; // nothing is written
        }
    }
    // Written beside the target and renamed over it only when complete: a
    // failure leaves no file (and an earlier file as it was).
    QSaveFile out(args[1]);
    if (!out.open(QIODevice::WriteOnly) || !img.save(&out, "PNG") || !out.commit())
        throw tool::UsageError{QStringLiteral("cannot write '%1'").arg(args[1])};
    return 0;
}

int demo(const QStringList &args)
{
    if (args.size() != 1)
        throw tool::UsageError{QStringLiteral("usage: emf demo OUT.emf")};
    MetafileRecorder rec(emf::kDemoWidth, emf::kDemoHeight, QStringLiteral("Tovrel%1demo").arg(QChar(0)));
    emf::drawDemoScene(rec);
    const Metafile mf = rec.finish();
    QSaveFile f(args[0]);
    if (!f.open(QIODevice::WriteOnly) || f.write(mf.bytes()) != mf.bytes().size() || !f.commit())
        throw tool::UsageError{QStringLiteral("cannot write '%1'").arg(args[0])};
    return 0;
}

int run(const QStringList &args)
{
    if (args.isEmpty())
        throw tool::UsageError{QStringLiteral("usage: emf info|dump|text|render|demo ...")};
    const QString sub = args[0];
    const QStringList rest = args.mid(1);
    if (sub == QLatin1String("info"))
        return info(rest);
    if (sub == QLatin1String("dump"))
        return dump(rest);
    if (sub == QLatin1String("text"))
        return text(rest);
    if (sub == QLatin1String("render"))
        return render(rest);
    if (sub == QLatin1String("demo"))
        return demo(rest);
    throw tool::UsageError{QStringLiteral("unknown sub-command '%1'").arg(sub)};
}

tool::ToolCommand cmd("emf", "emf info|dump|text FILE | render FILE OUT.png [--dpi N | --width W] | demo OUT.emf", run);

} // namespace
