// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "printer/pageoutput.h"

#include "platform/metafile.h"
#include "platform/paintercanvas.h"
#include "platform/rperror.h"
#include "printer/rpprinter.h"
#include "printer/stagedfiles.h"

void writeReportFile(RpPrinter &printer, const QString &output) { printer.save(output); }

QStringList pngPageNames(const QString &output, int pages)
{
    if (pages == 1)
        return {output};
    const QString stem = output.left(output.size() - 4), suffix = output.right(4);
    QStringList names;
    for (int i = 1; i <= pages; ++i)
        names << QStringLiteral("%1-%2%3").arg(stem).arg(i).arg(suffix);
    return names;
}

QImage playPage(const Metafile &page, int dpi)
{
    // The paper at `dpi`, whatever resolution the page was recorded at.
    const qint64 w = rpRound64(page.width() * dpi / page.pixelsPerInchX());
    const qint64 h = rpRound64(page.height() * dpi / page.pixelsPerInchY());
    if (w < 1 || h < 1 || w * h > 400'000'000)
        throw RpError(RpErrorKind::BadArgument, QStringLiteral("a page is %1 x %2 pixels at %3 dpi: too large to play").arg(w).arg(h).arg(dpi));
    QImage image(int(w), int(h), QImage::Format_RGB32);
    if (image.isNull())
        throw RpError(RpErrorKind::NotAvailable, QStringLiteral("no memory for a page of %1 x %2 pixels").arg(w).arg(h));
    image.fill(Qt::white);
    {
        PainterCanvas canvas(&image, dpi);
        page.play(canvas, gdi::Rect{0, 0, int(w), int(h)});
    }
    return image;
}

QStringList writePngPages(RpPrinter &printer, const QString &output, int dpi,
                          const std::function<void(int)> &beforePage)
{
    const QStringList names = pngPageNames(output, printer.pageCount());
    StagedFiles files;
    for (int i = 0; i < names.size(); ++i) {
        if (beforePage)
            beforePage(i);
        const std::optional<Metafile> page = printer.getPage(i + 1);
        if (!page)
            throw RpError(RpErrorKind::DamagedInput, QStringLiteral("page %1 of the document is missing").arg(i + 1));
        const QImage image = playPage(*page, dpi);
        const QString staged = files.stage(names[i]);
        if (!image.save(staged, "PNG"))
            throw RpError::io(QStringLiteral("cannot write %1").arg(names[i]), names[i], QString());
    }
    files.commit();
    return names;
}
