// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A document through an export filter: the report that made the pages runs
// again into the filter (exportToFilter), or the recorded pages go in whole,
// one picture a page (exportMetafile).
#include "printer/rpprinter.h"

#include "platform/rperror.h"
#include "platform/units.h"
#include "printer/abstractexportfilter.h"
#include "printer/pageoutput.h"
#include "printer/pagepicture.h"
#include "printer/printerstrings.h"
#include "printer/processwide.h"
#include "printer/rpprinterparent.h"

#include <algorithm>

RpPagePicture::RpPagePicture(Metafile page) : m_page(std::move(page))
{
    resize(std::max(m_page.width(), 0), std::max(m_page.height(), 0));
}

ExportPictureRec RpPagePicture::exportPicture(double, double) const
{
    ExportPictureRec r;
    if (m_page.width() < 1 || m_page.height() < 1)
        return r;
    r.bitmap = playPage(m_page, units::kScreenPixelsPerInch);
    r.placedWidth = r.bitmap.width();
    r.placedHeight = r.bitmap.height();
    return r;
}

void RpPrinter::exportToFilter(RpExportFilter *filter)
{
    if (onExportToFilter)
        onExportToFilter(filter);
}

void RpPrinter::exportMetafile(const QString &fileName, int fromPage, int toPage)
{
    if (m_status != mpFinished)
        return;
    const RpMetafileFilterFactory &factory = printerState().metafileFilter;
    if (!factory)
        throw RpError(RpErrorKind::NotAvailable, QString::fromLatin1(printerstrings::kNoMetafileFilter));
    fromPage = std::max(fromPage, 1);
    toPage = std::min(toPage, m_pageCount);
    std::unique_ptr<RpPAbstractExportFilter> filter = factory(fileName);
    // The pages were recorded at the screen's resolution: their pictures,
    // the margins they are placed at and the paper are measured in its
    // pixels.
    const double f = screenFactor();
    ExportPageGeometry g;
    g.pageWidth = m_parent ? m_parent->pageWidthNative() : paperWidthValue();
    g.pageLength = m_parent ? m_parent->pageLengthNative() : paperLengthValue();
    g.xFactor = f;
    g.yFactor = f;
    filter->setPageGeometry(g);
    filter->setOwner(dynamic_cast<QObject *>(m_parent));
    filter->setOriginalReportPrinter(this);
    filter->start(rpRound(g.pageWidth * f), rpRound(g.pageLength * f), nullptr);
    const int xoff = rpRound(f * m_dpLeftMargin), yoff = rpRound(f * m_dpTopMargin);
    for (int i = fromPage; i <= toPage; ++i) {
        filter->newPage();
        std::optional<Metafile> page = getPage(i);
        if (!page)
            throw RpError(RpErrorKind::DamagedInput, QStringLiteral("page %1 of the document is missing").arg(i));
        RpPagePicture picture(std::move(*page));
        filter->acceptGraphic(xoff, yoff, &picture);
    }
    filter->finish();
}
